#include "ui/send/MailSettingsDialog.h"

#include "mail/MailMessage.h"
#include "ui/common/WidgetColours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

constexpr MailSettings::Security kSecurities[] = {MailSettings::Security::None, MailSettings::Security::StartTls,
                                                 MailSettings::Security::Ssl};
const char16_t *const kSecurityCaptions[] = {u"不加密", u"STARTTLS", u"SSL/TLS"};

int securityIndex(MailSettings::Security security)
{
    for (int i = 0; i < 3; ++i)
        if (kSecurities[i] == security) return i;
    return 1;
}

QLineEdit *lineEdit(const QString &name, const QString &text, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

} // namespace

MailSettingsDialog::MailSettingsDialog(const MailSettings &settings, QWidget *parent)
    : QDialog(parent),
      m_server(lineEdit(QStringLiteral("txt_mailServer"), settings.server, this)),
      m_port(new QSpinBox(this)),
      m_security(new QComboBox(this)),
      m_account(lineEdit(QStringLiteral("txt_mailAccount"), settings.account, this)),
      m_password(lineEdit(QStringLiteral("txt_mailPassword"), settings.password, this)),
      m_keepPassword(new QCheckBox(QStringLiteral("记住密码（保存在设置文件中，只有您本人可以读取）"), this)),
      m_sender(lineEdit(QStringLiteral("txt_mailSender"), settings.sender, this)),
      m_hint(new QLabel(this)),
      m_buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("Form_mailSettings"));
    setWindowTitle(QStringLiteral("邮件设置："));
    usePanelColour(*this);
    m_port->setObjectName(QStringLiteral("txt_mailPort"));
    m_port->setRange(1, 65535);
    m_port->setValue(settings.port);
    m_security->setObjectName(QStringLiteral("Combo_mailSecurity"));
    for (const char16_t *caption : kSecurityCaptions) m_security->addItem(QString::fromUtf16(caption));
    m_security->setCurrentIndex(securityIndex(settings.security));
    m_password->setEchoMode(QLineEdit::Password);
    m_keepPassword->setObjectName(QStringLiteral("chk_keepPassword"));
    m_keepPassword->setChecked(settings.keepPassword);
    m_hint->setObjectName(QStringLiteral("lab_mailHint"));
    m_hint->setWordWrap(true);
    addRows();

    connect(m_security, &QComboBox::currentIndexChanged, this, &MailSettingsDialog::onSecurityChanged);
    connect(m_server, &QLineEdit::textChanged, this, &MailSettingsDialog::updateAcceptance);
    connect(m_sender, &QLineEdit::textChanged, this, &MailSettingsDialog::updateAcceptance);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateAcceptance();
}

void MailSettingsDialog::addRows()
{
    auto *form = new QFormLayout(this);
    form->addRow(QStringLiteral("邮件服务器："), m_server);
    form->addRow(QStringLiteral("端口："), m_port);
    form->addRow(QStringLiteral("安全连接："), m_security);
    form->addRow(QStringLiteral("帐号："), m_account);
    form->addRow(QStringLiteral("密码："), m_password);
    form->addRow(QString(), m_keepPassword);
    form->addRow(QStringLiteral("发件人地址："), m_sender);
    form->addRow(m_hint);
    form->addRow(m_buttons);
    m_server->setMinimumWidth(260);
}

MailSettings MailSettingsDialog::settings() const
{
    MailSettings s;
    s.server = m_server->text().trimmed();
    s.port = m_port->value();
    s.security = kSecurities[std::max(0, m_security->currentIndex())];
    s.account = m_account->text().trimmed();
    s.password = m_password->text();
    s.keepPassword = m_keepPassword->isChecked();
    s.sender = m_sender->text().trimmed();
    return s;
}

void MailSettingsDialog::askForPassword()
{
    m_hint->setText(QStringLiteral("请输入帐号“%1”的密码…").arg(m_account->text().trimmed()));
    m_password->setFocus();
}

// A port left at the default of the old security follows the new one.
void MailSettingsDialog::onSecurityChanged(int index)
{
    const int port = m_port->value();
    const bool atDefault = std::any_of(std::begin(kSecurities), std::end(kSecurities),
                                       [port](auto security) { return port == MailSettings::defaultPort(security); });
    if (atDefault) m_port->setValue(MailSettings::defaultPort(kSecurities[std::max(0, index)]));
}

// With a server, the sender address must be one a server can take.
void MailSettingsDialog::updateAcceptance()
{
    const bool usesServer = !m_server->text().trimmed().isEmpty();
    const bool acceptable = !usesServer || MailFormat::isPlainAddress(m_sender->text().trimmed());
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(acceptable);
    m_hint->setText(usesServer ? (acceptable ? QString() : QStringLiteral("请填写发件人的E-mail地址…"))
                               : QStringLiteral("不填写邮件服务器时，邮件交给桌面邮件程序，由您在那里发送。"));
}
