// The arithmetic of the recognition flow: where the recognition box goes over a selection of ink, where a
// committed character lands on the board, the pen width the box carries as text, and the point of a mouse
// message the overlay forwards. Pure functions, no window.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <string_view>

#include "board/board_state.h"

namespace sw::board {

// The margin of box pixels around the ink in the recognition box.
inline constexpr int32_t kBoxMargin = 10;
// The width a committed character gets when the box's Tag holds no usable width.
inline constexpr int32_t kDefaultCharWidth = 2;

// The box's rectangle on the board for a selection whose bounding box is `selection` (document
// coordinates): the selection less the margin on every side, moved from document coordinates to the board
// by the overlay's position `overlayPos` and scroll offsets `scroll`.
QRect quillboxPlacement(const CharRect& selection, QPoint overlayPos, QPoint scroll) noexcept;

// A character's rectangle `inBox` (box coordinates) back in document coordinates, for a box at `boxPos` on
// the board; each value is computed in floating point and rounded half to even.
CharRect committedRect(QPointF boxPos, const CharRect& inBox, QPoint overlayPos, QPoint scroll) noexcept;

// The pen width carried by the box's Tag: decimal digits with an optional sign, surrounding spaces allowed.
// Anything else (empty, letters, trailing text, out of the 32-bit range) and a width below 1 give
// kDefaultCharWidth.
int32_t widthFromTag(std::u16string_view tag) noexcept;

// The client point packed in a forwarded mouse message: x in bits 0-15, y in bits 16-31, each a signed
// 16-bit value (a drag held beyond the overlay's left or top edge gives negative coordinates).
QPoint forwardedPoint(int32_t lParam) noexcept;

}  // namespace sw::board
