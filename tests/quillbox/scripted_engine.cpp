// A stand-in engine for the gesture tests: libscribeng.so with the engine's entry points over a plain stroke
// store whose segmentation the test scripts, so that character boxes and stroke runs are known exactly.
//
// Control (C linkage, looked up by the test with dlsym):
//   ScriptedEngineGroup(sizes, n): RecognizeNF groups the strokes into n characters of sizes[i] strokes
//                                  (it fails when the sizes do not add up to the stroke count).
//   ScriptedEngineLastRegroup(first, last): the run of the last GiveStrokeSetInfo, (-1, -1) when none;
//                                  reading it clears it.
// Character i of a result is kChars[i % 10]; its box is the bounding box of its strokes' points (right and
// bottom included). GiveStrokeSetInfo makes the run one character at the next RecognizeNF and keeps the
// other strokes' grouping. RecognizeF offers the character of the run itself first and then nine others.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "contracts/scribeng.h"
#include "records/handle_table.h"

namespace {

using Run = std::pair<int32_t, int32_t>;

struct Object {
    std::vector<std::vector<EnginePoint>> strokes;
    std::vector<Run> runs;
    std::string result;
    bool recognised = false;
    Run pending{-1, -1};
};

// 山川口田日月木火水土 in code page 932.
const char* const kChars[] = {"\x8E\x52", "\x90\xEC", "\x8C\xFB", "\x93\x63", "\x93\xFA",
                              "\x8C\x8E", "\x96\xD8", "\x89\xCE", "\x90\x85", "\x93\x79"};

struct State {
    std::map<int32_t, Object> objects;
    int32_t next = 1;
    std::vector<int32_t> script;
    Run lastRegroup{-1, -1};
};

State& state() {
    static State s;
    return s;
}

Object* find(int32_t id) {
    auto it = state().objects.find(id);
    return it == state().objects.end() ? nullptr : &it->second;
}

void setResult(Object& o, std::vector<Run> runs) {
    o.runs = std::move(runs);
    o.result.clear();
    for (size_t i = 0; i < o.runs.size(); ++i) o.result += kChars[i % 10];
    o.recognised = true;
}

PtwHandle pattern(const Object& o, int32_t first, int32_t last) {
    if (first < 0 || last >= static_cast<int32_t>(o.strokes.size()) || first > last) return 0;
    int64_t count = 0;
    for (int32_t s = first; s <= last; ++s) count += static_cast<int64_t>(o.strokes[s].size());
    sw::PtwAllocation ptw = sw::allocatePtw(sw::Owner::Engine, count);
    if (!ptw) return 0;
    int64_t i = 0;
    for (int32_t s = first; s <= last; ++s) {
        for (const EnginePoint& p : o.strokes[s])
            ptw.points[i++] = sw::PtwPoint{static_cast<int16_t>(p.x), static_cast<int16_t>(p.y), 0, 0};
        if (i > 0) ptw.points[i - 1].Flag = sw::kFlagPenUp;
    }
    return ptw.handle;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void ScriptedEngineGroup(const int32_t* sizes, int32_t n) noexcept {
    state().script.assign(sizes, sizes + n);
}

__attribute__((visibility("default"))) void ScriptedEngineLastRegroup(int32_t* first,
                                                                      int32_t* last) noexcept {
    *first = state().lastRegroup.first;
    *last = state().lastRegroup.second;
    state().lastRegroup = {-1, -1};
}

int32_t CreateNewObject(void) noexcept {
    const int32_t id = state().next++;
    state().objects[id];
    return id;
}
int32_t DestroyObject(int32_t object) noexcept { return state().objects.erase(object) ? 0 : -1; }
int32_t AddStrokeLast(int32_t object, const EnginePoint* points, int32_t count) noexcept {
    Object* o = find(object);
    if (!o || !points || count <= 0) return -1;
    o->strokes.emplace_back(points, points + count);
    o->recognised = false;
    return 0;
}
int32_t DeleteStrokeLast(int32_t object) noexcept {
    Object* o = find(object);
    if (!o || o->strokes.empty()) return -1;
    o->strokes.pop_back();
    o->recognised = false;
    return 0;
}
int32_t GetStrokeCount(int32_t object) noexcept {
    const Object* o = find(object);
    return o ? static_cast<int32_t>(o->strokes.size()) : 0;
}
const EnginePoint* GetNthStroke(int32_t object, int32_t stroke, int32_t* count) noexcept {
    const Object* o = find(object);
    if (!o || stroke < 0 || stroke >= static_cast<int32_t>(o->strokes.size())) return nullptr;
    if (count) *count = static_cast<int32_t>(o->strokes[stroke].size());
    return o->strokes[stroke].data();
}
int32_t SetRecCategory(int32_t) noexcept { return 0; }
int32_t RecognizeNF(int32_t object) noexcept {
    Object* o = find(object);
    if (!o || o->strokes.empty()) return -1;
    const auto n = static_cast<int32_t>(o->strokes.size());
    std::vector<Run> runs;
    if (o->pending.first >= 0 && o->recognised) {
        for (const Run& r : o->runs) {
            if (r.second < o->pending.first || r.first > o->pending.second) {
                runs.push_back(r);
                continue;
            }
            if (r.first < o->pending.first) runs.emplace_back(r.first, o->pending.first - 1);
            if (runs.empty() || runs.back() != o->pending) runs.push_back(o->pending);
            if (r.second > o->pending.second) runs.emplace_back(o->pending.second + 1, r.second);
        }
        o->pending = {-1, -1};
        setResult(*o, std::move(runs));
        return 0;
    }
    int32_t first = 0;
    for (int32_t size : state().script) {
        runs.emplace_back(first, first + size - 1);
        first += size;
    }
    if (first != n) return -1;
    setResult(*o, std::move(runs));
    return 0;
}
int32_t GiveStrokeSetInfo(int32_t object, int32_t, int32_t first, int32_t last) noexcept {
    Object* o = find(object);
    if (!o || first < 0 || last < first || last >= static_cast<int32_t>(o->strokes.size())) return -1;
    o->pending = {first, last};
    state().lastRegroup = {first, last};
    return 0;
}
const char* GetString(int32_t object, int32_t, int32_t* charCount) noexcept {
    const Object* o = find(object);
    if (!o || !o->recognised) return nullptr;
    if (charCount) *charCount = static_cast<int32_t>(o->runs.size());
    return o->result.c_str();
}
int32_t GetStrokeNoOfNthChar(int32_t object, int32_t, int32_t ch, int32_t* first, int32_t* last) noexcept {
    const Object* o = find(object);
    if (!o || !o->recognised || ch < 0 || ch >= static_cast<int32_t>(o->runs.size())) return -1;
    *first = o->runs[ch].first;
    *last = o->runs[ch].second;
    return 0;
}
int32_t GetNthCharBound(int32_t object, int32_t, int32_t ch, EngineRect* box) noexcept {
    const Object* o = find(object);
    if (!o || !o->recognised || ch < 0 || ch >= static_cast<int32_t>(o->runs.size())) return -1;
    EngineRect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int32_t s = o->runs[ch].first; s <= o->runs[ch].second; ++s) {
        for (const EnginePoint& p : o->strokes[s]) {
            r.left = std::min(r.left, p.x);
            r.top = std::min(r.top, p.y);
            r.right = std::max(r.right, p.x);
            r.bottom = std::max(r.bottom, p.y);
        }
    }
    *box = r;
    return 0;
}
PtwHandle GetPatternW(int32_t object, int32_t, int32_t lastStroke) noexcept {
    const Object* o = find(object);
    return o ? pattern(*o, 0, lastStroke) : 0;
}
PtwHandle GetPatternWOfNthChar(int32_t object, int32_t, int32_t ch) noexcept {
    const Object* o = find(object);
    if (!o || !o->recognised || ch < 0 || ch >= static_cast<int32_t>(o->runs.size())) return 0;
    return pattern(*o, o->runs[ch].first, o->runs[ch].second);
}
int32_t DestroyPatternW(PtwHandle ptw) noexcept { return sw::freePtw(ptw, sw::Owner::Engine) ? 0 : -1; }
int32_t SetGuideBox(int32_t, int32_t, int32_t, int32_t) noexcept { return 0; }
int32_t RecognizeF(PtwHandle ptw, CandidateEntry* list, int32_t count) noexcept {
    if (!sw::resolvePtw(ptw) || !list || count < 10) return -1;
    for (int32_t i = 0; i < count; ++i) {
        const auto* c = reinterpret_cast<const unsigned char*>(kChars[i % 10]);
        list[i] = CandidateEntry{100 - i, i, i < 10 ? static_cast<uint32_t>((c[0] << 8) | c[1]) : 0u};
    }
    return 0;
}

}  // extern "C"
