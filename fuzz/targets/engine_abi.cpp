// The engine's C ABI driven by arbitrary call sequences, handles, points and arguments, with the real models.
// Every returned pointer is read to its announced end, every handle is released at the end of an input.
//
// Recognition over the full models takes milliseconds per character, and long strokes or many of them make
// it slower still (a known slow path of its own). The sizes are bounded so the fuzzer explores the entry
// points' logic instead of timing out: at most kMaxStrokes strokes of kMaxPoints points per object and
// kMaxRecognitions recognitions per input.
#include <cstring>
#include <vector>

#include "contracts/scribeng.h"
#include "fuzz/fuzz_input.h"
#include "records/handle_table.h"

namespace {

constexpr int32_t kMaxStrokes = 8;
constexpr int32_t kMaxPoints = 48;
constexpr int kMaxRecognitions = 3;
constexpr int kMaxCalls = 64;
constexpr int32_t kAllCategories = 0x1FF;

struct State {
    explicit State(sw::fuzz::Input& input) : in(input) {}
    sw::fuzz::Input& in;
    std::vector<int32_t> objects;
    std::vector<PtwHandle> patterns;  // the engine's, released with DestroyPatternW
    std::vector<PtwHandle> ours;      // made here, released here
    int recognitions = 0;

    // A live handle, a released or foreign one, or an arbitrary value.
    int32_t pick(const std::vector<int32_t>& live) {
        const uint8_t how = in.take<uint8_t>();
        if (how < 200 && !live.empty()) return live[how % live.size()];
        if (how < 240) return static_cast<int32_t>(how) - 220;
        return in.take<int32_t>();
    }
    int32_t object() { return pick(objects); }
    int32_t coordinate() {
        const uint8_t how = in.take<uint8_t>();
        return how < 250 ? static_cast<int32_t>(in.take<uint16_t>() % 2000) - 500 : in.take<int32_t>();
    }
    int32_t index() { return static_cast<int32_t>(in.take<int8_t>()); }
    bool mayRecognize() { return recognitions++ < kMaxRecognitions; }
};

void readPtw(PtwHandle ptw) {
    std::span<const sw::PtwPoint> points;
    if (!sw::ptwPoints(ptw, &points)) return;
    volatile int32_t sum = 0;
    for (const sw::PtwPoint& p : points) sum = sum + p.X + p.Y + p.Flag;
}

void call(State& s) {
    switch (s.in.below(17)) {
        case 0:
            if (s.objects.size() < 4) {
                const int32_t o = CreateNewObject();
                FUZZ_CHECK(o != 0);
                s.objects.push_back(o);
            }
            break;
        case 1: {
            const int32_t o = s.object();
            if (DestroyObject(o) == 0) std::erase(s.objects, o);
            break;
        }
        case 2: {
            const int32_t o = s.object();
            if (GetStrokeCount(o) >= kMaxStrokes) break;
            const int32_t n = static_cast<int32_t>(s.in.below(kMaxPoints + 1));
            std::vector<EnginePoint> points(static_cast<size_t>(n));
            for (EnginePoint& p : points) p = {s.coordinate(), s.coordinate()};
            const int32_t count = s.in.take<uint8_t>() < 16 ? -n : n;  // never more than the array holds
            const int32_t before = GetStrokeCount(o);
            if (AddStrokeLast(o, points.data(), count) == 0) FUZZ_CHECK(GetStrokeCount(o) == before + 1);
            break;
        }
        case 3:
            DeleteStrokeLast(s.object());
            break;
        case 4:
            FUZZ_CHECK(GetStrokeCount(s.object()) >= 0);
            break;
        case 5: {
            int32_t count = -1;
            const EnginePoint* points = GetNthStroke(s.object(), s.index(), &count);
            FUZZ_CHECK(points ? count > 0 : count == 0);
            volatile int64_t sum = 0;
            for (int32_t i = 0; i < count; ++i) sum = sum + points[i].x + points[i].y;
            break;
        }
        case 6:
            SetRecCategory(s.in.take<uint8_t>() < 128 ? kAllCategories : s.in.take<int32_t>());
            break;
        case 7:
            if (s.mayRecognize()) RecognizeNF(s.object());
            break;
        case 8:
            GiveStrokeSetInfo(s.object(), 0, s.index(), s.index());
            break;
        case 9: {
            const int32_t o = s.object();
            int32_t chars = -1;
            const char* text = GetString(o, 0, &chars);
            if (text) FUZZ_CHECK(std::strlen(text) == static_cast<size_t>(chars) * 2);
            break;
        }
        case 10: {
            const int32_t o = s.object();
            int32_t first = -1;
            int32_t last = -1;
            if (GetStrokeNoOfNthChar(o, 0, s.index(), &first, &last) == 0)
                FUZZ_CHECK(first >= 0 && first <= last && last < GetStrokeCount(o));
            break;
        }
        case 11: {
            EngineRect box{};
            if (GetNthCharBound(s.object(), 0, s.index(), &box) == 0)
                FUZZ_CHECK(box.left <= box.right && box.top <= box.bottom);
            break;
        }
        case 12:
        case 13: {
            const int32_t o = s.object();
            const PtwHandle ptw =
                s.in.below(2) ? GetPatternW(o, 0, s.index()) : GetPatternWOfNthChar(o, 0, s.index());
            if (ptw != 0) {
                readPtw(ptw);
                s.patterns.push_back(ptw);
            }
            break;
        }
        case 14: {
            const int32_t ptw = s.pick(s.patterns);
            if (DestroyPatternW(ptw) == 0) std::erase(s.patterns, ptw);
            break;
        }
        case 15:
            SetGuideBox(s.coordinate(), s.coordinate(), s.coordinate(), s.coordinate());
            break;
        case 16: {
            if (!s.mayRecognize()) break;
            PtwHandle ptw = s.pick(s.patterns);
            if (s.in.below(2)) {  // a PTW of another component, with arbitrary points and flags
                const auto n = static_cast<int64_t>(s.in.below(kMaxPoints + 1));
                const sw::PtwAllocation made = sw::allocatePtw(sw::Owner::Test, n);
                FUZZ_CHECK(made);
                for (int64_t i = 0; i < n; ++i) {
                    made.points[i] = {static_cast<int16_t>(s.coordinate()),
                                      static_cast<int16_t>(s.coordinate()), s.in.take<uint8_t>(), 0};
                }
                s.ours.push_back(made.handle);
                ptw = made.handle;
            }
            const int32_t count = static_cast<int32_t>(s.in.below(48)) - 4;
            std::vector<CandidateEntry> list(static_cast<size_t>(count > 0 ? count : 1));
            if (RecognizeF(ptw, count > 0 ? list.data() : nullptr, count) == 0) {
                FUZZ_CHECK(list[0].code != 0);
                for (const CandidateEntry& c : list) FUZZ_CHECK(c.code <= 0xFFFF);
            }
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sw::fuzz::Input input(data, size);
    State state(input);
    const size_t blocksBefore = sw::liveBlockCount();
    SetRecCategory(kAllCategories);
    SetGuideBox(0, 0, 0, 0);
    for (int calls = 0; calls < kMaxCalls && !input.empty(); ++calls) call(state);
    for (int32_t o : state.objects) FUZZ_CHECK(DestroyObject(o) == 0);
    for (PtwHandle p : state.patterns) FUZZ_CHECK(DestroyPatternW(p) == 0);
    for (PtwHandle p : state.ours) FUZZ_CHECK(sw::freePtw(p, sw::Owner::Test));
    FUZZ_CHECK(sw::liveBlockCount() == blocksBefore);
    return 0;
}
