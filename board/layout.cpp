#include "board/layout.h"

#include "platform/gdi/units.h"

namespace sw::board {

BoardLayout layoutBoard(int32_t w, int32_t h, int32_t m) noexcept {
    BoardLayout l;
    l.canvas = QRect(0, 0, w, MaxInt(0, h - m - 2));
    l.overlay = QRect(kOverlayInset, kOverlayInset, MaxInt(0, w - 2 * kOverlayInset), MaxInt(0, h - m - 4));
    l.strip = QRect(0, h - m, w, m);
    return l;
}

PathPoint canvasToDocument(double x, double y, int32_t scrollX, int32_t scrollY, double overlayLeft,
                           double overlayTop) noexcept {
    return PathPoint{gdi::roundHalfEven(x + scrollX - overlayLeft),
                     gdi::roundHalfEven(y + scrollY - overlayTop)};
}

QPointF documentToCanvas(double x, double y, int32_t scrollX, int32_t scrollY, double overlayLeft,
                         double overlayTop) noexcept {
    return QPointF(x - scrollX + overlayLeft, y - scrollY + overlayTop);
}

QPoint placePalette(const PalettePlacement& p) noexcept {
    const int32_t maxLeft = p.screen.left() + p.screen.width() - p.outerWidth;
    const int32_t centred = gdi::roundHalfEven(p.press.x() - p.clientWidth / 2.0);
    const int32_t left = MaxInt(p.screen.left(), MinInt(maxLeft, centred));
    const int32_t top =
        MaxInt(p.screen.top(), p.boardTop + p.boardClientHeight - p.stripHeight - p.clientHeight);
    return QPoint(left, top);
}

}  // namespace sw::board
