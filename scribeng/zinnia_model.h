// Zinnia behind small owning wrappers, and the set of models the engine recognises with.
//
// Every *.model file of the model folder is opened; a character is classified by each model and the
// candidates are merged by score (a label offered by two models keeps its better score). Zinnia's scores are
// SVM margins, so the models' scores are comparable and higher is better.
//
// Binary model file (Zinnia's own format, little-endian), which the engine reads to score a subset of the
// classes:
//
//   uint32  magic: Zinnia's format id XOR the file size
//   uint32  version (1)
//   uint32  class count
//   per class: char[16] label (UTF-8, NUL-padded), float bias, then {int32 index, float weight} pairs of the
//              class's weight vector in increasing index order, ended by index -1
//
// A class's score is its bias plus the dot product of its weights with the character's features. The engine
// computes the features once per character (zinnia_features.h) and scores the classes it needs straight
// from the mapped file, exactly as Zinnia's own classify scores them; classify(ZinniaCharacter) is Zinnia's
// own, the reference the engine's scores are tested against. Zinnia itself reads the file only when that
// reference is first asked for, so recognition walks each model file once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace zinnia {
class Character;
class Recognizer;
}  // namespace zinnia

namespace sw::scribeng {

class ZinniaFeatures;
struct ClassWeights;

// One character in Zinnia's coordinate space; move-only.
class ZinniaCharacter {
public:
    ZinniaCharacter(size_t width, size_t height);
    ~ZinniaCharacter();
    ZinniaCharacter(ZinniaCharacter&&) noexcept;
    ZinniaCharacter& operator=(ZinniaCharacter&&) noexcept;

    void add(size_t stroke, int x, int y);
    const zinnia::Character& get() const { return *m_character; }
    // The character's features (zinnia_features.h).
    ZinniaFeatures features() const;

private:
    std::unique_ptr<zinnia::Character> m_character;
};

struct ScoredLabel {
    std::string label;  // UTF-8, as the model stores it
    float score = 0;
};

// A file mapped read-only into memory; move-only, unmapped on destruction.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;

    // False (and nothing mapped) for a missing, unreadable or empty file.
    bool open(const std::filesystem::path& file);
    const char* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    void close();
    const char* m_data = nullptr;
    size_t m_size = 0;
};

// One opened model file; move-only.
class ZinniaModel {
public:
    ZinniaModel();
    ~ZinniaModel();
    ZinniaModel(ZinniaModel&&) noexcept;
    ZinniaModel& operator=(ZinniaModel&&) noexcept;

    // Reads and checks the whole file before Zinnia sees it: every record within the file, each label
    // non-empty and ended by a zero byte inside its 16 bytes, bias and weights finite and small enough that a
    // score cannot overflow, feature indexes increasing and each weight list ended. False for a missing,
    // truncated, foreign or broken file.
    bool open(const std::filesystem::path& file);
    size_t classCount() const;
    std::string label(size_t index) const;
    // Best `nbest` labels, best first, by Zinnia's own classify (which reads the model on first use).
    std::vector<ScoredLabel> classify(const ZinniaCharacter& character, size_t nbest) const;
    // The same from the character's features: the same labels, scores and order, equal scores in Zinnia's
    // order (the later class in the file first). Empty for features that are not valid().
    std::vector<ScoredLabel> classify(const ZinniaFeatures& features, size_t nbest) const;
    // Zinnia's scores of `classes` (each below classCount()) for a character with these (valid) features,
    // into `scores` (one per class); -infinity for an index out of range.
    void score(const ZinniaFeatures& features, std::span<const uint32_t> classes,
               std::span<float> scores) const;
    // The scores of the given classes (indices below classCount(), others are ignored), best first; the
    // same scores classify() gives them.
    std::vector<ScoredLabel> classifySubset(const ZinniaCharacter& character,
                                            std::span<const uint32_t> classes) const;

private:
    ClassWeights weights(size_t index) const;  // index below classCount()
    float bias(size_t index) const;

    const zinnia::Recognizer& reference() const;

    MappedFile m_file;  // the model, which the engine and m_reference read from
    // Zinnia's own recognizer over m_file, opened by the first reference classify.
    mutable std::unique_ptr<zinnia::Recognizer> m_reference;
    mutable std::unique_ptr<std::once_flag> m_referenceOnce = std::make_unique<std::once_flag>();
    std::vector<size_t> m_records;  // offset of each class's record; one more: the end of the last
    // Per class, the first node of its move weights and of its stroke count weights (ClassWeights).
    std::vector<std::pair<uint32_t, uint32_t>> m_sections;
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
    std::vector<ScoredLabel> classify(const ZinniaFeatures& features, size_t nbest) const;
    std::span<const ZinniaModel> models() const { return m_models; }

private:
    std::vector<ZinniaModel> m_models;
    std::vector<std::filesystem::path> m_files;
};

}  // namespace sw::scribeng
