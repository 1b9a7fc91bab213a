#include "platform/automation/property_bag.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <limits>

#include "platform/automation/escape_p.h"
#include "platform/text/cp932.h"

namespace sw {
namespace {

bool isBlank(char c) noexcept { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) noexcept {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Names are identifiers; one that the text form could not give back is left out of it.
bool isWritableName(std::string_view name) noexcept {
    return !name.empty() && name.front() != '#' && trim(name).size() == name.size() &&
           name.find_first_of("=\r\n") == std::string_view::npos;
}

bool needsQuotes(std::string_view value) noexcept {
    if (value.empty()) return false;
    return isBlank(value.front()) || isBlank(value.back()) ||
           value.find_first_of("\\\"\r\n") != std::string_view::npos;
}

std::string quoted(std::string_view value) { return '"' + detail::backslashEscaped(value) + '"'; }

// `"text"` with escapes; nullopt for a missing closing quote, an unknown escape or text after the quote.
std::optional<std::string> unquoted(std::string_view value) {
    std::string out;
    size_t i = 1;
    for (; i < value.size() && value[i] != '"'; ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) return std::nullopt;
        const auto c = detail::unescapedLetter(value[i]);
        if (!c) return std::nullopt;
        out += *c;
    }
    if (i + 1 != value.size()) return std::nullopt;  // no closing quote, or something after it
    return out;
}

template <typename Int>
std::optional<Int> parseInt(std::string_view s) noexcept {
    if (!s.empty() && s.front() == '+') s.remove_prefix(1);
    Int value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

std::optional<uint32_t> parseColor(std::string_view s) noexcept {
    if (s.size() > 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h')) {
        s.remove_prefix(2);
        if (!s.empty() && s.back() == '&') s.remove_suffix(1);
        if (s.empty() || s.size() > 8 || s.front() == '-' || s.front() == '+') return std::nullopt;
        uint32_t value = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, 16);
        if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
        return value;
    }
    // Decimal, as a signed or unsigned 32-bit value (system colours read as negative numbers).
    const auto wide = parseInt<int64_t>(s);
    if (!wide || *wide < std::numeric_limits<int32_t>::min() || *wide > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    return static_cast<uint32_t>(*wide);
}

}  // namespace

std::optional<std::string> PropertyBag::read(std::string_view name) const {
    for (const auto& [key, value] : m_values)
        if (key == name) return value;
    return std::nullopt;
}

void PropertyBag::write(std::string_view name, std::string value) {
    for (auto& [key, stored] : m_values) {
        if (key == name) {
            stored = std::move(value);
            return;
        }
    }
    m_values.emplace_back(std::string(name), std::move(value));
}

bool PropertyBag::remove(std::string_view name) {
    const auto it =
        std::find_if(m_values.begin(), m_values.end(), [name](auto& kv) { return kv.first == name; });
    if (it == m_values.end()) return false;
    m_values.erase(it);
    return true;
}

std::string PropertyBag::toText() const {
    std::string text;
    for (const auto& [name, value] : m_values) {
        if (!isWritableName(name)) continue;
        text += name;
        text += " = ";
        text += needsQuotes(value) ? quoted(value) : value;
        text += '\n';
    }
    return text;
}

PropertyBag PropertyBag::fromText(std::string_view text) {
    PropertyBag bag;
    while (!text.empty()) {
        const size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        line = trim(line);
        if (line.empty() || line.front() == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view name = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        if (name.empty()) continue;
        if (!value.empty() && value.front() == '"') {
            if (auto v = unquoted(value)) bag.write(name, std::move(*v));
        } else {
            bag.write(name, std::string(value));
        }
    }
    return bag;
}

uint32_t PropExchange::exVersion(uint16_t major, uint16_t minor) {
    const uint32_t given = (uint32_t{major} << 16) | minor;
    if (m_mode == ExchangeMode::Save) {
        if (m_bag) m_bag->write("_Version", std::to_string(major) + "." + std::to_string(minor));
        return given;
    }
    if (m_mode == ExchangeMode::Reset || !m_bag) return given;
    const auto text = m_bag->read("_Version");
    if (!text) return given;
    const size_t dot = text->find('.');
    if (dot == std::string::npos) return given;
    const auto storedMajor = parseInt<uint16_t>(std::string_view(*text).substr(0, dot));
    const auto storedMinor = parseInt<uint16_t>(std::string_view(*text).substr(dot + 1));
    if (!storedMajor || !storedMinor) return given;
    return (uint32_t{*storedMajor} << 16) | *storedMinor;
}

// Each ex* member is the same three-way step over a parser and a formatter of its type.
template <typename T, typename Parse, typename Format>
static void exchange(ExchangeMode mode, PropertyBag* bag, std::string_view name, T& value, const T& def,
                     Parse parse, Format format) {
    switch (mode) {
        case ExchangeMode::Reset:
            value = def;
            return;
        case ExchangeMode::Save:
            if (bag) bag->write(name, format(value));
            return;
        case ExchangeMode::Load: {
            const auto text = bag ? bag->read(name) : std::nullopt;
            const auto parsed = text ? parse(std::string_view(*text)) : std::nullopt;
            value = parsed ? *parsed : def;
            return;
        }
    }
}

void PropExchange::exLong(std::string_view name, int32_t& value, int32_t def) {
    exchange(m_mode, m_bag, name, value, def, parseInt<int32_t>, [](int32_t v) { return std::to_string(v); });
}

void PropExchange::exShort(std::string_view name, int16_t& value, int16_t def) {
    exchange(m_mode, m_bag, name, value, def, parseInt<int16_t>, [](int16_t v) { return std::to_string(v); });
}

void PropExchange::exBool(std::string_view name, bool& value, bool def) {
    auto parse = [](std::string_view s) -> std::optional<bool> {
        if (const auto i = parseInt<int32_t>(s)) return *i != 0;
        auto lower = std::string(s);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        if (lower == "true") return true;
        if (lower == "false") return false;
        return std::nullopt;
    };
    exchange(m_mode, m_bag, name, value, def, parse, [](bool v) { return std::string(v ? "-1" : "0"); });
}

void PropExchange::exFloat(std::string_view name, float& value, float def) {
    auto parse = [](std::string_view s) -> std::optional<float> {
        if (!s.empty() && s.front() == '+') s.remove_prefix(1);
        float v = 0;
        const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
        return v;
    };
    auto format = [](float v) {
        char buffer[64];
        const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, v);
        return std::string(buffer, ec == std::errc() ? end : buffer);
    };
    exchange(m_mode, m_bag, name, value, def, parse, format);
}

void PropExchange::exColor(std::string_view name, uint32_t& value, uint32_t def) {
    auto format = [](uint32_t v) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "&H%08X", v);
        return std::string(buffer);
    };
    exchange(m_mode, m_bag, name, value, def, parseColor, format);
}

void PropExchange::exString(std::string_view name, std::string& cp932Value, std::string_view cp932Default) {
    const std::string def(cp932Default);
    exchange(
        m_mode, m_bag, name, cp932Value, def,
        [](std::string_view utf8) { return std::optional<std::string>(text::utf8ToCp932(utf8)); },
        [](const std::string& cp932) { return text::cp932ToUtf8(cp932); });
}

}  // namespace sw
