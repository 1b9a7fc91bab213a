// The registered Penmate module, created through the class registry and called by dispatch id with real
// list boxes and real files.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <span>
#include <vector>

#include "contracts/penmate.h"
#include "platform/com/host.h"
#include "platform/com/registry.h"
#include "platform/com/stock_ui.h"
#include "platform/files/file.h"
#include "platform/window/listbox.h"
#include "records/handle_table.h"

namespace penmate {
namespace {

using namespace ::sw::penmate;  // dispatch ids
using sw::Variant;
using Bytes = std::vector<uint8_t>;

constexpr int16_t kNewFile = -1;
constexpr int16_t kAppend = 0;

void putInt(Bytes& out, int32_t v) {
    for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> s));
}

// Makes every write of this process past `bytes` bytes of a file fail part-way, as a full disk does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_signal(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_signal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_signal)(int);
    bool m_set = false;
};

class ModuleLibrary {
public:
    ModuleLibrary() : m_handle(dlopen(PENMATE_MODULE_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~ModuleLibrary() {
        if (m_handle) dlclose(m_handle);
    }
    int32_t call(const char* name) const {
        auto* fn = reinterpret_cast<int32_t (*)()>(dlsym(m_handle, name));
        return fn ? fn() : -1;
    }
    bool loaded() const { return m_handle != nullptr; }

private:
    void* m_handle;
};

class PenmateControl : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_registryDir = new QTemporaryDir;
        setenv("SLATEWISE_REGISTRY", (s_registryDir->path() + "/registry").toUtf8().constData(), 1);
        s_module = new ModuleLibrary;
        ASSERT_TRUE(s_module->loaded()) << dlerror();
        ASSERT_EQ(s_module->call("DllRegisterServer"), 0);
    }
    static void TearDownTestSuite() {
        delete s_module;
        delete s_registryDir;
    }

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_host = std::make_unique<QWidget>();
        m_host->resize(200, 200);
        sw::HResult hr = sw::hr::kFail;
        m_site = sw::com::createControl(kProgId, m_host.get(), "Penmate1", nullptr, &hr);
        ASSERT_TRUE(m_site) << std::hex << hr;
        m_list = new sw::win::ListBox(m_host.get());
        m_blocksBefore = sw::liveBlockCount();
    }

    void TearDown() override {
        m_site.reset();
        m_host.reset();
    }

    Variant call(sw::DispId id, std::vector<Variant> args) {
        Variant result;
        EXPECT_EQ(m_site->invoke(id, sw::kInvokeMethod, args, &result), sw::hr::kOk) << "dispatch id " << id;
        return result;
    }
    bool callBool(sw::DispId id, std::vector<Variant> args) {
        const Variant r = call(id, std::move(args));
        EXPECT_EQ(r.type(), sw::VarType::Bool);
        return r.boolean();
    }
    int32_t callLong(sw::DispId id, std::vector<Variant> args) {
        const Variant r = call(id, std::move(args));
        EXPECT_EQ(r.type(), sw::VarType::I4);
        return r.i4();
    }

    sw::win::HWnd list() const { return m_list->handle(); }
    std::vector<std::string> listLines() const {
        std::vector<std::string> lines;
        for (int i = 0; i < m_list->count(); ++i) lines.push_back(m_list->lineCp932(i));
        return lines;
    }
    void setList(const std::vector<std::string>& lines) {
        m_list->resetContent();
        for (const auto& l : lines) m_list->addLineCp932(l);
    }

    std::string nativePath(const char* name) const { return (m_dir.path() + '/' + name).toStdString(); }
    std::u16string path(const char* name) const { return (m_dir.path() + '/' + name).toStdU16String(); }
    Bytes fileBytes(const char* name) const {
        std::ifstream in(nativePath(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void writeFile(const char* name, const Bytes& bytes) const {
        std::ofstream out(nativePath(name), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

    // Stroke data as the overlay hands it over.
    sw::Handle strokes(std::initializer_list<sw::VeilPoint> points) {
        auto block = sw::allocateStrokeData(sw::Owner::Veil, static_cast<int64_t>(points.size()));
        std::copy(points.begin(), points.end(), block.data);
        m_strokes.push_back(block.handle);
        return block.handle;
    }
    void releaseStrokes() {
        for (sw::Handle h : m_strokes) sw::freeBlock(h, sw::Owner::Veil);
        m_strokes.clear();
    }

    bool saveVeil(const std::u16string& file, sw::Handle data, int32_t num, int16_t newFlag) {
        return callBool(kDispSysFuncSaveVeil, {Variant(file), Variant(data), Variant(num), Variant(newFlag)});
    }
    bool saveList(const std::u16string& file, int16_t newFlag) {
        return callBool(kDispSysFuncSaveList, {Variant(file), Variant(list()), Variant(newFlag)});
    }
    struct Loaded {
        bool ok;
        int32_t data, num, pointer;
    };
    Loaded loadVeil(const std::u16string& file, int32_t pointer, int32_t data = 77, int32_t num = 77) {
        const bool ok = callBool(kDispSysFuncLoadVeil, {Variant(file), Variant::byRef(&data),
                                                        Variant::byRef(&num), Variant::byRef(&pointer)});
        return {ok, data, num, pointer};
    }
    std::pair<bool, int32_t> loadList(const std::u16string& file, int32_t pointer) {
        const bool ok =
            callBool(kDispSysFuncLoadList, {Variant(file), Variant(list()), Variant::byRef(&pointer)});
        return {ok, pointer};
    }

    static QTemporaryDir* s_registryDir;
    static ModuleLibrary* s_module;
    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<sw::com::ControlSite> m_site;
    sw::win::ListBox* m_list = nullptr;
    std::vector<sw::Handle> m_strokes;
    size_t m_blocksBefore = 0;
};

QTemporaryDir* PenmateControl::s_registryDir = nullptr;
ModuleLibrary* PenmateControl::s_module = nullptr;

TEST_F(PenmateControl, RegisteredAsInvisibleControlWithItsIdentities) {
    const sw::com::ClassRegistry registry;
    const auto entry = registry.findClassByProgId(kProgId);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->id, kClassId);
    EXPECT_EQ(entry->name, "CPenmateCtrl");
    EXPECT_EQ(entry->miscStatus, 0x20591u);
    EXPECT_EQ(entry->threading, "Apartment");
    EXPECT_EQ(entry->typeLibId, kTypeLibId);
    const auto typeLib = registry.findTypeLib(kTypeLibId);
    ASSERT_TRUE(typeLib);
    EXPECT_EQ(typeLib->name, "PENMATELib");
    const auto page = registry.findPropPage(kPropPageId);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->name, "CPenmatePropPage");

    const sw::Control* control = m_site->control();
    EXPECT_EQ(control->interfaceInfo().name, "_DPenmate");
    EXPECT_EQ(m_site->control()->events()->interfaceInfo().name, "_DPenmateEvents");
    EXPECT_TRUE(m_site->control()->events()->interfaceInfo().members.empty());
    const std::pair<const char*, sw::DispId> names[] = {
        {"FreePTW", 1},           {"CreatePTW", 2},        {"GetStrokeData", 3},    {"ListInPTW", 4},
        {"ListOutPTW", 5},        {"Redraw", 6},           {"SysFuncGetRect", 7},   {"SysFuncLoadVeil", 8},
        {"SysFuncDeleteVeil", 9}, {"SysFuncSaveVeil", 10}, {"SysFuncSaveList", 11}, {"SysFuncLoadList", 12},
        {"AboutBox", -552},
    };
    for (const auto& [name, id] : names) {
        sw::DispId found = 0;
        EXPECT_EQ(control->idOfName(name, &found), sw::hr::kOk) << name;
        EXPECT_EQ(found, id) << name;
    }
}

TEST_F(PenmateControl, UnregisterRemovesAndRegisterRestores) {
    const sw::com::ClassRegistry registry;
    ASSERT_EQ(s_module->call("DllUnregisterServer"), 0);
    EXPECT_FALSE(registry.findClass(kClassId));
    EXPECT_FALSE(registry.findTypeLib(kTypeLibId));
    EXPECT_FALSE(registry.findPropPage(kPropPageId));
    ASSERT_EQ(s_module->call("DllRegisterServer"), 0);
    EXPECT_TRUE(registry.findClassByProgId(kProgId));
}

TEST_F(PenmateControl, CanUnloadOnlyWithoutLiveControls) {
    EXPECT_EQ(s_module->call("DllCanUnloadNow"), sw::hr::kFalse);
    m_site.reset();
    EXPECT_EQ(s_module->call("DllCanUnloadNow"), sw::hr::kOk);
}

TEST_F(PenmateControl, ExtentIsOnly32By32) {
    sw::Control* control = m_site->control();
    EXPECT_TRUE(control->setExtent(32, 32));
    for (auto [w, h] : {std::pair{33, 32}, {32, 31}, {0, 0}, {64, 64}, {-32, 32}})
        EXPECT_FALSE(control->setExtent(w, h)) << w << "x" << h;
    ASSERT_NE(m_site->widget(), nullptr);
    EXPECT_EQ(m_site->widget()->size(), QSize(32, 32));
}

TEST_F(PenmateControl, AboutBoxShowsNameAndVersion) {
    QString name, version;
    bool hasIcon = false;
    sw::com::setDialogHook([&](QDialog& dialog) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->objectName() == "name") name = label->text();
            if (label->objectName() == "version") version = label->text();
            if (label->objectName() == "icon") hasIcon = !label->pixmap().isNull();
        }
    });
    call(sw::kDispAboutBox, {});
    sw::com::setDialogHook(nullptr);
    EXPECT_EQ(name, "Penmate Control");
    EXPECT_EQ(version, "Version 2.0");
    EXPECT_TRUE(hasIcon);
}

TEST_F(PenmateControl, CreatePTWTruncatesAndListsRoundTrip) {
    const sw::Handle data = strokes({{70000, 3, 2, 1, 0}, {32768, -32769, 260, 1, 0}, {-5, 12, 255, 1, 0}});
    const int32_t ptw = callLong(kDispCreatePTW, {Variant(data), Variant(int32_t{3})});
    ASSERT_NE(ptw, 0);
    const int32_t empty = callLong(kDispCreatePTW, {Variant(int32_t{0}), Variant(int32_t{0})});
    ASSERT_NE(empty, 0);

    setList({"keep"});
    EXPECT_TRUE(callBool(kDispListInPTW, {Variant(list()), Variant(ptw)}));
    EXPECT_TRUE(callBool(kDispListInPTW, {Variant(list()), Variant(empty)}));
    EXPECT_TRUE(callBool(kDispListInPTW, {Variant(list()), Variant(ptw)}));
    const std::vector<std::string> want = {"keep", "3", "2 4464 3", "4 -32768 32767", "255 -5 12",
                                           "0",    "3", "2 4464 3", "4 -32768 32767", "255 -5 12"};
    EXPECT_EQ(listLines(), want);

    for (int32_t index : {1, 5, 6}) {
        const int32_t copy = callLong(kDispListOutPTW, {Variant(list()), Variant(index)});
        ASSERT_NE(copy, 0) << index;
        const sw::PTW* record = sw::resolvePtw(copy);
        ASSERT_NE(record, nullptr);
        if (index == 5) {
            EXPECT_EQ(record->PointNum, 0);
            EXPECT_EQ(record->Points, 0);
        } else {
            std::span<const sw::PtwPoint> points;
            ASSERT_TRUE(sw::ptwPoints(copy, &points));
            ASSERT_EQ(points.size(), 3u);
            EXPECT_EQ(points[0].X, 4464);
            EXPECT_EQ(points[1].X, -32768);
            EXPECT_EQ(points[1].Flag, 4);
            EXPECT_EQ(points[2].Flag, 255);
            EXPECT_EQ(points[2].Y, 12);
        }
        call(kDispFreePTW, {Variant(copy)});
    }
    for (int32_t h : {ptw, empty}) call(kDispFreePTW, {Variant(h)});
    releaseStrokes();
    EXPECT_EQ(sw::liveBlockCount(), m_blocksBefore);
}

TEST_F(PenmateControl, ListOutPTWRefusesBrokenBlocks) {
    struct Row {
        const char* name;
        std::vector<std::string> lines;
        int32_t index;
    };
    const Row rows[] = {
        {"index -1", {"0"}, -1},
        {"index = number of lines", {"0"}, 1},
        {"fewer lines than the count", {"2", "4 1 1"}, 0},
        {"line longer than the buffer", {"1", "4 1 1" + std::string(120, ' ')}, 0},
    };
    for (const Row& r : rows) {
        setList(r.lines);
        EXPECT_EQ(callLong(kDispListOutPTW, {Variant(list()), Variant(r.index)}), 0) << r.name;
    }
    QWidget notAList(m_host.get());
    EXPECT_EQ(callLong(kDispListOutPTW, {Variant(sw::win::handleOf(&notAList)), Variant(int32_t{0})}), 0);
    EXPECT_EQ(sw::liveBlockCount(), m_blocksBefore);
}

TEST_F(PenmateControl, ListInPTWRefusesWhatItCannotRead) {
    const sw::Handle data = strokes({{1, 2, 2, 1, 0}});
    const int32_t ptw = callLong(kDispCreatePTW, {Variant(data), Variant(int32_t{1})});
    setList({"keep"});
    QWidget notAList(m_host.get());
    EXPECT_FALSE(callBool(kDispListInPTW, {Variant(list()), Variant(data)}));  // stroke data, not a PTW
    EXPECT_FALSE(callBool(kDispListInPTW, {Variant(list()), Variant(int32_t{0})}));
    EXPECT_FALSE(callBool(kDispListInPTW, {Variant(sw::win::handleOf(&notAList)), Variant(ptw)}));
    call(kDispFreePTW, {Variant(ptw)});
    EXPECT_FALSE(callBool(kDispListInPTW, {Variant(list()), Variant(ptw)}));  // released
    EXPECT_EQ(listLines(), std::vector<std::string>{"keep"});
    releaseStrokes();
}

TEST_F(PenmateControl, GetStrokeDataAndRect) {
    const sw::Handle data = strokes({{5, 9, -2, 3, 0x00ABCDEF}, {3, 12, 4, -1, 0}, {4, 10, 0, 1, 0}});
    auto value = [&](int32_t index, int32_t type) {
        return callLong(kDispGetStrokeData, {Variant(data), Variant(index), Variant(type)});
    };
    EXPECT_EQ(value(0, 2), -2);
    EXPECT_EQ(value(0, 3), 0x00ABCDEF);
    EXPECT_EQ(value(1, 4), -1);
    EXPECT_EQ(value(0, 5), 0);
    EXPECT_EQ(value(3, 0), 0);  // past the last point

    struct Row {
        int32_t num;
        bool ok;
        int32_t left, top, right, bottom;
    };
    const Row rows[] = {{0, false, 0, 0, 0, 0}, {1, true, 5, 9, 5, 9},  {2, true, 3, 9, 5, 12},
                        {3, true, 3, 9, 5, 12}, {4, false, 0, 0, 0, 0}, {-1, false, 0, 0, 0, 0}};
    for (const Row& r : rows) {
        int32_t l = 99, t = 99, rt = 99, b = 99;
        EXPECT_EQ(
            callBool(kDispSysFuncGetRect, {Variant(data), Variant(r.num), Variant::byRef(&l),
                                           Variant::byRef(&t), Variant::byRef(&rt), Variant::byRef(&b)}),
            r.ok)
            << r.num;
        EXPECT_EQ((std::vector{l, t, rt, b}), (std::vector{r.left, r.top, r.right, r.bottom})) << r.num;
    }
    releaseStrokes();
}

TEST_F(PenmateControl, ReleasesOnlyItsOwnBlocks) {
    auto foreignPtw = sw::allocatePtw(sw::Owner::Quillbox, 1);
    const sw::Handle foreignStrokes = strokes({{1, 1, 2, 1, 0}});
    call(kDispFreePTW, {Variant(foreignPtw.handle)});
    call(kDispFreePTW, {Variant(foreignStrokes)});
    call(kDispFreePTW, {Variant(int32_t{0})});
    call(kDispSysFuncDeleteVeil, {Variant(foreignStrokes)});
    call(kDispSysFuncDeleteVeil, {Variant(int32_t{0})});
    const int32_t own = callLong(kDispCreatePTW, {Variant(foreignStrokes), Variant(int32_t{1})});
    call(kDispSysFuncDeleteVeil, {Variant(own)});  // a PTW is not stroke data
    EXPECT_NE(sw::resolvePtw(foreignPtw.handle), nullptr);
    EXPECT_NE(sw::resolveStrokeData(foreignStrokes, 1), nullptr);
    EXPECT_NE(sw::resolvePtw(own), nullptr);
    call(kDispFreePTW, {Variant(own)});
    EXPECT_EQ(sw::resolvePtw(own), nullptr);
    sw::freePtw(foreignPtw.handle, sw::Owner::Quillbox);
    releaseStrokes();
    EXPECT_EQ(sw::liveBlockCount(), m_blocksBefore);
}

TEST_F(PenmateControl, StrokeBlockBytesAndLoad) {
    const std::u16string file = path("strokes.pat");
    ASSERT_TRUE(saveVeil(file, 0, 0, kNewFile));
    EXPECT_EQ(fileBytes("strokes.pat"), Bytes({0, 0, 0, 0}));
    const Loaded none = loadVeil(file, 0);
    EXPECT_TRUE(none.ok);
    EXPECT_EQ(none.data, 0);
    EXPECT_EQ(none.num, 0);
    EXPECT_EQ(none.pointer, 4);

    const sw::Handle data = strokes({{1, -2, 2, 3, 0x00112233}, {4, 5, 0, 3, 0x00112233}, {6, 7, 4, 3, 0}});
    ASSERT_TRUE(saveVeil(file, data, 3, kNewFile));
    Bytes want;
    putInt(want, 3);
    const auto* raw = reinterpret_cast<const uint8_t*>(sw::resolveStrokeData(data, 3));
    want.insert(want.end(), raw, raw + 48);
    EXPECT_EQ(want[8], 0xFE);  // Y -2 in little-endian form
    EXPECT_EQ(fileBytes("strokes.pat"), want);

    const Loaded three = loadVeil(file, 0);
    ASSERT_TRUE(three.ok);
    EXPECT_EQ(three.num, 3);
    EXPECT_EQ(three.pointer, 52);
    const sw::VeilPoint* loaded = sw::resolveStrokeData(three.data, 3);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(std::memcmp(loaded, raw, 48), 0);
    call(kDispSysFuncDeleteVeil, {Variant(three.data)});
    EXPECT_EQ(sw::resolveStrokeData(three.data, 1), nullptr);
    releaseStrokes();
    EXPECT_EQ(sw::liveBlockCount(), m_blocksBefore);
}

TEST_F(PenmateControl, ListBlockBytesAndLoad) {
    const std::u16string file = path("list.pat");
    setList({"4 -5 12", ""});
    ASSERT_TRUE(saveList(file, kNewFile));
    Bytes want;
    putInt(want, 2);
    putInt(want, 7);
    for (char c : std::string("4 -5 12")) want.push_back(static_cast<uint8_t>(c));
    want.push_back(0);
    putInt(want, 0);
    want.push_back(0);
    EXPECT_EQ(want.size(), 21u);
    EXPECT_EQ(fileBytes("list.pat"), want);

    setList({"old 1", "old 2", "old 3"});
    EXPECT_EQ(loadList(file, 0), std::make_pair(true, 21));
    EXPECT_EQ(listLines(), (std::vector<std::string>{"4 -5 12", ""}));

    setList({});
    ASSERT_TRUE(saveList(file, kNewFile));
    setList({"old"});
    EXPECT_EQ(loadList(file, 0), std::make_pair(true, 4));
    EXPECT_TRUE(listLines().empty());
}

TEST_F(PenmateControl, AppendVersusNewFile) {
    const std::u16string file = path("append.pat");
    const sw::Handle data = strokes({{1, 2, 2, 1, 0}, {3, 4, 4, 1, 0}});
    ASSERT_TRUE(saveVeil(file, data, 1, kAppend));  // creates the missing file
    ASSERT_TRUE(saveVeil(file, data, 2, kAppend));
    EXPECT_EQ(fileBytes("append.pat").size(), 20u + 36u);
    EXPECT_EQ(loadVeil(file, 20).num, 2);

    ASSERT_TRUE(saveVeil(file, data, 0, 1));  // any nonzero NewFlag starts a new file
    EXPECT_EQ(fileBytes("append.pat"), Bytes({0, 0, 0, 0}));
    releaseStrokes();
}

TEST_F(PenmateControl, WalksMixedBlocksWithRunningPointer) {
    const std::u16string file = path("mixed.pat");
    const sw::Handle data = strokes({{10, 20, 2, 1, 0}, {11, 21, 4, 1, 0}});
    ASSERT_TRUE(saveVeil(file, data, 2, kNewFile));
    setList({"\x8A\xBF\x8E\x9A", "second"});  // code page 932 text is kept byte for byte
    ASSERT_TRUE(saveList(file, kAppend));
    ASSERT_TRUE(saveVeil(file, data, 1, kAppend));
    setList({"x"});
    ASSERT_TRUE(saveList(file, kAppend));

    const Loaded first = loadVeil(file, 0);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.num, 2);
    setList({});
    const auto [listOk, afterList] = loadList(file, first.pointer);
    ASSERT_TRUE(listOk);
    EXPECT_EQ(listLines(), (std::vector<std::string>{"\x8A\xBF\x8E\x9A", "second"}));
    const Loaded third = loadVeil(file, afterList);
    EXPECT_EQ(third.num, 1);
    EXPECT_EQ(sw::resolveStrokeData(third.data, 1)->X, 10);
    const auto [lastOk, end] = loadList(file, third.pointer);
    EXPECT_TRUE(lastOk);
    EXPECT_EQ(listLines(), std::vector<std::string>{"x"});
    EXPECT_EQ(end, static_cast<int32_t>(fileBytes("mixed.pat").size()));

    const Loaded past = loadVeil(file, end);  // the end: an empty block, Pointer unchanged
    EXPECT_TRUE(past.ok);
    EXPECT_EQ(past.data, 0);
    EXPECT_EQ(past.num, 0);
    EXPECT_EQ(past.pointer, end);

    for (int32_t h : {first.data, third.data}) call(kDispSysFuncDeleteVeil, {Variant(h)});
    releaseStrokes();
    EXPECT_EQ(sw::liveBlockCount(), m_blocksBefore);
}

TEST_F(PenmateControl, HeldFileIsRefusedAndNothingChanges) {
    const std::u16string file = path("held.pat");
    setList({"2", "a"});
    ASSERT_TRUE(saveList(file, kNewFile));
    const Bytes before = fileBytes("held.pat");
    const sw::Handle data = strokes({{1, 1, 2, 1, 0}});
    {
        auto holder = sw::files::File::openNative(nativePath("held.pat"), sw::files::kGenericRead,
                                                  sw::files::Creation::OpenExisting);
        ASSERT_TRUE(holder);
        setList({"mine"});
        EXPECT_EQ(loadList(file, 0), std::make_pair(false, 0));
        EXPECT_EQ(listLines(), std::vector<std::string>{"mine"});
        const Loaded veil = loadVeil(file, 0);
        EXPECT_FALSE(veil.ok);
        EXPECT_EQ((std::vector{veil.data, veil.num, veil.pointer}), (std::vector{77, 77, 0}));
        EXPECT_FALSE(saveVeil(file, data, 1, kNewFile));
        EXPECT_FALSE(saveList(file, kAppend));
    }
    EXPECT_EQ(fileBytes("held.pat"), before);
    EXPECT_EQ(loadList(file, 0).first, true);  // free again once the holder closed it
    releaseStrokes();
}

// A save whose write failed part-way left the partial block behind, and every block appended after it was
// misread when the file was walked.
TEST_F(PenmateControl, FailedSaveLeavesNoPartialBlock) {
    const sw::Handle data = strokes({{1, 2, 2, 1, 0}, {3, 4, 0, 1, 0}, {5, 6, 4, 1, 0}});
    std::vector<std::string> lines(6, std::string(100, 'x'));
    struct Row {
        const char* name;
        bool list;
        int16_t newFlag;
    };
    const Row rows[] = {{"stroke block appended", false, kAppend},
                        {"stroke block in a new file", false, kNewFile},
                        {"list block appended", true, kAppend},
                        {"list block in a new file", true, kNewFile}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::u16string file = path("full.pat");
        setList({"first"});
        ASSERT_TRUE(saveList(file, kNewFile));
        const Bytes before = fileBytes("full.pat");
        setList(lines);
        bool saved = true;
        {
            const FileSizeLimit limit(before.size() + 20);  // both blocks are longer than 20 bytes
            ASSERT_TRUE(limit.isSet());
            saved = row.list ? saveList(file, row.newFlag) : saveVeil(file, data, 3, row.newFlag);
        }
        EXPECT_FALSE(saved);
        EXPECT_EQ(fileBytes("full.pat"), row.newFlag == kAppend ? before : Bytes{});

        // The file still walks: a block appended now is read back behind the first one.
        ASSERT_TRUE(saveVeil(file, data, 3, kAppend));
        const Loaded next = loadVeil(file, row.newFlag == kAppend ? static_cast<int32_t>(before.size()) : 0);
        EXPECT_EQ(next.num, 3);
        call(kDispSysFuncDeleteVeil, {Variant(next.data)});
    }
    releaseStrokes();
    EXPECT_EQ(sw::liveBlockCount(), m_blocksBefore);
}

// Where no whole block lies at Pointer, both loads report an empty block and leave Pointer alone. The list
// load used to keep the old lines, so a caller that detects the end by an empty list read stale lines.
TEST_F(PenmateControl, NoWholeBlockReadsAsAnEmptyBlockWithPointerUnchanged) {
    // Each file starts with an empty block (4 zero bytes, valid for either kind); the broken block is at 4.
    Bytes negativeCount(4), hugeCount(4), longLine(4), truncated(4);
    putInt(negativeCount, -1);
    putInt(hugeCount, 0x10000000);
    putInt(hugeCount, 1);
    putInt(longLine, 1);
    putInt(longLine, 516);
    longLine.resize(longLine.size() + 517, 'a');
    putInt(truncated, 5);  // 5 points need 80 bytes, 5 lines at least 25
    truncated.resize(truncated.size() + 20, 0);
    struct Row {
        const char* name;
        Bytes bytes;
        bool brokenStrokeBlock;
    };
    const Row files[] = {
        {"negative.pat", negativeCount, true},
        {"huge.pat", hugeCount, true},
        {"long.pat", longLine, false},  // a line of 516 bytes; as stroke data it is one whole point
        {"truncated.pat", truncated, true},
    };
    const size_t blocks = sw::liveBlockCount();
    for (const auto& [name, bytes, brokenStrokeBlock] : files) {
        SCOPED_TRACE(name);
        writeFile(name, bytes);
        setList({"mine"});
        EXPECT_EQ(loadList(path(name), 4), std::make_pair(true, 4));
        EXPECT_TRUE(listLines().empty());
        if (brokenStrokeBlock) {
            const Loaded veil = loadVeil(path(name), 4);
            EXPECT_TRUE(veil.ok);
            EXPECT_EQ((std::vector{veil.data, veil.num, veil.pointer}), (std::vector{0, 0, 4}));
        }
        for (int32_t outside : {1000, -8}) {
            setList({"mine"});
            EXPECT_EQ(loadList(path(name), outside), std::make_pair(true, outside));
            EXPECT_TRUE(listLines().empty());
            const Loaded veil = loadVeil(path(name), outside);
            EXPECT_EQ((std::vector{veil.data, veil.num, veil.pointer}), (std::vector{0, 0, outside}));
        }
        EXPECT_EQ(fileBytes(name), bytes);
    }
    EXPECT_EQ(sw::liveBlockCount(), blocks);

    // Loading a missing file creates it empty, as the open mode does, and finds no block.
    EXPECT_EQ(loadVeil(path("missing.pat"), 0).num, 0);
    EXPECT_TRUE(fileBytes("missing.pat").empty());
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(nativePath("missing.pat"))));
}

TEST_F(PenmateControl, SavesRefuseBadInputBeforeTouchingTheFile) {
    const std::u16string file = path("kept.pat");
    const sw::Handle data = strokes({{1, 1, 2, 1, 0}, {2, 2, 4, 1, 0}});
    ASSERT_TRUE(saveVeil(file, data, 2, kNewFile));
    const Bytes before = fileBytes("kept.pat");

    const int32_t ptw = callLong(kDispCreatePTW, {Variant(data), Variant(int32_t{2})});
    EXPECT_FALSE(saveVeil(file, data, 3, kNewFile));  // more points than the block holds
    EXPECT_FALSE(saveVeil(file, data, -1, kNewFile));
    EXPECT_FALSE(saveVeil(file, ptw, 1, kNewFile));  // a PTW is not stroke data
    setList({"ok", std::string(516, 'a')});
    EXPECT_FALSE(saveList(file, kNewFile));  // a line longer than a block can hold
    QWidget notAList(m_host.get());
    EXPECT_FALSE(callBool(kDispSysFuncSaveList,
                          {Variant(file), Variant(sw::win::handleOf(&notAList)), Variant(kNewFile)}));
    EXPECT_EQ(fileBytes("kept.pat"), before);

    // A name with a character that has no code page 932 form names no file.
    EXPECT_FALSE(saveVeil(path("") + u"\U0001F600.pat", data, 1, kNewFile));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files).size(), 1);

    setList({std::string(515, 'b')});
    EXPECT_TRUE(saveList(file, kNewFile));
    EXPECT_EQ(fileBytes("kept.pat").size(), 4u + 4u + 516u);
    call(kDispFreePTW, {Variant(ptw)});
    releaseStrokes();
}

// Counts paints so that a synchronous repaint can be seen.
class PaintCounter final : public QWidget {
public:
    using QWidget::QWidget;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST_F(PenmateControl, RedrawRepaintsWindowAndChildrenBeforeReturning) {
    auto* parent = new PaintCounter(m_host.get());
    auto* child = new PaintCounter(parent);
    parent->resize(50, 50);
    child->resize(20, 20);
    m_host->show();
    QApplication::processEvents();
    const int parentPaints = parent->paints, childPaints = child->paints;
    call(kDispRedraw, {Variant(sw::win::handleOf(parent))});
    EXPECT_GT(parent->paints, parentPaints);
    EXPECT_GT(child->paints, childPaints);
    call(kDispRedraw, {Variant(int32_t{0})});  // no window: nothing happens
}

}  // namespace
}  // namespace penmate

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");  // test listing
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
