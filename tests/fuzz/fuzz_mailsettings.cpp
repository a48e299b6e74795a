// The mail settings: any settings file gives settings that can be used, and
// once written (which turns line breaks inside values into blanks, as every
// write of the INI store does) they read back the same however often they are
// written again.
#include "FuzzSupport.h"
#include "mail/MailSettings.h"
#include "model/IniFile.h"

namespace {

using FuzzSupport::check;

bool sameSettings(const MailSettings &a, const MailSettings &b)
{
    return a.server == b.server && a.port == b.port && a.security == b.security && a.account == b.account &&
           a.sender == b.sender && a.keepPassword == b.keepPassword && (!a.keepPassword || a.password == b.password);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = FuzzSupport::bytesOf(data, size);
    const MailSettings settings = MailSettings::parse(bytes);
    check(settings.port >= 1 && settings.port <= 65535, "the port is one a connection can use");

    IniFile ini = IniFile::fromBytes(bytes);
    settings.writeTo(ini);
    const MailSettings written = MailSettings::fromIni(IniFile::fromBytes(ini.toBytes()));
    written.writeTo(ini);
    check(sameSettings(MailSettings::fromIni(IniFile::fromBytes(ini.toBytes())), written),
          "settings written into the file read back the same");
    return 0;
}
