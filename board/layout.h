// Geometry of the board: the layout of its elements for a window size, the conversions between canvas and
// document coordinates, and where the menu strip opens the tool palette. Pure functions over pixels.
#pragma once

#include <QPoint>
#include <QRect>
#include <cstdint>

#include "board/board_state.h"

namespace sw::board {

inline constexpr uint32_t kBoardColor = 0x00008000;       // OLE 0x00BBGGRR: dark green
inline constexpr uint32_t kStripColor = 0x00C0FFFF;       // RGB(255, 255, 192)
inline constexpr uint32_t kLookupPathColor = 0x0080FF80;  // RGB(128, 255, 128)
inline constexpr int kStripHeightTwips = 495;
inline constexpr int kStripHeight = 33;  // pixels at 15 twips per pixel
inline constexpr int kOverlayInset =
    2;  // the overlay lies 2 pixels into the canvas at the left, top and right

struct BoardLayout {
    QRect canvas;
    QRect overlay;
    QRect strip;
};

// The elements for an inner window size W x H and a strip height M. Widths and heights are clamped to 0;
// the strip keeps its height and its top may lie above the window's top when the window is smaller.
BoardLayout layoutBoard(int32_t width, int32_t height, int32_t stripHeight) noexcept;

// document = canvas + scroll - overlay origin, rounded half to even; and back.
PathPoint canvasToDocument(double x, double y, int32_t scrollX, int32_t scrollY, double overlayLeft,
                           double overlayTop) noexcept;
QPointF documentToCanvas(double x, double y, int32_t scrollX, int32_t scrollY, double overlayLeft,
                         double overlayTop) noexcept;

// Where a press on the menu strip at `press` (screen pixels) puts the palette's outer top-left corner:
// centred on the pen, just above the strip (frame and caption bars are not taken into account), kept inside
// `screen` (its right edge at the screen's right edge at most, never left of or above the screen's origin).
struct PalettePlacement {
    QPoint press;         // screen pixels
    QRect screen;         // the screen under the press, pixels
    int32_t outerWidth;   // the palette's frame width
    int32_t clientWidth;  // its client area
    int32_t clientHeight;
    int32_t boardTop;  // the board window's frame top, screen pixels
    int32_t boardClientHeight;
    int32_t stripHeight;
};
QPoint placePalette(const PalettePlacement& p) noexcept;

}  // namespace sw::board
