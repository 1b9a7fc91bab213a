// Model loading and merging, and recognition without usable models, on the engine's internals.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
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
    const auto merged = models.classify(character, SIZE_MAX);
    std::set<std::string> labels;
    for (const auto& c : merged) labels.insert(c.label);
    EXPECT_EQ(labels.size(), merged.size());

    ModelSet single;
    ASSERT_EQ(single.loadFolder(kTegaki.parent_path()), 1u);
    const auto alone = single.classify(character, SIZE_MAX);
    ASSERT_EQ(alone.size(), merged.size());
    EXPECT_EQ(alone.front().label, merged.front().label);
    EXPECT_FLOAT_EQ(alone.front().score, merged.front().score);

    // A short ranking is the head of the full one.
    const auto head = models.classify(character, 30);
    ASSERT_EQ(head.size(), 30u);
    for (size_t i = 0; i < head.size(); ++i) EXPECT_FLOAT_EQ(head[i].score, merged[i].score) << i;

    // A file name loaded from an earlier folder is skipped in a later one.
    EXPECT_EQ(models.loadFolder(folder.path()), 0u);
    EXPECT_EQ(models.loadFolder(kTegaki.parent_path()), 1u);
    EXPECT_EQ(models.loadFolder(kTegaki.parent_path()), 0u);
    EXPECT_EQ(models.files().size(), 3u);
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
