#include "scribeng/zinnia_model.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zinnia.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "scribeng/zinnia_features.h"

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

ZinniaFeatures ZinniaCharacter::features() const {
    std::vector<std::vector<SpacePoint>> strokes(m_character->strokes_size());
    for (size_t i = 0; i < strokes.size(); ++i) {
        for (size_t j = 0; j < m_character->stroke_size(i); ++j) {
            strokes[i].push_back({m_character->x(i, j), m_character->y(i, j)});
        }
    }
    return ZinniaFeatures(strokes, m_character->width(), m_character->height());
}

ZinniaModel::ZinniaModel() = default;
ZinniaModel::~ZinniaModel() = default;
ZinniaModel::ZinniaModel(ZinniaModel&&) noexcept = default;
ZinniaModel& ZinniaModel::operator=(ZinniaModel&&) noexcept = default;

namespace {

constexpr size_t kHeader = 12;
constexpr size_t kLabel = 16;
constexpr size_t kNode = 8;
constexpr uint32_t kFormatVersion = 1;
constexpr uint32_t kFormatId = 0xef71821;  // the first word of a model file, XOR the file's size
// The largest |bias| + sum of |weight| of a class. Trained models stay below 100; with this bound a score
// stays finite for any feature values below 1e30, so candidates always have an order.
constexpr double kMaxClassMagnitude = 1e6;

uint32_t readU32(const char* p) {
    uint32_t v = 0;
    std::memcpy(&v, p, sizeof v);
    return v;
}
float readF32(const char* p) {
    float v = 0;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A label is read as a C string: it must end inside its 16 bytes, and it must not be empty.
bool validLabel(const char* label) { return label[0] != '\0' && std::memchr(label, '\0', kLabel) != nullptr; }

}  // namespace

MappedFile::~MappedFile() { close(); }
MappedFile::MappedFile(MappedFile&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0)) {}
MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        close();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
    }
    return *this;
}

void MappedFile::close() {
    if (m_data) munmap(const_cast<char*>(m_data), m_size);
    m_data = nullptr;
    m_size = 0;
}

bool MappedFile::open(const std::filesystem::path& file) {
    close();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    void* data = MAP_FAILED;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        data = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    ::close(fd);
    if (data == MAP_FAILED) return false;
    m_data = static_cast<const char*>(data);
    m_size = static_cast<size_t>(st.st_size);
    return true;
}

bool ZinniaModel::open(const std::filesystem::path& file) {
    m_reference.reset();
    m_referenceOnce = std::make_unique<std::once_flag>();
    m_file = MappedFile{};
    m_records.clear();
    m_sections.clear();
    MappedFile mapped;
    if (!mapped.open(file)) return false;
    const size_t size = mapped.size();
    const char* bytes = mapped.data();
    if (size < kHeader || size > UINT32_MAX) return false;
    if ((readU32(bytes) ^ static_cast<uint32_t>(size)) != kFormatId || readU32(bytes + 4) != kFormatVersion) {
        return false;
    }
    const uint32_t count = readU32(bytes + 8);
    std::vector<size_t> records;
    std::vector<std::pair<uint32_t, uint32_t>> sections;
    size_t at = kHeader;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + kLabel + 4 > size || !validLabel(bytes + at) ||
            !std::isfinite(readF32(bytes + at + kLabel))) {
            return false;
        }
        records.push_back(at);
        double magnitude = std::fabs(readF32(bytes + at + kLabel));
        at += kLabel + 4;
        int32_t previous = -1;
        auto& [firstMove, firstCount] = sections.emplace_back(0, 0);
        for (uint32_t node = 0;; ++node) {
            if (at + kNode > size) return false;
            const auto index = static_cast<int32_t>(readU32(bytes + at));
            const float weight = readF32(bytes + at + 4);
            at += kNode;
            if (index == -1) break;
            if (index <= previous || !std::isfinite(weight)) return false;
            if (index < kZinniaMoveBase) firstMove = node + 1;
            if (index < kZinniaCountBase) firstCount = node + 1;
            previous = index;
            magnitude += std::fabs(weight);
        }
        if (magnitude > kMaxClassMagnitude) return false;
    }
    records.push_back(at);
    if (at != size) return false;
    m_file = std::move(mapped);
    m_records = std::move(records);
    m_sections = std::move(sections);
    return true;
}

size_t ZinniaModel::classCount() const { return m_records.empty() ? 0 : m_records.size() - 1; }

std::string ZinniaModel::label(size_t index) const {
    // open() checked that every label ends inside its record.
    return index < classCount() ? std::string(m_file.data() + m_records[index]) : std::string();
}

const zinnia::Recognizer& ZinniaModel::reference() const {
    std::call_once(*m_referenceOnce, [this] {
        m_reference.reset(zinnia::Recognizer::create());
        // The file passed every check open() makes, so Zinnia reads it; a model it still refused would
        // classify nothing.
        if (m_file.data()) m_reference->open(m_file.data(), m_file.size());
    });
    return *m_reference;
}

std::vector<ScoredLabel> ZinniaModel::classify(const ZinniaCharacter& character, size_t nbest) const {
    std::vector<ScoredLabel> out;
    if (classCount() == 0) return out;
    std::unique_ptr<zinnia::Result> result(reference().classify(character.get(), nbest));
    if (!result) return out;
    out.reserve(result->size());
    for (size_t i = 0; i < result->size(); ++i) {
        if (const char* value = result->value(i)) out.push_back({value, result->score(i)});
    }
    return out;
}

ClassWeights ZinniaModel::weights(size_t index) const {
    const size_t nodes = m_records[index] + kLabel + 4;
    return {{m_file.data() + nodes, m_records[index + 1] - nodes},
            m_sections[index].first,
            m_sections[index].second};
}

float ZinniaModel::bias(size_t index) const { return readF32(m_file.data() + m_records[index] + kLabel); }

void ZinniaModel::score(const ZinniaFeatures& features, std::span<const uint32_t> classes,
                        std::span<float> scores) const {
    const size_t n = std::min(classes.size(), scores.size());
    std::vector<ClassWeights> list(n);
    for (size_t c = 0; c < n; ++c) {
        if (size_t{classes[c]} + 1 < m_records.size()) list[c] = weights(classes[c]);
    }
    std::vector<double> sums(n);
    features.dot(list, sums);
    for (size_t c = 0; c < n; ++c) {
        scores[c] = size_t{classes[c]} + 1 < m_records.size() ? static_cast<float>(bias(classes[c]) + sums[c])
                                                              : -std::numeric_limits<float>::infinity();
    }
}

std::vector<ScoredLabel> ZinniaModel::classify(const ZinniaFeatures& features, size_t nbest) const {
    std::vector<ScoredLabel> out;
    const size_t count = classCount();
    if (!features.valid() || count == 0 || nbest == 0) return out;
    // Zinnia orders by (score, address of the label), both descending: the later of equal scores first.
    std::vector<uint32_t> classes(count);
    std::iota(classes.begin(), classes.end(), 0U);
    std::vector<float> scores(count);
    score(features, classes, scores);
    std::vector<std::pair<float, size_t>> scored(count);
    for (size_t i = 0; i < count; ++i) scored[i] = {scores[i], i};
    nbest = std::min(nbest, count);
    std::partial_sort(scored.begin(), scored.begin() + static_cast<ptrdiff_t>(nbest), scored.end(),
                      std::greater<>());
    out.reserve(nbest);
    for (size_t i = 0; i < nbest; ++i) out.push_back({label(scored[i].second), scored[i].first});
    return out;
}

std::vector<ScoredLabel> ZinniaModel::classifySubset(const ZinniaCharacter& character,
                                                     std::span<const uint32_t> classes) const {
    std::vector<ScoredLabel> out;
    const ZinniaFeatures features = character.features();
    if (!features.valid()) return out;
    std::vector<uint32_t> kept;
    for (uint32_t c : classes) {
        if (c < classCount()) kept.push_back(c);
    }
    std::vector<float> scores(kept.size());
    score(features, kept, scores);
    for (size_t c = 0; c < kept.size(); ++c) out.push_back({label(kept[c]), scores[c]});
    std::stable_sort(out.begin(), out.end(),
                     [](const ScoredLabel& a, const ScoredLabel& b) { return a.score > b.score; });
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

std::vector<ScoredLabel> ModelSet::classify(const ZinniaFeatures& features, size_t nbest) const {
    if (m_models.size() == 1) {
        return m_models.front().classify(features, std::min(nbest, m_models.front().classCount()));
    }
    std::unordered_map<std::string, float> best;
    for (const auto& model : m_models) {
        for (auto& candidate : model.classify(features, std::min(nbest, model.classCount()))) {
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
