// Popup menus that return the chosen identifier.
#pragma once

#include <QPoint>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace sw::win {

struct MenuItem {
    uint32_t id = 0;  // returned when chosen; 0 with an empty text makes a separator
    std::u16string text;
    bool checked = false;
    bool enabled = true;
};

// Shows the menu at a screen point and returns the chosen item's id, or 0 when the menu is dismissed.
// When a hook is installed (tests), the hook receives the items and answers instead of a real menu.
uint32_t trackPopupMenu(const std::vector<MenuItem>& items, QPoint screenPos, QWidget* owner);
void setPopupMenuHook(std::function<uint32_t(const std::vector<MenuItem>&, QPoint)> hook);

}  // namespace sw::win
