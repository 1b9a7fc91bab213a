// Pattern files: a plain sequence of blocks, with no header, magic or tags; the reader knows which kind of
// block comes next and walks the file with a running byte position (Pointer). All integers are 32-bit
// signed little-endian.
//
// Stroke block (SysFuncSaveVeil / SysFuncLoadVeil):
//     int32 N                    number of points
//     VeilPoint[N]               16 bytes each, exactly as in memory; absent when N is 0
// List block (SysFuncSaveList / SysFuncLoadList):
//     int32 M                    number of lines
//     M x { int32 L; char text[L]; char 0; }     L <= 515, the text in code page 932 bytes
//
// A stroke block of 3 points takes 4 + 3 * 16 = 52 bytes; a list block of a 7-byte line and an empty line
// takes 4 + (4 + 8) + (4 + 1) = 21 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "penmate/list_form.h"
#include "records/handle_table.h"

namespace penmate {

using Bytes = std::vector<uint8_t>;

// The longest line text a list block holds: each text moves through a 516-byte buffer with its zero byte.
inline constexpr int32_t kMaxListLineLength = 515;
inline constexpr size_t kListTextBuffer = kMaxListLineLength + 1;

// Random access to the bytes of an open file.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int64_t size() const = 0;         // -1 when unknown
    virtual bool seek(int64_t position) = 0;  // from the start
    virtual int64_t position() const = 0;
    virtual int64_t read(void* buffer, int64_t bytes) = 0;  // bytes read (short at the end), -1 on failure
};

// A ByteSource over bytes in memory, which it borrows.
class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::span<const uint8_t> bytes) noexcept : m_bytes(bytes) {}
    int64_t size() const override { return static_cast<int64_t>(m_bytes.size()); }
    bool seek(int64_t position) override;
    int64_t position() const override { return m_position; }
    int64_t read(void* buffer, int64_t bytes) override;

private:
    std::span<const uint8_t> m_bytes;
    int64_t m_position = 0;
};

// The stroke block of the first `num` points of strokeData (any owner's). nullopt for a negative num, or
// when strokeData does not hold num points; num 0 gives the 4 zero bytes and does not look at strokeData.
std::optional<Bytes> encodeStrokeBlock(sw::Handle strokeData, int32_t num) noexcept;

// The list block of all lines of `lines`, read through a kListTextBuffer buffer. nullopt when a line cannot
// be read or is longer than kMaxListLineLength: the block is refused rather than cut.
std::optional<Bytes> encodeListBlock(const LineSource& lines) noexcept;

struct LoadedStrokes {
    enum class Status {
        Block,     // a whole block: strokeData (0 when num is 0), num, and pointer behind the block
        Empty,     // no whole block at the position: nothing allocated
        NoMemory,  // the block is whole but its points could not be allocated
    };
    Status status = Status::Empty;
    sw::Handle strokeData = sw::kNullHandle;  // Penmate's, released by deleteStrokeData
    int32_t num = 0;
    int32_t pointer = 0;
};

// Reads the stroke block at byte `pointer`. A position before the start or at or behind the end, a
// truncated count or point array, a negative count, or an end position beyond 32 bits gives Empty. The
// count is checked against the rest of the file before anything is allocated.
LoadedStrokes loadStrokeBlock(ByteSource& file, int32_t pointer) noexcept;

struct LoadedList {
    std::vector<std::string> lines;  // code page 932 bytes, as stored
    int32_t pointer = 0;             // behind the block
};

// Reads the list block at byte `pointer`. nullopt, which the caller reports as an empty block with its
// position unchanged (the same as an Empty stroke block), when there is no whole block there: a position
// outside the file, a truncated block, a negative count, a count larger than the rest of the file can hold, a
// line length above kMaxListLineLength, or an end position beyond 32 bits.
std::optional<LoadedList> loadListBlock(ByteSource& file, int32_t pointer) noexcept;

// A file name as it arrives on the interface (UTF-16) in code page 932. nullopt for an empty name, one
// holding a zero character, or one with a character that has no code page 932 form (which would otherwise
// turn into '?' and name another file).
std::optional<std::string> fileNameCp932(std::u16string_view name);

}  // namespace penmate
