// The stored settings of the board's hosted controls: text resources of the board (resources/*.bag) in the
// property bag's `name = value` form, loaded through each control's own property exchange.
#pragma once

#include <QSize>
#include <string_view>

#include "platform/automation/property_bag.h"

namespace sw::board {

std::string_view quillboxSettingsText() noexcept;
std::string_view veilSettingsText() noexcept;

// The control size stored as _ExtentX/_ExtentY (0.01 mm) in pixels; `fallback` when absent or unreadable.
QSize storedExtent(const PropertyBag& bag, QSize fallback);

}  // namespace sw::board
