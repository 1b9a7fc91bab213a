// The overlay VeilCtl, called by the ids of contracts/overlay.h.
#pragma once

#include "board/controls/control_proxy.h"
#include "board/palette_model.h"

namespace sw::board {

class VeilProxy final : public ControlProxy {
public:
    using ControlProxy::ControlProxy;

    int16_t penWidth() const noexcept;
    bool setPenWidth(int16_t width) noexcept;
    uint32_t foreColor() const noexcept;
    bool setForeColor(uint32_t color) noexcept;
    bool setBackColor(uint32_t color) noexcept;
    int32_t hWnd() const noexcept;
    int32_t scrollX() const noexcept;
    int32_t scrollY() const noexcept;
    bool scrollTo(int32_t x, int32_t y) noexcept;
    // The overlay's own point array (it stays the overlay's) and its count.
    int32_t pointData() const noexcept;
    int32_t pointCount() const noexcept;
    // Replaces all points with a copy of `count` points of `data`.
    bool setPointData(int32_t data, int32_t count) noexcept;
    // The child of `parent` under the client point (x, y) of `parent`, not counting the overlay; `parent`
    // itself when there is none, 0 when the call fails.
    int32_t windowBelowPoint(int32_t parent, int32_t x, int32_t y) noexcept;
    bool redrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom) noexcept;
    // Makes the writes of a mode row (palette_model.h) in order; false when one fails.
    bool apply(std::span<const OverlayWrite> writes) noexcept;
};

}  // namespace sw::board
