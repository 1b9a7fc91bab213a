// Test data shared by the unit and the module tests: stroke data in the handle table, a headless
// application, and the DeletePattern cases that both levels run.
#pragma once

#include <QApplication>
#include <algorithm>
#include <initializer_list>
#include <ostream>
#include <vector>

#include "records/handle_table.h"

namespace sw::veiladd::testing_data {

// Color numbers every point, so a test sees which point of the drawing landed where.
inline VeilPoint pt(int32_t x, int32_t y, int16_t state, int32_t color = 0xFFFFFF) {
    return VeilPoint{x, y, state, 3, color};
}

inline std::vector<VeilPoint> join(std::initializer_list<std::vector<VeilPoint>> parts) {
    std::vector<VeilPoint> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The selection as the overlay hands it over; points are compared by X and Y only, so the other fields
// differ.
inline std::vector<VeilPoint> selectionOf(const std::vector<VeilPoint>& points) {
    std::vector<VeilPoint> selection;
    for (const VeilPoint& p : points) selection.push_back({p.X, p.Y, 9, 7, 0x123456});
    return selection;
}

// Stroke data of another component (Owner::Test) in the handle table, released at the end of the scope.
struct Strokes {
    explicit Strokes(const std::vector<VeilPoint>& points)
        : block(allocateStrokeData(Owner::Test, static_cast<int64_t>(points.size()))),
          count(static_cast<int32_t>(points.size())) {
        std::copy(points.begin(), points.end(), block.data);
    }
    ~Strokes() { freeBlock(block.handle, Owner::Test); }
    Strokes(const Strokes&) = delete;
    Strokes& operator=(const Strokes&) = delete;
    Allocation<VeilPoint> block;
    int32_t count;
};

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "veiladd_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

struct DeleteCase {
    const char* name;
    std::vector<VeilPoint> drawing;
    std::vector<VeilPoint> pattern;
    std::vector<int32_t> keptColors;  // the drawing points expected in the result, in this order
};

inline void PrintTo(const DeleteCase& c, std::ostream* os) { *os << c.name; }

inline const std::vector<DeleteCase>& deleteCases() {
    // Strokes A (a1 State 2, a2, a3 State 4) and B (b1 State 2, b2 State 4).
    const std::vector<VeilPoint> a = {pt(10, 10, 2, 1), pt(11, 12, 0, 2), pt(12, 14, 4, 3)};
    const std::vector<VeilPoint> b = {pt(30, 30, 2, 4), pt(31, 33, 4, 5)};
    // S agrees with the selected stroke C on its first two points only.
    const std::vector<VeilPoint> s = {pt(0, 0, 2, 11), pt(1, 1, 0, 12), pt(2, 2, 4, 13)};
    const std::vector<VeilPoint> c = {pt(0, 0, 2, 14), pt(1, 1, 0, 15), pt(3, 3, 4, 16)};
    // Two stroke starts at one place: only a rescan from the run's second point finds the match.
    const std::vector<VeilPoint> x = {pt(0, 0, 2, 21), pt(0, 0, 2, 22), pt(0, 0, 0, 23), pt(5, 5, 4, 24)};
    static const std::vector<DeleteCase> cases = {
        {"BRemoved", join({a, b}), selectionOf(b), {1, 2, 3}},
        {"BothRemoved", join({a, b}), selectionOf(join({a, b})), {}},
        {"ReverseOrderRemovesOnlyB", join({a, b}), selectionOf(join({b, a})), {1, 2, 3}},
        {"AbandonedRunKeepsItsPointsInOrder", join({s, c}), selectionOf(c), {11, 12, 13}},
        {"AbandonedRunResumesBehindItsFirstPoint", x, selectionOf({x[0], x[1], x[3]}), {21}},
        {"UnfinishedLastStrokeStaysOut",
         join({a, {pt(30, 30, 2, 4), pt(31, 33, 0, 5)}}),
         selectionOf(b),
         {1, 2, 3}},
        {"UsedUpPatternMatchesNothing",
         join({b, {pt(30, 30, 2, 6), pt(31, 33, 4, 7)}}),
         selectionOf(b),
         {6, 7}},
        {"MatchInsideAStrokeOpensNoRun", a, selectionOf({a[1], a[2]}), {1, 2, 3}},
        {"NoMatchKeepsEverything", join({a, b}), selectionOf({pt(99, 99, 2)}), {1, 2, 3, 4, 5}},
        // After B is removed, S is abandoned: the pattern must go back to where S began (C's first point),
        // not to the start of the pattern, or C is missed.
        {"AbandonedRunAfterARemovedStroke", join({b, s, c}), selectionOf(join({b, c})), {11, 12, 13}},
        // The same X with another Y is no match.
        {"SameXOtherYIsNoMatch", a, selectionOf({pt(10, 11, 2), pt(11, 13, 0), pt(12, 15, 4)}), {1, 2, 3}},
    };
    return cases;
}

}  // namespace sw::veiladd::testing_data
