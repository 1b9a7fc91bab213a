// Character shapes on KanjiVG's 109 x 109 grid (y down), read from KanjiVG SVG files or from the hand-made
// template file, and the class list of the supplementary model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "svg_path.h"

namespace sw::modelgen {

inline constexpr double kGridSize = 109.0;

// A component of a glyph: the strokes KanjiVG groups as one element (a radical, a phonetic part, the parts of
// those), which a writer draws larger, smaller or further apart as a unit.
struct Part {
    int depth = 1;                  // 1: a part of the whole character; 2: a part of such a part, ...
    std::vector<uint32_t> strokes;  // indices into Glyph::strokes, increasing
};

struct Glyph {
    char32_t label = 0;            // the class the model reports
    std::vector<Subpath> strokes;  // in writing order, each in its writing direction
    int form = 0;                  // 0: the class's main shape; 1, 2, ...: other ways people write it
    // A form whose last stroke is a dot that tells it from a like shape of another class (a j without its
    // lead-in and a J without its bar): the shape templates count it only where a dot was written.
    bool needsDot = false;
    // A form the shape templates alone know: a shape another class is written in too (a 1 as a plain stick,
    // like ｌ Ｉ ｜), which the stroke-order model, trained one class against all others, would learn both
    // as the class and as what it is not.
    bool shapeOnly = false;
    // KanjiVG's components short of the whole glyph, each after the part that encloses it.
    std::vector<Part> parts = {};
};

// Reads one KanjiVG file: every <path> of the document in order, each moveto starting a stroke, and as its
// parts the <g> groups that hold some but not all of the strokes. The label is the code point of the file
// name ("030a2.svg" -> U+30A2, "030a2-Kaisho.svg" too). Returns nullopt and
// sets *error on an unreadable file, malformed XML, a bad path or a file without strokes.
std::optional<Glyph> readKanjiVgFile(const std::string& path, std::string* error = nullptr);

// Reads the template file. Format, one character per line:
//
//   # comment
//   （ M64,10 C48,28 48,82 64,100
//   ＝ M25,42 L84,42 M25,68 L84,68
//
//   ａ + M70,40 C60,30 36,32 36,60 C36,84 62,86 70,64 M70,38 L70,92
//
// the character (one UTF-8 code point), white space, then SVG path data on the 109 x 109 grid in which
// every moveto begins the next stroke. A '+' between the character and the path makes the line another
// form of the character (an allograph: single-storey a, 7 with a bar), in addition to its main form, which
// is the character's plain line or, without one, its KanjiVG glyph; the forms of a character are numbered
// 1, 2, ... in file order. A '.' right after the '+' ("ｊ +. M56,56 L56,108 M57,40 l1,2.5") marks a form
// that counts only where its dot was written (Glyph::needsDot), a '~' ("１ +~ M54.5,15 L54.5,92") a form of
// the shape templates alone (Glyph::shapeOnly). Blank lines and lines starting with '#' are
// skipped. Returns nullopt and sets *error ("file:line: what") on an unreadable file, bad UTF-8, bad path
// data or a character given twice without '+'; nothing partial is returned.
std::optional<std::vector<Glyph>> readTemplateFile(const std::string& path, std::string* error = nullptr);

// The forms the supplementary (stroke-order) model is trained on: all but those that count only with their
// dot (Glyph::needsDot) and those of the shape templates alone (Glyph::shapeOnly). The former are for the
// shape templates, whose direction features weigh a dot little; the stroke-order model sees the dot as a
// stroke of its own.
std::vector<Glyph> strokeOrderForms(std::vector<Glyph> glyphs);

// The KanjiVG characters the supplementary model takes from KanjiVG: all kana of JIS X 0208 (small and
// voiced forms, iteration marks, ・ and ー), 々〆、。, the ASCII digits and Latin letters and the ASCII
// punctuation KanjiVG has. Each is named by its KanjiVG file code.
std::vector<char32_t> supplementKanjiVgCodes();

// The class label for a KanjiVG code: printable ASCII becomes its full-width form (A -> Ａ U+FF21), as the
// engine reports code page 932 double-byte characters; everything else stays.
char32_t labelForKanjiVgCode(char32_t code);

// The KanjiVG file name of a code: "030a2.svg".
std::string kanjiVgFileName(char32_t code);

// True when the character has a double-byte code page 932 form that decodes back to the same character.
bool hasCp932DoubleByte(char32_t c);

std::string toUtf8(char32_t c);

using TwinGroups = std::vector<std::vector<char32_t>>;

// Reads the glyphs of the supplementary model: supplementKanjiVgCodes() from `kanjiVgDir` (the folder of
// the SVG files) relabelled, the template file (a template replaces a KanjiVG glyph of the same label, an
// allograph adds to it), and from KanjiVG every other member of a twin group (the kanji look-alikes).
// Sorted by label, then form. Fails on any unreadable source, a label without a code page 932 double-byte
// form or an allograph of a character that has no main form.
std::optional<std::vector<Glyph>> readSupplementGlyphs(const std::string& kanjiVgDir,
                                                       const std::string& templates, const TwinGroups& twins,
                                                       std::string* error = nullptr);

// Every JIS kanji KanjiVG has (U+4E00..U+9FFF with a code page 932 double-byte form), labelled with its
// own code point. The supplementary model trains with them as negatives only, so that kanji, which Tegaki's
// model recognises, do not score high on its kana and symbols. Fails on an unreadable file.
std::optional<std::vector<Glyph>> readKanjiGlyphs(const std::string& kanjiVgDir,
                                                  std::string* error = nullptr);

// Shape-twin groups (twins.txt): characters the recogniser cannot tell apart once normalised into the
// square. Format: one group per line, its characters separated by spaces, the first being the class the
// group is trained as; '#' lines and blank lines are skipped. Returns nullopt and sets *error on an
// unreadable file, a token that is not one character, a group of fewer than two or a character given twice.
std::optional<TwinGroups> readTwinFile(const std::string& path, std::string* error = nullptr);

}  // namespace sw::modelgen
