// A test fixture that drives libscribeng.so as the recognition box does: loaded once per suite with dlopen
// from the runtime folder, every entry point bound by name; the objects a test makes are destroyed after it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "scribeng/loader.h"

namespace sw::scribeng::testing {

inline constexpr int32_t kAllCategories = 0x1FF;

// The runtime folder: SLATEWISE_RUNTIME_DIR when the test runner sets it, else the build's own.
inline std::filesystem::path runtimeDir() {
    const char* dir = std::getenv("SLATEWISE_RUNTIME_DIR");
    return dir && *dir ? std::filesystem::path(dir) : std::filesystem::path(SCRIBENG_RUNTIME_DIR);
}

// The stroke runs (first, last) of the characters of a result.
using Runs = std::vector<std::pair<int32_t, int32_t>>;

class EngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_lib = new EngineLibrary;
        ASSERT_TRUE(s_lib->load((runtimeDir() / "libscribeng.so").string())) << s_lib->error();
    }
    static void TearDownTestSuite() {
        delete s_lib;
        s_lib = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(s_lib, nullptr);
        lib().SetRecCategory(kAllCategories);
        lib().SetGuideBox(0, 0, 0, 0);
    }
    void TearDown() override {
        if (!s_lib) return;
        for (int32_t o : m_objects) lib().DestroyObject(o);
        lib().SetRecCategory(kAllCategories);
    }
    static const EngineLibrary& lib() { return *s_lib; }

    // A new object holding the strokes, destroyed after the test.
    int32_t objectWith(const std::vector<std::vector<EnginePoint>>& strokes) {
        const int32_t o = lib().CreateNewObject();
        EXPECT_NE(o, 0);
        m_objects.push_back(o);
        for (const auto& s : strokes) {
            EXPECT_EQ(lib().AddStrokeLast(o, s.data(), static_cast<int32_t>(s.size())), 0);
        }
        return o;
    }
    void adopt(int32_t object) { m_objects.push_back(object); }

    // The stroke run of every character of the result.
    static Runs runs(int32_t o) {
        Runs out;
        int32_t n = 0;
        lib().GetString(o, 0, &n);
        for (int32_t ch = 0; ch < n; ++ch) {
            int32_t first = -1, last = -1;
            EXPECT_EQ(lib().GetStrokeNoOfNthChar(o, 0, ch, &first, &last), 0);
            out.emplace_back(first, last);
        }
        return out;
    }

private:
    inline static EngineLibrary* s_lib = nullptr;
    std::vector<int32_t> m_objects;
};

}  // namespace sw::scribeng::testing
