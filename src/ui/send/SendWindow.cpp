#include "ui/send/SendWindow.h"

#include "mail/DesktopMail.h"
#include "mail/MailSender.h"
#include "model/Colour.h"
#include "render/PageGeometry.h"
#include "ui/common/Controls.h"
#include "ui/common/Dialogs.h"
#include "ui/common/WidgetColours.h"
#include "ui/send/MailSettingsDialog.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

constexpr int kTwipsPerPixel = int(PageGeometry::kScreenTwipsPerPixel);
constexpr int kLeft = 16;
constexpr int kBoxLeft = 92;
constexpr int kBoxWidth = 400;
const QString kFailed = QStringLiteral("发送失败！");

} // namespace

SendWindow::SendWindow(QString settingsFile, QString attachment, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_settingsFile(std::move(settingsFile)),
      m_attachment(std::move(attachment)),
      m_dialogs(dialogs),
      m_settings(MailSettings::load(m_settingsFile)),
      m_sender(new MailSender(this)),
      m_twips(0, 0, kWidthTwips, kHeightTwips)
{
    setObjectName(QStringLiteral("Form_send"));
    setWindowTitle(QStringLiteral("名片发送："));
    usePanelColour(*this);
    buildControls();
    applyTwipsGeometry();
    connect(m_sender, &MailSender::finished, this, &SendWindow::onSendFinished);
    m_closeTimer = new QTimer(this);
    m_closeTimer->setObjectName(QStringLiteral("Timer1"));
    m_closeTimer->setInterval(50);
    connect(m_closeTimer, &QTimer::timeout, this, &SendWindow::shrinkStep);
}

SendWindow::~SendWindow() = default;

QString SendWindow::attachmentLine(const QString &fileName, qint64 bytes)
{
    return QStringLiteral("附件：文件名 ") + fileName + QStringLiteral("，文件大小 ") +
           QString::number(double(bytes) / 1000, 'g', 15) + QStringLiteral("Kb");
}

void SendWindow::buildControls()
{
    const QString names[] = {QStringLiteral("电子邮箱："), QStringLiteral("邮件主题："), QStringLiteral("邮件内容：")};
    for (int i = 0; i < 3; ++i)
        Controls::label(QStringLiteral("lab(%1)").arg(i), names[i], QRect(kLeft, 54 + i * 34, 76, 20), this);
    QLabel *heading =
        Controls::label(QStringLiteral("lab(3)"), QStringLiteral("Penlark名片发送："), QRect(kLeft, 12, 300, 26), this);
    QFont headingFont = heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    heading->setFont(headingFont);
    const QFileInfo attachment(m_attachment);
    Controls::label(QStringLiteral("lab(4)"), attachmentLine(attachment.fileName(), attachment.size()),
                    QRect(kLeft, 352, 480, 20), this);

    for (int i = 0; i < 2; ++i)
        m_lines[std::size_t(i)] = Controls::place<QLineEdit>(QStringLiteral("txt(%1)").arg(i),
                                                             QRect(kBoxLeft, 50 + i * 34, kBoxWidth, 26), this);
    m_lines[0]->setText(QStringLiteral("（对方的E-mail地址）"));
    connect(m_lines[0], &QLineEdit::textChanged, this, &SendWindow::onAddressChanged);
    m_body = Controls::place<QPlainTextEdit>(QStringLiteral("txt(2)"), QRect(kBoxLeft, 118, kBoxWidth, 224), this);
    m_body->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    m_busyBar = new QProgressBar(this);
    m_busyBar->setObjectName(QStringLiteral("sendProgress"));
    m_busyBar->setRange(0, 0);
    m_busyBar->setGeometry(kBoxLeft + 150, 380, 250, 14);
    m_busyLabel = Controls::label(QStringLiteral("lab_sending"), QStringLiteral("正在发送邮件，请稍候…"),
                           QRect(kBoxLeft, 377, 150, 20), this);
    m_busyBar->hide();
    m_busyLabel->hide();

    m_buttons[0] = addButton(0, QStringLiteral("√确定发送"), 282);
    m_buttons[0]->setEnabled(false);
    m_buttons[0]->setDefault(true);
    m_buttons[1] = addButton(1, QStringLiteral("×取消发送"), 392);
    connect(m_buttons[0], &QPushButton::clicked, this, &SendWindow::onSendClicked);
    connect(m_buttons[1], &QPushButton::clicked, this, &SendWindow::onCancelClicked);
    m_settingsButton = Controls::place<QPushButton>(QStringLiteral("cmd_mailSettings"), QRect(kLeft, 404, 100, 32), this,
                                                    QStringLiteral("邮件设置…"));
    connect(m_settingsButton, &QPushButton::clicked, this, [this] { editSettings({}); });
}

QPushButton *SendWindow::addButton(int index, const QString &caption, int x)
{
    auto *button = Controls::place<QPushButton>(QStringLiteral("cmd(%1)").arg(index), QRect(x, 404, 104, 32), this, caption);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, Colour::toQColor(Colour::kPanel));
    button->setPalette(palette);
    return button;
}

void SendWindow::placeBeside(const QWidget &mainWindow)
{
    const QPoint corner = mainWindow.frameGeometry().topLeft() * kTwipsPerPixel;
    m_twips.moveTopLeft(corner + QPoint(280, 1380));
    applyTwipsGeometry();
}

void SendWindow::applyTwipsGeometry()
{
    setFixedSize(PageGeometry::pixelSize(m_twips.size(), kTwipsPerPixel));
    move(PageGeometry::toPixels(m_twips.topLeft(), kTwipsPerPixel));
}

bool SendWindow::isSending() const { return m_sender->isBusy(); }

// Enables sending once the address looks like one; never disables it again.
void SendWindow::onAddressChanged()
{
    const QString address = m_lines[0]->text().trimmed();
    if (address.contains(u'@') && address.contains(u'.') && address.size() > 8) m_buttons[0]->setEnabled(true);
}

void SendWindow::onSendClicked()
{
    MailMessage message{m_lines[0]->text().trimmed(), m_lines[1]->text().trimmed(), m_body->toPlainText().trimmed(),
                        m_attachment};
    if (message.subject.size() < 2) {
        m_dialogs.show(QStringLiteral("邮件主题必须输入！"), kFailed, Dialogs::Icon::Warning);
        m_lines[1]->setFocus();
        return;
    }
    if (m_settings.needsPassword()) {
        editSettings([this, message] {
            if (m_settings.needsPassword())
                m_dialogs.show(QStringLiteral("没有输入邮件帐号的密码，邮件没有发送！"), kFailed, Dialogs::Icon::Warning);
            else
                startSending(message);
        });
        return;
    }
    startSending(message);
}

void SendWindow::startSending(const MailMessage &message)
{
    m_recipient = message.recipient;
    if (!m_settings.usesServer()) {
        onSendFinished(DesktopMail::handOver(message));
        return;
    }
    setBusy(true);
    const MailSettings settings = m_settings;
    m_sender->start([settings, message](SendControl &control) {
        return SmtpTransport::send(settings, message, kTimeLimit, control);
    });
}

void SendWindow::onSendFinished(const SendResult &result)
{
    setBusy(false);
    switch (result.outcome) {
    case SendResult::Outcome::Sent:
        m_dialogs.show(QStringLiteral("邮件已经成功发送到") + m_recipient + QStringLiteral("！"),
                       QStringLiteral("发送成功！"), Dialogs::Icon::Information);
        break;
    case SendResult::Outcome::HandedOver:
        m_dialogs.show(QStringLiteral("邮件已经交给桌面邮件程序，还没有发送！\r请在邮件程序中检查后发送…"),
                       QStringLiteral("提醒您："), Dialogs::Icon::Information);
        break;
    case SendResult::Outcome::Cancelled:
    case SendResult::Outcome::CancelledAfterData:
        break;
    default:
        m_dialogs.show(failureText(result), kFailed, Dialogs::Icon::Critical);
        break;
    }
}

QString SendWindow::failureText(const SendResult &result) const
{
    QString explanation;
    switch (result.outcome) {
    case SendResult::Outcome::Unreachable:
        explanation = QStringLiteral("无法连接邮件服务器 %1:%2，请检查网络和邮件设置…").arg(m_settings.server).arg(m_settings.port);
        break;
    case SendResult::Outcome::LoginRefused:
        explanation = QStringLiteral("邮件服务器拒绝了您的帐号或密码，请在邮件设置中检查…");
        break;
    case SendResult::Outcome::SenderRefused:
        explanation = QStringLiteral("邮件服务器拒绝了发件人地址，请在邮件设置中检查…");
        break;
    case SendResult::Outcome::RecipientRefused:
        explanation = QStringLiteral("邮件服务器拒绝了收件人地址，请检查对方的E-mail地址…");
        break;
    case SendResult::Outcome::AddressMalformed:
        explanation = QStringLiteral("E-mail地址的格式不正确，邮件没有交给邮件服务器，请检查后再发送…");
        break;
    case SendResult::Outcome::TimedOut:
        explanation = QStringLiteral("邮件服务器在%1秒内没有完成发送，请稍后再试…").arg(kTimeLimit.count());
        break;
    default:
        explanation = QStringLiteral("发送过程中出错…");
        break;
    }
    return QStringLiteral("邮件没有发送到") + m_recipient + QStringLiteral("！\r") + explanation +
           QStringLiteral("\r原因：") + result.reason;
}

void SendWindow::setBusy(bool busy)
{
    m_busyBar->setVisible(busy);
    m_busyLabel->setVisible(busy);
    for (QLineEdit *line : m_lines) line->setReadOnly(busy);
    m_body->setReadOnly(busy);
    m_buttons[0]->setEnabled(!busy);
    m_settingsButton->setEnabled(!busy);
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void SendWindow::editSettings(const std::function<void()> &afterAccept)
{
    auto *dialog = new MailSettingsDialog(m_settings, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    if (afterAccept) dialog->askForPassword();
    connect(dialog, &QDialog::accepted, this, [this, dialog, afterAccept] {
        m_settings = dialog->settings();
        QString error;
        if (!m_settings.save(m_settingsFile, &error))
            m_dialogs.show(QStringLiteral("邮件设置没有保存！\r设置文件“penlark.dll”无法写入…\r") + error,
                           QStringLiteral("提醒您："), Dialogs::Icon::Warning);
        if (afterAccept) afterAccept();
    });
    dialog->open();
}

void SendWindow::onCancelClicked()
{
    cancelSending();
    m_closeTimer->start();
}

// Stops a running send at once. Once the server holds the whole message it may
// deliver it although its reply never came, so the person is told so rather
// than left to believe nothing was sent.
void SendWindow::cancelSending()
{
    const bool mayHaveArrived = m_sender->wholeMessageSent();
    if (!m_sender->cancel()) return;
    setBusy(false);
    if (!mayHaveArrived) return;
    m_dialogs.show(QStringLiteral("邮件可能已经发送到") + m_recipient +
                       QStringLiteral("！\r取消时邮件已经全部交给邮件服务器，只是服务器还没有答复…"),
                   QStringLiteral("提醒您："), Dialogs::Icon::Information);
}

void SendWindow::shrinkStep()
{
    if (m_twips.width() > 1200 && m_twips.height() > 1000) {
        m_twips.adjust(250, 200, -250, -300);
        applyTwipsGeometry();
        return;
    }
    m_closeTimer->stop();
    close();
}

void SendWindow::closeEvent(QCloseEvent *event)
{
    cancelSending();
    event->accept();
}
