// The selection rules of the gestures against a scripted stand-in engine (loaded from its own folder like the
// real one), so that every character box and stroke run is known: the stroke run a lasso or an open line
// selects, the character under a point and the tap area.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QWidget>
#include <memory>

#include "quillbox/quillbox_ctrl.h"
#include "quillbox_test_support.h"

namespace sw::quillbox::test {
namespace {

using Group = void (*)(const int32_t*, int32_t);

std::vector<EnginePoint> line(QPoint from, QPoint to, int count = 7) {
    std::vector<EnginePoint> points;
    for (int i = 0; i < count; ++i) {
        const QPoint p = from + (to - from) * i / (count - 1);
        points.push_back(EnginePoint{p.x(), p.y()});
    }
    return points;
}

class Selection : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        m_baseline = liveBlockCount();
        m_host = std::make_unique<QWidget>();
        m_ctrl = std::make_unique<CQuillboxCtrl>(QUILLBOX_SCRIPTED_DIR);
        PropExchange reset(ExchangeMode::Reset, nullptr);
        m_ctrl->exchangeProperties(reset);
        ASSERT_NE(m_ctrl->createWindow(m_host.get()), nullptr);
        ASSERT_TRUE(m_ctrl->setExtent(400, 120));
        m_engine = dlopen(QUILLBOX_SCRIPTED_DIR "/libscribeng.so", RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(m_engine, nullptr);
        m_group = reinterpret_cast<Group>(dlsym(m_engine, "ScriptedEngineGroup"));
        ASSERT_NE(m_group, nullptr);
    }
    void TearDown() override {
        m_ctrl.reset();
        m_host.reset();
        if (m_engine) dlclose(m_engine);
        EXPECT_EQ(liveBlockCount(), m_baseline);
    }
    QuillboxBox& box() { return m_ctrl->box(); }

    // Loads the strokes, grouped into characters of the given sizes, and recognises them.
    void load(const Strokes& strokes, std::vector<int32_t> sizes) {
        m_group(sizes.data(), static_cast<int32_t>(sizes.size()));
        const Handle ptw = makePtw(strokes);
        box().setString(ptw);
        freePtw(ptw, Owner::Test);
        box().recognize();
        ASSERT_TRUE(box().props().recog);
    }
    // The run a gesture through the window points selects (the pen stays down; nothing is regrouped).
    StrokeRun select(const std::vector<QPoint>& points) {
        box().leftDown(points.front());
        for (size_t i = 1; i < points.size(); ++i) box().mouseMove(points[i]);
        const StrokeRun run = box().selectStrokesInRegion();
        box().clear();
        return run;
    }

    size_t m_baseline = 0;
    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<CQuillboxCtrl> m_ctrl;
    void* m_engine = nullptr;
    Group m_group = nullptr;
};

std::vector<QPoint> loop(std::vector<QPoint> corners) {
    corners.push_back(corners.front() + QPoint(0, 2));
    return corners;
}

// A: three horizontal strokes (0-2); B: a cross (3-4); C: two upright parts side by side (5-6).
Strokes threeCharacters() {
    return {line({20, 30}, {80, 30}),   line({20, 50}, {80, 50}),   line({20, 75}, {80, 75}),
            line({120, 50}, {180, 50}), line({150, 20}, {150, 80}), line({220, 20}, {220, 80}),
            line({240, 20}, {240, 80})};
}

TEST_F(Selection, RunOfStrokesALassoOrLineSelects) {
    struct Row {
        const char* name;
        std::vector<QPoint> gesture;
        float selectInPoint = 0.75f;
        float divSize = 0.65f;
        int32_t minBound = 0;
        StrokeRun expected;
    };
    const StrokeRun none{};
    const Row rows[] = {
        {"closed lasso around A", loop({{10, 10}, {90, 10}, {90, 90}, {10, 90}}), 0.75f, 0.65f, 0, {0, 2}},
        {"closed lasso around A and B",
         loop({{10, 10}, {190, 10}, {190, 90}, {10, 90}}),
         0.75f,
         0.65f,
         0,
         {0, 4}},
        {"four of seven points are too few at 0.75", loop({{10, 10}, {55, 10}, {55, 90}, {10, 90}}), 0.75f,
         0.65f, 0, none},
        {"four of seven points suffice at 0.5",
         loop({{10, 10}, {55, 10}, {55, 90}, {10, 90}}),
         0.5f,
         0.65f,
         0,
         {0, 2}},
        {"the longer run wins",
         loop({{10, 20}, {190, 10}, {190, 90}, {100, 90}, {100, 40}, {10, 40}}),
         0.75f,
         0.65f,
         0,
         {3, 4}},
        {"open line down through C: its left part",
         {{230, 10}, {230, 55}, {230, 100}},
         0.75f,
         0.65f,
         0,
         {5, 5}},
        {"the same line drawn upward", {{230, 100}, {230, 55}, {230, 10}}, 0.75f, 0.65f, 0, {5, 5}},
        {"with DivSize 1 the line is closed and encloses nothing",
         {{230, 10}, {230, 55}, {230, 100}},
         0.75f,
         1.0f,
         0,
         none},
        {"a short way back makes it closed", {{230, 10}, {230, 100}, {230, 60}}, 0.75f, 0.9f, 0, none},
        {"a line beside the whole character selects nothing",
         {{255, 10}, {255, 100}},
         0.75f,
         0.65f,
         80,
         none},
        {"open line across A: the strokes above it",
         {{10, 60}, {55, 60}, {100, 60}},
         0.75f,
         0.65f,
         0,
         {0, 1}},
        {"the same line drawn leftward", {{100, 60}, {55, 60}, {10, 60}}, 0.75f, 0.65f, 0, {0, 1}},
        {"a lasso that touches no character", loop({{300, 10}, {390, 10}, {390, 100}, {300, 100}}), 0.75f,
         0.65f, 0, none},
    };
    load(threeCharacters(), {3, 2, 2});
    for (const Row& r : rows) {
        box().props().selectInPoint = r.selectInPoint;
        box().props().divSize = r.divSize;
        box().props().minBound = r.minBound;
        load(threeCharacters(), {3, 2, 2});
        EXPECT_EQ(select(r.gesture), r.expected) << r.name;
    }
}

// D a large box, E nested in it, F overlapping D without nesting, G the same box as F.
TEST_F(Selection, CharacterUnderAPointAndItsTapArea) {
    load({line({10, 10}, {199, 99}), line({50, 40}, {80, 60}), line({180, 50}, {259, 109}),
          line({259, 50}, {180, 109})},
         {1, 1, 1, 1});
    struct Row {
        const char* name;
        QPoint point;
        int32_t expected;
    };
    const Row rows[] = {
        {"nested boxes give the innermost", {60, 50}, 2},
        {"overlapping boxes give the earlier", {190, 60}, 1},
        {"equal boxes count as nested: the later", {250, 105}, 4},
        {"outside every box", {5, 5}, 0},
        {"right and bottom edges are outside", {259, 60}, 0},
    };
    for (const Row& r : rows) EXPECT_EQ(box().hitTestChar(r.point), r.expected) << r.name;

    box().props().foreWidth = 2;
    box().props().tapPointSize = 0.5f;
    // E's box (50, 40)-(80, 60) widened to (48, 38)-(83, 63); its bottom-right half from (66, 51).
    EXPECT_TRUE(box().isInTapArea({70, 55}, 1));
    EXPECT_TRUE(box().isInTapArea({82, 62}, 1));
    EXPECT_FALSE(box().isInTapArea({60, 55}, 1));
    EXPECT_FALSE(box().isInTapArea({70, 45}, 1));
    EXPECT_FALSE(box().isInTapArea({70, 55}, 7)) << "no such character";
    box().props().tapPointSize = 0;
    EXPECT_FALSE(box().isInTapArea({82, 62}, 1)) << "no tap area at size 0";

    box().props().recog = false;
    EXPECT_EQ(box().hitTestChar({60, 50}), 0) << "input mode";
}

}  // namespace
}  // namespace sw::quillbox::test
