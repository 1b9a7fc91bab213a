#include "veil/veil_ctrl.h"

#include <array>
#include <new>

#include "contracts/overlay.h"
#include "platform/com/stock_ui.h"
#include "platform/gdi/color.h"
#include "platform/window/window.h"

namespace sw::veil {
namespace {

namespace ov = sw::overlay;

constexpr ParamInfo kScrollToParams[] = {{"x", VarType::I4}, {"y", VarType::I4}};
constexpr ParamInfo kSetPointDataParams[] = {{"data", VarType::I4}, {"count", VarType::I4}};
constexpr ParamInfo kRedrawRectParams[] = {
    {"left", VarType::I4}, {"top", VarType::I4}, {"right", VarType::I4}, {"bottom", VarType::I4}};
constexpr ParamInfo kWindowBelowPointParams[] = {
    {"hwnd", VarType::I4, true}, {"x", VarType::I4, true}, {"y", VarType::I4, true}};

// Ids must match contracts/overlay.h.
constexpr MemberInfo kMembers[] = {
    {ov::kDispPenWidth, "PenWidth", MemberKind::Property, VarType::I2},
    {ov::kDispForeColor, "ForeColor", MemberKind::Property, VarType::I4},
    {ov::kDispBackColor, "BackColor", MemberKind::Property, VarType::I4},
    {ov::kDispHWnd, "hWnd", MemberKind::Property, VarType::I4, {}, true},
    {ov::kDispDrawKind, "DrawKind", MemberKind::Property, VarType::I2},
    {ov::kDispScrollX, "ScrollX", MemberKind::Property, VarType::I4},
    {ov::kDispScrollY, "ScrollY", MemberKind::Property, VarType::I4},
    {ov::kDispInkInput, "InkInput", MemberKind::Property, VarType::Bool},
    {ov::kDispInkDisplay, "InkDisplay", MemberKind::Property, VarType::Bool},
    {ov::kDispLassoSelect, "LassoSelect", MemberKind::Property, VarType::Bool},
    {ov::kDispMousePassThrough, "MousePassThrough", MemberKind::Property, VarType::Bool},
    {ov::kDispPointCount, "PointCount", MemberKind::Property, VarType::I4, {}, true},
    {ov::kDispPointData, "PointData", MemberKind::Property, VarType::I4, {}, true},
    {ov::kDispScrollTo, "ScrollTo", MemberKind::Method, VarType::Empty, kScrollToParams},
    {ov::kDispSetPointData, "SetPointData", MemberKind::Method, VarType::Empty, kSetPointDataParams},
    {ov::kDispRedrawRect, "RedrawRect", MemberKind::Method, VarType::Empty, kRedrawRectParams},
    {ov::kDispWindowBelowPoint, "WindowBelowPoint", MemberKind::Method, VarType::I4, kWindowBelowPointParams},
    {kDispAboutBox, "AboutBox", MemberKind::Method, VarType::Empty},
};

constexpr ParamInfo kPatternSelectedParams[] = {{"Data", VarType::I4}, {"DataNum", VarType::I4}};
constexpr ParamInfo kAreaChangedParams[] = {
    {"Left", VarType::I4}, {"Top", VarType::I4}, {"Right", VarType::I4}, {"Bottom", VarType::I4}};
constexpr ParamInfo kMouseForwardParams[] = {
    {"Msg", VarType::I4}, {"WParam", VarType::I4}, {"LParam", VarType::I4}};

constexpr MemberInfo kEvents[] = {
    {ov::kEventPatternSelected, "PatternSelected", MemberKind::Method, VarType::Empty,
     kPatternSelectedParams},
    {ov::kEventAreaChanged, "AreaChanged", MemberKind::Method, VarType::Empty, kAreaChangedParams},
    {ov::kEventMouseForward, "MouseForward", MemberKind::Method, VarType::Empty, kMouseForwardParams},
};

constexpr InterfaceInfo kDispatch{"_DVeil", kMembers};
constexpr InterfaceInfo kEventInterface{"_DVeilEvents", kEvents};

// Fixed identities of the module; the board creates the overlay by them.
const ClassInfo kClassInfo{
    .typeLibId = ov::kTypeLibId,
    .typeLibName = "VEILLib",
    .typeLibMajor = 1,
    .typeLibMinor = 0,
    .classId = ov::kClassId,
    .className = "CVeilCtrl",
    .progId = ov::kProgId,
    .displayName = "Veil Control",
    .version = "1.0",
    .dispatchId = ov::kDispatchId,
    .dispatch = &kDispatch,
    .eventsId = ov::kEventsId,
    .events = &kEventInterface,
    .propPageId = ov::kPropPageId,
    .propPageName = "CVeilPropPage",
    .propPageProgId = "VEIL.VeilPropPage.1",
    .miscStatus = kMiscStatusVisibleControl,
};

// Defaults of the persisted settings: white pen ink of width 2 on the board's green.
constexpr int16_t kDefaultPenWidth = 2;
constexpr uint32_t kDefaultForeColor = 0x00FFFFFF;
constexpr uint32_t kDefaultBackColor = 0x00008000;

bool validPenWidth(int16_t width) noexcept { return width >= kMinPenWidth && width <= kMaxPenWidth; }
bool validDrawKind(int16_t kind) noexcept { return kind == ov::kDrawPen || kind == ov::kDrawLasso; }

class VeilFactory final : public ClassFactory {
public:
    const ClassInfo& classInfo() const noexcept override { return kClassInfo; }
    Control* createInstance() noexcept override { return new (std::nothrow) CVeilCtrl; }
};

}  // namespace

const InterfaceInfo& dispatchInterface() noexcept { return kDispatch; }
const InterfaceInfo& eventInterface() noexcept { return kEventInterface; }
const ClassInfo& classInfo() noexcept { return kClassInfo; }

ClassFactory& veilFactory() noexcept {
    static VeilFactory factory;
    return factory;
}

int& liveObjects() noexcept {
    static int count = 0;
    return count;
}

QWidget* CVeilPropPage::create(QWidget* parent) { return com::createGeneralPropertyPage(parent); }

CVeilCtrl::CVeilCtrl() : m_counter(&liveObjects()), m_events(kEventInterface), m_layer(this) {}

CVeilCtrl::~CVeilCtrl() { delete m_widget.data(); }

void CVeilCtrl::applyColors() noexcept { m_layer.settings().penColor = gdi::translateOleColor(m_foreColor); }

void CVeilCtrl::exchangeProperties(PropExchange& exchange) noexcept {
    try {
        VeilSettings& s = m_layer.settings();
        exchange.exVersion(1, 0);
        exchange.exShort("PenWidth", s.penWidth, kDefaultPenWidth);
        exchange.exColor("ForeColor", m_foreColor, kDefaultForeColor);
        exchange.exColor("BackColor", m_backColor, kDefaultBackColor);
        exchange.exShort("DrawKind", s.drawKind, ov::kDrawPen);
        exchange.exBool("InkInput", s.inkInput, true);
        bool display = s.inkDisplay;
        exchange.exBool("InkDisplay", display, true);
        exchange.exBool("LassoSelect", s.lassoSelect, false);
        exchange.exBool("MousePassThrough", s.mousePassThrough, false);
        // Stored values the setters would refuse fall back to the defaults.
        if (!validPenWidth(s.penWidth)) s.penWidth = kDefaultPenWidth;
        if (!validDrawKind(s.drawKind)) s.drawKind = ov::kDrawPen;
        m_layer.setInkDisplay(display);
        applyColors();
    } catch (...) {
        // A failed load leaves the settings as far as they got; nothing escapes the control.
    }
}

QWidget* CVeilCtrl::createWindow(QWidget* parent) noexcept {
    if (m_widget) return m_widget;
    try {
        auto* widget = new VeilWidget(m_layer, parent);
        widget->resize(m_extent);
        widget->show();
        m_widget = widget;
        return widget;
    } catch (...) {
        return nullptr;
    }
}

bool CVeilCtrl::setExtent(int width, int height) noexcept {
    if (width < 0 || height < 0) return false;
    m_extent = QSize(width, height);
    if (m_widget) m_widget->resize(m_extent);
    return true;
}

HResult CVeilCtrl::getProperty(DispId id, Variant* result) {
    const VeilSettings& s = m_layer.settings();
    switch (id) {
        case ov::kDispPenWidth:
            *result = Variant(s.penWidth);
            return hr::kOk;
        case ov::kDispForeColor:
            *result = Variant(static_cast<int32_t>(m_foreColor));
            return hr::kOk;
        case ov::kDispBackColor:
            *result = Variant(static_cast<int32_t>(m_backColor));
            return hr::kOk;
        case ov::kDispHWnd:
            *result = Variant(static_cast<int32_t>(m_widget ? win::handleOf(m_widget) : 0));
            return hr::kOk;
        case ov::kDispDrawKind:
            *result = Variant(s.drawKind);
            return hr::kOk;
        case ov::kDispScrollX:
            *result = Variant(static_cast<int32_t>(m_layer.scroll().x()));
            return hr::kOk;
        case ov::kDispScrollY:
            *result = Variant(static_cast<int32_t>(m_layer.scroll().y()));
            return hr::kOk;
        case ov::kDispInkInput:
            *result = Variant::fromBool(s.inkInput);
            return hr::kOk;
        case ov::kDispInkDisplay:
            *result = Variant::fromBool(s.inkDisplay);
            return hr::kOk;
        case ov::kDispLassoSelect:
            *result = Variant::fromBool(s.lassoSelect);
            return hr::kOk;
        case ov::kDispMousePassThrough:
            *result = Variant::fromBool(s.mousePassThrough);
            return hr::kOk;
        case ov::kDispPointCount:
            *result = Variant(m_layer.pointCount());
            return hr::kOk;
        case ov::kDispPointData:
            *result = Variant(static_cast<int32_t>(m_layer.pointData()));
            return hr::kOk;
        default:
            return hr::kMemberNotFound;
    }
}

HResult CVeilCtrl::putProperty(DispId id, const Variant& value) {
    VeilSettings& s = m_layer.settings();
    switch (id) {
        case ov::kDispPenWidth:
            if (!validPenWidth(value.i2())) return hr::kInvalidArg;
            s.penWidth = value.i2();
            return hr::kOk;
        case ov::kDispForeColor:
            m_foreColor = static_cast<uint32_t>(value.i4());
            applyColors();
            if (m_widget) m_widget->update();  // a lasso being drawn takes the pen colour
            return hr::kOk;
        case ov::kDispBackColor:
            m_backColor = static_cast<uint32_t>(value.i4());  // kept, never painted
            return hr::kOk;
        case ov::kDispDrawKind:
            if (!validDrawKind(value.i2())) return hr::kInvalidArg;
            s.drawKind = value.i2();
            return hr::kOk;
        case ov::kDispScrollX:
            m_layer.scrollTo(value.i4(), m_layer.scroll().y());
            return hr::kOk;
        case ov::kDispScrollY:
            m_layer.scrollTo(m_layer.scroll().x(), value.i4());
            return hr::kOk;
        case ov::kDispInkInput:
            s.inkInput = value.boolean();
            return hr::kOk;
        case ov::kDispInkDisplay:
            m_layer.setInkDisplay(value.boolean());
            return hr::kOk;
        case ov::kDispLassoSelect:
            s.lassoSelect = value.boolean();
            return hr::kOk;
        case ov::kDispMousePassThrough:
            s.mousePassThrough = value.boolean();
            return hr::kOk;
        default:
            return hr::kMemberNotFound;
    }
}

HResult CVeilCtrl::windowBelowPoint(std::span<Variant> args, Variant* result) {
    const win::HWnd hwnd = args[0].i4();
    const QPoint point(args[1].i4(), args[2].i4());
    win::HWnd below = hwnd;
    if (QWidget* child = childBelowPoint(win::widgetOf(hwnd), point, m_widget)) below = win::handleOf(child);
    if (result) *result = Variant(static_cast<int32_t>(below));
    return hr::kOk;
}

HResult CVeilCtrl::invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                                Variant* result) {
    if (member.kind == MemberKind::Property) {
        if (flags & kInvokePropertyPut) return putProperty(member.id, args[0]);
        Variant ignored;
        return getProperty(member.id, result ? result : &ignored);
    }
    switch (member.id) {
        case ov::kDispScrollTo:
            m_layer.scrollTo(args[0].i4(), args[1].i4());
            return hr::kOk;
        case ov::kDispSetPointData:
            // A negative count or a handle that does not hold `count` points changes nothing.
            m_layer.setPointData(args[0].i4(), args[1].i4());
            return hr::kOk;
        case ov::kDispRedrawRect:
            if (m_widget)
                m_widget->redrawRect(
                    QRect(QPoint(args[0].i4(), args[1].i4()), QPoint(args[2].i4(), args[3].i4())));
            return hr::kOk;
        case ov::kDispWindowBelowPoint:
            return windowBelowPoint(args, result);
        case kDispAboutBox:
            aboutBox();
            return hr::kOk;
        default:
            return hr::kMemberNotFound;
    }
}

void CVeilCtrl::patternSelected(Handle data, int32_t count) {
    std::array<Variant, 2> args{Variant(static_cast<int32_t>(data)), Variant(count)};
    m_events.fire(ov::kEventPatternSelected, args);
}

void CVeilCtrl::areaChanged(const QRect& area) {
    std::array<Variant, 4> args{
        Variant(static_cast<int32_t>(area.left())), Variant(static_cast<int32_t>(area.top())),
        Variant(static_cast<int32_t>(area.right())), Variant(static_cast<int32_t>(area.bottom()))};
    m_events.fire(ov::kEventAreaChanged, args);
}

void CVeilCtrl::mouseForward(uint32_t msg, uint32_t wParam, int32_t lParam) {
    std::array<Variant, 3> args{Variant(static_cast<int32_t>(msg)), Variant(static_cast<int32_t>(wParam)),
                                Variant(lParam)};
    m_events.fire(ov::kEventMouseForward, args);
}

}  // namespace sw::veil
