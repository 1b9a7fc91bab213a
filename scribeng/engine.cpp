#include "scribeng/engine.h"

#include <dlfcn.h>

#include <utility>

#include "scribeng/line_search.h"
#include "scribeng/segmentation.h"

namespace sw::scribeng {
namespace {

// A guided character is one recognition, where the line search makes dozens: it affords a longer shortlist.
// On real kanji the right class is among the ten best for 92 per cent with the default, 98 to 99 with this
// (plain Zinnia: 96 to 97); it costs about 7 ms instead of 2. Other writers' slant and loose strokes push the
// right class further down the shape ranking: 2000 classes rather than 1000 keep it among the ten best for 2
// to 3 per cent more of distorted real kanji (tools/scribeng-cli/vary_writers.py).
constexpr size_t kGuidedShortlist = 2000, kGuidedCoarse = 4000;

}  // namespace

void RecognizerObject::dropResult() {
    runs.clear();
    runCache = {};
    candidates.clear();
    if (text) previousText = std::move(text);
}

std::vector<std::filesystem::path> defaultModelFolders() {
    std::vector<std::filesystem::path> folders;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&defaultModelFolders), &info) != 0 && info.dli_fname) {
        std::error_code ec;
        auto library = std::filesystem::canonical(info.dli_fname, ec);
        if (ec) library = info.dli_fname;
        folders.push_back(library.parent_path() / "models");
    }
    folders.emplace_back("/usr/share/tegaki/models/zinnia");
    return folders;
}

Engine& Engine::instance() {
    static Engine engine(defaultModelFolders());
    return engine;
}

Engine::Engine(std::vector<std::filesystem::path> modelFolders) : m_modelFolders(std::move(modelFolders)) {}

const Recognizer& Engine::recognizer() {
    if (!m_recognizer) m_recognizer = std::make_unique<Recognizer>(m_modelFolders);
    return *m_recognizer;
}

int32_t Engine::create() {
    if (m_nextHandle <= 0) return 0;  // every positive handle used once: handles are never reused
    const int32_t handle = m_nextHandle++;
    m_objects.emplace(handle, std::make_unique<RecognizerObject>());
    return handle;
}

bool Engine::destroy(int32_t handle) { return m_objects.erase(handle) != 0; }

RecognizerObject* Engine::find(int32_t handle) {
    auto it = m_objects.find(handle);
    return it == m_objects.end() ? nullptr : it->second.get();
}

bool Engine::recognizeFree(RecognizerObject& object) {
    const std::optional<CharRun> regroup = std::exchange(object.pendingRegroup, std::nullopt);
    std::vector<CharRun> previous = std::move(object.runs);
    // Recognitions of stroke runs stay valid across the regroups of unchanged strokes (adding or deleting a
    // stroke drops them with the result); a plain recognition starts afresh.
    RunCache cache = regroup ? std::move(object.runCache) : RunCache{};
    object.dropResult();
    if (object.strokes.empty()) return false;
    const Recognizer& models = recognizer();
    if (!models.ready()) return false;

    std::vector<SearchedChar> chars;
    if (regroup && isPartition(previous, static_cast<int32_t>(object.strokes.size()))) {
        // The forced character and the kept ones leave nothing to search.
        const std::vector<CharRun> runs = regroupStrokes(previous, *regroup);
        auto found = recognizeRuns(models, object.strokes, runs, m_mask, kKeptCandidates, cache);
        if (found.size() != runs.size()) return false;
        for (size_t i = 0; i < runs.size(); ++i) chars.push_back({runs[i], std::move(found[i])});
    } else {
        chars = searchLine(models, object.strokes, regroup, m_mask, kKeptCandidates, cache);
        if (chars.empty()) return false;
    }

    // A lone character: no neighbours decide between shape twins.
    if (chars.size() == 1) preferCommonerTwin(chars.front().candidates);

    auto text = std::make_unique<std::string>();
    for (auto& ch : chars) {
        text->push_back(static_cast<char>(ch.candidates.front().code >> 8));
        text->push_back(static_cast<char>(ch.candidates.front().code & 0xFF));
        object.runs.push_back(ch.run);
        object.candidates.push_back(std::move(ch.candidates));
    }
    object.text = std::move(text);
    object.runCache = std::move(cache);
    return true;
}

std::vector<Candidate> Engine::recognizeGuided(std::span<const Stroke> strokes, size_t limit) {
    const Recognizer& models = recognizer();
    // A guide box that has nothing to do with the strokes (left from an earlier character) is ignored.
    Box frame = m_guide;
    const Box ink = boundsOf(strokes);
    if (!frame.empty() && !ink.empty() &&
        (frame.right < ink.left || frame.left > ink.right || frame.bottom < ink.top ||
         frame.top > ink.bottom)) {
        frame = Box{};
    }
    return models.recognizeInBox(strokes, frame, m_mask, limit, kGuidedShortlist, kGuidedCoarse);
}

}  // namespace sw::scribeng
