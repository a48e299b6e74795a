// penlark: the card designer.
#include "ui/common/Dialogs.h"
#include "ui/app/MainWindow.h"
#include "ui/app/StartWindow.h"
#include "ui/common/Translations.h"
#include "render/Fonts.h"

#include <QApplication>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installChineseTranslations(app);
    Fonts::installSubstitutions();
    QApplication::setFont(Fonts::interfaceFont());

    const ProgramFolder folder = ProgramFolder::ofExecutable();
    QtDialogs dialogs;
    std::unique_ptr<MainWindow> mainWindow;
    StartWindow start(folder, dialogs, [&] {
        mainWindow = std::make_unique<MainWindow>(folder, dialogs);
        dialogs.setParent(mainWindow.get());
        mainWindow->show();
    });
    if (!start.start()) return 0;
    return app.exec();
}
