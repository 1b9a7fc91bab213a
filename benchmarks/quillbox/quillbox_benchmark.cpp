// Timings of the recognition box with the real engine of the runtime folder, in an offscreen window:
//   BM_PenMove:              one pen move of a stroke being written in input mode (mouse event to the box's
//                            window, segment drawn into the canvas, window area invalidated);
//   BM_PenMovePainted:       the same plus the repaint of the invalidated area;
//   BM_ReWrite:              ReWrite of a shown 1000 x 160 box holding a result of 20 characters;
//   BM_RecognizeThroughBox:  Recognize of a six-character line on the hidden box (board settings);
//   BM_RecognizeEngineOnly:  the engine's own RecognizeNF and GetString of the same line;
//   BM_RecognizeBoxOverEngine: both alternately, with the box's overhead as a counter;
//   BM_SelectStrokesInRegion: the strokes a lasso around a 40-character result selects.
// Each recognition runs on a fresh engine object holding the strokes (made outside the timing: SetString
// for the box, CreateNewObject and AddStrokeLast for the engine).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

#include "benchmarks/quillbox/engine_timing.h"
#include "contracts/quillbox.h"
#include "platform/gdi/fonts.h"
#include "quillbox/quillbox_ctrl.h"
#include "records/handle_table.h"
#include "stroke_file.h"
#include "stroke_records.h"

namespace {

using namespace sw;
using namespace sw::quillbox;
using test::makePtw;
using test::Strokes;

QApplication& app() {
    static int argc = 1;
    static char name[] = "quillbox_benchmark";
    static char* argv[] = {name, nullptr};
    static QApplication* a = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        auto* application = new QApplication(argc, argv);
        gdi::installFaceSubstitutions();
        return application;
    }();
    return *a;
}

Strokes load(const char* name, double scale = 1.0, int dx = 0, int dy = 0) {
    auto file = scribeng::readStrokeFile(std::filesystem::path(QUILLBOX_BENCHMARK_DATA) / name);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", name);
        std::exit(1);
    }
    for (auto& s : file->strokes)
        for (auto& p : s)
            p = EnginePoint{static_cast<int32_t>(p.x * scale) + dx, static_cast<int32_t>(p.y * scale) + dy};
    return file->strokes;
}

// A box as the board runs it: its stored settings, created in a host window.
struct Box {
    std::unique_ptr<QWidget> host = (app(), std::make_unique<QWidget>());
    std::unique_ptr<CQuillboxCtrl> ctrl = std::make_unique<CQuillboxCtrl>(QUILLBOX_RUNTIME_DIR);

    Box(QSize size, bool shown) {
        PropertyBag bag = PropertyBag::fromText(
            "ForeColor = &H00FFFFFF\nBackColor = &H0080FF80\nForeColorR = &H00FFFFFF\nResultColor = "
            "&H000000FF\n"
            "ResultFontColor = &H000000FF\nResultFontMiniColor = &H008080FF\nTapPointColor = &H0000C000\n"
            "ForeWidth = 2\nMinBound = 2\nResultFontWidth = 2\nRecogNum = 5\nTapPointSize = 0.5\n");
        PropExchange exchange(ExchangeMode::Load, &bag);
        ctrl->exchangeProperties(exchange);
        host->resize(size + QSize(20, 20));
        if (!ctrl->createWindow(host.get())) {
            std::fprintf(stderr, "the box did not load the engine\n");
            std::exit(1);
        }
        ctrl->setExtent(size.width(), size.height());
        ctrl->window()->setVisible(shown);
        if (shown) {
            host->show();
            QApplication::processEvents();
        }
    }
    ~Box() {
        ctrl.reset();
        host.reset();
    }
    QuillboxBox& box() { return ctrl->box(); }
    void setString(const Strokes& strokes) {
        const Handle ptw = makePtw(strokes);
        box().setString(ptw);
        freePtw(ptw, Owner::Test);
    }
};

// Strokes of the development lines side by side, scaled to `scale`, 18 pixels between lines.
Strokes composedLine(std::initializer_list<const char*> files, double scale) {
    Strokes strokes;
    int x = 10;
    for (const char* name : files) {
        const Strokes line = load(name, scale, x, 40);
        strokes.insert(strokes.end(), line.begin(), line.end());
        int right = 0;
        for (const auto& s : line)
            for (const auto& p : s) right = std::max(right, p.x);
        x = right + 18;
    }
    return strokes;
}

void BM_PenMove(benchmark::State& state, bool painted) {
    Box b(QSize(1000, 160), true);
    QWidget* w = b.ctrl->window();
    auto send = [&](QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &event);
    };
    send(QEvent::MouseButtonPress, {100, 80}, Qt::LeftButton, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        // A stroke that wanders right and back, two to three pixels a move as a pen does.
        const int step = i++ % 600;
        const QPoint p(100 + (step < 300 ? step * 3 : (600 - step) * 3), 80 + (step % 7) - 3);
        send(QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton);
        if (painted) QCoreApplication::processEvents();
    }
    send(QEvent::MouseButtonRelease, {100, 80}, Qt::LeftButton, Qt::NoButton);
}
BENCHMARK_CAPTURE(BM_PenMove, handled, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_PenMove, painted, true)->Unit(benchmark::kMicrosecond);

void BM_ReWrite(benchmark::State& state) {
    Box b(QSize(1000, 160), true);
    // Twenty characters of the development lines, written 50 pixels apart.
    const Strokes strokes =
        composedLine({"line7_a.txt", "line6_a.txt", "line6_b.txt", "single_01.txt"}, 0.357);
    b.setString(strokes);
    b.box().recognize();
    int32_t count = 0;
    b.box().engineString(&count);
    state.counters["characters"] = count;
    for (auto _ : state) b.box().reWrite();
}
BENCHMARK(BM_ReWrite)->Unit(benchmark::kMillisecond);

void BM_RecognizeThroughBox(benchmark::State& state) {
    Box b(QSize(860, 140), false);
    const Strokes strokes = load("line6_a.txt");
    for (auto _ : state) {
        state.PauseTiming();
        b.setString(strokes);  // the board's order: the strokes into a cleared box, then Recognize
        state.ResumeTiming();
        b.box().recognize();
    }
    int32_t count = 0;
    b.box().engineString(&count);
    state.counters["characters"] = count;
}
BENCHMARK(BM_RecognizeThroughBox)->Unit(benchmark::kMillisecond);

void BM_RecognizeEngineOnly(benchmark::State& state) {
    app();
    const auto engine = EngineBinding::load(QUILLBOX_RUNTIME_DIR);
    const EngineApi& e = engine->api();
    const Strokes strokes = load("line6_a.txt");
    timeEngineRecognition(state, e, strokes);
}
BENCHMARK(BM_RecognizeEngineOnly)->Unit(benchmark::kMillisecond);

// A closed lasso of 240 points around a 40-character result (all characters selected).
void BM_SelectStrokesInRegion(benchmark::State& state) {
    Box b(QSize(2100, 160), false);
    b.setString(composedLine(
        {"line7_a.txt", "line6_a.txt", "line6_b.txt", "line5_a.txt", "line3_a.txt", "line3_b.txt",
         "line3_c.txt", "line3_d.txt", "single_26.txt", "single_28.txt", "single_31.txt", "single_39.txt"},
        0.357));
    b.box().recognize();
    int32_t count = 0;
    b.box().engineString(&count);
    std::vector<QPoint> lasso;
    for (int i = 0; i < 60; ++i) lasso.emplace_back(4 + i * 2090 / 60, 4);
    for (int i = 0; i < 60; ++i) lasso.emplace_back(2095, 4 + i * 150 / 60);
    for (int i = 0; i < 60; ++i) lasso.emplace_back(2095 - i * 2090 / 60, 155);
    for (int i = 0; i < 60; ++i) lasso.emplace_back(4, 155 - i * 150 / 60);
    b.box().leftDown(lasso.front());
    for (const QPoint& p : lasso) b.box().mouseMove(p);
    StrokeRun run;
    for (auto _ : state) benchmark::DoNotOptimize(run = b.box().selectStrokesInRegion());
    state.counters["characters"] = count;
    state.counters["selected_strokes"] = run.last - run.first + 1;
}
BENCHMARK(BM_SelectStrokesInRegion)->Unit(benchmark::kMicrosecond);

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The two recognitions alternately, each timed in thread CPU time so that other processes on the machine
// do not enter the difference: counters box_ms, engine_ms and their difference overhead_ms per line.
void BM_RecognizeBoxOverEngine(benchmark::State& state) {
    Box b(QSize(860, 140), false);
    const Strokes strokes = load("line6_a.txt");
    const auto engine = EngineBinding::load(QUILLBOX_RUNTIME_DIR);
    const EngineApi& e = engine->api();
    double boxMs = 0;
    double engineMs = 0;
    for (auto _ : state) {
        b.setString(strokes);
        double t = threadCpuMs();
        b.box().recognize();
        boxMs += threadCpuMs() - t;

        const int32_t object = e.CreateNewObject();
        for (const auto& s : strokes) e.AddStrokeLast(object, s.data(), static_cast<int32_t>(s.size()));
        int32_t count = 0;
        t = threadCpuMs();
        e.SetRecCategory(0x1FF);
        if (e.RecognizeNF(object) == 0) benchmark::DoNotOptimize(e.GetString(object, 0, &count));
        engineMs += threadCpuMs() - t;
        e.DestroyObject(object);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["box_ms"] = boxMs / n;
    state.counters["engine_ms"] = engineMs / n;
    state.counters["overhead_ms"] = (boxMs - engineMs) / n;
}
BENCHMARK(BM_RecognizeBoxOverEngine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
