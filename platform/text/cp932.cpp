#include "platform/text/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace sw::text {
namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Owns one iconv descriptor. iconv_t keeps shift state, so a descriptor is never shared between threads.
class Iconv {
public:
    Iconv(const char* to, const char* from) noexcept : m_cd(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(m_cd);
    }
    Iconv(Iconv&& other) noexcept : m_cd(std::exchange(other.m_cd, invalidHandle())) {}
    Iconv& operator=(Iconv&& other) noexcept {
        if (this != &other) {
            if (valid()) iconv_close(m_cd);
            m_cd = std::exchange(other.m_cd, invalidHandle());
        }
        return *this;
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool valid() const noexcept { return m_cd != invalidHandle(); }
    void reset() noexcept { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

    // One iconv() step; returns the errno of the failure, or 0.
    int step(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) noexcept {
        // glibc declares the input as char** although it never writes through it.
        char* inPtr = const_cast<char*>(in);
        const size_t result = iconv(m_cd, &inPtr, &inLeft, &out, &outLeft);
        in = inPtr;
        return result == static_cast<size_t>(-1) ? errno : 0;
    }

private:
    static iconv_t invalidHandle() noexcept { return reinterpret_cast<iconv_t>(-1); }
    iconv_t m_cd;
};

enum class Direction { Cp932ToUtf16, Cp932ToUtf8, Utf16ToCp932, Utf8ToCp932 };

// One cached descriptor per direction and thread; reset before each use.
Iconv& converter(Direction direction) {
    thread_local Iconv descriptors[] = {
        Iconv(kUtf16, kCp932),
        Iconv(kUtf8, kCp932),
        Iconv(kCp932, kUtf16),
        Iconv(kCp932, kUtf8),
    };
    Iconv& cd = descriptors[static_cast<int>(direction)];
    if (!cd.valid()) throw std::runtime_error("iconv has no CP932 converter");  // glibc always ships one
    cd.reset();
    return cd;
}

// Length of the unit that failed to convert at `p` (at least 1, at most `left`).
using SkipFn = size_t (*)(const unsigned char* p, size_t left);

size_t skipOneByte(const unsigned char*, size_t) { return 1; }

// A UTF-16 code unit, or both halves of a surrogate pair.
size_t skipUtf16Char(const unsigned char* p, size_t left) {
    if (left < 2) return left;
    char16_t first;
    std::memcpy(&first, p, 2);
    if (first >= 0xD800 && first <= 0xDBFF && left >= 4) {
        char16_t second;
        std::memcpy(&second, p + 2, 2);
        if (second >= 0xDC00 && second <= 0xDFFF) return 4;
    }
    return 2;
}

// A whole well-formed UTF-8 sequence (an unmappable character), else one byte of malformed input.
size_t skipUtf8Char(const unsigned char* p, size_t left) {
    const unsigned char b = p[0];
    size_t len = 1;
    char32_t min = 0;
    char32_t cp = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, min = 0x80, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, min = 0x800, cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, min = 0x10000, cp = b & 0x07;
    } else {
        return 1;
    }
    if (len > left) return 1;
    for (size_t i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 1;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 1;
    return len;
}

// Converts all of `input`; every unit iconv rejects becomes `replacement` and conversion resumes after it.
// Returns the number of replacements made.
size_t convert(Direction direction, const void* input, size_t inputSize, std::string& out,
               std::string_view replacement, SkipFn skip) {
    Iconv& cd = converter(direction);
    const char* in = static_cast<const char*>(input);
    size_t inLeft = inputSize;
    size_t used = 0;
    size_t replaced = 0;
    out.resize(inputSize * 2 + 16);
    // Both sides are stateless encodings, so no final flush is needed.
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        const int err = cd.step(in, inLeft, outPtr, outLeft);
        used = static_cast<size_t>(outPtr - out.data());
        if (err == E2BIG) {
            out.resize(out.size() * 2);
        } else if (err == EILSEQ || err == EINVAL) {
            const size_t n = skip(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += n;
            inLeft -= n;
            cd.reset();
            out.resize(std::max(out.size(), used + replacement.size() + inLeft * 2 + 16));
            out.replace(used, replacement.size(), replacement);
            used += replacement.size();
            ++replaced;
        } else if (err != 0) {
            throw std::runtime_error("iconv failed");  // not reported for stateless encodings
        }
    }
    out.resize(used);
    return replaced;
}

// U+FFFD in the native UTF-16 byte order.
std::string_view utf16Replacement() {
    static const std::string bytes = [] {
        std::string s(2, '\0');
        std::memcpy(s.data(), &kReplacementChar, 2);
        return s;
    }();
    return bytes;
}

constexpr std::string_view kUtf8Replacement = "\xEF\xBF\xBD";

bool isTrailByte(unsigned char b) noexcept { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

}  // namespace

std::u16string cp932ToUtf16(std::string_view bytes) {
    std::string raw;
    convert(Direction::Cp932ToUtf16, bytes.data(), bytes.size(), raw, utf16Replacement(), skipOneByte);
    std::u16string text(raw.size() / 2, u'\0');
    std::memcpy(text.data(), raw.data(), text.size() * 2);
    return text;
}

std::string utf16ToCp932(std::u16string_view text) {
    std::string out;
    convert(Direction::Utf16ToCp932, text.data(), text.size() * 2, out, std::string_view(&kUnmappableByte, 1),
            skipUtf16Char);
    return out;
}

std::string cp932ToUtf8(std::string_view bytes) {
    std::string out;
    convert(Direction::Cp932ToUtf8, bytes.data(), bytes.size(), out, kUtf8Replacement, skipOneByte);
    return out;
}

std::string utf8ToCp932(std::string_view text) {
    std::string out;
    convert(Direction::Utf8ToCp932, text.data(), text.size(), out, std::string_view(&kUnmappableByte, 1),
            skipUtf8Char);
    return out;
}

bool isValidCp932(std::string_view bytes) noexcept {
    try {
        std::string out;
        return convert(Direction::Cp932ToUtf8, bytes.data(), bytes.size(), out, kUtf8Replacement,
                       skipOneByte) == 0;
    } catch (...) {
        return false;
    }
}

std::string_view cp932Prefix(std::string_view bytes, size_t maxBytes) noexcept {
    size_t end = 0;
    while (end < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[end]);
        // A lead byte without a valid trail decodes as one replacement character of one byte.
        const size_t len =
            isLeadByte(b) && end + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[end + 1]))
                ? 2
                : 1;
        if (end + len > maxBytes) break;
        end += len;
    }
    return bytes.substr(0, end);
}

}  // namespace sw::text
