// The evaluation mode of scribeng-cli: folders of stroke files, one category each, read by the engine and by
// plain Zinnia with one model on the same files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "contracts/scribeng.h"
#include "scribeng/loader.h"

namespace sw::scribeng {

inline constexpr double kSquareInk = 1.6;

struct EvaluationOptions {
    // Plain Zinnia's model; empty: plain Zinnia is not run (its figures stay 0).
    std::filesystem::path plainModel = "/usr/share/tegaki/models/zinnia/handwriting-ja.model";
    // The writing box of files without a `box` line: the guide box of guided recognition, and the canvas
    // plain Zinnia is handed (as a writing program hands it its canvas). None: the square around the ink.
    std::optional<EngineRect> box;
    int32_t mask = 0x1FF;
    bool listFailures = false;
    // Groups of characters (UTF-8) that count as one another: shape twins such as ｏ Ｏ ０ that only their
    // size and place in a line tell apart. Empty: only the expected character itself is right. In a line
    // only twins that differ just in size count as one another (see editDistance).
    std::vector<std::vector<std::string>> alike;
    // Every that many files of the folder in name order, from the first (a quicker, fixed subset); 1 or
    // less: every file.
    int every = 1;
};

// The groups of a shape-twin file (tools/modelgen/twins.txt: one group a line, its characters separated by
// spaces; `#` begins a comment line). Fails (nullopt, *error set) on an unreadable file or a group of fewer
// than two.
std::optional<std::vector<std::vector<std::string>>> readAlikeGroups(const std::filesystem::path& path,
                                                                     std::string* error);

// Figures of one folder (a category) or of several together.
struct Figures {
    std::string name;
    int singles = 0, freeTop1 = 0, splits = 0, guidedTop1 = 0, guidedTop10 = 0, plainTop1 = 0, plainTop10 = 0;
    // Splits of characters whose ink is about as wide as high (the longer side at most kSquareInk times the
    // shorter): a lone character of that shape must always come back whole.
    int squareSplits = 0;
    int lines = 0, exactLines = 0;
    size_t lineChars = 0, lineErrors = 0;
    double freeMs = 0, plainMs = 0;
    int freeCalls = 0;

    void add(const Figures& other);
    // Per cent of `part` among single characters (0 when there are none).
    double ofSingles(int part) const { return singles ? 100.0 * part / singles : 0.0; }
    double lineCharAccuracy() const {
        return lineChars ? 100.0 * (1.0 - static_cast<double>(lineErrors) / lineChars) : 0.0;
    }
};

// The figures of the *.txt stroke files of one folder (see evaluateFolders), named after the folder; none
// when the folder or the plain model cannot be read.
std::optional<Figures> evaluateFolder(const EngineLibrary& lib, const std::filesystem::path& folder,
                                      const EvaluationOptions& options);

// Per folder, in order: files whose `expect` is one character give free top-1 (the result is exactly that
// character), splits (it came back as several characters), guided top-1 and top-10 (RecognizeF of all the
// strokes in the writing box) and plain Zinnia's top-1 and top-10; files of longer text give line
// character accuracy (1 - edit distance / expected characters) and exact lines. Prints one row per folder
// and a total; returns false when a folder or the plain model cannot be read.
// Edit distance between two code page 932 double-byte strings, counted in characters. Two characters of one
// group of `alike` count as the same where they differ only in size (differOnlyInSize): in a line a letter
// written as large as its neighbours may fairly read as its capital, a kana as its small form.
size_t editDistance(const std::string& a, const std::string& b,
                    const std::vector<std::vector<std::string>>& alike = {});

// Whether two characters (UTF-8) are the same shape at another size: the two cases of a full-width Latin
// letter (ｏ Ｏ), or a kana and its small form (つ っ, カ ヵ).
bool differOnlyInSize(const std::string& a, const std::string& b);

bool evaluateFolders(const EngineLibrary& lib, const std::vector<std::filesystem::path>& folders,
                     const EvaluationOptions& options);

}  // namespace sw::scribeng
