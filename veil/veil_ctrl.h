// The Veil control: CVeilCtrl with its dispatch interface _DVeil (the members of contracts/overlay.h and the
// stock AboutBox), the event interface _DVeilEvents (PatternSelected, AreaChanged, MouseForward), its class
// factory and the one "General" property page, CVeilPropPage.
//
// The control owns its InkLayer; its window is a VeilWidget over that layer, made by createWindow.
// Properties, the point set and the events work without a window as well (the host may set them before the
// window exists); window-only members then answer as documented on each.
#pragma once

#include <QPointer>
#include <QSize>

#include "platform/com/control.h"
#include "platform/com/module.h"
#include "veil/ink_layer.h"
#include "veil/veil_widget.h"

namespace sw::veil {

const InterfaceInfo& dispatchInterface() noexcept;  // _DVeil
const InterfaceInfo& eventInterface() noexcept;     // _DVeilEvents
const ClassInfo& classInfo() noexcept;

// The module's one factory and its count of live controls (for DllCanUnloadNow).
ClassFactory& veilFactory() noexcept;
int& liveObjects() noexcept;

class CVeilCtrl final : public Control, private VeilListener {
public:
    CVeilCtrl();
    ~CVeilCtrl() override;  // deletes its window when that still exists

    const ClassInfo& classInfo() const noexcept override { return veil::classInfo(); }
    ConnectionPoint* events() noexcept override { return &m_events; }
    void exchangeProperties(PropExchange& exchange) noexcept override;
    QWidget* createWindow(QWidget* parent) noexcept override;
    QWidget* window() const noexcept override { return m_widget; }
    bool setExtent(int width, int height) noexcept override;

    InkLayer& layer() noexcept { return m_layer; }

protected:
    HResult invokeMember(const MemberInfo& member, uint16_t flags, std::span<Variant> args,
                         Variant* result) override;

private:
    HResult getProperty(DispId id, Variant* result);
    HResult putProperty(DispId id, const Variant& value);
    HResult windowBelowPoint(std::span<Variant> args, Variant* result);
    void applyColors() noexcept;

    void patternSelected(Handle data, int32_t count) override;
    void areaChanged(const QRect& clientArea) override;
    void mouseForward(uint32_t msg, uint32_t wParam, int32_t lParam) override;

    com::ObjectCounter m_counter;
    ConnectionPoint m_events;
    InkLayer m_layer;
    QPointer<VeilWidget> m_widget;
    QSize m_extent{320, 240};
    uint32_t m_foreColor = 0x00FFFFFF;  // OLE colours as set; the layer holds the translated pen colour
    uint32_t m_backColor = 0x00008000;
};

class CVeilPropPage {
public:
    static QWidget* create(QWidget* parent);
};

}  // namespace sw::veil
