// Class, interface and type-library identities.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sw {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper-case hex.
    std::string toString() const;
    // Accepts the form above with or without braces, any case; nullopt otherwise.
    static std::optional<Guid> parse(std::string_view text) noexcept;
    bool isNull() const noexcept { return *this == Guid{}; }

    friend bool operator==(const Guid&, const Guid&) = default;
};

}  // namespace sw
