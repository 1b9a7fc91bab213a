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

}  // namespace sw::board
