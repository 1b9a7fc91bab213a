// Segmentation of a line of free writing by search.
//
// The strokes are cut at candidate boundaries (between consecutive strokes that do not overlap much along
// the line); every run of strokes between two candidate boundaries that could be one character (not much
// longer than a character, no wide inner gap, at most kMaxRunStrokes strokes) is recognised, within a
// budget proportional to the number of strokes, and scored by its recognition score and its geometry;
// dynamic programming over the runs, with costs for neighbours that overlap or together make one
// character's length, picks the best partition. Size and place in the line decide small kana, 、。 and ー.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "scribeng/geometry.h"
#include "scribeng/recognizer.h"

namespace sw::scribeng {

inline constexpr int32_t kMaxRunStrokes = 30;

// Recognition results of stroke runs of one object, reusable while its strokes and the mask stay the same.
// `runs` are the search's trial readings (a short shortlist), `chosen` the readings of the characters it
// chose (the recognizer's full shortlist), `wide` the readings of weak lone characters (a longer one),
// `written` chosen readings of the ink as written only (no reading set upright or sheared).
struct RunCache {
    int32_t mask = -1;
    std::map<std::pair<int32_t, int32_t>, std::vector<Candidate>> runs;
    std::map<std::pair<int32_t, int32_t>, std::vector<Candidate>> chosen;
    std::map<std::pair<int32_t, int32_t>, std::vector<Candidate>> wide;
    std::map<std::pair<int32_t, int32_t>, std::vector<Candidate>> written;
};

struct SearchedChar {
    CharRun run;
    std::vector<Candidate> candidates;  // best first, at least one
};

// The best partition of `strokes` into characters and their candidates (at most `limit` each). `forced`,
// when given, is one character whatever its geometry, and no other character takes any of its strokes; it
// must lie within the strokes. A single stroke may always be a character. Empty when there are no strokes,
// no model, or no partition has candidates the mask allows for all its characters.
std::vector<SearchedChar> searchLine(const Recognizer& recognizer, std::span<const Stroke> strokes,
                                     std::optional<CharRun> forced, int32_t mask, size_t limit,
                                     RunCache& cache);

// The candidates of each of the given runs (through the cache), framed as the search frames them; empty when
// a run lies outside the strokes or has no candidate the mask allows.
std::vector<std::vector<Candidate>> recognizeRuns(const Recognizer& recognizer,
                                                  std::span<const Stroke> strokes,
                                                  std::span<const CharRun> runs, int32_t mask, size_t limit,
                                                  RunCache& cache);

// The widest gap (of the character size) between the pieces of lone ink `length` thicknesses long, read as
// `pieces` characters together `piecesLength` thicknesses long (their lengths along the line, gaps left
// out), at which it is still read whole when the whole reads as well (wholeReadsAsWell): a tenth of a
// character, and for two pieces more the shorter the ink is, up to 0.25 at 1.6 thicknesses and none more at
// 2.2; up to 0.35 where the pieces together are no longer than a lone character (ル written as ノ and ム
// 0.3 apart: two characters side by side, 泣 over ザ, are each about a thickness long).
double widestUnsplitGap(double length, size_t pieces, double piecesLength);

// Whether ink read as `pieces` (two characters or more) is rather one character read as `whole` (each reading
// with one candidate at least): the whole reads at least as clearly as the pieces on average (its best score,
// floored, and its lead over the next class), or its best score falls no more than 0.4 below theirs on
// average while it leads its next class by 0.3 or more. The floor on the score (-1.5) leaves the leads alone
// to weigh another writer's kanji, whose whole and pieces often all score below it; pieces that are
// characters of their own (金 and 東 of 錬, イ and 七 of 代) lead clearly where the whole has look-alikes.
// Two characters side by side read together as one kanji of many strokes score far below their pieces (by 0.5
// to 2.4 on average in tight two-character lines of other writers, tools/scribeng-cli/compose_real_lines.py),
// and where they score closer the models find several such kanji about alike.
bool wholeReadsAsWell(std::span<const Candidate> whole, std::span<const SearchedChar> pieces);

// Whether lone ink read as `pieces` is one character (`whole`): the whole reads as well as they do
// (wholeReadsAsWell) as read, or as written only (`writtenWhole` and `writtenPieces`, read with no reading
// set upright or sheared; empty where not read). Only weak readings are read set upright or sheared, so a
// piece may be lifted where the whole, clear enough as written, is not (月 of 育 leading by 1.1 sheared);
// compared alike, as written, the whole reads as well.
bool loneReadsWhole(std::span<const Candidate> whole, std::span<const SearchedChar> pieces,
                    std::span<const Candidate> writtenWhole, std::span<const SearchedChar> writtenPieces);

// Each character of a line whose candidates hold, close below its best, a reading of another script that
// fits the neighbours' scripts better takes that reading first: kana look-alikes of kanji (オ 才, カ 力, ロ
// 口) and of each other (ヘ へ) go by their neighbours, a symbol read among kana or kanji (± for さ) gives
// way to one of them, and so, within a wider margin, does a letter or digit whose neighbours read kana or
// kanji, with no letter or digit two places away (ｒ for て). Beside katakana, a katakana scored exactly like
// the best reading (ロ for 口, ト for 卜) and a ー among the first three candidates are taken even where the
// other neighbour is a kanji. The neighbours count as read before the pass (ー as katakana). A lone character
// is left as it is.
void preferScriptOfNeighbours(std::vector<SearchedChar>& chars);

// A letter or digit in a run of letters and digits (neighbours in the line that read as letters or digits)
// whose other characters all read as the other kind takes a reading of that kind scored up to 0.5 below its
// best: ０ for Ｏ beside digits (９７０), Ｏ for ０ beside letters (ＦＯＴ; twins scored alike), ３ for ｊ
// (４３０). A run that mixes the two kinds (Ｈ２Ｏ, ＣＯ２) stays as read; the kinds count as read before the
// pass.
void preferKindOfRun(std::vector<SearchedChar>& chars);

// A row of three characters or more in which digits read outright are at least half, and the others are
// letters each with a digit the models score within 1.6 of it, reads those letters as their digits: a
// number is rarely letters among digits (２ for Ｚ, ３ for ｊ). Digits among more letters stay (H2O, CO2),
// and so does every letter of a row with one letter that has no digit close to it (3A).
void preferRowKind(std::vector<SearchedChar>& chars);

// A small kana read after a character it cannot follow is read full size (when `mask` allows it): ゃゅょ
// (ャュョ) follow only an i-row kana, て で ふ or ヴ; the small vowels and ゎ only a kana. っ ッ ヵ ヶ follow
// anything (立って, ３ヶ月). A small kana that begins a line is left to its size and place (a word may be cut
// before it). The character before counts as read.
void preferFullSizeKana(std::vector<SearchedChar>& chars, int32_t mask);

// A character read as a voiced kana (its best candidate) is read as its marks place it. `marked`: small
// strokes stand at its upper right, and `base` is the best reading of the strokes before them; then the
// voicing of that kana (a small one counts as its full form: っ for づ) takes the place of a reading up to
// 0.5 above it (て with ゛ read ず or ブ is で). Unmarked: the best reading that is no voiced kana, up to 0.8
// below, takes its place (も read ど). Otherwise the candidates stay.
// `baseLead`: how far the strokes before the marks read `base` above the kana the leading reading voices
// (baseLeadOf); the voicing of `base` also takes the place of a reading that much further above it, up to
// kBaseLeadMost more (て and ゛ that read ブ by 1.1 are で where the strokes before the marks read フ far
// below て: the leader then stands on a kana the ink does not show).
inline constexpr float kBaseLeadMost = 1.0f;
void preferVoicingOfMarks(std::vector<Candidate>& list, bool marked, std::optional<CharCode> base,
                          float baseLead = 0);
// How far `base` (the readings of the strokes before the marks, best first) leads with its best above the
// kana `voiced` voices (a small one counting as its full form), at least down to its last reading where that
// kana is not among them; 0 where `voiced` voices none or `base` is empty.
float baseLeadOf(std::span<const Candidate> base, CharCode voiced);

// ー lengthens the kana before it: a ー that begins a line (nothing before it to lengthen) or follows a
// kanji, letter, digit or mark gives way to its best candidate of a script (kana or kanji: 一, く, ノ; a
// radical never written alone, 丿 亅, does not count). The character before counts as read.
void preferNoLongVowelAfterNoKana(std::vector<SearchedChar>& chars);

}  // namespace sw::scribeng
