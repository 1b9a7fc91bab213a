// Pattern records and stroke data as Penmate handles them: CreatePTW, FreePTW, GetStrokeData,
// SysFuncGetRect and SysFuncDeleteVeil over the process-wide handle table.
//
// Every block Penmate allocates comes from its own heap (Owner::Penmate) and is released only here. Handles
// from anyone else are only read, and are resolved first: an unknown or released handle, a block of another
// kind, or one shorter than the count asks for is refused with the function's failure result, and nothing
// is read or written out of bounds. No function throws.
#pragma once

#include <cstdint>

#include "records/handle_table.h"
#include "records/records.h"

namespace penmate {

using sw::Handle;

// One point of stroke data in pattern form: the low 16 bits of X and Y, the low 8 bits of State.
sw::PtwPoint toPtwPoint(const sw::VeilPoint& point) noexcept;

// A PTW of pointNum zeroed points from Penmate's heap. A record of 0 points has no point array (Points 0).
// Returns an empty allocation for a negative count or when memory runs out.
sw::PtwAllocation allocatePattern(int64_t pointNum) noexcept;

// CreatePTW. The new record holds the first `num` points of `strokeData` converted by toPtwPoint. num <= 0
// gives a record of 0 points without reading strokeData. Returns 0 when strokeData does not hold num points
// or memory runs out.
Handle createPtw(Handle strokeData, int32_t num) noexcept;

// FreePTW. Releases a PTW that Penmate made, record and point array. 0, and any handle that is not a
// Penmate PTW, is ignored (returns false, frees nothing).
bool freePtw(Handle ptw) noexcept;

// GetStrokeData types.
enum StrokeField : int32_t {
    kFieldX = 0,
    kFieldY = 1,
    kFieldState = 2,  // sign-extended
    kFieldColor = 3,
    kFieldWidth = 4,  // sign-extended
};

// GetStrokeData: field `type` of point `index` of strokeData; 0 for another type, a negative index or
// stroke data that does not hold point `index`.
int32_t strokeValue(Handle strokeData, int32_t index, int32_t type) noexcept;

struct Bounds {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// SysFuncGetRect: the inclusive bounding rectangle of the first `num` points. *bounds is always written:
// all zeros, with the result false, when num <= 0 or strokeData does not hold num points.
bool strokeBounds(Handle strokeData, int32_t num, Bounds* bounds) noexcept;

// SysFuncDeleteVeil: releases stroke data that Penmate loaded from a file. 0, and any handle that is not
// Penmate's stroke data, is ignored (returns false).
bool deleteStrokeData(Handle strokeData) noexcept;

}  // namespace penmate
