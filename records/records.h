// Stroke and pattern records that cross component boundaries.
//
// The layouts are fixed byte for byte: they travel between components as 32-bit handles (see
// handle_table.h) and are written to pattern files as they stand.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sw {

// One point of the overlay's stroke data. Stroke data is a contiguous array of these, all strokes one
// after another in drawing order, with no header; it is passed as (handle of the first point, count).
struct VeilPoint {
    int32_t X;
    int32_t Y;
    int16_t State;  // kStateFirst on a stroke's first point, kStateLast on its last; other values inside
    int16_t Width;  // pen width
    int32_t Color;  // pen colour, 0x00BBGGRR
};

inline constexpr int16_t kStateFirst = 2;
inline constexpr int16_t kStateLast = 4;

// One point of a pattern record. Arrays have a stride of 6 bytes and no header.
struct PtwPoint {
    int16_t X;
    int16_t Y;
    uint8_t Flag;  // kFlagPenUp marks the last point of a stroke
    uint8_t Padding;
};

inline constexpr uint8_t kFlagPenUp = 4;

// A pattern record: the compact form of a set of strokes. Points is the handle of a PtwPoint array of
// PointNum elements (a separate block); it may be 0 when PointNum is 0. Width and colour are not kept.
struct PTW {
    int32_t Points;
    int32_t PointNum;
};

static_assert(sizeof(VeilPoint) == 16);
static_assert(offsetof(VeilPoint, X) == 0 && offsetof(VeilPoint, Y) == 4);
static_assert(offsetof(VeilPoint, State) == 8 && offsetof(VeilPoint, Width) == 10);
static_assert(offsetof(VeilPoint, Color) == 12);
static_assert(sizeof(PtwPoint) == 6 && alignof(PtwPoint) == 2);
static_assert(offsetof(PtwPoint, X) == 0 && offsetof(PtwPoint, Y) == 2 && offsetof(PtwPoint, Flag) == 4);
static_assert(sizeof(PTW) == 8);
static_assert(offsetof(PTW, Points) == 0 && offsetof(PTW, PointNum) == 4);

}  // namespace sw
