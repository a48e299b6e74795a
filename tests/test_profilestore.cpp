#include "model/IniFile.h"
#include "model/ProfileStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct FakeContext : CardFileContext {
    CardSource source = CardSource::OpenPanelList;
    SaveTarget target;
    QString openFile, libraryFile;
    CardSource cardSource() const override { return source; }
    SaveTarget saveTarget() const override { return target; }
    QString openPanelFile() const override { return openFile; }
    QString libraryManagerFile() const override { return libraryFile; }
};

} // namespace

class TestProfileStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void readsAndWritesSettings();
    void readsTheCardNamedByTheCardSource();
    void looksUpTheStartupCardAgainForEveryKey();
    void refusesReferencesOutOfTheLibrary();
    void writesTheCardOfTheSavePanel();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeContext> m_context;
    std::unique_ptr<ProfileStore> m_store;
    QString path(const QString &relative) const { return m_dir->filePath(relative); }
};

void TestProfileStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir(m_dir->path()).mkpath("mycard/名片");
    m_context = std::make_unique<FakeContext>();
    m_store = std::make_unique<ProfileStore>(ProgramFolder(m_dir->path()), *m_context);
}

void TestProfileStore::cleanup()
{
    m_store.reset();
    m_context.reset();
    m_dir.reset();
}

void TestProfileStore::readsAndWritesSettings()
{
    QCOMPARE(m_store->readSetting("card", "cardName"), QString()); // no settings file
    QVERIFY(IniStore::write(path("penlark.dll"), "help", "a0", QString(500, QChar(0x5E2E))));
    QCOMPARE(m_store->readSetting("card", "cardName"), QString()); // no such section
    QVERIFY(m_store->writeSetting("card", "cardName", QStringLiteral("名片\\a.pnk")));
    QCOMPARE(m_store->readSetting("CARD", "cardname"), QStringLiteral("名片\\a.pnk"));
    QCOMPARE(m_store->readSettingText("help", "a0"), QString(500, QChar(0x5E2E))); // 1000 bytes, whole
    QVERIFY(m_store->writeSetting("card", "cardName", ""));
    QCOMPARE(m_store->readSetting("card", "cardName"), QString());
}

void TestProfileStore::readsTheCardNamedByTheCardSource()
{
    IniStore::write(path("open.pnk"), "cName", "caption", "open");
    IniStore::write(path("library.pnk"), "cName", "caption", "library");
    IniStore::write(path("mycard/名片/start.pnk"), "cName", "caption", "start");
    m_store->writeSetting("card", "cardName", QStringLiteral("名片\\start.pnk"));
    m_context->openFile = path("open.pnk");
    m_context->libraryFile = path("library.pnk");

    m_context->source = CardSource::OpenPanelList;
    QCOMPARE(m_store->readCardValue("cName", "caption"), QStringLiteral("open"));
    m_context->source = CardSource::LibraryManagerList;
    QCOMPARE(m_store->readCardValue("cName", "caption"), QStringLiteral("library"));
    m_context->source = CardSource::StartupCard;
    QCOMPARE(m_store->readCardValue("cName", "caption"), QStringLiteral("start"));
    QCOMPARE(m_store->readCardValue("cName", "missing"), QString());
    QVERIFY(!m_store->findCardValue("cName", "missing"));

    m_context->source = CardSource::OpenPanelList;
    m_context->openFile.clear();
    QCOMPARE(m_store->readCardValue("cName", "caption"), QString());
}

void TestProfileStore::looksUpTheStartupCardAgainForEveryKey()
{
    IniStore::write(path("mycard/名片/a.pnk"), "cName", "caption", "A");
    IniStore::write(path("mycard/名片/b.pnk"), "cName", "caption", "B");
    m_context->source = CardSource::StartupCard;
    m_store->writeSetting("card", "cardName", QStringLiteral("名片\\a.pnk"));
    QCOMPARE(m_store->readCardValue("cName", "caption"), QStringLiteral("A"));
    m_store->writeSetting("card", "cardName", QStringLiteral("名片\\b.pnk"));
    QCOMPARE(m_store->readCardValue("cName", "caption"), QStringLiteral("B"));
}

void TestProfileStore::refusesReferencesOutOfTheLibrary()
{
    IniStore::write(path("outside.pnk"), "cName", "caption", "outside");
    m_context->source = CardSource::StartupCard;
    for (const QString &ref : {QStringLiteral("..\\outside.pnk"), path("outside.pnk"),
                               QStringLiteral("C:\\outside.pnk"), QStringLiteral("名片\\..\\..\\outside.pnk")}) {
        m_store->writeSetting("card", "cardName", ref);
        QCOMPARE(m_store->readCardValue("cName", "caption"), QString());
    }
    m_context->target = {QStringLiteral(".."), QStringLiteral("outside"), SaveFormat::CardFile};
    QVERIFY(!m_store->writeCardValue("cName", "caption", "overwritten"));
    QCOMPARE(IniStore::read(path("outside.pnk"), "cName", "caption"), QStringLiteral("outside"));
}

void TestProfileStore::writesTheCardOfTheSavePanel()
{
    m_context->target = {QStringLiteral("名片"), QStringLiteral("  我的名片 "), SaveFormat::CardFile};
    QCOMPARE(*m_store->cardFileToWrite(), path("mycard/名片/我的名片.pnk"));
    QVERIFY(m_store->writeCardValue("cName", "caption", QStringLiteral("李明")));
    QCOMPARE(IniStore::read(path("mycard/名片/我的名片.pnk"), "cName", "caption"), QStringLiteral("李明"));

    m_context->target.format = SaveFormat::Bitmap;
    QCOMPARE(*m_store->cardFileToWrite(), path("mycard/名片/我的名片.bmp"));
    m_context->target.format = SaveFormat::Pdf;
    QCOMPARE(*m_store->cardFileToWrite(), path("mycard/名片/我的名片.pdf"));

    m_context->target = {QStringLiteral("已删除"), QStringLiteral("x"), SaveFormat::CardFile};
    QVERIFY(!m_store->writeCardValue("cName", "caption", "x"));
    QVERIFY(!m_store->updateCardFile([](IniFile &ini) { ini.setValue("a", "b", "c"); }));
}

QTEST_MAIN(TestProfileStore)
#include "test_profilestore.moc"
