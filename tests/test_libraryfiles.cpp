#include "model/LibraryFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "render/PagePictures.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using LibraryFiles::Outcome;

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}

} // namespace

class TestLibraryFiles : public QObject
{
    Q_OBJECT
private slots:
    void listsCategoriesAndFiles();
    void createsCategoriesUnderSafeNewNames();
    void refusesUnsafeNames_data();
    void refusesUnsafeNames();
    void renamesCategories();
    void deletesCategoriesUntilTheFirstFailure();
    void renamesFilesKeepingTheExtension();
    void deletesReadOnlyFiles();
    void copiesReplacingInOneStep();
    void leavesWhatLinksLeadToAlone();
    void failedCopyKeepsTheOldFile();
    void refusesPipesAsPictures();
    void fitsThePreview_data();
    void fitsThePreview();
    void browsesDataVolumesOnly_data();
    void browsesDataVolumesOnly();

private:
    QTemporaryDir m_dir;
};

void TestLibraryFiles::listsCategoriesAndFiles()
{
    const QString lib = m_dir.filePath(QStringLiteral("list"));
    QDir().mkpath(lib + QStringLiteral("/乙"));
    QDir().mkpath(lib + QStringLiteral("/甲/子"));
    writeFile(lib + QStringLiteral("/零散.txt"), "x");
    for (const char *name : {"a.bmp", "b.JPG", "c.gif", "d.pnk", "e.png", "f.txt"})
        writeFile(lib + QStringLiteral("/甲/") + QString::fromLatin1(name), "x");
    // A plain file lying in the library folder is a category as well.
    QCOMPARE(LibraryFiles::categories(lib), QStringList({"乙", "甲", "零散.txt"}));
    QCOMPARE(LibraryFiles::files(lib + QStringLiteral("/甲")), QStringList({"a.bmp", "b.JPG", "c.gif", "d.pnk"}));
    QCOMPARE(LibraryFiles::pictures(lib + QStringLiteral("/甲")), QStringList({"a.bmp", "b.JPG", "c.gif"}));
}

void TestLibraryFiles::createsCategoriesUnderSafeNewNames()
{
    const QString lib = m_dir.filePath(QStringLiteral("create"));
    QDir().mkpath(lib + QStringLiteral("/已有"));
    writeFile(lib + QStringLiteral("/文件"), "x");

    QCOMPARE(LibraryFiles::createCategory(lib, QStringLiteral("   ")).outcome, Outcome::EmptyName);
    QCOMPARE(LibraryFiles::createCategory(lib, QStringLiteral("已有")).outcome, Outcome::Exists);
    QCOMPARE(LibraryFiles::createCategory(lib, QStringLiteral("文件")).outcome, Outcome::Exists);
    QCOMPARE(entries(lib), QStringList({"已有", "文件"}));

    const auto made = LibraryFiles::createCategory(lib, QStringLiteral("  新的 "));
    QCOMPARE(made.outcome, Outcome::Done);
    QCOMPARE(made.detail, QStringLiteral("新的"));
    QVERIFY(QFileInfo(lib + QStringLiteral("/新的")).isDir());
}

void TestLibraryFiles::refusesUnsafeNames_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"a/b", "a\\b", "..", ".", "../出去", "a:b", "a*b", "a?b", "a\"b", "a<b", "a>b", "a|b",
                             "a\tb", "a\nb", "结尾."})
        QTest::newRow(name) << QString::fromUtf8(name);
}

// Nothing is created, renamed or moved under a name a folder refuses.
void TestLibraryFiles::refusesUnsafeNames()
{
    QFETCH(QString, name);
    const QString lib = m_dir.filePath(QStringLiteral("unsafe"));
    QDir(lib).removeRecursively();
    QDir().mkpath(lib + QStringLiteral("/分类"));
    writeFile(lib + QStringLiteral("/分类/旧名.jpg"), "x");
    const QStringList before = entries(lib);

    const auto created = LibraryFiles::createCategory(lib, name);
    QCOMPARE(created.outcome, Outcome::BadName);
    QVERIFY(!created.detail.isEmpty());
    QCOMPARE(LibraryFiles::renameCategory(lib, QStringLiteral("分类"), name).outcome, Outcome::BadName);
    QCOMPARE(LibraryFiles::renameFile(lib + QStringLiteral("/分类"), QStringLiteral("旧名.jpg"), name).outcome,
             Outcome::BadName);

    QCOMPARE(entries(lib), before);
    QCOMPARE(entries(lib + QStringLiteral("/分类")), QStringList({"旧名.jpg"}));
    QCOMPARE(entries(m_dir.path()).contains(QStringLiteral("出去")), false);
}

void TestLibraryFiles::renamesCategories()
{
    const QString lib = m_dir.filePath(QStringLiteral("rename"));
    QDir().mkpath(lib + QStringLiteral("/旧"));
    QDir().mkpath(lib + QStringLiteral("/别的"));
    writeFile(lib + QStringLiteral("/旧/a.bmp"), "a");

    QCOMPARE(LibraryFiles::renameCategory(lib, QStringLiteral("旧"), QStringLiteral(" ")).outcome, Outcome::EmptyName);
    QCOMPARE(LibraryFiles::renameCategory(lib, QStringLiteral("旧"), QStringLiteral("别的")).outcome, Outcome::Exists);
    QCOMPARE(LibraryFiles::renameCategory(lib, QStringLiteral(".."), QStringLiteral("上面")).outcome, Outcome::Failed);
    QCOMPARE(entries(lib), QStringList({"别的", "旧"}));

    const auto renamed = LibraryFiles::renameCategory(lib, QStringLiteral("旧"), QStringLiteral(" 新 "));
    QCOMPARE(renamed.outcome, Outcome::Done);
    QCOMPARE(renamed.detail, QStringLiteral("新"));
    QCOMPARE(contentOf(lib + QStringLiteral("/新/a.bmp")), QByteArray("a"));
}

void TestLibraryFiles::deletesCategoriesUntilTheFirstFailure()
{
    const QString lib = m_dir.filePath(QStringLiteral("delete"));
    QDir().mkpath(lib + QStringLiteral("/空"));
    writeFile(lib + QStringLiteral("/满/a.bmp"), "a");
    writeFile(lib + QStringLiteral("/满/无扩展名"), "b");
    QFile(lib + QStringLiteral("/满/a.bmp")).setPermissions(QFileDevice::ReadOwner);
    writeFile(lib + QStringLiteral("/有子/b.bmp"), "b");
    QDir().mkpath(lib + QStringLiteral("/有子/子"));

    QVERIFY(LibraryFiles::deleteCategory(lib, QStringLiteral("空")));
    QVERIFY(LibraryFiles::deleteCategory(lib, QStringLiteral("满")));
    // The files go, the sub-folder stays and so does the category.
    QVERIFY(!LibraryFiles::deleteCategory(lib, QStringLiteral("有子")));
    QCOMPARE(entries(lib), QStringList({"有子"}));
    QCOMPARE(entries(lib + QStringLiteral("/有子")), QStringList({"子"}));
    // Never the library folder itself or what lies above it.
    QVERIFY(!LibraryFiles::deleteCategory(lib + QStringLiteral("/有子"), QStringLiteral("..")));
    QVERIFY(!LibraryFiles::deleteCategory(lib, QString()));
    QVERIFY(QFileInfo(lib + QStringLiteral("/有子/子")).isDir());
}

void TestLibraryFiles::renamesFilesKeepingTheExtension()
{
    const QString dir = m_dir.filePath(QStringLiteral("files"));
    writeFile(dir + QStringLiteral("/旧名.jpg"), "old");
    writeFile(dir + QStringLiteral("/甲.乙.bmp"), "dots");
    writeFile(dir + QStringLiteral("/已有.jpg"), "there");

    auto r = LibraryFiles::renameFile(dir, QStringLiteral("旧名.jpg"), QStringLiteral(" 新名 "));
    QCOMPARE(r.outcome, Outcome::Done);
    QCOMPARE(r.detail, QStringLiteral("新名.jpg"));
    r = LibraryFiles::renameFile(dir, QStringLiteral("甲.乙.bmp"), QStringLiteral("丙"));
    QCOMPARE(r.detail, QStringLiteral("丙.bmp"));
    QCOMPARE(LibraryFiles::renameFile(dir, QStringLiteral("新名.jpg"), QString()).outcome, Outcome::EmptyName);
    QCOMPARE(LibraryFiles::renameFile(dir, QStringLiteral("新名.jpg"), QStringLiteral("已有")).outcome,
             Outcome::Exists);
    QCOMPARE(LibraryFiles::renameFile(dir, QStringLiteral("新名.jpg"), QStringLiteral("新名")).outcome,
             Outcome::Exists);
    QCOMPARE(entries(dir), QStringList({"丙.bmp", "已有.jpg", "新名.jpg"}));
    QCOMPARE(contentOf(dir + QStringLiteral("/已有.jpg")), QByteArray("there"));
    QCOMPARE(contentOf(dir + QStringLiteral("/新名.jpg")), QByteArray("old"));
}

void TestLibraryFiles::deletesReadOnlyFiles()
{
    const QString file = m_dir.filePath(QStringLiteral("readonly/只读.bmp"));
    writeFile(file, "x");
    QFile(file).setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    QVERIFY(LibraryFiles::deleteFile(file));
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!LibraryFiles::deleteFile(file));
}

void TestLibraryFiles::copiesReplacingInOneStep()
{
    const QString source = m_dir.filePath(QStringLiteral("disk/图.bmp"));
    const QString category = m_dir.filePath(QStringLiteral("copy/分类"));
    writeFile(source, "new picture");
    QDir().mkpath(category);
    QCOMPARE(LibraryFiles::copyTarget(source, category), category + QStringLiteral("/图.bmp"));

    QVERIFY(LibraryFiles::copyFile(source, category));
    QCOMPARE(contentOf(category + QStringLiteral("/图.bmp")), QByteArray("new picture"));
    writeFile(source, "newer");
    QVERIFY(LibraryFiles::copyFile(source, category));
    QCOMPARE(contentOf(category + QStringLiteral("/图.bmp")), QByteArray("newer"));
    // A file copied onto itself keeps its content.
    QVERIFY(LibraryFiles::copyFile(category + QStringLiteral("/图.bmp"), category));
    QCOMPARE(contentOf(category + QStringLiteral("/图.bmp")), QByteArray("newer"));
    QVERIFY(!LibraryFiles::copyFile(m_dir.filePath(QStringLiteral("disk/没有.bmp")), category));
    QCOMPARE(entries(category), QStringList({"图.bmp"}));
}

// Links in a library to an outside folder and file: deleting, replacing and
// deleting the category remove the links and leave contents and modes alone.
void TestLibraryFiles::leavesWhatLinksLeadToAlone()
{
    const QString outside = m_dir.filePath(QStringLiteral("outside"));
    const QString lib = m_dir.filePath(QStringLiteral("linked"));
    writeFile(outside + QStringLiteral("/a.bmp"), "a");
    writeFile(lib + QStringLiteral("/真/x.bmp"), "x");
    QVERIFY(QFile::setPermissions(outside + QStringLiteral("/a.bmp"), QFileDevice::ReadOwner));
    QVERIFY(QFile::link(outside, lib + QStringLiteral("/链")));
    QVERIFY(QFile::link(outside + QStringLiteral("/a.bmp"), lib + QStringLiteral("/真/链.bmp")));
    QVERIFY(QFile::link(outside + QStringLiteral("/a.bmp"), lib + QStringLiteral("/真/换.bmp")));
    writeFile(m_dir.filePath(QStringLiteral("disk2/换.bmp")), "new");

    QVERIFY(LibraryFiles::copyFile(m_dir.filePath(QStringLiteral("disk2/换.bmp")), lib + QStringLiteral("/真")));
    QCOMPARE(contentOf(lib + QStringLiteral("/真/换.bmp")), QByteArray("new"));
    QVERIFY(LibraryFiles::deleteFile(lib + QStringLiteral("/真/链.bmp")));
    QVERIFY(LibraryFiles::deleteCategory(lib, QStringLiteral("链")));
    QCOMPARE(entries(lib), QStringList({"真"}));
    QCOMPARE(entries(outside), QStringList({"a.bmp"}));
    QCOMPARE(contentOf(outside + QStringLiteral("/a.bmp")), QByteArray("a"));
    const auto ownerBits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QCOMPARE(QFile::permissions(outside + QStringLiteral("/a.bmp")) & ownerBits, QFileDevice::ReadOwner);
}

// A copy that fails at the disk (a file-size limit, its signal ignored, in a
// child process) reports failure, keeps the old file and leaves no temporary.
void TestLibraryFiles::failedCopyKeepsTheOldFile()
{
    const QString source = m_dir.filePath(QStringLiteral("big/图.bmp"));
    const QString category = m_dir.filePath(QStringLiteral("full/分类"));
    writeFile(source, QByteArray(4096, 'n'));
    writeFile(category + QStringLiteral("/图.bmp"), "old");
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(LibraryFiles::copyFile(source, category) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(pid, &status, 0), pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 1);
    QCOMPARE(entries(category), QStringList({"图.bmp"}));
    QCOMPARE(contentOf(category + QStringLiteral("/图.bmp")), QByteArray("old"));
}

// A named pipe called like a picture is refused at once, never opened.
void TestLibraryFiles::refusesPipesAsPictures()
{
    const QString pipe = m_dir.filePath(QStringLiteral("hang.jpg"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QCOMPARE(PagePictures::readPictureFile(pipe).problem, PagePictures::ReadPicture::Problem::Unreadable);
    QVERIFY(!LibraryFiles::copyFile(pipe, m_dir.filePath(QStringLiteral("copy"))));
}

void TestLibraryFiles::fitsThePreview_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRect>("shown");
    // The box is 4485 x 2790 twips: 299 x 186 pixels.
    QTest::newRow("wide: box width, half of it high, centred") << QSize(800, 400) << QRect(0, 18, 299, 150);
    QTest::newRow("small: own size, centred") << QSize(40, 30) << QRect(130, 78, 40, 30);
    QTest::newRow("exactly the box") << QSize(299, 186) << QRect(0, 0, 299, 186);
    QTest::newRow("too high only: box width, beyond top and bottom") << QSize(100, 200) << QRect(0, -206, 299, 598);
}

void TestLibraryFiles::fitsThePreview()
{
    QFETCH(QSize, picture);
    QFETCH(QRect, shown);
    QCOMPARE(LibraryFiles::fitPreview(QSize(299, 186), picture), shown);
}

void TestLibraryFiles::browsesDataVolumesOnly_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("browsable");
    QTest::newRow("data disk") << "/mnt/data" << QByteArray("ext4") << true;
    QTest::newRow("usb stick") << "/media/li/U盘" << QByteArray("vfat") << true;
    QTest::newRow("removable under /run/media") << "/run/media/li/CARD" << QByteArray("exfat") << true;
    QTest::newRow("proc") << "/proc" << QByteArray("proc") << false;
    QTest::newRow("sysfs") << "/sys" << QByteArray("sysfs") << false;
    QTest::newRow("tmpfs") << "/run/user/1000" << QByteArray("tmpfs") << false;
    QTest::newRow("snap image") << "/snap/core/1" << QByteArray("squashfs") << false;
    QTest::newRow("run lock") << "/run/lock" << QByteArray("ext4") << false;
    QTest::newRow("efi") << "/boot/efi" << QByteArray("vfat") << false;
}

void TestLibraryFiles::browsesDataVolumesOnly()
{
    QFETCH(QString, root);
    QFETCH(QByteArray, type);
    QFETCH(bool, browsable);
    QCOMPARE(LibraryFiles::isBrowsableVolume(root, type), browsable);
}

QTEST_GUILESS_MAIN(TestLibraryFiles)
#include "test_libraryfiles.moc"
