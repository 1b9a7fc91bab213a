// The recognition box Quillbox1, called by the ids of contracts/quillbox.h.
#pragma once

#include "board/controls/control_proxy.h"

namespace sw::board {

class QuillboxProxy final : public ControlProxy {
public:
    using ControlProxy::ControlProxy;

    std::u16string resultFontName() const;
    bool setResultFontName(const std::u16string& face) noexcept;
    std::u16string result() const;
    bool recog() const noexcept;
    bool clear() noexcept;
    bool recognize() noexcept;
    // Loads the strokes of a PTW record as the box's ink (the box copies them).
    bool setString(int32_t ptw) noexcept;
    // The strokes of result character `num` (1-based) as a new PTW in box coordinates; 0 for none. Free it
    // with deletePTW.
    int32_t getNthString(int32_t num) noexcept;
    void deletePTW(int32_t ptw) noexcept;
    uint32_t backCharColor() const noexcept;
    bool setBackCharColor(uint32_t color) noexcept;
    int32_t hWnd() const noexcept;
};

}  // namespace sw::board
