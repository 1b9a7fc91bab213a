// The tool palette's fixed data: where its elements lie, what each swatch, width sample and scroll button
// stands for, and how each mode sets the overlay. The palette window (forms/sub_form.h) is a thin view over
// these tables.
#pragma once

#include <QLine>
#include <QRect>
#include <QSize>
#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/automation/dispatch.h"

namespace sw::board {

inline constexpr int kPaletteClientWidthTwips = 2355;
inline constexpr int kPaletteClientHeightTwips = 2385;

// Element rectangles in pixels (the palette's twips at 15 twips per pixel).
QRect colorSwatchRect(int index) noexcept;   // ColPic(0..4)
QRect widthSampleRect(int index) noexcept;   // WidPic(0..1)
QRect scrollButtonRect(int index) noexcept;  // ScrButton(0..3)
QRect modeButtonRect(int index) noexcept;    // ModePic(0..2)
QLine sampleLine() noexcept;                 // SampleLine
QSize paletteClientSize() noexcept;

inline constexpr int kColorSwatches = 5;
inline constexpr int kWidthSamples = 2;
inline constexpr int kScrollButtons = 4;
inline constexpr int kModeButtons = 3;

// OLE colours (0x00BBGGRR) of the swatches: white, red, blue, yellow, purple.
inline constexpr std::array<uint32_t, kColorSwatches> kSwatchColors = {0x00FFFFFF, 0x000000FF, 0x00FF0000,
                                                                       0x0000FFFF, 0x00C000C0};
inline constexpr uint32_t kModeColor = 0x00C0FFC0;          // RGB(192, 255, 192)
inline constexpr uint32_t kModeSelectedColor = 0x0040FF40;  // RGB(64, 255, 64)
inline constexpr uint32_t kWidthSampleBack = 0x00008000;    // the board's colour
inline constexpr const char16_t* kScrollCaptions[kScrollButtons] = {u"↑", u"↓", u"→", u"←"};
inline constexpr int32_t kScrollStep = 50;

// The pen width a width sample offers: 2 and 4 pixels. Taken from here, never from what a paint left behind.
constexpr int16_t widthOfSample(int index) noexcept { return static_cast<int16_t>(index * 2 + 2); }

// The overlay offsets after scroll button `index` from (x, y); nullopt for an unknown index.
std::optional<std::pair<int32_t, int32_t>> scrollTarget(int index, int32_t x, int32_t y) noexcept;

// One property put on the overlay: a DrawKind (I2) or a Boolean.
struct OverlayWrite {
    DispId id;
    int16_t value;  // DrawKind value, or 1 / 0 for a Boolean
    bool boolean;
};
// The overlay writes of mode 0 (pen), 1 (lasso) or 2 (operate) in the order they are made; empty for any
// other mode.
std::span<const OverlayWrite> modeWrites(int mode) noexcept;

}  // namespace sw::board
