#include "board/controls/veiladd_proxy.h"

#include "contracts/veiladd.h"

namespace sw::board {

namespace va = sw::veiladd;

namespace {

// A rectangle the add-in reports is usable only when it encloses at least one point: the add-in answers
// success with its start values (MaxInt, MaxInt, 0, 0) for some inputs that hold none.
std::optional<CharRect> measured(HResult hr, const Variant& ok, const CharRect& r) {
    if (failed(hr) || !ok.boolean() || r.Right < r.Left || r.Bottom < r.Top) return std::nullopt;
    return r;
}

}  // namespace

std::optional<PatternData> VeiladdProxy::deletePattern(int32_t all, int32_t allCount, int32_t selected,
                                                       int32_t selectedCount) noexcept {
    PatternData out;
    Variant ok;
    const HResult hr = call(va::kDispDeletePattern,
                            {Variant(all), Variant(allCount), Variant(selected), Variant(selectedCount),
                             Variant::byRef(&out.data), Variant::byRef(&out.count)},
                            &ok);
    if (failed(hr) || !ok.boolean() || out.data == 0 || out.count < 0) {
        freePatternData(out.data);
        return std::nullopt;
    }
    return out;
}

void VeiladdProxy::freePatternData(int32_t data) noexcept {
    if (data != 0) call(va::kDispFreePatternData, {Variant(data)});
}

std::optional<CharRect> VeiladdProxy::getVeilRect(int32_t data, int32_t count) noexcept {
    CharRect r;
    Variant ok;
    const HResult hr = call(va::kDispGetVeilRect,
                            {Variant(data), Variant(count), Variant::byRef(&r.Left), Variant::byRef(&r.Top),
                             Variant::byRef(&r.Right), Variant::byRef(&r.Bottom)},
                            &ok);
    return measured(hr, ok, r);
}

bool VeiladdProxy::moveVeil(int32_t data, int32_t count, int32_t left, int32_t top) noexcept {
    Variant ok;
    return succeeded(
               call(va::kDispMoveVeil, {Variant(data), Variant(count), Variant(left), Variant(top)}, &ok)) &&
           ok.boolean();
}

std::optional<CharRect> VeiladdProxy::getPtwRect(int32_t ptw) noexcept {
    CharRect r;
    Variant ok;
    const HResult hr = call(va::kDispGetPtwRect,
                            {Variant(ptw), Variant::byRef(&r.Left), Variant::byRef(&r.Top),
                             Variant::byRef(&r.Right), Variant::byRef(&r.Bottom)},
                            &ok);
    return measured(hr, ok, r);
}

}  // namespace sw::board
