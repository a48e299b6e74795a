#pragma once

#include "mail/SmtpTransport.h"

#include <QObject>
#include <functional>
#include <memory>

class QThread;

// Runs one send at a time on a thread of its own and reports the result on the
// thread that owns the sender, so the window that started it never waits.
// Destroying the sender cancels a send in progress without waiting for it: the
// thread winds down on its own and its result is dropped.
class MailSender : public QObject
{
    Q_OBJECT
public:
    using Job = std::function<SendResult(SendControl &control)>;

    explicit MailSender(QObject *parent = nullptr);
    ~MailSender() override;

    // Starts the job; false while another one is running.
    bool start(Job job);
    bool isBusy() const { return m_thread != nullptr; }
    // Asks the running job to stop at once; it finishes with Cancelled. True
    // when this stopped a send that was running and not yet cancelled.
    bool cancel();
    // True when a running send has handed the server the whole message, so a
    // cancel now may come too late to keep it from arriving.
    bool wholeMessageSent() const;

signals:
    void finished(const SendResult &result);

private:
    // What the sending thread shares with the sender; it outlives a destroyed sender.
    struct Run {
        SendControl control;
        SendResult result;
    };

    void onThreadFinished();

    QThread *m_thread = nullptr;
    std::shared_ptr<Run> m_run;
};
