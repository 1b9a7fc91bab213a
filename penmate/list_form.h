// The list-box text form of a PTW (ListInPTW, ListOutPTW): a count line, then one line per point.
//
//     3            PointNum, "%d"
//     2 10 -4      Flag (unsigned, 0..255), X, Y, "%d %d %d"
//     0 11 -3
//     4 12 -2
//
// Several PTWs may follow one another in one list; the block of a PTW starting at line i ends at line
// i + PointNum, and the next one begins behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "records/handle_table.h"
#include "records/records.h"

namespace penmate {

using sw::Handle;

// Lines are read through a buffer of this many bytes, its terminating zero included, so a line of the text
// form holds at most kListLineBuffer - 1 bytes.
inline constexpr size_t kListLineBuffer = 80;

std::string countLine(int32_t pointNum);
std::string pointLine(const sw::PtwPoint& point);

// Parsers in the manner of sscanf "%d" and "%d %d %d": blanks before each number, an optional sign and at
// least one digit; whatever follows the last number is ignored. nullopt when a number is missing or lies
// outside 32 bits. A point keeps the low 8 bits of its first number as Flag, the low 16 bits of the second
// and third as X and Y.
std::optional<int32_t> parseCountLine(std::string_view line);
std::optional<sw::PtwPoint> parsePointLine(std::string_view line);

// Where ListInPTW appends its lines. addLine returns false when the line could not be added.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual bool addLine(std::string_view line) = 0;
};

// Where ListOutPTW reads lines. line() returns nullopt for an index outside the list and for a line that
// does not fit the reader's buffer (it is never cut short).
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual int32_t lineCount() const = 0;
    virtual std::optional<std::string> line(int32_t index) const = 0;
};

// ListInPTW: appends the lines of `ptw` (any owner's PTW) to `sink`. Returns false, appending nothing, when
// ptw is not a PTW, has a negative PointNum or a point array shorter than PointNum; false also when the sink
// refuses a line. A PTW of 0 points gives its count line alone.
bool listInPtw(Handle ptw, LineSink& sink) noexcept;

// ListOutPTW: a new Penmate PTW from the block whose count line is line `index`. Returns 0, allocating
// nothing, when index is outside the list, the count is negative, a line of the block is missing, too long
// or does not parse. A count of 0 gives a record of 0 points with Points 0.
Handle listOutPtw(const LineSource& source, int32_t index) noexcept;

}  // namespace penmate
