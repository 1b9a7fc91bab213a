#include "board/board_state.h"

#include <utility>

namespace sw::board {

void CharacterTable::reset() {
    CharRects.assign(1, CharRect{});
    CharColors.assign(1, 0);
    CharWidths.assign(1, 0);
    CharTexts.assign(1, std::u16string());
    fitted.assign(1, Fitted{});
    touch();
}

int32_t CharacterTable::append(std::u16string text, const CharRect& rect, int32_t color, int32_t width) {
    const int32_t index = grow(1) + 1;
    CharRects[index] = rect;
    CharColors[index] = color;
    CharWidths[index] = width;
    CharTexts[index] = std::move(text);
    return index;
}

int32_t CharacterTable::grow(int32_t count) {
    const int32_t old = upperBound();
    if (count <= 0) return old;
    const size_t size = CharRects.size() + static_cast<size_t>(count);
    CharRects.resize(size);
    CharColors.resize(size);
    CharWidths.resize(size);
    CharTexts.resize(size);
    fitted.resize(size);
    ++m_version;
    return old;
}

}  // namespace sw::board
