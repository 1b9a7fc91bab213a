// The ink overlay's dispatch interface (class Veil, type library VEILLib, module libveil.so).
//
// The board calls the overlay late-bound by these ids only; the overlay module publishes its type info with
// exactly these ids. Must match veil/veil_ctrl.cpp's member table.
#pragma once

#include <cstdint>

#include "platform/com/guid.h"

namespace sw::overlay {

inline constexpr const char* kProgId = "VEIL.VeilCtrl.1";
// Fixed identities: the registry and every host know the control by these; never change them.
inline constexpr Guid kTypeLibId{
    0x0BD970DE, 0x4A6F, 0x49EE, {0x9A, 0xC3, 0x9E, 0xC8, 0x5F, 0xA9, 0xC3, 0xEF}};
inline constexpr Guid kClassId{0x9055D112, 0x34B4, 0x4491, {0xAC, 0x86, 0x46, 0x97, 0x3D, 0x57, 0x27, 0x94}};
inline constexpr Guid kDispatchId{
    0xF667ED3B, 0xB674, 0x468D, {0xA6, 0xA3, 0x28, 0x08, 0xE3, 0x5F, 0x3C, 0x8C}};
inline constexpr Guid kEventsId{0xB9EB7245, 0x3638, 0x436F, {0x92, 0x34, 0x88, 0x4B, 0xAC, 0x08, 0xF4, 0x91}};
inline constexpr Guid kPropPageId{
    0xBC94EB95, 0x86C8, 0x499C, {0x9D, 0x6D, 0x93, 0x22, 0xEF, 0x79, 0x84, 0x65}};

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
