#include "penmate/list_form.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <vector>

#include "penmate/pattern_records.h"

namespace penmate {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One "%d" conversion at `pos`; advances pos past the number.
std::optional<int32_t> scanInt(std::string_view text, size_t& pos) {
    while (pos < text.size() && isBlank(text[pos])) ++pos;
    size_t start = pos;
    if (start < text.size() && text[start] == '+') {  // from_chars takes '-' but not '+'
        ++start;
        if (start == text.size() || text[start] < '0' || text[start] > '9') return std::nullopt;
    }
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (ec != std::errc()) return std::nullopt;
    pos = static_cast<size_t>(end - text.data());
    return value;
}

}  // namespace

std::string countLine(int32_t pointNum) { return std::to_string(pointNum); }

std::string pointLine(const sw::PtwPoint& point) {
    return std::to_string(unsigned{point.Flag}) + ' ' + std::to_string(point.X) + ' ' +
           std::to_string(point.Y);
}

std::optional<int32_t> parseCountLine(std::string_view line) {
    size_t pos = 0;
    return scanInt(line, pos);
}

std::optional<sw::PtwPoint> parsePointLine(std::string_view line) {
    size_t pos = 0;
    const auto flag = scanInt(line, pos);
    if (!flag) return std::nullopt;
    const auto x = scanInt(line, pos);
    if (!x) return std::nullopt;
    const auto y = scanInt(line, pos);
    if (!y) return std::nullopt;
    sw::PtwPoint p{};
    p.Flag = static_cast<uint8_t>(static_cast<uint32_t>(*flag));
    p.X = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(*x)));
    p.Y = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(*y)));
    return p;
}

bool listInPtw(Handle ptw, LineSink& sink) noexcept {
    std::span<const sw::PtwPoint> points;
    if (!sw::ptwPoints(ptw, &points)) return false;
    try {
        if (!sink.addLine(countLine(static_cast<int32_t>(points.size())))) return false;
        for (const sw::PtwPoint& p : points)
            if (!sink.addLine(pointLine(p))) return false;
        return true;
    } catch (...) {
        return false;
    }
}

Handle listOutPtw(const LineSource& source, int32_t index) noexcept {
    try {
        const int32_t lines = source.lineCount();
        if (index < 0 || index >= lines) return sw::kNullHandle;
        const auto header = source.line(index);
        const auto count = header ? parseCountLine(*header) : std::nullopt;
        // The block must lie inside the list, which also bounds what is allocated.
        if (!count || *count < 0 || *count > lines - 1 - index) return sw::kNullHandle;
        std::vector<sw::PtwPoint> points;
        points.reserve(static_cast<size_t>(*count));
        for (int32_t j = 0; j < *count; ++j) {
            const auto text = source.line(index + 1 + j);
            const auto point = text ? parsePointLine(*text) : std::nullopt;
            if (!point) return sw::kNullHandle;
            points.push_back(*point);
        }
        const sw::PtwAllocation pattern = allocatePattern(*count);
        if (!pattern) return sw::kNullHandle;
        std::copy(points.begin(), points.end(), pattern.points);
        return pattern.handle;
    } catch (...) {
        return sw::kNullHandle;
    }
}

}  // namespace penmate
