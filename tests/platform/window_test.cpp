#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "platform/window/menu.h"
#include "platform/window/timer.h"
#include "qt_application.h"

namespace sw::win {
namespace {

// Processes events until `done` holds or `ms` pass.
bool waitUntil(const std::function<bool()>& done, int ms = 2000) {
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms) QTest::qWait(5);
    return done();
}

struct Recorded {
    QEvent::Type type;
    QPointF pos;
    QPointF globalPos;
    Qt::MouseButton button;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
};

// Records the mouse and paint events it gets; `accepts` decides whether mouse events are accepted.
class Recorder : public QWidget {
public:
    explicit Recorder(QWidget* parent = nullptr, bool accepts = true) : QWidget(parent), m_accepts(accepts) {}
    std::vector<Recorded> mouse;
    std::vector<QRect> painted;

protected:
    bool event(QEvent* e) override {
        switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::MouseMove: {
                auto* m = static_cast<QMouseEvent*>(e);
                mouse.push_back({m->type(), m->position(), m->globalPosition(), m->button(), m->buttons(),
                                 m->modifiers()});
                e->setAccepted(m_accepts);
                return m_accepts;
            }
            case QEvent::Paint:
                painted.push_back(static_cast<QPaintEvent*>(e)->rect());
                return true;
            default:
                return QWidget::event(e);
        }
    }

private:
    bool m_accepts;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::ensureApplication(); }
};

TEST_F(WindowTest, MouseMessagesArriveSynchronouslyAsQtEventsAtTheClientPoint) {
    Recorder top;
    top.setGeometry(100, 50, 300, 200);
    auto* child = new Recorder(&top, /*accepts=*/false);
    child->setGeometry(40, 30, 100, 100);
    top.show();
    const HWnd h = handleOf(&top);
    ASSERT_NE(h, 0);

    const struct {
        uint32_t msg;
        WParam keys;
        int x, y;
        QEvent::Type type;
        Qt::MouseButton button;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers modifiers;
    } rows[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 60, 70, QEvent::MouseButtonPress, Qt::LeftButton,
         Qt::LeftButton, Qt::ShiftModifier},
        {WM_MOUSEMOVE, MK_LBUTTON, 61, 72, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, Qt::NoModifier},
        {WM_LBUTTONUP, 0, 62, 73, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, Qt::NoModifier},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL | MK_LBUTTON, 5, 6, QEvent::MouseButtonPress,
         Qt::RightButton, Qt::RightButton | Qt::LeftButton, Qt::ControlModifier},
        {WM_RBUTTONUP, MK_LBUTTON, 5, 6, QEvent::MouseButtonRelease, Qt::RightButton, Qt::LeftButton,
         Qt::NoModifier},
        {WM_MBUTTONDBLCLK, MK_MBUTTON, 299, 199, QEvent::MouseButtonDblClick, Qt::MiddleButton,
         Qt::MiddleButton, Qt::NoModifier},
        {WM_MOUSEMOVE, 0, -5, -7, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, Qt::NoModifier},
    };
    for (const auto& row : rows) {
        top.mouse.clear();
        EXPECT_EQ(sendMessage(h, row.msg, row.keys, makeLParam(row.x, row.y)), 0);
        // No event processing between the send and the check: delivery is synchronous.
        ASSERT_EQ(top.mouse.size(), 1u) << std::hex << row.msg;
        const Recorded& got = top.mouse[0];
        EXPECT_EQ(got.type, row.type) << std::hex << row.msg;
        EXPECT_EQ(got.pos, QPointF(row.x, row.y)) << std::hex << row.msg;
        EXPECT_EQ(got.globalPos, QPointF(top.mapToGlobal(QPoint(row.x, row.y))));
        EXPECT_EQ(got.button, row.button) << std::hex << row.msg;
        EXPECT_EQ(got.buttons, row.buttons) << std::hex << row.msg;
        EXPECT_EQ(got.modifiers, row.modifiers) << std::hex << row.msg;
    }
    EXPECT_TRUE(child->mouse.empty())
        << "the child under the point gets nothing: the message names the parent";

    // A message to the child stays with the child even when it ignores the event.
    top.mouse.clear();
    sendMessage(handleOf(child), WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(1, 2));
    ASSERT_EQ(child->mouse.size(), 1u);
    EXPECT_EQ(child->mouse[0].pos, QPointF(1, 2));
    EXPECT_TRUE(top.mouse.empty()) << "an ignored message must not travel on to the parent";
    EXPECT_FALSE(child->testAttribute(Qt::WA_NoMousePropagation))
        << "the widget's own attributes are restored";
    EXPECT_FALSE(child->hasMouseTracking());

    EXPECT_EQ(sendMessage(h, 0x0400, 1, 2), 0) << "an unknown message does nothing";
    EXPECT_TRUE(top.mouse.empty());
}

TEST_F(WindowTest, HandlesAreStableUniqueAndGoStaleWithTheirWidget) {
    auto first = std::make_unique<Recorder>();
    const HWnd h = handleOf(first.get());
    EXPECT_EQ(handleOf(first.get()), h);
    EXPECT_EQ(widgetOf(h), first.get());
    EXPECT_EQ(handleOf(nullptr), 0);
    EXPECT_EQ(widgetOf(0), nullptr);
    EXPECT_EQ(widgetOf(h + 100000), nullptr);

    first.reset();
    EXPECT_EQ(widgetOf(h), nullptr);
    EXPECT_EQ(sendMessage(h, WM_LBUTTONDOWN, MK_LBUTTON, makeLParam(1, 1)), 0);
    EXPECT_EQ(sendMessage(h, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(redrawWindow(h));
    EXPECT_EQ(clientToScreen(h, QPoint(3, 4)), QPoint(3, 4));
    EXPECT_EQ(screenToClient(h, QPoint(3, 4)), QPoint(3, 4));

    // A new widget, maybe at the same address, never gets the stale handle.
    Recorder second;
    const HWnd h2 = handleOf(&second);
    EXPECT_NE(h2, h);
    EXPECT_EQ(widgetOf(h), nullptr);
    EXPECT_EQ(widgetOf(h2), &second);
}

TEST_F(WindowTest, CaptureConversionAndSynchronousRepaint) {
    Recorder top;
    top.setGeometry(120, 80, 200, 150);
    auto* child = new Recorder(&top);
    child->setGeometry(30, 20, 50, 50);
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));

    const HWnd h = handleOf(&top);
    const HWnd hc = handleOf(child);
    EXPECT_EQ(clientToScreen(hc, QPoint(0, 0)) - clientToScreen(h, QPoint(0, 0)), QPoint(30, 20));
    EXPECT_EQ(screenToClient(hc, clientToScreen(h, QPoint(35, 27))), QPoint(5, 7));
    EXPECT_EQ(clientToScreen(h, QPoint(1, 2)), top.mapToGlobal(QPoint(1, 2)));

    setCapture(child);
    EXPECT_EQ(captureWidget(), child);
    EXPECT_EQ(QWidget::mouseGrabber(), child);
    setCapture(&top);
    EXPECT_EQ(QWidget::mouseGrabber(), &top) << "a new capture replaces the old";
    releaseCapture();
    EXPECT_EQ(captureWidget(), nullptr);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    {
        Recorder gone(&top);
        gone.show();
        setCapture(&gone);
    }
    EXPECT_EQ(captureWidget(), nullptr) << "a deleted widget holds no capture";

    QTest::qWait(20);
    top.painted.clear();
    EXPECT_TRUE(redrawWindow(h, QRect(150, 10, 20, 30)));
    ASSERT_EQ(top.painted.size(), 1u) << "the repaint happens before redrawWindow returns";
    EXPECT_TRUE(top.painted[0].contains(QRect(150, 10, 20, 30)));
    EXPECT_FALSE(top.painted[0].contains(QRect(0, 0, 200, 150))) << "only the asked rectangle";
    top.painted.clear();
    EXPECT_TRUE(redrawWindow(h));
    ASSERT_EQ(top.painted.size(), 1u);
    EXPECT_EQ(top.painted[0], top.rect());
}

TEST_F(WindowTest, TimersFireWithTheirIdUntilKilledOrTheWidgetDies) {
    auto owner = std::make_unique<QWidget>();
    std::vector<uint32_t> fired;
    const auto record = [&fired](uint32_t id) { fired.push_back(id); };
    EXPECT_EQ(setTimer(owner.get(), 7, 10, record), 7u);
    EXPECT_EQ(setTimer(owner.get(), 8, 10, record), 8u);
    EXPECT_TRUE(isTimerActive(owner.get(), 7));
    ASSERT_TRUE(waitUntil([&] {
        return std::count(fired.begin(), fired.end(), 7u) >= 2 &&
               std::count(fired.begin(), fired.end(), 8u) >= 2;
    }));

    EXPECT_TRUE(killTimer(owner.get(), 7));
    EXPECT_FALSE(killTimer(owner.get(), 7));
    EXPECT_FALSE(isTimerActive(owner.get(), 7));
    fired.clear();
    ASSERT_TRUE(waitUntil([&] { return std::count(fired.begin(), fired.end(), 8u) >= 5; }));
    EXPECT_EQ(std::count(fired.begin(), fired.end(), 7u), 0) << "a killed timer fired";

    // Setting an id again restarts it with the new interval and callback: one timer, not two.
    std::vector<uint32_t> second;
    EXPECT_EQ(setTimer(owner.get(), 8, 60000, record), 8u);
    EXPECT_EQ(setTimer(owner.get(), 8, 10, [&second](uint32_t id) { second.push_back(id); }), 8u);
    fired.clear();
    ASSERT_TRUE(waitUntil([&] { return second.size() >= 3; }));
    EXPECT_TRUE(fired.empty()) << "the replaced callback still ran";
    EXPECT_EQ(second[0], 8u);

    // A callback that kills its own timer runs once.
    int once = 0;
    setTimer(owner.get(), 9, 10, [&](uint32_t id) {
        ++once;
        killTimer(owner.get(), id);
    });
    ASSERT_TRUE(waitUntil([&] { return once > 0; }));
    QTest::qWait(50);
    EXPECT_EQ(once, 1);

    owner.reset();  // timer 8 dies with its widget
    second.clear();
    QTest::qWait(60);
    EXPECT_TRUE(second.empty()) << "a timer outlived its widget";

    QWidget other;
    EXPECT_EQ(setTimer(nullptr, 1, 10, record), 0u);
    EXPECT_EQ(setTimer(&other, 0, 10, record), 0u);
    EXPECT_EQ(setTimer(&other, 1, -1, record), 0u);
    EXPECT_EQ(setTimer(&other, 1, 10, nullptr), 0u);
    EXPECT_FALSE(killTimer(nullptr, 1));
    EXPECT_FALSE(isTimerActive(&other, 1));
}

// A host applies a control's pending timer work at once by sending WM_TIMER with the timer's id.
TEST_F(WindowTest, WmTimerRunsAnActiveTimerAtOnce) {
    QWidget owner;
    const HWnd h = handleOf(&owner);
    std::vector<uint32_t> fired;
    setTimer(&owner, 50, 60000, [&](uint32_t id) {
        fired.push_back(id);
        killTimer(&owner, id);
    });
    EXPECT_EQ(sendMessage(h, WM_TIMER, 51, 0), 0);
    EXPECT_TRUE(fired.empty()) << "another id";
    EXPECT_EQ(sendMessage(h, WM_TIMER, 50, 0), 0);
    EXPECT_EQ(fired, std::vector<uint32_t>{50});
    EXPECT_FALSE(isTimerActive(&owner, 50));
    sendMessage(h, WM_TIMER, 50, 0);
    EXPECT_EQ(fired.size(), 1u) << "a killed timer runs no more";
    EXPECT_FALSE(fireTimer(nullptr, 50));
}

TEST_F(WindowTest, PopupMenuAnswersThroughTheHookOrTheRealMenu) {
    const std::vector<MenuItem> items = {{1, u"最初", false, true},
                                         {0, u"", false, true},
                                         {2, u"無効", false, false},
                                         {3, u"選択済み", true, true}};
    std::vector<MenuItem> seen;
    QPoint seenAt;
    setPopupMenuHook([&](const std::vector<MenuItem>& shown, QPoint at) {
        seen = shown;
        seenAt = at;
        return 3u;
    });
    EXPECT_EQ(trackPopupMenu(items, QPoint(40, 50), nullptr), 3u);
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].text, u"選択済み");
    EXPECT_TRUE(seen[3].checked);
    EXPECT_EQ(seenAt, QPoint(40, 50));
    setPopupMenuHook(nullptr);

    // The real menu: Down selects the first item, the next Down skips the separator and the disabled item.
    QWidget owner;
    owner.show();
    bool shownMenu = false;
    QTimer::singleShot(50, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        shownMenu = true;
        const QList<QAction*> actions = menu->actions();
        EXPECT_EQ(actions.size(), 4);
        EXPECT_TRUE(actions[1]->isSeparator());
        EXPECT_FALSE(actions[2]->isEnabled());
        EXPECT_TRUE(actions[3]->isChecked());
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    EXPECT_EQ(trackPopupMenu(items, owner.mapToGlobal(QPoint(5, 5)), &owner), 3u);
    EXPECT_TRUE(shownMenu);

    QTimer::singleShot(50, [] {
        if (QWidget* menu = QApplication::activePopupWidget()) QTest::keyClick(menu, Qt::Key_Escape);
    });
    EXPECT_EQ(trackPopupMenu(items, owner.mapToGlobal(QPoint(5, 5)), &owner), 0u) << "dismissed";
}

}  // namespace
}  // namespace sw::win
