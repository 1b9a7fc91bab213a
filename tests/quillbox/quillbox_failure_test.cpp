// The registered module with a stand-in engine that fails on demand: every engine failure leaves the ink and
// the last good result as they were, fires nothing, and frees what it allocated.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "quillbox_module_fixture.h"

namespace sw::quillbox::test {
namespace {

using SetFailure = void (*)(const char*, int, int);

class QuillboxFailure : public QuillboxModule {
protected:
    void SetUp() override {
        QuillboxModule::SetUp();
        // The box has loaded the stand-in from its own folder; this finds the same library.
        m_engine = dlopen(QUILLBOX_FAILING_ENGINE, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(m_engine, nullptr) << "the box did not load the stand-in engine";
        m_set = reinterpret_cast<SetFailure>(dlsym(m_engine, "FailingEngineSet"));
        m_reset = reinterpret_cast<void (*)()>(dlsym(m_engine, "FailingEngineReset"));
        ASSERT_TRUE(m_set && m_reset);
    }
    void TearDown() override {
        if (m_reset) m_reset();
        if (m_engine) dlclose(m_engine);
        QuillboxModule::TearDown();
    }
    void fail(const char* entry, int skip = 0, int times = -1) { m_set(entry, skip, times); }

    void* m_engine = nullptr;
    SetFailure m_set = nullptr;
    void (*m_reset)() = nullptr;
};

TEST_F(QuillboxFailure, EngineFailuresKeepTheInkAndTheLastGoodResult) {
    struct Row {
        const char* name;
        bool recognised;  // the box shows a result before the failing call
        const char* entry;
        int skip;
        std::function<void()> action;
    };
    // Calls a member and checks that it reports the failure (0 or false) when it returns a value.
    auto callOnly = [this](DispId id, std::vector<Variant> args = {}) {
        return [this, id, args] {
            std::vector<Variant> a = args;
            const Variant value = call(id, a);
            if (value.type() == VarType::I4) {
                EXPECT_EQ(value.i4(), 0);
            } else if (value.type() == VarType::Bool) {
                EXPECT_FALSE(value.boolean());
            }
        };
    };
    const Row rows[] = {
        {"cancel without a new object", true, "CreateNewObject", 0, callOnly(kDispRecognizeCancel)},
        {"cancel with a stroke refused half way", true, "AddStrokeLast", 4, callOnly(kDispRecognizeCancel)},
        {"cancel with a stroke not readable", true, "GetNthStroke", 2, callOnly(kDispRecognizeCancel)},
        {"no candidates", true, "RecognizeF", 0, callOnly(kDispGetNthCR, {Variant(int32_t{2})})},
        {"no candidates to choose", true, "RecognizeF", 0,
         callOnly(kDispSetNthRecChars, {Variant(int32_t{2}), Variant(int32_t{1})})},
        {"no candidates to list", true, "RecognizeF", 0,
         callOnly(kDispGetNthRecChars, {Variant(int32_t{2})})},
        {"no character pattern", true, "GetPatternWOfNthChar", 0,
         callOnly(kDispGetNthString, {Variant(int32_t{1})})},
        {"no character count", true, "GetString", 0, callOnly(kDispGetNthCR, {Variant(int32_t{1})})},
        {"last stroke not deleted", false, "DeleteStrokeLast", 0, callOnly(kDispDelLastLine)},
        {"stroke refused from a record", false, "AddStrokeLast", 0,
         [this] {
             const Handle ptw = makePtw({{{10, 10}, {60, 60}}});
             fail("CreateNewObject");  // Clear cannot replace the object either
             call(kDispSetString, {Variant(ptw)});
             freePtw(ptw, Owner::Test);
         }},
    };
    const Strokes line = loadLine("line3_a.txt").strokes;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        m_reset();
        loadAndRecognize(line);
        if (!r.recognised) call(kDispRecognizeCancel);
        if (r.entry == std::string("AddStrokeLast") && !r.recognised) {
            // SetString clears first: what stays is the empty box, never the refused stroke.
            fail(r.entry, r.skip);
            m_log.take();
            r.action();
            EXPECT_TRUE(ink().empty());
            continue;
        }
        const Strokes before = ink();
        const std::u16string result = get(kDispResult).bstr();
        const bool mode = recog();
        m_log.take();
        fail(r.entry, r.skip);
        r.action();
        m_reset();
        EXPECT_EQ(ink(), before);
        EXPECT_EQ(get(kDispResult).bstr(), result);
        EXPECT_EQ(recog(), mode);
        EXPECT_TRUE(m_log.take().empty());
    }
}

TEST_F(QuillboxFailure, FailedRecognitionLeavesInputModeWithTheInk) {
    for (const char* entry : {"RecognizeNF", "GetString"}) {
        SCOPED_TRACE(entry);
        m_reset();
        const Strokes line = loadLine("line3_a.txt").strokes;
        call(kDispClear);
        m_log.take();
        fail(entry);
        loadAndRecognize(line);
        EXPECT_FALSE(recog());
        EXPECT_EQ(get(kDispResult).bstr(), u"");
        m_reset();
        EXPECT_EQ(ink(), line);
        EXPECT_TRUE(m_log.take().empty());
        call(kDispRecognize);
        EXPECT_EQ(get(kDispResult).bstr(), u"山川口") << "recognised once the engine works again";
    }
}

// A pen stroke the engine refuses is not left on screen as if it were stored.
TEST_F(QuillboxFailure, RefusedPenStrokeLeavesTheScreen) {
    std::vector<Variant> move{Variant(0.0f), Variant(0.0f), Variant(200.0f), Variant(100.0f)};
    ASSERT_EQ(m_box->invoke(com::kDispExtMove, kInvokeMethod, move, nullptr), 0);
    put(kDispForeColor, Variant(int32_t{0x000000FF}));
    put(kDispBackColor, Variant(int32_t{0x00FFFFFF}));
    auto redPixels = [&] {
        const QImage picture = widget()->grab().toImage();
        int n = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) n += (picture.pixel(x, y) & 0xFFFFFF) == 0xFF0000;
        return n;
    };
    stroke({{20, 50}, {100, 50}, {180, 52}});
    EXPECT_GT(redPixels(), 100);
    fail("AddStrokeLast");
    stroke({{20, 80}, {100, 80}, {180, 82}});
    m_reset();
    EXPECT_EQ(ink().size(), 1u);
    const QImage picture = widget()->grab().toImage();
    int lower = 0;
    for (int x = 0; x < picture.width(); ++x) lower += (picture.pixel(x, 80) & 0xFFFFFF) == 0xFF0000;
    EXPECT_EQ(lower, 0);
    EXPECT_GT(redPixels(), 100) << "the stored stroke stays";
}

// A regroup whose recognition fails never leaves a Result without the engine's result behind it: a plain
// recognition stands in, and failing that the box is back in input mode with its ink.
TEST_F(QuillboxFailure, FailedRegroupFallsBackToAPlainRecognition) {
    const Strokes line = loadLine("line3_a.txt").strokes;
    auto mergeFirstTwo = [&] {
        std::vector<QPoint> path;
        for (int x = 70; x <= 205; x += 15) path.emplace_back(x, 60);
        stroke(path);
    };
    struct Row {
        const char* name;
        const char* entry;
        int times;
        bool recog;
        bool event;
    };
    const Row rows[] = {
        {"regroup refused: nothing changes", "GiveStrokeSetInfo", -1, true, false},
        {"regrouping recognition fails: a plain one", "RecognizeNF", 1, true, true},
        {"both fail: input mode with the ink", "RecognizeNF", 2, false, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        m_reset();
        loadAndRecognize(line);
        const std::u16string before = result();
        m_log.take();
        fail(r.entry, 0, r.times);
        mergeFirstTwo();
        m_reset();
        EXPECT_EQ(recog(), r.recog);
        EXPECT_EQ(ink(), line);
        EXPECT_EQ(m_log.take().size(), r.event ? 1u : 0u);
        if (!r.event) {
            EXPECT_EQ(result(), before);
        }
        // Every character of the Result has its strokes in the engine, and no more.
        const auto n = static_cast<int32_t>(result().size());
        for (int32_t i = 1; i <= n; ++i) {
            const Handle ptw = call(kDispGetNthString, {Variant(i)}).i4();
            EXPECT_NE(ptw, 0) << i;
            call(kDispDeletePTW, {Variant(ptw)});
        }
        EXPECT_EQ(call(kDispGetNthString, {Variant(n + 1)}).i4(), 0);
    }
}

// Clear without a new engine object still empties the box, through the old object.
TEST_F(QuillboxFailure, ClearWithoutANewObjectEmptiesTheOldOne) {
    loadAndRecognize(loadLine("line3_a.txt").strokes);
    m_log.take();
    fail("CreateNewObject");
    call(kDispClear);
    m_reset();
    EXPECT_TRUE(ink().empty());
    EXPECT_FALSE(recog());
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));
    loadAndRecognize(loadLine("line3_a.txt").strokes);
    EXPECT_EQ(get(kDispResult).bstr(), u"山川口");
}

}  // namespace
}  // namespace sw::quillbox::test
