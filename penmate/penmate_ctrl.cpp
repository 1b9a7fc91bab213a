#include "penmate/penmate_ctrl.h"

#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <new>
#include <optional>
#include <string>

#include "contracts/penmate.h"
#include "penmate/list_form.h"
#include "penmate/pattern_file.h"
#include "penmate/pattern_records.h"
#include "platform/com/host.h"
#include "platform/com/module.h"
#include "platform/com/stock_ui.h"
#include "platform/files/file.h"
#include "platform/window/listbox.h"
#include "platform/window/window.h"

namespace penmate {
namespace {

using namespace ::sw::penmate;  // dispatch ids and identities

using sw::HResult;
using sw::MemberInfo;
using sw::MemberKind;
using sw::ParamInfo;
using sw::Variant;
using sw::VarType;
namespace hr = sw::hr;

constexpr ParamInfo kPtwParams[] = {{"PTW", VarType::I4}};
constexpr ParamInfo kCreatePtwParams[] = {{"StrokeData", VarType::I4}, {"Num", VarType::I4}};
constexpr ParamInfo kGetStrokeDataParams[] = {
    {"StrokeData", VarType::I4}, {"Num", VarType::I4}, {"Type", VarType::I4}};
constexpr ParamInfo kListInPtwParams[] = {{"ListhWnd", VarType::I4}, {"PTW", VarType::I4}};
constexpr ParamInfo kListOutPtwParams[] = {{"ListhWnd", VarType::I4}, {"Index", VarType::I4}};
constexpr ParamInfo kRedrawParams[] = {{"hWnd", VarType::I4}};
constexpr ParamInfo kGetRectParams[] = {{"StrokeData", VarType::I4},  {"Num", VarType::I4},
                                        {"Left", VarType::I4, true},  {"Top", VarType::I4, true},
                                        {"Right", VarType::I4, true}, {"Bottom", VarType::I4, true}};
constexpr ParamInfo kLoadVeilParams[] = {{"FileName", VarType::BStr},
                                         {"StrokeData", VarType::I4, true},
                                         {"Num", VarType::I4, true},
                                         {"Pointer", VarType::I4, true}};
constexpr ParamInfo kStrokeDataParams[] = {{"StrokeData", VarType::I4}};
constexpr ParamInfo kSaveVeilParams[] = {
    {"FileName", VarType::BStr}, {"StrokeData", VarType::I4}, {"Num", VarType::I4}, {"NewFlag", VarType::I2}};
constexpr ParamInfo kSaveListParams[] = {
    {"FileName", VarType::BStr}, {"ListhWnd", VarType::I4}, {"NewFlag", VarType::I2}};
constexpr ParamInfo kLoadListParams[] = {
    {"FileName", VarType::BStr}, {"ListhWnd", VarType::I4}, {"Pointer", VarType::I4, true}};

constexpr MemberInfo kMembers[] = {
    {kDispFreePTW, "FreePTW", MemberKind::Method, VarType::Empty, kPtwParams},
    {kDispCreatePTW, "CreatePTW", MemberKind::Method, VarType::I4, kCreatePtwParams},
    {kDispGetStrokeData, "GetStrokeData", MemberKind::Method, VarType::I4, kGetStrokeDataParams},
    {kDispListInPTW, "ListInPTW", MemberKind::Method, VarType::Bool, kListInPtwParams},
    {kDispListOutPTW, "ListOutPTW", MemberKind::Method, VarType::I4, kListOutPtwParams},
    {kDispRedraw, "Redraw", MemberKind::Method, VarType::Empty, kRedrawParams},
    {kDispSysFuncGetRect, "SysFuncGetRect", MemberKind::Method, VarType::Bool, kGetRectParams},
    {kDispSysFuncLoadVeil, "SysFuncLoadVeil", MemberKind::Method, VarType::Bool, kLoadVeilParams},
    {kDispSysFuncDeleteVeil, "SysFuncDeleteVeil", MemberKind::Method, VarType::Empty, kStrokeDataParams},
    {kDispSysFuncSaveVeil, "SysFuncSaveVeil", MemberKind::Method, VarType::Bool, kSaveVeilParams},
    {kDispSysFuncSaveList, "SysFuncSaveList", MemberKind::Method, VarType::Bool, kSaveListParams},
    {kDispSysFuncLoadList, "SysFuncLoadList", MemberKind::Method, VarType::Bool, kLoadListParams},
    {sw::kDispAboutBox, "AboutBox", MemberKind::Method, VarType::Empty},
};

constexpr sw::InterfaceInfo kDispatch{"_DPenmate", kMembers};
constexpr sw::InterfaceInfo kEvents{"_DPenmateEvents", {}};

const sw::ClassInfo kClassInfo{
    .typeLibId = kTypeLibId,
    .typeLibName = "PENMATELib",
    .typeLibMajor = 1,
    .typeLibMinor = 0,
    .classId = kClassId,
    .className = "CPenmateCtrl",
    .progId = kProgId,
    .displayName = "Penmate Control",
    .version = "2.0",
    .dispatchId = kDispatchId,
    .dispatch = &kDispatch,
    .eventsId = kEventsId,
    .events = &kEvents,
    .propPageId = kPropPageId,
    .propPageName = "CPenmatePropPage",
    .propPageProgId = "PENMATE.PenmatePropPage.1",
    .miscStatus = sw::kMiscStatusInvisibleAtRuntime,
};

// A list box addressed by window handle, through the list-box messages. Lines are read through a buffer of
// `capacity` bytes; a line that does not fit is reported as unreadable rather than cut.
class ListBoxLines final : public LineSource, public LineSink {
public:
    ListBoxLines(sw::win::HWnd hwnd, size_t capacity) noexcept : m_hwnd(hwnd), m_capacity(capacity) {}

    // Only a list box answers the list-box messages; any other window would take them silently.
    bool isListBox() const { return qobject_cast<sw::win::ListBox*>(sw::win::widgetOf(m_hwnd)) != nullptr; }

    int32_t lineCount() const override { return sw::win::sendMessage(m_hwnd, sw::win::LB_GETCOUNT, 0, 0); }

    std::optional<std::string> line(int32_t index) const override {
        if (index < 0) return std::nullopt;
        const auto wIndex = static_cast<sw::win::WParam>(index);
        const sw::win::LResult length = sw::win::sendMessage(m_hwnd, sw::win::LB_GETTEXTLEN, wIndex, 0);
        if (length < 0 || static_cast<size_t>(length) >= m_capacity) return std::nullopt;
        std::string text(m_capacity, '\0');
        const sw::win::LResult copied = sw::win::getTextBounded(m_hwnd, index, text.data(), m_capacity);
        if (copied < 0) return std::nullopt;
        text.resize(static_cast<size_t>(copied));
        return text;
    }

    bool addLine(std::string_view line) override {
        const std::string text(line);
        return sw::win::sendMessage(m_hwnd, sw::win::LB_ADDSTRING, 0,
                                    reinterpret_cast<intptr_t>(text.c_str())) >= 0;
    }

    void reset() { sw::win::sendMessage(m_hwnd, sw::win::LB_RESETCONTENT, 0, 0); }

private:
    sw::win::HWnd m_hwnd;
    size_t m_capacity;
};

class FileSource final : public ByteSource {
public:
    explicit FileSource(sw::files::File& file) noexcept : m_file(file) {}
    int64_t size() const override { return m_file.size(); }
    bool seek(int64_t position) override { return m_file.seek(position, sw::files::SeekFrom::Begin) >= 0; }
    int64_t position() const override { return m_file.position(); }
    int64_t read(void* buffer, int64_t bytes) override { return m_file.read(buffer, bytes); }

private:
    sw::files::File& m_file;
};

// Opens `fileName` for one save: a new file for a nonzero NewFlag, else the end of an existing or new one.
sw::files::File openForSave(const std::u16string& fileName, int16_t newFlag) {
    const auto name = fileNameCp932(fileName);
    if (!name) return {};
    using sw::files::Creation;
    auto file = sw::files::File::open(*name, sw::files::kGenericWrite,
                                      newFlag != 0 ? Creation::CreateAlways : Creation::OpenAlways);
    if (file && newFlag == 0 && file.seek(0, sw::files::SeekFrom::End) < 0) return {};
    return file;
}

// A write that fails part-way (a full disk) is undone: the file is cut back to its length before the save,
// so an appended block is whole or absent and a new file holds no partial block.
bool saveBlock(const std::u16string& fileName, int16_t newFlag, const std::optional<Bytes>& block) {
    if (!block) return false;
    auto file = openForSave(fileName, newFlag);
    if (!file) return false;
    const int64_t start = file.position();
    if (start < 0) return false;
    if (file.write(block->data(), static_cast<int64_t>(block->size()))) return true;
    file.resize(start);
    return false;
}

// Loading opens an existing file or creates an empty one, as the original open mode did.
sw::files::File openForLoad(const std::u16string& fileName) {
    const auto name = fileNameCp932(fileName);
    if (!name) return {};
    return sw::files::File::open(*name, sw::files::kGenericRead, sw::files::Creation::OpenAlways);
}

class PenmateWindow final : public QWidget {
public:
    PenmateWindow(QWidget* parent, bool designMode) : QWidget(parent), m_designMode(designMode) {
        resize(sw::com::kInvisibleControlSize, sw::com::kInvisibleControlSize);
        if (!designMode) {
            setAttribute(Qt::WA_TransparentForMouseEvents);
            hide();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_designMode) return;
        QPainter painter(this);
        sw::com::paintDesignTimeBox(painter, rect(), penmateBitmap());
    }

private:
    bool m_designMode;
};

class CPenmateCtrl final : public sw::Control {
public:
    CPenmateCtrl() : m_counter(&liveObjects()), m_events(kEvents) {}
    ~CPenmateCtrl() override { delete m_window.data(); }

    const sw::ClassInfo& classInfo() const noexcept override { return kClassInfo; }
    sw::ConnectionPoint* events() noexcept override { return &m_events; }

    void exchangeProperties(sw::PropExchange& exchange) noexcept override {
        try {
            exchange.exVersion(2, 0);
        } catch (...) {
        }
    }

    QWidget* createWindow(QWidget* parent) noexcept override {
        try {
            const bool designMode = site() && !site()->userMode();
            m_window = new PenmateWindow(parent, designMode);
            return m_window;
        } catch (...) {
            return nullptr;
        }
    }
    QWidget* window() const noexcept override { return m_window; }

    bool setExtent(int width, int height) noexcept override {
        if (!sw::com::acceptInvisibleExtent(width, height)) return false;
        if (m_window) m_window->resize(width, height);
        return true;
    }

    // The AboutBox shows this bitmap with the name and version of kClassInfo.
    QImage icon() const noexcept override { return penmateBitmap(); }

protected:
    HResult invokeMember(const MemberInfo& member, uint16_t, std::span<Variant> args,
                         Variant* result) override;

private:
    static bool getRect(std::span<Variant> args);
    static bool loadVeil(std::span<Variant> args);
    static bool saveList(std::span<Variant> args);
    static bool loadList(std::span<Variant> args);

    sw::com::ObjectCounter m_counter;
    sw::ConnectionPoint m_events;
    QPointer<QWidget> m_window;
};

// Outputs are set before the inputs are checked: a refused call leaves four zeros.
bool CPenmateCtrl::getRect(std::span<Variant> args) {
    Bounds bounds;
    const bool ok = strokeBounds(args[0].i4(), args[1].i4(), &bounds);
    args[2].store(Variant(bounds.left));
    args[3].store(Variant(bounds.top));
    args[4].store(Variant(bounds.right));
    args[5].store(Variant(bounds.bottom));
    return ok;
}

// On an open failure, or when the points cannot be allocated, the outputs stay as they were. Where no whole
// block lies at Pointer the result is an empty block with Pointer unchanged, so the caller sees the end.
bool CPenmateCtrl::loadVeil(std::span<Variant> args) {
    auto file = openForLoad(args[0].bstr());
    if (!file) return false;
    FileSource source(file);
    const LoadedStrokes loaded = loadStrokeBlock(source, args[3].i4());
    file.close();
    switch (loaded.status) {
        case LoadedStrokes::Status::NoMemory:
            return false;
        case LoadedStrokes::Status::Empty:
            args[1].store(Variant(sw::kNullHandle));
            args[2].store(Variant(int32_t{0}));
            return true;
        case LoadedStrokes::Status::Block:
            args[1].store(Variant(loaded.strokeData));
            args[2].store(Variant(loaded.num));
            args[3].store(Variant(loaded.pointer));
            return true;
    }
    return false;
}

// The whole list is read and checked before the file is opened, so a refused list leaves the file alone.
bool CPenmateCtrl::saveList(std::span<Variant> args) {
    ListBoxLines list(args[1].i4(), kListTextBuffer);
    if (!list.isListBox()) return false;
    return saveBlock(args[0].bstr(), args[2].i2(), encodeListBlock(list));
}

// The same rule as loadVeil: where no whole block lies at Pointer the result is an empty block (the list is
// emptied) with Pointer unchanged, so a caller that stops at an empty list never reads stale lines. On an
// open failure the list and Pointer stay as they were.
bool CPenmateCtrl::loadList(std::span<Variant> args) {
    ListBoxLines list(args[1].i4(), kListTextBuffer);
    if (!list.isListBox()) return false;
    auto file = openForLoad(args[0].bstr());
    if (!file) return false;
    FileSource source(file);
    const auto loaded = loadListBlock(source, args[2].i4());
    file.close();
    list.reset();
    if (!loaded) return true;
    bool ok = true;
    for (const std::string& line : loaded->lines) ok = list.addLine(line) && ok;
    args[2].store(Variant(loaded->pointer));
    return ok;
}

HResult CPenmateCtrl::invokeMember(const MemberInfo& member, uint16_t, std::span<Variant> args,
                                   Variant* result) {
    Variant value;
    switch (member.id) {
        case kDispFreePTW:
            freePtw(args[0].i4());
            break;
        case kDispCreatePTW:
            value = Variant(createPtw(args[0].i4(), args[1].i4()));
            break;
        case kDispGetStrokeData:
            value = Variant(strokeValue(args[0].i4(), args[1].i4(), args[2].i4()));
            break;
        case kDispListInPTW: {
            ListBoxLines list(args[0].i4(), kListLineBuffer);
            value = Variant::fromBool(list.isListBox() && listInPtw(args[1].i4(), list));
            break;
        }
        case kDispListOutPTW:
            value = Variant(listOutPtw(ListBoxLines(args[0].i4(), kListLineBuffer), args[1].i4()));
            break;
        case kDispRedraw:
            sw::win::redrawWindow(args[0].i4());
            break;
        case kDispSysFuncGetRect:
            value = Variant::fromBool(getRect(args));
            break;
        case kDispSysFuncLoadVeil:
            value = Variant::fromBool(loadVeil(args));
            break;
        case kDispSysFuncDeleteVeil:
            deleteStrokeData(args[0].i4());
            break;
        case kDispSysFuncSaveVeil:
            value = Variant::fromBool(
                saveBlock(args[0].bstr(), args[3].i2(), encodeStrokeBlock(args[1].i4(), args[2].i4())));
            break;
        case kDispSysFuncSaveList:
            value = Variant::fromBool(saveList(args));
            break;
        case kDispSysFuncLoadList:
            value = Variant::fromBool(loadList(args));
            break;
        case sw::kDispAboutBox:
            aboutBox();
            break;
        default:
            return hr::kMemberNotFound;
    }
    if (result && member.type != VarType::Empty) *result = std::move(value);
    return hr::kOk;
}

class PenmateFactory final : public sw::ClassFactory {
public:
    const sw::ClassInfo& classInfo() const noexcept override { return kClassInfo; }
    sw::Control* createInstance() noexcept override {
        try {
            return new CPenmateCtrl;
        } catch (...) {
            return nullptr;
        }
    }
};

QImage drawBitmap() {
    QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, false);
    // A sheet with two lines of writing and a pen lying across it.
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(Qt::white);
    p.drawRect(1, 1, 10, 13);
    p.setPen(QColor(0x30, 0x60, 0xC0));
    p.drawLine(3, 4, 8, 4);
    p.drawLine(3, 7, 7, 7);
    p.setPen(QPen(QColor(0x80, 0x30, 0x10), 2));
    p.drawLine(6, 13, 14, 5);
    p.setPen(Qt::black);
    p.drawPoint(5, 14);
    return image;
}

}  // namespace

sw::ClassFactory& penmateFactory() noexcept {
    static PenmateFactory factory;
    return factory;
}

int& liveObjects() noexcept {
    static int count = 0;
    return count;
}

const QImage& penmateBitmap() {
    static const QImage bitmap = drawBitmap();
    return bitmap;
}

QWidget* CPenmatePropPage::create(QWidget* parent) { return sw::com::createGeneralPropertyPage(parent); }

}  // namespace penmate
