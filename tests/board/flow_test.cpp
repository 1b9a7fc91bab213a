// The recognition flow on the board started in-process (offscreen, a registry of its own, the real overlay,
// add-in, pattern utility, recognition box and engine): strokes of the engine's development set written
// through the overlay as a pen draws them, circled, corrected in the box and committed to the clean copy.
// Also the flow's arithmetic, and MouseForward's delivery through the overlay.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>
#include <functional>

#include "board/flow_geometry.h"
#include "board/forms/dic_form.h"
#include "board/forms/main_picture.h"
#include "board/forms/sub_form.h"
#include "board_support.h"
#include "contracts/overlay.h"
#include "contracts/quillbox.h"
#include "platform/window/menu.h"
#include "platform/window/window.h"
#include "records/handle_table.h"
#include "stroke_file.h"

namespace {

using namespace sw::board;
using sw::board::test::BoardFixture;
using sw::board::test::BoardSetup;
namespace ov = sw::overlay;
namespace qb = sw::quillbox;

// --- The arithmetic ---

TEST(FlowGeometry, BoxPlacementAndCommitRoundTrip) {
    struct Row {
        const char* name;
        CharRect selection;
        QPoint overlay, scroll;
        QRect box;
    };
    const Row rows[] = {
        {"overlay inset", {100, 50, 160, 90}, {2, 2}, {0, 0}, QRect(92, 42, 80, 60)},
        {"scrolled", {100, 50, 160, 90}, {2, 2}, {50, -20}, QRect(42, 62, 80, 60)},
        {"left of the board", {-40, 0, -10, 5}, {0, 0}, {0, 0}, QRect(-50, -10, 50, 25)},
        {"one point", {7, 7, 7, 7}, {2, 2}, {0, 0}, QRect(-1, -1, 20, 20)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const QRect box = quillboxPlacement(r.selection, r.overlay, r.scroll);
        EXPECT_EQ(box, r.box);
        // The strokes sit at (10, 10) in the box; committing them there gives back the selection.
        const CharRect inBox{kBoxMargin, kBoxMargin, kBoxMargin + r.selection.Right - r.selection.Left,
                             kBoxMargin + r.selection.Bottom - r.selection.Top};
        EXPECT_EQ(committedRect(box.topLeft(), inBox, r.overlay, r.scroll), r.selection);
    }
    // Fractional box positions round half to even.
    EXPECT_EQ(committedRect({0.5, 1.5}, {0, 0, 2, 2}, {0, 0}, {0, 0}), (CharRect{0, 2, 2, 4}));
    EXPECT_EQ(committedRect({-0.5, 2.5}, {0, 0, 1, 1}, {0, 0}, {0, 0}), (CharRect{0, 2, 0, 4}));
}

TEST(FlowGeometry, WidthFromTagIsSafe) {
    const std::pair<std::u16string, int32_t> rows[] = {
        {u"4", 4},
        {u"12", 12},
        {u" 3 ", 3},
        {u"+5", 5},
        {u"", kDefaultCharWidth},
        {u"abc", kDefaultCharWidth},
        {u"4px", kDefaultCharWidth},
        {u"-4", kDefaultCharWidth},
        {u"0", kDefaultCharWidth},
        {u"99999999999", kDefaultCharWidth},
        {u"2147483647", 2147483647},
        {u"４", kDefaultCharWidth},
        {u"-", kDefaultCharWidth},
    };
    for (const auto& [tag, width] : rows)
        EXPECT_EQ(widthFromTag(tag), width) << QString::fromStdU16String(tag).toStdString();
}

TEST(FlowGeometry, ForwardedPointsAreSigned) {
    const QPoint rows[] = {{0, 0}, {12, 34}, {-3, 5}, {7, -1}, {-32768, 32767}, {-1, -1}};
    for (const QPoint p : rows) EXPECT_EQ(forwardedPoint(sw::win::makeLParam(p.x(), p.y())), p);
}

// --- The board ---

std::vector<std::vector<QPoint>> strokesOf(const char* name, QPoint offset) {
    const auto file = sw::scribeng::readStrokeFile(std::filesystem::path(FLOW_STROKE_DATA) / name);
    EXPECT_TRUE(file.has_value()) << name;
    std::vector<std::vector<QPoint>> out;
    if (!file) return out;
    for (const auto& stroke : file->strokes) {
        out.emplace_back();
        for (const EnginePoint& p : stroke) out.back().push_back(QPoint(p.x, p.y) + offset);
    }
    return out;
}

CharRect boundsOf(const std::vector<std::vector<QPoint>>& strokes) {
    CharRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const auto& s : strokes)
        for (const QPoint& p : s) {
            r.Left = std::min(r.Left, p.x());
            r.Top = std::min(r.Top, p.y());
            r.Right = std::max(r.Right, p.x());
            r.Bottom = std::max(r.Bottom, p.y());
        }
    return r;
}

std::vector<QPoint> path(QPoint from, QPoint to, int steps = 10) {
    std::vector<QPoint> points;
    for (int i = 0; i <= steps; ++i) points.push_back(from + (to - from) * i / steps);
    return points;
}

std::vector<QPoint> rectangleLoop(QRect r) {
    std::vector<QPoint> loop;
    for (const auto& [a, b] :
         {std::pair{r.topLeft(), r.topRight()}, std::pair{r.topRight(), r.bottomRight()},
          std::pair{r.bottomRight(), r.bottomLeft()}, std::pair{r.bottomLeft(), r.topLeft()}}) {
        const auto edge = path(a, b, 8);
        loop.insert(loop.end(), edge.begin(), edge.end() - 1);
    }
    loop.push_back(r.topLeft());
    return loop;
}

QString shotsDir() {
    const QByteArray dir = qgetenv("SLATEWISE_SHOTS");
    return dir.isEmpty() ? QString() : QString::fromLocal8Bit(dir);
}

void saveShot(QWidget* w, const char* name) {
    const QString dir = shotsDir();
    if (!dir.isEmpty()) w->grab().save(dir + "/" + name);
}

class BoardFlow : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::boxModuleBuilt()) GTEST_SKIP() << "libquillbox.so is not in the runtime folder";
        m_fixture = std::make_unique<BoardFixture>(
            BoardSetup{.dictionary = test::builtDictionary(), .withDictionary = true, .size = {900, 500}});
        ASSERT_TRUE(board().veil().loaded() && board().quillbox().loaded() && board().veiladd().loaded() &&
                    board().penmate().loaded());
    }
    void TearDown() override { sw::win::setPopupMenuHook(nullptr); }

    SlatewiseForm& board() { return *m_fixture->board; }
    QWidget* overlay() { return board().veil().widget(); }
    SubForm* palette() { return board().subForm(); }
    QuillboxProxy& box() { return board().quillbox(); }
    int32_t overlayPoints() { return board().veil().pointCount(); }

    // A pen stroke on the overlay, at overlay client points.
    void stroke(const std::vector<QPoint>& points) {
        QTest::mousePress(overlay(), Qt::LeftButton, {}, points.front());
        for (size_t i = 1; i < points.size(); ++i) QTest::mouseMove(overlay(), points[i]);
        QTest::mouseRelease(overlay(), Qt::LeftButton, {}, points.back());
    }
    void write(const std::vector<std::vector<QPoint>>& strokes) {
        for (const auto& s : strokes) stroke(s);
    }
    // Writes a line in red width 4 with a white stroke far from it, and circles the line.
    void writeAndCircle(const char* name) {
        stroke(path({700, 380}, {820, 400}));  // white, width 2: stays outside every lasso
        m_outsidePoints = overlayPoints();
        m_baseline = sw::liveBlockCount();
        palette()->ColPicClick(1);  // red
        palette()->WidPicClick(1);  // width 4
        m_line = strokesOf(name, m_offset);
        write(m_line);
        m_ink = boundsOf(m_line);
        palette()->ModePicClick(kPenModeLasso);
        circle();
    }
    void circle() {
        stroke(rectangleLoop(QRect(QPoint(m_ink.Left, m_ink.Top), QPoint(m_ink.Right, m_ink.Bottom))
                                 .adjusted(-15, -15, 15, 15)));
    }
    // A point of the overlay over a point of the stroke file.
    QPoint at(int x, int y) const { return QPoint(x, y) + m_offset; }

    std::unique_ptr<BoardFixture> m_fixture;
    const QPoint m_offset{30, 40};
    std::vector<std::vector<QPoint>> m_line;
    CharRect m_ink;
    int32_t m_outsidePoints = 0;
    size_t m_baseline = 0;
};

TEST_F(BoardFlow, WriteCircleCommit) {
    SlatewiseForm& b = board();
    writeAndCircle("line3_a.txt");

    // The box over the ink with the margin, the ink gone from the overlay, which lets the mouse through
    // while the palette still shows lasso.
    ASSERT_TRUE(box().visible());
    const QPoint o = b.veil().geometry().topLeft();
    EXPECT_EQ(box().geometry(), QRect(m_ink.Left - 10 + o.x(), m_ink.Top - 10 + o.y(),
                                      m_ink.Right - m_ink.Left + 20, m_ink.Bottom - m_ink.Top + 20));
    EXPECT_EQ(box().result(), u"山川口");
    EXPECT_EQ(overlayPoints(), m_outsidePoints);
    EXPECT_FALSE(b.veil().getBool(ov::kDispInkInput));
    EXPECT_FALSE(b.veil().getBool(ov::kDispLassoSelect));
    EXPECT_FALSE(b.veil().getBool(ov::kDispInkDisplay));
    EXPECT_TRUE(b.veil().getBool(ov::kDispMousePassThrough));
    EXPECT_EQ(b.PenMode(), kPenModeLasso);
    EXPECT_EQ(palette()->ModePic(kPenModeLasso)->backColor(), kModeSelectedColor);
    saveShot(&b, "flow-test-circled.png");

    palette()->ModePicClick(kPenModePen);
    const CharacterTable& t = b.state().table;
    ASSERT_EQ(t.upperBound(), 3);
    EXPECT_FALSE(box().visible());
    EXPECT_EQ(box().result(), u"");
    int32_t previousLeft = INT32_MIN;
    for (int32_t i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(t.CharTexts[i], std::u16string(1, u"山川口"[i - 1]));
        const CharRect& r = t.CharRects[i];
        EXPECT_TRUE(r.Left >= m_ink.Left && r.Top >= m_ink.Top && r.Right <= m_ink.Right &&
                    r.Bottom <= m_ink.Bottom && r.Left < r.Right && r.Top < r.Bottom);
        EXPECT_GT(r.Left, previousLeft);
        previousLeft = r.Right;
        EXPECT_EQ(t.CharColors[i], 0x000000FF);
        EXPECT_EQ(t.CharWidths[i], 4);
    }
    EXPECT_EQ(sw::liveBlockCount(), m_baseline);

    // The typeset characters where the ink was: red inside each character's rectangle, none elsewhere.
    QApplication::processEvents();
    const QImage shot = b.grab().toImage();
    saveShot(&b, "flow-test-committed.png");
    const QPoint canvas = b.mainPicture()->geometry().topLeft() + o;
    auto isRed = [](QRgb c) { return qRed(c) > 160 && qGreen(c) < 110 && qBlue(c) < 110; };
    int outside = 0;
    std::vector<int> inside(4, 0);
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            if (!isRed(shot.pixel(x, y))) continue;
            const QPoint doc = QPoint(x, y) - canvas;
            int hit = 0;
            for (int32_t i = 1; i <= 3; ++i) {
                const CharRect& r = t.CharRects[i];
                if (doc.x() >= r.Left && doc.x() <= r.Right && doc.y() >= r.Top && doc.y() <= r.Bottom)
                    hit = i;
            }
            hit ? ++inside[hit] : ++outside;
        }
    for (int32_t i = 1; i <= 3; ++i) EXPECT_GT(inside[i], 40) << "character " << i << " is drawn";
    EXPECT_EQ(outside, 0);
}

// The teacher works in the box through the overlay: MouseForward brings the pen to the box.
TEST_F(BoardFlow, CandidateAndRegroupInTheBoxAreWhatIsCommitted) {
    writeAndCircle("line3_a.txt");
    ASSERT_EQ(box().result(), u"山川口");
    box().put(qb::kDispRecogTimermsec, sw::Variant(int32_t{0}));

    // A tap on 川 offers its candidates; the second one is chosen.
    std::vector<sw::win::MenuItem> shown;
    sw::win::setPopupMenuHook([&](const std::vector<sw::win::MenuItem>& items, QPoint) {
        shown = items;
        return 2002u;
    });
    QTest::mouseClick(overlay(), Qt::LeftButton, {}, at(200, 60));
    ASSERT_GE(shown.size(), 4u);
    const std::u16string second = shown[3].text;
    ASSERT_EQ(box().result(), u"山" + second + u"口");

    // A drag from 山 onto the chosen character merges them into one.
    stroke(path(at(70, 60), at(205, 60)));
    const std::u16string regrouped = box().result();
    ASSERT_EQ(regrouped.size(), 2u);
    EXPECT_EQ(regrouped[1], u'口');

    palette()->ModePicClick(kPenModePen);
    const CharacterTable& t = board().state().table;
    ASSERT_EQ(t.upperBound(), 2);
    EXPECT_EQ(t.CharTexts[1] + t.CharTexts[2], regrouped);
    EXPECT_LT(t.CharRects[1].Right, t.CharRects[2].Left) << "the merged character spans 山 and 川 only";
    EXPECT_EQ(sw::liveBlockCount(), m_baseline);
}

// The teacher's whole round: the committed word is looked up by circling it in operate mode, where the
// overlay forwards the pen to the canvas beneath.
TEST_F(BoardFlow, ACommittedWordIsLookedUpThroughTheOverlay) {
    writeAndCircle("line3_a.txt");
    ASSERT_EQ(box().result(), u"山川口");
    palette()->ModePicClick(kPenModeOperate);
    const CharacterTable& t = board().state().table;
    ASSERT_EQ(t.upperBound(), 3);
    EXPECT_TRUE(board().veil().getBool(ov::kDispMousePassThrough));

    // A loop around 山 and 川 that stays clear of 口 (overlay client points are document points here).
    const CharRect &a = t.CharRects[1], &b = t.CharRects[2], &c = t.CharRects[3];
    const int right = (b.Right + c.Left) / 2;
    ASSERT_LT(b.Right, right);
    stroke(rectangleLoop(QRect(QPoint(a.Left - 8, std::min(a.Top, b.Top) - 8),
                               QPoint(right, std::max(a.Bottom, b.Bottom) + 8))));
    DicForm* form = board().loadedDicForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->DicText1()->text(), u"山川");
    EXPECT_EQ(form->DicText2()->toPlainText(), u"mountains and rivers");
    EXPECT_EQ(board().state().LookupCount, 0);
    EXPECT_EQ(sw::liveBlockCount(), m_baseline);
}

// A correction written over a character is applied before a palette press commits, even when its timer
// has not fired yet.
TEST_F(BoardFlow, APalettePressAppliesAPendingCorrection) {
    writeAndCircle("line3_a.txt");
    box().put(qb::kDispRecogTimermsec, sw::Variant(int32_t{60000}));
    // 田 written small inside 口's box.
    const auto ta = strokesOf("single_28.txt", {});
    const CharRect r = boundsOf(ta);
    for (const auto& s : ta) {
        std::vector<QPoint> points;
        for (const QPoint& p : s)
            points.push_back(at(326 + (p.x() - r.Left) * 48 / std::max(r.Right - r.Left, 1),
                                54 + (p.y() - r.Top) * 44 / std::max(r.Bottom - r.Top, 1)));
        stroke(points);
    }
    EXPECT_EQ(box().result(), u"山川口") << "the timer has not fired";

    palette()->ModePicClick(kPenModePen);
    const CharacterTable& t = board().state().table;
    ASSERT_EQ(t.upperBound(), 3);
    EXPECT_EQ(t.CharTexts[3], u"田");
    EXPECT_EQ(sw::liveBlockCount(), m_baseline);
}

TEST_F(BoardFlow, AFailedRecognitionLeavesTheOverlayAndTheNextLassoWorks) {
    for (const sw::DispId id : {qb::kDispChAlpha, qb::kDispChHira, qb::kDispChKana, qb::kDispChKanji1,
                                qb::kDispChKanji2, qb::kDispChNum, qb::kDispChOther, qb::kDispChPunc})
        box().putBool(id, false);
    writeAndCircle("line3_b.txt");
    const int32_t written = overlayPoints();
    EXPECT_FALSE(box().visible());
    EXPECT_GT(written, m_outsidePoints);
    EXPECT_TRUE(board().veil().getBool(ov::kDispLassoSelect));
    EXPECT_TRUE(board().veil().getBool(ov::kDispInkDisplay));
    EXPECT_FALSE(board().veil().getBool(ov::kDispMousePassThrough));

    box().putBool(qb::kDispChHira, true);
    circle();
    ASSERT_TRUE(box().visible());
    EXPECT_EQ(box().result(), u"あさひ");
    EXPECT_EQ(overlayPoints(), m_outsidePoints);
    palette()->ModePicClick(kPenModePen);
    EXPECT_EQ(board().state().table.upperBound(), 3);
    EXPECT_EQ(sw::liveBlockCount(), m_baseline);
}

// A selection the add-in refuses ends the handler with the overlay and the box as they were: never an empty
// remainder set on the overlay, which would erase all the ink.
TEST_F(BoardFlow, ARefusedSelectionChangesNothing) {
    write(strokesOf("line3_a.txt", m_offset));
    const int32_t written = overlayPoints();
    const size_t baseline = sw::liveBlockCount();
    std::vector<sw::VeilPoint> copy(written);
    std::copy_n(sw::resolveStrokeData(board().veil().pointData(), written), written, copy.begin());
    const sw::Handle selection = sw::registerBlock(copy.data(), copy.size() * sizeof(sw::VeilPoint),
                                                   sw::Owner::Test, sw::BlockKind::StrokeData);
    const struct {
        const char* name;
        int32_t data, count;
    } rows[] = {
        {"empty", selection, 0},
        {"negative count", selection, -5},
        {"count beyond the array", selection, written + 1},
        {"huge count", selection, INT32_MAX},
        {"stale handle", 0x7FFF0001, 10},
        {"no handle", 0, 10},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        board().PatternSelected(r.data, r.count);
        EXPECT_EQ(overlayPoints(), written);
        EXPECT_FALSE(box().visible());
        EXPECT_FALSE(board().veil().getBool(ov::kDispMousePassThrough));
    }
    EXPECT_EQ(copy[0].X, strokesOf("line3_a.txt", m_offset)[0][0].x()) << "a refused selection is not moved";
    sw::unregisterBlock(selection, sw::Owner::Test);
    EXPECT_EQ(sw::liveBlockCount(), baseline);
}

// A lasso that arrives while a result is pending commits that result instead of dropping it.
TEST_F(BoardFlow, ALassoWhileAResultIsPendingCommitsItFirst) {
    writeAndCircle("line3_a.txt");
    ASSERT_TRUE(box().visible());
    // The overlay lets the mouse through now; the board's lasso mode is set back as a host could.
    board().veil().apply(modeWrites(kPenModeLasso));
    stroke(rectangleLoop(QRect(690, 370, 140, 40)));  // circles the white stroke
    const CharacterTable& t = board().state().table;
    ASSERT_EQ(t.upperBound(), 3);
    EXPECT_EQ(t.CharTexts[1] + t.CharTexts[2] + t.CharTexts[3], u"山川口");
    EXPECT_EQ(t.CharColors[1], 0x000000FF) << "the pending result keeps its own colour";
}

// MouseForward: a drag that leaves the overlay to the left keeps signed coordinates and stays with the window
// that took the press.
TEST_F(BoardFlow, AForwardedDragStaysWithItsWindow) {
    writeAndCircle("line3_a.txt");
    box().put(qb::kDispRecogTimermsec, sw::Variant(int32_t{0}));
    std::vector<QPoint> seen;
    QWidget* boxWindow = box().widget();
    ASSERT_NE(boxWindow, nullptr);
    struct Spy : QObject {
        std::function<void(QEvent*)> onEvent;
        bool eventFilter(QObject*, QEvent* e) override {
            onEvent(e);
            return false;
        }
    } spy;
    spy.onEvent = [&](QEvent* e) {
        if (e->type() == QEvent::MouseMove || e->type() == QEvent::MouseButtonRelease)
            seen.push_back(static_cast<QMouseEvent*>(e)->position().toPoint());
    };
    boxWindow->installEventFilter(&spy);
    const QPoint start = at(70, 60);
    QTest::mousePress(overlay(), Qt::LeftButton, {}, start);
    QTest::mouseMove(overlay(), QPoint(-20, start.y()));
    QTest::mouseRelease(overlay(), Qt::LeftButton, {}, QPoint(-20, start.y()));
    boxWindow->removeEventFilter(&spy);
    ASSERT_EQ(seen.size(), 2u) << "the move and the release reach the box although the pen left it";
    const QPoint expected = boxWindow->mapFromGlobal(overlay()->mapToGlobal(QPoint(-20, start.y())));
    EXPECT_EQ(seen[0], expected);
    EXPECT_LT(seen[0].x(), 0) << "signed, not 65,5xx";
    EXPECT_EQ(box().result(), u"山川口") << "a drag out of the box changes nothing";
}

}  // namespace
