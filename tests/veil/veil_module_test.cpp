// The registered overlay module hosted in an offscreen window over a dark green canvas, driven by
// synthesised mouse events and dispatch calls.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <array>
#include <cstdlib>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include "contracts/overlay.h"
#include "platform/automation/events.h"
#include "platform/com/host.h"
#include "platform/window/window.h"
#include "records/handle_table.h"

namespace {

namespace ov = sw::overlay;
using sw::Handle;
using sw::Variant;
using sw::VeilPoint;

constexpr QRgb kBoard = qRgb(0, 128, 0);
constexpr QPoint kOverlayOrigin(2, 2);  // the board lays the overlay 2 pixels into the canvas

QApplication& app() {
    static int argc = 1;
    static char name[] = "veil_module_test";
    static char* argv[] = {name, nullptr};
    static auto* application = new QApplication(argc, argv);
    return *application;
}

// The board's canvas: a dark green surface that asks the overlay to repaint on top at every paint, as the
// board does.
class Canvas final : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> afterPaint;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        QPainter(this).fillRect(rect(), QColor(kBoard));
        if (afterPaint) afterPaint();
    }
};

struct Event {
    sw::DispId id;
    std::vector<int32_t> args;
};

class VeilModule : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        app();
        s_registryDir = new QTemporaryDir;
        ASSERT_TRUE(s_registryDir->isValid());
        setenv("SLATEWISE_REGISTRY", s_registryDir->filePath("registry").toLocal8Bit().constData(), 1);
        s_module = dlopen(VEIL_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(s_module, nullptr) << dlerror();
        auto reg = reinterpret_cast<int32_t (*)()>(dlsym(s_module, "DllRegisterServer"));
        ASSERT_NE(reg, nullptr);
        ASSERT_EQ(reg(), 0);
    }
    static void TearDownTestSuite() {
        if (s_module) dlclose(s_module);
        delete s_registryDir;
    }

    void SetUp() override {
        m_host = std::make_unique<QWidget>();
        m_host->resize(420, 320);
        m_canvas = new Canvas(m_host.get());
        m_canvas->setGeometry(0, 0, 400, 300);
        m_veil = create();
        ASSERT_TRUE(m_veil);
        m_veil->move(kOverlayOrigin.x(), kOverlayOrigin.y(), 396, 296);
        m_veil->zOrder(0);
        m_cookie = m_veil->advise(&m_sink);
        m_host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_host.get()));
    }

    void TearDown() override {
        if (m_veil) m_veil->unadvise(m_cookie);
        m_veil.reset();
        m_host.reset();
    }

    std::unique_ptr<sw::com::ControlSite> create(sw::PropertyBag* stored = nullptr) {
        sw::HResult hr = 0;
        auto site = sw::com::createControl(ov::kProgId, m_host.get(), "VeilCtl", stored, &hr);
        EXPECT_EQ(hr, 0);
        return site;
    }

    QWidget* overlay() const { return m_veil->widget(); }

    int32_t getI4(sw::DispId id) {
        Variant v;
        EXPECT_EQ(m_veil->get(id, &v), 0) << id;
        return v.i4();
    }
    sw::HResult put(sw::DispId id, Variant v) { return m_veil->put(id, std::move(v)); }
    void call(sw::DispId id, std::vector<Variant> args, Variant* result = nullptr) {
        EXPECT_EQ(m_veil->call(id, args, result), 0) << id;
    }
    void setMode(int16_t drawKind, bool lasso) {
        ASSERT_EQ(put(ov::kDispDrawKind, Variant(drawKind)), 0);
        ASSERT_EQ(put(ov::kDispLassoSelect, Variant::fromBool(lasso)), 0);
    }

    // A pen stroke through `points` (overlay client pixels): press, moves, release.
    void draw(const std::vector<QPoint>& points, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(overlay(), button, {}, points.front());
        for (size_t i = 1; i < points.size(); ++i) QTest::mouseMove(overlay(), points[i]);
        QTest::mouseRelease(overlay(), button, {}, points.back());
    }
    static std::vector<QPoint> horizontal(int x0, int x1, int y, int step = 10) {
        std::vector<QPoint> points;
        for (int x = x0; x <= x1; x += step) points.emplace_back(x, y);
        return points;
    }

    std::vector<VeilPoint> pointData() {
        const int32_t count = getI4(ov::kDispPointCount);
        const VeilPoint* p = sw::resolveStrokeData(getI4(ov::kDispPointData), count);
        return p ? std::vector<VeilPoint>(p, p + count) : std::vector<VeilPoint>{};
    }

    QImage picture() { return m_host->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    std::vector<Event> eventsOf(sw::DispId id) const {
        std::vector<Event> out;
        for (const Event& e : m_events)
            if (e.id == id) out.push_back(e);
        return out;
    }

    std::unique_ptr<QWidget> m_host;
    Canvas* m_canvas = nullptr;
    std::unique_ptr<sw::com::ControlSite> m_veil;
    std::vector<Event> m_events;
    std::function<void(sw::DispId, std::span<Variant>)> m_handler;
    sw::FunctionSink m_sink{[this](sw::DispId id, std::span<Variant> args) {
        Event e{id, {}};
        for (const Variant& v : args) e.args.push_back(v.i4());
        m_events.push_back(e);
        if (m_handler) m_handler(id, args);
    }};
    uint32_t m_cookie = 0;

    static inline void* s_module = nullptr;
    static inline QTemporaryDir* s_registryDir = nullptr;
};

// Rows of the canvas picture's column x holding exactly `color`.
std::vector<int> rowsOfColor(const QImage& image, int x, QRgb color) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixel(x, y) == color) rows.push_back(y);
    return rows;
}

int pixelsOfColor(const QImage& image, QRgb color) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == color;
    return n;
}

TEST_F(VeilModule, InkIsDrawnInThePenColourAndWidthAndFadedWithoutInkDisplay) {
    ASSERT_EQ(put(ov::kDispForeColor, Variant(int32_t{0x000000FF})), 0);  // red, as 0x00BBGGRR
    ASSERT_EQ(put(ov::kDispPenWidth, Variant(int16_t{4})), 0);
    draw(horizontal(50, 250, 100));
    const QImage shown = picture();
    // Width 4 centred on y = 100 covers the overlay's rows 98..101 fully.
    const int y0 = kOverlayOrigin.y() + 98;
    EXPECT_EQ(rowsOfColor(shown, kOverlayOrigin.x() + 150, qRgb(255, 0, 0)),
              (std::vector<int>{y0, y0 + 1, y0 + 2, y0 + 3}));
    EXPECT_EQ(shown.pixel(kOverlayOrigin.x() + 150, y0 - 4), kBoard) << "the canvas shows through";
    EXPECT_EQ(shown.pixel(kOverlayOrigin.x() + 300, y0 + 1), kBoard) << "no ink past the stroke's end";

    // Without InkDisplay all ink stays in view, faded: between the board's colour and the ink's, on both the
    // ink written before and the ink written while faded.
    ASSERT_EQ(put(ov::kDispInkDisplay, Variant::fromBool(false)), 0);
    draw(horizontal(50, 250, 200));
    const QImage faded = picture();
    EXPECT_EQ(pixelsOfColor(faded, qRgb(255, 0, 0)), 0);
    for (const int y : {y0 + 1, y0 + 101}) {
        const QRgb c = faded.pixel(kOverlayOrigin.x() + 150, y);
        EXPECT_TRUE(qRed(c) > 40 && qRed(c) < 200 && qGreen(c) > 40 && qGreen(c) < 128 && qBlue(c) == 0)
            << "row " << y << ": " << std::hex << c;
    }
    EXPECT_EQ(faded.pixel(kOverlayOrigin.x() + 150, y0 - 4), kBoard) << "the canvas shows through";
    EXPECT_EQ(getI4(ov::kDispPointCount), 42) << "faded ink is kept";

    ASSERT_EQ(put(ov::kDispInkDisplay, Variant::fromBool(true)), 0);
    const QImage again = picture();
    EXPECT_EQ(rowsOfColor(again, kOverlayOrigin.x() + 150, qRgb(255, 0, 0)),
              (std::vector<int>{y0, y0 + 1, y0 + 2, y0 + 3, y0 + 100, y0 + 101, y0 + 102, y0 + 103}));
}

TEST_F(VeilModule, FinishedStrokesAreRecordedInDocumentCoordinates) {
    call(ov::kDispScrollTo, {Variant(int32_t{30}), Variant(int32_t{-40})});
    EXPECT_EQ(getI4(ov::kDispScrollX), 30);
    EXPECT_EQ(getI4(ov::kDispScrollY), -40);
    ASSERT_EQ(put(ov::kDispForeColor, Variant(int32_t{0x00C000C0})), 0);
    draw({{10, 20}, {15, 25}, {20, 30}, {30, 30}});
    QTest::mouseClick(overlay(), Qt::LeftButton, {}, QPoint(100, 100));  // a tap writes nothing
    const std::vector<VeilPoint> points = pointData();
    ASSERT_EQ(points.size(), 4u);
    const std::array<std::tuple<int, int, int>, 4> expected{
        {{40, -20, 2}, {45, -15, 3}, {50, -10, 3}, {60, -10, 4}}};
    for (size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].X, std::get<0>(expected[i])) << i;
        EXPECT_EQ(points[i].Y, std::get<1>(expected[i])) << i;
        EXPECT_EQ(points[i].State, std::get<2>(expected[i])) << i;
        EXPECT_EQ(points[i].Width, 2) << i;
        EXPECT_EQ(points[i].Color, 0x00C000C0) << i;
    }
    // Scrolling moves the view, not the ink.
    call(ov::kDispScrollTo, {Variant(int32_t{0}), Variant(int32_t{0})});
    EXPECT_EQ(pointData()[0].X, 40);
}

// A scroll moves the layer image and draws only the uncovered strips; cutting strokes out redraws only their
// rectangles. Both must give the picture of a full redraw.
TEST_F(VeilModule, PartialRedrawsGiveThePictureOfAFullRedraw) {
    ASSERT_EQ(put(ov::kDispPenWidth, Variant(int16_t{3})), 0);
    draw({{20, 30}, {120, 60}, {380, 30}});
    draw({{30, 280}, {200, 200}, {390, 290}});
    draw({{150, 10}, {160, 250}});  // crosses both others and the next
    draw(horizontal(10, 300, 150, 15));
    // A resize rebuilds the layer image from the points, whole strokes at a time (live ink is drawn segment
    // by segment, which differs at the joins).
    const auto redrawn = [&] {
        const QRect g = m_veil->geometry();
        m_veil->move(g.x(), g.y(), g.width() + 1, g.height());
        m_veil->move(g.x(), g.y(), g.width(), g.height());
        return picture();
    };
    const QImage before = redrawn();
    for (const QPoint offset : {QPoint(50, 0), QPoint(50, -50), QPoint(-120, 35), QPoint(-120, 35)}) {
        call(ov::kDispScrollTo, {Variant(int32_t{offset.x()}), Variant(int32_t{offset.y()})});
        ASSERT_EQ(picture(), redrawn()) << offset.x() << "," << offset.y();
    }
    // Ink at overlay (150, 150) now appears at (150 + 120, 150 - 35).
    const QPoint at = kOverlayOrigin + QPoint(150, 150);
    EXPECT_EQ(before.pixel(at), qRgb(255, 255, 255));
    EXPECT_EQ(picture().pixel(at + QPoint(120, -35)), qRgb(255, 255, 255));

    // Cut out the crossing stroke (points 6 and 7), as the board does after a lasso.
    std::vector<VeilPoint> rest = pointData();
    ASSERT_EQ(rest.size(), 28u);
    rest.erase(rest.begin() + 6, rest.begin() + 8);
    auto block = sw::allocateStrokeData(sw::Owner::Test, static_cast<int64_t>(rest.size()));
    std::copy(rest.begin(), rest.end(), block.data);
    m_events.clear();
    call(ov::kDispSetPointData, {Variant(block.handle), Variant(static_cast<int32_t>(rest.size()))});
    sw::freeBlock(block.handle, sw::Owner::Test);
    const QImage cut = picture();
    EXPECT_EQ(cut, redrawn());
    EXPECT_NE(cut, before);
    const auto areas = eventsOf(ov::kEventAreaChanged);
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_LE(areas[0].args[2] - areas[0].args[0], 20) << "only the cut stroke's area changed";
}

TEST_F(VeilModule, LassoAroundTwoOfThreeStrokesRaisesExactlyTheirPoints) {
    draw(horizontal(20, 80, 40));    // 7 points
    draw(horizontal(200, 260, 40));  // 7 points, outside the lasso
    draw(horizontal(20, 60, 80));    // 5 points
    const std::vector<VeilPoint> all = pointData();
    ASSERT_EQ(all.size(), 19u);
    setMode(ov::kDrawLasso, true);
    const int areasBefore = static_cast<int>(eventsOf(ov::kEventAreaChanged).size());

    std::vector<VeilPoint> raised;
    m_handler = [&](sw::DispId id, std::span<Variant> args) {
        if (id != ov::kEventPatternSelected) return;
        const VeilPoint* p = sw::resolveStrokeData(args[0].i4(), args[1].i4());
        ASSERT_NE(p, nullptr);
        raised.assign(p, p + args[1].i4());
    };
    draw({{5, 20}, {120, 20}, {120, 110}, {5, 110}, {5, 25}});
    const auto selected = eventsOf(ov::kEventPatternSelected);
    ASSERT_EQ(selected.size(), 1u);
    EXPECT_EQ(selected[0].args[1], 12);
    ASSERT_EQ(raised.size(), 12u);
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(std::tie(raised[i].X, raised[i].Y), std::tie(all[i].X, all[i].Y));
    for (size_t i = 0; i < 5; ++i)
        EXPECT_EQ(std::tie(raised[7 + i].X, raised[7 + i].Y), std::tie(all[14 + i].X, all[14 + i].Y));
    EXPECT_EQ(sw::resolveStrokeData(selected[0].args[0], 1), nullptr)
        << "the event's array is released after it";
    EXPECT_EQ(getI4(ov::kDispPointCount), 19) << "a lasso takes no ink";
    EXPECT_EQ(static_cast<int>(eventsOf(ov::kEventAreaChanged).size()), areasBefore);

    draw({{300, 200}, {350, 200}, {350, 250}, {300, 250}});
    EXPECT_EQ(eventsOf(ov::kEventPatternSelected).size(), 1u) << "an empty lasso raises nothing";
    setMode(ov::kDrawLasso, false);
    draw({{5, 20}, {120, 20}, {120, 110}, {5, 110}});
    EXPECT_EQ(eventsOf(ov::kEventPatternSelected).size(), 1u)
        << "without LassoSelect a lasso selects nothing";
}

// The board's PatternSelected handler: it reads the point set, cuts the selection out, moves the event's
// array in place, puts the rest back and lets the mouse pass through, all inside the event.
TEST_F(VeilModule, HandlerThatReplacesThePointsInsideTheEventLeavesTheOverlaySound) {
    draw(horizontal(20, 80, 40));
    draw(horizontal(200, 260, 40));
    setMode(ov::kDrawLasso, true);
    const size_t blocksBefore = sw::liveBlockCount();
    std::vector<VeilPoint> moved;
    m_handler = [&](sw::DispId id, std::span<Variant> args) {
        if (id != ov::kEventPatternSelected) return;
        const int32_t all = getI4(ov::kDispPointCount);
        const VeilPoint* points = sw::resolveStrokeData(getI4(ov::kDispPointData), all);
        ASSERT_NE(points, nullptr);
        auto rest = sw::allocateStrokeData(sw::Owner::Veiladd, all - args[1].i4());
        std::copy(points + args[1].i4(), points + all, rest.data);
        VeilPoint* selection = sw::resolveStrokeData(args[0].i4(), args[1].i4());
        for (int32_t i = 0; i < args[1].i4(); ++i) selection[i].X -= 10;
        moved.assign(selection, selection + args[1].i4());
        const int32_t oldHandle = getI4(ov::kDispPointData);
        call(ov::kDispSetPointData, {Variant(rest.handle), Variant(all - args[1].i4())});
        sw::freeBlock(rest.handle, sw::Owner::Veiladd);  // the caller frees its array right after
        EXPECT_EQ(sw::resolveStrokeData(oldHandle, 1), nullptr) << "the old PointData handle is stale";
        for (auto [dispId, on] :
             {std::pair{ov::kDispInkInput, false}, std::pair{ov::kDispLassoSelect, false},
              std::pair{ov::kDispInkDisplay, false}, std::pair{ov::kDispMousePassThrough, true}})
            ASSERT_EQ(put(dispId, Variant::fromBool(on)), 0);
    };
    draw({{5, 20}, {120, 20}, {120, 60}, {5, 60}});
    ASSERT_EQ(eventsOf(ov::kEventPatternSelected).size(), 1u);
    const std::vector<VeilPoint> rest = pointData();
    ASSERT_EQ(rest.size(), 7u);
    EXPECT_EQ(rest.front().X, 200);
    EXPECT_EQ(rest.front().State, 2);
    EXPECT_EQ(rest.back().State, 4);
    EXPECT_EQ(moved.front().X, 10);
    EXPECT_EQ(sw::liveBlockCount(), blocksBefore) << "no block of the event is left behind";

    // The overlay is now in the operate state: the pen passes through and writes nothing.
    m_handler = nullptr;
    draw(horizontal(20, 80, 150));
    EXPECT_EQ(getI4(ov::kDispPointCount), 7);
    EXPECT_FALSE(eventsOf(ov::kEventMouseForward).empty());
}

struct ForwardCase {
    const char* name;
    uint32_t msg;
    uint32_t wParam;
    int x, y;
};

class VeilForward : public VeilModule, public ::testing::WithParamInterface<ForwardCase> {};

// A message sent to the overlay's window comes back as MouseForward with the same number, key state and
// packed client point.
TEST_P(VeilForward, RaisesEveryMouseMessageWithItsNumberKeysAndPoint) {
    const ForwardCase& c = GetParam();
    ASSERT_EQ(put(ov::kDispMousePassThrough, Variant::fromBool(true)), 0);
    sw::win::sendMessage(getI4(ov::kDispHWnd), c.msg, c.wParam, sw::win::makeLParam(c.x, c.y));
    const auto forwarded = eventsOf(ov::kEventMouseForward);
    ASSERT_EQ(forwarded.size(), 1u);
    EXPECT_EQ(forwarded[0].args[0], static_cast<int32_t>(c.msg));
    EXPECT_EQ(forwarded[0].args[1], static_cast<int32_t>(c.wParam));
    EXPECT_EQ(forwarded[0].args[2], (c.y << 16) | c.x);
    EXPECT_EQ(getI4(ov::kDispPointCount), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, VeilForward,
    ::testing::Values(ForwardCase{"LeftDown", sw::win::WM_LBUTTONDOWN, sw::win::MK_LBUTTON, 12, 34},
                      ForwardCase{"MoveWithLeft", sw::win::WM_MOUSEMOVE, sw::win::MK_LBUTTON, 395, 295},
                      ForwardCase{"MoveWithoutButtons", sw::win::WM_MOUSEMOVE, 0, 1, 2},
                      ForwardCase{"LeftUp", sw::win::WM_LBUTTONUP, 0, 300, 7},
                      ForwardCase{"LeftDoubleClick", sw::win::WM_LBUTTONDBLCLK, sw::win::MK_LBUTTON, 5, 6},
                      ForwardCase{"RightDownWithShift", sw::win::WM_RBUTTONDOWN,
                                  sw::win::MK_RBUTTON | sw::win::MK_SHIFT, 40, 50},
                      ForwardCase{"RightUpWithControl", sw::win::WM_RBUTTONUP, sw::win::MK_CONTROL, 40, 50},
                      ForwardCase{"MiddleDown", sw::win::WM_MBUTTONDOWN, sw::win::MK_MBUTTON, 0, 0},
                      ForwardCase{"MiddleUp", sw::win::WM_MBUTTONUP, 0, 200, 100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(VeilModule, WindowBelowPointFindsTheChildUnderThePointSkippingTheOverlay) {
    auto* box = new QWidget(m_host.get());
    box->setGeometry(100, 100, 50, 50);
    box->show();
    m_veil->zOrder(0);
    const int32_t host = sw::win::handleOf(m_host.get());
    const int32_t canvas = sw::win::handleOf(m_canvas);
    const struct {
        int32_t parent;
        int x, y;
        int32_t expected;
    } rows[] = {
        {host, 50, 50, canvas},                    // the canvas beneath the overlay
        {host, 120, 120, sw::win::handleOf(box)},  // a sibling above the canvas
        {host, 410, 310, host},                    // no child there: the window itself
        {canvas, 50, 50, canvas},                  // a window without children
        {0, 50, 50, 0},                            // no window
    };
    for (const auto& row : rows) {
        int32_t hwnd = row.parent, x = row.x, y = row.y;
        Variant result;
        call(ov::kDispWindowBelowPoint, {Variant::byRef(&hwnd), Variant::byRef(&x), Variant::byRef(&y)},
             &result);
        EXPECT_EQ(result.i4(), row.expected) << row.x << "," << row.y;
    }
}

TEST_F(VeilModule, AreaChangedFollowsEveryChangeOfInk) {
    draw(horizontal(20, 80, 40));
    auto areas = eventsOf(ov::kEventAreaChanged);
    ASSERT_EQ(areas.size(), 1u);
    EXPECT_LE(areas[0].args[0], 19);
    EXPECT_LE(areas[0].args[1], 39);
    EXPECT_GE(areas[0].args[2], 81);
    EXPECT_GE(areas[0].args[3], 41);

    const struct {
        const char* change;
        std::function<void()> apply;
        size_t raised;
    } rows[] = {
        {"pen width", [&] { put(ov::kDispPenWidth, Variant(int16_t{4})); }, 0},
        {"colour", [&] { put(ov::kDispForeColor, Variant(int32_t{0xFF})); }, 0},
        {"scroll",
         [&] {
             call(ov::kDispScrollTo, {Variant(int32_t{5}), Variant(int32_t{0})});
         },
         1},
        {"ScrollY", [&] { put(ov::kDispScrollY, Variant(int32_t{7})); }, 1},
        {"hide", [&] { put(ov::kDispInkDisplay, Variant::fromBool(false)); }, 1},
        {"show", [&] { put(ov::kDispInkDisplay, Variant::fromBool(true)); }, 1},
        {"replace",
         [&] {
             const int32_t n = getI4(ov::kDispPointCount);
             call(ov::kDispSetPointData, {Variant(getI4(ov::kDispPointData)), Variant(n - 2)});
         },
         1},
        {"bad replace",
         [&] {
             call(ov::kDispSetPointData, {Variant(int32_t{0}), Variant(int32_t{5})});
         },
         0},
        {"clear",
         [&] {
             call(ov::kDispSetPointData, {Variant(int32_t{0}), Variant(int32_t{0})});
         },
         1},
        {"scroll without ink",
         [&] {
             call(ov::kDispScrollTo, {Variant(int32_t{0}), Variant(int32_t{0})});
         },
         0},
    };
    for (const auto& row : rows) {
        m_events.clear();
        row.apply();
        EXPECT_EQ(eventsOf(ov::kEventAreaChanged).size(), row.raised) << row.change;
    }
}

TEST_F(VeilModule, RedrawRectFromTheCanvasPaintDoesNotRepaintForever) {
    m_canvas->afterPaint = [&] {
        call(ov::kDispRedrawRect,
             {Variant(int32_t{0}), Variant(int32_t{0}), Variant(int32_t{396}), Variant(int32_t{296})});
    };
    draw(horizontal(20, 200, 40));
    QTest::qWait(200);
    const int settled = m_canvas->paints;
    QTest::qWait(200);
    EXPECT_EQ(m_canvas->paints, settled);
    m_canvas->afterPaint = nullptr;
    // Outside a paint the overlay repaints at once, canvas beneath included.
    call(ov::kDispRedrawRect,
         {Variant(int32_t{0}), Variant(int32_t{0}), Variant(int32_t{50}), Variant(int32_t{50})});
    EXPECT_GT(m_canvas->paints, settled);
}

TEST_F(VeilModule, LassoInProgressIsDrawnOverTheInkAndErasedOnRelease) {
    ASSERT_EQ(put(ov::kDispForeColor, Variant(int32_t{0x0000FFFF})), 0);  // yellow
    ASSERT_EQ(put(ov::kDispPenWidth, Variant(int16_t{4})), 0);
    draw({{60, 60}, {90, 40}, {120, 80}, {150, 50}, {180, 90}});
    draw(horizontal(60, 180, 120));
    ASSERT_EQ(put(ov::kDispForeColor, Variant(int32_t{0x00FFFFFF})), 0);
    setMode(ov::kDrawLasso, true);
    const std::vector<QPoint> loop{{40, 20}, {200, 20}, {220, 100}, {200, 150}, {40, 150}};
    QTest::mousePress(overlay(), Qt::LeftButton, {}, loop.front());
    for (const QPoint& p : loop) QTest::mouseMove(overlay(), p);
    QTest::qWait(50);
    const QImage during = picture();
    if (const char* path = std::getenv("VEIL_SCREENSHOT")) during.save(path);
    // The dashed lasso runs along y = 20 from x = 40 to 200 in the pen colour.
    int lassoPixels = 0;
    for (int x = 40; x <= 200; ++x)
        lassoPixels += during.pixel(kOverlayOrigin.x() + x, kOverlayOrigin.y() + 20) == qRgb(255, 255, 255);
    EXPECT_GT(lassoPixels, 40);
    EXPECT_LT(lassoPixels, 160) << "dashed, not solid";
    EXPECT_GT(pixelsOfColor(during, qRgb(255, 255, 0)), 300) << "the ink beneath stays visible";

    QTest::mouseRelease(overlay(), Qt::LeftButton, {}, loop.back());
    QTest::qWait(50);
    const QImage after = picture();
    for (int x = 40; x <= 200; ++x)
        ASSERT_EQ(after.pixel(kOverlayOrigin.x() + x, kOverlayOrigin.y() + 20), kBoard) << x;
    EXPECT_EQ(eventsOf(ov::kEventPatternSelected).size(), 1u);
}

TEST_F(VeilModule, SettingsPersistWithTheirDefaultsAndRefuseBadValues) {
    sw::PropertyBag bag;
    m_veil->saveProperties(bag);
    const struct {
        const char* name;
        const char* value;
    } defaults[] = {{"PenWidth", "2"},    {"ForeColor", "&H00FFFFFF"}, {"BackColor", "&H00008000"},
                    {"DrawKind", "1"},    {"InkInput", "-1"},          {"InkDisplay", "-1"},
                    {"LassoSelect", "0"}, {"MousePassThrough", "0"}};
    for (const auto& d : defaults) EXPECT_EQ(bag.read(d.name).value_or("?"), d.value) << d.name;

    EXPECT_NE(put(ov::kDispPenWidth, Variant(int16_t{0})), 0);
    EXPECT_NE(put(ov::kDispDrawKind, Variant(int16_t{3})), 0);
    EXPECT_NE(put(ov::kDispPointCount, Variant(int32_t{3})), 0) << "read-only";
    EXPECT_NE(put(ov::kDispHWnd, Variant(int32_t{3})), 0) << "read-only";
    EXPECT_EQ(getI4(ov::kDispPenWidth), 2);
    EXPECT_EQ(getI4(ov::kDispDrawKind), 1);

    ASSERT_EQ(put(ov::kDispPenWidth, Variant(int16_t{4})), 0);
    ASSERT_EQ(put(ov::kDispLassoSelect, Variant::fromBool(true)), 0);
    ASSERT_EQ(put(ov::kDispBackColor, Variant(int32_t{0x123456})), 0);
    sw::PropertyBag saved;
    m_veil->saveProperties(saved);
    saved.write("DrawKind", "9");  // a stored value the setter would refuse
    auto second = create(&saved);
    ASSERT_TRUE(second);
    Variant v;
    second->get(ov::kDispPenWidth, &v);
    EXPECT_EQ(v.i4(), 4);
    second->get(ov::kDispLassoSelect, &v);
    EXPECT_EQ(v.i4(), -1);
    second->get(ov::kDispBackColor, &v);
    EXPECT_EQ(v.i4(), 0x123456);
    second->get(ov::kDispDrawKind, &v);
    EXPECT_EQ(v.i4(), 1);
}

}  // namespace
