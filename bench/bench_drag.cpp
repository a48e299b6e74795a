// One step of dragging a text object: the move event (new position, trim
// area, selection frame) and the repaint of what changed on the page.
#include "BenchMain.h"
#include "PageBench.h"

#include <QApplication>
#include <QMouseEvent>

namespace {

struct Drag : PageBench {
    QWidget *name;
    int step = 0;

    Drag()
    {
        showDefaultCard();
        name = page.textObject(0);
        send(QEvent::MouseButtonPress, {300, 25}, Qt::LeftButton);
    }

    void send(QEvent::Type type, QPoint pagePixel, Qt::MouseButton button)
    {
        const QPointF local = name->mapFrom(&page, QPointF(pagePixel));
        QMouseEvent event(type, local, name->mapToGlobal(local), button, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(name, &event);
    }

    void moveOnce()
    {
        ++step;
        send(QEvent::MouseMove, {200 + step % 40, 25 + step % 7}, Qt::NoButton);
    }
};

void BM_DragMoveEvent(benchmark::State &state)
{
    Drag drag;
    for (auto _ : state) drag.moveOnce();
}
BENCHMARK(BM_DragMoveEvent)->Unit(benchmark::kMicrosecond);

void BM_DragMoveAndRepaint(benchmark::State &state)
{
    Drag drag;
    for (auto _ : state) {
        drag.moveOnce();
        QApplication::processEvents(); // paints the region the move invalidated
    }
}
BENCHMARK(BM_DragMoveAndRepaint)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    return runBenchmarks<QApplication>(argc, argv);
}
