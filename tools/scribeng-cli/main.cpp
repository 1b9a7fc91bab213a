// scribeng-cli: runs stroke files (format in stroke_file.h) through libscribeng.so, as the recognition box
// does, and prints the result of free recognition, each character's strokes, box and guided candidates,
// and timings. With several files it ends with accuracy figures against each file's `expect` line.
//
//     scribeng-cli [--lib PATH] [--mask HEX] [--candidates N] [--quiet] FILE...
//     scribeng-cli --evaluate [--lib PATH] [--mask HEX] [--box L,T,R,B] [--plain MODEL] [--alike TWINS]
//                 [--failures] FOLDER...
//
// --evaluate reads every *.txt file of each folder (one category each) and prints per folder the engine's
// figures beside plain Zinnia's with MODEL (default: Tegaki's Japanese model) on the same files (evaluate.h).
// --box is the writing box of files without a `box` line; with --alike a character of the expected one's
// group in TWINS (tools/modelgen/twins.txt) counts as right, in a line only one that differs from it just in
// size (ｏ for Ｏ, ッ for ツ).
//
// The library defaults to libscribeng.so beside the executable. Exit status: 0 when every file with an
// `expect` line came out as expected, 1 otherwise, 2 on a usage or load error.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "evaluate.h"
#include "platform/text/cp932.h"
#include "scribeng/loader.h"
#include "stroke_file.h"

namespace {

using Clock = std::chrono::steady_clock;
using sw::scribeng::EngineLibrary;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string codeToUtf8(uint32_t code) {
    const char bytes[2] = {static_cast<char>((code >> 8) & 0xFF), static_cast<char>(code & 0xFF)};
    return sw::text::cp932ToUtf8(std::string_view(bytes, 2));
}

std::filesystem::path defaultLibrary() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(".") : self.parent_path()) / "libscribeng.so";
}

struct Totals {
    int files = 0, expected = 0, exact = 0, chars = 0, guidedTop1 = 0, guidedTop10 = 0;
    size_t expectedChars = 0, charErrors = 0;  // line character accuracy: 1 - errors / expected characters
    double freeMs = 0, guidedMs = 0;
    int guidedCalls = 0;
};

void runFile(const EngineLibrary& lib, const std::filesystem::path& path,
             const sw::scribeng::StrokeFile& file, int shown, bool quiet, Totals& totals) {
    const int32_t object = lib.CreateNewObject();
    for (const auto& stroke : file.strokes) {
        lib.AddStrokeLast(object, stroke.data(), static_cast<int32_t>(stroke.size()));
    }
    auto start = Clock::now();
    const bool ok = lib.RecognizeNF(object) == 0;
    const double freeMs = msSince(start);
    totals.freeMs += freeMs;
    ++totals.files;

    int32_t count = 0;
    const char* result = ok ? lib.GetString(object, 0, &count) : nullptr;
    const std::string text = result ? sw::text::cp932ToUtf8(result) : "";
    const std::string expected = sw::text::utf8ToCp932(file.expect);
    if (!file.expect.empty()) {
        ++totals.expected;
        totals.exact += text == file.expect;
        totals.expectedChars += expected.size() / 2;
        totals.charErrors +=
            sw::scribeng::editDistance(result ? std::string(result) : std::string(), expected);
    }
    if (!quiet) {
        std::printf("%s: \"%s\"%s%s  (%d strokes, %.2f ms)\n", path.filename().c_str(), text.c_str(),
                    file.expect.empty() ? "" : " expected ", file.expect.c_str(),
                    static_cast<int>(file.strokes.size()), freeMs);
    }
    for (int32_t ch = 0; ch < count; ++ch) {
        int32_t first = 0, last = 0;
        EngineRect box{};
        lib.GetStrokeNoOfNthChar(object, 0, ch, &first, &last);
        lib.GetNthCharBound(object, 0, ch, &box);
        const PtwHandle ptw = lib.GetPatternWOfNthChar(object, 0, ch);
        const EngineRect guide = file.box && count == 1 ? *file.box : box;
        lib.SetGuideBox(guide.right, guide.bottom, guide.left, guide.top);
        CandidateEntry list[20] = {};
        start = Clock::now();
        const bool guided = lib.RecognizeF(ptw, list, 20) == 0;
        const double guidedMs = msSince(start);
        lib.DestroyPatternW(ptw);
        totals.guidedMs += guidedMs;
        ++totals.guidedCalls;
        if (static_cast<size_t>(count) * 2 == expected.size()) {
            ++totals.chars;
            const uint32_t want = static_cast<unsigned char>(expected[2 * ch]) << 8 |
                                  static_cast<unsigned char>(expected[2 * ch + 1]);
            for (int i = 0; i < 20 && list[i].code; ++i) {
                if (list[i].code != want) continue;
                totals.guidedTop1 += i == 0;
                totals.guidedTop10 += i < 10;
            }
        }
        if (quiet) continue;
        std::printf("  [%d] strokes %d-%d box (%d,%d)-(%d,%d) guided %.2f ms:", ch, first, last, box.left,
                    box.top, box.right, box.bottom, guidedMs);
        for (int i = 0; guided && i < shown && i < 20 && list[i].code; ++i) {
            std::printf(" %s(%d)", codeToUtf8(list[i].code).c_str(), list[i].score);
        }
        std::printf("\n");
    }
    lib.DestroyObject(object);
}

int usage() {
    std::fprintf(stderr,
                 "usage: scribeng-cli [--lib PATH] [--mask HEX] [--candidates N] [--quiet] FILE...\n"
                 "       scribeng-cli --evaluate [--lib PATH] [--mask HEX] [--box L,T,R,B] [--plain MODEL] "
                 "[--alike TWINS] [--failures] FOLDER...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path library = defaultLibrary();
    int32_t mask = 0x1FF;
    int shown = 10;
    bool quiet = false, evaluate = false;
    sw::scribeng::EvaluationOptions evaluation;
    std::vector<std::filesystem::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--lib" && i + 1 < argc) {
            library = argv[++i];
        } else if (arg == "--mask" && i + 1 < argc) {
            mask = static_cast<int32_t>(std::strtol(argv[++i], nullptr, 16));
        } else if (arg == "--candidates" && i + 1 < argc) {
            shown = std::atoi(argv[++i]);
        } else if (arg == "--quiet") {
            quiet = true;
        } else if (arg == "--evaluate") {
            evaluate = true;
        } else if (arg == "--failures") {
            evaluation.listFailures = true;
        } else if (arg == "--plain" && i + 1 < argc) {
            evaluation.plainModel = argv[++i];
        } else if (arg == "--alike" && i + 1 < argc) {
            std::string error;
            auto groups = sw::scribeng::readAlikeGroups(argv[++i], &error);
            if (!groups) {
                std::fprintf(stderr, "scribeng-cli: %s\n", error.c_str());
                return 2;
            }
            evaluation.alike = std::move(*groups);
        } else if (arg == "--box" && i + 1 < argc) {
            EngineRect box{};
            if (std::sscanf(argv[++i], "%d,%d,%d,%d", &box.left, &box.top, &box.right, &box.bottom) != 4)
                return usage();
            evaluation.box = box;
        } else if (!arg.empty() && arg[0] == '-') {
            return usage();
        } else {
            files.emplace_back(arg);
        }
    }
    if (files.empty()) return usage();

    EngineLibrary lib;
    if (!lib.load(library.string())) {
        std::fprintf(stderr, "scribeng-cli: %s\n", lib.error().c_str());
        return 2;
    }
    if (evaluate) {
        evaluation.mask = mask;
        return sw::scribeng::evaluateFolders(lib, files, evaluation) ? 0 : 2;
    }
    lib.SetRecCategory(mask);
    Totals totals;
    for (const auto& path : files) {
        std::string error;
        auto file = sw::scribeng::readStrokeFile(path, &error);
        if (!file) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
            continue;
        }
        runFile(lib, path, *file, shown, quiet, totals);
    }
    if (totals.files > 0) {
        std::printf(
            "files %d, as expected %d/%d; guided per character top-1 %d/%d, top-10 %d/%d; "
            "line character accuracy %.1f%%; free %.2f ms per file, guided %.2f ms per character\n",
            totals.files, totals.exact, totals.expected, totals.guidedTop1, totals.chars, totals.guidedTop10,
            totals.chars,
            totals.expectedChars
                ? 100.0 * (1.0 - static_cast<double>(totals.charErrors) / totals.expectedChars)
                : 100.0,
            totals.freeMs / totals.files, totals.guidedCalls ? totals.guidedMs / totals.guidedCalls : 0.0);
    }
    return totals.exact == totals.expected ? 0 : 1;
}
