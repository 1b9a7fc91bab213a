// Screen units: 96 dots per inch, 15 twips per pixel, 0.01 mm extents.
#pragma once

#include <cmath>
#include <cstdint>

namespace sw::gdi {

inline constexpr int kDotsPerInch = 96;
inline constexpr int kTwipsPerPixel = 15;

// Rounds to nearest, halves to even (the rounding of every float to integer conversion of the board),
// saturating at the int32_t range; NaN gives 0.
inline int32_t roundHalfEven(double v) noexcept {
    if (std::isnan(v)) return 0;
    const double r = std::nearbyint(v);  // default rounding mode is to nearest, ties to even
    if (r <= -2147483648.0) return INT32_MIN;
    if (r >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(r);
}
// The same into a 16-bit signed integer, saturating; NaN gives 0.
int16_t roundHalfEven16(double v) noexcept;

inline double twipsToPixels(double twips) noexcept { return twips / kTwipsPerPixel; }
inline double pixelsToTwips(double pixels) noexcept { return pixels * kTwipsPerPixel; }
// HIMETRIC (0.01 mm) extents as the control extents are stored.
inline double himetricToPixels(double himetric) noexcept { return himetric * kDotsPerInch / 2540.0; }
inline double pixelsToHimetric(double pixels) noexcept { return pixels * 2540.0 / kDotsPerInch; }
// Point sizes at 96 dpi.
inline double pointsToPixels(double points) noexcept { return points * kDotsPerInch / 72.0; }

}  // namespace sw::gdi
