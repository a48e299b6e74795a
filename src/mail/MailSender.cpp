#include "mail/MailSender.h"

#include <QThread>

MailSender::MailSender(QObject *parent) : QObject(parent) {}

MailSender::~MailSender()
{
    if (!m_thread) return;
    disconnect(m_thread, nullptr, this, nullptr);
    cancel();
}

bool MailSender::start(Job job)
{
    if (m_thread) return false;
    m_run = std::make_shared<Run>();
    m_thread = QThread::create([run = m_run, job = std::move(job)] { run->result = job(run->control); });
    connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
    connect(m_thread, &QThread::finished, this, &MailSender::onThreadFinished);
    m_thread->start();
    return true;
}

bool MailSender::cancel()
{
    if (!m_thread || m_run->control.isCancelled()) return false;
    m_run->control.cancel();
    return true;
}

bool MailSender::wholeMessageSent() const
{
    return m_thread && m_run->control.wholeMessageSent();
}

void MailSender::onThreadFinished()
{
    m_thread = nullptr;
    emit finished(m_run->result);
}
