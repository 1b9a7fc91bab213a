// The overlay with a full day of ink: 10,000 strokes spread over a board-sized layer.
//   BM_RebuildInkLayer  draws every visible stroke into the layer image (the repaint after a replace or
//   scroll) BM_RepaintOverlay   repaints the whole overlay window, the canvas beneath included BM_Scroll50
//   scrolls by 50 pixels and repaints (the layer image moves, a strip is drawn) BM_PenMove          one pen
//   move while writing: the event, the segment, the repaint of its rectangle BM_LassoSelect      a lasso over
//   a quarter of the board, selection and PatternSelected
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <cstdlib>
#include <random>

#include "veil/ink_layer.h"
#include "veil/veil_widget.h"

namespace {

using sw::VeilPoint;
using sw::veil::InkLayer;
using sw::veil::VeilWidget;

constexpr int kWidth = 1600;
constexpr int kHeight = 900;

// `strokes` handwriting-like strokes of 12 to 30 points, each a short random walk.
std::vector<VeilPoint> handwriting(int strokes) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x0(10, kWidth - 60), y0(10, kHeight - 60), step(-4, 6), length(12, 30);
    std::vector<VeilPoint> points;
    for (int s = 0; s < strokes; ++s) {
        int x = x0(random), y = y0(random);
        const int n = length(random);
        for (int i = 0; i < n; ++i) {
            const int16_t state = i == 0       ? sw::kStateFirst
                                  : i == n - 1 ? sw::kStateLast
                                               : sw::veil::kStateMove;
            points.push_back(VeilPoint{x, y, state, static_cast<int16_t>(s % 2 ? 2 : 4), 0x00FFFFFF});
            x += step(random);
            y += step(random);
        }
    }
    return points;
}

class Board final : public QWidget {
public:
    Board() { resize(kWidth + 4, kHeight + 4); }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, 128, 0)); }
};

struct NullListener final : sw::veil::VeilListener {
    int64_t selected = 0;
    void patternSelected(sw::Handle, int32_t count) override { selected += count; }
    void areaChanged(const QRect&) override {}
    void mouseForward(uint32_t, uint32_t, int32_t) override {}
};

struct Fixture {
    explicit Fixture(int strokes) : layer(&listener), widget(layer, &board) {
        widget.setGeometry(2, 2, kWidth, kHeight);
        layer.replacePoints(handwriting(strokes));
        board.show();
        QApplication::processEvents();
    }
    NullListener listener;
    InkLayer layer;
    Board board;
    VeilWidget widget;
};

void mouse(QWidget& w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(type, p, w.mapToGlobal(p), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void BM_RebuildInkLayer(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        f.widget.paintInk(painter, f.widget.rect());
    }
}
BENCHMARK(BM_RebuildInkLayer)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_RepaintOverlay(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        f.widget.inkReset();
        f.widget.repaint();
    }
}
BENCHMARK(BM_RepaintOverlay)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_Scroll50(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    f.widget.repaint();
    int i = 0;
    for (auto _ : state) {
        f.layer.scrollTo(0, (++i % 2) * 50);  // a press of a palette scroll button, and back
        f.widget.repaint();
    }
}
BENCHMARK(BM_Scroll50)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_CutStrokes(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    f.widget.repaint();
    const std::vector<VeilPoint> all = f.layer.points();
    // The board's cut after a lasso: 20 strokes from the middle of the set go, the rest is put back.
    const auto& strokes = f.layer.strokes();
    const size_t from = strokes[strokes.size() / 2].first;
    const size_t to = strokes[strokes.size() / 2 + 20].first;
    std::vector<VeilPoint> rest(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(from));
    rest.insert(rest.end(), all.begin() + static_cast<std::ptrdiff_t>(to), all.end());
    for (auto _ : state) {
        f.layer.replacePoints(rest);
        f.widget.repaint();
        state.PauseTiming();
        f.layer.replacePoints(all);
        f.widget.repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CutStrokes)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_PenMove(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    mouse(f.widget, QEvent::MouseButtonPress, QPoint(800, 450), Qt::LeftButton);
    f.widget.repaint();  // the layer image is built before the pen starts moving
    int i = 0;
    for (auto _ : state) {
        const QPoint p(700 + (i * 7) % 200, 400 + (i * 13) % 100);
        ++i;
        mouse(f.widget, QEvent::MouseMove, p, Qt::LeftButton);
        QApplication::processEvents();  // the repaint of the segment's rectangle
    }
    mouse(f.widget, QEvent::MouseButtonRelease, QPoint(800, 450), Qt::NoButton);
}
BENCHMARK(BM_PenMove)->Arg(0)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_LassoSelect(benchmark::State& state) {
    Fixture f(static_cast<int>(state.range(0)));
    const QPolygon lasso(
        {QPoint(0, 0), QPoint(kWidth / 2, 0), QPoint(kWidth / 2, kHeight / 2), QPoint(0, kHeight / 2)});
    for (auto _ : state) benchmark::DoNotOptimize(f.layer.selectWithLasso(lasso));
}
BENCHMARK(BM_LassoSelect)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
