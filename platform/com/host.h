// Hosting controls: creation by class id or prog id through the registry, and the control site that gives
// every hosted control the host's extender members.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/dispatch.h"
#include "platform/automation/events.h"
#include "platform/automation/property_bag.h"
#include "platform/com/control.h"

namespace sw::com {

// Dispatch ids of the extender members, answered by the site before the control sees a call.
inline constexpr DispId kDispExtLeft = static_cast<DispId>(0x80010100);
inline constexpr DispId kDispExtTop = static_cast<DispId>(0x80010101);
inline constexpr DispId kDispExtWidth = static_cast<DispId>(0x80010102);
inline constexpr DispId kDispExtHeight = static_cast<DispId>(0x80010103);
inline constexpr DispId kDispExtVisible = static_cast<DispId>(0x80010007);
inline constexpr DispId kDispExtTag = static_cast<DispId>(0x80010105);
inline constexpr DispId kDispExtMove =
    static_cast<DispId>(0x80010106);  // (Left, [Top], [Width], [Height]) R4
inline constexpr DispId kDispExtZOrder = static_cast<DispId>(0x80010107);  // ([Position] I2): 0 front, 1 back

class LoadedModule;

// A hosted control: owns the control object and keeps its module loaded while the object lives.
//
// As a Dispatch it answers the extender members (Left, Top, Width, Height in host pixels as R4 values,
// Visible, Tag as a string, Move, ZOrder) by the ids above and by name, and forwards every other id to the
// control; its interfaceInfo lists the extender members first, then the control's (a control member of the
// same name as an extender member is reached by its id only). A size the control refuses (see
// Control::setExtent) leaves the size as it was and makes the put or Move return kInvalidArg. Events of the
// control reach sinks advised here. Controls invisible at run time (status flag 0x400) keep their window
// hidden in user mode whatever Visible says.
class ControlSite final : public Dispatch {
public:
    ~ControlSite() override;  // destroys the control (its window first), then releases the module

    const InterfaceInfo& interfaceInfo() const noexcept override;
    HResult invoke(DispId id, uint16_t flags, std::span<Variant> args, Variant* result) noexcept override;

    Control* control() const noexcept { return m_control; }
    QWidget* widget() const noexcept;  // the control's window; null before createWindow or when it failed
    QWidget* host() const noexcept { return m_host; }
    const std::string& name() const noexcept { return m_name; }

    // The control's connection point; 0 when the control has no events.
    uint32_t advise(EventSink* sink);
    bool unadvise(uint32_t cookie) noexcept;

    // Extender state, also reachable through invoke.
    QRect geometry() const;
    void move(int left, int top, int width, int height);
    bool isVisible() const;
    void setVisible(bool visible);
    const std::u16string& tag() const noexcept { return m_tag; }
    void setTag(std::u16string tag) { m_tag = std::move(tag); }
    void zOrder(int position);

    // Translates an OLE colour (system colour indexes included) for the control; see gdi/color.h.
    uint32_t translateColor(uint32_t oleColor) const noexcept;
    bool userMode() const noexcept { return m_userMode; }  // false at design time

    void saveProperties(PropertyBag& bag) noexcept;
    void loadProperties(PropertyBag& bag) noexcept;

private:
    class Extender;
    friend std::unique_ptr<ControlSite> createControl(std::string_view, QWidget*, std::string_view,
                                                      PropertyBag*, HResult*) noexcept;
    ControlSite();
    // Moves and resizes; false when the control refuses the size (the position is applied regardless).
    bool setGeometry(const QRect& rect);
    bool invisibleAtRuntime() const noexcept;

    std::shared_ptr<LoadedModule> m_module;
    Control* m_control = nullptr;
    QPointer<QWidget> m_widget;
    QWidget* m_host = nullptr;
    std::string m_name;
    std::u16string m_tag;
    bool m_userMode = true;
    bool m_visible = true;
    QRect m_geometry;
    std::unique_ptr<Extender> m_extender;
    std::vector<MemberInfo> m_members;  // the extender's members, then the control's
    InterfaceInfo m_interface;
};

// Creates a control by class id ("{...}") or prog id through the class registry: dlopen of the registered
// module path (never by linking), DllGetClassObject, createInstance, the site, then the properties (loaded
// from `stored`, or reset to the defaults when it is null) and finally its window as a child of `hostWindow`.
// Returns null on any failure with the reason in *hr: kClassNotRegistered (not in the registry),
// kClassNotAvailable (the module does not load or does not provide the class), kFail (window creation
// failed, or there is no QApplication to create windows in).
std::unique_ptr<ControlSite> createControl(std::string_view classIdOrProgId, QWidget* hostWindow,
                                           std::string_view name, PropertyBag* stored = nullptr,
                                           HResult* hr = nullptr) noexcept;

}  // namespace sw::com
