#include "mail/MailSender.h"

#include <QThread>

MailSender::MailSender(QObject *parent) : QObject(parent) {}

MailSender::~MailSender()
{
    if (!m_thread) return;
    cancel();
    m_thread->wait();
    delete m_thread;
}

bool MailSender::start(Job job)
{
    if (m_thread) return false;
    m_cancel = false;
    m_thread = QThread::create([this, job = std::move(job)] { m_result = job(m_cancel); });
    connect(m_thread, &QThread::finished, this, &MailSender::onThreadFinished);
    m_thread->start();
    return true;
}

void MailSender::onThreadFinished()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished(m_result);
}
