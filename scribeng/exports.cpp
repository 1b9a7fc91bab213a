// The C entry points of libscribeng.so (contracts/scribeng.h). Each one takes the engine's lock, checks
// every argument and turns any failure (including an exception from the standard library) into the result
// the contract gives for failure: a non-zero int32, a null pointer or a 0 handle.
//
// Returns: 0 = ok, kFail = failure. Engine-owned memory returned to the caller:
//   GetNthStroke  - the stroke's points, valid until that stroke is deleted or the object destroyed;
//   GetString     - the result string, readable until the object's result has changed twice (a new
//                   recognition, or a stroke added or deleted) or the object is destroyed.
// The arguments named `zero` are ignored.
// PTW records are allocated in the handle table with Owner::Engine and released only by DestroyPatternW.
// Points are stored as given (int32); a PTW holds int16 coordinates, so each coordinate outside
// -32768..32767 is clamped to that range in a PTW.
#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <utility>

#include "contracts/scribeng.h"
#include "records/handle_table.h"
#include "scribeng/engine.h"

using sw::scribeng::Box;
using sw::scribeng::CharRun;
using sw::scribeng::Engine;
using sw::scribeng::RecognizerObject;
using sw::scribeng::Stroke;

namespace {

constexpr int32_t kOk = 0;
constexpr int32_t kFail = -1;

// Runs `body` under the engine's lock; any exception becomes `failure`.
template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept {
    try {
        Engine& engine = Engine::instance();
        std::lock_guard lock(engine.mutex());
        return body(engine);
    } catch (...) {
        return failure;
    }
}

int16_t clampToInt16(int32_t v) {
    return static_cast<int16_t>(
        std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// A PTW of strokes first..last of `object`, in canvas coordinates, Flag 4 on each stroke's last point.
PtwHandle makePtw(const RecognizerObject& object, int32_t first, int32_t last) {
    int64_t total = 0;
    for (int32_t s = first; s <= last; ++s) total += static_cast<int64_t>(object.strokes[s].size());
    if (total > std::numeric_limits<int32_t>::max()) return 0;
    const sw::PtwAllocation ptw = sw::allocatePtw(sw::Owner::Engine, total);
    if (!ptw) return 0;
    sw::PtwPoint* out = ptw.points;
    for (int32_t s = first; s <= last; ++s) {
        const Stroke& stroke = object.strokes[s];
        for (size_t i = 0; i < stroke.size(); ++i, ++out) {
            *out = {clampToInt16(stroke[i].x), clampToInt16(stroke[i].y),
                    i + 1 == stroke.size() ? sw::kFlagPenUp : uint8_t{0}, 0};
        }
    }
    return ptw.handle;
}

bool validChar(const RecognizerObject& object, int32_t ch) {
    return object.hasResult() && ch >= 0 && ch < static_cast<int32_t>(object.runs.size());
}

}  // namespace

extern "C" {

int32_t CreateNewObject(void) noexcept {
    return guarded<int32_t>(0, [](Engine& e) { return e.create(); });
}

int32_t DestroyObject(int32_t object) noexcept {
    return guarded(kFail, [&](Engine& e) { return e.destroy(object) ? kOk : kFail; });
}

int32_t AddStrokeLast(int32_t object, const EnginePoint* points, int32_t count) noexcept {
    return guarded(kFail, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        if (!o || !points || count <= 0 || count > sw::scribeng::kMaxStrokePoints ||
            o->strokes.size() >= static_cast<size_t>(sw::scribeng::kMaxStrokes)) {
            return kFail;
        }
        o->strokes.emplace_back(points, points + count);
        o->dropResult();
        o->pendingRegroup.reset();
        return kOk;
    });
}

int32_t DeleteStrokeLast(int32_t object) noexcept {
    return guarded(kFail, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        if (!o || o->strokes.empty()) return kFail;
        o->strokes.pop_back();
        o->dropResult();
        o->pendingRegroup.reset();
        return kOk;
    });
}

int32_t GetStrokeCount(int32_t object) noexcept {
    return guarded<int32_t>(0, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        return o ? static_cast<int32_t>(o->strokes.size()) : 0;
    });
}

const EnginePoint* GetNthStroke(int32_t object, int32_t stroke, int32_t* count) noexcept {
    if (count) *count = 0;
    return guarded<const EnginePoint*>(nullptr, [&](Engine& e) -> const EnginePoint* {
        RecognizerObject* o = e.find(object);
        if (!o || stroke < 0 || stroke >= static_cast<int32_t>(o->strokes.size())) return nullptr;
        if (count) *count = static_cast<int32_t>(o->strokes[stroke].size());
        return o->strokes[stroke].data();
    });
}

int32_t SetRecCategory(int32_t mask) noexcept {
    return guarded(kFail, [&](Engine& e) {
        e.setCategory(mask);
        return kOk;
    });
}

int32_t RecognizeNF(int32_t object) noexcept {
    return guarded(kFail, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        return o && e.recognizeFree(*o) ? kOk : kFail;
    });
}

int32_t GiveStrokeSetInfo(int32_t object, int32_t zero, int32_t first, int32_t last) noexcept {
    return guarded(kFail, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        if (!o || first < 0 || last < first || last >= static_cast<int32_t>(o->strokes.size())) return kFail;
        o->pendingRegroup = CharRun{first, last};
        return kOk;
    });
}

const char* GetString(int32_t object, int32_t zero, int32_t* charCount) noexcept {
    if (charCount) *charCount = 0;
    return guarded<const char*>(nullptr, [&](Engine& e) -> const char* {
        RecognizerObject* o = e.find(object);
        if (!o || !o->hasResult()) return nullptr;
        if (charCount) *charCount = static_cast<int32_t>(o->runs.size());
        return o->text ? o->text->c_str() : nullptr;
    });
}

int32_t GetStrokeNoOfNthChar(int32_t object, int32_t zero, int32_t ch, int32_t* first,
                             int32_t* last) noexcept {
    return guarded(kFail, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        if (!o || !first || !last || !validChar(*o, ch)) return kFail;
        *first = o->runs[ch].first;
        *last = o->runs[ch].last;
        return kOk;
    });
}

int32_t GetNthCharBound(int32_t object, int32_t zero, int32_t ch, EngineRect* box) noexcept {
    return guarded(kFail, [&](Engine& e) {
        RecognizerObject* o = e.find(object);
        if (!o || !box || !validChar(*o, ch)) return kFail;
        const CharRun run = o->runs[ch];
        const Box bounds = sw::scribeng::boundsOf(
            std::span<const Stroke>(o->strokes).subspan(run.first, run.last - run.first + 1));
        *box = {bounds.left, bounds.top, bounds.right, bounds.bottom};
        return kOk;
    });
}

PtwHandle GetPatternW(int32_t object, int32_t zero, int32_t lastStroke) noexcept {
    return guarded<PtwHandle>(0, [&](Engine& e) -> PtwHandle {
        RecognizerObject* o = e.find(object);
        if (!o || lastStroke < 0 || lastStroke >= static_cast<int32_t>(o->strokes.size())) return 0;
        return makePtw(*o, 0, lastStroke);
    });
}

PtwHandle GetPatternWOfNthChar(int32_t object, int32_t zero, int32_t ch) noexcept {
    return guarded<PtwHandle>(0, [&](Engine& e) -> PtwHandle {
        RecognizerObject* o = e.find(object);
        if (!o || !validChar(*o, ch)) return 0;
        return makePtw(*o, o->runs[ch].first, o->runs[ch].last);
    });
}

int32_t DestroyPatternW(PtwHandle ptw) noexcept { return sw::freePtw(ptw, sw::Owner::Engine) ? kOk : kFail; }

int32_t SetGuideBox(int32_t right, int32_t bottom, int32_t left, int32_t top) noexcept {
    return guarded(kFail, [&](Engine& e) {
        e.setGuideBox(
            {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)});
        return kOk;
    });
}

int32_t RecognizeF(PtwHandle ptw, CandidateEntry* list, int32_t count) noexcept {
    if (!list || count <= 0) return kFail;
    std::fill_n(list, count, CandidateEntry{0, 0, 0});
    return guarded(kFail, [&](Engine& e) {
        std::span<const sw::PtwPoint> points;
        if (!sw::ptwPoints(ptw, &points)) return kFail;
        // Strokes end at Flag 4; points after the last Flag 4 belong to no finished stroke and are ignored,
        // as the recognition box does when it loads a PTW.
        std::vector<Stroke> strokes;
        Stroke current;
        for (const auto& p : points) {
            current.push_back({p.X, p.Y});
            if (p.Flag == sw::kFlagPenUp) strokes.push_back(std::exchange(current, {}));
        }
        const auto found = e.recognizeGuided(strokes, static_cast<size_t>(count));
        if (found.empty()) return kFail;
        for (size_t i = 0; i < found.size(); ++i) {
            list[i] = {static_cast<int32_t>(std::lround(found[i].score * 1000)), static_cast<int32_t>(i) + 1,
                       found[i].code};
        }
        return kOk;
    });
}

}  // extern "C"
