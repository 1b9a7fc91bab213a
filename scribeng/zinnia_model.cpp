#include "scribeng/zinnia_model.h"

#include <zinnia.h>

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace sw::scribeng {

ZinniaCharacter::ZinniaCharacter(size_t width, size_t height) : m_character(zinnia::Character::create()) {
    m_character->clear();
    m_character->set_width(width);
    m_character->set_height(height);
}
ZinniaCharacter::~ZinniaCharacter() = default;
ZinniaCharacter::ZinniaCharacter(ZinniaCharacter&&) noexcept = default;
ZinniaCharacter& ZinniaCharacter::operator=(ZinniaCharacter&&) noexcept = default;

void ZinniaCharacter::add(size_t stroke, int x, int y) { m_character->add(stroke, x, y); }

ZinniaModel::ZinniaModel() : m_recognizer(zinnia::Recognizer::create()) {}
ZinniaModel::~ZinniaModel() = default;
ZinniaModel::ZinniaModel(ZinniaModel&&) noexcept = default;
ZinniaModel& ZinniaModel::operator=(ZinniaModel&&) noexcept = default;

bool ZinniaModel::open(const std::filesystem::path& file) { return m_recognizer->open(file.c_str()); }

size_t ZinniaModel::classCount() const { return m_recognizer->size(); }

std::string ZinniaModel::label(size_t index) const {
    const char* value = m_recognizer->value(index);
    return value ? value : "";
}

std::vector<ScoredLabel> ZinniaModel::classify(const ZinniaCharacter& character, size_t nbest) const {
    std::vector<ScoredLabel> out;
    std::unique_ptr<zinnia::Result> result(m_recognizer->classify(character.get(), nbest));
    if (!result) return out;
    out.reserve(result->size());
    for (size_t i = 0; i < result->size(); ++i) {
        if (const char* value = result->value(i)) out.push_back({value, result->score(i)});
    }
    return out;
}

size_t ModelSet::loadFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::vector<std::filesystem::path> found;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->path().extension() == ".model" && it->is_regular_file(ec)) found.push_back(it->path());
    }
    std::sort(found.begin(), found.end());
    size_t opened = 0;
    for (const auto& file : found) {
        const bool loaded = std::any_of(m_files.begin(), m_files.end(),
                                        [&](const auto& f) { return f.filename() == file.filename(); });
        if (loaded) continue;
        ZinniaModel model;
        if (!model.open(file) || model.classCount() == 0) continue;
        m_models.push_back(std::move(model));
        m_files.push_back(file);
        ++opened;
    }
    return opened;
}

std::vector<std::string> ModelSet::labels() const {
    std::vector<std::string> out;
    std::unordered_set<std::string> seen;
    for (const auto& model : m_models) {
        for (size_t i = 0; i < model.classCount(); ++i) {
            if (std::string label = model.label(i); seen.insert(label).second)
                out.push_back(std::move(label));
        }
    }
    return out;
}

std::vector<ScoredLabel> ModelSet::classify(const ZinniaCharacter& character, size_t nbest) const {
    if (m_models.size() == 1) {
        return m_models.front().classify(character, std::min(nbest, m_models.front().classCount()));
    }
    std::unordered_map<std::string, float> best;
    for (const auto& model : m_models) {
        for (auto& candidate : model.classify(character, std::min(nbest, model.classCount()))) {
            auto [it, inserted] = best.try_emplace(std::move(candidate.label), candidate.score);
            if (!inserted) it->second = std::max(it->second, candidate.score);
        }
    }
    std::vector<ScoredLabel> out;
    out.reserve(best.size());
    for (auto& [label, score] : best) out.push_back({label, score});
    std::sort(out.begin(), out.end(), [](const ScoredLabel& a, const ScoredLabel& b) {
        return a.score != b.score ? a.score > b.score : a.label < b.label;
    });
    if (out.size() > nbest) out.resize(nbest);
    return out;
}

}  // namespace sw::scribeng
