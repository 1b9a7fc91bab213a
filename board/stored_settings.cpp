#include "board/stored_settings.h"

#include <charconv>
#include <optional>
#include <string>

#include "platform/gdi/units.h"

namespace sw::board {

namespace {

std::optional<int32_t> readInt(const PropertyBag& bag, std::string_view name) {
    const std::optional<std::string> text = bag.read(name);
    if (!text) return std::nullopt;
    int32_t value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || ptr != end || value < 0) return std::nullopt;
    return value;
}

}  // namespace

QSize storedExtent(const PropertyBag& bag, QSize fallback) {
    const auto x = readInt(bag, "_ExtentX");
    const auto y = readInt(bag, "_ExtentY");
    if (!x || !y) return fallback;
    return QSize(gdi::roundHalfEven(gdi::himetricToPixels(*x)),
                 gdi::roundHalfEven(gdi::himetricToPixels(*y)));
}

}  // namespace sw::board
