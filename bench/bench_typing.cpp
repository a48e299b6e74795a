// One keystroke in the text panel's content box: the text goes to the object,
// the fit rule measures it and makes or keeps its block, the page takes the
// new boxes; with the repaint of the page.
#include "BenchMain.h"
#include "PageBench.h"
#include "ui/common/Dialogs.h"
#include "ui/panels/TextPanel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

struct Typing : PageBench {
    QtDialogs dialogs;
    TextPanel panel{session, page, dialogs};
    int step = 0;

    explicit Typing(const QString &start)
    {
        showDefaultCard();
        panel.chooseObject(3); // the address
        panel.contentBox()->setPlainText(start);
        panel.contentBox()->moveCursor(QTextCursor::End);
    }

    // Types one character, or takes one back every other step so the text
    // stays the same length.
    void keystroke()
    {
        const bool back = ++step % 2 == 0;
        QKeyEvent press(QEvent::KeyPress, back ? Qt::Key_Backspace : 0, Qt::NoModifier,
                        back ? QString() : QStringLiteral("路"));
        QApplication::sendEvent(panel.contentBox(), &press);
    }
};

const QString kShort = QStringLiteral("地址：北京市海淀区学院路38号");
const QString kLong = kShort + QStringLiteral("青禾大厦B座1208室，近地铁十三号线五道口站东南出口，步行五分钟");

void BM_TypeOneLine(benchmark::State &state)
{
    Typing typing(kShort);
    for (auto _ : state) typing.keystroke();
}
BENCHMARK(BM_TypeOneLine)->Unit(benchmark::kMicrosecond);

void BM_TypeInABlockAndRepaint(benchmark::State &state)
{
    Typing typing(kLong);
    for (auto _ : state) {
        typing.keystroke();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_TypeInABlockAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
