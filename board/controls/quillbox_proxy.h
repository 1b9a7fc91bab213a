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
};

}  // namespace sw::board
