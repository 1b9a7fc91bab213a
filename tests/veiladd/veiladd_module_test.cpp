// The registered module libveiladd.so, loaded through the class registry and called by dispatch id only,
// as the board calls it.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "contracts/veiladd.h"
#include "platform/com/host.h"
#include "platform/com/registry.h"
#include "platform/com/stock_ui.h"
#include "platform/window/listbox.h"
#include "records/handle_table.h"
#include "stroke_cases.h"

namespace sw::veiladd {
namespace {

using namespace testing_data;

// dlopens the built module and calls one of its registration exports.
int32_t callModuleExport(const char* name) {
    void* module = dlopen(VEILADD_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        ADD_FAILURE() << dlerror();
        return hr::kFail;
    }
    auto fn = reinterpret_cast<int32_t (*)()>(dlsym(module, name));
    const int32_t result = fn ? fn() : hr::kFail;
    dlclose(module);
    return result;
}

class VeiladdModule : public testing::Test {
protected:
    // The class registry of this test process: a temporary file, removed at the end.
    static void SetUpTestSuite() {
        ensureApplication();
        registryPath() = (std::filesystem::temp_directory_path() /
                          ("veiladd_module_test_" + std::to_string(getpid()) + ".reg"))
                             .string();
        setenv("SLATEWISE_REGISTRY", registryPath().c_str(), 1);
    }
    static void TearDownTestSuite() { std::filesystem::remove(registryPath()); }
    static std::string& registryPath() {
        static std::string path;
        return path;
    }

    void SetUp() override {
        ASSERT_EQ(callModuleExport("DllRegisterServer"), hr::kOk);
        HResult hr = hr::kFail;
        site = com::createControl(kProgId, &host, "Veiladd1", nullptr, &hr);
        ASSERT_NE(site, nullptr) << std::hex << hr;
    }

    // Calls a method by dispatch id; the result is the automation boolean (-1 / 0) or Empty.
    Variant call(DispId id, std::vector<Variant> args) {
        Variant result;
        const HResult hr = site->invoke(id, kInvokeMethod, args, &result);
        EXPECT_EQ(hr, hr::kOk) << "dispatch id " << id;
        return result;
    }
    static Variant i4(int32_t v) { return Variant(v); }
    static Variant out(int32_t* target) { return Variant::byRef(target); }

    // DeletePattern by dispatch; returns the kept points and releases the result through FreePatternData.
    std::vector<VeilPoint> deletePattern(const Strokes& drawing, const Strokes& pattern) {
        int32_t result = 0;
        int32_t resultNum = -1;
        EXPECT_EQ(
            call(kDispDeletePattern, {i4(drawing.block.handle), i4(drawing.count), i4(pattern.block.handle),
                                      i4(pattern.count), out(&result), out(&resultNum)}),
            Variant::fromBool(true));
        const VeilPoint* points = resolveStrokeData(result, resultNum);
        EXPECT_NE(points, nullptr);
        std::vector<VeilPoint> kept(points, points + (points ? resultNum : 0));
        call(kDispFreePatternData, {i4(result)});
        EXPECT_EQ(resolveStrokeData(result, 0), nullptr) << "FreePatternData released the result";
        return kept;
    }

    QWidget host;
    std::unique_ptr<com::ControlSite> site;
};

TEST_F(VeiladdModule, RegistersAsAnInvisibleApartmentControlWithItsPropertyPage) {
    com::ClassRegistry registry;
    EXPECT_EQ(registry.path(), registryPath());
    const auto entry = registry.findClassByProgId(kProgId);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "CVeiladdCtrl");
    EXPECT_EQ(entry->threading, "Apartment");
    EXPECT_EQ(entry->miscStatus, 0x20591u);
    const auto typeLib = registry.findTypeLib(entry->typeLibId);
    ASSERT_TRUE(typeLib);
    EXPECT_EQ(typeLib->name, "VEILADDLib");
    EXPECT_EQ(site->control()->classInfo().propPageName, "CVeiladdPropPage");
    EXPECT_TRUE(registry.findPropPage(site->control()->classInfo().propPageId));

    EXPECT_EQ(site->control()->interfaceInfo().name, "_DVeiladd");
    ASSERT_NE(site->control()->events(), nullptr);
    EXPECT_TRUE(site->control()->events()->interfaceInfo().members.empty());

    ASSERT_EQ(callModuleExport("DllUnregisterServer"), hr::kOk);
    EXPECT_FALSE(registry.findClassByProgId(kProgId));
    EXPECT_FALSE(registry.findTypeLib(entry->typeLibId));
    EXPECT_FALSE(registry.findPropPage(site->control()->classInfo().propPageId));
    HResult hr = hr::kOk;
    EXPECT_EQ(com::createControl(kProgId, &host, "Veiladd2", nullptr, &hr), nullptr);
    EXPECT_EQ(hr, hr::kClassNotRegistered);
}

TEST_F(VeiladdModule, KeepsA32By32ExtentAndShowsNothingAtRunTime) {
    Control* control = site->control();
    EXPECT_FALSE(control->setExtent(33, 32));
    EXPECT_FALSE(control->setExtent(0, 0));
    EXPECT_TRUE(control->setExtent(32, 32));
    ASSERT_NE(site->widget(), nullptr);
    EXPECT_EQ(site->widget()->size(), QSize(32, 32));
    host.show();
    site->setVisible(true);
    EXPECT_FALSE(site->widget()->isVisible()) << "invisible at run time";
}

TEST_F(VeiladdModule, AboutBoxNamesVersion10) {
    QString text;
    com::setDialogHook([&text](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) text += label->text() + '\n';
    });
    call(kDispAboutBox, {});
    com::setDialogHook(nullptr);
    EXPECT_TRUE(text.contains("1.0")) << text.toStdString();
}

TEST_F(VeiladdModule, DeletePatternRemovesSelectedStrokesInOrder) {
    for (const DeleteCase& c : deleteCases()) {
        SCOPED_TRACE(c.name);
        const Strokes drawing(c.drawing);
        const Strokes selection(c.pattern);
        const std::vector<VeilPoint> kept = deletePattern(drawing, selection);
        ASSERT_EQ(kept.size(), c.keptColors.size());
        for (size_t k = 0; k < kept.size(); ++k) {
            const auto source = std::find_if(c.drawing.begin(), c.drawing.end(),
                                             [&](const VeilPoint& p) { return p.Color == c.keptColors[k]; });
            ASSERT_NE(source, c.drawing.end());
            EXPECT_EQ(std::memcmp(&kept[k], &*source, sizeof(VeilPoint)), 0) << "whole points are copied";
        }
    }
}

TEST_F(VeiladdModule, RectanglesStartFromExtremeValues) {
    const Strokes negative({pt(-5, -7, 2), pt(-1, -2, 4)});
    int32_t l = 0, t = 0, r = -1, b = -1;
    EXPECT_EQ(call(kDispGetVeilRect, {i4(negative.block.handle), i4(2), out(&l), out(&t), out(&r), out(&b)}),
              Variant::fromBool(true));
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({-5, -7, 0, 0}));

    PtwAllocation ptw = allocatePtw(Owner::Test, 2);
    ptw.points[0] = {-4, 9, 0, 0};
    ptw.points[1] = {6, -3, 4, 0};
    EXPECT_EQ(call(kDispGetPtwRect, {i4(ptw.handle), out(&l), out(&t), out(&r), out(&b)}),
              Variant::fromBool(true));
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({-4, -3, 6, 9}));
    ptw.record->PointNum = 0;
    EXPECT_EQ(call(kDispGetPtwRect, {i4(ptw.handle), out(&l), out(&t), out(&r), out(&b)}),
              Variant::fromBool(false));
    EXPECT_EQ(std::vector<int32_t>({l, t, r, b}), std::vector<int32_t>({INT32_MAX, INT32_MAX, 0, 0}));
    ptw.record->PointNum = 2;
    freePtw(ptw.handle, Owner::Test);
}

TEST_F(VeiladdModule, MoveVeilThereAndBackRestoresEveryPoint) {
    const std::vector<VeilPoint> original = {pt(25, 30, 2), pt(INT32_MAX, INT32_MIN, 4)};
    const Strokes points(original);
    EXPECT_EQ(call(kDispMoveVeil, {i4(points.block.handle), i4(2), i4(15), i4(20)}), Variant::fromBool(true));
    EXPECT_EQ(points.block.data[0].X, 10);
    EXPECT_EQ(points.block.data[0].Y, 10);
    EXPECT_EQ(call(kDispMoveVeil, {i4(points.block.handle), i4(2), i4(-15), i4(-20)}),
              Variant::fromBool(true));
    for (size_t k = 0; k < original.size(); ++k) {
        EXPECT_EQ(points.block.data[k].X, original[k].X);
        EXPECT_EQ(points.block.data[k].Y, original[k].Y);
    }
}

TEST_F(VeiladdModule, PointLineGoesIntoTheListBoxAndComesBack) {
    win::ListBox list;
    const Strokes point({{100, -4, 2, 3, 255}});
    EXPECT_EQ(call(kDispVeilListBoxIn, {i4(list.handle()), i4(point.block.handle), i4(1)}),
              Variant::fromBool(true));
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.lineCp932(0), "255 2 3 100 -4");

    win::ListBox other;
    other.addLineCp932("255 2 3 100 -4");
    int32_t data = 0;
    int32_t dataNum = 0;
    EXPECT_EQ(call(kDispVeilListBoxOut, {i4(other.handle()), out(&data), out(&dataNum)}),
              Variant::fromBool(true));
    ASSERT_EQ(dataNum, 1);
    const VeilPoint* p = resolveStrokeData(data, 1);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(std::vector<int32_t>({p->Color, p->State, p->Width, p->X, p->Y}),
              std::vector<int32_t>({255, 2, 3, 100, -4}));
    call(kDispFreePatternData, {i4(data)});

    win::ListBox empty;
    data = dataNum = -1;
    EXPECT_EQ(call(kDispVeilListBoxOut, {i4(empty.handle()), out(&data), out(&dataNum)}),
              Variant::fromBool(false));
    EXPECT_EQ(data, 0);
    EXPECT_EQ(dataNum, 0);
}

TEST_F(VeiladdModule, StaleAndShortHandlesAreRefusedWithTheDocumentedOutputs) {
    const Strokes good({pt(1, 2, 2), pt(3, 4, 4)});
    const Handle stale = allocateStrokeData(Owner::Test, 2).handle;
    freeBlock(stale, Owner::Test);
    const Variant f = Variant::fromBool(false);
    const size_t blocksBefore = liveBlockCount();
    struct Bad {
        const char* name;
        Handle handle;
        int32_t count;
    };
    // The full set of refused inputs is in veiladd_methods_test; here the outputs must reach the caller.
    for (const Bad& bad : {Bad{"stale", stale, 2}, Bad{"too short", good.block.handle, 3}}) {
        SCOPED_TRACE(bad.name);
        int32_t a = -1, b = -1, c = -1, d = -1;
        EXPECT_EQ(call(kDispDeletePattern,
                       {i4(good.block.handle), i4(2), i4(bad.handle), i4(bad.count), out(&a), out(&b)}),
                  f);
        EXPECT_EQ(std::vector<int32_t>({a, b}), std::vector<int32_t>({0, 0}));
        EXPECT_EQ(call(kDispGetVeilRect, {i4(bad.handle), i4(bad.count), out(&a), out(&b), out(&c), out(&d)}),
                  f);
        EXPECT_EQ(std::vector<int32_t>({a, b, c, d}), std::vector<int32_t>({INT32_MAX, INT32_MAX, 0, 0}));
        EXPECT_EQ(call(kDispMoveVeil, {i4(bad.handle), i4(bad.count), i4(1), i4(1)}), f);
        win::ListBox list;
        EXPECT_EQ(call(kDispVeilListBoxIn, {i4(list.handle()), i4(bad.handle), i4(bad.count)}), f);
        EXPECT_EQ(list.count(), 0);
        a = b = c = d = -1;
        EXPECT_EQ(call(kDispGetPtwRect, {i4(bad.handle), out(&a), out(&b), out(&c), out(&d)}), f);
        EXPECT_EQ(std::vector<int32_t>({a, b, c, d}), std::vector<int32_t>({INT32_MAX, INT32_MAX, 0, 0}));
        call(kDispFreePatternData, {i4(bad.handle)});
    }
    EXPECT_EQ(good.block.data[0].X, 1);
    EXPECT_NE(resolveStrokeData(good.block.handle, 2), nullptr)
        << "FreePatternData left a foreign array alone";
    EXPECT_EQ(liveBlockCount(), blocksBefore);
}

}  // namespace
}  // namespace sw::veiladd
