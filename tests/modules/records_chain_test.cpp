// One module's records handed to another, as the board hands them on when the teacher circles handwriting:
// the real libveiladd.so and libpenmate.so, created through the class registry and called by dispatch id.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <climits>
#include <memory>
#include <vector>

#include "contracts/penmate.h"
#include "contracts/veiladd.h"
#include "platform/com/host.h"
#include "platform/window/listbox.h"
#include "records/handle_table.h"

namespace {

using sw::Handle;
using sw::Variant;
using sw::VeilPoint;

// A control module registered in this process's registry, kept loaded for the whole suite.
class RegisteredModule {
public:
    explicit RegisteredModule(const char* path) : m_handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        auto* reg =
            m_handle ? reinterpret_cast<int32_t (*)()>(dlsym(m_handle, "DllRegisterServer")) : nullptr;
        m_registered = reg && reg() == 0;
    }
    ~RegisteredModule() {
        if (m_handle) dlclose(m_handle);
    }
    RegisteredModule(const RegisteredModule&) = delete;
    RegisteredModule& operator=(const RegisteredModule&) = delete;
    bool registered() const { return m_registered; }

private:
    void* m_handle;
    bool m_registered = false;
};

// Stroke data as the overlay owns it.
struct OverlayStrokes {
    explicit OverlayStrokes(const std::vector<VeilPoint>& points)
        : block(sw::allocateStrokeData(sw::Owner::Veil, static_cast<int64_t>(points.size()))),
          count(static_cast<int32_t>(points.size())) {
        std::copy(points.begin(), points.end(), block.data);
    }
    ~OverlayStrokes() { sw::freeBlock(block.handle, sw::Owner::Veil); }
    OverlayStrokes(const OverlayStrokes&) = delete;
    OverlayStrokes& operator=(const OverlayStrokes&) = delete;
    sw::Allocation<VeilPoint> block;
    int32_t count;
};

struct Rect {
    int32_t left = -1, top = -1, right = -1, bottom = -1;
    friend bool operator==(const Rect&, const Rect&) = default;
};
constexpr Rect kStartRect{INT32_MAX, INT32_MAX, 0, 0};

class RecordsChain : public testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "records_chain_test";
        static char* argv[] = {name, nullptr};
        if (!qApp) new QApplication(argc, argv);
        s_veiladd = new RegisteredModule(VEILADD_MODULE_PATH);
        s_penmate = new RegisteredModule(PENMATE_MODULE_PATH);
    }
    static void TearDownTestSuite() {
        delete s_veiladd;
        delete s_penmate;
    }

    void SetUp() override {
        ASSERT_TRUE(s_veiladd->registered() && s_penmate->registered());
        veiladd = sw::com::createControl(sw::veiladd::kProgId, &host, "Veiladd1", nullptr);
        penmate = sw::com::createControl(sw::penmate::kProgId, &host, "Penmate1", nullptr);
        ASSERT_TRUE(veiladd && penmate);
    }

    static Variant call(sw::com::ControlSite& site, sw::DispId id, std::vector<Variant> args) {
        Variant result;
        EXPECT_EQ(site.invoke(id, sw::kInvokeMethod, args, &result), sw::hr::kOk) << "dispatch id " << id;
        return result;
    }
    static Variant out(int32_t* target) { return Variant::byRef(target); }

    bool getPtwRect(Handle ptw, Rect& r) {
        return call(*veiladd, sw::veiladd::kDispGetPtwRect,
                    {Variant(ptw), out(&r.left), out(&r.top), out(&r.right), out(&r.bottom)})
            .boolean();
    }

    static RegisteredModule* s_veiladd;
    static RegisteredModule* s_penmate;
    QWidget host;
    std::unique_ptr<sw::com::ControlSite> veiladd;
    std::unique_ptr<sw::com::ControlSite> penmate;
};

RegisteredModule* RecordsChain::s_veiladd = nullptr;
RegisteredModule* RecordsChain::s_penmate = nullptr;

// The selection leaves the drawing, is moved to start at (10, 10), becomes a PTW that keeps its colour and
// width on the side, and the add-in measures that PTW where the selection now lies.
TEST_F(RecordsChain, CircledStrokesBecomeAPatternAtTenTen) {
    constexpr int32_t kBlue = 0x00FF0000;
    const std::vector<VeilPoint> kept = {{40, 50, 2, 3, 0x00FFFFFF}, {45, 52, 4, 3, 0x00FFFFFF}};
    const std::vector<VeilPoint> circled = {{300, 200, 2, 7, kBlue},
                                            {340, 180, 0, 7, kBlue},
                                            {320, 260, 4, 7, kBlue},
                                            {290, 230, 2, 7, kBlue},
                                            {355, 230, 4, 7, kBlue}};
    // Drawing order: the first circled stroke, the kept stroke, the second circled stroke.
    const std::vector<VeilPoint> all = {circled[0], circled[1], circled[2], kept[0],
                                        kept[1],    circled[3], circled[4]};
    OverlayStrokes drawing(all);
    OverlayStrokes selection(circled);
    const size_t blocksBefore = sw::liveBlockCount();

    int32_t rest = 0;
    int32_t restNum = 0;
    ASSERT_TRUE(call(*veiladd, sw::veiladd::kDispDeletePattern,
                     {Variant(drawing.block.handle), Variant(drawing.count), Variant(selection.block.handle),
                      Variant(selection.count), out(&rest), out(&restNum)})
                    .boolean());
    ASSERT_EQ(restNum, 2);
    const VeilPoint* restPoints = sw::resolveStrokeData(rest, restNum);
    ASSERT_NE(restPoints, nullptr);
    EXPECT_EQ(restPoints[0].X, 40);
    EXPECT_EQ(restPoints[1].Y, 52);

    Rect r;
    ASSERT_TRUE(call(*veiladd, sw::veiladd::kDispGetVeilRect,
                     {Variant(selection.block.handle), Variant(selection.count), out(&r.left), out(&r.top),
                      out(&r.right), out(&r.bottom)})
                    .boolean());
    EXPECT_EQ(r, (Rect{290, 180, 355, 260}));
    ASSERT_TRUE(call(*veiladd, sw::veiladd::kDispMoveVeil,
                     {Variant(selection.block.handle), Variant(selection.count), Variant(r.left - 10),
                      Variant(r.top - 10)})
                    .boolean());

    const Handle ptw = call(*penmate, sw::penmate::kDispCreatePTW,
                            {Variant(selection.block.handle), Variant(selection.count)})
                           .i4();
    ASSERT_NE(ptw, 0);
    EXPECT_EQ(call(*penmate, sw::penmate::kDispGetStrokeData,
                   {Variant(selection.block.handle), Variant(int32_t{0}), Variant(int32_t{3})})
                  .i4(),
              kBlue);
    EXPECT_EQ(call(*penmate, sw::penmate::kDispGetStrokeData,
                   {Variant(selection.block.handle), Variant(int32_t{0}), Variant(int32_t{4})})
                  .i4(),
              7);

    Rect moved;
    ASSERT_TRUE(getPtwRect(ptw, moved));
    EXPECT_EQ(moved, (Rect{10, 10, 75, 90}));

    call(*penmate, sw::penmate::kDispFreePTW, {Variant(ptw)});
    call(*veiladd, sw::veiladd::kDispFreePatternData, {Variant(rest)});
    EXPECT_EQ(sw::liveBlockCount(), blocksBefore) << "each module released what it made";
}

// PTWs the pattern utility makes, from stroke data and from its list-box form, measured by the add-in;
// a record with no points is refused with the start values.
TEST_F(RecordsChain, AddInMeasuresThePatternUtilitysRecords) {
    OverlayStrokes points({{-5, 7, 2, 1, 0}, {70000, -3, 4, 1, 0}});  // X 70000 keeps its low 16 bits: 4464
    const size_t blocksBefore = sw::liveBlockCount();
    sw::win::ListBox list;
    list.addLineCp932("0");  // a block of no points at line 0
    const Handle fromStrokes =
        call(*penmate, sw::penmate::kDispCreatePTW, {Variant(points.block.handle), Variant(points.count)})
            .i4();
    ASSERT_TRUE(call(*penmate, sw::penmate::kDispListInPTW, {Variant(list.handle()), Variant(fromStrokes)})
                    .boolean());
    struct Row {
        const char* name;
        Handle ptw;
        bool ok;
        Rect rect;
    };
    const Row rows[] = {
        {"from stroke data", fromStrokes, true, {-5, -3, 4464, 7}},
        {"from its list form",
         call(*penmate, sw::penmate::kDispListOutPTW, {Variant(list.handle()), Variant(int32_t{1})}).i4(),
         true,
         {-5, -3, 4464, 7}},
        {"no points from stroke data",
         call(*penmate, sw::penmate::kDispCreatePTW, {Variant(points.block.handle), Variant(int32_t{0})})
             .i4(),
         false, kStartRect},
        {"no points from its list form",
         call(*penmate, sw::penmate::kDispListOutPTW, {Variant(list.handle()), Variant(int32_t{0})}).i4(),
         false, kStartRect},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_NE(row.ptw, 0);
        Rect r;
        EXPECT_EQ(getPtwRect(row.ptw, r), row.ok);
        EXPECT_EQ(r, row.rect);
        call(*penmate, sw::penmate::kDispFreePTW, {Variant(row.ptw)});
    }
    EXPECT_EQ(sw::liveBlockCount(), blocksBefore);
}

}  // namespace
