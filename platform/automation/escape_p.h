// Backslash escapes of the platform's text files (property bags, the class registry): \\ \" \t \n \r.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sw::detail {

inline std::string backslashEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '"':
                out += "\\\"";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// The character an escape letter stands for (the letter after the backslash); nullopt for an unknown one.
inline std::optional<char> unescapedLetter(char letter) noexcept {
    switch (letter) {
        case '\\':
            return '\\';
        case '"':
            return '"';
        case 't':
            return '\t';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        default:
            return std::nullopt;
    }
}

}  // namespace sw::detail
