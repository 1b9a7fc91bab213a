// What Zinnia is handed: a bounded number of points per stroke, whatever the input, and the same scores as
// with every point; strokes written without lifting the pen taken apart again.
#include "scribeng/zinnia_ink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <string>

#include "hostile_ink.h"
#include "stroke_file.h"

namespace {

namespace fs = std::filesystem;
using sw::scribeng::Box;
using sw::scribeng::Stroke;

std::vector<Stroke> toStrokes(const sw::scribeng::hostile::Strokes& in) { return {in.begin(), in.end()}; }

// A spiral of `points` points over `turns` turns, `radius` pixels: every point is a vertex of the split.
std::vector<Stroke> spiral(int points, int turns, int radius) {
    Stroke s;
    for (int i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) / points;
        const double a = 2 * M_PI * turns * t;
        s.push_back({static_cast<int32_t>(std::lround(radius * t * std::cos(a))),
                     static_cast<int32_t>(std::lround(radius * t * std::sin(a)))});
    }
    return {s};
}

struct Hostile {
    const char* name;
    std::vector<Stroke> strokes;
};

// A stroke that keeps doubling back made Zinnia recurse hundreds of levels deep (22 s and 4 GB for 600
// points); no stroke of any shape, length or size may reach it with more than kMaxZinniaPoints points.
TEST(ZinniaInk, NoStrokeReachesZinniaWithMorePointsThanTheBound) {
    const Hostile rows[] = {
        {"doubling_back_600", toStrokes(sw::scribeng::hostile::doublingBack(600))},
        {"doubling_back_3000", toStrokes(sw::scribeng::hostile::doublingBack(3000))},
        {"spiral_3000", spiral(3000, 40, 500)},
        {"huge_spiral", spiral(3000, 40, 1'000'000'000)},
        {"scribble", toStrokes(sw::scribeng::hostile::scribble(50))},
    };
    for (const auto& [name, strokes] : rows) {
        const Box ink = sw::scribeng::boundsOf(strokes);
        const auto placed = sw::scribeng::zinniaStrokesOf(strokes, ink, Box{});
        ASSERT_EQ(placed.size(), strokes.size()) << name;
        for (const auto& stroke : placed) {
            EXPECT_LE(stroke.size(), sw::scribeng::kMaxZinniaPoints) << name;
            EXPECT_GE(stroke.size(), 1u) << name;
            for (const auto& p : stroke) {
                EXPECT_TRUE(p.x >= 0 && p.x <= sw::scribeng::kZinniaSpace) << name;
                EXPECT_TRUE(p.y >= 0 && p.y <= sw::scribeng::kZinniaSpace) << name;
            }
        }
    }
}

// The cost and the result depend on the shape, not on the pixel size of the writing or its point density:
// the same character ten times larger, or with a point between every two, gives Zinnia the same points.
TEST(ZinniaInk, SizeAndDensityDoNotChangeWhatZinniaSees) {
    auto file = sw::scribeng::readStrokeFile(fs::path(SCRIBENG_TEST_DATA) / "single_02.txt");
    ASSERT_TRUE(file.has_value());
    std::vector<Stroke> base, larger, denser;
    for (const auto& s : file->strokes) {
        auto& b = base.emplace_back();
        auto& l = larger.emplace_back();
        auto& d = denser.emplace_back();
        for (size_t i = 0; i < s.size(); ++i) {
            b.push_back({2 * s[i].x, 2 * s[i].y});
            l.push_back({20 * s[i].x, 20 * s[i].y});
            if (i > 0) d.push_back({s[i - 1].x + s[i].x, s[i - 1].y + s[i].y});
            d.push_back({2 * s[i].x, 2 * s[i].y});
        }
    }
    const auto seen = [](const std::vector<Stroke>& strokes) {
        return sw::scribeng::zinniaStrokesOf(strokes, sw::scribeng::boundsOf(strokes), Box{});
    };
    EXPECT_EQ(seen(larger), seen(base));
    EXPECT_EQ(seen(denser), seen(base));
}

// Zinnia's features depend only on the vertices kept: every class scores exactly as with every point.
TEST(ZinniaInk, ReducedStrokesScoreAsTheWholeStrokes) {
    sw::scribeng::ZinniaModel model;
    ASSERT_TRUE(model.open("/usr/share/tegaki/models/zinnia/handwriting-ja.model"));
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(SCRIBENG_TEST_DATA)) {
        if (entry.path().filename().string().rfind("single_", 0) != 0) continue;
        auto file = sw::scribeng::readStrokeFile(entry.path());
        ASSERT_TRUE(file.has_value());
        const std::vector<Stroke> strokes(file->strokes.begin(), file->strokes.end());
        const Box ink = sw::scribeng::boundsOf(strokes);
        sw::scribeng::ZinniaCharacter whole(sw::scribeng::kZinniaSpace, sw::scribeng::kZinniaSpace);
        const auto all = sw::scribeng::zinniaStrokesOf(strokes, ink, Box{}, false);
        for (size_t id = 0; id < all.size(); ++id) {
            for (const auto& p : all[id]) whole.add(id, p.x, p.y);
        }
        const auto expected = model.classify(whole, 10);
        const auto got = model.classify(sw::scribeng::zinniaCharacterOf(strokes, ink, Box{}), 10);
        ASSERT_EQ(got.size(), expected.size()) << entry.path();
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].label, expected[i].label) << entry.path() << " " << i;
            EXPECT_FLOAT_EQ(got[i].score, expected[i].score) << entry.path() << " " << i;
        }
        ++compared;
    }
    EXPECT_GE(compared, 40);
}

// A stroke through the corners, a point every 2 pixels.
Stroke through(std::initializer_list<std::pair<int32_t, int32_t>> corners) {
    Stroke s;
    auto at = corners.begin();
    s.push_back({at->first, at->second});
    for (auto next = std::next(at); next != corners.end(); at = next++) {
        const int32_t steps =
            std::max(std::abs(next->first - at->first), std::abs(next->second - at->second)) / 2;
        for (int32_t k = 1; k <= steps; ++k) {
            s.push_back({at->first + (next->first - at->first) * k / steps,
                         at->second + (next->second - at->second) * k / steps});
        }
    }
    return s;
}

// The strokes written in one movement: each joined to the next by the pen's straight way.
std::vector<Stroke> inOneMovement(const std::vector<Stroke>& strokes) {
    Stroke joined;
    for (const auto& s : strokes) joined.insert(joined.end(), s.begin(), s.end());
    return {joined};
}

// The pen's way between strokes written without lifting it is taken out, the likeliest ways first, and the
// strokes come back exactly as Zinnia would see them written apart: a short way of a few pixels too, and ways
// going down-left or right and a little up, as a real hand's joins do, and ways right or down where the pen
// turns sharply at both ends, after the likelier ways, in ink of two strokes or more (a long way before a
// short one going about as likely a way); where a way runs straight on into the next stroke, the stroke is
// split where the pen turns back, after every way. Turns, hooks at a stroke's end, short steps back, a stroke
// bending gently or curving down-left and strokes written apart are no ways.
TEST(ZinniaInk, JoinedStrokesAreTakenApartAtThePensWay) {
    const std::vector<Stroke> two = {through({{10, 30}, {90, 30}}), through({{10, 70}, {90, 70}})};
    const std::vector<Stroke> three = {through({{10, 20}, {90, 20}}), through({{20, 50}, {80, 50}}),
                                       through({{10, 85}, {90, 85}})};
    const std::vector<Stroke> mouth = {through({{10, 10}, {10, 90}}), through({{10, 10}, {90, 10}, {90, 90}}),
                                       through({{10, 90}, {90, 90}})};
    const std::vector<Stroke> firstTwoJoined = {inOneMovement({three[0], three[1]})[0], three[2]};
    // Four bars joined by ways alike: the middle way ranks first (its ends fall on other pixels); the last
    // version has it replaced, the first and last ways out.
    const std::vector<Stroke> four = {through({{10, 15}, {90, 15}}), through({{10, 40}, {90, 40}}),
                                      through({{10, 65}, {90, 65}}), through({{10, 90}, {90, 90}})};
    const std::vector<Stroke> middleJoinedOfFour = {four[0], inOneMovement({four[1], four[2]})[0], four[3]};
    const struct {
        const char* name;
        std::vector<Stroke> written;
        size_t most;
        size_t alternatives;
        std::vector<size_t> cuts;   // of each version
        std::vector<Stroke> apart;  // what the last version must equal, written apart
    } rows[] = {
        {"two strokes joined", inOneMovement(two), 3, 0, {1}, two},
        {"three strokes joined", inOneMovement(three), 3, 0, {1, 2}, three},
        {"three strokes, one way asked", inOneMovement(three), 1, 0, {1}, {}},
        {"three strokes, one way asked, the next likeliest instead",
         inOneMovement(three),
         1,
         1,
         {1, 1},
         firstTwoJoined},
        {"three strokes, both ways and one alternative", inOneMovement(three), 3, 1, {1, 1, 2}, three},
        {"four strokes, two ways asked, each in turn replaced by the next likeliest",
         inOneMovement(four),
         2,
         1,
         {1, 1, 2, 2, 2},
         middleJoinedOfFour},
        {"a square written apart", mouth, 3, 1, {}, {}},
        {"a turn down", {through({{10, 10}, {90, 10}, {90, 90}})}, 3, 0, {}, {}},
        {"a hook at the end", {through({{50, 10}, {50, 90}, {30, 75}})}, 3, 0, {}, {}},
        {"a short step back", {through({{10, 50}, {90, 50}, {86, 48}, {86, 90}})}, 3, 0, {}, {}},
        {"a short way up to the next stroke",
         {through({{20, 10}, {20, 90}, {25, 85}, {90, 85}})},
         3,
         0,
         {1},
         {through({{20, 10}, {20, 90}}), through({{25, 85}, {90, 85}})}},
        {"a very short way up, turning sharply at both ends",
         {through({{10, 50}, {50, 50}, {50, 46}, {90, 46}})},
         3,
         0,
         {1},
         {through({{10, 50}, {50, 50}}), through({{50, 46}, {90, 46}})}},
        {"a very short step up and on, turning gently",
         {through({{10, 50}, {50, 50}, {53, 47}, {90, 47}})},
         3,
         0,
         {},
         {}},
        {"a way bent a little halfway",
         {through({{20, 10}, {20, 90}, {52, 60}, {80, 30}, {80, 90}})},
         3,
         0,
         {1},
         {through({{20, 10}, {20, 90}}), through({{80, 30}, {80, 90}})}},
        {"a way down and left from a stroke's end to the next start",
         {through({{20, 20}, {80, 20}, {40, 60}, {90, 60}})},
         3,
         0,
         {1},
         {through({{20, 20}, {80, 20}}), through({{40, 60}, {90, 60}})}},
        {"a way right and a little up from a stroke's end to the next start",
         {through({{20, 10}, {20, 80}, {70, 62}, {70, 90}})},
         3,
         0,
         {1},
         {through({{20, 10}, {20, 80}}), through({{70, 62}, {70, 90}})}},
        {"a way right from a stroke's end to the next start, turning sharply at both ends",
         {through({{20, 10}, {20, 50}, {70, 50}, {70, 90}}), through({{10, 95}, {90, 95}})},
         3,
         0,
         {1},
         {through({{20, 10}, {20, 50}}), through({{70, 50}, {70, 90}}), through({{10, 95}, {90, 95}})}},
        {"the same way in ink of one stroke (a u)",
         {through({{20, 10}, {20, 50}, {70, 50}, {70, 90}})},
         3,
         0,
         {},
         {}},
        {"a way down and a way up",
         {through({{10, 20}, {50, 20}, {50, 60}, {90, 60}}),
          through({{20, 95}, {60, 95}, {60, 75}, {90, 75}})},
         3,
         0,
         {1, 2},
         {through({{10, 20}, {50, 20}}), through({{50, 60}, {90, 60}}), through({{20, 95}, {60, 95}}),
          through({{60, 75}, {90, 75}})}},
        {"a long way up and right taken out before a short way straight up",
         {through({{20, 10}, {20, 50}, {60, 10}, {60, 50}, {85, 50}, {85, 46}, {95, 46}})},
         1,
         0,
         {1},
         {through({{20, 10}, {20, 50}}), through({{60, 10}, {60, 50}, {85, 50}, {85, 46}, {95, 46}})}},
        {"a way running straight on into the next stroke, split where the pen turns back",
         {through({{10, 20}, {90, 20}, {20, 90}}), through({{60, 50}, {90, 95}})},
         3,
         0,
         {1},
         {through({{10, 20}, {90, 20}}), through({{90, 20}, {20, 90}}), through({{60, 50}, {90, 95}})}},
        {"the same turn back in ink of one stroke", {through({{10, 20}, {90, 20}, {20, 90}})}, 3, 0, {}, {}},
        {"a hook's short turn back",
         {through({{50, 10}, {50, 90}, {47, 87}}), through({{10, 50}, {90, 50}})},
         3,
         0,
         {},
         {}},
        {"a stroke going right between gentle bends",
         {through({{10, 20}, {40, 40}, {80, 40}, {95, 60}})},
         3,
         0,
         {},
         {}},
        {"a stroke curving from down to left",
         {through({{80, 10}, {78, 40}, {48, 70}, {10, 73}})},
         3,
         0,
         {},
         {}},
        {"a stroke bending up and left",
         {through({{95, 95}, {73, 95}, {52, 89}, {33, 78}, {17, 63}, {6, 44}, {0, 22}})},
         3,
         0,
         {},
         {}},
    };
    for (const auto& row : rows) {
        const Box ink = sw::scribeng::boundsOf(row.written);
        const auto placed = sw::scribeng::zinniaStrokesOf(row.written, ink, Box{}, false);
        const auto versions = sw::scribeng::unjoinedVersions(placed, row.most, row.alternatives);
        ASSERT_EQ(versions.size(), row.cuts.size()) << row.name;
        for (size_t v = 0; v < versions.size(); ++v) {
            EXPECT_EQ(versions[v].cuts, row.cuts[v]) << row.name;
            EXPECT_EQ(versions[v].strokes.size(), placed.size() + row.cuts[v]) << row.name;
            ASSERT_EQ(versions[v].ink.size(), versions[v].strokes.size()) << row.name;
            for (size_t s = 0; s < versions[v].ink.size(); ++s)
                EXPECT_EQ(sw::scribeng::zinniaVertices(versions[v].ink[s]), versions[v].strokes[s])
                    << row.name;
        }
        if (!row.apart.empty()) {
            EXPECT_EQ(versions.back().strokes, sw::scribeng::zinniaStrokesOf(row.apart, ink, Box{}))
                << row.name;
            EXPECT_EQ(versions.back().ink, sw::scribeng::zinniaStrokesOf(row.apart, ink, Box{}, false))
                << row.name;
        }
    }
}

// A way that the stroke after it runs back over, or that runs back over the end of the stroke before it,
// leaves no ink of its own: it is taken out of the ink as written, from where the pen turns back (not from a
// bend of the stroke before that the way runs on past), and where the pen turns by a right angle at both ends
// also when short or run back over for only half of it. A way the next stroke leaves at an angle, or runs
// back over for less than half of it, a stroke's gentle bend that the stroke runs back over (ひ's first bend)
// and a short corner it runs back along (ム) stay.
TEST(ZinniaInk, WaysRunBackOverAreTakenOut) {
    const Stroke dot = through({{60, 10}, {58, 30}});
    const Stroke bar = through({{30, 32}, {95, 32}});
    const struct {
        const char* name;
        std::vector<Stroke> written;
        std::vector<Stroke> apart;  // empty: left as written
    } rows[] = {
        {"a dot, a way left and the bar back over it",
         {through({{60, 10}, {58, 30}, {30, 32}, {95, 32}}), through({{40, 50}, {40, 95}})},
         {dot, bar, through({{40, 50}, {40, 95}})}},
        {"a bar, a way down-left and the next bar back over it",
         {through({{20, 20}, {80, 20}, {80, 80}, {40, 90}, {95, 76}}), through({{10, 5}, {10, 50}})},
         {through({{20, 20}, {80, 20}, {80, 80}}), through({{40, 90}, {95, 76}}),
          through({{10, 5}, {10, 50}})}},
        {"a bar, a way back left over its end and the next stroke down",
         {through({{10, 30}, {90, 30}, {50, 31}, {50, 90}}), through({{20, 95}, {80, 95}})},
         {through({{10, 30}, {90, 30}}), through({{50, 31}, {50, 90}}), through({{20, 95}, {80, 95}})}},
        {"a stroke bending down, a way back up over its end and beyond, and the next stroke right",
         {through({{46, 20}, {50, 45}, {50, 80}, {50, 30}, {90, 30}}), through({{10, 95}, {90, 95}})},
         {through({{46, 20}, {50, 45}, {50, 80}}), through({{50, 30}, {90, 30}}),
          through({{10, 95}, {90, 95}})}},
        {"a dot, a short way left and the bar back over it",
         {through({{60, 10}, {58, 30}, {53, 28}, {95, 28}}), through({{40, 50}, {40, 95}})},
         {dot, through({{53, 28}, {95, 28}}), through({{40, 50}, {40, 95}})}},
        {"a dot, a long way left and a short bar back over more than half of it",
         {through({{60, 10}, {58, 30}, {18, 18}, {45, 25}}), through({{40, 50}, {40, 95}})},
         {dot, through({{18, 18}, {45, 25}}), through({{40, 50}, {40, 95}})}},
        {"a stroke's short corner down-left that it runs back along to the right (ム)",
         {through({{40, 10}, {40, 40}, {36, 42}, {90, 42}}), through({{10, 95}, {90, 95}})},
         {}},
        {"a way up-left and the next stroke down",
         {through({{20, 60}, {80, 60}, {50, 20}, {50, 95}}), through({{10, 90}, {90, 90}})},
         {}},
        {"a stroke bending up and right and running back over its bend",
         {through({{10, 40}, {50, 34}, {70, 22}, {40, 40}, {40, 90}}), through({{80, 60}, {80, 95}})},
         {}},
        {"a way left run back over in part",
         {through({{60, 10}, {58, 30}, {30, 32}, {42, 32}, {42, 90}}), through({{10, 95}, {90, 95}})},
         {}},
    };
    for (const auto& row : rows) {
        const Box ink = sw::scribeng::boundsOf(row.written);
        auto placed = sw::scribeng::zinniaStrokesOf(row.written, ink, Box{}, false);
        const auto before = placed;
        const size_t cut = sw::scribeng::cutRetracedWays(placed);
        if (row.apart.empty()) {
            EXPECT_EQ(cut, 0U) << row.name;
            EXPECT_EQ(placed, before) << row.name;
            continue;
        }
        EXPECT_EQ(cut, row.apart.size() - row.written.size()) << row.name;
        ASSERT_EQ(placed.size(), row.apart.size()) << row.name;
        const auto apart = sw::scribeng::zinniaStrokesOf(row.apart, ink, Box{}, false);
        for (size_t s = 0; s < placed.size(); ++s) {
            EXPECT_EQ(sw::scribeng::zinniaVertices(placed[s]), sw::scribeng::zinniaVertices(apart[s]))
                << row.name << " " << s;
        }
    }
}

}  // namespace

// What a version says of its ways: the recogniser eases the cost of reading it where they are long and go
// where the pen goes between strokes, or where the pen turns sharply at both ends of each.
TEST(ZinniaInk, EachVersionTellsItsLeastLikelyAndShortestWay) {
    // The character spans 700 units of Zinnia's space: 8.75 a canvas unit for these 80 wide or high.
    const struct {
        const char* name;
        std::vector<Stroke> written;
        std::vector<float> weakest;    // of each version
        std::vector<float> shortest;   // of each version
        std::vector<float> leastTurn;  // of each version (degrees)
    } rows[] = {
        {"a long way straight up",
         {through({{10, 80}, {50, 80}, {50, 20}, {90, 20}})},
         {3.86F},
         {525.0F},
         {90.0F}},
        {"a way up and right",
         {through({{10, 10}, {10, 90}, {60, 40}, {60, 90}})},
         {2.15F},
         {618.7F},
         {135.0F}},
        {"two ways left and down, the second the weaker and longer",
         inOneMovement(
             {through({{10, 20}, {90, 20}}), through({{20, 50}, {80, 50}}), through({{10, 85}, {90, 85}})}),
         {1.62F, 1.46F},
         {666.4F, 666.4F},
         {156.8F, 153.4F}},
        {"a way up and left, bending on from the stroke before",
         {through({{90, 60}, {50, 60}, {20, 40}, {20, 90}})},
         {2.33F},
         {360.6F},
         {33.7F}},
    };
    for (const auto& row : rows) {
        const Box ink = sw::scribeng::boundsOf(row.written);
        const auto placed = sw::scribeng::zinniaStrokesOf(row.written, ink, Box{}, false);
        const auto versions = sw::scribeng::unjoinedVersions(placed, 3);
        ASSERT_EQ(versions.size(), row.weakest.size()) << row.name;
        for (size_t v = 0; v < versions.size(); ++v) {
            EXPECT_NEAR(versions[v].weakest, row.weakest[v], 0.03F) << row.name << " " << v;
            EXPECT_NEAR(versions[v].shortest, row.shortest[v], 3.0F) << row.name << " " << v;
            EXPECT_NEAR(versions[v].leastTurn, row.leastTurn[v], 2.0F) << row.name << " " << v;
        }
    }
}
