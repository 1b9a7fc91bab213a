#include "kanjidic.h"

#include <charconv>
#include <fstream>

namespace sw::templategen {
namespace {

// The value of a field "<letter><digits>" in the given base; nothing for any other token.
std::optional<uint32_t> fieldValue(std::string_view token, char letter, int base) {
    if (token.size() < 2 || token.size() > 9 || token.front() != letter) return std::nullopt;
    uint32_t value = 0;
    const char* end = token.data() + token.size();
    const auto [at, ec] = std::from_chars(token.data() + 1, end, value, base);
    if (ec != std::errc() || at != end) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::pair<char32_t, KanjiCommonness>> parseKanjidicLine(std::string_view line) {
    if (line.empty() || line.front() == '#') return std::nullopt;
    std::optional<uint32_t> code, grade, rank;
    for (size_t at = 0; at < line.size();) {
        const size_t space = std::min(line.find(' ', at), line.size());
        const std::string_view token = line.substr(at, space - at);
        at = space + 1;
        if (token.starts_with('{')) break;  // the meanings: English words, no fields
        if (!code) code = fieldValue(token, 'U', 16);
        if (!grade) grade = fieldValue(token, 'G', 10);
        if (!rank) rank = fieldValue(token, 'F', 10);
    }
    if (!code || *code == 0 || *code > 0x10FFFF) return std::nullopt;
    KanjiCommonness c;
    if (grade && *grade <= 10) c.grade = static_cast<uint8_t>(*grade);
    if (rank && *rank <= 0xFFFF) c.frequencyRank = static_cast<uint16_t>(*rank);
    return std::pair{static_cast<char32_t>(*code), c};
}

std::optional<std::map<char32_t, KanjiCommonness>> readKanjidic(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot read " + path;
        return std::nullopt;
    }
    std::map<char32_t, KanjiCommonness> out;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (auto entry = parseKanjidicLine(line)) out.insert(*entry);
    }
    if (out.empty()) {
        if (error) *error = path + ": no kanji";
        return std::nullopt;
    }
    return out;
}

}  // namespace sw::templategen
