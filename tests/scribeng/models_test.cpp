// Model loading and merging, and recognition without usable models, on the engine's internals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>

#include "scribeng/engine.h"
#include "stroke_file.h"
#include "temp_folder.h"

namespace {

namespace fs = std::filesystem;
using sw::scribeng::Engine;
using sw::scribeng::ModelSet;

using sw::scribeng::testing::TempFolder;
const fs::path& kTegaki = sw::scribeng::testing::kTegakiModel;

std::vector<sw::scribeng::Stroke> strokesOf(const char* name) {
    auto file = sw::scribeng::readStrokeFile(fs::path(SCRIBENG_TEST_DATA) / name);
    EXPECT_TRUE(file.has_value());
    return file ? file->strokes : std::vector<sw::scribeng::Stroke>{};
}

// Every *.model file of the folder is opened; other files and broken models are skipped; a label known to
// two models comes back once.
TEST(ModelSet, LoadsEveryModelAndMergesTheirCandidates) {
    TempFolder folder("scribeng_models_");
    fs::create_symlink(kTegaki, folder.path() / "a.model");
    fs::create_symlink(kTegaki, folder.path() / "b.model");
    std::ofstream(folder.path() / "broken.model") << "not a model";
    std::ofstream(folder.path() / "notes.txt") << "ignored";
    ModelSet models;
    EXPECT_EQ(models.loadFolder(folder.path()), 2u);

    sw::scribeng::ZinniaCharacter character(100, 100);
    character.add(0, 20, 50);
    character.add(0, 80, 50);
    const auto merged = models.classify(character.features(), SIZE_MAX);
    std::set<std::string> labels;
    for (const auto& c : merged) labels.insert(c.label);
    EXPECT_EQ(labels.size(), merged.size());

    ModelSet single;
    ASSERT_EQ(single.loadFolder(kTegaki.parent_path()), 1u);
    const auto alone = single.classify(character.features(), SIZE_MAX);
    ASSERT_EQ(alone.size(), merged.size());
    EXPECT_EQ(alone.front().label, merged.front().label);
    EXPECT_FLOAT_EQ(alone.front().score, merged.front().score);

    // A short ranking is the head of the full one.
    const auto head = models.classify(character.features(), 30);
    ASSERT_EQ(head.size(), 30u);
    for (size_t i = 0; i < head.size(); ++i) EXPECT_FLOAT_EQ(head[i].score, merged[i].score) << i;

    // A file name loaded from an earlier folder is skipped in a later one.
    EXPECT_EQ(models.loadFolder(folder.path()), 0u);
    EXPECT_EQ(models.loadFolder(kTegaki.parent_path()), 1u);
    EXPECT_EQ(models.loadFolder(kTegaki.parent_path()), 0u);
    EXPECT_EQ(models.files().size(), 3u);
}

uint32_t getU32(const std::vector<char>& bytes, size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, sizeof v);
    return v;
}
template <typename T>
void put(std::vector<char>& bytes, size_t at, T value) {
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// The first `classes` classes of Tegaki's model as a model file of their own, with the offset of each record.
struct SmallModel {
    std::vector<char> bytes;
    std::vector<size_t> records;

    explicit SmallModel(uint32_t classes) {
        // The head of the file holds the first few classes.
        std::vector<char> head(64 * 1024);
        std::ifstream(kTegaki, std::ios::binary).read(head.data(), static_cast<std::streamsize>(head.size()));
        size_t at = 12;
        for (uint32_t c = 0; c < classes; ++c) {
            records.push_back(at);
            for (at += 20; at + 8 <= head.size() && static_cast<int32_t>(getU32(head, at)) != -1; at += 8) {
            }
            at += 8;
        }
        bytes.assign(head.begin(), head.begin() + static_cast<ptrdiff_t>(at));
        put(bytes, 8, classes);
        sealAs(static_cast<uint32_t>(fs::file_size(kTegaki)), getU32(head, 0));
    }
    // The format id is stored XOR the file size.
    void sealAs(uint32_t oldSize, uint32_t oldMagic) {
        put(bytes, 0, oldMagic ^ oldSize ^ static_cast<uint32_t>(bytes.size()));
    }
    void truncate(size_t by) {
        const auto size = static_cast<uint32_t>(bytes.size());
        bytes.resize(bytes.size() - by);
        sealAs(size, getU32(bytes, 0));
    }
};

// A label without its terminating zero was read past its record by strlen, and non-finite scores broke the
// ordering of candidates: every record is checked when the file is opened, and a bad file is skipped.
TEST(ZinniaModel, OpensOnlyAWhollyValidFile) {
    constexpr float kNan = std::numeric_limits<float>::quiet_NaN();
    constexpr float kInf = std::numeric_limits<float>::infinity();
    struct Row {
        const char* name;
        void (*change)(SmallModel&);
        bool opens;
    };
    const Row rows[] = {
        {"whole", [](SmallModel&) {}, true},
        {"label without its zero byte",
         [](SmallModel& m) { std::memset(m.bytes.data() + m.records[2], 'x', 16); }, false},
        {"bias not a number", [](SmallModel& m) { put(m.bytes, m.records[1] + 16, kNan); }, false},
        {"infinite weight", [](SmallModel& m) { put(m.bytes, m.records[0] + 24, kInf); }, false},
        // Finite, but a score with it overflows to infinity.
        {"weight too large to score", [](SmallModel& m) { put(m.bytes, m.records[0] + 24, 2.5e38f); }, false},
        {"feature indexes out of order",
         [](SmallModel& m) { put(m.bytes, m.records[0] + 28, getU32(m.bytes, m.records[0] + 20)); }, false},
        {"negative feature index", [](SmallModel& m) { put(m.bytes, m.records[0] + 20, int32_t{-5}); },
         false},
        {"more classes than records", [](SmallModel& m) { put(m.bytes, 8, uint32_t{4}); }, false},
        {"huge class count", [](SmallModel& m) { put(m.bytes, 8, uint32_t{0xFFFFFFFF}); }, false},
        {"truncated", [](SmallModel& m) { m.truncate(4); }, false},
        {"another format id", [](SmallModel& m) { put(m.bytes, 0, getU32(m.bytes, 0) ^ 0x100); }, false},
    };
    TempFolder folder("scribeng_model_check_");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SmallModel model(3);
        row.change(model);
        const fs::path file = folder.path() / "small.model";
        std::ofstream(file, std::ios::binary | std::ios::trunc)
            .write(model.bytes.data(), static_cast<std::streamsize>(model.bytes.size()));
        sw::scribeng::ZinniaModel opened;
        ASSERT_EQ(opened.open(file), row.opens);
        ModelSet set;
        EXPECT_EQ(set.loadFolder(folder.path()), row.opens ? 1u : 0u);
        if (row.opens) {
            EXPECT_EQ(opened.classCount(), 3u);
        }
    }
}

// No model (missing folder, or only broken files): recognition fails cleanly and leaves no result.
TEST(Engine, WithoutModelsRecognitionFails) {
    TempFolder folder("scribeng_models_");
    std::ofstream(folder.path() / "broken.model") << "not a model";
    for (const fs::path& path : {folder.path(), fs::path("/nonexistent/models")}) {
        Engine engine({path});
        const int32_t handle = engine.create();
        auto* object = engine.find(handle);
        ASSERT_NE(object, nullptr);
        object->strokes = strokesOf("single_01.txt");
        EXPECT_FALSE(engine.recognizeFree(*object));
        EXPECT_FALSE(object->hasResult());
        EXPECT_EQ(object->text, nullptr);
        EXPECT_TRUE(engine.recognizeGuided(object->strokes, 20).empty());
    }
}

}  // namespace
