// The board's logic without windows: layout, coordinates, palette placement and tables, font fitting, the
// character table and the stored settings.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cmath>
#include <string>
#include <vector>

#include "board/board_state.h"
#include "board/font_fit.h"
#include "board/layout.h"
#include "board/palette_model.h"
#include "board/stored_settings.h"
#include "contracts/overlay.h"

namespace {

using namespace sw::board;

QGuiApplication& app() {
    static int argc = 1;
    static char name[] = "board_impl_test";
    static char* argv[] = {name, nullptr};
    static auto* application = new QGuiApplication(argc, argv);
    return *application;
}

TEST(LayoutBoard, PlacesCanvasOverlayAndStripForEverySize) {
    struct Row {
        const char* name;
        int w, h;
        QRect canvas, overlay, strip;
    };
    const Row rows[] = {
        {"ordinary", 800, 600, {0, 0, 800, 565}, {2, 2, 796, 563}, {0, 567, 800, 33}},
        {"exactly strip plus 4", 300, 37, {0, 0, 300, 2}, {2, 2, 296, 0}, {0, 4, 300, 33}},
        {"one pixel short of the overlay", 300, 36, {0, 0, 300, 1}, {2, 2, 296, 0}, {0, 3, 300, 33}},
        {"smaller than the strip", 100, 20, {0, 0, 100, 0}, {2, 2, 96, 0}, {0, -13, 100, 33}},
        {"narrower than the insets", 3, 200, {0, 0, 3, 165}, {2, 2, 0, 163}, {0, 167, 3, 33}},
        {"empty", 0, 0, {0, 0, 0, 0}, {2, 2, 0, 0}, {0, -33, 0, 33}},
        {"4K", 3840, 2160, {0, 0, 3840, 2125}, {2, 2, 3836, 2123}, {0, 2127, 3840, 33}},
    };
    for (const Row& r : rows) {
        const BoardLayout l = layoutBoard(r.w, r.h, kStripHeight);
        EXPECT_EQ(l.canvas, r.canvas) << r.name;
        EXPECT_EQ(l.overlay, r.overlay) << r.name;
        EXPECT_EQ(l.strip, r.strip) << r.name;
        EXPECT_EQ(l.overlay.bottom(), r.overlay.height() ? l.canvas.bottom() : l.overlay.bottom()) << r.name;
    }
}

TEST(Coordinates, RoundHalvesToEvenAndReturnToTheCanvas) {
    struct Row {
        double x, y;
        int32_t scrollX, scrollY;
        PathPoint document;
    };
    const Row rows[] = {
        {10, 20, 0, 0, {8, 18}},
        {10.5, 11.5, 0, 0, {8, 10}},  // 8.5 -> 8, 9.5 -> 10
        {2.5, 2.5, 100, -50, {100, -50}},
        {0, 0, 2147483000, 0, {2147482998, -2}},  // a scroll far out stays in 32 bits
    };
    for (const Row& r : rows) {
        const PathPoint d = canvasToDocument(r.x, r.y, r.scrollX, r.scrollY, 2, 2);
        EXPECT_EQ(d, r.document) << r.x << "," << r.y;
        const QPointF back = documentToCanvas(d.X, d.Y, r.scrollX, r.scrollY, 2, 2);
        EXPECT_LE(std::abs(back.x() - r.x), 0.5);
        EXPECT_LE(std::abs(back.y() - r.y), 0.5);
    }
}

TEST(PlacePalette, CentresOnThePenAboveTheStripInsideTheScreen) {
    // Palette 157 x 159 client, 161 wide with its frame; board frame top 100, client height 600.
    const QRect screen(0, 0, 1280, 1024);
    struct Row {
        const char* name;
        QPoint press;
        int clientHeight, boardTop;
        QRect screen;
        QPoint expected;
    };
    const Row rows[] = {
        {"middle", {640, 690}, 159, 100, screen, {562, 508}},     // 640 - 78.5 = 561.5 -> 562
        {"odd press", {641, 690}, 159, 100, screen, {562, 508}},  // 562.5 -> 562
        {"left end", {10, 690}, 159, 100, screen, {0, 508}},
        {"right end", {1275, 690}, 159, 100, screen, {1280 - 161, 508}},
        {"taller than the space above", {640, 690}, 800, 100, screen, {562, 0}},
        {"second screen", {1300, 690}, 159, 100, QRect(1280, 0, 1920, 1080), {1280, 508}},
    };
    for (const Row& r : rows) {
        const QPoint p =
            placePalette({r.press, r.screen, 161, 157, r.clientHeight, r.boardTop, 600, kStripHeight});
        EXPECT_EQ(p, r.expected) << r.name;
    }
}

TEST(PaletteModel, ModeRowsWriteTheOverlayInOrder) {
    namespace ov = sw::overlay;
    using W = std::vector<std::pair<sw::DispId, int>>;
    const W expected[] = {
        {{ov::kDispDrawKind, 1},
         {ov::kDispInkInput, 1},
         {ov::kDispLassoSelect, 0},
         {ov::kDispInkDisplay, 1},
         {ov::kDispMousePassThrough, 0}},
        {{ov::kDispDrawKind, 2},
         {ov::kDispLassoSelect, 1},
         {ov::kDispInkInput, 1},
         {ov::kDispInkDisplay, 1},
         {ov::kDispMousePassThrough, 0}},
        {{ov::kDispInkInput, 0},
         {ov::kDispLassoSelect, 0},
         {ov::kDispInkDisplay, 0},
         {ov::kDispMousePassThrough, 1}},
    };
    for (int mode = 0; mode < 3; ++mode) {
        W got;
        for (const OverlayWrite& w : modeWrites(mode)) {
            got.emplace_back(w.id, w.value);
            EXPECT_EQ(w.boolean, w.id != ov::kDispDrawKind);
        }
        EXPECT_EQ(got, expected[mode]) << "mode " << mode;
    }
    EXPECT_TRUE(modeWrites(3).empty());
    EXPECT_TRUE(modeWrites(-1).empty());
}

TEST(PaletteModel, ScrollButtonsMoveBy50AndSaturate) {
    using P = std::pair<int32_t, int32_t>;
    EXPECT_EQ(scrollTarget(0, 10, 20), (P{10, 70}));
    EXPECT_EQ(scrollTarget(1, 10, 20), (P{10, -30}));
    EXPECT_EQ(scrollTarget(2, 10, 20), (P{-40, 20}));
    EXPECT_EQ(scrollTarget(3, 10, 20), (P{60, 20}));
    EXPECT_EQ(scrollTarget(0, 0, INT32_MAX - 10), (P{0, INT32_MAX}));
    EXPECT_EQ(scrollTarget(2, INT32_MIN + 1, 0), (P{INT32_MIN, 0}));
    EXPECT_FALSE(scrollTarget(4, 0, 0));
    EXPECT_EQ(widthOfSample(0), 2);
    EXPECT_EQ(widthOfSample(1), 4);
}

int linearFirstExceeding(const std::function<double(int)>& measure, double extent, int limit) {
    for (int s = 1; s < limit; ++s)
        if (measure(s) > extent) return s;
    return limit;
}

TEST(FontFit, BisectionFindsWhatAStepByStepSearchFinds) {
    const std::pair<const char*, std::function<double(int)>> measures[] = {
        {"linear", [](int s) { return s * 1.33; }},
        {"stepped", [](int s) { return double((s * 4 / 3) & ~1); }},
        {"zero glyph", [](int) { return 0.0; }},
        {"huge", [](int s) { return 1000.0 * s; }},
    };
    for (const auto& [name, measure] : measures) {
        for (double extent : {-5.0, 0.0, 0.5, 1.0, 5.0, 39.0, 40.0, 41.0, 150.0, 2000.0, 6000.0}) {
            EXPECT_EQ(firstSizeExceeding(measure, extent, 300), linearFirstExceeding(measure, extent, 300))
                << name << " extent " << extent;
        }
    }
    EXPECT_EQ(firstSizeExceeding([](int) { return 0.0; }, 10), kMaxFitPoints) << "stops at the limit";
}

TEST(FontFit, CentringMovesEachEdgeByHalfTheSlackRoundedToEven) {
    struct Row {
        const char* name;
        CharRect box;
        double tw, th;
        CharRect expected;
    };
    const Row rows[] = {
        {"slack of 5", {11, 0, 36, 10}, 20, 10, {14, 0, 34, 10}},  // 13.5 -> 14, 33.5 -> 34
        {"100 wide around 60", {100, 50, 200, 90}, 60, 40, {120, 50, 180, 90}},
        {"no slack", {120, 50, 180, 90}, 60, 40, {120, 50, 180, 90}},
        {"text larger than the box widens it", {50, 50, 55, 55}, 13, 13, {46, 46, 59, 59}},
        {"fractional text", {0, 0, 41, 41}, 40.5, 40.5, {0, 0, 41, 41}},  // 0.25 -> 0, 40.75 -> 41
    };
    for (const Row& r : rows) {
        CharRect box = r.box;
        centreBox(box, r.tw, r.th);
        EXPECT_EQ(box, r.expected) << r.name;
    }
}

TEST(FontFit, RealFontGivesTheLargestFittingSizeButAtLeast10Points) {
    app();
    CleanCopyPainter painter(QString::fromUtf16(u"ＭＳ 明朝"));
    const std::u16string text = u"漢";
    struct Row {
        CharRect box;
        bool bold;
    };
    const Row rows[] = {{{0, 0, 40, 40}, false},
                        {{0, 0, 40, 40}, true},
                        {{0, 0, 100, 40}, false},
                        {{0, 0, 30, 150}, false},
                        {{7, 9, 7 + 64, 9 + 53}, true}};
    for (const Row& r : rows) {
        const int size = painter.fit(text, r.bold, r.box);
        const QSizeF at = painter.measure(text, size, r.bold);
        const QSizeF above = painter.measure(text, size + 1, r.bold);
        const double w = r.box.Right - r.box.Left, h = r.box.Bottom - r.box.Top;
        EXPECT_TRUE(at.width() <= w && at.height() <= h) << w << "x" << h;
        EXPECT_TRUE(above.width() > w || above.height() > h) << w << "x" << h;
        // Font metrics grow with the size, which the bisection relies on.
        const auto height = [&](int s) { return painter.measure(text, s, r.bold).height(); };
        EXPECT_EQ(firstSizeExceeding(height, h, 400), linearFirstExceeding(height, h, 400));
    }
    EXPECT_EQ(painter.fit(text, false, {0, 0, 5, 5}), kMinFontPoints);
    EXPECT_EQ(painter.fit(text, false, {10, 10, 10, 0}), kMinFontPoints) << "degenerate box";
}

TEST(CharacterTable, StaysFourArraysOfOneBoundAndCountsItsChanges) {
    CharacterTable t;
    EXPECT_EQ(t.upperBound(), 0);
    EXPECT_EQ(t.CharTexts[0], u"");
    const uint64_t v0 = t.version();
    EXPECT_EQ(t.append(u"漢", {1, 2, 3, 4}, 0xFF, 2), 1);
    EXPECT_EQ(t.grow(2), 1);
    EXPECT_EQ(t.grow(0), 3);
    EXPECT_EQ(t.grow(-5), 3);
    EXPECT_GT(t.version(), v0);
    for (size_t n : {t.CharRects.size(), t.CharColors.size(), t.CharWidths.size(), t.CharTexts.size()})
        EXPECT_EQ(n, 4u);
    EXPECT_EQ(t.CharRects[1], (CharRect{1, 2, 3, 4}));
    EXPECT_EQ(t.CharWidths[3], 0);
    t.reset();
    EXPECT_EQ(t.upperBound(), 0);
    EXPECT_EQ(t.CharRects[0], CharRect{});
}

TEST(StoredSettings, ExtentAndEveryPropertyOfTheBoxAreThere) {
    const sw::PropertyBag box = sw::PropertyBag::fromText(quillboxSettingsText());
    EXPECT_EQ(storedExtent(box, {}), QSize(97, 89));  // 2566 x 2355 hundredths of a millimetre
    for (const char* name : {"ForeColor", "BackColor", "ResultFontName", "RecogNum", "DivSize",
                             "TapPointSize", "RButtonClear", "chKanji2", "ForeColorR", "Result"})
        EXPECT_TRUE(box.read(name)) << name;
    EXPECT_EQ(*box.read("ResultFontName"), "ＭＳ 明朝");
    EXPECT_EQ(*box.read("BackCharColor"), "&H00FFC4C4");

    const QSize fallback(5, 6);
    for (const char* text :
         {"", "_ExtentX = 10", "_ExtentX = -3\n_ExtentY = 10", "_ExtentX = 1e3\n_ExtentY = 1"})
        EXPECT_EQ(storedExtent(sw::PropertyBag::fromText(text), fallback), fallback) << text;
}

}  // namespace
