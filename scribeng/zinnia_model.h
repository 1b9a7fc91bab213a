// Zinnia behind small owning wrappers, and the set of models the engine recognises with.
//
// Every *.model file of the model folder is opened; a character is classified by each model and the
// candidates are merged by score (a label offered by two models keeps its better score). Zinnia's scores are
// SVM margins, so the models' scores are comparable and higher is better.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zinnia {
class Character;
class Recognizer;
}  // namespace zinnia

namespace sw::scribeng {

// One character in Zinnia's coordinate space; move-only.
class ZinniaCharacter {
public:
    ZinniaCharacter(size_t width, size_t height);
    ~ZinniaCharacter();
    ZinniaCharacter(ZinniaCharacter&&) noexcept;
    ZinniaCharacter& operator=(ZinniaCharacter&&) noexcept;

    void add(size_t stroke, int x, int y);
    const zinnia::Character& get() const { return *m_character; }

private:
    std::unique_ptr<zinnia::Character> m_character;
};

struct ScoredLabel {
    std::string label;  // UTF-8, as the model stores it
    float score = 0;
};

// One opened model file; move-only.
class ZinniaModel {
public:
    ZinniaModel();
    ~ZinniaModel();
    ZinniaModel(ZinniaModel&&) noexcept;
    ZinniaModel& operator=(ZinniaModel&&) noexcept;

    bool open(const std::filesystem::path& file);
    size_t classCount() const;
    std::string label(size_t index) const;
    // Best `nbest` labels, best first.
    std::vector<ScoredLabel> classify(const ZinniaCharacter& character, size_t nbest) const;

private:
    std::unique_ptr<zinnia::Recognizer> m_recognizer;
};

class ModelSet {
public:
    // Opens every *.model file of `folder` (in name order) whose file name is not loaded yet; files that do
    // not open as a model are skipped. Returns how many opened.
    size_t loadFolder(const std::filesystem::path& folder);
    bool empty() const { return m_models.empty(); }
    const std::vector<std::filesystem::path>& files() const { return m_files; }
    // Every label of every model, each once.
    std::vector<std::string> labels() const;
    // The best `nbest` candidates of each model merged by score, best first, each label once. The first
    // nbest of the merged list are exact; fewer than nbest means every class of every model is listed.
    std::vector<ScoredLabel> classify(const ZinniaCharacter& character, size_t nbest) const;

private:
    std::vector<ZinniaModel> m_models;
    std::vector<std::filesystem::path> m_files;
};

}  // namespace sw::scribeng
