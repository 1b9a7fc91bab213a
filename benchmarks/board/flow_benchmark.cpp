// The recognition flow on the board, offscreen with the real overlay, add-in, pattern utility, box and
// engine:
//   BM_LassoToBoxShown   the release of a lasso around a six-character line to the box shown over it with
//                        its result painted: the overlay's hit test, the cut, the box's load, the
//                        recognition and the first paint
//   BM_EngineOnly        the engine's own recognition of the same strokes, as the box hands them over
//                        (the flow's overhead is the difference)
//   BM_WriteLassoCommit  1,000 rounds of a teacher's cycle (a three-character line written stroke by stroke,
//                        circled, committed by a palette press); the counters give the process's resident
//                        memory after the first 100 rounds and after the last, and the handle table's live
//                        blocks after the last beyond those before the first
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "benchmarks/quillbox/engine_timing.h"
#include "board/board_state.h"
#include "board/controls/veil_proxy.h"
#include "board/forms/slatewise_form.h"
#include "board/forms/sub_form.h"
#include "board/palette_model.h"
#include "quillbox/engine_binding.h"
#include "records/handle_table.h"
#include "stroke_file.h"

namespace {

using namespace sw::board;
using Strokes = std::vector<std::vector<QPoint>>;

constexpr QPoint kOffset(40, 60);

Strokes load(const char* name) {
    const auto file = sw::scribeng::readStrokeFile(std::filesystem::path(FLOW_BENCHMARK_DATA) / name);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", name);
        std::exit(1);
    }
    Strokes out;
    for (const auto& s : file->strokes) {
        out.emplace_back();
        for (const EnginePoint& p : s) out.back().push_back(QPoint(p.x, p.y) + kOffset);
    }
    return out;
}

QRect boundsOf(const Strokes& strokes) {
    QRect r;
    for (const auto& s : strokes)
        for (const QPoint& p : s) r |= QRect(p, QSize(1, 1));
    return r;
}

void mouse(QWidget* w, QEvent::Type type, QPoint p) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, p, w->mapToGlobal(p), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void strokeAll(QWidget* w, const std::vector<QPoint>& points, bool release = true) {
    mouse(w, QEvent::MouseButtonPress, points.front());
    for (size_t i = 1; i < points.size(); ++i) mouse(w, QEvent::MouseMove, points[i]);
    if (release) mouse(w, QEvent::MouseButtonRelease, points.back());
}

std::vector<QPoint> loopAround(QRect r) {
    r.adjust(-15, -15, 15, 15);
    std::vector<QPoint> loop;
    const QPoint corners[] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft(), r.topLeft()};
    for (int c = 0; c < 4; ++c)
        for (int i = 0; i < 10; ++i) loop.push_back(corners[c] + (corners[c + 1] - corners[c]) * i / 10);
    loop.push_back(r.topLeft());
    return loop;
}

std::unique_ptr<SlatewiseForm> startBoard() {
    auto board = std::make_unique<SlatewiseForm>(BoardOptions{QStringLiteral(SLATEWISE_RUNTIME_DIR), {}});
    board->resize(1200, 600);
    board->show();
    QApplication::processEvents();
    SubForm* palette = board->subForm();
    palette->ColPicClick(1);
    palette->WidPicClick(1);
    return board;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

void BM_LassoToBoxShown(benchmark::State& state) {
    auto board = startBoard();
    QWidget* overlay = board->veil().widget();
    const Strokes line = load("line6_a.txt");
    for (const auto& s : line) strokeAll(overlay, s);
    // The ink to restore before each round, copied from the overlay.
    const int32_t count = board->veil().pointCount();
    const auto* points = sw::resolveStrokeData(board->veil().pointData(), count);
    std::vector<sw::VeilPoint> ink(points, points + count);
    const std::vector<QPoint> lasso = loopAround(boundsOf(line));
    size_t characters = 0;
    for (auto _ : state) {
        state.PauseTiming();
        board->RecognizeEnd();
        board->state().table.reset();
        const sw::Handle h = sw::registerBlock(ink.data(), ink.size() * sizeof(sw::VeilPoint),
                                               sw::Owner::Board, sw::BlockKind::StrokeData);
        board->veil().setPointData(h, count);
        sw::unregisterBlock(h, sw::Owner::Board);
        board->subForm()->ModePicClick(kPenModeLasso);
        QApplication::processEvents();
        strokeAll(overlay, lasso, false);
        state.ResumeTiming();
        mouse(overlay, QEvent::MouseButtonRelease, lasso.back());
        QApplication::processEvents();  // the box's first paint
        state.PauseTiming();
        characters = board->quillbox().result().size();
        if (!board->quillbox().visible()) state.SkipWithError("the box was not shown");
        state.ResumeTiming();
    }
    state.counters["characters"] = static_cast<double>(characters);
}
BENCHMARK(BM_LassoToBoxShown)->Unit(benchmark::kMillisecond);

void BM_EngineOnly(benchmark::State& state) {
    const auto engine = sw::quillbox::EngineBinding::load(SLATEWISE_RUNTIME_DIR);
    if (!engine) {
        state.SkipWithError("no engine");
        return;
    }
    const auto& e = engine->api();
    const Strokes line = load("line6_a.txt");
    const QPoint shift = boundsOf(line).topLeft() - QPoint(10, 10);
    std::vector<std::vector<EnginePoint>> strokes;
    for (const auto& s : line) {
        strokes.emplace_back();
        for (const QPoint& p : s) strokes.back().push_back({p.x() - shift.x(), p.y() - shift.y()});
    }
    sw::quillbox::timeEngineRecognition(state, e, strokes);
}
BENCHMARK(BM_EngineOnly)->Unit(benchmark::kMillisecond);

void BM_WriteLassoCommit(benchmark::State& state) {
    auto board = startBoard();
    QWidget* overlay = board->veil().widget();
    SubForm* palette = board->subForm();
    const Strokes line = load("line3_a.txt");
    const std::vector<QPoint> lasso = loopAround(boundsOf(line));
    const size_t blocksBefore = sw::liveBlockCount();
    long after100 = 0;
    int round = 0;
    for (auto _ : state) {
        palette->ModePicClick(kPenModePen);
        for (const auto& s : line) strokeAll(overlay, s);
        palette->ModePicClick(kPenModeLasso);
        strokeAll(overlay, lasso);
        palette->ModePicClick(kPenModePen);  // commits
        QApplication::processEvents();
        if (board->state().table.upperBound() != 3) state.SkipWithError("the line was not committed");
        // The board's own clean copy is the one thing meant to grow; it starts afresh each round.
        board->state().table.reset();
        if (++round == 100) after100 = residentKb();
    }
    state.counters["rss_kb_after_100"] = static_cast<double>(after100);
    state.counters["rss_kb_after_all"] = static_cast<double>(residentKb());
    state.counters["blocks_left"] =
        static_cast<double>(sw::liveBlockCount()) - static_cast<double>(blocksBefore);
}
BENCHMARK(BM_WriteLassoCommit)->Unit(benchmark::kMillisecond)->Iterations(1000);

}  // namespace
