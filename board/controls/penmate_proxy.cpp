#include "board/controls/penmate_proxy.h"

#include "contracts/penmate.h"

namespace sw::board {

namespace pm = sw::penmate;

namespace {

int32_t i4Of(HResult hr, const Variant& v) {
    int32_t out = 0;
    if (failed(hr) || failed(v.toI4(&out))) return 0;
    return out;
}

}  // namespace

int32_t PenmateProxy::getStrokeData(int32_t data, int32_t index, StrokeField field) noexcept {
    Variant v;
    const HResult hr = call(pm::kDispGetStrokeData,
                            {Variant(data), Variant(index), Variant(static_cast<int32_t>(field))}, &v);
    return i4Of(hr, v);
}

int32_t PenmateProxy::createPTW(int32_t data, int32_t count) noexcept {
    Variant v;
    const HResult hr = call(pm::kDispCreatePTW, {Variant(data), Variant(count)}, &v);
    return i4Of(hr, v);
}

void PenmateProxy::freePTW(int32_t ptw) noexcept {
    if (ptw != 0) call(pm::kDispFreePTW, {Variant(ptw)});
}

}  // namespace sw::board
