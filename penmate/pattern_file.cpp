#include "penmate/pattern_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "platform/text/cp932.h"

namespace penmate {
namespace {

// Points are stored exactly as they lie in memory, which is the file's little-endian layout.
static_assert(std::endian::native == std::endian::little);

constexpr int64_t kIntBytes = 4;
constexpr int64_t kPointBytes = sizeof(sw::VeilPoint);
constexpr int64_t kMinLineEntryBytes = kIntBytes + 1;

void putInt32(Bytes& out, int32_t value) {
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(u >> shift));
}

std::optional<int32_t> readInt32(ByteSource& file) {
    uint8_t b[kIntBytes];
    if (file.read(b, kIntBytes) != kIntBytes) return std::nullopt;
    return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                                uint32_t{b[3]} << 24);
}

// Positions the file on the count of a block at `pointer`; returns the bytes behind the count, or -1 when
// the count itself is not wholly inside the file.
int64_t enterBlock(ByteSource& file, int32_t pointer, int32_t* count) {
    const int64_t size = file.size();
    if (pointer < 0 || size < 0 || pointer > size - kIntBytes || !file.seek(pointer)) return -1;
    const auto n = readInt32(file);
    if (!n) return -1;
    *count = *n;
    return size - pointer - kIntBytes;
}

bool fitsPointer(int64_t position) {
    return position >= 0 && position <= std::numeric_limits<int32_t>::max();
}

}  // namespace

bool MemorySource::seek(int64_t position) {
    if (position < 0) return false;
    m_position = position;
    return true;
}

int64_t MemorySource::read(void* buffer, int64_t bytes) {
    if (bytes < 0) return -1;
    const int64_t size = this->size();
    const int64_t n = m_position >= size ? 0 : std::min(bytes, size - m_position);
    if (n > 0) std::memcpy(buffer, m_bytes.data() + m_position, static_cast<size_t>(n));
    m_position += n;
    return n;
}

std::optional<Bytes> encodeStrokeBlock(sw::Handle strokeData, int32_t num) noexcept {
    if (num < 0) return std::nullopt;
    const sw::VeilPoint* points = nullptr;
    if (num > 0) {
        points = sw::resolveStrokeData(strokeData, num);
        if (!points) return std::nullopt;
    }
    try {
        Bytes out;
        out.reserve(static_cast<size_t>(kIntBytes + num * kPointBytes));
        putInt32(out, num);
        const auto* raw = reinterpret_cast<const uint8_t*>(points);
        if (num > 0) out.insert(out.end(), raw, raw + num * kPointBytes);
        return out;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<Bytes> encodeListBlock(const LineSource& lines) noexcept {
    try {
        const int32_t count = lines.lineCount();
        if (count < 0) return std::nullopt;
        Bytes out;
        putInt32(out, count);
        for (int32_t i = 0; i < count; ++i) {
            const auto text = lines.line(i);
            if (!text || text->size() > static_cast<size_t>(kMaxListLineLength)) return std::nullopt;
            putInt32(out, static_cast<int32_t>(text->size()));
            out.insert(out.end(), text->begin(), text->end());
            out.push_back(0);
        }
        return out;
    } catch (...) {
        return std::nullopt;
    }
}

LoadedStrokes loadStrokeBlock(ByteSource& file, int32_t pointer) noexcept {
    using Status = LoadedStrokes::Status;
    try {
        int32_t num = 0;
        const int64_t rest = enterBlock(file, pointer, &num);
        if (rest < 0 || num < 0 || num > rest / kPointBytes) return {};
        const int64_t end = int64_t{pointer} + kIntBytes + num * kPointBytes;
        if (!fitsPointer(end)) return {};
        if (num == 0) return {Status::Block, sw::kNullHandle, 0, static_cast<int32_t>(end)};
        const auto points = sw::allocateStrokeData(sw::Owner::Penmate, num);
        if (!points) return {Status::NoMemory};
        if (file.read(points.data, num * kPointBytes) != num * kPointBytes) {
            sw::freeBlock(points.handle, sw::Owner::Penmate);
            return {};
        }
        return {Status::Block, points.handle, num, static_cast<int32_t>(end)};
    } catch (...) {
        return {};
    }
}

std::optional<LoadedList> loadListBlock(ByteSource& file, int32_t pointer) noexcept {
    try {
        int32_t count = 0;
        const int64_t rest = enterBlock(file, pointer, &count);
        if (rest < 0 || count < 0 || count > rest / kMinLineEntryBytes) return std::nullopt;
        LoadedList list;
        list.lines.reserve(static_cast<size_t>(count));
        char text[kListTextBuffer];
        for (int32_t i = 0; i < count; ++i) {
            const auto length = readInt32(file);
            if (!length || *length < 0 || *length > kMaxListLineLength) return std::nullopt;
            if (file.read(text, *length + 1) != *length + 1) return std::nullopt;
            list.lines.emplace_back(text, static_cast<size_t>(*length));
        }
        const int64_t end = file.position();
        if (!fitsPointer(end)) return std::nullopt;
        list.pointer = static_cast<int32_t>(end);
        return list;
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::string> fileNameCp932(std::u16string_view name) {
    if (name.empty() || name.find(u'\0') != std::u16string_view::npos) return std::nullopt;
    std::string bytes = sw::text::utf16ToCp932(name);
    // Every character without a code page 932 form becomes one '?'; more of them than the name had means
    // such a character was there.
    const auto asked = std::count(name.begin(), name.end(), u'?');
    if (std::count(bytes.begin(), bytes.end(), sw::text::kUnmappableByte) != asked) return std::nullopt;
    return bytes;
}

}  // namespace penmate
