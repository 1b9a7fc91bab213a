// The overlay add-in Veiladd1, called by the ids of contracts/veiladd.h. Handles are those of the handle
// table: stroke arrays of VeilPoint records and PTW records.
#pragma once

#include "board/board_state.h"
#include "board/controls/control_proxy.h"

namespace sw::board {

// A point array made by the add-in; free it with VeiladdProxy::freePatternData.
struct PatternData {
    int32_t data = 0;
    int32_t count = 0;
};

class VeiladdProxy final : public ControlProxy {
public:
    using ControlProxy::ControlProxy;

    // The points of `all` without those of `selected`; nullopt when the add-in refuses (nothing was made).
    std::optional<PatternData> deletePattern(int32_t all, int32_t allCount, int32_t selected,
                                             int32_t selectedCount) noexcept;
    void freePatternData(int32_t data) noexcept;
    // The bounding box of the points (min x, min y, max x, max y); nullopt when refused or when it holds no
    // point.
    std::optional<CharRect> getVeilRect(int32_t data, int32_t count) noexcept;
    bool moveVeil(int32_t data, int32_t count, int32_t left, int32_t top) noexcept;
    // The bounding box of a PTW's strokes; nullopt when refused or when the record holds no point.
    std::optional<CharRect> getPtwRect(int32_t ptw) noexcept;
};

}  // namespace sw::board
