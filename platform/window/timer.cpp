#include "platform/window/timer.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <utility>

namespace sw::win {
namespace {

// The shortest interval a window timer runs at; shorter requests are raised to it.
constexpr int kMinimumIntervalMs = 10;

// One window timer, a child of its widget so that it dies with it.
class WindowTimer : public QTimer {
    Q_OBJECT  // findChildren<WindowTimer*> must not match other timers of the widget
        public : using Callback = std::function<void(uint32_t)>;

    WindowTimer(QWidget* owner, uint32_t id) : QTimer(owner), m_id(id) {
        connect(this, &QTimer::timeout, this, [this] { fire(); });
    }
    uint32_t id() const { return m_id; }
    void fire() {
        // Held for the call: the callback may set or kill this very timer.
        const std::shared_ptr<const Callback> callback = m_callback;
        (*callback)(m_id);
    }
    void setCallback(Callback callback) {
        m_callback = std::make_shared<const Callback>(std::move(callback));
    }

private:
    uint32_t m_id;
    std::shared_ptr<const Callback> m_callback;
};

WindowTimer* findTimer(QWidget* owner, uint32_t id) {
    if (!owner) return nullptr;
    for (WindowTimer* timer : owner->findChildren<WindowTimer*>(Qt::FindDirectChildrenOnly)) {
        if (timer->id() == id && timer->isActive()) return timer;
    }
    return nullptr;
}

}  // namespace

uint32_t setTimer(QWidget* owner, uint32_t id, int intervalMs, std::function<void(uint32_t id)> callback) {
    // Id 0 would be indistinguishable from the failure result.
    if (!owner || id == 0 || intervalMs < 0 || !callback) return 0;
    WindowTimer* timer = findTimer(owner, id);
    if (!timer) timer = new WindowTimer(owner, id);
    timer->setCallback(std::move(callback));
    timer->start(std::max(intervalMs, kMinimumIntervalMs));  // restarts a running timer
    return id;
}

bool killTimer(QWidget* owner, uint32_t id) {
    WindowTimer* timer = findTimer(owner, id);
    if (!timer) return false;
    timer->stop();
    timer->deleteLater();  // the kill may come from inside the timer's own callback
    return true;
}

bool isTimerActive(QWidget* owner, uint32_t id) { return findTimer(owner, id) != nullptr; }

bool fireTimer(QWidget* owner, uint32_t id) {
    WindowTimer* timer = findTimer(owner, id);
    if (!timer) return false;
    timer->fire();
    return true;
}

}  // namespace sw::win

#include "timer.moc"
