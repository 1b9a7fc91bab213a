// A small but complete control module for the tests of the hosting chain: registration, creation through the
// registry, dispatch with in and out parameters, an event with a by-reference argument, persisted properties.
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <climits>
#include <new>

#include "platform/com/control.h"
#include "platform/com/module.h"
#include "platform/com/stock_ui.h"
#include "platform/text/cp932.h"
#include "tests/platform/chain_module/chain_contract.h"

namespace {

using sw::DispId;
using sw::HResult;
using sw::MemberInfo;
using sw::MemberKind;
using sw::ParamInfo;
using sw::Variant;
using sw::VarType;
namespace hr = sw::hr;

int g_liveObjects = 0;

constexpr ParamInfo kDivideParams[] = {
    {"Dividend", VarType::I4}, {"Divisor", VarType::I4}, {"Remainder", VarType::I4, true}};
constexpr ParamInfo kRaiseParams[] = {{"Text", VarType::BStr}};
constexpr MemberInfo kMembers[] = {
    {chain::kDispCaption, "Caption", MemberKind::Property, VarType::BStr},
    {chain::kDispCount, "Count", MemberKind::Property, VarType::I4},
    {chain::kDispArmed, "Armed", MemberKind::Property, VarType::Bool},
    {chain::kDispDivide, "Divide", MemberKind::Method, VarType::Bool, kDivideParams},
    {chain::kDispRaise, "Raise", MemberKind::Method, VarType::Bool, kRaiseParams},
    {sw::kDispAboutBox, "AboutBox", MemberKind::Method, VarType::Empty},
};
constexpr sw::InterfaceInfo kDispatch{"_DChain", kMembers};

constexpr ParamInfo kNotifyParams[] = {{"Text", VarType::BStr}, {"Handled", VarType::Bool, true}};
constexpr MemberInfo kEventMembers[] = {
    {chain::kEventNotify, "Notify", MemberKind::Method, VarType::Empty, kNotifyParams},
};
constexpr sw::InterfaceInfo kEvents{"_DChainEvents", kEventMembers};

const sw::ClassInfo kClassInfo{
    chain::kTypeLibId,
    "CHAINLib",
    1,
    0,
    chain::kClassId,
    "CChainCtrl",
    chain::kProgId,
    "Chain Control",
    "1.0",
    chain::kDispatchId,
    &kDispatch,
    chain::kEventsId,
    &kEvents,
    chain::kPropPageId,
    "CChainPropPage",
    "CHAIN.ChainPropPage.1",
    sw::kMiscStatusVisibleControl,
};

class CChainCtrl final : public sw::Control {
public:
    const sw::ClassInfo& classInfo() const noexcept override { return kClassInfo; }
    sw::ConnectionPoint* events() noexcept override { return &m_events; }

    void exchangeProperties(sw::PropExchange& ex) noexcept override {
        ex.exVersion(1, 0);
        ex.exString("Caption", m_caption, sw::text::utf16ToCp932(chain::kDefaultCaption));
        ex.exLong("Count", m_count, chain::kDefaultCount);
        ex.exBool("Armed", m_armed, true);
        if (ex.mode() != sw::ExchangeMode::Save) showCaption();
    }

    QWidget* createWindow(QWidget* parent) noexcept override {
        m_label = new QLabel(parent);
        m_label->setObjectName(QStringLiteral("ChainCtrl"));
        m_label->resize(120, 24);
        showCaption();
        return m_label;
    }
    QWidget* window() const noexcept override { return m_label.data(); }

    bool setExtent(int width, int height) noexcept override {
        if (width <= 0 || height <= 0) return false;
        if (m_label) m_label->resize(width, height);
        return true;
    }

protected:
    HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                         Variant* result) override {
        const bool put = flags & sw::kInvokePropertyPut;
        switch (member.id) {
            case chain::kDispCaption:
                if (put) {
                    m_caption = sw::text::utf16ToCp932(args[0].bstr());
                    showCaption();
                } else {
                    *result = Variant(sw::text::cp932ToUtf16(m_caption));
                }
                return hr::kOk;
            case chain::kDispCount:
                if (put)
                    m_count = args[0].i4();
                else
                    *result = Variant(m_count);
                return hr::kOk;
            case chain::kDispArmed:
                if (put)
                    m_armed = args[0].boolean();
                else
                    *result = Variant::fromBool(m_armed);
                return hr::kOk;
            case chain::kDispDivide: {
                // The out parameter is set before the inputs are checked, as the system's controls do.
                args[2].store(Variant(int32_t{0}));
                const int32_t dividend = args[0].i4(), divisor = args[1].i4();
                if (divisor == 0 || (dividend == INT32_MIN && divisor == -1)) {
                    *result = Variant::fromBool(false);
                    return hr::kOk;
                }
                args[2].store(Variant(dividend % divisor));
                *result = Variant::fromBool(true);
                return hr::kOk;
            }
            case chain::kDispRaise: {
                int16_t handled = sw::kVariantFalse;
                Variant eventArgs[] = {Variant(args[0].bstr()), Variant::byRefBool(&handled)};
                m_events.fire(chain::kEventNotify, eventArgs);
                *result = Variant::fromBool(handled != sw::kVariantFalse);
                return hr::kOk;
            }
            case sw::kDispAboutBox:
                aboutBox();
                return hr::kOk;
        }
        return hr::kMemberNotFound;
    }

private:
    void showCaption() {
        if (m_label) m_label->setText(QString::fromStdU16String(sw::text::cp932ToUtf16(m_caption)));
    }

    sw::com::ObjectCounter m_counter{&g_liveObjects};
    sw::ConnectionPoint m_events{kEvents};
    QPointer<QLabel> m_label;
    std::string m_caption;  // code page 932
    int32_t m_count = 0;
    bool m_armed = false;
};

class ChainFactory final : public sw::ClassFactory {
public:
    const sw::ClassInfo& classInfo() const noexcept override { return kClassInfo; }
    sw::Control* createInstance() noexcept override { return new (std::nothrow) CChainCtrl(); }
};

ChainFactory& chainFactory() {
    static ChainFactory factory;
    return factory;
}

}  // namespace

SW_CONTROL_MODULE(chainFactory(), g_liveObjects)
