// An install into a temporary prefix: the files the desktop needs, checked by
// the desktop's own validators, and the per-user program folder made from it.
#include "model/ProgramFolder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kAppId = QStringLiteral("cn.example.penlark.designer");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs a program; its exit status and standard output and error together.
std::pair<int, QString> run(const QString &program, const QStringList &arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) return {-1, QStringLiteral("timed out")};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

// Every file and folder under root, relative to it, in order.
QStringList entriesUnder(const QString &root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void installsTheDesktopFiles();
    void passesTheDesktopValidators();
    void thumbnailerDrawsTheCard();
    void makesTheUserFolderOnceAndKeepsTheUsersFiles();
    void neverBringsBackWhatTheUserRemoved();
    void makesTheUserFolderFromAReadOnlyCopy();
    void thumbnailerReadsThePicturesTheDesignerWould();
    void debianPackageMeetsThePolicy();

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }
    QTemporaryDir m_prefix;
};

void TestInstall::initTestCase()
{
    const auto [status, output] = run(QStringLiteral(PENLARK_CMAKE),
                                      {QStringLiteral("--install"), QStringLiteral(PENLARK_BUILD_DIR),
                                       QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(status == 0, qPrintable(output));
}

void TestInstall::installsTheDesktopFiles()
{
    for (const char *file : {"bin/penlark", "bin/penlark-card", "share/penlark/penlark.dll", "share/thumbnailers/penlark.thumbnailer",
                             "share/mime/packages/cn.example.penlark.designer.xml"})
        QVERIFY2(QFileInfo(installed(QString::fromLatin1(file))).isFile(), file);
    QVERIFY(QFileInfo(installed(QStringLiteral("bin/penlark"))).isExecutable());
    QCOMPARE(contents(installed(QStringLiteral("share/penlark/penlark.dll"))),
             contents(QStringLiteral(PENLARK_PROGRAM_SOURCE "/penlark.dll")));
    QVERIFY(!QDir(installed(QStringLiteral("share/penlark/logo"))).isEmpty());
    for (int size : {48, 128, 256}) {
        const QString folder = installed(QStringLiteral("share/icons/hicolor/%1x%1/").arg(size));
        QCOMPARE(QImage(folder + QStringLiteral("apps/") + kAppId + QStringLiteral(".png")).size(), QSize(size, size));
        QCOMPARE(QImage(folder + QStringLiteral("mimetypes/application-x-penlark-card.png")).size(), QSize(size, size));
    }
    const QByteArray entry = contents(installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop")));
    QVERIFY(entry.contains("\nName=Penlark 名片设计\n"));
    QVERIFY(entry.contains("\nExec=penlark %f\n"));
    QVERIFY(entry.contains("\nMimeType=application/x-penlark-card;\n"));
}

void TestInstall::passesTheDesktopValidators()
{
    const QString desktopValidator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (desktopValidator.isEmpty() || appstream.isEmpty())
        QSKIP("desktop-file-validate or appstreamcli is not installed (packages desktop-file-utils, appstream)");
    const auto desktop = run(desktopValidator, {installed(QStringLiteral("share/applications/") + kAppId + QStringLiteral(".desktop"))});
    QVERIFY2(desktop.first == 0 && !desktop.second.contains(QStringLiteral("error")), qPrintable(desktop.second));
    const auto metainfo = run(appstream, {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                          installed(QStringLiteral("share/metainfo/") + kAppId + QStringLiteral(".metainfo.xml"))});
    QVERIFY2(metainfo.first == 0, qPrintable(metainfo.second));
}

void TestInstall::thumbnailerDrawsTheCard()
{
    // The command line the file manager runs, from the installed entry.
    const QString entry = QString::fromUtf8(contents(installed(QStringLiteral("share/thumbnailers/penlark.thumbnailer"))));
    const QString exec = QRegularExpression(QStringLiteral("\nExec=(.*)\n")).match(entry).captured(1);
    QCOMPARE(exec, QStringLiteral("penlark-card thumbnail %i %o --size %s"));
    QTemporaryDir work;
    const QString tool = installed(QStringLiteral("bin/penlark-card"));
    const QString card = work.filePath(QStringLiteral("名片.pnk"));
    QCOMPARE(run(tool, {QStringLiteral("new"), card}).first, 0);
    const QString out = work.filePath(QStringLiteral("t.png"));
    const QStringList arguments = exec.split(u' ').mid(1).replaceInStrings(QStringLiteral("%i"), card)
                                      .replaceInStrings(QStringLiteral("%o"), out)
                                      .replaceInStrings(QStringLiteral("%s"), QStringLiteral("128"));
    const auto [status, output] = run(tool, arguments);
    QVERIFY2(status == 0, qPrintable(output));
    // The 90 x 54 mm card without its bleed, 128 pixels across.
    QCOMPARE(QImage(out).size(), QSize(128, 77));

    // PDFs are finished by a module the installed tool finds beside it, and
    // a missing module is a clear failure, not a crash.
    const QStringList toPdf{QStringLiteral("render"), card, QStringLiteral("-o"), work.filePath(QStringLiteral("t.pdf"))};
    const auto [pdfStatus, pdfOutput] = run(tool, toPdf);
    QVERIFY2(pdfStatus == 0 && QFileInfo(work.filePath(QStringLiteral("t.pdf"))).size() > 0, qPrintable(pdfOutput));
    const QString moduleDir = installed(QStringLiteral(PENLARK_MODULE_INSTALL_DIR));
    QVERIFY(QDir(moduleDir).exists());
    QVERIFY(QDir().rename(moduleDir, moduleDir + QStringLiteral(".moved")));
    const auto [missingStatus, missingOutput] = run(tool, toPdf);
    QVERIFY(QDir().rename(moduleDir + QStringLiteral(".moved"), moduleDir));
    QCOMPARE(missingStatus, 1);
    QVERIFY2(missingOutput.contains(QStringLiteral("cannot load the PDF finishing module")), qPrintable(missingOutput));
}

void TestInstall::makesTheUserFolderOnceAndKeepsTheUsersFiles()
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString bin = installed(QStringLiteral("bin"));
    ProgramFolder::Prepared prepared = ProgramFolder::prepare(bin);
    QCOMPARE(prepared.error, QString());
    QCOMPARE(prepared.folder.root(), home.filePath(QStringLiteral("penlark")));
    const QString settings = prepared.folder.settingsFile();
    QCOMPARE(contents(settings), contents(installed(QStringLiteral("share/penlark/penlark.dll"))));
    QVERIFY(QFileInfo(settings).isWritable());
    QVERIFY(!QDir(prepared.folder.libraryDir(ProgramFolder::Library::Logos)).isEmpty());
    // A second start, after the user changed the settings: nothing replaced.
    QFile changed(settings);
    QVERIFY(changed.open(QIODevice::WriteOnly));
    changed.write("[card]\r\ncardName=我的\r\n");
    changed.close();
    QCOMPARE(ProgramFolder::prepare(bin).error, QString());
    QCOMPARE(contents(settings), QByteArray("[card]\r\ncardName=我的\r\n"));
    // A build tree keeps its own folder; a folder that cannot be made is named with the reason.
    QCOMPARE(ProgramFolder::locate(prepared.folder.root()).root(), prepared.folder.root());
    qputenv("XDG_DATA_HOME", settings.toUtf8());
    prepared = ProgramFolder::prepare(bin);
    QVERIFY(prepared.error.startsWith(settings + QStringLiteral("/penlark: ")));
    qunsetenv("XDG_DATA_HOME");
}

void TestInstall::neverBringsBackWhatTheUserRemoved()
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString bin = installed(QStringLiteral("bin"));
    const ProgramFolder folder = ProgramFolder::prepare(bin).folder;
    const QString category = folder.libraryDir(ProgramFolder::Library::Cards) + QStringLiteral("/示例名片");
    const QString logo = folder.libraryDir(ProgramFolder::Library::Logos) + QStringLiteral("/企业标志/山峰.jpg");
    QVERIFY(QDir(category).removeRecursively());
    QVERIFY(QFile::remove(logo));
    QVERIFY(QFile::remove(folder.settingsFile()));
    const QStringList kept = entriesUnder(folder.root());
    QCOMPARE(ProgramFolder::prepare(bin).error, QString());
    QCOMPARE(entriesUnder(folder.root()), kept);
    QVERIFY(!kept.contains(QStringLiteral("penlark.dll"))); // so the start-up check can say it is missing

    // A later version's new template file comes once; deleted, it stays away.
    const QString added = installed(QStringLiteral("share/penlark/logo/新类/新.jpg"));
    QVERIFY(QDir().mkpath(QFileInfo(added).path()));
    QVERIFY(QFile::copy(installed(QStringLiteral("share/penlark/logo/企业标志/青禾.jpg")), added));
    QVERIFY(QDir().mkpath(installed(QStringLiteral("share/penlark/mycard/空类")))); // an empty category comes too
    QCOMPARE(ProgramFolder::prepare(bin).error, QString());
    QVERIFY(QFileInfo(folder.libraryDir(ProgramFolder::Library::Cards) + QStringLiteral("/空类")).isDir());
    QVERIFY(QDir(installed(QStringLiteral("share/penlark/mycard/空类"))).removeRecursively());
    const QString arrived = folder.libraryDir(ProgramFolder::Library::Logos) + QStringLiteral("/新类/新.jpg");
    QCOMPARE(contents(arrived), contents(added));
    QVERIFY(QFile::remove(arrived));
    QVERIFY(ProgramFolder::prepare(bin).error.isEmpty());
    QVERIFY(!QFileInfo::exists(arrived));
    QVERIFY(QDir(QFileInfo(added).path()).removeRecursively());

    // A folder filled at every start before the record was kept takes its
    // present state as what it was given.
    QVERIFY(QFile::remove(folder.root() + u'/' + ProgramFolder::kTemplateRecord));
    QStringList before = entriesUnder(folder.root());
    QVERIFY(ProgramFolder::prepare(bin).error.isEmpty());
    QStringList withRecord = before << ProgramFolder::kTemplateRecord;
    withRecord.sort();
    QCOMPARE(entriesUnder(folder.root()), withRecord);
    qunsetenv("XDG_DATA_HOME");
}

void TestInstall::makesTheUserFolderFromAReadOnlyCopy()
{
    // A complete program folder that cannot be written, with nothing installed
    // beside it: the user's folder is made from it. As root the start runs as
    // nobody, to whom the folder is read-only.
    QTemporaryDir work;
    QFile::setPermissions(work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                           QFile::ExeOther | QFile::WriteOther);
    const QString copy = work.filePath(QStringLiteral("penlark"));
    QVERIFY(QDir().mkpath(copy + QStringLiteral("/mycard/示例名片")));
    QVERIFY(QFile::copy(QStringLiteral(PENLARK_PROGRAM_SOURCE "/penlark.dll"), copy + QStringLiteral("/penlark.dll")));
    QVERIFY(QFile::copy(QStringLiteral(PENLARK_PROGRAM_SOURCE "/mycard/示例名片/简约白.pnk"),
                        copy + QStringLiteral("/mycard/示例名片/简约白.pnk")));
    QVERIFY(QFile::copy(installed(QStringLiteral("bin/penlark-card")), copy + QStringLiteral("/penlark-card")));
    const QStringList entries = entriesUnder(copy) << QString();
    for (const QString &entry : entries)
        QFile::setPermissions(copy + u'/' + entry, QFileInfo(copy + u'/' + entry).isDir()
                                                       ? QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
                                                       : QFile::ReadOwner | QFile::ReadOther);
    const QString home = work.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));
    QFile::setPermissions(home, QFile::ReadOther | QFile::WriteOther | QFile::ExeOther | QFile::ReadOwner |
                                    QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_DATA_HOME", home.toUtf8());
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
        const ProgramFolder::Prepared prepared = ProgramFolder::prepare(copy);
        _exit(prepared.error.isEmpty() ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    qunsetenv("XDG_DATA_HOME");
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    // Its data, not its programs.
    QCOMPARE(entriesUnder(home + QStringLiteral("/penlark")),
             (QStringList{ProgramFolder::kTemplateRecord, QStringLiteral("mycard"), QStringLiteral("mycard/示例名片"),
                          QStringLiteral("mycard/示例名片/简约白.pnk"), QStringLiteral("penlark.dll")}));
    QCOMPARE(contents(home + QStringLiteral("/penlark/penlark.dll")), contents(copy + QStringLiteral("/penlark.dll")));
}

// Before the designer's first start there is no per-user folder yet: the
// thumbnailer takes the pictures from the installed template it will be made
// from, and once it is made, from it alone.
void TestInstall::thumbnailerReadsThePicturesTheDesignerWould()
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    const QString card = installed(QStringLiteral("share/penlark/mycard/示例名片/商务蓝.pnk"));
    const QString out = home.filePath(QStringLiteral("t.png"));
    const auto thumbnail = [&](const QStringList &extra) {
        const auto [status, output] = run(installed(QStringLiteral("bin/penlark-card")),
                                          QStringList{QStringLiteral("thumbnail"), card, out} + extra);
        return std::pair(status == 0 ? QImage(out) : QImage(), output);
    };
    const auto [fromTemplate, templateOutput] =
        thumbnail({QStringLiteral("--program-folder"), installed(QStringLiteral("share/penlark"))});
    const auto [beforeFirstStart, beforeOutput] = thumbnail({});
    QVERIFY2(beforeOutput.isEmpty(), qPrintable(beforeOutput));
    QVERIFY(!QFileInfo::exists(home.filePath(QStringLiteral("penlark"))));
    QCOMPARE(beforeFirstStart, fromTemplate);
    // The dark blue background, under white texts.
    const QColor corner = beforeFirstStart.pixelColor(3, 3);
    QVERIFY2(corner.blue() > corner.red() + 40 && corner.value() < 160, qPrintable(corner.name()));

    const ProgramFolder folder = ProgramFolder::prepare(installed(QStringLiteral("bin"))).folder;
    QVERIFY(QFile::remove(folder.libraryDir(ProgramFolder::Library::Backgrounds) + QStringLiteral("/商务/深蓝.jpg")));
    const auto [afterRemoval, removalOutput] = thumbnail({});
    QVERIFY2(removalOutput.contains(QStringLiteral("background picture not found: 商务\\深蓝.jpg")), qPrintable(removalOutput));
    QCOMPARE(afterRemoval.pixelColor(3, 3), QColor(Qt::white));
    qunsetenv("XDG_DATA_HOME");
}

void TestInstall::debianPackageMeetsThePolicy()
{
    const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    const QString lintian = QStandardPaths::findExecutable(QStringLiteral("lintian"));
    if (dpkgDeb.isEmpty() || lintian.isEmpty())
        QSKIP("dpkg-deb or lintian is not installed (packages dpkg-dev, lintian)");
    QTemporaryDir out;
    const auto [status, output] = run(QStringLiteral(PENLARK_CPACK),
                                      {QStringLiteral("--config"), QStringLiteral(PENLARK_BUILD_DIR "/CPackConfig.cmake"),
                                       QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path()},
                                      600000);
    QVERIFY2(status == 0, qPrintable(output));
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")});
    QVERIFY2(debs.size() == 1 && debs.first().startsWith(QStringLiteral("penlark_3.0.0-1_")), qPrintable(debs.join(u' ')));
    const QString deb = out.filePath(debs.first());

    // No maintainer scripts: the qpdf module is private, so there is no ldconfig to run.
    QVERIFY(run(dpkgDeb, {QStringLiteral("--control"), deb, out.filePath(QStringLiteral("control"))}).first == 0);
    QCOMPARE(QDir(out.filePath(QStringLiteral("control"))).entryList(QDir::Files),
             (QStringList{QStringLiteral("control"), QStringLiteral("md5sums")}));
    const QString files = run(dpkgDeb, {QStringLiteral("--contents"), deb}).second;
    for (const char *file : {"./usr/share/doc/penlark/copyright", "./usr/share/doc/penlark/changelog.Debian.gz",
                             "./usr/share/man/man1/penlark.1.gz", "./usr/share/man/man1/penlark-card.1.gz",
                             "./usr/" PENLARK_MODULE_INSTALL_DIR "/penlark_pdf_finishing.so"})
        QVERIFY2(files.contains(QLatin1String(file)), file);

    // Debian's own check: no error and no warning.
    const auto [lintianStatus, report] = run(lintian, {QStringLiteral("--tag-display-limit"), QStringLiteral("0"), deb},
                                             600000);
    const QStringList tags = report.split(u'\n').filter(QRegularExpression(QStringLiteral("^[EW]: ")));
    QVERIFY2(lintianStatus == 0 && tags.isEmpty(), qPrintable(report));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
