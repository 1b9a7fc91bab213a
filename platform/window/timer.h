// Window timers with a caller-chosen id: setting an id again restarts it; each expiry calls the callback with
// the id on the user-interface thread until killed. Timers of a deleted widget stop.
#pragma once

#include <cstdint>
#include <functional>

class QWidget;

namespace sw::win {

// Returns the id, or 0 on failure (null widget, id 0, interval < 0, empty callback). Intervals below 10 ms
// run at 10 ms.
uint32_t setTimer(QWidget* owner, uint32_t id, int intervalMs, std::function<void(uint32_t id)> callback);
bool killTimer(QWidget* owner, uint32_t id);
bool isTimerActive(QWidget* owner, uint32_t id);
// Runs the callback of an active timer now, synchronously, as an expiry would (the timer keeps running
// unless the callback kills it); false, doing nothing, when `owner` has no active timer `id`.
bool fireTimer(QWidget* owner, uint32_t id);

}  // namespace sw::win
