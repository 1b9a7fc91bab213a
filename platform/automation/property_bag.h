// Persistence of control properties by name: a property bag with a `name = value` text form, and the exchange
// that loads, saves or resets a control's properties through one routine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sw {

// Named values as UTF-8 text, in insertion order.
//
// Text form, one property a line:
//     ForeWidth = 2
//     ResultFontName = ＭＳ 明朝
// Blank lines and lines starting with '#' are skipped; a line without '=' is skipped. Name and value are
// trimmed of spaces and tabs; a value that must keep such spaces, or holds '\\', a line break or '"', is
// written in double quotes with \\ \" \n \r \t escapes. A later line of the same name replaces an earlier
// one.
class PropertyBag {
public:
    std::optional<std::string> read(std::string_view name) const;
    void write(std::string_view name, std::string value);
    bool remove(std::string_view name);
    void clear() noexcept { m_values.clear(); }
    bool empty() const noexcept { return m_values.empty(); }
    const std::vector<std::pair<std::string, std::string>>& values() const noexcept { return m_values; }

    std::string toText() const;
    static PropertyBag fromText(std::string_view text);

private:
    std::vector<std::pair<std::string, std::string>> m_values;
};

enum class ExchangeMode { Load, Save, Reset };

// One routine per control calls the ex* members in a fixed order; the mode decides what they do:
//   Load:  value := stored value, or the default when the name is absent or does not parse (never clamped);
//   Save:  stored value := value;
//   Reset: value := default (the bag is not used and may be null).
class PropExchange {
public:
    PropExchange(ExchangeMode mode, PropertyBag* bag) noexcept : m_mode(mode), m_bag(bag) {}
    ExchangeMode mode() const noexcept { return m_mode; }
    bool isLoading() const noexcept { return m_mode == ExchangeMode::Load; }

    // The exchange version, stored as "_Version" (major.minor). Load returns the stored version, or the given
    // one when absent.
    uint32_t exVersion(uint16_t major, uint16_t minor);

    void exLong(std::string_view name, int32_t& value, int32_t def);
    void exShort(std::string_view name, int16_t& value, int16_t def);
    void exBool(std::string_view name, bool& value, bool def);           // stored as -1 / 0
    void exFloat(std::string_view name, float& value, float def);        // stored with round-trip precision
    void exColor(std::string_view name, uint32_t& value, uint32_t def);  // stored as &H00BBGGRR
    // A code page 932 string, stored as UTF-8 text.
    void exString(std::string_view name, std::string& cp932Value, std::string_view cp932Default);

private:
    ExchangeMode m_mode;
    PropertyBag* m_bag;
};

}  // namespace sw
