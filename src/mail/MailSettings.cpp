#include "mail/MailSettings.h"

#include "model/IniFile.h"

#include <QFile>

namespace {

const QString kSection = QStringLiteral("mail");

struct SecurityName {
    MailSettings::Security security;
    const char *name;
};
constexpr SecurityName kSecurityNames[] = {
    {MailSettings::Security::None, "none"},
    {MailSettings::Security::StartTls, "starttls"},
    {MailSettings::Security::Ssl, "ssl"},
};

MailSettings::Security securityFromName(const QString &name)
{
    for (const SecurityName &s : kSecurityNames)
        if (name.compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) return s.security;
    return MailSettings::Security::StartTls;
}

// Makes the file readable and writable by its owner alone, creating it empty if
// it does not exist, so that a password is never written into a file others
// can read. The atomic replace keeps the permissions of the file it replaces.
bool restrictToOwner(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.exists() && !file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    file.close();
    if (file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return true;
    if (error) *error = file.errorString();
    return false;
}

} // namespace

int MailSettings::defaultPort(Security security)
{
    switch (security) {
    case Security::None: return 25;
    case Security::StartTls: return 587;
    case Security::Ssl: return 465;
    }
    return 587;
}

QString MailSettings::securityName(Security security)
{
    for (const SecurityName &s : kSecurityNames)
        if (s.security == security) return QLatin1String(s.name);
    return {};
}

MailSettings MailSettings::fromIni(const IniFile &ini)
{
    const auto text = [&ini](const char *key) {
        return ini.value(kSection, QString::fromLatin1(key)).value_or(QString());
    };
    MailSettings s;
    s.server = text("server");
    s.security = securityFromName(text("security"));
    bool ok = false;
    const int port = text("port").toInt(&ok);
    s.port = ok && port >= 1 && port <= 65535 ? port : defaultPort(s.security);
    s.account = text("account");
    s.sender = text("sender");
    s.password = text("password");
    s.keepPassword = !s.password.isEmpty();
    return s;
}

MailSettings MailSettings::parse(const QByteArray &bytes)
{
    return fromIni(IniFile::fromBytes(bytes));
}

void MailSettings::writeTo(IniFile &ini) const
{
    ini.setValue(kSection, QStringLiteral("server"), server);
    ini.setValue(kSection, QStringLiteral("port"), QString::number(port));
    ini.setValue(kSection, QStringLiteral("security"), securityName(security));
    ini.setValue(kSection, QStringLiteral("account"), account);
    ini.setValue(kSection, QStringLiteral("sender"), sender);
    ini.setValue(kSection, QStringLiteral("password"), keepPassword ? password : QString());
}

MailSettings MailSettings::load(const QString &path)
{
    return fromIni(IniStore::load(path));
}

bool MailSettings::save(const QString &path, QString *error) const
{
    if (keepPassword && !password.isEmpty() && !restrictToOwner(path, error)) return false;
    return IniStore::update(path, [this](IniFile &ini) { writeTo(ini); }, error);
}
