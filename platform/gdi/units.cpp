#include "platform/gdi/units.h"

#include <limits>

namespace sw::gdi {

int16_t roundHalfEven16(double v) noexcept {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);
    if (r <= std::numeric_limits<int16_t>::min()) return std::numeric_limits<int16_t>::min();
    if (r >= std::numeric_limits<int16_t>::max()) return std::numeric_limits<int16_t>::max();
    return static_cast<int16_t>(r);
}

}  // namespace sw::gdi
