#pragma once

#include <QByteArray>
#include <QString>

class IniFile;

// How mail leaves the program: the SMTP server, its security, the account and
// the sender address, kept in the [mail] section of the settings file. With no
// server, mail is handed to the desktop mail program instead.
//
// The password is stored only when the person asks for it; the file is then
// made readable by its owner alone before the password is written.
struct MailSettings {
    enum class Security { None, StartTls, Ssl };

    QString server;
    int port = 587;
    Security security = Security::StartTls;
    QString account;
    QString sender;
    QString password;
    bool keepPassword = false;

    // A server is set: mail goes out through SMTP.
    bool usesServer() const { return !server.isEmpty(); }
    // An account is set whose password is not known yet.
    bool needsPassword() const { return usesServer() && !account.isEmpty() && password.isEmpty(); }

    static int defaultPort(Security security);
    static QString securityName(Security security);

    // Reads the [mail] section. Missing or malformed values take their defaults:
    // an unknown security becomes STARTTLS (never a silent fall-back to plain
    // text), a port outside 1..65535 the default port of the security. A stored
    // password means it is kept.
    static MailSettings fromIni(const IniFile &ini);
    // The same over the bytes of a settings file.
    static MailSettings parse(const QByteArray &bytes);
    // Writes the [mail] section; the password only when it is kept.
    void writeTo(IniFile &ini) const;

    // The settings file at path; an unreadable file gives the defaults.
    static MailSettings load(const QString &path);
    // Updates the [mail] section of the settings file at path, leaving every
    // other line alone. When the password is kept, the file is first made
    // readable and writable by its owner alone.
    bool save(const QString &path, QString *error = nullptr) const;
};
