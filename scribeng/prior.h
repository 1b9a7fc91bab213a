// The recogniser's prior: how plausible a class is for the written ink before its shape is compared, as a
// cost on the scale of the fused score (recognizer.h).
//
// Two parts. How the ink is written: a class needs a number of strokes (a range when its forms differ) and
// an amount of ink (its pen path over the longer side of its box); people join strokes, so fewer strokes are
// plausible down to about half of what the class needs, more strokes than it has are rarer, and ink far
// shorter than the class needs counts against it (one stroke is never a kanji of 16). How common the class
// is: kanji taught at school cost nothing, the other kanji of common use a little, name kanji and other
// frequent ones more, the rest of JIS level 1 more again, level 2 the most; symbols outside punctuation cost
// a little (＝ read for 二).
#pragma once

#include <cstdint>
#include <limits>
#include <span>

#include "scribeng/categories.h"
#include "scribeng/direction_features.h"
#include "scribeng/template_set.h"

namespace sw::scribeng {

// What the prior sees of the written ink.
struct WrittenInk {
    int strokes = 0;  // strokes with at least one point
    float ink = 0;    // the pen path over the longer side of the ink's box; 0 for ink without extent
};

// The pen path of `strokes` over the longer side of their box (0 without extent). The templates measure
// their forms the same way.
float relativeInk(std::span<const InkStroke> strokes);

struct PriorWeights {
    // Strokes: down to joinShare x the class's fewest are free; each stroke fewer than that costs.
    float joinShare = 0.5f;
    float fewerStrokeCost = 0.5f;
    // A symbol (＄ ＃ ＋) is printed stroke by stroke: its strokes cross or stand apart, and joining them
    // would run the pen back over them. Down to symbolJoinShare x its fewest strokes are free.
    float symbolJoinShare = 1.0f;
    // Up to the class's most plus max(1, extraShare x most) are free (a stroke broken in two); each more
    // costs.
    float extraShare = 0.25f;
    float extraStrokeCost = 0.5f;
    // A kanji of two strokes or more written in a single stroke: joins within a character are common, a whole
    // kanji in one movement is not, while kana, letters and digits often are one stroke (フ ク against 刀 夕,
    // a cursive g or q against 夕).
    float oneStrokeKanjiCost = 2.0f;
    // Zinnia's score of such a kanji is held to at most this before the cost. The stroke then meets only the
    // weights of the class's first stroke, so the score says little, and a model trained against look-alikes
    // alone can score far above a clear character's 0.3 to 1 there (夕 at 3 to 4 for a one-stroke 8 or 5).
    float oneStrokeKanjiZinnia = 0.5f;
    // Zinnia's score of a kanji whose shape similarity is below kanjiShapeBelow is held to at most
    // kanjiZinnia. The kanji model is trained against look-alikes only, so on ink unlike every kanji (a
    // cursive x, n or h) it can score 5 to 10, where a clear kanji scores 0.3 to 1 and a clear letter of the
    // other models 1 to 4, and that outweighs the poor shape. The right classes of 1,100 real and distorted
    // kana and kanji score 1 or more with a similarity below 0.7 three times.
    float kanjiZinnia = 1.0f;
    float kanjiShapeBelow = 0.7f;
    // Zinnia's score of a Latin letter or digit counts down to -letterShapeShare x the fusion's shape ratio
    // only: a miss of Zinnia's weighs no more than that much shape similarity. The supplementary model has
    // one weight vector for all of a letter's forms, so a form between them or written in another order (a q,
    // t or y with a lead-in, a looped l) scores -5 to -15 where its shape matches best. Not while a capital
    // or digit scores letterClearZinnia or more: the floor would let a lower-case letter of a closer shape
    // pass it (ｚ for a clear 7, ｙ for Ｙ). The same bar holds a letter to its own classes (letterZinnia).
    float letterShapeShare = 0.1f;
    float letterClearZinnia = 0.5f;
    // A kanji's Zinnia score by a model that knows no kana counts at most kanaKanjiLead above its score by
    // the models that know kana, while a kana of the same ink scores plausibleKanaZinnia or more and more
    // than those models score the kanji (and more than any Latin letter or digit: kanjiZinniaBeside). A model
    // trained against look-alike kanji alone scores kanji 1 to 2.5 on another writer's kana (什 for ケ, 快
    // for ぱ, 夫 for ぞ) where the models that also know the kana score the same kanji -1.6 to -0.4. Other
    // writers' single kana (tuning seeds, 584): 84.1% free top-1 without, 84.9% with; their kanji the same.
    float plausibleKanaZinnia = -0.5f;
    float kanaKanjiLead = 0.5f;
    // A symbol outside punctuation (± 〃 ～ ＼) counts its Zinnia score at most kanaSymbolLead above the best
    // kana's while that kana scores plausibleKanaZinnia or more. Only the supplementary model knows these
    // symbols, trained on clean glyphs; it scores them 1.5 to 2.5 on another writer's kana of about as many
    // strokes (± for さ) where the kana itself scores about 0. A symbol written on purpose leaves every kana
    // far below plausibleKanaZinnia.
    float kanaSymbolLead = 0.5f;
    // Ink: below inkShare x the class's least, the cost grows linearly to inkCost at no ink.
    float inkShare = 0.6f;
    float inkCost = 2.0f;
    // Kanji by how common they are (with grades and frequency ranks; without them JIS level 2 costs
    // rareLevel2 and level 1 nothing).
    float otherCommonCost = 0.25f;  // kanji of common use beyond school (grade 8)
    float frequentCost = 0.5f;      // name kanji (grades 9, 10) and other kanji with a frequency rank
    float rareLevel1Cost = 0.75f;   // the rest of JIS level 1
    float rareLevel2Cost = 1.0f;    // the rest of JIS level 2
    float symbolCost = 0.3f;        // symbols outside punctuation
};

// The most strokes a class may need to be read from `written` strokes at all: every stroke joining
// kJoinedAtMost of the class's (one stroke is never a kanji of 16). 0 for no strokes: no limit.
inline constexpr uint32_t kJoinedAtMost = 4;
uint32_t mostStrokesFor(size_t written);

// The most strokes a class written with at most `maxStrokes` may be written with at no cost: one or a
// share more (a stroke broken in two), PriorWeights::extraShare.
float freeStrokesUpTo(uint32_t maxStrokes, const PriorWeights& w);

// The cost of reading ink written like `written` as a class of these facts (0 when the facts say nothing
// of its strokes); `kanji` when the class is a kanji, `symbol` when it is a symbol (neither kana, kanji,
// letter, digit nor punctuation).
float writingCost(const WrittenInk& written, const ClassFacts& facts, const PriorWeights& w = {},
                  bool kanji = false, bool symbol = false);

// Zinnia's score of a class for ink written like `written` whose shape similarity (0..1) to the class is
// `shape`, as far as the prior lets it count: a kanji written in a single stroke scores at most
// PriorWeights::oneStrokeKanjiZinnia, and one of a shape similarity below PriorWeights::kanjiShapeBelow at
// most PriorWeights::kanjiZinnia; any class at least `atLeast` (letterZinniaFloor for a letter or digit);
// otherwise `zinnia`.
float plausibleZinnia(float zinnia, float shape, const WrittenInk& written, const ClassFacts& facts,
                      const PriorWeights& w = {}, bool kanji = false,
                      float atLeast = std::numeric_limits<float>::lowest());

// The least Zinnia's score of a Latin letter or digit counts for (plausibleZinnia) when the fusion weighs
// the shape similarity by `shapeRatio` and the best score of a shortlisted capital or digit is `clearest`:
// -PriorWeights::letterShapeShare x shapeRatio, or the lowest float (no floor) when `clearest` is at least
// PriorWeights::letterClearZinnia.
float letterZinniaFloor(float shapeRatio, float clearest, const PriorWeights& w = {});

// The Zinnia score a Latin letter or digit counts for when the best of its classes scores `best` and its own
// classes alone (not its form classes, categories.h kFormMark) `own` (the lowest float: it has none):
// `best`, but `own` while the best score of a shortlisted capital or digit by its own classes, `clearest`,
// is at least PriorWeights::letterClearZinnia. A form class (a family of a lower-case letter's forms,
// trained apart from the letter's other forms) is narrower than a one-vs-all class, so its score is not
// comparable with a capital's or digit's: a Ｙ written in two strokes or a Ｕ in one takes the shape of a
// ｙ or ｕ of another size and place, where a form class of that letter scores 1 to 3. Letters and digits
// only a form class knows count their best.
float letterZinnia(float best, float own, float clearest, const PriorWeights& w = {});

// The Zinnia score a kanji counts for when the models that know kana score it `withKana` and those that know
// none `withoutKana` (the lowest float: no such model scored it), and the best kana of the same ink scores
// `bestKana` (the recogniser passes the lowest float where a Latin letter or digit scores more: two digits
// read together as a kanji lose competitors there and look clearer to the line search): the better of the
// two, but `withoutKana` at most PriorWeights::kanaKanjiLead above `withKana` while `bestKana` is at least
// PriorWeights::plausibleKanaZinnia and `withKana`, and both kinds of model scored the kanji.
float kanjiZinniaBeside(float withKana, float withoutKana, float bestKana, const PriorWeights& w = {});

// The Zinnia score a symbol outside punctuation counts for when it scores `symbol` and the best kana of the
// same ink `bestKana` (the lowest float: none was scored): `symbol`, but at most
// PriorWeights::kanaSymbolLead above `bestKana` while that is at least PriorWeights::plausibleKanaZinnia.
float symbolZinniaBeside(float symbol, float bestKana, const PriorWeights& w = {});

// The cost of `code` for how common it is. `facts` may be null (a class without templates); grades and
// ranks count only when `withFrequency`.
float commonnessCost(CharCode code, const ClassFacts* facts, bool withFrequency, const PriorWeights& w = {});

}  // namespace sw::scribeng
