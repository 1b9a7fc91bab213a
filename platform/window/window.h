// Window handles and messages over Qt widgets.
//
// A window handle is a nonzero 32-bit value naming a widget; handles are never reused, and the handle of a
// deleted widget resolves to null. All functions run on the user-interface thread.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>

class QWidget;

namespace sw::win {

using HWnd = int32_t;
using WParam = uint32_t;
using LParam = int32_t;
using LResult = int32_t;

// Mouse messages.
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
inline constexpr uint32_t WM_TIMER = 0x0113;
// Key-state flags in WParam of mouse messages.
inline constexpr WParam MK_LBUTTON = 0x0001;
inline constexpr WParam MK_RBUTTON = 0x0002;
inline constexpr WParam MK_SHIFT = 0x0004;
inline constexpr WParam MK_CONTROL = 0x0008;
inline constexpr WParam MK_MBUTTON = 0x0010;

// List-box messages (see listbox.h).
inline constexpr uint32_t LB_ADDSTRING = 0x0180;
inline constexpr uint32_t LB_RESETCONTENT = 0x0184;
inline constexpr uint32_t LB_GETTEXT = 0x0189;
inline constexpr uint32_t LB_GETTEXTLEN = 0x018A;
inline constexpr uint32_t LB_GETCOUNT = 0x018B;
inline constexpr LResult LB_ERR = -1;
inline constexpr LResult LB_ERRSPACE = -2;

// Packs client coordinates as mouse messages carry them: x in bits 0-15, y in bits 16-31, each 16-bit signed.
constexpr LParam makeLParam(int x, int y) noexcept {
    return static_cast<LParam>((static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16) |
                               static_cast<uint16_t>(x));
}
constexpr int lParamX(LParam l) noexcept { return static_cast<int16_t>(static_cast<uint32_t>(l) & 0xFFFF); }
constexpr int lParamY(LParam l) noexcept { return static_cast<int16_t>(static_cast<uint32_t>(l) >> 16); }

// The handle of a widget, created on first use; 0 for null.
HWnd handleOf(QWidget* widget);
// The widget of a handle; null for 0, an unknown handle or a deleted widget.
QWidget* widgetOf(HWnd hwnd) noexcept;

// Delivers a message synchronously and returns the window's answer.
// Mouse messages become synthesised Qt mouse events at the packed client point (buttons and modifiers from
// WParam) and return 0; they reach the addressed widget only, never a child or the parent. WM_TIMER runs the
// window's active timer `wParam` now (timer.h) and returns 0; without such a timer it does nothing. List-box
// messages go to a ListBox (listbox.h) and return 0 at any other widget. Any other message, or a handle
// without a widget, returns 0 and does nothing. `lParam` for LB_GETTEXT/LB_ADDSTRING carries a pointer and is
// taken as intptr_t.
LResult sendMessage(HWnd hwnd, uint32_t msg, WParam wParam, intptr_t lParam);

// Mouse capture: all mouse input goes to the widget until released. setCapture(null) releases.
void setCapture(QWidget* widget);
void releaseCapture();
QWidget* captureWidget() noexcept;

// Point conversion between a window's client area and the screen; a bad handle gives the point unchanged.
QPoint clientToScreen(HWnd hwnd, QPoint client);
QPoint screenToClient(HWnd hwnd, QPoint screen);

// Synchronous repaint of a client rectangle (the whole client area for a null rect); returns false for a bad
// handle.
bool redrawWindow(HWnd hwnd, const QRect& rect = QRect());

}  // namespace sw::win
