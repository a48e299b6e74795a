#pragma once

#include "mail/MailMessage.h"
#include "mail/MailSettings.h"
#include "mail/SmtpTransport.h"

#include <QRect>
#include <QWidget>
#include <array>
#include <chrono>
#include <functional>

class Dialogs;
class MailSender;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTimer;

// The send window ("Form_send"): recipient, subject and message for one e-mail
// that carries the file chosen in the open panel. Mail leaves through the SMTP
// server of the [mail] settings on a thread of its own, or, with no server set
// up, goes to the desktop mail program. The window stays open for further
// sends; its cancel button shrinks it away in 50 ms steps.
class SendWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kWidthTwips = 7695;
    static constexpr int kHeightTwips = 6795;
    static constexpr std::chrono::seconds kTimeLimit{60};

    // attachment: full path of the file to send; it must exist.
    SendWindow(QString settingsFile, QString attachment, Dialogs &dialogs, QWidget *parent = nullptr);
    ~SendWindow() override;

    // "附件：文件名 <name>，文件大小 <bytes / 1000>Kb", the size with its decimals.
    static QString attachmentLine(const QString &fileName, qint64 bytes);

    // Puts the window 280 twips right of and 1380 twips below the main window's corner.
    void placeBeside(const QWidget &mainWindow);

    bool isSending() const;
    const MailSettings &mailSettings() const { return m_settings; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QPushButton *addButton(int index, const QString &caption, int x);
    void onAddressChanged();
    void onSendClicked();
    void onCancelClicked();
    void cancelSending();
    void shrinkStep();
    void applyTwipsGeometry();
    void editSettings(const std::function<void()> &afterAccept);
    void startSending(const MailMessage &message);
    void onSendFinished(const SendResult &result);
    void setBusy(bool busy);
    QString failureText(const SendResult &result) const;

    QString m_settingsFile;
    QString m_attachment;
    Dialogs &m_dialogs;
    MailSettings m_settings;
    MailSender *m_sender;
    QString m_recipient;

    std::array<QLineEdit *, 2> m_lines{};
    QPlainTextEdit *m_body = nullptr;
    std::array<QPushButton *, 2> m_buttons{};
    QPushButton *m_settingsButton = nullptr;
    QProgressBar *m_busyBar = nullptr;
    QLabel *m_busyLabel = nullptr;
    QTimer *m_closeTimer = nullptr;
    QRect m_twips;
};
