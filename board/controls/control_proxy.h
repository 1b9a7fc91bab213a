// Typed proxies over the board's hosted controls. Each wraps a ControlSite created from the class registry
// and calls the control by dispatch id only (contracts/*.h); the extender members (Left, Top, Visible, Move,
// ZOrder, Tag) are the site's. A control that failed to load is a proxy without a site: every call does
// nothing and reports failure (false, 0, an empty string), and the board carries on without it.
#pragma once

#include <QRect>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation/dispatch.h"
#include "platform/automation/property_bag.h"
#include "platform/com/host.h"

namespace sw::board {

class ControlProxy {
public:
    ControlProxy() = default;
    // Creates the control `classIdOrProgId` as a child of `host`, its properties loaded from `stored` (reset
    // to the control's defaults when null). A failure leaves an unloaded proxy.
    ControlProxy(std::string_view classIdOrProgId, QWidget* host, std::string_view name,
                 PropertyBag* stored = nullptr);
    virtual ~ControlProxy();
    ControlProxy(ControlProxy&&) noexcept;
    ControlProxy& operator=(ControlProxy&&) noexcept;

    bool loaded() const noexcept { return m_site != nullptr; }
    HResult createResult() const noexcept { return m_createResult; }
    com::ControlSite* site() const noexcept { return m_site.get(); }
    QWidget* widget() const noexcept;

    // Extender.
    QRect geometry() const;
    void move(int left, int top, int width, int height);
    bool visible() const;
    void setVisible(bool visible);
    void zOrder(int position);
    std::u16string tag() const;
    void setTag(std::u16string tag);

    // Dispatch by id; kFail when not loaded.
    HResult get(DispId id, Variant* result) const noexcept;
    HResult put(DispId id, Variant value) noexcept;
    HResult call(DispId id, std::vector<Variant> args = {}, Variant* result = nullptr) noexcept;
    int32_t getI4(DispId id, int32_t fallback = 0) const noexcept;
    bool getBool(DispId id) const noexcept;
    std::u16string getString(DispId id) const;
    bool putBool(DispId id, bool value) noexcept { return succeeded(put(id, Variant::fromBool(value))); }

    // Releases the control (its window first).
    void reset() noexcept;

private:
    std::unique_ptr<com::ControlSite> m_site;
    HResult m_createResult = hr::kFail;
};

}  // namespace sw::board
