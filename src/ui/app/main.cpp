// penlark: the card designer. `penlark [FILE.pnk]` opens that card.
#include "ui/common/Dialogs.h"
#include "ui/app/MainWindow.h"
#include "ui/app/StartWindow.h"
#include "ui/common/Translations.h"
#include "render/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <memory>

namespace {

// The card file named on the command line, as an absolute path; empty when none.
QString cardFileArgument(const QStringList &arguments)
{
    const QString file = arguments.value(1);
    return file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
}

void bringToFront(QWidget &window)
{
    window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installChineseTranslations(app);
    Fonts::installSubstitutions();
    QApplication::setFont(Fonts::interfaceFont());

    QtDialogs dialogs;
    const ProgramFolder::Prepared prepared = ProgramFolder::prepare(QCoreApplication::applicationDirPath());
    if (!prepared.error.isEmpty()) {
        dialogs.show(QStringLiteral("无法准备Penlark的数据文件夹“%1”：\r%2")
                         .arg(QDir::toNativeSeparators(prepared.folder.root()), prepared.error),
                     QStringLiteral("启动时出错！"), Dialogs::Icon::Warning);
        return 1;
    }
    const ProgramFolder &folder = prepared.folder;
    // A file named on the command line, or handed over before the main window is up.
    QString fileToOpen = cardFileArgument(app.arguments());
    std::unique_ptr<MainWindow> mainWindow;
    StartWindow start(folder, dialogs, [&] {
        mainWindow = std::make_unique<MainWindow>(folder, dialogs);
        dialogs.setParent(mainWindow.get());
        mainWindow->show();
        if (!fileToOpen.isEmpty()) mainWindow->openOutsideFile(fileToOpen);
    });
    start.setFileToOpen(fileToOpen);
    QObject::connect(&start.fileHandOver(), &FileHandOver::fileReceived, [&](const QString &path) {
        fileToOpen = path;
        if (!mainWindow) return;
        bringToFront(*mainWindow);
        mainWindow->takeHandedOverFile(path);
    });
    if (!start.start()) return 0;
    return app.exec();
}
