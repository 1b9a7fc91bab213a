// A stand-in engine for tests: libscribeng.so with the engine's entry points, each forwarding to the real
// engine of the runtime folder unless the test has told it to fail. Loaded by the box the same way as the
// real one, by file name from the box's own module folder.
//
// Control (C linkage, looked up by the test with dlsym):
//   FailingEngineSet(name, skip, times): the entry point `name` succeeds `skip` more times, then fails
//   `times`
//                                        times (-1: for ever). A failure returns the entry point's failure
//                                        value (non-zero status, object 0, null pointer, handle 0).
//   FailingEngineReset():                every entry point forwards again.
#include <dlfcn.h>

#include <map>
#include <string>

#include "contracts/scribeng.h"

namespace {

struct Plan {
    int skip = 0;
    int times = 0;
};

std::map<std::string, Plan>& plans() {
    static std::map<std::string, Plan> p;
    return p;
}

bool failNow(const char* name) {
    auto it = plans().find(name);
    if (it == plans().end()) return false;
    Plan& plan = it->second;
    if (plan.skip > 0) {
        --plan.skip;
        return false;
    }
    if (plan.times == 0) return false;
    if (plan.times > 0) --plan.times;
    return true;
}

void* realEngine() {
    static void* library = dlopen(QUILLBOX_REAL_ENGINE, RTLD_NOW | RTLD_LOCAL);
    return library;
}

template <typename Fn>
Fn real(const char* name) {
    void* library = realEngine();
    return library ? reinterpret_cast<Fn>(dlsym(library, name)) : nullptr;
}

}  // namespace

// Forwards `name` with `args`, or returns `failure` when the plan says so (or the real engine is missing).
#define FORWARD(name, failure, ...)                            \
    do {                                                       \
        if (failNow(#name)) return failure;                    \
        static const auto fn = real<decltype(&::name)>(#name); \
        return fn ? fn(__VA_ARGS__) : failure;                 \
    } while (false)

extern "C" {

__attribute__((visibility("default"))) void FailingEngineSet(const char* name, int skip, int times) noexcept {
    plans()[name] = Plan{skip, times};
}

__attribute__((visibility("default"))) void FailingEngineReset() noexcept { plans().clear(); }

int32_t CreateNewObject(void) noexcept { FORWARD(CreateNewObject, 0); }
int32_t DestroyObject(int32_t object) noexcept { FORWARD(DestroyObject, -1, object); }
int32_t AddStrokeLast(int32_t object, const EnginePoint* points, int32_t count) noexcept {
    FORWARD(AddStrokeLast, -1, object, points, count);
}
int32_t DeleteStrokeLast(int32_t object) noexcept { FORWARD(DeleteStrokeLast, -1, object); }
int32_t GetStrokeCount(int32_t object) noexcept { FORWARD(GetStrokeCount, 0, object); }
const EnginePoint* GetNthStroke(int32_t object, int32_t stroke, int32_t* count) noexcept {
    FORWARD(GetNthStroke, nullptr, object, stroke, count);
}
int32_t SetRecCategory(int32_t mask) noexcept { FORWARD(SetRecCategory, -1, mask); }
int32_t RecognizeNF(int32_t object) noexcept { FORWARD(RecognizeNF, -1, object); }
int32_t GiveStrokeSetInfo(int32_t object, int32_t zero, int32_t first, int32_t last) noexcept {
    FORWARD(GiveStrokeSetInfo, -1, object, zero, first, last);
}
const char* GetString(int32_t object, int32_t zero, int32_t* charCount) noexcept {
    FORWARD(GetString, nullptr, object, zero, charCount);
}
int32_t GetStrokeNoOfNthChar(int32_t object, int32_t zero, int32_t ch, int32_t* first,
                             int32_t* last) noexcept {
    FORWARD(GetStrokeNoOfNthChar, -1, object, zero, ch, first, last);
}
int32_t GetNthCharBound(int32_t object, int32_t zero, int32_t ch, EngineRect* box) noexcept {
    FORWARD(GetNthCharBound, -1, object, zero, ch, box);
}
PtwHandle GetPatternW(int32_t object, int32_t zero, int32_t lastStroke) noexcept {
    FORWARD(GetPatternW, 0, object, zero, lastStroke);
}
PtwHandle GetPatternWOfNthChar(int32_t object, int32_t zero, int32_t ch) noexcept {
    FORWARD(GetPatternWOfNthChar, 0, object, zero, ch);
}
int32_t DestroyPatternW(PtwHandle ptw) noexcept { FORWARD(DestroyPatternW, -1, ptw); }
int32_t SetGuideBox(int32_t right, int32_t bottom, int32_t left, int32_t top) noexcept {
    FORWARD(SetGuideBox, -1, right, bottom, left, top);
}
int32_t RecognizeF(PtwHandle ptw, CandidateEntry* list, int32_t count) noexcept {
    FORWARD(RecognizeF, -1, ptw, list, count);
}

}  // extern "C"
