// The engine behind the C entry points: the table of recognizer objects, the process-wide category mask and
// guide box, and the models.
//
// Every member is noexcept-safe to call from the entry points with any argument: failures are returned as
// false / null / empty, never thrown past the entry points (exports.cpp catches what the standard library
// may throw). One mutex serialises all calls.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "contracts/scribeng.h"
#include "scribeng/geometry.h"
#include "scribeng/line_search.h"
#include "scribeng/recognizer.h"

namespace sw::scribeng {

// Upper bounds that keep a hostile count from allocating without limit: points per stroke, strokes per
// object. Beyond them AddStrokeLast fails.
inline constexpr int32_t kMaxStrokePoints = 1 << 20;
inline constexpr int32_t kMaxStrokes = 1 << 16;

// Candidates kept per character of a free recognition.
inline constexpr size_t kKeptCandidates = 20;

// One recognizer object: its strokes, and the result of the last successful RecognizeNF.
struct RecognizerObject {
    std::vector<Stroke> strokes;
    std::vector<CharRun> runs;                       // grouping of the last result; empty when there is none
    std::vector<std::vector<Candidate>> candidates;  // per character, best first; [0] is the result
    // The result string, code page 932, two bytes per character; null when there is no result. The string
    // of the result before is kept alive in `previousText`, so a caller that compares the string read before
    // a regroup with the one read after it reads valid memory.
    std::unique_ptr<std::string> text;
    std::unique_ptr<std::string> previousText;
    std::optional<CharRun> pendingRegroup;  // from GiveStrokeSetInfo, used by the next RecognizeNF
    RunCache runCache;                      // recognised stroke runs, kept for the regroups of these strokes

    bool hasResult() const { return !runs.empty(); }
    void dropResult();
};

class Engine {
public:
    // The process-wide engine; models come from `<folder of libscribeng.so>/models` and from the system's
    // Tegaki folder (a model of the same file name in models/ wins). Loading happens on first use of a
    // recognition.
    static Engine& instance();

    // Engine with models from the given folders (see Recognizer), for tools and tests.
    explicit Engine(std::vector<std::filesystem::path> modelFolders);

    std::mutex& mutex() { return m_mutex; }

    int32_t create();
    bool destroy(int32_t handle);
    RecognizerObject* find(int32_t handle);

    void setCategory(int32_t mask) { m_mask = mask; }
    int32_t category() const { return m_mask; }
    void setGuideBox(const Box& box) { m_guide = box; }

    // Segments the object's strokes by search and recognises them (honouring and then clearing a pending
    // regroup: the forced run becomes one character; when there is an earlier result its other characters
    // keep their grouping). On failure the object holds no result.
    bool recognizeFree(RecognizerObject& object);
    // Candidates of one character written as `strokes` within the current guide box.
    std::vector<Candidate> recognizeGuided(std::span<const Stroke> strokes, size_t limit);

    const Recognizer& recognizer();

private:
    std::mutex m_mutex;
    std::map<int32_t, std::unique_ptr<RecognizerObject>> m_objects;
    int32_t m_nextHandle = 1;
    int32_t m_mask = 0x1FF;  // every category until SetRecCategory is called
    Box m_guide;
    std::vector<std::filesystem::path> m_modelFolders;
    std::unique_ptr<Recognizer> m_recognizer;
};

// The folders the shared library looks for models in, best first.
std::vector<std::filesystem::path> defaultModelFolders();

}  // namespace sw::scribeng
