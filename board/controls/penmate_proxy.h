// The pattern utility Penmate1, called by the ids of contracts/penmate.h.
#pragma once

#include "board/controls/control_proxy.h"

namespace sw::board {

// Fields of a VeilPoint that GetStrokeData reads.
enum class StrokeField : int32_t { X = 0, Y = 1, State = 2, Color = 3, Width = 4 };

class PenmateProxy final : public ControlProxy {
public:
    using ControlProxy::ControlProxy;

    // Field `field` of point `index` of a VeilPoint array; 0 when refused.
    int32_t getStrokeData(int32_t data, int32_t index, StrokeField field) noexcept;
    // A new PTW record of the points; 0 when refused. The caller frees it with freePTW.
    int32_t createPTW(int32_t data, int32_t count) noexcept;
    void freePTW(int32_t ptw) noexcept;
};

}  // namespace sw::board
