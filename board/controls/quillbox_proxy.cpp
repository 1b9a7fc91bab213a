#include "board/controls/quillbox_proxy.h"

#include "contracts/quillbox.h"

namespace sw::board {

namespace qb = sw::quillbox;

std::u16string QuillboxProxy::resultFontName() const { return getString(qb::kDispResultFontName); }

bool QuillboxProxy::setResultFontName(const std::u16string& face) noexcept {
    return succeeded(put(qb::kDispResultFontName, Variant(face)));
}

std::u16string QuillboxProxy::result() const { return getString(qb::kDispResult); }

bool QuillboxProxy::recog() const noexcept { return getBool(qb::kDispRecog); }

bool QuillboxProxy::clear() noexcept { return succeeded(call(qb::kDispClear)); }

bool QuillboxProxy::recognize() noexcept { return succeeded(call(qb::kDispRecognize)); }

bool QuillboxProxy::setString(int32_t ptw) noexcept {
    return succeeded(call(qb::kDispSetString, {Variant(ptw)}));
}

int32_t QuillboxProxy::getNthString(int32_t num) noexcept {
    Variant v;
    int32_t ptw = 0;
    if (failed(call(qb::kDispGetNthString, {Variant(num)}, &v)) || failed(v.toI4(&ptw))) return 0;
    return ptw;
}

void QuillboxProxy::deletePTW(int32_t ptw) noexcept {
    if (ptw != 0) call(qb::kDispDeletePTW, {Variant(ptw)});
}

uint32_t QuillboxProxy::backCharColor() const noexcept {
    return static_cast<uint32_t>(getI4(qb::kDispBackCharColor));
}

bool QuillboxProxy::setBackCharColor(uint32_t color) noexcept {
    return succeeded(put(qb::kDispBackCharColor, Variant(static_cast<int32_t>(color))));
}

int32_t QuillboxProxy::hWnd() const noexcept { return getI4(qb::kDispHWnd); }

}  // namespace sw::board
