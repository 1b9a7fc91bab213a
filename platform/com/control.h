// What a control module implements: the control object, its class description and its class factory.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/automation/dispatch.h"
#include "platform/automation/events.h"
#include "platform/automation/property_bag.h"
#include "platform/com/guid.h"

class QWidget;
class QSize;
class QImage;

namespace sw {

// Stock member ids.
inline constexpr DispId kDispAboutBox = -552;
inline constexpr DispId kDispRefresh = -550;
inline constexpr DispId kDispBackColor = -501;
inline constexpr DispId kDispForeColor = -513;
inline constexpr DispId kDispEnabled = -514;
inline constexpr DispId kDispHWnd = -515;
inline constexpr DispId kDispBorderStyle = -504;
inline constexpr DispId kDispAppearance = -520;

// Status flags of registered classes.
inline constexpr uint32_t kMiscStatusVisibleControl = 0x20191;  // a control with a window at run time
inline constexpr uint32_t kMiscStatusInvisibleAtRuntime = 0x20591;

// The fixed identities and registration data of one control class. Static data in the module.
struct ClassInfo {
    Guid typeLibId;
    std::string_view typeLibName;  // "PENMATELib"
    uint16_t typeLibMajor = 1;
    uint16_t typeLibMinor = 0;
    Guid classId;
    std::string_view className;    // "CPenmateCtrl"
    std::string_view progId;       // "PENMATE.PenmateCtrl.1"
    std::string_view displayName;  // "Penmate Control", the AboutBox's name
    std::string_view version;      // "2.0", the AboutBox's version
    Guid dispatchId;
    const InterfaceInfo* dispatch;  // "_DPenmate"
    Guid eventsId;
    const InterfaceInfo* events;  // "_DPenmateEvents"
    Guid propPageId;
    std::string_view propPageName;    // "CPenmatePropPage"
    std::string_view propPageProgId;  // "PENMATE.PenmatePropPage.1"
    uint32_t miscStatus = kMiscStatusVisibleControl;
};

namespace com {
class ControlSite;  // host.h
}
using com::ControlSite;

// A control object. Created by its module's ClassFactory, destroyed by `delete` (the virtual destructor runs
// the module's own code). All calls come on the user-interface thread. Nothing thrown leaves a control: the
// dispatch entry is DispatchBase::invoke, and the other members are noexcept.
class Control : public DispatchBase {
public:
    ~Control() override = default;

    virtual const ClassInfo& classInfo() const noexcept = 0;
    const InterfaceInfo& interfaceInfo() const noexcept override { return *classInfo().dispatch; }

    // The control's outgoing events; null when it has none.
    virtual ConnectionPoint* events() noexcept = 0;

    // Loads, saves or resets the persisted properties (one routine for all three).
    virtual void exchangeProperties(PropExchange& exchange) noexcept = 0;

    // The host's site: ambient properties and colour translation. Borrowed; set before createWindow and
    // reset to null before the site dies.
    virtual void setSite(ControlSite* site) noexcept { m_site = site; }
    ControlSite* site() const noexcept { return m_site; }

    // Creates the control's window as a child of `parent` (which owns it from then on). Returns null when
    // window creation fails; the control then stays without a window. The window may be destroyed before the
    // control (the host deletes it first), so a control keeps it in a QPointer.
    virtual QWidget* createWindow(QWidget* parent) noexcept = 0;
    virtual QWidget* window() const noexcept = 0;

    // Extent in pixels. setExtent returns false, changing nothing, for an extent the control refuses.
    virtual bool setExtent(int width, int height) noexcept = 0;

    // The stock AboutBox: a modal dialog with the module's icon, name and version (classInfo().displayName
    // and .version; see stock_ui.h).
    virtual void aboutBox() noexcept;
    // The module's icon for the AboutBox; a null image (the default) shows a stock icon.
    virtual QImage icon() const noexcept;

private:
    ControlSite* m_site = nullptr;
};

class ClassFactory {
public:
    virtual ~ClassFactory() = default;
    virtual const ClassInfo& classInfo() const noexcept = 0;
    // A new control object, or null. The caller owns it.
    virtual Control* createInstance() noexcept = 0;
};

}  // namespace sw
