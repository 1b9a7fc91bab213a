#include "veiladd/veiladd_ctrl.h"

#include <QPainter>
#include <QPainterPath>

#include "contracts/veiladd.h"
#include "platform/com/host.h"
#include "platform/com/stock_ui.h"
#include "veiladd/veiladd_methods.h"

namespace sw::veiladd {
namespace {

constexpr ParamInfo kDeletePatternParams[] = {
    {"Data1", VarType::I4},    {"Data1Num", VarType::I4},         {"Data2", VarType::I4},
    {"Data2Num", VarType::I4}, {"ResultData", VarType::I4, true}, {"ResultDataNum", VarType::I4, true},
};
constexpr ParamInfo kFreePatternDataParams[] = {{"Data", VarType::I4}};
constexpr ParamInfo kGetVeilRectParams[] = {
    {"Data", VarType::I4},      {"DataNum", VarType::I4},     {"Left", VarType::I4, true},
    {"Top", VarType::I4, true}, {"Right", VarType::I4, true}, {"Bottom", VarType::I4, true},
};
constexpr ParamInfo kMoveVeilParams[] = {
    {"Data", VarType::I4}, {"DataNum", VarType::I4}, {"Left", VarType::I4}, {"Top", VarType::I4}};
constexpr ParamInfo kVeilListBoxInParams[] = {
    {"ListhWnd", VarType::I4}, {"Data", VarType::I4}, {"DataNum", VarType::I4}};
constexpr ParamInfo kVeilListBoxOutParams[] = {
    {"ListhWnd", VarType::I4}, {"Data", VarType::I4, true}, {"DataNum", VarType::I4, true}};
constexpr ParamInfo kGetPtwRectParams[] = {
    {"ptw", VarType::I4},         {"Left", VarType::I4, true},   {"Top", VarType::I4, true},
    {"Right", VarType::I4, true}, {"Bottom", VarType::I4, true},
};

constexpr MemberInfo kMembers[] = {
    {kDispDeletePattern, "DeletePattern", MemberKind::Method, VarType::Bool, kDeletePatternParams},
    {kDispFreePatternData, "FreePatternData", MemberKind::Method, VarType::Empty, kFreePatternDataParams},
    {kDispGetVeilRect, "GetVeilRect", MemberKind::Method, VarType::Bool, kGetVeilRectParams},
    {kDispMoveVeil, "MoveVeil", MemberKind::Method, VarType::Bool, kMoveVeilParams},
    {kDispVeilListBoxIn, "VeilListBoxIn", MemberKind::Method, VarType::Bool, kVeilListBoxInParams},
    {kDispVeilListBoxOut, "VeilListBoxOut", MemberKind::Method, VarType::Bool, kVeilListBoxOutParams},
    {kDispGetPtwRect, "GetPtwRect", MemberKind::Method, VarType::Bool, kGetPtwRectParams},
    {kDispAboutBox, "AboutBox", MemberKind::Method, VarType::Empty},
};

const InterfaceInfo kDispatchInterface{"_DVeiladd", kMembers};
const InterfaceInfo kEventInterface{"_DVeiladdEvents", {}};

const ClassInfo kClassInfo{
    .typeLibId = kTypeLibId,
    .typeLibName = "VEILADDLib",
    .typeLibMajor = 1,
    .typeLibMinor = 0,
    .classId = kClassId,
    .className = "CVeiladdCtrl",
    .progId = kProgId,
    .displayName = "Veiladd Control",
    .version = "1.0",
    .dispatchId = kDispatchId,
    .dispatch = &kDispatchInterface,
    .eventsId = kEventsId,
    .events = &kEventInterface,
    .propPageId = kPropPageId,
    .propPageName = "CVeiladdPropPage",
    .propPageProgId = "VEILADD.VeiladdPropPage.1",
    .miscStatus = kMiscStatusInvisibleAtRuntime,
};

// The design-time look: the bump-edged box with the bitmap. Nothing is painted at run time.
class DesignView final : public QWidget {
public:
    DesignView(QWidget* parent, bool designTime) : QWidget(parent), m_designTime(designTime) {
        if (m_designTime) m_bitmap = veiladdBitmap(16);
        setAttribute(Qt::WA_TransparentForMouseEvents, !m_designTime);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!m_designTime) return;
        QPainter painter(this);
        com::paintDesignTimeBox(painter, rect(), m_bitmap);
    }

private:
    bool m_designTime;
    QImage m_bitmap;
};

HResult storeI4(Variant& target, int32_t value) { return target.store(Variant(value)); }

HResult storeRect(std::span<Variant> outputs, const VeilRect& rect) {
    const int32_t values[] = {rect.Left, rect.Top, rect.Right, rect.Bottom};
    for (size_t k = 0; k < 4; ++k)
        if (const HResult hr = storeI4(outputs[k], values[k]); failed(hr)) return hr;
    return hr::kOk;
}

}  // namespace

const ClassInfo& veiladdClassInfo() noexcept { return kClassInfo; }

QImage veiladdBitmap(int size) {
    // A dark green slate with a chalk stroke and the dashed loop of a lasso around it.
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0x1e, 0x4d, 0x2b));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    QPainterPath stroke;
    stroke.moveTo(4.5, 10.5);
    stroke.cubicTo(6, 5, 9, 5, 11.5, 9.5);
    painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(stroke);
    painter.setPen(QPen(QColor(0xff, 0xd7, 0x40), 1.0, Qt::DashLine));
    painter.drawEllipse(QRectF(1.5, 2.5, 13, 11));
    return image;
}

CVeiladdCtrl::CVeiladdCtrl(int* liveObjects) : m_counter(liveObjects), m_events(kEventInterface) {}

CVeiladdCtrl::~CVeiladdCtrl() { delete m_window.data(); }

void CVeiladdCtrl::exchangeProperties(PropExchange& exchange) noexcept {
    try {
        exchange.exVersion(1, 0);  // no properties of its own
    } catch (...) {
    }
}

QWidget* CVeiladdCtrl::createWindow(QWidget* parent) noexcept {
    try {
        const bool designTime = site() && !site()->userMode();
        auto* view = new DesignView(parent, designTime);
        view->resize(com::kInvisibleControlSize, com::kInvisibleControlSize);
        view->setVisible(designTime);
        m_window = view;
        return view;
    } catch (...) {
        return nullptr;
    }
}

QWidget* CVeiladdCtrl::window() const noexcept { return m_window.data(); }

bool CVeiladdCtrl::setExtent(int width, int height) noexcept {
    if (!com::acceptInvisibleExtent(width, height)) return false;
    if (m_window) m_window->resize(width, height);
    return true;
}

QImage CVeiladdCtrl::icon() const noexcept {
    try {
        return veiladdBitmap(32);
    } catch (...) {
        return {};
    }
}

HResult CVeiladdCtrl::invokeMember(const MemberInfo& member, uint16_t, std::span<Variant> args,
                                   Variant* result) {
    // DispatchBase has checked the argument count and coerced every argument to its declared type.
    bool ok = false;
    HResult hr = hr::kOk;
    switch (member.id) {
        case kDispDeletePattern: {
            int32_t resultData = 0;
            int32_t resultDataNum = 0;
            ok = DeletePattern(args[0].i4(), args[1].i4(), args[2].i4(), args[3].i4(), resultData,
                               resultDataNum);
            hr = storeI4(args[4], resultData);
            if (succeeded(hr)) hr = storeI4(args[5], resultDataNum);
            break;
        }
        case kDispFreePatternData:
            FreePatternData(args[0].i4());
            return hr::kOk;
        case kDispGetVeilRect: {
            VeilRect rect;
            ok = GetVeilRect(args[0].i4(), args[1].i4(), rect);
            hr = storeRect(args.subspan(2), rect);
            break;
        }
        case kDispMoveVeil:
            ok = MoveVeil(args[0].i4(), args[1].i4(), args[2].i4(), args[3].i4());
            break;
        case kDispVeilListBoxIn:
            ok = VeilListBoxIn(args[0].i4(), args[1].i4(), args[2].i4());
            break;
        case kDispVeilListBoxOut: {
            int32_t data = 0;
            int32_t dataNum = 0;
            ok = VeilListBoxOut(args[0].i4(), data, dataNum);
            hr = storeI4(args[1], data);
            if (succeeded(hr)) hr = storeI4(args[2], dataNum);
            break;
        }
        case kDispGetPtwRect: {
            VeilRect rect;
            ok = GetPtwRect(args[0].i4(), rect);
            hr = storeRect(args.subspan(1), rect);
            break;
        }
        case kDispAboutBox:
            aboutBox();
            return hr::kOk;
        default:
            return hr::kMemberNotFound;
    }
    if (failed(hr)) return hr;
    if (result) *result = Variant::fromBool(ok);
    return hr::kOk;
}

QWidget* CVeiladdPropPage::create(QWidget* parent) { return com::createGeneralPropertyPage(parent); }

}  // namespace sw::veiladd
