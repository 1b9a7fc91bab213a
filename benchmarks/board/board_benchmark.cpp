// The board on a full day's work, offscreen with the real overlay:
//   BM_FirstFrame    start-up (controls created from the registry, palette loaded) to the first painted
//   frame;
//                    /cold is the first board of the process (modules, fonts and font database loaded)
//   BM_PenMove       one pen move on the overlay over 2,000 committed characters and 10,000 strokes of ink:
//                    the event, the segment, the repaint of its rectangle (the canvas beneath from its image)
//   BM_FullRepaint   a repaint of the whole canvas with 2,000 characters (from the image)
//   BM_Rebuild       redrawing the image with 2,000 fitted characters (after a scroll, a resize, a changed
//   entry) BM_AddCharacter  one character committed to a board of 2,000: drawn over the image, then shown
//   BM_FirstFit      fitting and drawing 2,000 characters never painted before (in another face)
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMouseEvent>
#include <memory>
#include <random>
#include <vector>

#include "board/forms/main_picture.h"
#include "board/forms/slatewise_form.h"
#include "contracts/overlay.h"
#include "records/handle_table.h"

namespace {

using namespace sw::board;

constexpr QSize kBoardSize(1600, 900);

std::unique_ptr<SlatewiseForm> startBoard() {
    auto board = std::make_unique<SlatewiseForm>(BoardOptions{QStringLiteral(SLATEWISE_RUNTIME_DIR), {}});
    board->resize(kBoardSize);
    return board;
}

void fillTable(CharacterTable& table, int characters) {
    const std::u16string texts = u"今日は晴れです。漢字かなカナ春夏秋冬一二三四五";
    std::mt19937 random(11);
    std::uniform_int_distribution<int> size(24, 90);
    for (int i = 0; i < characters; ++i) {
        const int s = size(random);
        const int x = (i % 40) * 39, y = (i / 40) * 17 % 800;
        table.append(texts.substr(i % texts.size(), 1), {x, y, x + s, y + s}, 0x00FFFFFF, 2 + i % 3);
    }
}

// 10,000 handwriting-like strokes of 12 to 30 points set on the overlay.
void fillInk(VeilProxy& veil) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x0(10, kBoardSize.width() - 60), y0(10, kBoardSize.height() - 100),
        step(-4, 6), length(12, 30);
    std::vector<sw::VeilPoint> points;
    for (int s = 0; s < 10000; ++s) {
        int x = x0(random), y = y0(random);
        const int n = length(random);
        for (int i = 0; i < n; ++i) {
            const int16_t state = i == 0 ? sw::kStateFirst : i == n - 1 ? sw::kStateLast : 0;
            points.push_back({x, y, state, 2, 0x00FFFFFF});
            x += step(random);
            y += step(random);
        }
    }
    const sw::Handle h = sw::registerBlock(points.data(), points.size() * sizeof(sw::VeilPoint),
                                           sw::Owner::Board, sw::BlockKind::StrokeData);
    veil.call(sw::overlay::kDispSetPointData, {sw::Variant(h), sw::Variant(int32_t(points.size()))});
    sw::unregisterBlock(h, sw::Owner::Board);
}

void mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, p, w->mapToGlobal(p), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void BM_FirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        auto board = startBoard();
        board->show();
        // The first frame: the event loop runs until the canvas has painted.
        while (board->mainPicture()->imageBuilds() == 0) QApplication::processEvents();
        state.PauseTiming();
        board.reset();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
}
// Run first, once: the process's first board also loads the modules, the fonts and the font database.
BENCHMARK(BM_FirstFrame)->Name("BM_FirstFrame/cold")->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstFrame)->Unit(benchmark::kMillisecond);

struct FullBoard {
    FullBoard() : board(startBoard()) {
        fillTable(board->state().table, 2000);
        fillInk(board->veil());
        board->show();
        board->mainPicture()->repaint();
        QApplication::processEvents();
    }
    std::unique_ptr<SlatewiseForm> board;
};

void BM_PenMove(benchmark::State& state) {
    FullBoard f;
    QWidget* overlay = f.board->veil().widget();
    mouse(overlay, QEvent::MouseButtonPress, QPoint(800, 450), Qt::LeftButton);
    QApplication::processEvents();
    const int builds = f.board->mainPicture()->imageBuilds();
    int i = 0;
    for (auto _ : state) {
        const QPoint p(700 + (i * 7) % 200, 400 + (i * 13) % 100);
        ++i;
        mouse(overlay, QEvent::MouseMove, p, Qt::LeftButton);
        QApplication::processEvents();  // the repaint of the segment's rectangle, canvas beneath included
    }
    mouse(overlay, QEvent::MouseButtonRelease, QPoint(800, 450), Qt::NoButton);
    if (f.board->mainPicture()->imageBuilds() != builds) state.SkipWithError("pen moves redrew the image");
}
BENCHMARK(BM_PenMove)->Unit(benchmark::kMicrosecond);

void BM_FullRepaint(benchmark::State& state) {
    FullBoard f;
    for (auto _ : state) f.board->mainPicture()->repaint();
}
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMicrosecond);

void BM_Rebuild(benchmark::State& state) {
    FullBoard f;
    for (auto _ : state) {
        f.board->state().table.touch();
        f.board->mainPicture()->repaint();
    }
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond);

void BM_AddCharacter(benchmark::State& state) {
    FullBoard f;
    CharacterTable& table = f.board->state().table;
    int i = 0;
    for (auto _ : state) {
        const int x = (i * 37) % 1500, y = (i * 53) % 800;
        ++i;
        table.append(u"字", {x, y, x + 60, y + 60}, 0x0000FFFF, 2);
        f.board->mainPicture()->repaint();
    }
}
BENCHMARK(BM_AddCharacter)->Unit(benchmark::kMicrosecond);

void BM_FirstFit(benchmark::State& state) {
    auto board = startBoard();
    board->show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        CharacterTable& table = board->state().table;
        table.reset();
        fillTable(table, 2000);
        // A new face each time, so nothing is remembered from the last iteration.
        static int round = 0;
        board->mainPicture()->setFontFace(++round % 2 ? QStringLiteral("IPAGothic")
                                                      : QStringLiteral("IPAMincho"));
        state.ResumeTiming();
        board->mainPicture()->repaint();
    }
}
BENCHMARK(BM_FirstFit)->Unit(benchmark::kMillisecond)->Iterations(4);

}  // namespace
