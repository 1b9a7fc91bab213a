#include "edict.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace sw::dicgen {
namespace {

// The codes EDICT writes in parentheses before a gloss: part of speech, field, usage and dialect. Codes
// that are also ordinary words at the start of a gloss ("(work) shift", "(art) gallery") are left out, so
// such a gloss keeps its first word.
constexpr std::array kTags = {
    // part of speech
    "adj-f", "adj-i", "adj-ix", "adj-kari", "adj-ku", "adj-na", "adj-nari", "adj-no", "adj-pn", "adj-shiku",
    "adj-t", "adv", "adv-to", "aux", "aux-adj", "aux-v", "conj", "cop", "ctr", "exp", "int", "n", "n-adv",
    "n-pr", "n-pref", "n-suf", "n-t", "num", "pn", "pref", "prt", "suf", "unc", "v-unspec", "v1", "v1-s",
    "v2a-s", "v4h", "v4r", "v5aru", "v5b", "v5g", "v5k", "v5k-s", "v5m", "v5n", "v5r", "v5r-i", "v5s", "v5t",
    "v5u", "v5u-s", "v5uru", "vi", "vk", "vn", "vr", "vs", "vs-c", "vs-i", "vs-s", "vt", "vz",
    // field
    "agric", "anat", "archeol", "archit", "astron", "audvid", "aviat", "baseb", "biochem", "biol", "bot",
    "Buddh", "bus", "chem", "Christn", "cloth", "comp", "cryst", "ecol", "econ", "elec", "electr", "embryo",
    "engr", "ent", "finc", "food", "gardn", "genet", "geogr", "geol", "geom", "gramm", "grmyth", "hanaf",
    "law", "ling", "logic", "MA", "mahj", "math", "mech", "med", "met", "mil", "music", "ornith", "paleo",
    "pathol", "pharm", "phil", "physics", "physiol", "psy", "psych", "rail", "Shinto", "shogi", "sports",
    "stat", "sumo", "telec", "tradem", "vidg", "zool",
    // usage
    "abbr", "arch", "chn", "col", "dated", "derog", "ek", "fam", "fem", "form", "hist", "hon", "hum", "id",
    "joc", "m-sl", "male", "net-sl", "obs", "obsc", "on-mim", "poet", "pol", "proverb", "rare", "sens", "sl",
    "uk", "vulg", "X", "yoji",
    // dialect
    "hob:", "ksb:", "ktb:", "kyb:", "kyu:", "nab:", "osb:", "rkb:", "thb:", "tsb:", "tsug:",
    // written form
    "ateji", "gikun", "iK", "ik", "io", "oK", "ok", "rK", "rk", "sK", "sk"};

constexpr std::string_view kSpaces = " \t\r\n";

std::string_view trim(std::string_view s) {
    const size_t first = s.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kSpaces) - first + 1);
}

bool isTagList(std::string_view content) {
    if (content.empty()) return false;
    size_t start = 0;
    while (start <= content.size()) {
        size_t end = content.find(',', start);
        if (end == std::string_view::npos) end = content.size();
        const std::string_view item = content.substr(start, end - start);
        if (std::find(kTags.begin(), kTags.end(), item) == kTags.end()) return false;
        start = end + 1;
    }
    return true;
}

bool isNumber(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "EntL1234567" with an optional "X": the entry's sequence number in EDICT2.
bool isEntryId(std::string_view s) {
    if (!s.starts_with("EntL")) return false;
    s.remove_prefix(4);
    if (s.ends_with('X')) s.remove_suffix(1);
    return isNumber(s);
}

// Splits at `separator` outside parentheses.
std::vector<std::string_view> splitOutsideParentheses(std::string_view s, char separator) {
    std::vector<std::string_view> parts;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '(') ++depth;
        if (s[i] == ')' && depth > 0) --depth;
        if (s[i] == separator && depth == 0) {
            parts.push_back(s.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(s.substr(start));
    return parts;
}

bool hasNonAscii(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// One headword or reading with its trailing markers: "漢字(P)", "かんじ(P)(漢字)". Markers at the very start
// belong to the text.
std::optional<EdictForm> parseForm(std::string_view s, bool reading) {
    EdictForm form;
    s = trim(s);
    while (s.ends_with(')')) {
        int depth = 0;
        size_t open = std::string_view::npos;
        for (size_t i = s.size(); i-- > 0;) {
            if (s[i] == ')') ++depth;
            if (s[i] == '(' && --depth == 0) {
                open = i;
                break;
            }
        }
        if (open == std::string_view::npos || open == 0) break;
        const std::string_view content = s.substr(open + 1, s.size() - open - 2);
        if (content == "P") {
            form.common = true;
        } else if (reading && hasNonAscii(content)) {
            for (std::string_view word : splitOutsideParentheses(content, ',')) {
                for (std::string_view part : splitOutsideParentheses(word, ';')) {
                    if (!trim(part).empty()) form.restrictedTo.emplace_back(trim(part));
                }
            }
        }
        s = trim(s.substr(0, open));
    }
    if (s.empty()) return std::nullopt;
    form.text = s;
    return form;
}

std::vector<EdictForm> parseForms(std::string_view s, bool reading) {
    std::vector<EdictForm> forms;
    for (std::string_view part : splitOutsideParentheses(s, ';')) {
        if (auto form = parseForm(part, reading)) forms.push_back(std::move(*form));
    }
    return forms;
}

// Position of the bracket that closes the one at s[0], or npos.
size_t closingBracket(std::string_view s) {
    const char open = s[0];
    const char close = open == '(' ? ')' : '}';
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == open) ++depth;
        if (s[i] == close && --depth == 0) return i;
    }
    return std::string_view::npos;
}

// Adds one "/"-separated field to the senses: its leading tags dropped, a leading sense number opening a
// new sense.
void addGlossField(std::string_view field, std::vector<EdictSense>& senses) {
    std::string number;
    bool numbered = false;
    while (!field.empty() && (field[0] == '(' || field[0] == '{')) {
        const size_t close = closingBracket(field);
        if (close == std::string_view::npos) break;
        const std::string_view content = field.substr(1, close - 1);
        if (field[0] == '(' && isNumber(content)) {
            number = content;
            numbered = true;
        } else if (field[0] != '{' && !isTagList(content)) {
            break;
        }
        field = trim(field.substr(close + 1));
    }
    if (numbered || senses.empty()) senses.push_back({number, {}});
    if (!field.empty()) senses.back().glosses.emplace_back(field);
}

}  // namespace

std::optional<EdictEntry> parseEdictLine(std::string_view line) {
    while (line.ends_with('\n') || line.ends_with('\r')) line.remove_suffix(1);
    const size_t slash = line.find('/');
    if (slash == std::string_view::npos) return std::nullopt;

    EdictEntry entry;
    const std::string_view japanese = trim(line.substr(0, slash));
    const size_t open = japanese.find('[');
    if (open == std::string_view::npos) {
        entry.headwords = parseForms(japanese, false);
    } else {
        const size_t close = japanese.find(']', open);
        if (close == std::string_view::npos || !trim(japanese.substr(close + 1)).empty()) return std::nullopt;
        entry.headwords = parseForms(japanese.substr(0, open), false);
        entry.readings = parseForms(japanese.substr(open + 1, close - open - 1), true);
    }
    if (entry.headwords.empty()) return std::nullopt;

    std::string_view fields = line.substr(slash + 1);
    while (!fields.empty()) {
        const size_t end = std::min(fields.find('/'), fields.size());
        const std::string_view field = trim(fields.substr(0, end));
        fields.remove_prefix(std::min(end + 1, fields.size()));
        if (field.empty() || isEntryId(field)) continue;
        if (field == "(P)") {
            entry.common = true;
            continue;
        }
        addGlossField(field, entry.senses);
    }
    const bool anyGloss = std::any_of(entry.senses.begin(), entry.senses.end(),
                                      [](const auto& s) { return !s.glosses.empty(); });
    if (!anyGloss) return std::nullopt;
    return entry;
}

std::vector<KeyPair> commonKeyPairs(const EdictEntry& entry) {
    const auto marked = [](const std::vector<EdictForm>& forms) {
        return std::any_of(forms.begin(), forms.end(), [](const EdictForm& f) { return f.common; });
    };
    const bool headwordsMarked = marked(entry.headwords);
    const bool readingsMarked = marked(entry.readings);
    std::vector<KeyPair> pairs;
    if (!entry.common && !headwordsMarked && !readingsMarked) return pairs;

    for (const EdictForm& headword : entry.headwords) {
        if (headwordsMarked && !headword.common) continue;
        if (entry.readings.empty()) {
            pairs.push_back({headword.text, headword.text});
            continue;
        }
        const auto belongs = [&](const EdictForm& r) {
            return r.restrictedTo.empty() || std::find(r.restrictedTo.begin(), r.restrictedTo.end(),
                                                       headword.text) != r.restrictedTo.end();
        };
        const size_t before = pairs.size();
        for (const EdictForm& reading : entry.readings) {
            if (belongs(reading) && (!readingsMarked || reading.common))
                pairs.push_back({headword.text, reading.text});
        }
        if (pairs.size() == before) {
            const auto first = std::find_if(entry.readings.begin(), entry.readings.end(), belongs);
            if (first != entry.readings.end()) pairs.push_back({headword.text, first->text});
        }
    }
    // A reading listed twice would pair up twice.
    std::vector<KeyPair> unique;
    for (KeyPair& pair : pairs) {
        const auto same = [&](const KeyPair& p) { return p.key1 == pair.key1 && p.key2 == pair.key2; };
        if (std::none_of(unique.begin(), unique.end(), same)) unique.push_back(std::move(pair));
    }
    return unique;
}

std::string explanationOf(const EdictEntry& entry) {
    std::string out;
    for (const EdictSense& sense : entry.senses) {
        if (sense.glosses.empty()) continue;
        if (!out.empty()) out += ' ';
        if (!sense.number.empty()) out += "(" + sense.number + ") ";
        for (size_t i = 0; i < sense.glosses.size(); ++i) {
            if (i > 0) out += "; ";
            out += sense.glosses[i];
        }
    }
    return out;
}

}  // namespace sw::dicgen
