// The settings file's help texts, as the help panel reads them: the settings
// file is any bytes; every help key reads as one whole line of text.
#include "FuzzSupport.h"
#include "model/ProfileStore.h"

#include <QTemporaryDir>

namespace {

using FuzzSupport::check;

class NoCardFile : public CardFileContext
{
public:
    CardSource cardSource() const override { return CardSource::StartupCard; }
    SaveTarget saveTarget() const override { return {}; }
    QString openPanelFile() const override { return {}; }
    QString libraryManagerFile() const override { return {}; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir folder;
    static NoCardFile context;
    static ProfileStore store{ProgramFolder(folder.path()), context};
    QFile settings(store.folder().settingsFile());
    check(settings.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
              settings.write(FuzzSupport::bytesOf(data, size)) == qint64(size),
          "the settings file can be written");
    settings.close();

    for (int topic = 0; topic <= 8; ++topic) {
        const QString text = store.readSettingText(QStringLiteral("help"), QStringLiteral("a%1").arg(topic));
        check(!text.contains(u'\n'), "a help text is one line of the file");
    }
    store.readSetting(QStringLiteral("card"), QStringLiteral("cardName"));
    return 0;
}
