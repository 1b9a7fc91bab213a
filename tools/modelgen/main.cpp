// slatewise-modelgen: training data and evaluation for the engine's supplementary Zinnia model.
//
//   slatewise-modelgen data --kanjivg DIR --templates FILE --twins FILE --out FILE [--seed N] [--variations
//   N] slatewise-modelgen expand --twins FILE --in TEXTMODEL --out TEXTMODEL slatewise-modelgen evaluate
//   --model FILE --kanjivg DIR --templates FILE --twins FILE [--seed N]
//                               [--variations N] [--misses]
//   slatewise-modelgen classes --kanjivg DIR --templates FILE --twins FILE [--tolerance UNITS]
//   slatewise-modelgen forms --kanjivg DIR --templates FILE --twins FILE --out TEXTMODEL [--seed N]
//                            [--variations N] [--form-classes]
//
// `data` writes Zinnia training S-expressions (zinnia_learn's input) for every class, each twin group as
// one class; `expand` gives every member of a twin group the group's weights in a text model (then
// zinnia_convert makes the binary model). Output files appear complete or not at all. `evaluate`
// recognises synthetic samples (use a seed other than the training one) and prints top-1 and top-5
// accuracy; `classes` lists the classes with the look-alikes that twins.txt should group. With
// --form-classes, `data` leaves the classes of letters written in several ways (formClassLabels) to `forms`,
// which trains them (given the same seed, variations and flag) into text model lines for the model before
// `expand`; without it `forms` writes no line.
// Exit status 0 on success, 1 on bad input, 2 on bad usage.
#include <zinnia.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "evaluate.h"
#include "kanji_model.h"

namespace {

using namespace sw::modelgen;

int usage() {
    std::cerr
        << "usage: slatewise-modelgen data|forms|expand|evaluate|classes --twins FILE [--kanjivg DIR]\n"
           "       [--templates FILE] [--in FILE] [--out FILE] [--model FILE] [--seed N] [--variations N]\n"
           "       [--misses] [--tolerance UNITS] [--form-classes]\n";
    return 2;
}

// Writes `out` through a neighbouring partial file, so it is complete or absent.
template <typename Write>
int writeAtomically(const std::string& out, Write write) {
    const std::string partial = out + ".partial";
    std::string error;
    bool ok = false;
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        ok = file && write(file, &error) && file.flush();
        if (!ok && error.empty()) error = "cannot write " + partial;
    }
    if (!ok || std::rename(partial.c_str(), out.c_str()) != 0) {
        std::cerr << "slatewise-modelgen: " << (ok ? "cannot rename " + partial : error) << '\n';
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string mode = argv[1];
    std::map<std::string, std::string> opt{{"--seed", "1"}, {"--variations", "12"}};
    for (int i = 2; i < argc; ++i) {
        const std::string key = argv[i];
        if (key == "--misses" || key == "--form-classes") {
            opt.insert_or_assign(key, std::string(1, '1'));  // a plain "1" trips GCC 12's -Wrestrict
        } else if (i + 1 < argc && key.starts_with("--")) {
            opt[key] = argv[++i];
        } else {
            return usage();
        }
    }
    if (!opt.contains("--twins")) return usage();
    uint64_t seed = 0;
    int variations = 0;
    try {
        seed = std::stoull(opt["--seed"]);
        variations = std::stoi(opt["--variations"]);
    } catch (const std::exception&) {
        return usage();
    }
    if (variations < 0 || variations > 1000) return usage();

    std::string error;
    const auto twins = readTwinFile(opt["--twins"], &error);
    if (!twins) {
        std::cerr << "slatewise-modelgen: " << error << '\n';
        return 1;
    }
    if (mode == "expand") {
        if (!opt.contains("--in") || !opt.contains("--out")) return usage();
        std::ifstream in(opt["--in"], std::ios::binary);
        if (!in) {
            std::cerr << "slatewise-modelgen: cannot open " << opt["--in"] << '\n';
            return 1;
        }
        return writeAtomically(opt["--out"], [&](std::ostream& out, std::string* why) {
            return expandTwins(in, *twins, out, why);
        });
    }

    if (!opt.contains("--kanjivg") || !opt.contains("--templates")) return usage();
    auto glyphs = readSupplementGlyphs(opt["--kanjivg"], opt["--templates"], *twins, &error);
    if (!glyphs) {
        std::cerr << "slatewise-modelgen: " << error << '\n';
        return 1;
    }
    glyphs = strokeOrderForms(std::move(*glyphs));

    if (mode == "data" || mode == "forms") {
        if (!opt.contains("--out")) return usage();
        const auto kanji = readKanjiGlyphs(opt["--kanjivg"], &error);
        if (!kanji) {
            std::cerr << "slatewise-modelgen: " << error << '\n';
            return 1;
        }
        const std::vector<Glyph> negatives = unlikeAll(*kanji, *glyphs);
        // Letters' form classes only when asked for (--form-classes, both for `data` and `forms`).
        const auto formLabels = opt.contains("--form-classes") ? formClassLabels(*glyphs, *twins)
                                                               : std::vector<std::string>(glyphs->size());
        if (mode == "forms") {
            return writeAtomically(opt["--out"], [&](std::ostream& out, std::string* why) {
                return trainFormClasses(*glyphs, *twins, formLabels, seed, variations, negatives,
                                        opt["--out"] + ".scratch", out, why);
            });
        }
        const int rc = writeAtomically(opt["--out"], [&](std::ostream& out, std::string*) {
            writeTrainingData(*glyphs, *twins, seed, variations, out, negatives, formLabels);
            return true;
        });
        if (rc != 0) return rc;
        const std::set<std::string> apart(formLabels.begin(), formLabels.end());
        std::cout << glyphs->size() << " shapes, " << glyphs->size() * (variations + 2) << " samples, "
                  << negatives.size() << " of " << kanji->size() << " kanji as negatives, "
                  << apart.size() - apart.count("") << " classes trained apart\n";
        return 0;
    }
    if (mode == "classes") {
        // One line per form: an allograph (ａ+1) is listed with the classes it is alike to.
        const auto twins =
            formTwins(*glyphs, opt.contains("--tolerance") ? std::stod(opt["--tolerance"]) : 45.0);
        for (size_t i = 0; i < glyphs->size(); ++i) {
            const Glyph& g = (*glyphs)[i];
            // Streamed piecewise: "+" + std::to_string() trips GCC 12's false -Wrestrict at -O3.
            std::cout << toUtf8(g.label);
            if (g.form > 0) std::cout << '+' << g.form;
            std::cout << ' ' << g.strokes.size();
            if (!twins[i].empty()) {
                std::cout << " twins:";
                for (char32_t t : twins[i]) std::cout << ' ' << toUtf8(t);
            }
            std::cout << '\n';
        }
        std::set<char32_t> classes;
        for (const Glyph& g : *glyphs) classes.insert(g.label);
        std::cout << classes.size() << " classes, " << glyphs->size() << " shapes\n";
        return 0;
    }
    if (mode == "evaluate") {
        if (!opt.contains("--model")) return usage();
        std::unique_ptr<zinnia::Recognizer> model(zinnia::Recognizer::create());
        if (!model->open(opt["--model"].c_str())) {
            std::cerr << "slatewise-modelgen: " << model->what() << '\n';
            return 1;
        }
        for (const Frame frame : {Frame::Ink, Frame::Line}) {
            const Accuracy acc = evaluate(*model, *glyphs, *twins, seed, variations, frame);
            if (opt.contains("--misses")) {
                for (const std::string& m : acc.misses) std::cout << m << '\n';
            }
            const auto pct = [&](int n) { return 100.0 * n / std::max(acc.samples, 1); };
            std::printf(
                "%s frame: classes %zu (model %zu), samples %d: top-1 %.1f%%, top-5 %.1f%%, "
                "top-1 up to shape twins %.1f%%\n",
                frame == Frame::Ink ? "ink" : "line", glyphs->size(), model->size(), acc.samples,
                pct(acc.top1), pct(acc.top5), pct(acc.top1UpToTwins));
        }
        // Kanji are Tegaki's: this model should score them low, as the engine merges models by score.
        const auto kanji = readKanjiGlyphs(opt["--kanjivg"], &error);
        if (!kanji) {
            std::cerr << "slatewise-modelgen: " << error << '\n';
            return 1;
        }
        const std::vector<Glyph> others = unlikeAll(*kanji, *glyphs);
        size_t high = 0;
        for (const Glyph& g : others) {
            Random random = classRandom(seed, g.label);
            high += bestScore(*model, normaliseToSquare(synthesise(g.strokes, random))) > 0;
        }
        std::printf("synthetic kanji scoring above 0 (Tegaki's domain): %zu of %zu\n", high, others.size());
        return 0;
    }
    return usage();
}
