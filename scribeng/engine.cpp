#include "scribeng/engine.h"

#include <dlfcn.h>

#include <utility>

#include "scribeng/segmentation.h"

namespace sw::scribeng {

void RecognizerObject::dropResult() {
    runs.clear();
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
    object.dropResult();
    if (object.strokes.empty()) return false;
    const Recognizer& models = recognizer();
    if (!models.ready()) return false;

    std::vector<Box> boxes;
    boxes.reserve(object.strokes.size());
    for (const auto& stroke : object.strokes) boxes.push_back(boundsOf(stroke));
    std::vector<CharRun> runs = regroup ? regroupStrokes(boxes, previous, *regroup) : segmentStrokes(boxes);

    // Each character is framed by a square as high as the line, so that small characters (small kana,
    // punctuation) keep their size and place relative to the line.
    Box line;
    for (const auto& box : boxes) line.add(box);
    std::vector<std::vector<Candidate>> candidates;
    auto text = std::make_unique<std::string>();
    for (const auto& run : runs) {
        std::span<const Stroke> strokes(object.strokes.data() + run.first,
                                        static_cast<size_t>(run.last - run.first + 1));
        const Box ink = boundsOf(strokes);
        const int64_t half = line.height() / 2;
        const int64_t cx = (int64_t{ink.left} + ink.right) / 2;
        Box frame{static_cast<int32_t>(cx - half), line.top, static_cast<int32_t>(cx - half + line.height()),
                  line.bottom};
        auto found = models.recognize(strokes, frame, m_mask, kKeptCandidates);
        if (found.empty()) return false;
        text->push_back(static_cast<char>(found.front().code >> 8));
        text->push_back(static_cast<char>(found.front().code & 0xFF));
        candidates.push_back(std::move(found));
    }
    object.runs = std::move(runs);
    object.candidates = std::move(candidates);
    object.text = std::move(text);
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
    return models.recognize(strokes, frame, m_mask, limit);
}

}  // namespace sw::scribeng
