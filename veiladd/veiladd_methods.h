// The seven methods of the overlay add-in control over handles, as the dispatch interface exposes them.
//
// Stroke data and PTW records arrive as 32-bit handles of the process-wide handle table. Every method sets
// its outputs first and then checks its inputs; a handle that is 0, unknown, released, of another kind or
// holding fewer records than its count says is refused the way the method reports failure, and nothing is
// read or written out of bounds. Arrays made here (DeletePattern, VeilListBoxOut) are blocks of
// Owner::Veiladd that only FreePatternData releases. Nothing throws; all calls come on the UI thread.
#pragma once

#include <cstdint>

#include "records/handle_table.h"
#include "veiladd/veil_ops.h"

namespace sw::veiladd {

using ListHandle = int32_t;  // window handle of an unsorted list box (platform/window/listbox.h)

// ResultData := 0, ResultDataNum := 0. False for a refused Data1 or Data2, a count ≤ 0 or exhausted memory.
// Otherwise ResultData is a new array (returned even when it holds no point) and ResultDataNum its count.
bool DeletePattern(Handle Data1, int32_t Data1Num, Handle Data2, int32_t Data2Num, int32_t& ResultData,
                   int32_t& ResultDataNum) noexcept;

// Releases an array made by DeletePattern or VeilListBoxOut. 0, unknown and released handles and blocks of
// other components are ignored (they are never freed here).
void FreePatternData(Handle Data) noexcept;

// rect := (2147483647, 2147483647, 0, 0); false for a refused Data or DataNum ≤ 0.
bool GetVeilRect(Handle Data, int32_t DataNum, VeilRect& rect) noexcept;

// Shifts the points in place; false, changing nothing, for a refused Data or DataNum ≤ 0.
bool MoveVeil(Handle Data, int32_t DataNum, int32_t Left, int32_t Top) noexcept;

// Appends one point line per point to the list box. False, leaving the list box alone, for a refused Data,
// DataNum ≤ 0 or a handle that does not name a list box; false as well when the list box stops taking lines.
bool VeilListBoxIn(ListHandle ListhWnd, Handle Data, int32_t DataNum) noexcept;

// Data := 0, DataNum := 0. Reads every line into a new array, one point per line (parsePointLine gives the
// value of a line that is not five numbers), and sets DataNum to the number of lines. False with Data 0 and
// DataNum 0, allocating nothing, for an empty list, a handle without a list box, exhausted memory, or a line
// of 80 bytes or more, which does not fit the 80-byte read buffer and is refused rather than cut.
bool VeilListBoxOut(ListHandle ListhWnd, int32_t& Data, int32_t& DataNum) noexcept;

// rect := (2147483647, 2147483647, 0, 0). False for a refused record, PointNum 0, or a point array that is
// unknown or shorter than PointNum; true with the start values for a negative PointNum.
bool GetPtwRect(Handle ptw, VeilRect& rect) noexcept;

}  // namespace sw::veiladd
