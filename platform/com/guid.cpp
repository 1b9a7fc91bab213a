#include "platform/com/guid.h"

#include <cstdio>

namespace sw {
namespace {

int hexValue(char c) noexcept {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string Guid::toString() const {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", data1, data2,
                  data3, data4[0], data4[1], data4[2], data4[3], data4[4], data4[5], data4[6], data4[7]);
    return buffer;
}

// XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX: 32 hex digits, dashes after digits 8, 12, 16 and 20.
std::optional<Guid> Guid::parse(std::string_view text) noexcept {
    if (text.size() == 38) {
        if (text.front() != '{' || text.back() != '}') return std::nullopt;
        text = text.substr(1, 36);
    }
    if (text.size() != 36) return std::nullopt;
    uint8_t bytes[16];
    size_t digit = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-') return std::nullopt;
            continue;
        }
        const int v = hexValue(text[i]);
        if (v < 0) return std::nullopt;
        if (digit % 2 == 0)
            bytes[digit / 2] = static_cast<uint8_t>(v << 4);
        else
            bytes[digit / 2] |= static_cast<uint8_t>(v);
        ++digit;
    }
    Guid g;
    g.data1 = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
    g.data2 = static_cast<uint16_t>((bytes[4] << 8) | bytes[5]);
    g.data3 = static_cast<uint16_t>((bytes[6] << 8) | bytes[7]);
    for (size_t i = 0; i < 8; ++i) g.data4[i] = bytes[8 + i];
    return g;
}

}  // namespace sw
