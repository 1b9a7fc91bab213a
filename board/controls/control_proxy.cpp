#include "board/controls/control_proxy.h"

namespace sw::board {

ControlProxy::ControlProxy(std::string_view classIdOrProgId, QWidget* host, std::string_view name,
                           PropertyBag* stored) {
    m_site = com::createControl(classIdOrProgId, host, name, stored, &m_createResult);
    if (!m_site && succeeded(m_createResult)) m_createResult = hr::kFail;
}

ControlProxy::~ControlProxy() = default;
ControlProxy::ControlProxy(ControlProxy&&) noexcept = default;
ControlProxy& ControlProxy::operator=(ControlProxy&&) noexcept = default;

QWidget* ControlProxy::widget() const noexcept { return m_site ? m_site->widget() : nullptr; }

QRect ControlProxy::geometry() const { return m_site ? m_site->geometry() : QRect(); }

void ControlProxy::move(int left, int top, int width, int height) {
    if (m_site) m_site->move(left, top, width, height);
}

bool ControlProxy::visible() const { return m_site && m_site->isVisible(); }

void ControlProxy::setVisible(bool visible) {
    if (m_site) m_site->setVisible(visible);
}

void ControlProxy::zOrder(int position) {
    if (m_site) m_site->zOrder(position);
}

std::u16string ControlProxy::tag() const { return m_site ? m_site->tag() : std::u16string(); }

void ControlProxy::setTag(std::u16string tag) {
    if (m_site) m_site->setTag(std::move(tag));
}

HResult ControlProxy::get(DispId id, Variant* result) const noexcept {
    if (!m_site) return hr::kFail;
    return m_site->get(id, result);
}

HResult ControlProxy::put(DispId id, Variant value) noexcept {
    if (!m_site) return hr::kFail;
    return m_site->put(id, std::move(value));
}

HResult ControlProxy::call(DispId id, std::vector<Variant> args, Variant* result) noexcept {
    if (!m_site) return hr::kFail;
    return m_site->call(id, args, result);
}

int32_t ControlProxy::getI4(DispId id, int32_t fallback) const noexcept {
    Variant v;
    int32_t out = fallback;
    if (failed(get(id, &v)) || failed(v.toI4(&out))) return fallback;
    return out;
}

bool ControlProxy::getBool(DispId id) const noexcept {
    Variant v;
    bool out = false;
    return succeeded(get(id, &v)) && succeeded(v.toBool(&out)) && out;
}

std::u16string ControlProxy::getString(DispId id) const {
    Variant v;
    std::u16string out;
    if (failed(get(id, &v)) || failed(v.toBStr(&out))) return {};
    return out;
}

void ControlProxy::reset() noexcept { m_site.reset(); }

}  // namespace sw::board
