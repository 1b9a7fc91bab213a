#include "platform/window/window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QPointingDevice>
#include <QWidget>
#include <limits>
#include <unordered_map>

#include "platform/window/listbox.h"
#include "platform/window/timer.h"

namespace sw::win {
namespace {

constexpr const char* kHandleProperty = "_sw_hwnd";

// The process-wide window table. User-interface thread only, like the widgets it names.
struct WindowTable {
    std::unordered_map<HWnd, QPointer<QWidget>> widgets;
    HWnd next = 0x00010000;  // handles only grow, so a stale handle never names a newer widget
};

// Never destroyed: a widget that outlives main() still unregisters safely.
WindowTable& table() {
    static auto* t = new WindowTable;
    return *t;
}

QPointer<QWidget>& captured() {
    static QPointer<QWidget> widget;
    return widget;
}

// Sets a widget attribute for one scope and restores it afterwards, if the widget still exists.
class AttributeOverride {
public:
    AttributeOverride(QWidget* widget, Qt::WidgetAttribute attribute)
        : m_widget(widget), m_attribute(attribute), m_was(widget->testAttribute(attribute)) {
        if (!m_was) widget->setAttribute(attribute, true);
    }
    ~AttributeOverride() {
        if (!m_was && m_widget) m_widget->setAttribute(m_attribute, false);
    }
    AttributeOverride(const AttributeOverride&) = delete;
    AttributeOverride& operator=(const AttributeOverride&) = delete;

private:
    QPointer<QWidget> m_widget;
    Qt::WidgetAttribute m_attribute;
    bool m_was;
};

struct MouseMessage {
    QEvent::Type type;
    Qt::MouseButton button;
};

bool mouseMessage(uint32_t msg, MouseMessage& out) {
    switch (msg) {
        case WM_MOUSEMOVE:
            out = {QEvent::MouseMove, Qt::NoButton};
            return true;
        case WM_LBUTTONDOWN:
            out = {QEvent::MouseButtonPress, Qt::LeftButton};
            return true;
        case WM_LBUTTONUP:
            out = {QEvent::MouseButtonRelease, Qt::LeftButton};
            return true;
        case WM_LBUTTONDBLCLK:
            out = {QEvent::MouseButtonDblClick, Qt::LeftButton};
            return true;
        case WM_RBUTTONDOWN:
            out = {QEvent::MouseButtonPress, Qt::RightButton};
            return true;
        case WM_RBUTTONUP:
            out = {QEvent::MouseButtonRelease, Qt::RightButton};
            return true;
        case WM_RBUTTONDBLCLK:
            out = {QEvent::MouseButtonDblClick, Qt::RightButton};
            return true;
        case WM_MBUTTONDOWN:
            out = {QEvent::MouseButtonPress, Qt::MiddleButton};
            return true;
        case WM_MBUTTONUP:
            out = {QEvent::MouseButtonRelease, Qt::MiddleButton};
            return true;
        case WM_MBUTTONDBLCLK:
            out = {QEvent::MouseButtonDblClick, Qt::MiddleButton};
            return true;
        default:
            return false;
    }
}

LResult deliverMouse(QWidget* widget, const MouseMessage& m, WParam keys, intptr_t lParam) {
    const auto packed = static_cast<LParam>(lParam);
    const QPointF local(lParamX(packed), lParamY(packed));
    Qt::MouseButtons buttons;
    if (keys & MK_LBUTTON) buttons |= Qt::LeftButton;
    if (keys & MK_RBUTTON) buttons |= Qt::RightButton;
    if (keys & MK_MBUTTON) buttons |= Qt::MiddleButton;
    // Qt's button state is after the event: a press holds its button, a release no longer does.
    if (m.type == QEvent::MouseButtonPress || m.type == QEvent::MouseButtonDblClick) buttons |= m.button;
    if (m.type == QEvent::MouseButtonRelease) buttons &= ~Qt::MouseButtons(m.button);
    Qt::KeyboardModifiers modifiers;
    if (keys & MK_SHIFT) modifiers |= Qt::ShiftModifier;
    if (keys & MK_CONTROL) modifiers |= Qt::ControlModifier;

    QMouseEvent event(m.type, local, widget->mapTo(widget->window(), local), widget->mapToGlobal(local),
                      m.button, buttons, modifiers, QPointingDevice::primaryPointingDevice());
    // A message goes to the addressed window only: Qt would pass an ignored event on to the parent, and would
    // drop a move without buttons for a widget that does not track the mouse.
    const AttributeOverride noPropagation(widget, Qt::WA_NoMousePropagation);
    const AttributeOverride tracking(widget, Qt::WA_MouseTracking);
    QCoreApplication::sendEvent(widget, &event);
    return 0;
}

LResult deliverListBox(QWidget* widget, uint32_t msg, WParam wParam, intptr_t lParam) {
    auto* list = qobject_cast<ListBox*>(widget);
    if (!list) return 0;
    const int index = static_cast<int>(static_cast<int32_t>(wParam));
    switch (msg) {
        case LB_GETCOUNT:
            return list->count();
        case LB_RESETCONTENT:
            list->resetContent();
            return 0;
        case LB_ADDSTRING: {
            const auto* text = reinterpret_cast<const char*>(lParam);
            return text ? list->addLineCp932(text) : LB_ERR;
        }
        case LB_GETTEXTLEN:
            if (index < 0 || index >= list->count()) return LB_ERR;
            return static_cast<LResult>(list->lineCp932(index).size());
        case LB_GETTEXT: {
            auto* buffer = reinterpret_cast<char*>(lParam);
            if (!buffer || index < 0 || index >= list->count()) return LB_ERR;
            const std::string line = list->lineCp932(index);
            line.copy(buffer, line.size());
            buffer[line.size()] = '\0';
            return static_cast<LResult>(line.size());
        }
        default:
            return 0;
    }
}

}  // namespace

HWnd handleOf(QWidget* widget) {
    if (!widget) return 0;
    const QVariant known = widget->property(kHandleProperty);
    if (known.isValid()) return known.value<HWnd>();
    WindowTable& t = table();
    if (t.next == std::numeric_limits<HWnd>::max()) return 0;  // exhausted: never wrap into used handles
    const HWnd hwnd = t.next++;
    t.widgets.emplace(hwnd, widget);
    widget->setProperty(kHandleProperty, QVariant::fromValue(hwnd));
    QObject::connect(widget, &QObject::destroyed, [hwnd] { table().widgets.erase(hwnd); });
    return hwnd;
}

QWidget* widgetOf(HWnd hwnd) noexcept {
    if (hwnd == 0) return nullptr;
    const WindowTable& t = table();
    const auto it = t.widgets.find(hwnd);
    return it == t.widgets.end() ? nullptr : it->second.data();
}

LResult sendMessage(HWnd hwnd, uint32_t msg, WParam wParam, intptr_t lParam) {
    QWidget* widget = widgetOf(hwnd);
    if (!widget) return 0;
    MouseMessage mouse{};
    if (mouseMessage(msg, mouse)) return deliverMouse(widget, mouse, wParam, lParam);
    switch (msg) {
        case LB_ADDSTRING:
        case LB_RESETCONTENT:
        case LB_GETTEXT:
        case LB_GETTEXTLEN:
        case LB_GETCOUNT:
            return deliverListBox(widget, msg, wParam, lParam);
        case WM_TIMER:
            fireTimer(widget, wParam);
            return 0;
        default:
            return 0;
    }
}

void setCapture(QWidget* widget) {
    QPointer<QWidget>& current = captured();
    if (current == widget) return;
    if (current) current->releaseMouse();
    current = widget;
    // Qt grabs only for visible widgets; the capture is still recorded so that captureWidget() answers.
    if (widget && widget->isVisible()) widget->grabMouse();
}

void releaseCapture() { setCapture(nullptr); }

QWidget* captureWidget() noexcept { return captured().data(); }

QPoint clientToScreen(HWnd hwnd, QPoint client) {
    const QWidget* widget = widgetOf(hwnd);
    return widget ? widget->mapToGlobal(client) : client;
}

QPoint screenToClient(HWnd hwnd, QPoint screen) {
    const QWidget* widget = widgetOf(hwnd);
    return widget ? widget->mapFromGlobal(screen) : screen;
}

bool redrawWindow(HWnd hwnd, const QRect& rect) {
    QWidget* widget = widgetOf(hwnd);
    if (!widget) return false;
    if (rect.isNull()) {
        widget->repaint();
    } else {
        widget->repaint(rect);
    }
    return true;
}

}  // namespace sw::win
