#pragma once

#include "mail/SmtpTransport.h"

#include <QObject>
#include <atomic>
#include <functional>

class QThread;

// Runs one send at a time on a thread of its own and reports the result on the
// thread that owns the sender, so the window that started it never waits.
// Destroying the sender cancels a send in progress and waits for it to stop.
class MailSender : public QObject
{
    Q_OBJECT
public:
    using Job = std::function<SendResult(const std::atomic_bool &cancel)>;

    explicit MailSender(QObject *parent = nullptr);
    ~MailSender() override;

    // Starts the job; false while another one is running.
    bool start(Job job);
    bool isBusy() const { return m_thread != nullptr; }
    // Asks the running job to stop; it finishes with Cancelled.
    void cancel() { m_cancel = true; }

signals:
    void finished(const SendResult &result);

private:
    void onThreadFinished();

    QThread *m_thread = nullptr;
    std::atomic_bool m_cancel = false;
    SendResult m_result;
};
