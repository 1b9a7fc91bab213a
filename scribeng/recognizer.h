// Single-character recognition: strokes in canvas pixels, placed in a frame, converted to code page 932
// codes and filtered by the category mask.
//
// Two scorers: Zinnia's models (stroke order and count matter) and the shape templates (direction
// features, stroke-order-free: see direction_features.h). With templates, recognition is coarse to fine:
// the templates shortlist the classes the mask allows, Zinnia scores only those, and the candidates are
// ranked by the fused score. Without a template file every class of every model is ranked by Zinnia alone.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <unordered_map>
#include <vector>

#include "scribeng/categories.h"
#include "scribeng/geometry.h"
#include "scribeng/ink_normalise.h"
#include "scribeng/prior.h"
#include "scribeng/template_set.h"
#include "scribeng/zinnia_features.h"
#include "scribeng/zinnia_ink.h"
#include "scribeng/zinnia_model.h"

namespace sw::scribeng {

// The template file the engine looks for in its model folders.
inline constexpr const char* kTemplateFile = "slatewise-templates.bin";

struct Candidate {
    CharCode code = 0;
    // Higher is better, on the scale of Zinnia's scores (a clear character about 0.3 to 1). With templates
    // the fused score, Zinnia's score plus the shape term (see FusionWeights); without, Zinnia's score.
    float score = 0;
};

// The fused score is zinnia + ratio x (shape - shapeCentre) - prior: the ratio weighs the shape similarity
// (cosine, 0..1) against Zinnia's SVM score, and `shapeCentre` places a well-written character at about its
// Zinnia score while a shape unlike every class (a piece of a character, two characters together) drops below
// it; the line search's costs are set on that scale (0.9549, the mean similarity of right answers with line
// orientations; with pen directions it is 0.9269, and moving the centre there cost the synthetic lines a
// point). The prior (prior.h) takes a cost off classes whose stroke count or ink is far from the written
// ink's, and off rare classes.
//
// How much the shape can say depends on how closely the ink matches a template. Where it matches one closely
// (the best similarity at least `closeFrom`: clean writing, including strokes swapped, joined or reversed)
// the ratio is `shapeRatio`, the best for synthetic samples (slatewise-templategen calibrate,
// tools/templategen/README.md), and the shape overrules Zinnia where the stroke order misleads it. Real
// handwriting matches the templates less closely (best similarity about 0.85, against about 0.93 for the
// synthetic samples) and there a lower weight is best (real kanji, top-1 of the fused ranking over the
// shortlist: 96.0% with Zinnia alone, 98.0 / 97.6 / 96.8% at ratios 10 / 15 / 20, 86.8% at 85; katakana best
// at 20 to 40): below `looseBelow` the ratio is `looseRatio`, in between it moves linearly. closeFrom,
// looseBelow and looseRatio come from real samples (tools/scribeng-cli --evaluate).
struct FusionWeights {
    float shapeRatio = 43.37f;
    float shapeCentre = 0.9549f;
    float logOddsScale = 1.7221f;
    float logOddsOffset = -0.4215f;
    float looseRatio = 15.0f;
    float looseBelow = 0.87f;
    float closeFrom = 0.92f;
    // Guided recognition (recognizeInBox) also reads the ink in its own frame, for characters written
    // elsewhere in the box than the models expect (a letter small at the bottom, or filling the box): each
    // class keeps the better of its Zinnia score in the box and in the ink's frame less this cost, so that
    // where the box tells sizes apart (ゃ や, o O) its reading stays first.
    float inkFrameCost = 0.2f;
    // Ink whose closest template is a lower-case Latin letter's weighs the shape by at least `letterRatio`,
    // unless a capital or digit reads clearly by its own classes (PriorWeights::letterClearZinnia). Zinnia
    // follows the pen, and a letter written between or beside its trained forms (a q whose tail flicks, an r
    // or n with a lead-in) scores far below a look-alike it does not resemble as closely (９ ｉ ｈ). Where a
    // capital or digit reads clearly, a lower-case letter of about its shape (ｙ for Ｙ, ｚ for ２) would
    // pass it. Written lower case of the tuning writers (936 samples) 89.5 -> 90.3% free top-1 at 25 (90.0%
    // at 22, 90.4% at 28, 90.1% at 34), their capitals and digits (984) 89.6 -> 89.4% (89.2% at 28); for
    // ink closest to any letter or digit, whatever a capital scores, capitals lost 1.8 points at 28.
    float letterRatio = 25.0f;
    // Long ink's shape features are placed by its moments (direction_features.h, featureFrame), which match
    // the templates closer than the box (with every ink so placed, the closest template of real kanji and
    // hiragana 0.851 -> 0.873 by the median). The weights above were fitted to the box's similarities, so
    // every similarity of an ink is lowered by `momentShift` times its momentShare before the fusion. The
    // share is that of the ink as written for every version read (set upright, widened), whose scores are
    // compared: a narrow ink widened has more pen path for its longer side, and lowered by its own share it
    // lost to the ink as written.
    float momentShift = 0.025f;
};

struct RecognizerOptions {
    bool useTemplates = true;  // false: Zinnia alone over every class even when a template file exists
    size_t shortlist = 300;    // classes the templates pass to Zinnia
    // Classes the coarse shape comparison passes to the full one. The 4 x 4 projection is a rough filter: on
    // real handwriting a fifth of the right classes rank below 300 there.
    size_t coarse = 1000;
    FusionWeights weights;
    // A shortlist of `kanaQuotaFrom` classes or more also holds the `kanaQuota` kana most like the ink by
    // shape (TemplateSet::rank's quota), after the others, unless the ink has more strokes than any kana is
    // written with but for a broken one or two (prior.h, PriorWeights::extraShare). Another writer's kana (で
    // げ ば ケ オ) often rank 300 to 4000 among all classes by shape, behind hundreds of kanji, yet 1 to 20
    // among the kana, where Zinnia still knows them. Kana are few, so this costs at most a few classes'
    // Zinnia scores. Not for the short lists of the line search's trial runs, which only weigh where
    // characters end. Other writers' single characters (tuning seeds, 1,584): 89.8% free top-1 without, 90.0%
    // with 10, 20 or 40.
    size_t kanaQuota = 10;
    size_t kanaQuotaFrom = 200;
    // A shortlist with that quota also holds the `kanaZinniaQuota` kana (of those the mask allows) that the
    // models score best on the ink, after the others: a distorted kana (け で げ じ) can rank below the best
    // ten kana by shape while the models that know the kana rank it among their first few.
    size_t kanaZinniaQuota = 3;
    // A code that several models know keeps its best Zinnia score, but at most `modelLead` above its lowest:
    // a model is calibrated only against the classes it was trained with. The kanji model, trained against
    // look-alike kanji alone, scores kanji 1 to 5 on another writer's kana (土 for よ, 曰 for わ, 几 for ク)
    // where the Japanese model, which knows the kana too, scores the same kanji -3 to -1. On the right
    // classes of 700 real and distorted kanji the kanji model leads the Japanese model by at most 2.8.
    // Other writers' single characters (tuning seeds, 1,584): 89.7% free top-1 without the bound, 89.3 /
    // 89.5 / 90.2 / 90.0 / 89.9% at 2 / 2.5 / 3 / 3.5 / 4; at 3 a real 防 (read as ３ by the Japanese model)
    // and other writers' kanji lines lose up to a point, at 3.5 neither.
    float modelLead = 3.5f;
    PriorWeights prior;  // the costs of implausible and rare classes (prior.h)
    // Strokes written without lifting the pen: a class that needs more strokes than were written is also
    // read with the likeliest ways between strokes taken out (zinnia_ink.h, unjoinedVersions), by Zinnia at
    // this cost on its score and by its shape at this gap on its similarity, where that is better. Without
    // the cost one kana in 80 real kana lines and a real え read as kanji (五 土) whose strokes the split
    // made; without the gap one real 初 of 250 read as another kanji. A version's shape is read from every
    // point of its strokes, their pixel steps smoothed as the ink's (UnjoinedVersion::ink); read from
    // Zinnia's few vertices, which make its curves polygons, it came 0.03 to 0.05 less like the class, and
    // each gap below was 0.01 more (other writers' joined kanji, tuning seeds: 75.0 -> 77.4% free top-1; each
    // gap 0.02 lower lost tuning lines and single kanji). `readJoined` false: the strokes are read as written
    // only.
    bool readJoined = true;
    float unjoinedCost = 0.5f;
    float unjoinedShapeGap = 0.02f;
    // Where every way taken out is long (`likelyWayLength` units of Zinnia's space or more; the character
    // spans 700) and goes where the pen goes between strokes (zinnia_ink.h, UnjoinedVersion::weakest), the
    // cost and gap ease linearly from the above at a likelihood of `likelyWayFrom` to `likelyWayCost` and
    // `likelyWayShapeGap` at `likelyWayTo` and more (a long way up, left, or up and to the right): such a
    // version is the character as meant. Real kanji joined where strokes begin within 30% of the character
    // of the one before: 77.9 to 79.3% free top-1, other writers' 59.4 to 62.2% and 43.6 to 47.4%, unjoined
    // writing and lines the same; without the bound on length lines of kana and kanji lose a point. Not for
    // ink of one stroke: a cursive m's arches read as ク.
    float likelyWayCost = 0.2f;
    float likelyWayShapeGap = 0.01f;
    float likelyWayFrom = 1.0f;
    float likelyWayTo = 2.2f;
    float likelyWayLength = 80.0f;
    // Where every way taken out is that long too (for a kanji, `sharpWayLength` units, below) and the pen
    // turns sharply where each begins and where it ends (zinnia_ink.h, UnjoinedVersion::leastTurn): by
    // `sharpWayTurn` degrees or more with two ways or more taken out, by `sharpOneWayTurn` with one, the
    // version costs at most `sharpWayCost` and `sharpWayShapeGap` (sharplyJoined). The pen leaves a stroke's
    // end and meets the next stroke's start at a sharp angle, while a piece of a stroke written apart that
    // goes the pen's way mostly bends on from the pieces beside it. Of the pieces that may be ways, the true
    // joins of other writers' joined kanji turn by 134 degrees at the lesser end (median; 88% by 60 or more,
    // 61% by 90), pieces of ink written apart by 44 (18% by 60 or more, 1.6% by 90). A single way is the
    // likelier false cut (the corner of 女, 辶 or 氵 in a kanji written apart gives one of a stroke more: 妨
    // read as 姉, 近 as 直), hence the sharper turn. Other writers' joined kanji (tuning seeds, 1,228): 79.6
    // -> 80.2% free top-1 (60 degrees for one way too: 80.9%, but held-out singles and lines lost 0.2 points;
    // from two ways only, 79.8%; without the bound on length 82.2%, but tuning singles lost up to a point). A
    // shorter way turning that sharply is the pen's too (a join between strokes close together), from
    // `sharpWayLength` units, for a kanji only: a piece of プ's circle turns as sharply (read as ブ for every
    // class). From 60 units instead of 80, 80.8 -> 81.1%, the tuning singles and lines as before (from
    // 45, 81.6%, but a tuning 錬 read as 鎮 and the tuning lines lost 0.3 points).
    float sharpWayTurn = 60.0f;
    float sharpOneWayTurn = 90.0f;
    float sharpWayCost = 0.0f;
    float sharpWayShapeGap = 0.0f;
    float sharpWayLength = 60.0f;
    // A version with `manyWaysFrom` ways or more taken out (a fast hand that joins most of a kanji's strokes)
    // is read at `manyWaysCost` and `manyWaysShapeGap` instead, easing to `manyWaysLikelyCost` and
    // `manyWaysLikelyShapeGap` where its ways are sure as above: the more joins the ink holds, the less the
    // classes it reads as written (a simpler kanji of about as many strokes: 甘 for 坊, 位 for 泣) are to be
    // trusted over the character as meant. Fewer ways keep the costs above: from two ways on, other writers'
    // unjoined kanji lost up to three of 250 (a 温 read as 溝 from one way on).
    size_t manyWaysFrom = 3;
    float manyWaysCost = 0.3f;
    float manyWaysShapeGap = 0.01f;
    float manyWaysLikelyCost = 0.0f;
    float manyWaysLikelyShapeGap = 0.0f;
    // A kanji read with fewer ways taken out than the ink's likely ways costs `sureWayLeftCost` per way it
    // leaves in its ink, each counted by how surely it is the pen's (ScoredCandidate::waysLeft): the
    // surenessOf the surest version with that many ways taken out, for every number of ways beyond those
    // the class needs. Where a fast hand joined strokes, a simpler kanji read with the joins left in (甘 for
    // 坊, 仝 for 全) is less likely than the character as meant. Only where the ways' sureness adds up to
    // `sureWaysFrom` or more, and for full readings only. Other writers' kanji joined where strokes begin
    // within 30% or 15% of the character of the one before (tuning seeds, 1,228): counting only ways surely
    // the pen's (sureness 1) from two such ways at 0.3, 70.7% free top-1; counting each by its sureness at
    // 0.4 from 1.5, 71.6%; from one sure way a sharp turn of an unjoined 神 or 女 passed for a way (tuning
    // seeds' kanji and lines lost a character each). Kana, letters and digits pay nothing (a kana in a line
    // then read where a kanji was: mixed lines lost more).
    float sureWayLeftCost = 0.4f;
    float sureWaysFrom = 1.5f;
    // A character whose ink leans clearly (ink_normalise.h) is also read set upright: each class keeps the
    // better of its fused scores as written and upright less `uprightCost`. Not where the reading as written
    // is clear: its best class leads the next by `uprightLead` or more (this keeps a real kanji's time; the
    // distorted samples read the same or better than with no such bound).
    bool readUpright = true;
    float uprightCost = 0.2f;
    float uprightLead = 1.0f;
    // Where a kanji leads the next class by less than `shearedLead`, the ink (set upright where it leans) is
    // also read sheared by `shearBy` either way (horizontal shift per unit of height), each kanji and kana
    // keeping the better of its scores less `shearedCost`: the pose finds no slant in half the kanji of
    // another writer that slant by more than 0.15 (their upright pieces lie in one stroke only). Other
    // writers' kanji (tuning seeds w1.5-1 / w1.5-2 / w1-1 / w1-2): 95.6 / 92.8 / 97.6 / 96.8% free top-1
    // without, 97.6 / 93.6 / 97.6 / 98.4% with (98.0% on w1.5-1 at a lead of 0.3, but a free real kanji took
    // 22-30% longer than without, against 11-24% at 0.15). Every class read so whatever leads, at a cost of
    // 0.2: 96.8 / 93.6 / 97.6 / 98.0% at a lead of 0.3, 99.2 / 94.4 / 98.0 / 98.0% at 1.0 (a free real kanji
    // about 50% slower), but synthetic kana, letters and reversed strokes lost.
    float shearBy = 0.25f;
    float shearedCost = 0.3f;
    float shearedLead = 0.15f;
    // Ink whose every stroke is at most `levelStrokeHeight` of its size high (一 二 三) is not read sheared:
    // the shear moves its strokes sideways only. Such ink led most of a real kanji's sheared readings (一
    // against ー, 二 against ニ, close in score as twins are), and every tuning seed read the same without
    // them (single characters of w1-1, w1-2, w1.5-1 and w1.5-2, free, guided and guided top-10).
    float levelStrokeHeight = 0.2f;
    PoseOptions pose;
    // A narrow hand: ink (set upright where it leans) less wide than `narrowWidth` of its height is also
    // read `widenBy` times as wide; each Latin letter and digit keeps the better of its scores, the widened
    // one less `widenedCost`. Not where the reading as written is clear (`uprightLead`), nor for `upright`
    // false. Where the reading as written leads with a Latin letter or digit, ink less wide than
    // `narrowLetterWidth` of its height counts as narrow: a narrow hand's n, u, m or b reads as the h, d, n
    // or l of a usual width. Written lower case of tuning writers (2,340 samples) 85.0 -> 85.7% free top-1
    // with 1.0 against 0.6, their narrow forms 72.3 -> 73.9%; any ink (not only a letter first) gained 0.3
    // points more but would widen narrow kana and kanji, in lines too.
    bool readWidened = true;
    float narrowWidth = 0.6f;
    float narrowLetterWidth = 1.0f;
    float widenBy = 1.6f;
    float widenedCost = 0.4f;
};

// Joins undone at most (zinnia_ink.h, unjoinedVersions). Real kanji with every stroke that begins within 30%
// of the character of the one before joined to it (2.8 joins a character): 58.7% free top-1 with three, 65.7%
// with eight, the same on everything else.
inline constexpr size_t kMostUnjoined = 8;
// Each set of likeliest ways is also tried with each of its ways in turn replaced by the next likeliest this
// many times (zinnia_ink.h, unjoinedVersions): where a piece of a stroke looks more like a way than the way
// itself, the class still finds the strokes written apart. Replacing only the least likely way, other
// writers' joined kanji (tuning seeds, 1,228) read 79.2% free top-1, replacing each 79.6%; tuning singles and
// lines the same.
inline constexpr size_t kUnjoinedAlternatives = 1;

// The ways left in the ink by a reading that takes `missing` of them out, each counted by how surely it is
// the pen's: the sum of `sureAt` (per number of ways taken out, how surely the ways of the surest version
// with that many are the pen's, 0 to 1) beyond `missing`; 0 where the whole of `sureAt` adds up to less
// than `from` (RecognizerOptions::sureWayLeftCost).
float sureWaysLeft(std::span<const float> sureAt, size_t missing, float from);

// Whether every way taken out of `version` (of ink of `written` strokes) is long enough and the pen turns
// sharply where each begins and ends, for a class that is a kanji or not (RecognizerOptions::sharpWayTurn
// and the rest).
bool sharplyJoined(const UnjoinedVersion& version, size_t written, bool kanji,
                   const RecognizerOptions& options);

inline constexpr CharCode kLatinSmallI = 0x8289;  // ｉ
inline constexpr CharCode kLatinSmallJ = 0x828A;  // ｊ
// A dot whose middle stands less than this (of the rest's height, dotPlace) above the rest of the ink dots a
// stem reaching below the line: a j's stem is an i's and a tail long, its dot as far above it as an i's.
inline constexpr float kLowDotPlace = 0.3f;
// Where the dot stands that low and ｉ leads ｊ among `out` (sorted best first), the two change places and
// scores; anything else is left as it is.
void preferJByItsDot(std::span<const Stroke> strokes, std::vector<Candidate>& out);

// Whether one stroke crosses its own path away from its ends: both crossing pieces lie more than
// `kMidwayShare` of the path's length from either end, and the loop they close is at least that long (a curl
// does not count). A ring written in one stroke meets itself only where it closes (an overshoot, a closing
// loop, a lead-in) or in a curl; an 8 written in one stroke crosses itself between its loops, each about half
// of its path.
inline constexpr float kMidwayShare = 0.15f;
bool crossesItselfMidway(const Stroke& stroke);
// The classes of a ring (０ Ｏ ｏ ○ and the round marks: the shape twins of ０).
bool isRing(CharCode code) noexcept;
// Where the ink is one stroke that crosses itself midway, each ring among `out` (sorted best first) scores
// at most `kCrossedRingLead` below the best other class, and the list is sorted again; anything else is
// left as it is.
inline constexpr float kCrossedRingLead = 1.0f;
void setRingsBehindCrossedInk(std::span<const Stroke> strokes, std::vector<Candidate>& out);

// Shape twins the models score exactly alike (tools/modelgen/twins.txt) come in the twin file's order, the
// kanji first (口 before ロ), and a line's neighbours decide between them (line_search.h,
// preferScriptOfNeighbours). A lone character has none; there the twin commoner in running text leads: ロ カ
// エ チ ペ, which loanwords spell constantly, before 口 力 工 千 and ぺ (onomatopoeia's alone), while 二
// stays before ニ and へ べ before ヘ ベ. preferCommonerTwin() swaps such a katakana with its twin where the
// twin is first and the katakana scores within kTwinScoreGap of it (the scores stay in place).
inline constexpr float kTwinScoreGap = 0.005f;
void preferCommonerTwin(std::vector<Candidate>& out);

// A kana's distorted forms read ink the way a writer strays from its shape; they are no ground to read the
// kana where another class is clearly the likelier. holdBackLifts() takes a kana's lift (ShapeMatch::lift)
// back out of its similarity where, among `shortlist`, a Latin letter or digit has a better Zinnia score
// than the kana (`zinnia`, one per entry, the lowest float where Zinnia scores none), a kanji with a
// better one stands above the kana's similarity, or a kanji, digit or letter stands more than
// kDistortedBehind above it. Only the first `rivals` entries (the best by shape) hold a lift back, as many
// as a chosen character's reading lists: a longer list (a weak character read again, guided recognition)
// adds classes far down the shape ranking, and among them a digit or letter with a better Zinnia score than
// a distorted kana took its lift where the shorter reading had kept it (８ at the 773rd place, 0.66 like the
// ink against ス's own forms' 0.81), so the kanji the kana had passed (又) passed it again.
inline constexpr float kDistortedBehind = 0.05f;
inline constexpr size_t kLiftRivals = 200;
void holdBackLifts(std::span<ShapeMatch> shortlist, std::span<const float> zinnia,
                   size_t rivals = kLiftRivals);

// Scores of one candidate, for calibrating the fusion.
struct ScoredCandidate {
    CharCode code = 0;
    float zinnia = 0;
    float shape = 0;
    // Zinnia's score of the code's own classes alone, leaving out its form classes (categories.h, kFormMark):
    // at most `zinnia`; the lowest float for a code that only form classes know.
    float ownZinnia = 0;
    // For a kanji, the ways its reading leaves in the ink, each counted by how surely it is the pen's
    // (RecognizerOptions::sureWayLeftCost).
    float waysLeft = 0;
};

class Recognizer {
public:
    // Loads every *.model file of the folders, in order; a model whose file name was already loaded from an
    // earlier folder is skipped, so a model in the engine's own folder takes the place of the system's. The
    // template file comes from the first folder that has one that reads; its classes the models do not know
    // are dropped.
    explicit Recognizer(std::span<const std::filesystem::path> folders, RecognizerOptions options = {});

    bool ready() const { return !m_models.empty(); }
    bool hasTemplates() const { return !m_templates.empty(); }
    const ModelSet& models() const { return m_models; }
    const TemplateSet& templates() const { return m_templates; }

    // Candidates for `strokes` (one character), best first, distinct codes, only those `mask` allows, at most
    // `limit`. The strokes are scaled into Zinnia's space through `frame`, a square around the character:
    // its side is the largest of the frame's and the strokes' width and height, centred on both together.
    // No candidates when no model is loaded, there are no points, or nothing passes the mask.
    // `shortlist` and `coarse` override the options' when not 0 (the line search reads its trial runs with
    // shorter ones, guided recognition with longer ones).
    // `upright` false reads the ink as written only, never also set upright (RecognizerOptions::readUpright):
    // the line search's trial runs, which only weigh where characters end.
    std::vector<Candidate> recognize(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                     size_t limit, size_t shortlist = 0, size_t coarse = 0,
                                     bool upright = true) const;
    // recognize() for a character written in the writing box `box`, also read in its ink's frame (see
    // FusionWeights::inkFrameCost); recognize() itself when `box` is empty.
    std::vector<Candidate> recognizeInBox(std::span<const Stroke> strokes, const Box& box, int32_t mask,
                                          size_t limit, size_t shortlist = 0, size_t coarse = 0) const;

    // The shortlist with both scores, unfused, in shortlist order (empty without templates, and for ink
    // without extent, which recognize() leaves to Zinnia alone).
    std::vector<ScoredCandidate> scoreShortlist(std::span<const Stroke> strokes, const Box& frame,
                                                int32_t mask, size_t count) const;

private:
    // `inkFrame`: each class keeps the better of its Zinnia score in `frame` and in the ink's own frame less
    // weights.inkFrameCost, a kanji's versions with joins taken out (unjoinedScores) found and read in both.
    std::vector<ScoredCandidate> scoreShortlist(std::span<const Stroke> strokes, const Box& ink,
                                                const FeatureVector& features, const Box& frame, int32_t mask,
                                                size_t count, size_t coarse, bool inkFrame = false) const;
    std::vector<Candidate> readCharacter(std::span<const Stroke> strokes, const Box& frame, int32_t mask,
                                         size_t limit, size_t shortlist, size_t coarse, bool inkFrame,
                                         bool upright) const;
    // The fused scores of the shortlisted classes (unsorted) for strokes whose bounds, ink and shape features
    // are `ink`, `inkStrokes` and `features`, every similarity lowered by `shapeShift`.
    std::vector<Candidate> fusedReading(std::span<const Stroke> strokes, const Box& ink,
                                        std::span<const InkStroke> inkStrokes, const FeatureVector& features,
                                        const Box& frame, int32_t mask, size_t count, size_t coarse,
                                        bool inkFrame, float shapeShift) const;
    // Each class of `out` (a fused reading of the ink as written) keeps the better of its score and that of
    // `strokes`, the ink set upright or widened (its similarities lowered by `shapeShift`), less `cost`;
    // classes only this reading shortlists are added at that cost. Only classes of `categories` (category
    // bits) are taken from this reading.
    void addReadingOf(std::span<const Stroke> strokes, const Box& frame, int32_t mask, size_t count,
                      size_t coarse, bool inkFrame, float shapeShift, std::vector<Candidate>& out, float cost,
                      int32_t categories) const;
    // Whether a shortlist of `count` classes is a full reading's (RecognizerOptions::kanaQuotaFrom or more),
    // not a trial run's of the line search, which weighs where characters end.
    bool fullReading(size_t count) const { return count >= m_options.kanaQuotaFrom; }
    // Appends to `shortlist` the RecognizerOptions::kanaZinniaQuota kana the mask allows and the shortlist
    // lacks that the models score best on `features`, each with its similarity to `shape`.
    void addKanaByZinnia(const ZinniaFeatures& features, const FeatureVector& shape, int32_t mask,
                         std::vector<ShapeMatch>& shortlist) const;
    std::vector<Candidate> recognizeByZinnia(const ZinniaFeatures& features, int32_t mask,
                                             size_t limit) const;
    // Ink without extent: the marks (、。・ and the like) the mask allows, ranked by Zinnia; every class when
    // it allows none. Scoring a handful of classes keeps a line of many dots cheap.
    std::vector<Candidate> recognizeTap(const ZinniaFeatures& features, int32_t mask, size_t limit) const;
    // A code's Zinnia score: the best of all its classes, and of its own classes alone (not its form
    // classes; the lowest float when it has none).
    struct ZinniaScore {
        float best = 0;
        float own = 0;
    };
    // Zinnia's scores of the given codes' classes in every model, one per code (none for a code no model
    // knows, or features Zinnia cannot classify); a code several models know keeps its best.
    // `besideKana`: a kanji's score is held beside the kana's (prior.h, kanjiZinniaBeside).
    std::vector<std::optional<ZinniaScore>> zinniaScores(const ZinniaFeatures& features,
                                                         std::span<const CharCode> codes,
                                                         bool besideKana = false) const;
    // Per shortlisted class, the strokes its forms need beyond the `written` ones (0 for a class other than
    // a kana where one stroke was written).
    std::vector<size_t> missingStrokes(size_t written, std::span<const ShapeMatch> shortlist) const;
    // The versions of `placed` (the character in Zinnia's space, every point kept) with up to as many of the
    // likeliest joins undone as the shortlisted classes miss strokes at most (`missing`, per class;
    // zinnia_ink.h, unjoinedVersions); none when no class misses one or joins are not read.
    std::vector<UnjoinedVersion> unjoinedVersionsFor(std::span<const std::vector<SpacePoint>> placed,
                                                     std::span<const size_t> missing) const;
    // How surely the ways of `version` of ink of `written` strokes are the pen's, 0 to 1
    // (RecognizerOptions::likelyWayFrom and the rest).
    float surenessOf(const UnjoinedVersion& version, size_t written) const;
    // Per number of ways taken out (index), the surenessOf the surest of `versions` with that many (0 where
    // none has that many).
    std::vector<float> surenessByCuts(std::span<const UnjoinedVersion> versions, size_t written) const;
    // Raises the Zinnia scores and shape similarities of the shortlisted classes whose forms need more
    // strokes than the `written` ones to those of the version with that many joins undone (the deepest for a
    // class that needs more), less RecognizerOptions::unjoinedCost and unjoinedShapeGap, where higher.
    // `zinnia` is per shortlisted class; `pixel` the size of a canvas pixel in Zinnia's space; `blur` as
    // TemplateSet::rank's; `frameCost` is taken off the versions' Zinnia scores besides.
    void unjoinedScores(size_t written, double pixel, std::span<const UnjoinedVersion> versions,
                        std::span<const size_t> missing, std::span<ShapeMatch> shortlist,
                        std::vector<std::optional<ZinniaScore>>& zinnia, bool besideKana, bool blur,
                        float frameCost = 0) const;

    RecognizerOptions m_options;
    ModelSet m_models;
    TemplateSet m_templates;
    std::unordered_map<std::string, CharCode> m_codes;  // model label -> code; labels with no code are absent
    // Per code, its classes in each model (model, class index): m_classes[m_classFirst[code]] up to
    // m_classes[m_classFirst[code + 1]].
    std::vector<uint32_t> m_classFirst;
    std::vector<std::pair<uint32_t, uint32_t>> m_classes;
    std::vector<bool> m_formClass;  // per entry of m_classes: a form class (its label has kFormMark)
    std::vector<CharCode> m_marks;  // the codes a tap can be read as (、。 and the tiny marks), in code order
    std::vector<bool> m_knowsKana;      // per model, whether it has a class of a kana
    uint16_t m_kanaStrokes = 0;         // the most strokes of any kana form of the templates (0: not told)
    std::vector<CharCode> m_kanaCodes;  // the kana of the templates, in code order
};

}  // namespace sw::scribeng
