// Inputs that once made recognition take seconds and gigabytes, for the engine's tests and benchmarks:
// one stroke that keeps doubling back over the same places (shading, crossing out), many dots, a dense
// scribble of short strokes. All are deterministic.
#pragma once

#include <cstdint>
#include <vector>

#include "contracts/scribeng.h"

namespace sw::scribeng::hostile {

using Strokes = std::vector<std::vector<EnginePoint>>;

// One stroke of `points` points; point i at (100 + 700 (i mod 7) / 7, 100 + 700 (3i mod 5) / 5).
inline Strokes doublingBack(int points) {
    Strokes out(1);
    for (int i = 0; i < points; ++i)
        out[0].push_back({100 + 700 * (i % 7) / 7, 100 + 700 * ((3 * i) % 5) / 5});
    return out;
}

// A small deterministic generator, so the inputs do not depend on the standard library's distributions.
struct Sequence {
    uint64_t state;
    int32_t next(int32_t below) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int32_t>((state >> 33) % static_cast<uint64_t>(below));
    }
};

// `count` one-point strokes scattered over a band `width` x 300 pixels.
inline Strokes dots(int count, int32_t width = 1500) {
    Sequence random{7};
    Strokes out;
    for (int i = 0; i < count; ++i) out.push_back({{random.next(width), random.next(300)}});
    return out;
}

// `count` short zigzag strokes of 3 to 15 points scattered over 400 x 300 pixels.
inline Strokes scribble(int count) {
    Sequence random{11};
    Strokes out;
    for (int i = 0; i < count; ++i) {
        int32_t x = random.next(400), y = random.next(300);
        auto& stroke = out.emplace_back();
        for (int k = 3 + random.next(13); k > 0; --k) {
            x += random.next(61) - 30;
            y += random.next(61) - 30;
            stroke.push_back({x, y});
        }
    }
    return out;
}

}  // namespace sw::scribeng::hostile
