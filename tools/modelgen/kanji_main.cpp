// slatewise-kanjimodel: trains the engine's kanji model (kanji_model.h).
//
//   slatewise-kanjimodel --kanjivg DIR --templates FILE --twins FILE --out MODEL [--seed N]
//                        [--variations N] [--neighbours N] [--negatives N] [--classes N] [--processes N]
//                        [--shear X] [--rotation X] [--stroke-shift X] [--stroke-scale X] [--part-shift X]
//                        [--part-scale X] [--strong X]
//
// Trains a class for every JIS kanji of KanjiVG but the twins of the supplementary model (or `--classes`
// of them, chosen by a fixed shuffle of the seed), each against `--negatives` samples of each of its
// `--neighbours` nearest classes, in `--processes` processes, and writes the text model MODEL.txt and the
// binary model MODEL, each complete or not at all. The writer variation is kanjiVariation() with the given
// fields replaced (Variation's units; --strong: the strength of every other sample). The same sources and
// arguments give the same files, whatever the number of processes. Exit status 0 on success, 1 on bad input
// or a failed training, 2 on bad usage.
#include <fcntl.h>
#include <unistd.h>
#include <zinnia.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

#include "kanji_model.h"
#include "samples.h"

namespace {

using namespace sw::modelgen;

// Weights below this are dropped from the binary model (zinnia_convert's default).
constexpr double kCompressionThreshold = 0.001;

int usage() {
    std::cerr << "usage: slatewise-kanjimodel --kanjivg DIR --templates FILE --twins FILE --out MODEL\n"
                 "       [--seed N] [--variations N] [--neighbours N] [--negatives N] [--classes N]\n"
                 "       [--processes N] [--shear X] [--rotation X] [--stroke-shift X] [--stroke-scale X]\n"
                 "       [--part-shift X] [--part-scale X] [--strong X]\n";
    return 2;
}

int fail(const std::string& what) {
    std::cerr << "slatewise-kanjimodel: " << what << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> opt;
    for (int i = 1; i < argc; ++i) {
        const std::string key = argv[i];
        if (i + 1 < argc && key.starts_with("--")) {
            opt[key] = argv[++i];
        } else {
            return usage();
        }
    }
    for (const char* required : {"--kanjivg", "--templates", "--twins", "--out"}) {
        if (!opt.contains(required)) return usage();
    }
    KanjiModelOptions options;
    size_t classes = 0;
    try {
        if (opt.contains("--seed")) options.seed = std::stoull(opt["--seed"]);
        if (opt.contains("--variations")) options.variations = std::stoi(opt["--variations"]);
        if (opt.contains("--neighbours")) options.neighbours = std::stoi(opt["--neighbours"]);
        if (opt.contains("--negatives")) options.negativesPerNeighbour = std::stoi(opt["--negatives"]);
        if (opt.contains("--processes")) options.processes = std::stoi(opt["--processes"]);
        if (opt.contains("--classes")) classes = std::stoul(opt["--classes"]);
        Variation& v = options.variation;
        const std::pair<const char*, double*> fields[] = {{"--shear", &v.shear},
                                                          {"--rotation", &v.rotation},
                                                          {"--stroke-shift", &v.strokeShift},
                                                          {"--stroke-scale", &v.strokeScale},
                                                          {"--part-shift", &v.partShift},
                                                          {"--part-scale", &v.partScale},
                                                          {"--strong", &options.strongVariation}};
        for (const auto& [flag, field] : fields) {
            if (opt.contains(flag)) *field = std::stod(opt[flag]);
            if (!std::isfinite(*field) || *field < 0 || *field > 100) return usage();
        }
    } catch (const std::exception&) {
        return usage();
    }
    if (options.variations < 1 || options.variations > 1000 || options.neighbours < 1 ||
        options.neighbours > 10000 || options.negativesPerNeighbour < 1 ||
        options.negativesPerNeighbour > options.variations || options.processes < 1 || options.processes > 64)
        return usage();

    std::string error;
    const auto pool =
        sw::templategen::readTemplateGlyphs(opt["--kanjivg"], opt["--templates"], opt["--twins"], &error);
    if (!pool) return fail(error);
    const auto twins = readTwinFile(opt["--twins"], &error);
    if (!twins) return fail(error);
    const std::vector<size_t> targets = chooseIndices(kanjiIndices(*pool, *twins), classes, options.seed);
    if (targets.empty()) return fail("no kanji in " + opt["--kanjivg"]);

    const std::string out = opt["--out"], text = out + ".txt";
    std::cerr << "training " << targets.size() << " kanji classes against " << options.neighbours
              << " neighbours each\n";
    const auto progress = [&](size_t done) {
        if (done % 500 == 0) std::cerr << done * static_cast<size_t>(options.processes) << " classes\n";
    };
    // Zinnia's trainer reports every class on the standard output: silence it while training.
    std::fflush(stdout);
    const int savedOut = dup(STDOUT_FILENO);
    if (const int null = open("/dev/null", O_WRONLY); null >= 0) {
        dup2(null, STDOUT_FILENO);
        close(null);
    }
    {
        const std::string partial = text + ".partial";
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        if (!file) return fail("cannot write " + partial);
        const bool ok =
            trainKanjiModel(*pool, targets, *twins, options, out + ".work", file, &error, progress) &&
            file.flush();
        file.close();
        std::fflush(stdout);
        if (savedOut >= 0) {
            dup2(savedOut, STDOUT_FILENO);
            close(savedOut);
        }
        if (!ok || std::rename(partial.c_str(), text.c_str()) != 0) {
            std::remove(partial.c_str());
            return fail(ok ? "cannot rename " + partial : error);
        }
    }
    const std::string partial = out + ".partial";
    if (!zinnia::Trainer::convert(text.c_str(), partial.c_str(), kCompressionThreshold) ||
        std::rename(partial.c_str(), out.c_str()) != 0) {
        std::remove(partial.c_str());
        return fail("cannot convert " + text);
    }
    std::cout << targets.size() << " classes\n";
    return 0;
}
