// Helpers of the recognition box's tests: the Qt application, stroke lines of the engine's development set
// as pattern records, and a recorder of the box's events.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "contracts/quillbox.h"
#include "contracts/scribeng.h"
#include "platform/automation/events.h"
#include "platform/gdi/fonts.h"
#include "platform/text/cp932.h"
#include "records/handle_table.h"
#include "stroke_file.h"
#include "stroke_records.h"

// Found by argument-dependent lookup: EnginePoint is a C struct of the global namespace.
inline bool operator==(const EnginePoint& a, const EnginePoint& b) { return a.x == b.x && a.y == b.y; }

namespace sw::quillbox::test {

inline QApplication& app() {
    static int argc = 1;
    static char name[] = "quillbox_test";
    static char* argv[] = {name, nullptr};
    static auto* application = [] {
        auto* a = new QApplication(argc, argv);
        gdi::installFaceSubstitutions();
        return a;
    }();
    return *application;
}

inline std::filesystem::path runtimeDir() { return QUILLBOX_RUNTIME_DIR; }

inline scribeng::StrokeFile loadLine(const std::string& name) {
    std::string error;
    auto file = scribeng::readStrokeFile(std::filesystem::path(QUILLBOX_STROKE_DATA) / name, &error);
    EXPECT_TRUE(file) << name << ": " << error;
    return file ? *file : scribeng::StrokeFile{};
}

inline std::string cp932(const char* utf8) { return text::utf8ToCp932(utf8); }

// Records the box's events as (id, argument) pairs; ResultChange has argument 0.
struct EventLog final : EventSink {
    std::vector<std::pair<DispId, int32_t>> events;
    void onEvent(DispId id, std::span<Variant> args) override {
        events.emplace_back(id, args.empty() ? 0 : args[0].i4());
    }
    std::vector<std::pair<DispId, int32_t>> take() { return std::exchange(events, {}); }
};

inline const std::pair<DispId, int32_t> kResultChanged{kEventResultChange, 0};
inline std::pair<DispId, int32_t> recSelected(int32_t n) { return {kEventRecSelectChange, n}; }

}  // namespace sw::quillbox::test
