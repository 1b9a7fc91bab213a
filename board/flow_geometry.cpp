#include "board/flow_geometry.h"

#include <limits>

#include "platform/gdi/units.h"
#include "platform/window/window.h"

namespace sw::board {

QRect quillboxPlacement(const CharRect& selection, QPoint overlayPos, QPoint scroll) noexcept {
    const int64_t x = int64_t{overlayPos.x()} + selection.Left - scroll.x() - kBoxMargin;
    const int64_t y = int64_t{overlayPos.y()} + selection.Top - scroll.y() - kBoxMargin;
    const int64_t w = int64_t{selection.Right} - selection.Left + 2 * kBoxMargin;
    const int64_t h = int64_t{selection.Bottom} - selection.Top + 2 * kBoxMargin;
    return QRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
}

CharRect committedRect(QPointF boxPos, const CharRect& inBox, QPoint overlayPos, QPoint scroll) noexcept {
    const double dx = boxPos.x() - overlayPos.x() + scroll.x();
    const double dy = boxPos.y() - overlayPos.y() + scroll.y();
    return {gdi::roundHalfEven(dx + inBox.Left), gdi::roundHalfEven(dy + inBox.Top),
            gdi::roundHalfEven(dx + inBox.Right), gdi::roundHalfEven(dy + inBox.Bottom)};
}

int32_t widthFromTag(std::u16string_view tag) noexcept {
    while (!tag.empty() && tag.front() == u' ') tag.remove_prefix(1);
    while (!tag.empty() && tag.back() == u' ') tag.remove_suffix(1);
    bool negative = false;
    if (!tag.empty() && (tag.front() == u'-' || tag.front() == u'+')) {
        negative = tag.front() == u'-';
        tag.remove_prefix(1);
    }
    if (tag.empty()) return kDefaultCharWidth;
    int64_t value = 0;
    for (const char16_t c : tag) {
        if (c < u'0' || c > u'9') return kDefaultCharWidth;
        value = value * 10 + (c - u'0');
        if (value > std::numeric_limits<int32_t>::max()) return kDefaultCharWidth;
    }
    if (negative || value < 1) return kDefaultCharWidth;
    return static_cast<int32_t>(value);
}

QPoint forwardedPoint(int32_t lParam) noexcept { return {win::lParamX(lParam), win::lParamY(lParam)}; }

}  // namespace sw::board
