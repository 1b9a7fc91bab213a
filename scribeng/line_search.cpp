#include "scribeng/line_search.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "scribeng/char_geometry.h"

namespace sw::scribeng {
namespace {

// Recognitions one search may make beyond the runs every partition needs: per stroke, and once.
constexpr size_t kBudgetPerStroke = 8, kBudgetBase = 100;
// Recognitions one search makes at most, whatever the input (a line of six characters needs about 25);
// beyond them the strokes not yet read are read in at most kFallbackPieces pieces.
constexpr size_t kMaxRecognitions = 120;
// Classes the templates pass to Zinnia for a trial run of the search; the characters chosen are read again
// with a fuller shortlist, unless there are more than kMaxChosenReadings of them.
constexpr size_t kTrialShortlist = 100, kTrialCoarse = 300;
constexpr size_t kMaxChosenReadings = 40;
// A chosen character whose reading is weak (confidenceOf below kWeakLone: the best class scores low and
// barely leads) is read again with a longer shortlist, at most kMaxWideReadings per selection. Another
// writer's slant, rotation or loose strokes push the right class down the shape ranking, past the classes
// Zinnia scores, while Zinnia still knows it; the clear readings of most characters keep the shorter, faster
// shortlist.
constexpr double kWeakLone = -0.45;
constexpr size_t kWideShortlist = 1500, kWideCoarse = 3000;
// The shortlist of a chosen character's reading. Shorter than the recognizer's own (300 of 1000): the weak
// readings that a short one misses are read with the longer one, and the time it saves pays for those
// (real kana and lines read as well or better with it).
constexpr size_t kChosenShortlist = 200, kChosenCoarse = 700;
constexpr size_t kMaxWideReadings = 6;
constexpr size_t kFallbackPieces = 8;
// A fallback piece ends where a character may end once it is this long (of the character size).
constexpr double kFallbackLength = 0.8;
// Costs, in units of the recognition score (higher scores are better; a clear character scores about 0.3 to
// 1, a piece of one or two characters together about -0.5 and below).
constexpr double kPerCharacter = 0.5;  // every character of the path; favours fewer, fuller characters
constexpr double kScoreFloor = -1.5;   // scores below count as this
constexpr double kScoreCeiling = 1.2;
constexpr double kScoreWeight = 0.5, kLeadWeight = 0.7, kMaxLead = 1.5;
constexpr float kSameScore = 0.005F;
// A stroke overlapping the run before it by more than this (of the stroke, or of the character size) does
// not start a character.
constexpr double kStartOverlap = 0.5;
constexpr double kStartOverlapOfSize = 0.15;
// Runs longer than this along the line (of the character size), or with an inner gap wider than this, are
// not characters.
constexpr double kMaxLength = 1.6;
constexpr double kMaxInnerGap = 0.8;
// Geometry penalties beyond a comfortable range, per character size of excess.
constexpr double kLongFrom = 1.15, kLongCost = 3.0;
constexpr double kGapFrom = 0.3, kGapCost = 2.5;
constexpr double kSmallBelow = 0.45, kSmallCost = 2.0;
// Runs narrower than this along the line are rarely whole characters, unless they read as a narrow one.
constexpr double kNarrowBelow = 0.55, kNarrowCost = 2.0;
// Share of that cost refunded to a narrow class with gaps of at least kNarrowGap on both sides.
constexpr double kNarrowRefund = 0.5, kNarrowGap = 0.1;
// Categories a narrow piece split off a character must read as (see splitNarrow).
constexpr int32_t kNarrowPieceCategories = SCRIBENG_CAT_DIGIT | SCRIBENG_CAT_LATIN;
// In a row of digits, a letter the models score at most this much below its best class is read as that digit
// instead: ２ for Ｚ, ３ for ｊ.
constexpr double kRowKindMargin = 1.6;
constexpr size_t kRowKindLeast = 3;  // characters in the row, at least
// A letter or digit whose run of letters and digits is otherwise all of the other kind takes a reading of
// that kind the models score at most this much below its best (０ for Ｏ, twins scored alike; ３ for ｊ).
constexpr double kRunKindMargin = 0.5;
// Beside neighbours of another script, a reading that scores at most kTwinMargin below the best and fits the
// neighbours' script better is taken instead (オ for 才 between kana); a symbol (± for さ) gives way to a
// kana or kanji within kSymbolMargin. A kana beside the other kana fits kKanaBesideKana as well as beside
// its own. A letter or digit whose neighbours read kana or kanji (and none two places away a letter or
// digit) gives way to one of them within kStrayMargin: a kana the models take for a letter or digit (て for
// ｒ or ７, ゐ for ａ) scores well below it more often than a symbol does.
constexpr double kTwinMargin = 0.3, kSymbolMargin = 0.3, kKanaBesideKana = 0.5, kStrayMargin = 1.5;
// Beside a letter or digit, pieces shorter than this (of the character size) may be split off a character.
constexpr double kNarrowBesideLatin = 0.7;
// Neighbours (not marks or small kana) that together are shorter than kCompactBelow character sizes cost
// up to kCompactCost, reached kCompactRange below.
constexpr double kCompactBelow = 1.1, kCompactRange = 0.3, kCompactCost = 0.4;
constexpr double kOverlapFrom = 0.1, kOverlapCost = 5.0;
// Score given to a mark decided by geometry alone (、。 and ー have no class in the Japanese model).
constexpr double kMarkScore = 0.6;
// Largest extent (of the character size) of a run read as a small mark.
constexpr double kTinyExtent = 0.4;
// A radical read alone.
constexpr double kLoneRadicalCost = 1.0;
// 、。ー where their size or place does not fit.
constexpr double kMisplacedMarkCost = 2.0;
// A dot mark (、。) that begins the ink, more following it.
constexpr double kLeadingMarkCost = 4.0;
// A small run read as a full-size character that has no small form.
constexpr double kNotSmallCost = 0.4;
// A mark or small kana touching or overlapping the ink of a neighbour along the line: a dot or flick there
// belongs to that character. A 、 or 。 needs a clear gap of kDotGap (of the character size) to both its
// neighbours: a dot closer than that is the last or first stroke of the character beside it (the right dot of
// 心 in 忘), whatever the models make of its shape.
constexpr double kMarkTouchCost = 3.0;
constexpr double kDotGap = 0.1;
// Ink no longer along the line than this (of its thickness) is one character: the search does not split it.
// Only where a wide class (kana, kanji) is allowed: two narrow ones (digits, letters) fit in that length.
constexpr double kLoneLength = 1.6;
// Ink no longer than this (of its thickness) is not read as a character and a mark: when the search splits it
// so, the whole is read as one character instead.
constexpr double kMarkSplitLength = 2.4;
// Ink no longer than this (of its thickness) read as characters with no gap of kClearGap (of the character
// size) between them is read whole when that reads as well (see unsplitLone).
constexpr double kUnsplitLength = 2.2, kClearGap = 0.1;
// Two such characters that the whole reads at least as well as may stand further apart the shorter the ink
// is (a tall or wide compound kanji drawn apart, 育 as 云 over 月): up to kUnsplitGap more (of the character
// size) at kLoneLength, none more at kUnsplitLength, and up to kApartGap more again where the two pieces
// together, without the gap, are no longer than a lone character (a wide kana of two strokes standing
// apart: ル read as ノ and ム; two characters side by side are each about as long as the line is thick).
// Three or more pieces (a block of short columns) get none.
constexpr double kUnsplitGap = 0.15, kApartGap = 0.1;
// How far the whole's best score may fall below its pieces' best scores on average where the pieces read
// more clearly, and the ink still be read whole, where the whole leads its next class by kUnsplitLead or more
// (see wholeReadsAsWell).
constexpr double kUnsplitScoreBelow = 0.4, kUnsplitLead = 0.3;
// A column no longer than this (of its thickness) read as narrow characters only (letters, digits, ー and
// symbols) is one character stacked in two (a Y as a V over a stick, an 8 as two rings), whatever the gaps
// and however the whole reads: two narrow characters stacked are each taller than the column is thick, three
// thicknesses or more together. A row is left alone: two digits side by side fit in a square.
constexpr double kStackLength = 2.6;
// Voicing marks (゛ ゜) are the last strokes of their kana, at its upper right; in a row written with small
// gaps they may stand as near the next character as their own. A run of a row that begins with at most
// kMaxLeadingMarkStrokes strokes together no larger than kLeadingMarkExtent (of the character size), ahead of
// the rest of the run along the line, over the right half of the character before it and wholly above its
// middle, nearer that character's ink than the rest of their own run, costs kLeadingMarksCost after it: those
// strokes are the marks of the character before (で then も, not て then marks and も read as ヅ, or as a
// kanji with a left radical: 油 for ゛ and カ). A radical's dots (氵) reach below the middle or lie over the
// stroke after them, and the dot of 礻 衤 stands over the rest of its character.
constexpr int32_t kMaxLeadingMarkStrokes = 2;
constexpr double kLeadingMarkExtent = 0.25, kLeadingMarksCost = 1.0;
// A voiced kana of a line reads as its marks place it: its last one or two strokes, each no larger than
// kVoicingMarkExtent (of the character size), stand at its upper right. Where they do, the strokes before
// them read as the kana the marks voice (て and ゛ are で, not ず or ブ) and that voicing takes the place of
// a reading up to kVoicedBaseMargin above it; where nothing stands there, the best reading without marks up
// to kUnmarkedMargin below takes its place (も read as ど).
constexpr double kVoicingMarkExtent = 0.3, kVoicedBaseMargin = 0.5, kUnmarkedMargin = 0.8;
// Neighbours in a line together no longer than kMendLength (of the character size) and no further apart than
// kMendGap may be one character the search read in two (see mendSplits).
constexpr double kMendLength = 1.45, kMendGap = 0.3;

// A multi-line selection cut into more stretches than this is read as one line (linesOf allows one return to
// an earlier line; this bounds the searches whatever it allows).
constexpr size_t kMaxStretches = kMaxLines + 1;
// Recognitions a search of several stretches makes at most: each stretch beyond the first adds this many to
// kMaxRecognitions, up to kMaxMultiRecognitions.
constexpr size_t kRecognitionsPerStretch = 60, kMaxMultiRecognitions = 240;

// Recognitions shared by the searches of the stretches of one selection, so that the bound on time holds for
// the whole of it.
struct Budget {
    size_t used = 0;
    size_t limit = kMaxRecognitions;
    size_t chosenLeft =
        kMaxChosenReadings;              // characters that may still be read again with the full shortlist
    size_t wideLeft = kMaxWideReadings;  // weak characters that may still be read with the longer one
};

struct RunInfo {
    CharRun run;
    Extent extent;
    double cost = 0;
    double narrowRefund = 0;  // taken off the cost for each side with a clear gap (see pairCost)
    MarkKind kind = MarkKind::None;
    std::vector<Candidate> candidates;
    // Small strokes that begin the run ahead of the rest of it (see kLeadingMarksCost), and where the rest
    // begins along the line.
    std::optional<Extent> leadingMarks;
    double restFrom = 0;
};

Interval unionOf(Interval a, Interval b) { return {std::min(a.lo, b.lo), std::max(a.hi, b.hi)}; }

// Largest gap along the line between the strokes of a run, after merging overlapping strokes.
double innerGap(std::vector<Interval> parts) {
    std::sort(parts.begin(), parts.end(), [](const Interval& a, const Interval& b) { return a.lo < b.lo; });
    double gap = 0, reach = parts.empty() ? 0 : parts.front().hi;
    for (const auto& p : parts) {
        gap = std::max(gap, p.lo - reach);
        reach = std::max(reach, p.hi);
    }
    return gap;
}

// Radicals the model knows as classes of their own but that are almost never written alone: in a line they
// are usually a piece of a character (丶 丿 乂 亅 亠 冂 冖 冫 凵 几 勹 匕 匚 厶 宀 巛 彑).
bool isLoneRadical(CharCode code) {
    static constexpr CharCode kRadicals[] = {0x98A4, 0x98A6, 0x98A7, 0x98AB, 0x98B3, 0x9963,
                                             0x996B, 0x9971, 0x9981, 0x997B, 0x99AF, 0x99B6,
                                             0x99B7, 0x99D1, 0x9B7E, 0x9BDD, 0x9C5F};
    return std::find(std::begin(kRadicals), std::end(kRadicals), code) != std::end(kRadicals);
}

// Candidates of a run with small kana, 、。 and ー decided by size and place. Scores stay the models'; a
// mark decided by geometry alone gets kMarkScore.
std::vector<Candidate> adjustForMarks(std::vector<Candidate> found, MarkKind kind, bool tiny,
                                      const LineFrame& line, std::span<const Stroke> strokes, int32_t mask) {
    std::vector<Candidate> out;
    auto push = [&out, mask](CharCode code, float score) {
        if (!allowedBy(code, mask)) return;
        for (const auto& c : out) {
            if (c.code == code) return;
        }
        out.push_back({code, score});
    };
    const float top = found.empty() ? static_cast<float>(kScoreFloor) : found.front().score;
    switch (kind) {
        case MarkKind::Dot:
            push(dotMarkOf(strokes), std::max(top, static_cast<float>(kMarkScore)));
            break;
        case MarkKind::LongVowel:
            // Upright in a vertical line it can only be ー; lying in a horizontal line it may be 一 as well.
            if (line.direction == Direction::Vertical)
                push(kLongVowelMark, std::max(top, static_cast<float>(kMarkScore)));
            break;
        default:
            break;
    }
    for (const auto& c : found) {
        if (isLoneRadical(c.code)) {
            push(c.code, c.score - static_cast<float>(kLoneRadicalCost));
            continue;
        }
        // 、。ー and the other marks read by a model count only where size and place allow them.
        const bool dot = isDotMark(c.code);
        if ((dot && kind != MarkKind::Dot) || (c.code == kLongVowelMark && kind != MarkKind::LongVowel) ||
            (isTinyMark(c.code) && !tiny)) {
            push(c.code, c.score - static_cast<float>(kMisplacedMarkCost));
            continue;
        }
        if (kind == MarkKind::Small) {
            if (auto small = smallFormOf(c.code); small && allowedBy(*small, mask)) {
                push(*small, c.score);
                continue;
            }
            if (fullFormOf(c.code)) {
                push(c.code, c.score);
                continue;
            }
            push(c.code, c.score - static_cast<float>(kNotSmallCost));
        } else if (auto full = fullFormOf(c.code); kind == MarkKind::Full && full && allowedBy(*full, mask)) {
            push(*full, c.score);
        } else {
            push(c.code, c.score);
        }
    }
    if (kind == MarkKind::LongVowel && line.direction == Direction::Horizontal) {
        push(kLongVowelMark, out.empty() ? static_cast<float>(kMarkScore) : out.front().score - 0.001F);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score > b.score; });
    return out;
}

// The models score 二 and 三 of other writers as ＝ (two or three lying strokes alike): ＝ counts only for
// two strokes of about equal length; else its place goes to what the strokes are (equalsSignReading), and
// where that is not allowed or the stroke count fits neither, ＝ falls behind the others.
void readEqualsSign(std::vector<Candidate>& list, std::span<const Stroke> strokes, int32_t mask) {
    auto sign =
        std::find_if(list.begin(), list.end(), [](const Candidate& c) { return c.code == kEqualsSign; });
    if (sign == list.end()) return;
    const std::optional<CharCode> reading = equalsSignReading(strokes);
    if (reading == kEqualsSign) return;
    float score = sign->score;
    list.erase(sign);
    if (reading && allowedBy(*reading, mask)) {
        auto own = std::find_if(list.begin(), list.end(),
                                [&reading](const Candidate& c) { return c.code == *reading; });
        if (own != list.end()) {
            score = std::max(score, own->score);
            list.erase(own);
        }
        list.insert(
            std::find_if(list.begin(), list.end(), [score](const Candidate& c) { return c.score < score; }),
            {*reading, score});
    } else {
        list.push_back({kEqualsSign, list.empty() ? score : std::min(score, list.back().score)});
    }
}

// Characters that are narrow along a horizontal line: １ Ｉ ｉ ｊ ｌ ！ ｜ ： ； ， ． ・ and the upright
// stroke.
bool isNarrowClass(CharCode code) {
    switch (code) {
        case 0x8250:
        case 0x8268:
        case 0x8289:
        case 0x828A:
        case 0x828C:
        case 0x8149:
        case 0x8162:
        case 0x8146:
        case 0x8147:
        case 0x8143:
        case 0x8144:
        case 0x8145:
        case 0xED4C:
            return true;
        default:
            return false;
    }
}

// The best score's lead over the next distinct score, at most kMaxLead.
double leadOf(std::span<const Candidate> candidates) {
    for (const auto& c : candidates.subspan(1)) {
        if (c.score < candidates.front().score - kSameScore)
            return std::min(kMaxLead, static_cast<double>(candidates.front().score - c.score));
    }
    return kMaxLead;
}

// The recognition evidence for a run: its best score and its lead over the next distinct score (look-alike
// classes that models score alike, such as ｌ and ｜, do not count as rivals). Pieces of characters and
// characters written together tend to match several classes about equally; a whole character stands out.
double confidenceOf(std::span<const Candidate> candidates) {
    const double top = std::clamp<double>(candidates.front().score, kScoreFloor, kScoreCeiling);
    return kScoreWeight * top + kLeadWeight * leadOf(candidates);
}

// How clearly a run reads as one of `categories`: as confidenceOf, but with the lead over the best class
// outside them (a letter and a digit alike, Ｚ and ２, are no rivals here). The floor's share when the best
// class is outside them.
double categoryConfidenceOf(std::span<const Candidate> candidates, int32_t categories) {
    if ((categoryOf(candidates.front().code) & categories) == 0) return kScoreWeight * kScoreFloor;
    const double top = std::clamp<double>(candidates.front().score, kScoreFloor, kScoreCeiling);
    double lead = kMaxLead;
    for (const auto& c : candidates.subspan(1)) {
        if ((categoryOf(c.code) & categories) == 0) {
            lead = std::min(kMaxLead, static_cast<double>(candidates.front().score - c.score));
            break;
        }
    }
    return kScoreWeight * top + kLeadWeight * lead;
}

// Punctuation, symbols and the iteration marks ヽヾゝゞ: what a dot, flick or hook split off a character
// reads as.
bool isMarkClass(CharCode code) {
    return (categoryOf(code) & (SCRIBENG_CAT_OTHER | SCRIBENG_CAT_PUNCTUATION)) != 0 ||
           (code >= 0x8152 && code <= 0x8155);
}

bool isMarkKind(MarkKind kind) {
    return kind == MarkKind::Small || kind == MarkKind::Dot || kind == MarkKind::LongVowel;
}

// Letters, digits, ー and symbols: narrower than a kana or kanji.
bool isNarrow(CharCode code) { return code == kLongVowelMark || (categoryOf(code) & kWideCategories) == 0; }

// The kana a voiced kana voices (で: て, ぱ: は, ヴ: ウ), or none.
std::optional<CharCode> voicedBaseOf(CharCode code) {
    static constexpr std::pair<CharCode, CharCode> kVoiced[] = {
        {0x82AA, 0x82A9}, {0x82AC, 0x82AB}, {0x82AE, 0x82AD}, {0x82B0, 0x82AF}, {0x82B2, 0x82B1},  // が-ご
        {0x82B4, 0x82B3}, {0x82B6, 0x82B5}, {0x82B8, 0x82B7}, {0x82BA, 0x82B9}, {0x82BC, 0x82BB},  // ざ-ぞ
        {0x82BE, 0x82BD}, {0x82C0, 0x82BF}, {0x82C3, 0x82C2}, {0x82C5, 0x82C4}, {0x82C7, 0x82C6},  // だ-ど
        {0x82CE, 0x82CD}, {0x82CF, 0x82CD}, {0x82D1, 0x82D0}, {0x82D2, 0x82D0}, {0x82D4, 0x82D3},  // ば-ぷ
        {0x82D5, 0x82D3}, {0x82D7, 0x82D6}, {0x82D8, 0x82D6}, {0x82DA, 0x82D9}, {0x82DB, 0x82D9},  // ぷ-ぽ
        {0x834B, 0x834A}, {0x834D, 0x834C}, {0x834F, 0x834E}, {0x8351, 0x8350}, {0x8353, 0x8352},  // ガ-ゴ
        {0x8355, 0x8354}, {0x8357, 0x8356}, {0x8359, 0x8358}, {0x835B, 0x835A}, {0x835D, 0x835C},  // ザ-ゾ
        {0x835F, 0x835E}, {0x8361, 0x8360}, {0x8364, 0x8363}, {0x8366, 0x8365}, {0x8368, 0x8367},  // ダ-ド
        {0x836F, 0x836E}, {0x8370, 0x836E}, {0x8372, 0x8371}, {0x8373, 0x8371}, {0x8375, 0x8374},  // バ-ブ
        {0x8376, 0x8374}, {0x8378, 0x8377}, {0x8379, 0x8377}, {0x837B, 0x837A}, {0x837C, 0x837A},  // プ-ポ
        {0x8394, 0x8345},                                                                          // ヴ
    };
    for (const auto& [voiced, base] : kVoiced) {
        if (voiced == code) return base;
    }
    return std::nullopt;
}

bool isKatakana(CharCode code) { return (categoryOf(code) & 0x004) != 0 && code != kLongVowelMark; }

// The script of a reading for its neighbours: hiragana, katakana (ー apart: it only follows katakana) or
// kanji; 0 for ー, letters, digits and symbols.
int32_t scriptOf(CharCode code) {
    if (code == kLongVowelMark) return 0;
    const int32_t category = categoryOf(code);
    if ((category & (SCRIBENG_CAT_KANJI1 | SCRIBENG_CAT_KANJI2)) != 0) return SCRIBENG_CAT_KANJI1;
    return category & (SCRIBENG_CAT_HIRAGANA | SCRIBENG_CAT_KATAKANA);
}

// How well a reading fits between neighbours of scripts `before` and `after` (0 where there is none): per
// neighbour, fully in the same script, half for a kana beside the other kana (a katakana between hiragana is
// still kana, as against a kanji), none otherwise. ー counts as katakana where a neighbour is katakana, and
// fits nowhere else.
double scriptFit(CharCode code, int32_t before, int32_t after) {
    int32_t script = scriptOf(code);
    if (code == kLongVowelMark) {
        if (before != SCRIBENG_CAT_KATAKANA && after != SCRIBENG_CAT_KATAKANA) return 0;
        script = SCRIBENG_CAT_KATAKANA;
    }
    double fit = 0;
    for (const int32_t neighbour : {before, after}) {
        if (script == 0 || neighbour == 0) continue;
        if (script == neighbour)
            fit += 1;
        else if (script != SCRIBENG_CAT_KANJI1 && neighbour != SCRIBENG_CAT_KANJI1)
            fit += kKanaBesideKana;
    }
    return fit;
}

}  // namespace

double widestUnsplitGap(double length, size_t pieces, double piecesLength) {
    const double shortness =
        pieces == 2 ? std::clamp((kUnsplitLength - length) / (kUnsplitLength - kLoneLength), 0.0, 1.0) : 0.0;
    return kClearGap + (kUnsplitGap + (piecesLength <= kLoneLength ? kApartGap : 0.0)) * shortness;
}

bool wholeReadsAsWell(std::span<const Candidate> whole, std::span<const SearchedChar> pieces) {
    double clarity = 0, score = 0;
    for (const auto& piece : pieces) {
        clarity += confidenceOf(piece.candidates) / static_cast<double>(pieces.size());
        score += piece.candidates.front().score / static_cast<double>(pieces.size());
    }
    return confidenceOf(whole) >= clarity ||
           (whole.front().score >= score - kUnsplitScoreBelow && leadOf(whole) >= kUnsplitLead);
}

bool loneReadsWhole(std::span<const Candidate> whole, std::span<const SearchedChar> pieces,
                    std::span<const Candidate> writtenWhole, std::span<const SearchedChar> writtenPieces) {
    return wholeReadsAsWell(whole, pieces) ||
           (!writtenWhole.empty() && writtenPieces.size() == pieces.size() &&
            wholeReadsAsWell(writtenWhole, writtenPieces));
}

void preferRowKind(std::vector<SearchedChar>& chars) {
    if (chars.size() < kRowKindLeast) return;
    const auto kindOf = [](const SearchedChar& c) {
        return c.candidates.empty() ? 0 : categoryOf(c.candidates.front().code) & kNarrowPieceCategories;
    };
    const auto closeDigit = [](std::vector<Candidate>& list) {
        const float top = list.front().score;
        return std::find_if(list.begin(), list.end(), [top](const Candidate& c) {
            return c.score >= top - kRowKindMargin && (categoryOf(c.code) & SCRIBENG_CAT_DIGIT) != 0;
        });
    };
    size_t digits = 0;
    for (auto& c : chars) {
        const int32_t kind = kindOf(c);
        if (kind == SCRIBENG_CAT_DIGIT) {
            ++digits;
        } else if (kind != SCRIBENG_CAT_LATIN || closeDigit(c.candidates) == c.candidates.end()) {
            return;
        }
    }
    if (2 * digits < chars.size() || digits == chars.size()) return;
    for (auto& c : chars) {
        if (kindOf(c) != SCRIBENG_CAT_LATIN) continue;
        auto& list = c.candidates;
        const auto digit = closeDigit(list);
        std::rotate(list.begin(), digit, digit + 1);
    }
}

void preferKindOfRun(std::vector<SearchedChar>& chars) {
    std::vector<int32_t> kinds;
    kinds.reserve(chars.size());
    for (const auto& c : chars)
        kinds.push_back(
            c.candidates.empty() ? 0 : categoryOf(c.candidates.front().code) & kNarrowPieceCategories);
    for (size_t begin = 0, end = 0; begin < chars.size(); begin = std::max(end, begin + 1)) {
        for (end = begin; end < chars.size() && kinds[end] != 0;) ++end;
        const auto digits = static_cast<size_t>(std::count(kinds.begin() + static_cast<std::ptrdiff_t>(begin),
                                                           kinds.begin() + static_cast<std::ptrdiff_t>(end),
                                                           SCRIBENG_CAT_DIGIT));
        const size_t length = end - begin;
        for (size_t i = begin; length >= 2 && i < end; ++i) {
            // The kind every other character of the run reads as, if they agree.
            const size_t otherDigits = digits - (kinds[i] == SCRIBENG_CAT_DIGIT ? 1 : 0);
            const int32_t rest = otherDigits == length - 1 ? SCRIBENG_CAT_DIGIT
                                 : otherDigits == 0        ? SCRIBENG_CAT_LATIN
                                                           : 0;
            if (rest == 0 || rest == kinds[i]) continue;
            auto& list = chars[i].candidates;
            const float least = list.front().score - static_cast<float>(kRunKindMargin) - kSameScore;
            const auto other = std::find_if(list.begin(), list.end(), [&](const Candidate& c) {
                return c.score >= least && (categoryOf(c.code) & rest) != 0;
            });
            if (other != list.end()) std::rotate(list.begin(), other, other + 1);
        }
    }
}

void preferScriptOfNeighbours(std::vector<SearchedChar>& chars) {
    if (chars.size() < 2) return;
    // The neighbours' scripts as read before any change, so that the order of the pass does not matter. A ー
    // neighbour is katakana here: it only follows katakana.
    std::vector<int32_t> scripts;
    std::vector<bool> latin;
    scripts.reserve(chars.size());
    for (const auto& c : chars) {
        const CharCode code = c.candidates.empty() ? 0 : c.candidates.front().code;
        scripts.push_back(code == kLongVowelMark ? SCRIBENG_CAT_KATAKANA : scriptOf(code));
        latin.push_back((categoryOf(code) & kNarrowPieceCategories) != 0);
    }
    for (size_t i = 0; i < chars.size(); ++i) {
        auto& list = chars[i].candidates;
        if (list.empty()) continue;
        const int32_t before = i > 0 ? scripts[i - 1] : 0;
        const int32_t after = i + 1 < chars.size() ? scripts[i + 1] : 0;
        const bool besideKatakana = before == SCRIBENG_CAT_KATAKANA || after == SCRIBENG_CAT_KATAKANA;
        const auto fit = [&](CharCode code) { return scriptFit(code, before, after); };
        const CharCode top = list.front().code;
        const float topScore = list.front().score;
        // A symbol among kana or kanji: the best of them close below it. So is a letter or digit whose
        // neighbours read kana or kanji, with no letter or digit two places away either (て read ｒ among
        // kanji; a digit of a number misread as a kanji leaves the other digits as they are), within a wider
        // margin. Punctuation stays, but for katakana twins.
        const auto latinAt = [&](size_t at) { return at < latin.size() && latin[at]; };
        const bool stray = latinAt(i) && (i == 0 || scripts[i - 1] != 0) &&
                           (i + 1 == chars.size() || scripts[i + 1] != 0) && (i < 2 || !latinAt(i - 2)) &&
                           !latinAt(i + 2);
        const bool symbol = (categoryOf(top) & SCRIBENG_CAT_OTHER) != 0 || stray;
        const bool byFit = symbol ? before != 0 || after != 0 : scriptOf(top) != 0 || top == kLongVowelMark;
        const float least = topScore - static_cast<float>(stray    ? kStrayMargin
                                                          : symbol ? kSymbolMargin
                                                                   : kTwinMargin);
        // Beside katakana, a katakana the models score exactly like the best reading (ロ 口, ト 卜, ニ 二:
        // twins share their weights) and a ー among the first three (a lying ー reads as 一) win a tie of
        // fit: a katakana neighbour decides even where the other neighbour is a kanji.
        const auto twin = [&](const Candidate& c, size_t rank) {
            if (!besideKatakana) return false;
            if (c.code == kLongVowelMark) return rank <= 2;
            return !isKatakana(top) && top != kLongVowelMark && c.score >= topScore - kSameScore &&
                   isKatakana(c.code);
        };
        auto best = list.end();
        double bestFit = symbol ? -1 : fit(top);
        bool bestTwin = false;
        for (size_t rank = 1; rank < list.size(); ++rank) {
            const Candidate& c = list[rank];
            const bool isTwin = twin(c, rank);
            if (!isTwin) {
                if (!byFit || c.score < least) continue;
                const int32_t script = scriptOf(c.code);
                // A kana never gives way to a kanji: the kanji look-alikes of kana are rare characters, and
                // the common ones (口, 二) come first in the models already.
                if (symbol ? (categoryOf(c.code) & kWideCategories) == 0
                           : (script == scriptOf(top) && c.code != kLongVowelMark) ||
                                 script == SCRIBENG_CAT_KANJI1)
                    continue;
            }
            if (const double f = fit(c.code); f > bestFit || (f == bestFit && isTwin && !bestTwin)) {
                bestFit = f;
                bestTwin = isTwin;
                best = list.begin() + static_cast<std::ptrdiff_t>(rank);
            }
        }
        if (best != list.end()) std::rotate(list.begin(), best, best + 1);
    }
}

namespace {

// Kana that ゃゅょ (ャュョ) follow: the i row, and て で ふ (テュ, フュ) and ヴ.
constexpr CharCode kBeforeSmallYa[] = {
    0x82AB, 0x82AC, 0x82B5, 0x82B6, 0x82BF, 0x82C0,
    0x82C9, 0x82D0, 0x82D1, 0x82D2, 0x82DD,  // きぎしじちぢにひびぴみ
    0x82E8, 0x82C4, 0x82C5, 0x82D3,          // りてでふ
    0x834C, 0x834D, 0x8356, 0x8357, 0x8360, 0x8361,
    0x836A, 0x8371, 0x8372, 0x8373, 0x837E,  // キギシジチヂニヒビピミ
    0x838A, 0x8365, 0x8366, 0x8374, 0x8394,  // リテデフヴ
};

// Whether the small kana `small` may follow a character read as `before`.
bool smallMayFollow(CharCode small, CharCode before) {
    switch (small) {
        case 0x82C1:  // っ ッ ヵ ヶ follow kanji and digits too
        case 0x8362:
        case 0x8395:
        case 0x8396:
            return true;
        case 0x82E1:  // ゃゅょ ャュョ
        case 0x82E3:
        case 0x82E5:
        case 0x8383:
        case 0x8385:
        case 0x8387:
            return std::find(std::begin(kBeforeSmallYa), std::end(kBeforeSmallYa), before) !=
                   std::end(kBeforeSmallYa);
        default:
            return (categoryOf(before) & (SCRIBENG_CAT_HIRAGANA | SCRIBENG_CAT_KATAKANA)) != 0 &&
                   before != kLongVowelMark;
    }
}

}  // namespace

void preferNoLongVowelAfterNoKana(std::vector<SearchedChar>& chars) {
    for (size_t i = 0; i < chars.size(); ++i) {
        auto& list = chars[i].candidates;
        if (list.empty() || list.front().code != kLongVowelMark) continue;
        const CharCode before =
            i > 0 && !chars[i - 1].candidates.empty() ? chars[i - 1].candidates.front().code : 0;
        if ((categoryOf(before) & (SCRIBENG_CAT_HIRAGANA | SCRIBENG_CAT_KATAKANA)) != 0) continue;
        auto other = std::find_if(list.begin() + 1, list.end(), [](const Candidate& c) {
            return scriptOf(c.code) != 0 && !isLoneRadical(c.code);
        });
        if (other != list.end()) std::rotate(list.begin(), other, other + 1);
    }
}

void preferFullSizeKana(std::vector<SearchedChar>& chars, int32_t mask) {
    for (size_t i = 0; i < chars.size(); ++i) {
        auto& list = chars[i].candidates;
        if (list.empty()) continue;
        const auto full = fullFormOf(list.front().code);
        if (i == 0 || chars[i - 1].candidates.empty() || !full || !allowedBy(*full, mask) ||
            smallMayFollow(list.front().code, chars[i - 1].candidates.front().code))
            continue;
        list.erase(
            std::remove_if(list.begin() + 1, list.end(), [&](const Candidate& c) { return c.code == *full; }),
            list.end());
        list.front().code = *full;
    }
}

namespace {

// The same kana of the other script (け for ケ, ケ for け), or none for a code that is no kana.
std::optional<CharCode> otherScriptOf(CharCode code) {
    constexpr CharCode kSmallA = 0x829F, kN = 0x82F1, kSmallKatakanaA = 0x8340, kMi = 0x837E;
    if (code >= kSmallA && code <= kN) {
        const CharCode k = static_cast<CharCode>(kSmallKatakanaA + (code - kSmallA));
        return k <= kMi ? k : static_cast<CharCode>(k + 1);  // 0x837F is no katakana
    }
    if (code >= kSmallKatakanaA && code <= kMi)
        return static_cast<CharCode>(kSmallA + (code - kSmallKatakanaA));
    if (code > kMi + 1 && code <= 0x8393)
        return static_cast<CharCode>(kSmallA + (code - kSmallKatakanaA - 1));
    return std::nullopt;
}

}  // namespace

float baseLeadOf(std::span<const Candidate> base, CharCode voiced) {
    const auto of = voicedBaseOf(voiced);
    // The kana the leader voices in the other script is the same kana read otherwise (け as ケ), no other
    // one.
    if (base.empty() || !of || otherScriptOf(fullFormOf(base.front().code).value_or(base.front().code)) == of)
        return 0;
    const auto it = std::ranges::find_if(
        base, [&](const Candidate& c) { return fullFormOf(c.code).value_or(c.code) == *of; });
    return base.front().score - (it != base.end() ? it->score : base.back().score);
}

void preferVoicingOfMarks(std::vector<Candidate>& list, bool marked, std::optional<CharCode> base,
                          float baseLead) {
    if (list.empty() || !voicedBaseOf(list.front().code) || (marked && !base)) return;
    const float top = list.front().score;
    auto pick = list.end();
    if (!marked) {
        pick = std::find_if(list.begin() + 1, list.end(), [top](const Candidate& x) {
            return x.score >= top - kUnmarkedMargin && !voicedBaseOf(x.code);
        });
    } else {
        const CharCode read = fullFormOf(*base).value_or(*base);
        if (voicedBaseOf(list.front().code) == read) return;
        const float margin =
            static_cast<float>(kVoicedBaseMargin) + std::clamp(baseLead, 0.0F, kBaseLeadMost);
        pick = std::find_if(list.begin() + 1, list.end(), [top, read, margin](const Candidate& x) {
            return x.score >= top - margin && voicedBaseOf(x.code) == read;
        });
    }
    if (pick != list.end()) std::rotate(list.begin(), pick, pick + 1);
}

namespace {

class Search {
public:
    // Internal boundary states: before stroke i (0..n); 0 and n always begin / end a character.
    enum class Boundary : uint8_t { Free, Required, Forbidden };

    // A search of `strokes` in the frame `line`. They are strokes `offset` onwards of the selection (runs are
    // cached by their place in it), and `after` more strokes follow them in other searches sharing `budget`.
    Search(const Recognizer& recognizer, std::span<const Stroke> strokes, const LineFrame& line,
           int32_t offset, size_t after, std::optional<CharRun> forced, int32_t mask, size_t limit,
           RunCache& cache, Budget& budget)
        : m_recognizer(recognizer),
          m_strokes(strokes),
          m_offset(offset),
          m_after(after),
          m_forced(forced),
          m_mask(mask),
          m_limit(limit),
          m_cache(cache),
          m_shared(budget),
          m_line(line) {
        const auto n = static_cast<int32_t>(strokes.size());
        m_boxes.reserve(strokes.size());
        for (const auto& s : strokes) m_boxes.push_back(boundsOf(s));
        for (const auto& b : m_boxes)
            m_extents.push_back(b.empty() ? std::optional<Extent>{} : m_line.extentOf(b));
        m_boundary.assign(static_cast<size_t>(n) + 1, Boundary::Free);
        for (int32_t i = 1; i < n; ++i) {
            if (!canStartAt(i)) m_boundary[static_cast<size_t>(i)] = Boundary::Forbidden;
        }
        if (forced) {
            for (int32_t i = forced->first + 1; i <= forced->last; ++i)
                m_boundary[static_cast<size_t>(i)] = Boundary::Forbidden;
            m_boundary[static_cast<size_t>(forced->first)] = Boundary::Required;
            m_boundary[static_cast<size_t>(forced->last) + 1] = Boundary::Required;
        }
        m_boundary[0] = m_boundary[static_cast<size_t>(n)] = Boundary::Required;
        if (m_cache.mask != mask) m_cache = RunCache{mask, {}, {}, {}, {}};
        m_budget = kBudgetPerStroke * static_cast<size_t>(n) + kBudgetBase;
    }

    // The candidates of one run, whatever its geometry: the full reading, or the trial one (cheaper, and
    // cached by an earlier search) unless `full`.
    std::vector<Candidate> candidatesOf(CharRun run, bool full) {
        m_unbounded = true;
        m_chosen = full;
        auto info = runInfo(run, true);
        if (!info) return {};
        if (info->candidates.size() > m_limit) info->candidates.resize(m_limit);
        return std::move(info->candidates);
    }

    std::vector<SearchedChar> run() {
        const auto n = static_cast<int32_t>(m_strokes.size());
        // A lone character is read whole: never split into a character and a mark or into pieces.
        if (!m_forced && n <= kMaxRunStrokes && (m_mask & kWideCategories) != 0 &&
            m_line.along.length() <= kLoneLength * std::max(m_line.across.length(), 1.0)) {
            if (auto whole = readWhole()) return readLone(std::move(*whole));
        }
        // Runs ending at each stroke, and for each the best cost of a path ending with it.
        std::vector<std::vector<RunInfo>> endingAt(static_cast<size_t>(n));
        std::vector<std::vector<double>> best(static_cast<size_t>(n));
        std::vector<std::vector<int>> from(static_cast<size_t>(n));
        constexpr double kNone = std::numeric_limits<double>::infinity();
        for (int32_t last = 0; last < n && !m_exhausted; ++last) {
            if (!closes(last)) continue;
            const bool forcedEnd = m_forced && m_forced->last == last;
            // The shortest run ending here (no boundary that may be cut inside) is taken whatever its shape,
            // so that some partition always exists.
            bool shortest = true;
            for (int32_t first = last; first >= 0 && (forcedEnd || last - first < kMaxRunStrokes); --first) {
                if (first < last && m_boundary[static_cast<size_t>(first) + 1] == Boundary::Required) break;
                if (m_boundary[static_cast<size_t>(first)] == Boundary::Forbidden) continue;
                // Nothing to recognise where no partition of the strokes before reaches.
                if (first > 0 && endingAt[static_cast<size_t>(first) - 1].empty()) {
                    shortest = false;
                    continue;
                }
                const bool anyShape = forcedEnd || shortest;
                shortest = false;
                auto info = runInfo({first, last}, anyShape);
                if (m_exhausted) break;
                if (!info) {
                    if (lengthOf({first, last}) > kMaxLength * m_line.charSize) break;
                    continue;
                }
                double cost = kNone;
                int pick = -1;
                if (last == n - 1) info->cost -= info->narrowRefund;
                if (first == 0) {
                    cost = info->cost - info->narrowRefund;
                } else {
                    const auto& before = endingAt[static_cast<size_t>(first) - 1];
                    for (size_t k = 0; k < before.size(); ++k) {
                        const double c =
                            best[static_cast<size_t>(first) - 1][k] + info->cost + pairCost(before[k], *info);
                        if (c < cost) {
                            cost = c;
                            pick = static_cast<int>(k);
                        }
                    }
                }
                if (cost == kNone) continue;
                endingAt[static_cast<size_t>(last)].push_back(std::move(*info));
                best[static_cast<size_t>(last)].push_back(cost);
                from[static_cast<size_t>(last)].push_back(pick);
            }
        }
        // The best path to the last stroke reached; the strokes after it (none unless the search ran out of
        // recognitions or found no character for some stroke) are read in pieces.
        int32_t end = n - 1;
        while (end >= 0 && endingAt[static_cast<size_t>(end)].empty()) --end;
        std::vector<SearchedChar> out;
        if (end >= 0) {
            const auto& ends = best[static_cast<size_t>(end)];
            int k = static_cast<int>(std::min_element(ends.begin(), ends.end()) - ends.begin());
            for (int32_t last = end; last >= 0 && k >= 0;) {
                RunInfo& info = endingAt[static_cast<size_t>(last)][static_cast<size_t>(k)];
                if (info.candidates.size() > m_limit) info.candidates.resize(m_limit);
                out.push_back({info.run, std::move(info.candidates)});
                k = from[static_cast<size_t>(last)][static_cast<size_t>(k)];
                last = info.run.first - 1;
            }
        }
        std::reverse(out.begin(), out.end());
        if (end < n - 1) {
            for (const CharRun& piece : fallbackPieces(end + 1)) {
                auto info = runInfo(piece, true);
                if (!info) return {};
                if (info->candidates.size() > m_limit) info->candidates.resize(m_limit);
                out.push_back({piece, std::move(info->candidates)});
            }
        }
        if (!m_exhausted) readChosen(out);
        if (!m_exhausted) mendSplits(out);
        if (!m_exhausted) splitNarrow(out);
        if (auto whole = unsplitMark(out)) return readLone(std::move(*whole));
        if (auto whole = unsplitLone(out, true)) return readLone(std::move(*whole));
        if (!m_exhausted) readVoicingMarks(out);
        preferScriptOfNeighbours(out);
        preferKindOfRun(out);
        preferFullSizeKana(out, m_mask);
        preferNoLongVowelAfterNoKana(out);
        if (m_line.direction == Direction::Horizontal) preferRowKind(out);
        return out;
    }

    // A character of a row that falls apart into narrow pieces with clear gaps between them (a narrow hand's
    // digits or letters written side by side: 3 and 6 read together as 凡) is those pieces when each reads as
    // a letter or digit at least as clearly as the whole reads. The pieces of a kanji (北 as Ｉ and ｔ) read
    // less clearly than it. Beside a letter or digit the row is one of them: pieces up to kNarrowBesideLatin
    // of the size count, and a piece reads clearly when it leads the classes that are neither (２ with Ｚ
    // close behind is still clearly a letter or digit). A character whose neighbour splits is looked at
    // again. Each piece is a chosen reading: at most kMaxChosenReadings per selection. A forced run is kept
    // whole.
    void splitNarrow(std::vector<SearchedChar>& chars) {
        if (m_line.direction != Direction::Horizontal) return;
        std::vector<uint8_t> tried(chars.size(), 0);  // per character: 1 tried alone, 2 beside a letter
        for (bool again = true; again;) {
            again = false;
            for (size_t i = 0; i < chars.size(); ++i) {
                // A letter or digit itself is split by the plain rule only.
                const bool beside =
                    !readsLatin(chars[i]) && ((i > 0 && readsLatin(chars[i - 1])) ||
                                              (i + 1 < chars.size() && readsLatin(chars[i + 1])));
                const uint8_t mode = beside ? 2 : 1;
                if ((tried[i] & mode) != 0) continue;
                tried[i] |= mode;
                auto read = narrowReading(chars[i], beside);
                if (read.empty()) continue;
                const auto at = static_cast<std::ptrdiff_t>(i);
                chars.erase(chars.begin() + at);
                chars.insert(chars.begin() + at, std::make_move_iterator(read.begin()),
                             std::make_move_iterator(read.end()));
                // The pieces have no clear gap inside (never split again); their neighbours are tried beside
                // them.
                tried.insert(tried.begin() + at, read.size() - 1, 3);
                tried[i + read.size() - 1] = 3;
                again = true;
            }
        }
    }

    // Two neighbours that together are hardly longer than one character (kMendLength) with no wide gap
    // between them (kMendGap) are one character when the whole, read as a chosen character, reads at least as
    // well as they do (wholeReadsAsWell): a left or right part read apart (片 反 of 版, イ 吏 of 使, 富 川 of
    // 副), which the trial readings, framed in the line, took for two. Two characters side by side are
    // longer, and two written tight read together as a kanji of many strokes score far below their pieces. A
    // 、 or 。 and the forced run stay as they are; a mended character is looked at again beside its next
    // neighbour. Each whole is a chosen reading: at most kMaxChosenReadings per selection.
    void mendSplits(std::vector<SearchedChar>& chars) {
        const double size = m_line.charSize;
        for (size_t i = 0; i + 1 < chars.size();) {
            const SearchedChar& a = chars[i];
            const SearchedChar& b = chars[i + 1];
            const Interval along = alongOf(a.run), next = alongOf(b.run);
            if ((m_forced && (a.run == *m_forced || b.run == *m_forced)) || readsDotMark(a) ||
                readsDotMark(b) || unionOf(along, next).length() > kMendLength * size ||
                next.lo - along.hi > kMendGap * size || m_shared.chosenLeft == 0) {
                ++i;
                continue;
            }
            --m_shared.chosenLeft;
            auto whole = readFull({a.run.first, b.run.last});
            if (!whole || !wholeReadsAsWell(whole->candidates, std::span(chars).subspan(i, 2))) {
                ++i;
                continue;
            }
            chars[i] = {whole->run, std::move(whole->candidates)};
            chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    }

    // Each character read as a voiced kana is read as its marks place it (see kVoicedBaseMargin). A lone
    // character goes by marks that stand at its upper right only: without neighbours, a voiced kana with no
    // such strokes keeps its reading. Reading the strokes before the marks is a chosen reading: at most
    // kMaxChosenReadings per selection.
    void readVoicingMarks(std::vector<SearchedChar>& chars) {
        const bool lone = chars.size() == 1;
        for (auto& c : chars) {
            auto& list = c.candidates;
            if (list.empty() || !voicedBaseOf(list.front().code)) continue;
            const int32_t marks = trailingMarksOf(c.run);
            if (marks == 0) {
                if (!lone) preferVoicingOfMarks(list, false, std::nullopt);
                continue;
            }
            if (m_shared.chosenLeft == 0) continue;
            --m_shared.chosenLeft;
            const auto base = readFull({c.run.first, c.run.last - marks});
            if (base && !base->candidates.empty())
                preferVoicingOfMarks(list, true, base->candidates.front().code,
                                     baseLeadOf(base->candidates, list.front().code));
        }
    }

    // A character read whole, read again as its marks place it.
    std::vector<SearchedChar> readLone(SearchedChar whole) {
        std::vector<SearchedChar> out{std::move(whole)};
        if (!m_exhausted) readVoicingMarks(out);
        return out;
    }

    // How many of the last strokes of the run (one or two, leaving one at least) stand each at its upper
    // right, small (kVoicingMarkExtent): the marks of a voiced kana. None when no such strokes are there.
    int32_t trailingMarksOf(CharRun run) const {
        Box ink;
        for (int32_t s = run.first; s <= run.last; ++s) ink.add(m_boxes[static_cast<size_t>(s)]);
        if (ink.empty()) return 0;
        for (int32_t count = std::min(2, run.last - run.first); count >= 1; --count) {
            bool marks = true;
            for (int32_t s = run.last - count + 1; s <= run.last; ++s) {
                const Box& box = m_boxes[static_cast<size_t>(s)];
                marks = marks && !box.empty() &&
                        static_cast<double>(std::max(box.width(), box.height())) <=
                            kVoicingMarkExtent * m_line.charSize &&
                        box.left + box.right >= ink.left + ink.right &&
                        box.top + box.bottom <= ink.top + ink.bottom;
            }
            if (marks) return count;
        }
        return 0;
    }

    static bool readsDotMark(const SearchedChar& c) {
        return !c.candidates.empty() && isDotMark(c.candidates.front().code);
    }

    static bool readsLatin(const SearchedChar& c) {
        return !c.candidates.empty() && (categoryOf(c.candidates.front().code) & kNarrowPieceCategories) != 0;
    }

    // The pieces of `c` read as letters or digits, or none when it stays whole (see splitNarrow).
    std::vector<SearchedChar> narrowReading(const SearchedChar& c, bool besideLatin) {
        // A run the writer grouped (a regroup) stays one character.
        if ((m_forced && c.run == *m_forced) || c.candidates.empty()) return {};
        const auto pieces = narrowPieces(c.run, besideLatin ? kNarrowBesideLatin : kNarrowBelow);
        if (pieces.size() < 2 || pieces.size() > m_shared.chosenLeft) return {};
        m_shared.chosenLeft -= pieces.size();
        const double whole = confidenceOf(c.candidates);
        std::vector<SearchedChar> read;
        for (const CharRun& piece : pieces) {
            auto info = readFull(piece);
            if (!info || info->candidates.empty()) return {};
            const double clear = besideLatin ? categoryConfidenceOf(info->candidates, kNarrowPieceCategories)
                                             : confidenceOf(info->candidates);
            if ((categoryOf(info->candidates.front().code) & kNarrowPieceCategories) == 0 || clear < whole)
                return {};
            read.push_back({piece, std::move(info->candidates)});
        }
        return read;
    }

    // The run in pieces of consecutive strokes, each narrow (shorter along the line than `below` of the
    // character size) and each clear of the next by kNarrowGap; none when it does not fall apart so.
    std::vector<CharRun> narrowPieces(CharRun run, double below) const {
        std::vector<CharRun> pieces;
        std::optional<Interval> current;
        int32_t start = run.first;
        for (int32_t s = run.first; s <= run.last; ++s) {
            const auto& e = m_extents[static_cast<size_t>(s)];
            if (!e) continue;
            if (current && e->along.lo >= current->hi + kNarrowGap * m_line.charSize) {
                // The rest of the run must keep clear of this piece too.
                bool clear = true;
                for (int32_t t = s + 1; t <= run.last; ++t) {
                    const auto& f = m_extents[static_cast<size_t>(t)];
                    if (f && f->along.lo < current->hi + kNarrowGap * m_line.charSize) clear = false;
                }
                if (clear) {
                    pieces.push_back({start, s - 1});
                    start = s;
                    current.reset();
                }
            }
            current = current ? unionOf(*current, e->along) : e->along;
        }
        pieces.push_back({start, run.last});
        for (const CharRun& p : pieces) {
            if (lengthOf(p) >= below * m_line.charSize) return {};
        }
        return pieces.size() >= 2 ? pieces : std::vector<CharRun>{};
    }

    // Ink a little longer than a lone character may be (another writer's wide, tall or slanted hand) read as
    // characters with no clear gap between them (`gaps`; else whatever the gaps) is one character when the
    // whole reads as well as its pieces (wholeReadsAsWell).
    std::optional<SearchedChar> unsplitLone(const std::vector<SearchedChar>& chars, bool gaps) {
        const auto n = static_cast<int32_t>(m_strokes.size());
        if (chars.size() < 2 || m_forced || n > kMaxRunStrokes || (m_mask & kWideCategories) == 0) {
            return std::nullopt;
        }
        const double length = m_line.along.length() / std::max(m_line.across.length(), 1.0);
        if (length <= kStackLength && m_line.direction == Direction::Vertical &&
            std::ranges::all_of(chars, [](const SearchedChar& c) {
                return !c.candidates.empty() && isNarrow(c.candidates.front().code);
            }))
            return readWhole();
        if (length > kUnsplitLength) return std::nullopt;
        double piecesLength = 0;
        for (const auto& c : chars) piecesLength += alongOf(c.run).length();
        const double gap =
            widestUnsplitGap(length, chars.size(), piecesLength / std::max(m_line.across.length(), 1.0)) *
            m_line.charSize;
        for (size_t i = 1; gaps && i < chars.size(); ++i) {
            if (alongOf(chars[i].run).lo - alongOf(chars[i - 1].run).hi >= gap) return std::nullopt;
        }
        auto whole = readWhole();
        if (!whole) return std::nullopt;
        if (wholeReadsAsWell(whole->candidates, chars)) return whole;
        // Read as written only where the readings as read split it (loneReadsWhole).
        const auto written = readWritten(whole->run);
        std::vector<SearchedChar> pieces;
        for (const auto& c : chars) {
            auto piece = readWritten(c.run);
            if (!written || !piece) return std::nullopt;
            pieces.push_back(std::move(*piece));
        }
        if (!loneReadsWhole(whole->candidates, chars, written->candidates, pieces)) return std::nullopt;
        return whole;
    }

private:
    bool closes(int32_t last) const {
        return m_boundary[static_cast<size_t>(last) + 1] != Boundary::Forbidden;
    }

    // Stroke i may begin a character unless it lies mostly within the strokes just before it.
    bool canStartAt(int32_t i) const {
        if (!m_extents[static_cast<size_t>(i)]) return true;
        const Interval stroke = m_extents[static_cast<size_t>(i)]->along;
        // The block of strokes before i that overlap one another along the line.
        std::optional<Interval> block;
        for (int32_t j = i - 1; j >= 0 && i - j <= kMaxRunStrokes; --j) {
            if (!m_extents[static_cast<size_t>(j)]) continue;
            const Interval e = m_extents[static_cast<size_t>(j)]->along;
            if (block && (e.hi < block->lo || e.lo > block->hi)) break;
            block = block ? unionOf(*block, e) : e;
        }
        if (!block) return true;
        // A new character either keeps clear of the block, or reaches beyond it and overlaps only a little of
        // the block and of itself.
        const double overlap = std::min(block->hi, stroke.hi) - std::max(block->lo, stroke.lo);
        return overlap <= 0 ||
               (stroke.hi > block->hi && overlap <= kStartOverlap * block->length() &&
                overlap <= std::max(kStartOverlap * stroke.length(), kStartOverlapOfSize * m_line.charSize));
    }

    // The strokes from `first` to the end in at most about kFallbackPieces runs: each at least an equal share
    // of the strokes, ended where a character may end once it is long enough (or where it must end, or at
    // kMaxRunStrokes strokes when no character may end). Read whatever the budget: m_unbounded.
    std::vector<CharRun> fallbackPieces(int32_t first) {
        m_unbounded = true;
        const auto n = static_cast<int32_t>(m_strokes.size());
        const int32_t share = std::max<int32_t>(1, (n - first + static_cast<int32_t>(kFallbackPieces) - 1) /
                                                       static_cast<int32_t>(kFallbackPieces));
        std::vector<CharRun> pieces;
        int32_t start = first;
        for (int32_t i = first + 1; i <= n; ++i) {
            const Boundary at = m_boundary[static_cast<size_t>(i)];
            const int32_t count = i - start;
            const bool cut =
                at == Boundary::Required ||
                (count >= share &&
                 ((at == Boundary::Free && lengthOf({start, i - 1}) >= kFallbackLength * m_line.charSize) ||
                  (at != Boundary::Forbidden && count >= kMaxRunStrokes) ||
                  (!inForced(i) && count >= std::max(share, kMaxRunStrokes) * 2)));
            if (!cut) continue;
            pieces.push_back({start, i - 1});
            start = i;
        }
        return pieces;
    }

    // Boundary i lies inside the forced run.
    bool inForced(int32_t i) const { return m_forced && i > m_forced->first && i <= m_forced->last; }

    double lengthOf(CharRun run) const {
        std::optional<Interval> all;
        for (int32_t s = run.first; s <= run.last; ++s) {
            if (const auto& e = m_extents[static_cast<size_t>(s)])
                all = all ? unionOf(*all, e->along) : e->along;
        }
        return all ? all->length() : 0;
    }

    // The run scored, or none when it cannot be a character (unless `anyShape`) or nothing passes the mask.
    std::optional<RunInfo> runInfo(CharRun run, bool anyShape) {
        Box ink;
        std::vector<Interval> parts;
        for (int32_t s = run.first; s <= run.last; ++s) {
            ink.add(m_boxes[static_cast<size_t>(s)]);
            if (const auto& e = m_extents[static_cast<size_t>(s)]) parts.push_back(e->along);
        }
        if (ink.empty()) return std::nullopt;
        const double size = m_line.charSize;
        RunInfo info{run, m_line.extentOf(ink), 0, 0, MarkKind::None, {}, std::nullopt, 0};
        const double length = info.extent.along.length() / size;
        const double gap = innerGap(parts) / size;
        if (!anyShape && (length > kMaxLength || gap > kMaxInnerGap)) return std::nullopt;

        const auto count = static_cast<size_t>(run.last - run.first + 1);
        const std::span<const Stroke> strokes = m_strokes.subspan(static_cast<size_t>(run.first), count);
        // Past the budget only the runs every partition may need are recognised, and those only up to the
        // limit; one recognition is kept in reserve for each stroke still to come.
        if (!m_cache.runs.contains(keyOf(run))) {
            const auto toCome =
                static_cast<size_t>(static_cast<int32_t>(m_strokes.size()) - 1 - run.last) + m_after;
            if (!anyShape && (m_recognitions >= m_budget || m_shared.used + toCome >= m_shared.limit)) {
                return std::nullopt;
            }
            if (!m_unbounded && m_shared.used >= m_shared.limit) {
                m_exhausted = true;
                return std::nullopt;
            }
        }
        MarkKind kind = markKindOf(m_line, info.extent, static_cast<int>(count));
        // Tiny ink late across that is neither a tick nor closed on itself (as 。 is) is a small character
        // written low: a lower-case letter beside kana.
        if (kind == MarkKind::Dot && dotMarkOf(strokes) == kIdeographicComma && !isTick(strokes))
            kind = MarkKind::Small;
        info.kind = kind;
        info.candidates = adjustForMarks(recognized(run, strokes, info.extent), kind,
                                         std::max(length, info.extent.across.length() / size) <= kTinyExtent,
                                         m_line, strokes, m_mask);
        if (info.candidates.empty()) return std::nullopt;
        readEqualsSign(info.candidates, strokes, m_mask);

        double cost = kPerCharacter - confidenceOf(info.candidates);
        cost += kLongCost * std::max(0.0, length - kLongFrom);
        cost += kGapCost * std::max(0.0, gap - kGapFrom);
        if (kind == MarkKind::None || kind == MarkKind::Full) {
            const double extent = std::max(length, info.extent.across.length() / size);
            cost += kSmallCost * std::max(0.0, kSmallBelow - extent);
            const double narrow = kNarrowCost * std::max(0.0, kNarrowBelow - length);
            cost += narrow;
            // A narrow character (１, ｌ) standing apart from its neighbours is no piece of a character.
            if (m_line.direction == Direction::Horizontal && isNarrowClass(info.candidates.front().code)) {
                info.narrowRefund = kNarrowRefund * narrow / 2;
            }
        }
        // 、。 follow what they mark: a dot that begins the selection, with more ink after it, is the first
        // stroke of a character (the dot of う, ミ).
        if (kind == MarkKind::Dot && run.first == 0 && m_offset == 0 && count < m_strokes.size())
            cost += kLeadingMarkCost;
        info.cost = cost;
        leadingMarksOf(info);
        return info;
    }

    // The run's leading marks (see kLeadingMarksCost): the most strokes, up to kMaxLeadingMarkStrokes and
    // leaving one at least, that together are small and end along the line before the rest begins.
    void leadingMarksOf(RunInfo& info) const {
        const CharRun run = info.run;
        if (m_line.direction != Direction::Horizontal) return;
        for (int32_t count = std::min(kMaxLeadingMarkStrokes, run.last - run.first); count >= 1; --count) {
            Box marks;
            for (int32_t s = run.first; s < run.first + count; ++s)
                marks.add(m_boxes[static_cast<size_t>(s)]);
            std::optional<Interval> rest;
            for (int32_t s = run.first + count; s <= run.last; ++s) {
                if (const auto& e = m_extents[static_cast<size_t>(s)])
                    rest = rest ? unionOf(*rest, e->along) : e->along;
            }
            if (marks.empty() || !rest) continue;
            const Extent extent = m_line.extentOf(marks);
            if (std::max(extent.along.length(), extent.across.length()) >
                    kLeadingMarkExtent * m_line.charSize ||
                extent.along.hi > rest->lo)
                continue;
            info.leadingMarks = extent;
            info.restFrom = rest->lo;
            return;
        }
    }

    const std::vector<Candidate>& recognized(CharRun run, std::span<const Stroke> strokes,
                                             const Extent& extent) {
        const auto key = keyOf(run);
        auto& cache = m_written  ? m_cache.written
                      : m_wide   ? m_cache.wide
                      : m_chosen ? m_cache.chosen
                                 : m_cache.runs;
        auto it = cache.find(key);
        if (it == cache.end()) {
            // Enough candidates to find a kana among them after the marks are decided.
            const size_t wanted = std::max<size_t>(m_limit, 10);
            if (!m_chosen) {
                ++m_recognitions;
                ++m_shared.used;
            }
            // Trial readings frame a run in the line (its size against the line's tells a character from its
            // pieces); a chosen character is read in the square around its own ink, as a lone one is: Zinnia
            // reads it better where the characters of a line differ in size, slant and place.
            const Box frame = m_chosen ? Box{} : m_line.frameFor(extent);
            const size_t shortlist = m_wide ? kWideShortlist : m_chosen ? kChosenShortlist : kTrialShortlist;
            const size_t coarse = m_wide ? kWideCoarse : m_chosen ? kChosenCoarse : kTrialCoarse;
            // Only chosen characters are also read set upright: a trial reading weighs where characters end.
            it = cache
                     .emplace(key, m_recognizer.recognize(strokes, frame, m_mask, wanted, shortlist, coarse,
                                                          m_chosen && !m_written))
                     .first;
        }
        return it->second;
    }

    // A short line read as characters and marks (ゝヽ、・／ and the like) is one character written wide (こ,
    // ハ, バ): the whole, when it reads as no mark itself.
    std::optional<SearchedChar> unsplitMark(const std::vector<SearchedChar>& chars) {
        const auto n = static_cast<int32_t>(m_strokes.size());
        if (chars.size() < 2 || m_forced || n > kMaxRunStrokes ||
            m_line.along.length() > kMarkSplitLength * std::max(m_line.across.length(), 1.0)) {
            return std::nullopt;
        }
        if (std::none_of(chars.begin(), chars.end(),
                         [](const SearchedChar& c) { return isMarkClass(c.candidates.front().code); })) {
            return std::nullopt;
        }
        m_chosen = m_unbounded = true;
        auto info = runInfo({0, n - 1}, true);
        if (!info || isMarkClass(info->candidates.front().code)) return std::nullopt;
        if (info->candidates.size() > m_limit) info->candidates.resize(m_limit);
        return SearchedChar{info->run, std::move(info->candidates)};
    }

    // The run read as readFull reads it with the full shortlist, as written only.
    std::optional<SearchedChar> readWritten(CharRun run) {
        m_chosen = m_unbounded = m_written = true;
        auto info = runInfo(run, true);
        m_written = false;
        if (!info) return std::nullopt;
        return SearchedChar{info->run, std::move(info->candidates)};
    }

    // All the strokes read as one character (see readFull).
    std::optional<SearchedChar> readWhole() {
        auto info = readFull({0, static_cast<int32_t>(m_strokes.size()) - 1});
        if (!info) return std::nullopt;
        return SearchedChar{info->run, std::move(info->candidates)};
    }

    Interval alongOf(CharRun run) const {
        Box ink;
        for (int32_t s = run.first; s <= run.last; ++s) ink.add(m_boxes[static_cast<size_t>(s)]);
        return m_line.extentOf(ink).along;
    }

    // The characters' candidates read again with the full shortlist (a few only: the bound on time holds).
    void readChosen(std::vector<SearchedChar>& chars) {
        if (chars.size() > m_shared.chosenLeft) return;
        m_shared.chosenLeft -= chars.size();
        for (auto& c : chars) {
            if (auto info = readFull(c.run)) c.candidates = std::move(info->candidates);
        }
    }

    // The run read with the recognizer's full shortlist, and with the longer one where that reading is weak
    // (a few per selection: the bound on time holds).
    std::optional<RunInfo> readFull(CharRun run) {
        m_chosen = m_unbounded = true;
        auto info = runInfo(run, true);
        if (info && confidenceOf(info->candidates) < kWeakLone && m_shared.wideLeft > 0) {
            --m_shared.wideLeft;
            m_wide = true;
            if (auto wide = runInfo(run, true)) info = std::move(wide);
            m_wide = false;
        }
        if (info && info->candidates.size() > m_limit) info->candidates.resize(m_limit);
        return info;
    }

    // Neighbours that overlap along the line are less likely than neighbours side by side.
    double pairCost(const RunInfo& before, const RunInfo& after) const {
        const double overlap = (before.extent.along.hi - after.extent.along.lo) / m_line.charSize;
        const double refund = -overlap >= kNarrowGap ? before.narrowRefund + after.narrowRefund : 0;
        // Two full-size characters side by side are longer than one; two parts that together are no longer
        // than one character are likely one.
        const double together =
            (std::max(before.extent.along.hi, after.extent.along.hi) - before.extent.along.lo) /
            m_line.charSize;
        const bool marks = isMarkKind(before.kind) || isMarkKind(after.kind);
        const double gap =
            before.kind == MarkKind::Dot || after.kind == MarkKind::Dot ? kDotGap * m_line.charSize : 0;
        const bool touching = marks && after.extent.along.lo - before.extent.along.hi <= gap;
        const double compact =
            marks ? 0 : kCompactCost * std::clamp((kCompactBelow - together) / kCompactRange, 0.0, 1.0);
        return kOverlapCost * std::max(0.0, overlap - kOverlapFrom) + compact - refund +
               (touching ? kMarkTouchCost : 0.0) + (marksOfBefore(before, after) ? kLeadingMarksCost : 0.0);
    }

    // Whether the leading marks of `after` stand at the upper right of `before`, nearer its ink than the
    // rest of their own run.
    static bool marksOfBefore(const RunInfo& before, const RunInfo& after) {
        if (!after.leadingMarks) return false;
        const Extent& marks = *after.leadingMarks;
        const Extent& own = before.extent;
        const double middleAlong = (own.along.lo + own.along.hi) / 2;
        const double middleAcross = (own.across.lo + own.across.hi) / 2;
        return marks.along.lo >= middleAlong && marks.across.hi <= middleAcross &&
               marks.along.lo - own.along.hi < after.restFrom - marks.along.hi;
    }

    std::pair<int32_t, int32_t> keyOf(CharRun run) const {
        return {run.first + m_offset, run.last + m_offset};
    }

    const Recognizer& m_recognizer;
    std::span<const Stroke> m_strokes;
    int32_t m_offset;
    size_t m_after;
    std::optional<CharRun> m_forced;
    int32_t m_mask;
    size_t m_limit;
    RunCache& m_cache;
    Budget& m_shared;
    LineFrame m_line;
    std::vector<Box> m_boxes;
    std::vector<std::optional<Extent>> m_extents;
    std::vector<Boundary> m_boundary;
    // Recognitions of this search (beyond its budget only the runs every partition needs are read), and of
    // all the searches of the selection (m_shared): enough for every line people write, bounded for a
    // hostile stroke count.
    size_t m_recognitions = 0;
    size_t m_budget = 0;
    bool m_exhausted = false;  // the shared limit reached: the search stops where it is
    bool m_unbounded = false;  // reading the fallback pieces or runs asked for: no limit
    bool m_chosen = false;     // reading chosen characters: full shortlist, cache.chosen
    bool m_wide = false;       // reading a weak lone character again: the longer shortlist, cache.wide
    bool m_written = false;    // reading a chosen character as written only: cache.written
};

std::vector<Box> boxesOf(std::span<const Stroke> strokes) {
    std::vector<Box> boxes;
    boxes.reserve(strokes.size());
    for (const auto& s : strokes) boxes.push_back(boundsOf(s));
    return boxes;
}

// A stretch of consecutive strokes in one line of a selection.
struct Stretch {
    CharRun run;
    int32_t line = 0;
};

// The selection as stretches of strokes of one line each, in writing order, with each line's frame; a single
// stretch (and no frames) when the ink is one line or too many stretches.
struct Stretches {
    std::vector<Stretch> list;
    std::vector<LineFrame> frames;  // per line
};

Stretches stretchesOf(std::span<const Box> boxes) {
    const auto n = static_cast<int32_t>(boxes.size());
    Stretches out;
    const LineLayout layout = linesOf(boxes);
    if (layout.count > 1) {
        for (int32_t i = 0; i < n; ++i) {
            const int32_t line = layout.lineOf[static_cast<size_t>(i)];
            if (out.list.empty() || out.list.back().line != line) out.list.push_back({{i, i}, line});
            out.list.back().run.last = i;
        }
    }
    if (out.list.size() <= 1 || out.list.size() > kMaxStretches) return {{{{0, n - 1}, 0}}, {}};
    out.frames = framesOfLines(boxes, layout);
    return out;
}

// A run that lies within one stretch is read in its line's frame; one that crosses lines (a regroup across
// them) in a frame of its own, as a character written alone.
struct Place {
    size_t stretch = 0;
    bool crosses = false;
};

Place placeOf(const Stretches& stretches, CharRun run) {
    for (size_t i = 0; i < stretches.list.size(); ++i) {
        const CharRun s = stretches.list[i].run;
        if (run.first >= s.first && run.first <= s.last) return {i, run.last > s.last};
    }
    return {0, true};
}

// Reads a run crossing lines as one character, framed alone.
std::optional<SearchedChar> readAlone(const Recognizer& recognizer, std::span<const Stroke> strokes,
                                      CharRun run, size_t after, int32_t mask, size_t limit, RunCache& cache,
                                      Budget& budget) {
    const auto own =
        strokes.subspan(static_cast<size_t>(run.first), static_cast<size_t>(run.last - run.first + 1));
    const auto boxes = boxesOf(own);
    Search search(recognizer, own, frameOfLine(boxes), run.first, after, std::nullopt, mask, limit, cache,
                  budget);
    auto candidates = search.candidatesOf({0, run.last - run.first}, true);
    if (candidates.empty()) return std::nullopt;
    return SearchedChar{run, std::move(candidates)};
}

}  // namespace

std::vector<SearchedChar> searchLine(const Recognizer& recognizer, std::span<const Stroke> strokes,
                                     std::optional<CharRun> forced, int32_t mask, size_t limit,
                                     RunCache& cache) {
    if (strokes.empty() || !recognizer.ready() || limit == 0) return {};
    const auto n = static_cast<int32_t>(strokes.size());
    if (forced && (forced->first < 0 || forced->last < forced->first || forced->last >= n)) return {};
    const auto boxes = boxesOf(strokes);
    const Stretches stretches = stretchesOf(boxes);
    Budget budget;
    if (stretches.frames.empty()) {
        return Search(recognizer, strokes, frameOfLine(boxes), 0, 0, forced, mask, limit, cache, budget)
            .run();
    }
    // Several lines: every stretch is searched in its line's frame and the characters joined in writing order
    // (characters are runs of consecutive strokes), so a line's end is never read beside the next line's
    // start. A forced run within one stretch is searched with it; one that crosses lines is read alone, and
    // the rest of the stretches it touches are searched as pieces of their own.
    budget.limit = std::min(kMaxMultiRecognitions,
                            kMaxRecognitions + kRecognitionsPerStretch * (stretches.list.size() - 1));
    struct Piece {
        CharRun run;
        std::optional<size_t> line;  // none: the forced run crossing lines, read alone
    };
    std::vector<Piece> pieces;
    const bool crossing = forced && placeOf(stretches, *forced).crosses;
    for (const auto& stretch : stretches.list) {
        const auto line = static_cast<size_t>(stretch.line);
        const CharRun s = stretch.run;
        if (!crossing || s.last < forced->first || s.first > forced->last) {
            pieces.push_back({s, line});
            continue;
        }
        if (s.first < forced->first) pieces.push_back({{s.first, forced->first - 1}, line});
        if (s.first <= forced->first) pieces.push_back({*forced, std::nullopt});
        if (s.last > forced->last) pieces.push_back({{forced->last + 1, s.last}, line});
    }
    std::vector<SearchedChar> out;
    for (const auto& piece : pieces) {
        const auto count = static_cast<size_t>(piece.run.last - piece.run.first + 1);
        const auto after = static_cast<size_t>(n - 1 - piece.run.last);
        if (!piece.line) {
            auto alone = readAlone(recognizer, strokes, piece.run, after, mask, limit, cache, budget);
            if (!alone) return {};
            out.push_back(std::move(*alone));
            continue;
        }
        std::optional<CharRun> inside;
        if (forced && !crossing && forced->first >= piece.run.first && forced->last <= piece.run.last)
            inside = CharRun{forced->first - piece.run.first, forced->last - piece.run.first};
        Search search(recognizer, strokes.subspan(static_cast<size_t>(piece.run.first), count),
                      stretches.frames[*piece.line], piece.run.first, after, inside, mask, limit, cache,
                      budget);
        auto chars = search.run();
        if (chars.empty()) return {};
        for (auto& c : chars) {
            c.run = {c.run.first + piece.run.first, c.run.last + piece.run.first};
            out.push_back(std::move(c));
        }
    }
    // Ink about as long as thick taken for lines of pieces (a kana whose dots stand apart) is one
    // character when that reads as well.
    Box ink;
    for (const auto& b : boxes) ink.add(b);
    const auto width = static_cast<double>(ink.width()), height = static_cast<double>(ink.height());
    if (!forced && std::max(width, height) <= kLoneLength * std::max(std::min(width, height), 1.0)) {
        Search whole(recognizer, strokes, frameOfLine(boxes), 0, 0, std::nullopt, mask, limit, cache, budget);
        if (auto one = whole.unsplitLone(out, false)) return whole.readLone(std::move(*one));
    }
    return out;
}

std::vector<std::vector<Candidate>> recognizeRuns(const Recognizer& recognizer,
                                                  std::span<const Stroke> strokes,
                                                  std::span<const CharRun> runs, int32_t mask, size_t limit,
                                                  RunCache& cache) {
    const auto n = static_cast<int32_t>(strokes.size());
    std::vector<std::vector<Candidate>> out;
    if (!recognizer.ready() || limit == 0 || n == 0) return out;
    const auto boxes = boxesOf(strokes);
    const Stretches stretches = stretchesOf(boxes);
    Budget budget;
    const bool full = runs.size() <= kMaxChosenReadings;
    if (stretches.frames.empty()) {
        Search search(recognizer, strokes, frameOfLine(boxes), 0, 0, std::nullopt, mask, limit, cache,
                      budget);
        for (const auto& run : runs) {
            if (run.first < 0 || run.last < run.first || run.last >= n) return {};
            out.push_back(search.candidatesOf(run, full));
            if (out.back().empty()) return {};
        }
        return out;
    }
    std::vector<std::optional<Search>> searches(stretches.list.size());
    for (const auto& run : runs) {
        if (run.first < 0 || run.last < run.first || run.last >= n) return {};
        const Place place = placeOf(stretches, run);
        if (place.crosses) {
            auto alone = readAlone(recognizer, strokes, run, 0, mask, limit, cache, budget);
            if (!alone) return {};
            out.push_back(std::move(alone->candidates));
            continue;
        }
        const Stretch& s = stretches.list[place.stretch];
        auto& search = searches[place.stretch];
        if (!search) {
            search.emplace(recognizer,
                           strokes.subspan(static_cast<size_t>(s.run.first),
                                           static_cast<size_t>(s.run.last - s.run.first + 1)),
                           stretches.frames[static_cast<size_t>(s.line)], s.run.first, 0, std::nullopt, mask,
                           limit, cache, budget);
        }
        out.push_back(search->candidatesOf({run.first - s.run.first, run.last - s.run.first}, full));
        if (out.back().empty()) return {};
    }
    return out;
}

}  // namespace sw::scribeng
