#include "evaluate.h"

#include <zinnia.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/text/cp932.h"
#include "scribeng/categories.h"
#include "stroke_file.h"

namespace sw::scribeng {
namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string percent(int part, int whole) {
    if (whole == 0) return "-";
    char text[16];
    std::snprintf(text, sizeof text, "%.1f%%", 100.0 * part / whole);
    return text;
}

// Plain Zinnia as a writing program uses it: the canvas is the writing box, the points are relative to it.
// Without a box, the square around the ink with a margin of 15 per cent.
std::unique_ptr<zinnia::Character> plainCharacter(const StrokeFile& file,
                                                  const std::optional<EngineRect>& box) {
    std::unique_ptr<zinnia::Character> c(zinnia::Character::create());
    double left = 0, top = 0, scale = 1;
    size_t side = 1000;
    if (box && box->right > box->left && box->bottom > box->top) {
        left = box->left, top = box->top;
        c->set_width(static_cast<size_t>(box->right - box->left));
        c->set_height(static_cast<size_t>(box->bottom - box->top));
    } else {
        double x0 = 1e18, y0 = 1e18, x1 = -1e18, y1 = -1e18;
        for (const auto& s : file.strokes) {
            for (const auto& p : s) {
                x0 = std::min<double>(x0, p.x), x1 = std::max<double>(x1, p.x);
                y0 = std::min<double>(y0, p.y), y1 = std::max<double>(y1, p.y);
            }
        }
        const double extent = std::max({x1 - x0, y1 - y0, 1.0});
        scale = 700 / extent;
        left = (x0 + x1) / 2 - 500 / scale, top = (y0 + y1) / 2 - 500 / scale;
        c->set_width(side);
        c->set_height(side);
    }
    for (size_t id = 0; id < file.strokes.size(); ++id) {
        for (const auto& p : file.strokes[id]) {
            c->add(id, static_cast<int>(std::lround((p.x - left) * scale)),
                   static_cast<int>(std::lround((p.y - top) * scale)));
        }
    }
    return c;
}

// True when `got` is `want` or a member of one of its groups (UTF-8 both).
bool counts(const std::string& got, const std::string& want,
            const std::vector<std::vector<std::string>>& alike) {
    if (got == want) return true;
    return std::any_of(alike.begin(), alike.end(), [&](const std::vector<std::string>& group) {
        return std::find(group.begin(), group.end(), got) != group.end() &&
               std::find(group.begin(), group.end(), want) != group.end();
    });
}

// The code point of a UTF-8 character of at most three bytes (the engine's characters), or 0.
char32_t codePoint(const std::string& utf8) {
    const auto byte = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(utf8[i])); };
    if (utf8.size() == 1) return byte(0);
    if (utf8.size() == 2) return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    if (utf8.size() == 3) return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    return 0;
}

// The full-size kana of a small one (ぁ あ, ッ ツ, ヵ カ), or 0.
char32_t fullSizeKana(char32_t c) {
    static constexpr char32_t kSmall[] = {0x3041, 0x3043, 0x3045, 0x3047, 0x3049, 0x3063, 0x3083,
                                          0x3085, 0x3087, 0x308E, 0x30A1, 0x30A3, 0x30A5, 0x30A7,
                                          0x30A9, 0x30C3, 0x30E3, 0x30E5, 0x30E7, 0x30EE};
    if (std::find(std::begin(kSmall), std::end(kSmall), c) != std::end(kSmall)) return c + 1;
    if (c == 0x30F5) return 0x30AB;  // ヵ カ
    if (c == 0x30F6) return 0x30B1;  // ヶ ケ
    return 0;
}

// Rank of `want` (UTF-8, or a character alike) among the first ten of a result, or -1.
int rankOf(const std::vector<std::string>& labels, const std::string& want,
           const std::vector<std::vector<std::string>>& alike) {
    for (size_t i = 0; i < labels.size() && i < 10; ++i) {
        if (counts(labels[i], want, alike)) return static_cast<int>(i);
    }
    return -1;
}

// Zinnia's Japanese model writes digits and Latin letters as ASCII; the engine gives their full-width forms.
std::string fullWidth(const char* label) {
    std::string s(characterOfLabel(label));  // a form class ("ｌ#2") is its letter
    if (s.size() == 1 && s[0] > 0x20 && s[0] < 0x7F) {
        const char32_t c = 0xFF00 + static_cast<unsigned char>(s[0]) - 0x20;
        return {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                static_cast<char>(0x80 | (c & 0x3F))};
    }
    return s;
}

void evaluateFile(const EngineLibrary& lib, zinnia::Recognizer* plain, const std::filesystem::path& path,
                  const StrokeFile& file, const EvaluationOptions& options, Figures& figures) {
    const int32_t object = lib.CreateNewObject();
    for (const auto& stroke : file.strokes)
        lib.AddStrokeLast(object, stroke.data(), static_cast<int32_t>(stroke.size()));
    auto start = Clock::now();
    const bool ok = lib.RecognizeNF(object) == 0;
    figures.freeMs += msSince(start);
    ++figures.freeCalls;
    int32_t count = 0;
    const char* result = ok ? lib.GetString(object, 0, &count) : nullptr;
    const std::string got = result ? std::string(result) : std::string();
    const std::string expected = text::utf8ToCp932(file.expect);
    const auto box = file.box ? file.box : options.box;

    if (expected.size() == 2) {
        ++figures.singles;
        const bool right = counts(text::cp932ToUtf8(got), file.expect, options.alike);
        figures.freeTop1 += right;
        figures.splits += count > 1;
        if (count > 1) {
            int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
            for (const auto& stroke : file.strokes) {
                for (const auto& p : stroke) {
                    left = std::min(left, p.x), top = std::min(top, p.y);
                    right = std::max(right, p.x), bottom = std::max(bottom, p.y);
                }
            }
            const double width = static_cast<double>(right) - left,
                         height = static_cast<double>(bottom) - top;
            figures.squareSplits +=
                std::max(width, height) <= kSquareInk * std::max(std::min(width, height), 1.0);
        }
        std::vector<std::string> guided;
        if (PtwHandle ptw = lib.GetPatternW(object, 0, static_cast<int32_t>(file.strokes.size()) - 1)) {
            if (box) {
                lib.SetGuideBox(box->right, box->bottom, box->left, box->top);
            } else {
                lib.SetGuideBox(0, 0, 0, 0);
            }
            CandidateEntry list[20] = {};
            if (lib.RecognizeF(ptw, list, 20) == 0) {
                for (int i = 0; i < 20 && list[i].code; ++i) {
                    const char bytes[2] = {static_cast<char>((list[i].code >> 8) & 0xFF),
                                           static_cast<char>(list[i].code & 0xFF)};
                    guided.push_back(text::cp932ToUtf8(std::string_view(bytes, 2)));
                }
            }
            lib.DestroyPatternW(ptw);
        }
        const int guidedRank = rankOf(guided, file.expect, options.alike);
        figures.guidedTop1 += guidedRank == 0;
        figures.guidedTop10 += guidedRank >= 0;

        std::vector<std::string> labels;
        if (plain) {
            const auto character = plainCharacter(file, box);
            start = Clock::now();
            std::unique_ptr<zinnia::Result> found(plain->classify(*character, 10));
            figures.plainMs += msSince(start);
            for (size_t i = 0; found && i < found->size(); ++i) labels.push_back(fullWidth(found->value(i)));
        }
        const int plainRank = rankOf(labels, file.expect, options.alike);
        figures.plainTop1 += plainRank == 0;
        figures.plainTop10 += plainRank >= 0;
        if (options.listFailures && !right) {
            std::printf("  %s: free \"%s\" guided %s plain %s, expected %s\n", path.filename().c_str(),
                        text::cp932ToUtf8(got).c_str(), guided.empty() ? "-" : guided[0].c_str(),
                        labels.empty() ? "-" : labels[0].c_str(), file.expect.c_str());
        }
    } else if (!expected.empty()) {
        ++figures.lines;
        const size_t errors = editDistance(got, expected, options.alike);
        figures.exactLines += errors == 0;
        figures.lineChars += expected.size() / 2;
        figures.lineErrors += std::min(errors, expected.size() / 2);
        if (options.listFailures && got != expected) {
            std::printf("  %s: \"%s\", expected %s\n", path.filename().c_str(),
                        text::cp932ToUtf8(got).c_str(), file.expect.c_str());
        }
    }
    lib.DestroyObject(object);
}

void printRow(const Figures& f) {
    std::printf(
        "%-20s %6d %9s %7s %9s %9s %9s %9s | %6d %9s %8s | %7.2f %7.2f\n", f.name.c_str(), f.singles,
        percent(f.freeTop1, f.singles).c_str(), percent(f.splits, f.singles).c_str(),
        percent(f.guidedTop1, f.singles).c_str(), percent(f.guidedTop10, f.singles).c_str(),
        percent(f.plainTop1, f.singles).c_str(), percent(f.plainTop10, f.singles).c_str(), f.lines,
        f.lineChars
            ? percent(static_cast<int>(f.lineChars - f.lineErrors), static_cast<int>(f.lineChars)).c_str()
            : "-",
        percent(f.exactLines, f.lines).c_str(), f.freeCalls ? f.freeMs / f.freeCalls : 0.0,
        f.singles ? f.plainMs / f.singles : 0.0);
}

}  // namespace

std::optional<std::vector<std::vector<std::string>>> readAlikeGroups(const std::filesystem::path& path,
                                                                     std::string* error) {
    std::ifstream in(path);
    if (!in) {
        if (error) *error = path.string() + ": cannot open";
        return std::nullopt;
    }
    std::vector<std::vector<std::string>> groups;
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        std::istringstream words(line);
        std::vector<std::string> group;
        for (std::string word; words >> word;) group.push_back(word);
        if (group.empty() || group.front().front() == '#') continue;
        if (group.size() < 2) {
            if (error)
                *error = path.string() + ":" + std::to_string(lineNo) + ": a group needs two characters";
            return std::nullopt;
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

bool differOnlyInSize(const std::string& a, const std::string& b) {
    const char32_t x = codePoint(a), y = codePoint(b);
    const auto lower = [](char32_t c) { return c >= 0xFF21 && c <= 0xFF3A ? c + 0x20 : c; };  // Ａ ａ
    if (x != y && lower(x) == lower(y) && lower(x) >= 0xFF41 && lower(x) <= 0xFF5A) return true;
    return x && y && (fullSizeKana(x) == y || fullSizeKana(y) == x);
}

size_t editDistance(const std::string& a, const std::string& b,
                    const std::vector<std::vector<std::string>>& alike) {
    const size_t n = a.size() / 2, m = b.size() / 2;
    // Whether the i-th character of `a` and the j-th of `b` count as the same.
    const auto sameAt = [&](size_t i, size_t j) {
        if (a.compare(2 * i, 2, b, 2 * j, 2) == 0) return true;
        if (alike.empty()) return false;
        const std::string x = text::cp932ToUtf8(std::string_view(a).substr(2 * i, 2)),
                          y = text::cp932ToUtf8(std::string_view(b).substr(2 * j, 2));
        return differOnlyInSize(x, y) && counts(x, y, alike);
    };
    std::vector<size_t> row(m + 1);
    for (size_t j = 0; j <= m; ++j) row[j] = j;
    for (size_t i = 1; i <= n; ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= m; ++j) {
            const bool same = sameAt(i - 1, j - 1);
            const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[m];
}

void Figures::add(const Figures& o) {
    singles += o.singles, freeTop1 += o.freeTop1, splits += o.splits, guidedTop1 += o.guidedTop1;
    squareSplits += o.squareSplits;
    guidedTop10 += o.guidedTop10, plainTop1 += o.plainTop1, plainTop10 += o.plainTop10;
    lines += o.lines, exactLines += o.exactLines, lineChars += o.lineChars, lineErrors += o.lineErrors;
    freeMs += o.freeMs, plainMs += o.plainMs, freeCalls += o.freeCalls;
}

std::optional<Figures> evaluateFolder(const EngineLibrary& lib, const std::filesystem::path& folder,
                                      const EvaluationOptions& options) {
    std::unique_ptr<zinnia::Recognizer> plain;
    if (!options.plainModel.empty()) plain.reset(zinnia::Recognizer::create());
    if (plain && !plain->open(options.plainModel.c_str())) {
        std::fprintf(stderr, "scribeng-cli: cannot open %s\n", options.plainModel.c_str());
        return std::nullopt;
    }
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".txt") files.push_back(it->path());
    }
    if (ec) {
        std::fprintf(stderr, "scribeng-cli: cannot read %s\n", folder.c_str());
        return std::nullopt;
    }
    std::sort(files.begin(), files.end());
    lib.SetRecCategory(options.mask);
    Figures figures{folder.filename().empty() ? folder.parent_path().filename().string()
                                              : folder.filename().string()};
    const size_t every = static_cast<size_t>(std::max(options.every, 1));
    for (size_t i = 0; i < files.size(); i += every) {
        const auto& path = files[i];
        std::string error;
        if (auto file = readStrokeFile(path, &error)) {
            evaluateFile(lib, plain.get(), path, *file, options, figures);
        } else {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        }
    }
    return figures;
}

bool evaluateFolders(const EngineLibrary& lib, const std::vector<std::filesystem::path>& folders,
                     const EvaluationOptions& options) {
    std::printf("%-20s %6s %9s %7s %9s %9s %9s %9s | %6s %9s %8s | %7s %7s\n", "category", "chars", "free-1",
                "split", "guided-1", "guided-10", "plain-1", "plain-10", "lines", "line-char", "line-ok",
                "free-ms", "plain-ms");
    Figures total{"total"};
    bool ok = true;
    for (const auto& folder : folders) {
        const auto figures = evaluateFolder(lib, folder, options);
        if (!figures) {
            ok = false;
            continue;
        }
        printRow(*figures);
        total.add(*figures);
    }
    if (folders.size() > 1) printRow(total);
    return ok;
}

}  // namespace sw::scribeng
