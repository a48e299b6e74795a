#pragma once

#include "mail/MailSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// The small dialog behind the send window's "邮件设置…" button: server, port,
// security, account, password (kept only when asked) and sender address.
// With the server left empty, mail goes to the desktop mail program.
class MailSettingsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit MailSettingsDialog(const MailSettings &settings, QWidget *parent = nullptr);

    MailSettings settings() const;
    // Puts the focus on the password box, for a send that needs the password.
    void askForPassword();

private:
    void addRows();
    void onSecurityChanged(int index);
    void updateAcceptance();

    QLineEdit *m_server;
    QSpinBox *m_port;
    QComboBox *m_security;
    QLineEdit *m_account;
    QLineEdit *m_password;
    QCheckBox *m_keepPassword;
    QLineEdit *m_sender;
    QLabel *m_hint;
    QDialogButtonBox *m_buttons;
};
