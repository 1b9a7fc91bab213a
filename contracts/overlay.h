// The ink overlay's dispatch interface (class Veil, type library VEILLib, module libveil.so).
//
// The board calls the overlay late-bound by these ids only; the overlay module publishes its type info with
// exactly these ids. Must match veil/veil_ctrl.cpp's member table.
#pragma once

#include <cstdint>

namespace sw::overlay {

inline constexpr const char* kProgId = "VEIL.VeilCtrl.1";

// Properties: 32-bit values unless noted.
inline constexpr int32_t kDispPenWidth = 1;           // I2: width of new ink
inline constexpr int32_t kDispForeColor = -513;       // I4 (OLE colour): colour of new ink
inline constexpr int32_t kDispBackColor = -501;       // I4 (OLE colour): kept, not painted
inline constexpr int32_t kDispHWnd = -515;            // I4, read-only: the overlay's window handle
inline constexpr int32_t kDispDrawKind = 4;           // I2: kDrawPen or kDrawLasso
inline constexpr int32_t kDispScrollX = 7;            // I4: document x = client x + ScrollX
inline constexpr int32_t kDispScrollY = 8;            // I4
inline constexpr int32_t kDispInkInput = 11;          // BOOL: takes ink
inline constexpr int32_t kDispInkDisplay = 12;        // BOOL: shows ink
inline constexpr int32_t kDispLassoSelect = 13;       // BOOL: lasso selects strokes
inline constexpr int32_t kDispMousePassThrough = 14;  // BOOL: forwards mouse messages, takes no ink
inline constexpr int32_t kDispPointCount = 17;        // I4, read-only
inline constexpr int32_t kDispPointData = 18;  // I4, read-only: handle of the overlay's VeilPoint array

// Methods.
inline constexpr int32_t kDispScrollTo = 19;  // (x I4, y I4)
inline constexpr int32_t kDispSetPointData =
    20;                                         // (data I4 handle, count I4): replaces all points with a copy
inline constexpr int32_t kDispRedrawRect = 22;  // (left, top, right, bottom I4)
inline constexpr int32_t kDispWindowBelowPoint =
    23;  // (hwnd I4 byref, x I4 byref, y I4 byref) -> I4 window handle

// Events, raised synchronously.
inline constexpr int32_t kEventPatternSelected = 9;  // (Data I4 handle, DataNum I4)
inline constexpr int32_t kEventAreaChanged = 10;     // (Left, Top, Right, Bottom I4), overlay client pixels
inline constexpr int32_t kEventMouseForward = 11;    // (Msg I4, WParam I4, LParam I4), LParam = y << 16 | x

inline constexpr int16_t kDrawPen = 1;
inline constexpr int16_t kDrawLasso = 2;

}  // namespace sw::overlay
