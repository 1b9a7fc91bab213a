#include "veiladd/veil_ops.h"

#include <algorithm>
#include <charconv>
#include <iterator>

namespace sw::veiladd {

size_t deletePattern(std::span<const VeilPoint> drawing, std::span<const VeilPoint> pattern,
                     std::span<VeilPoint> out) noexcept {
    constexpr size_t kNoRun = static_cast<size_t>(-1);
    const size_t drawingSize = drawing.size();
    const size_t patternSize = pattern.size();
    size_t n = 0;
    size_t j = 0;              // pattern position; j == patternSize means the pattern is used up
    size_t runStart = kNoRun;  // drawing position where the open run began
    size_t runPattern = 0;     // pattern position when the open run began
    size_t i = 0;
    while (i < drawingSize) {
        const VeilPoint& p = drawing[i];
        const bool matches = j < patternSize && p.X == pattern[j].X && p.Y == pattern[j].Y;
        if (runStart != kNoRun) {
            if (!matches) {
                // Abandon the run: keep its first point and examine the others again with the pattern
                // position the run started from.
                out[n++] = drawing[runStart];
                j = runPattern;
                i = runStart + 1;
                runStart = kNoRun;
                continue;
            }
            if (p.State == kStateLast) runStart = kNoRun;  // complete: its points stay out
            ++j;
        } else if (matches && p.State == kStateFirst) {
            runStart = i;
            runPattern = j;
            ++j;
        } else {
            out[n++] = p;
        }
        ++i;
    }
    return n;
}

namespace {

template <typename Point>
VeilRect boundingRect(std::span<const Point> points) noexcept {
    VeilRect rect;
    for (const Point& p : points) {
        rect.Left = std::min<int32_t>(rect.Left, p.X);
        rect.Top = std::min<int32_t>(rect.Top, p.Y);
        rect.Right = std::max<int32_t>(rect.Right, p.X);
        rect.Bottom = std::max<int32_t>(rect.Bottom, p.Y);
    }
    return rect;
}

int32_t wrappingSub(int32_t a, int32_t b) noexcept {
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

bool isSpace(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" field: optional white space, an optional sign, at least one digit; the value modulo 2^32.
bool readNumber(std::string_view& text, uint32_t* value) noexcept {
    size_t pos = 0;
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
    const size_t digitsStart = pos;
    uint32_t v = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
        v = v * 10u + static_cast<uint32_t>(text[pos] - '0');
    if (pos == digitsStart) return false;
    *value = negative ? 0u - v : v;
    text.remove_prefix(pos);
    return true;
}

}  // namespace

VeilRect veilRect(std::span<const VeilPoint> points) noexcept { return boundingRect(points); }

VeilRect ptwRect(std::span<const PtwPoint> points) noexcept { return boundingRect(points); }

void moveVeil(std::span<VeilPoint> points, int32_t left, int32_t top) noexcept {
    for (VeilPoint& p : points) {
        p.X = wrappingSub(p.X, left);
        p.Y = wrappingSub(p.Y, top);
    }
}

size_t formatPointLine(const VeilPoint& point, char (&buffer)[kPointLineBuffer]) noexcept {
    const int32_t fields[] = {point.Color, point.State, point.Width, point.X, point.Y};
    char* pos = buffer;
    char* const end = buffer + kPointLineBuffer - 1;
    for (int32_t field : fields) {
        if (pos != buffer) *pos++ = ' ';
        pos = std::to_chars(pos, end, field).ptr;  // never more than kPointLineMax characters
    }
    *pos = '\0';
    return static_cast<size_t>(pos - buffer);
}

VeilPoint parsePointLine(std::string_view line) noexcept {
    uint32_t fields[5] = {};
    for (uint32_t& field : fields)
        if (!readNumber(line, &field)) break;
    VeilPoint p{};
    p.Color = static_cast<int32_t>(fields[0]);
    p.State = static_cast<int16_t>(static_cast<uint16_t>(fields[1]));
    p.Width = static_cast<int16_t>(static_cast<uint16_t>(fields[2]));
    p.X = static_cast<int32_t>(fields[3]);
    p.Y = static_cast<int32_t>(fields[4]);
    return p;
}

}  // namespace sw::veiladd
