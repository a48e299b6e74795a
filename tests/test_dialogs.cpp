#include "ui/app/Dialogs.h"
#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QMessageBox>
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

void TestDialogs::scriptedDoubleRecordsAndAnswers()
{
    ScriptedDialogs dialogs;
    dialogs.answers = {Dialogs::Answer::Yes};
    QCOMPARE(dialogs.ask("a", "b", Dialogs::Icon::Warning, Dialogs::Buttons::YesNo), Dialogs::Answer::Yes);
    QCOMPARE(dialogs.ask("a", "b", Dialogs::Icon::Warning, Dialogs::Buttons::YesNo), Dialogs::Answer::No);
    QCOMPARE(dialogs.unanswered, 1);
    QCOMPARE(dialogs.records.size(), 2);
    QCOMPARE(dialogs.last().caption, QStringLiteral("b"));
}

QTEST_MAIN(TestDialogs)
#include "test_dialogs.moc"
