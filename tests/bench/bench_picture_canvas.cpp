// How fast the picture is drawn and followed: one repaint at 800 % filling 1280 x 1024, and
// one pointer move with its readout in the status bar, offscreen.
//   QT_QPA_PLATFORM=offscreen build/bin/bench_picture_canvas

#include "ui/PictureCanvas.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace {

QImage colourPicture()
{
    QImage picture(508, 432, QImage::Format_BGR888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
    return picture;
}

void repaintAt800Percent(benchmark::State& state)
{
    kel::PictureCanvas canvas;
    canvas.resize(1280, 1024);
    canvas.setPicture(colourPicture());
    canvas.setZoom(8.0);
    QImage target(canvas.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        canvas.viewport()->render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(repaintAt800Percent)->Unit(benchmark::kMillisecond);

void pointerMove(benchmark::State& state)
{
    kel::PictureCanvas canvas;
    canvas.resize(1280, 1024);
    canvas.setPicture(colourPicture());
    canvas.setZoom(4.0);
    int moved = 0;
    QObject::connect(&canvas, &kel::PictureCanvas::hovered, [&moved](QPoint) { ++moved; });
    int x = 0;
    for (auto _ : state) {
        x = (x + 7) % 1200;
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 300), QPointF(x, 300), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas.viewport(), &move);
    }
    benchmark::DoNotOptimize(moved);
}
BENCHMARK(pointerMove)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
