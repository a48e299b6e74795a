#include "ui/common/Dialogs.h"
#include "ui/common/Translations.h"
#include "ui/panels/ColourPicker.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// Runs check on the modal box as soon as it shows, then presses button.
void whenBoxShows(std::function<void(QMessageBox *)> check, QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, [check, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        check(box);
        box->button(button)->click();
    });
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void messageBoxShowsCaptionIconAndLines();
    void questionsMapTheirButtons();
    void colourDialogStartsWithBlackCustomColours();
    void customColourButtonOpensQtsChineseDialogOnBlack();
    void scriptedDoubleRecordsAndAnswers();
};

void TestDialogs::messageBoxShowsCaptionIconAndLines()
{
    QtDialogs dialogs;
    whenBoxShows(
        [](QMessageBox *box) {
            QCOMPARE(box->windowTitle(), QStringLiteral("提醒您："));
            QCOMPARE(box->icon(), QMessageBox::Warning);
            QCOMPARE(box->text(), QStringLiteral("第一行\n第二行"));
        },
        QMessageBox::Ok);
    dialogs.show(QStringLiteral("第一行\r第二行"), QStringLiteral("提醒您："), Dialogs::Icon::Warning);
}

void TestDialogs::questionsMapTheirButtons()
{
    QtDialogs dialogs;
    whenBoxShows([](QMessageBox *box) { QVERIFY(box->button(QMessageBox::No)); }, QMessageBox::Yes);
    QCOMPARE(dialogs.ask("?", "c", Dialogs::Icon::Question, Dialogs::Buttons::YesNo), Dialogs::Answer::Yes);
    whenBoxShows([](QMessageBox *) {}, QMessageBox::No);
    QCOMPARE(dialogs.ask("?", "c", Dialogs::Icon::Warning, Dialogs::Buttons::YesNo), Dialogs::Answer::No);
    whenBoxShows([](QMessageBox *) {}, QMessageBox::Cancel);
    QCOMPARE(dialogs.ask("?", "c", Dialogs::Icon::Warning, Dialogs::Buttons::YesNoCancel),
             Dialogs::Answer::Cancel);

    // Esc or closing a dismissible question answers Cancel; its Cancel button stays hidden.
    using Dismiss = std::function<void(QMessageBox *)>;
    for (const Dismiss &dismiss : {Dismiss([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); }),
                                   Dismiss([](QMessageBox *box) { box->close(); })}) {
        QTimer::singleShot(0, [dismiss] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box && !box->button(QMessageBox::Cancel)->isVisible());
            dismiss(box);
        });
        QCOMPARE(dialogs.ask("?", "c", Dialogs::Icon::Warning, Dialogs::Buttons::YesNoDismissible),
                 Dialogs::Answer::Cancel);
    }
}

void TestDialogs::colourDialogStartsWithBlackCustomColours()
{
    QColorDialog::setCustomColor(3, Qt::red);
    QtDialogs dialogs;
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(QColorDialog::customColor(3), QColor(Qt::black));
        dialog->setCurrentColor(QColor(1, 2, 3));
        dialog->accept();
    });
    QCOMPARE(dialogs.chooseColor(Colour::kWhite), std::optional<Colour::Value>(Colour::fromRgb(1, 2, 3)));
}

void TestDialogs::customColourButtonOpensQtsChineseDialogOnBlack()
{
    installChineseTranslations(*qApp);
    QtDialogs dialogs;
    CustomColourButton button(3, dialogs);
    QSignalSpy chosen(&button, &CustomColourButton::colourChosen);
    QCOMPARE(button.text(), QStringLiteral(">>自定义颜色…"));

    // First opening: the person defines custom colours and cancels.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QVERIFY(dialog->testOption(QColorDialog::DontUseNativeDialog));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("选择颜色"));
        QCOMPARE(dialog->currentColor(), QColor(Qt::black));
        for (int i = 0; i < QColorDialog::customCount(); ++i) QColorDialog::setCustomColor(i, Qt::yellow);
        dialog->reject();
    });
    button.click();
    QCOMPARE(chosen.size(), 0);

    // Second opening: sixteen black custom colours again, black to start with.
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QCOMPARE(QColorDialog::customCount(), 16);
        for (int i = 0; i < QColorDialog::customCount(); ++i) QCOMPARE(QColorDialog::customColor(i), QColor(Qt::black));
        QCOMPARE(dialog->currentColor(), QColor(Qt::black));
        dialog->setCurrentColor(QColor(255, 69, 0));
        dialog->accept();
    });
    button.click();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0][0].value<Colour::Value>(), Colour::fromRgb(255, 69, 0));
}

void TestDialogs::scriptedDoubleRecordsAndAnswers()
{
    ScriptedDialogs dialogs;
    dialogs.answers = {Dialogs::Answer::Yes};
    QCOMPARE(dialogs.ask("a", "b", Dialogs::Icon::Warning, Dialogs::Buttons::YesNo), Dialogs::Answer::Yes);
    QCOMPARE(dialogs.ask("a", "b", Dialogs::Icon::Warning, Dialogs::Buttons::YesNo), Dialogs::Answer::No);
    QCOMPARE(dialogs.unanswered, 1);
    QCOMPARE(dialogs.records.size(), 2);
    QCOMPARE(dialogs.last().caption, QStringLiteral("b"));
    // Esc on a plain question presses No, as on screen.
    dialogs.answers = {Dialogs::Answer::Cancel, Dialogs::Answer::Cancel};
    QCOMPARE(dialogs.ask("a", "b", Dialogs::Icon::Warning, Dialogs::Buttons::YesNo), Dialogs::Answer::No);
    QCOMPARE(dialogs.ask("a", "b", Dialogs::Icon::Warning, Dialogs::Buttons::YesNoDismissible),
             Dialogs::Answer::Cancel);
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
