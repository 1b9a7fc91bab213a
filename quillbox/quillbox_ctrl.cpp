#include "quillbox/quillbox_ctrl.h"

#include <array>
#include <limits>
#include <new>
#include <variant>

#include "contracts/quillbox.h"
#include "platform/com/stock_ui.h"
#include "platform/text/cp932.h"
#include "platform/window/window.h"

namespace sw::quillbox {
namespace {

namespace qb = sw::quillbox;

constexpr VarType kLong = VarType::I4;
constexpr VarType kColor = VarType::I4;
constexpr VarType kBool = VarType::Bool;
constexpr VarType kFloat = VarType::R4;
constexpr VarType kString = VarType::BStr;

constexpr ParamInfo kPtwParams[] = {{"PTW", VarType::I4}};
constexpr ParamInfo kNumParams[] = {{"Num", VarType::I4}};
constexpr ParamInfo kCrParams[] = {{"CR", VarType::I4}};
constexpr ParamInfo kSetNthRecCharsParams[] = {{"CharNum", VarType::I4}, {"RecNum", VarType::I4}};
constexpr ParamInfo kGetNthRecCharsParams[] = {{"CharNum", VarType::I4}};

constexpr MemberKind kProp = MemberKind::Property;
constexpr MemberKind kMethod = MemberKind::Method;

// Ids must match contracts/quillbox.h.
constexpr MemberInfo kMembers[] = {
    {qb::kDispForeWidth, "ForeWidth", kProp, kLong},
    {qb::kDispMaxXPos, "MaxXPos", kProp, kLong},
    {qb::kDispMaxYPos, "MaxYPos", kProp, kLong},
    {qb::kDispRButtonFlag, "RButtonFlag", kProp, kBool},
    {qb::kDispRecog, "Recog", kProp, kBool},
    {qb::kDispRButtonInput, "RButtonInput", kProp, kString},
    {qb::kDispRButtonRecog, "RButtonRecog", kProp, kString},
    {qb::kDispResultFontXPos, "ResultFontXPos", kProp, kFloat},
    {qb::kDispResultFontYPos, "ResultFontYPos", kProp, kFloat},
    {qb::kDispResultFontWidth, "ResultFontWidth", kProp, kLong},
    {qb::kDispResultFontName, "ResultFontName", kProp, kString},
    {qb::kDispResultColor, "ResultColor", kProp, kColor},
    {qb::kDispResultFontColor, "ResultFontColor", kProp, kColor},
    {qb::kDispResultFontMiniColor, "ResultFontMiniColor", kProp, kColor},
    {qb::kDispRecogTimermsec, "RecogTimermsec", kProp, kLong},
    {qb::kDispRecogNum, "RecogNum", kProp, kLong},
    {qb::kDispChAlpha, "chAlpha", kProp, kBool},
    {qb::kDispChHira, "chHira", kProp, kBool},
    {qb::kDispChKana, "chKana", kProp, kBool},
    {qb::kDispChKanji1, "chKanji1", kProp, kBool},
    {qb::kDispChKanji2, "chKanji2", kProp, kBool},
    {qb::kDispChNum, "chNum", kProp, kBool},
    {qb::kDispChOther, "chOther", kProp, kBool},
    {qb::kDispChPunc, "chPunc", kProp, kBool},
    {qb::kDispAutoShow, "AutoShow", kProp, kBool},
    {qb::kDispBackCharColor, "BackCharColor", kProp, kColor},
    {qb::kDispBackCharWidth, "BackCharWidth", kProp, kLong},
    {qb::kDispDivSize, "DivSize", kProp, kFloat},
    {qb::kDispResult, "Result", kProp, kString},
    {qb::kDispSelectColor, "SelectColor", kProp, kColor},
    {qb::kDispSelectInPoint, "SelectInPoint", kProp, kFloat},
    {qb::kDispShowX, "ShowX", kProp, kLong},
    {qb::kDispShowY, "ShowY", kProp, kLong},
    {qb::kDispMButtonFlag, "MButtonFlag", kProp, kBool},
    {qb::kDispMinBound, "MinBound", kProp, kLong},
    {qb::kDispNoLineLength, "NoLineLength", kProp, kLong},
    {qb::kDispRButton1LineDel, "RButton1LineDel", kProp, kString},
    {qb::kDispRButtonCancel, "RButtonCancel", kProp, kString},
    {qb::kDispRButtonClear, "RButtonClear", kProp, kString},
    {qb::kDispCombineFlag, "CombineFlag", kProp, kBool},
    {qb::kDispTapPointColor, "TapPointColor", kProp, kColor},
    {qb::kDispTapPointSize, "TapPointSize", kProp, kFloat},
    {qb::kDispTapToNextRec, "TapToNextRec", kProp, kBool},
    {qb::kDispResultRecChars, "ResultRecChars", kProp, kString},
    {qb::kDispForeColorR, "ForeColorR", kProp, kColor},
    {qb::kDispClear, "Clear", kMethod, VarType::Empty},
    {qb::kDispDelLastLine, "DelLastLine", kMethod, VarType::Empty},
    {qb::kDispDeletePTW, "DeletePTW", kMethod, VarType::Empty, kPtwParams},
    {qb::kDispGetAllString, "GetAllString", kMethod, VarType::I4},
    {qb::kDispGetNthString, "GetNthString", kMethod, VarType::I4, kNumParams},
    {qb::kDispReWrite, "ReWrite", kMethod, VarType::Empty},
    {qb::kDispRecognize, "Recognize", kMethod, VarType::Empty},
    {qb::kDispDeleteCR, "DeleteCR", kMethod, VarType::Empty, kCrParams},
    {qb::kDispGetNthCR, "GetNthCR", kMethod, VarType::I4, kNumParams},
    {qb::kDispRecognizeCancel, "RecognizeCancel", kMethod, VarType::Empty},
    {qb::kDispSetString, "SetString", kMethod, VarType::Empty, kPtwParams},
    {qb::kDispSetNthRecChars, "SetNthRecChars", kMethod, VarType::Bool, kSetNthRecCharsParams},
    {qb::kDispGetNthRecChars, "GetNthRecChars", kMethod, VarType::Bool, kGetNthRecCharsParams},
    {qb::kDispBackColor, "BackColor", kProp, kColor},
    {qb::kDispForeColor, "ForeColor", kProp, kColor},
    {qb::kDispEnabled, "Enabled", kProp, kBool},
    {qb::kDispHWnd, "hWnd", kProp, VarType::I4, {}, true},
    {qb::kDispBorderStyle, "BorderStyle", kProp, VarType::I2},
    {qb::kDispAppearance, "Appearance", kProp, VarType::I2},
    {qb::kDispRefresh, "Refresh", kMethod, VarType::Empty},
    {qb::kDispAboutBox, "AboutBox", kMethod, VarType::Empty},
};

constexpr ParamInfo kRecSelectChangeParams[] = {{"SelectNum", VarType::I4}};
constexpr MemberInfo kEvents[] = {
    {qb::kEventResultChange, "ResultChange", kMethod, VarType::Empty},
    {qb::kEventRecSelectChange, "RecSelectChange", kMethod, VarType::Empty, kRecSelectChangeParams},
};

constexpr InterfaceInfo kDispatch{"_DQuillbox", kMembers};
constexpr InterfaceInfo kEventInterface{"_DQuillboxEvents", kEvents};

const ClassInfo kClassInfo{
    .typeLibId = qb::kTypeLibId,
    .typeLibName = "QUILLBOXLib",
    .typeLibMajor = 1,
    .typeLibMinor = 0,
    .classId = qb::kClassId,
    .className = "CQuillboxCtrl",
    .progId = qb::kProgId,
    .displayName = "Quillbox Control",
    .version = "1.0",
    .dispatchId = qb::kDispatchId,
    .dispatch = &kDispatch,
    .eventsId = qb::kEventsId,
    .events = &kEventInterface,
    .propPageId = qb::kPropPageId,
    .propPageName = "CQuillboxPropPage",
    .propPageProgId = "QUILLBOX.QuillboxPropPage.1",
    .miscStatus = kMiscStatusVisibleControl,
};

class QuillboxFactory final : public ClassFactory {
public:
    const ClassInfo& classInfo() const noexcept override { return kClassInfo; }
    Control* createInstance() noexcept override { return new (std::nothrow) CQuillboxCtrl; }
};

// What a property setter redraws afterwards.
enum class Redraw { Never, Always, IfRecog, IfBackChar, IfRecogOrBackChar };

// How a setter treats its value.
struct Clamp {
    int32_t lo = std::numeric_limits<int32_t>::min();
    int32_t hi = std::numeric_limits<int32_t>::max();
};
struct FloatClamp {
    float lo;
    float hi;
};
enum class TextRule { Plain, Trimmed, TrimmedWithDefault, WithDefault };

using Member = std::variant<int32_t BoxProps::*, uint32_t BoxProps::*, bool BoxProps::*, float BoxProps::*,
                            std::string BoxProps::*, int16_t BoxProps::*>;

struct PropertySlot {
    DispId id;
    Member member;
    Redraw redraw = Redraw::Never;
    std::optional<Clamp> clamp = std::nullopt;
    std::optional<FloatClamp> floatClamp = std::nullopt;
    TextRule text = TextRule::Plain;
};

constexpr Clamp kNonNegative{0};

// Every property with a plain member; ShowX, ShowY and AutoShow have setters of their own.
const PropertySlot kSlots[] = {
    {qb::kDispForeWidth, &BoxProps::foreWidth, Redraw::Always, Clamp{0, 10}},
    {qb::kDispMaxXPos, &BoxProps::maxXPos},
    {qb::kDispMaxYPos, &BoxProps::maxYPos},
    {qb::kDispRButtonFlag, &BoxProps::rButtonFlag},
    {qb::kDispRecog, &BoxProps::recog},
    {qb::kDispRButtonInput, &BoxProps::rButtonInput, Redraw::Never, {}, {}, TextRule::Trimmed},
    {qb::kDispRButtonRecog, &BoxProps::rButtonRecog, Redraw::Never, {}, {}, TextRule::Trimmed},
    {qb::kDispResultFontXPos, &BoxProps::resultFontXPos, Redraw::IfRecog},
    {qb::kDispResultFontYPos, &BoxProps::resultFontYPos, Redraw::IfRecog},
    {qb::kDispResultFontWidth, &BoxProps::resultFontWidth, Redraw::IfRecog, kNonNegative},
    {qb::kDispResultFontName,
     &BoxProps::resultFontName,
     Redraw::IfRecogOrBackChar,
     {},
     {},
     TextRule::WithDefault},
    {qb::kDispResultColor, &BoxProps::resultColor, Redraw::IfRecog},
    {qb::kDispResultFontColor, &BoxProps::resultFontColor, Redraw::IfRecog},
    {qb::kDispResultFontMiniColor, &BoxProps::resultFontMiniColor, Redraw::IfRecog},
    {qb::kDispRecogTimermsec, &BoxProps::recogTimermsec, Redraw::Never, kNonNegative},
    {qb::kDispRecogNum, &BoxProps::recogNum, Redraw::Never, Clamp{0, kCandidateCount}},
    {qb::kDispChAlpha, &BoxProps::chAlpha},
    {qb::kDispChHira, &BoxProps::chHira},
    {qb::kDispChKana, &BoxProps::chKana},
    {qb::kDispChKanji1, &BoxProps::chKanji1},
    {qb::kDispChKanji2, &BoxProps::chKanji2},
    {qb::kDispChNum, &BoxProps::chNum},
    {qb::kDispChOther, &BoxProps::chOther},
    {qb::kDispChPunc, &BoxProps::chPunc},
    {qb::kDispAutoShow, &BoxProps::autoShow},
    {qb::kDispBackCharColor, &BoxProps::backCharColor, Redraw::IfBackChar},
    {qb::kDispBackCharWidth, &BoxProps::backCharWidth, Redraw::Always, kNonNegative},
    {qb::kDispDivSize, &BoxProps::divSize, Redraw::Never, {}, FloatClamp{0, 1}},
    {qb::kDispResult, &BoxProps::result, Redraw::IfBackChar},
    {qb::kDispSelectColor, &BoxProps::selectColor},
    {qb::kDispSelectInPoint, &BoxProps::selectInPoint, Redraw::Never, {}, FloatClamp{0, 1}},
    {qb::kDispShowX, &BoxProps::showX},
    {qb::kDispShowY, &BoxProps::showY},
    {qb::kDispMButtonFlag, &BoxProps::mButtonFlag},
    {qb::kDispMinBound, &BoxProps::minBound, Redraw::IfRecog, kNonNegative},
    {qb::kDispNoLineLength, &BoxProps::noLineLength, Redraw::Never, kNonNegative},
    {qb::kDispRButton1LineDel, &BoxProps::rButton1LineDel, Redraw::Never, {}, {}, TextRule::Trimmed},
    {qb::kDispRButtonCancel, &BoxProps::rButtonCancel, Redraw::Never, {}, {}, TextRule::TrimmedWithDefault},
    {qb::kDispRButtonClear, &BoxProps::rButtonClear, Redraw::Never, {}, {}, TextRule::Trimmed},
    {qb::kDispCombineFlag, &BoxProps::combineFlag},
    {qb::kDispTapPointColor, &BoxProps::tapPointColor, Redraw::IfRecog},
    {qb::kDispTapPointSize, &BoxProps::tapPointSize, Redraw::IfRecog, {}, FloatClamp{0, 0.8f}},
    {qb::kDispTapToNextRec, &BoxProps::tapToNextRec},
    {qb::kDispResultRecChars, &BoxProps::resultRecChars},
    {qb::kDispForeColorR, &BoxProps::foreColorR, Redraw::Always},
    {qb::kDispBackColor, &BoxProps::backColor, Redraw::Always},
    {qb::kDispForeColor, &BoxProps::foreColor, Redraw::Always},
    {qb::kDispEnabled, &BoxProps::enabled},
    {qb::kDispBorderStyle, &BoxProps::borderStyle},
    {qb::kDispAppearance, &BoxProps::appearance},
};

const PropertySlot* findSlot(DispId id) {
    for (const PropertySlot& slot : kSlots)
        if (slot.id == id) return &slot;
    return nullptr;
}

std::string defaultText(DispId id) {
    return id == qb::kDispRButtonCancel ? defaultRButtonCancel() : defaultResultFontName();
}

}  // namespace

const InterfaceInfo& dispatchInterface() noexcept { return kDispatch; }
const InterfaceInfo& eventInterface() noexcept { return kEventInterface; }
const ClassInfo& classInfo() noexcept { return kClassInfo; }

ClassFactory& quillboxFactory() noexcept {
    static QuillboxFactory factory;
    return factory;
}

int& liveObjects() noexcept {
    static int count = 0;
    return count;
}

QWidget* CQuillboxPropPage::create(QWidget* parent) { return com::createGeneralPropertyPage(parent); }

CQuillboxCtrl::CQuillboxCtrl(std::string engineFolder)
    : m_counter(&liveObjects()),
      m_events(kEventInterface),
      m_engineFolder(std::move(engineFolder)),
      m_box(*this) {}

CQuillboxCtrl::~CQuillboxCtrl() { delete m_widget.data(); }

void CQuillboxCtrl::exchangeProperties(PropExchange& exchange) noexcept {
    try {
        exchangeBoxProps(exchange, m_box.props());
        if (exchange.mode() != ExchangeMode::Save && m_widget) {
            m_widget->setEnabled(m_box.props().enabled);
            m_box.reWrite();
        }
    } catch (...) {
        // A failed load leaves the properties as far as it got; nothing escapes the control.
    }
}

QWidget* CQuillboxCtrl::createWindow(QWidget* parent) noexcept {
    if (m_widget) return m_widget;
    try {
        auto engine = EngineBinding::load(m_engineFolder.empty() ? ownModuleFolder() : m_engineFolder);
        if (!engine) return nullptr;
        auto* widget = new QuillboxWidget(m_box, parent);
        widget->resize(m_extent);
        widget->setEnabled(m_box.props().enabled);
        m_widget = widget;
        m_box.setWindow(widget);
        m_box.start(std::move(engine));
        m_box.setClientSize(m_extent);
        widget->show();
        return widget;
    } catch (...) {
        return nullptr;
    }
}

bool CQuillboxCtrl::setExtent(int width, int height) noexcept {
    if (width < 0 || height < 0) return false;
    try {
        m_extent = QSize(width, height);
        // A hidden widget gets its resize event only when shown; the canvas follows now.
        m_box.setClientSize(m_extent);
        if (m_widget) m_widget->resize(m_extent);
        return true;
    } catch (...) {
        return false;
    }
}

HResult CQuillboxCtrl::getProperty(DispId id, Variant* result) {
    if (id == qb::kDispHWnd) {
        *result = Variant(static_cast<int32_t>(m_widget ? win::handleOf(m_widget) : 0));
        return hr::kOk;
    }
    const PropertySlot* slot = findSlot(id);
    if (!slot) return hr::kMemberNotFound;
    BoxProps& p = m_box.props();
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(p.*member)>;
            if constexpr (std::is_same_v<T, bool>)
                *result = Variant::fromBool(p.*member);
            else if constexpr (std::is_same_v<T, std::string>)
                *result = Variant(text::cp932ToUtf16(p.*member));
            else if constexpr (std::is_same_v<T, uint32_t>)
                *result = Variant(static_cast<int32_t>(p.*member));
            else
                *result = Variant(p.*member);
        },
        slot->member);
    return hr::kOk;
}

HResult CQuillboxCtrl::putProperty(DispId id, const Variant& value) {
    BoxProps& p = m_box.props();
    switch (id) {
        case qb::kDispShowX:
            m_box.setShowX(value.i4());
            return hr::kOk;
        case qb::kDispShowY:
            m_box.setShowY(value.i4());
            return hr::kOk;
        case qb::kDispAutoShow:
            m_box.setAutoShow(value.boolean());
            return hr::kOk;
        case qb::kDispBorderStyle:
        case qb::kDispAppearance:
            if (value.i2() != 0 && value.i2() != 1) return hr::kInvalidArg;
            break;
        default:
            break;
    }
    const PropertySlot* slot = findSlot(id);
    if (!slot) return hr::kMemberNotFound;
    std::visit(
        [&](auto member) {
            using T = std::remove_reference_t<decltype(p.*member)>;
            if constexpr (std::is_same_v<T, bool>) {
                p.*member = value.boolean();
            } else if constexpr (std::is_same_v<T, std::string>) {
                std::string text = text::utf16ToCp932(value.bstr());
                if (slot->text == TextRule::Trimmed || slot->text == TextRule::TrimmedWithDefault)
                    text = trimAscii(text);
                if (text.empty() &&
                    (slot->text == TextRule::WithDefault || slot->text == TextRule::TrimmedWithDefault))
                    text = defaultText(id);
                p.*member = std::move(text);
            } else if constexpr (std::is_same_v<T, uint32_t>) {
                p.*member = static_cast<uint32_t>(value.i4());
            } else if constexpr (std::is_same_v<T, float>) {
                p.*member = slot->floatClamp
                                ? clampFloat(value.r4(), slot->floatClamp->lo, slot->floatClamp->hi)
                                : value.r4();
            } else if constexpr (std::is_same_v<T, int16_t>) {
                p.*member = value.i2();
            } else {
                p.*member =
                    slot->clamp ? clampLong(value.i4(), slot->clamp->lo, slot->clamp->hi) : value.i4();
            }
        },
        slot->member);
    if (id == qb::kDispEnabled && m_widget) m_widget->setEnabled(p.enabled);
    const bool redraw = slot->redraw == Redraw::Always || (slot->redraw == Redraw::IfRecog && p.recog) ||
                        (slot->redraw == Redraw::IfBackChar && p.backCharWidth != 0) ||
                        (slot->redraw == Redraw::IfRecogOrBackChar && (p.recog || p.backCharWidth != 0));
    if (redraw) m_box.reWrite();
    return hr::kOk;
}

HResult CQuillboxCtrl::callMethod(DispId id, std::span<Variant> args, Variant* result) {
    QuillboxBox& b = m_box;
    switch (id) {
        case qb::kDispClear:
            b.clear();
            return hr::kOk;
        case qb::kDispDelLastLine:
            b.delLastLine();
            return hr::kOk;
        case qb::kDispDeletePTW:
            b.deletePTW(args[0].i4());
            return hr::kOk;
        case qb::kDispGetAllString:
            *result = Variant(static_cast<int32_t>(b.getAllString()));
            return hr::kOk;
        case qb::kDispGetNthString:
            *result = Variant(static_cast<int32_t>(b.getNthString(args[0].i4())));
            return hr::kOk;
        case qb::kDispReWrite:
            b.reWrite();
            return hr::kOk;
        case qb::kDispRecognize:
            b.recognize();
            return hr::kOk;
        case qb::kDispDeleteCR:
            b.deleteCR(args[0].i4());
            return hr::kOk;
        case qb::kDispGetNthCR:
            *result = Variant(static_cast<int32_t>(b.getNthCR(args[0].i4())));
            return hr::kOk;
        case qb::kDispRecognizeCancel:
            b.recognizeCancel();
            return hr::kOk;
        case qb::kDispSetString:
            b.setString(args[0].i4());
            return hr::kOk;
        case qb::kDispSetNthRecChars:
            *result = Variant::fromBool(b.setNthRecChars(args[0].i4(), args[1].i4()));
            return hr::kOk;
        case qb::kDispGetNthRecChars:
            *result = Variant::fromBool(b.getNthRecChars(args[0].i4()));
            return hr::kOk;
        case qb::kDispRefresh:
            b.refresh();
            return hr::kOk;
        case qb::kDispAboutBox:
            aboutBox();
            return hr::kOk;
        default:
            return hr::kMemberNotFound;
    }
}

HResult CQuillboxCtrl::invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                                    Variant* result) {
    if (member.kind == MemberKind::Property) {
        if (flags & kInvokePropertyPut) return putProperty(member.id, args[0]);
        return getProperty(member.id, result);
    }
    return callMethod(member.id, args, result);
}

void CQuillboxCtrl::resultChange() { m_events.fire(qb::kEventResultChange, {}); }

void CQuillboxCtrl::recSelectChange(int32_t selectNum) {
    std::array<Variant, 1> args{Variant(selectNum)};
    m_events.fire(qb::kEventRecSelectChange, args);
}

}  // namespace sw::quillbox
