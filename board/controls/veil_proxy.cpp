#include "board/controls/veil_proxy.h"

#include "contracts/overlay.h"

namespace sw::board {

namespace ov = sw::overlay;

int16_t VeilProxy::penWidth() const noexcept { return static_cast<int16_t>(getI4(ov::kDispPenWidth)); }

bool VeilProxy::setPenWidth(int16_t width) noexcept {
    return succeeded(put(ov::kDispPenWidth, Variant(width)));
}

uint32_t VeilProxy::foreColor() const noexcept { return static_cast<uint32_t>(getI4(ov::kDispForeColor)); }

bool VeilProxy::setForeColor(uint32_t color) noexcept {
    return succeeded(put(ov::kDispForeColor, Variant(static_cast<int32_t>(color))));
}

bool VeilProxy::setBackColor(uint32_t color) noexcept {
    return succeeded(put(ov::kDispBackColor, Variant(static_cast<int32_t>(color))));
}

int32_t VeilProxy::hWnd() const noexcept { return getI4(ov::kDispHWnd); }
int32_t VeilProxy::scrollX() const noexcept { return getI4(ov::kDispScrollX); }
int32_t VeilProxy::scrollY() const noexcept { return getI4(ov::kDispScrollY); }

bool VeilProxy::scrollTo(int32_t x, int32_t y) noexcept {
    return succeeded(call(ov::kDispScrollTo, {Variant(x), Variant(y)}));
}

int32_t VeilProxy::pointData() const noexcept { return getI4(ov::kDispPointData); }
int32_t VeilProxy::pointCount() const noexcept { return getI4(ov::kDispPointCount); }

bool VeilProxy::setPointData(int32_t data, int32_t count) noexcept {
    return succeeded(call(ov::kDispSetPointData, {Variant(data), Variant(count)}));
}

int32_t VeilProxy::windowBelowPoint(int32_t parent, int32_t x, int32_t y) noexcept {
    Variant v;
    int32_t below = 0;
    if (failed(call(ov::kDispWindowBelowPoint,
                    {Variant::byRef(&parent), Variant::byRef(&x), Variant::byRef(&y)}, &v)) ||
        failed(v.toI4(&below)))
        return 0;
    return below;
}

bool VeilProxy::redrawRect(int32_t left, int32_t top, int32_t right, int32_t bottom) noexcept {
    return succeeded(
        call(ov::kDispRedrawRect, {Variant(left), Variant(top), Variant(right), Variant(bottom)}));
}

bool VeilProxy::apply(std::span<const OverlayWrite> writes) noexcept {
    bool ok = loaded();
    for (const OverlayWrite& w : writes) {
        const Variant value = w.boolean ? Variant::fromBool(w.value != 0) : Variant(w.value);
        ok = succeeded(put(w.id, value)) && ok;
    }
    return ok;
}

}  // namespace sw::board
