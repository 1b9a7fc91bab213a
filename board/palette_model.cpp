#include "board/palette_model.h"

#include <algorithm>

#include "contracts/overlay.h"
#include "platform/gdi/units.h"

namespace sw::board {

namespace {

namespace ov = sw::overlay;

constexpr int px(int twips) noexcept { return twips / gdi::kTwipsPerPixel; }
constexpr QRect twipRect(int left, int top, int width, int height) noexcept {
    return QRect(px(left), px(top), px(width), px(height));
}

constexpr int kSquare = 495;
constexpr int kWideSample = 795;

constexpr OverlayWrite kPenWrites[] = {
    {ov::kDispDrawKind, ov::kDrawPen, false}, {ov::kDispInkInput, 1, true},
    {ov::kDispLassoSelect, 0, true},          {ov::kDispInkDisplay, 1, true},
    {ov::kDispMousePassThrough, 0, true},
};
constexpr OverlayWrite kLassoWrites[] = {
    {ov::kDispDrawKind, ov::kDrawLasso, false},
    {ov::kDispLassoSelect, 1, true},
    {ov::kDispInkInput, 1, true},
    {ov::kDispInkDisplay, 1, true},
    {ov::kDispMousePassThrough, 0, true},
};
// DrawKind stays as it was.
constexpr OverlayWrite kOperateWrites[] = {
    {ov::kDispInkInput, 0, true},
    {ov::kDispLassoSelect, 0, true},
    {ov::kDispInkDisplay, 0, true},
    {ov::kDispMousePassThrough, 1, true},
};

}  // namespace

QRect colorSwatchRect(int index) noexcept {
    static constexpr QRect rects[kColorSwatches] = {
        twipRect(0, 0, kSquare, kSquare), twipRect(600, 0, kSquare, kSquare),
        twipRect(1200, 0, kSquare, kSquare), twipRect(1800, 0, kSquare, kSquare),
        twipRect(0, 600, kSquare, kSquare)};
    return index >= 0 && index < kColorSwatches ? rects[index] : QRect();
}

QRect widthSampleRect(int index) noexcept {
    static constexpr QRect rects[kWidthSamples] = {twipRect(600, 600, kWideSample, kSquare),
                                                   twipRect(1500, 600, kWideSample, kSquare)};
    return index >= 0 && index < kWidthSamples ? rects[index] : QRect();
}

QRect scrollButtonRect(int index) noexcept {
    static constexpr QRect rects[kScrollButtons] = {
        twipRect(120, 1320, kSquare, kSquare), twipRect(120, 1800, kSquare, kSquare),
        twipRect(600, 1320, kSquare, kSquare), twipRect(600, 1800, kSquare, kSquare)};
    return index >= 0 && index < kScrollButtons ? rects[index] : QRect();
}

QRect modeButtonRect(int index) noexcept {
    static constexpr QRect rects[kModeButtons] = {twipRect(1200, 1320, kSquare, kSquare),
                                                  twipRect(1680, 1320, kSquare, kSquare),
                                                  twipRect(1200, 1800, kSquare, kSquare)};
    return index >= 0 && index < kModeButtons ? rects[index] : QRect();
}

QLine sampleLine() noexcept { return QLine(px(120), px(1200), px(2160), px(1200)); }

QSize paletteClientSize() noexcept {
    return QSize(px(kPaletteClientWidthTwips), px(kPaletteClientHeightTwips));
}

std::optional<std::pair<int32_t, int32_t>> scrollTarget(int index, int32_t x, int32_t y) noexcept {
    // Saturates at the ends of the 32-bit range instead of wrapping round.
    const auto add = [](int32_t v, int32_t d) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} + d, INT32_MIN, INT32_MAX));
    };
    switch (index) {
        case 0:
            return std::pair{x, add(y, kScrollStep)};  // "↑"
        case 1:
            return std::pair{x, add(y, -kScrollStep)};  // "↓"
        case 2:
            return std::pair{add(x, -kScrollStep), y};  // "→"
        case 3:
            return std::pair{add(x, kScrollStep), y};  // "←"
        default:
            return std::nullopt;
    }
}

std::span<const OverlayWrite> modeWrites(int mode) noexcept {
    switch (mode) {
        case 0:
            return kPenWrites;
        case 1:
            return kLassoWrites;
        case 2:
            return kOperateWrites;
        default:
            return {};
    }
}

}  // namespace sw::board
