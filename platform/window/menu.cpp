#include "platform/window/menu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <utility>

namespace sw::win {
namespace {

std::function<uint32_t(const std::vector<MenuItem>&, QPoint)>& hook() {
    static std::function<uint32_t(const std::vector<MenuItem>&, QPoint)> h;
    return h;
}

}  // namespace

void setPopupMenuHook(std::function<uint32_t(const std::vector<MenuItem>&, QPoint)> h) {
    hook() = std::move(h);
}

uint32_t trackPopupMenu(const std::vector<MenuItem>& items, QPoint screenPos, QWidget* owner) {
    if (hook()) {
        // A copy, so that the hook may replace itself while answering.
        const auto answer = hook();
        return answer(items, screenPos);
    }
    // No parent: the owner may be deleted while the menu runs its own event loop.
    QMenu menu;
    if (owner) menu.setFont(owner->font());
    for (const MenuItem& item : items) {
        if (item.id == 0 && item.text.empty()) {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(QString::fromStdU16String(item.text));
        action->setData(item.id);
        action->setCheckable(item.checked);
        action->setChecked(item.checked);
        action->setEnabled(item.enabled);
    }
    const QAction* chosen = menu.exec(screenPos);
    return chosen ? chosen->data().toUInt() : 0;
}

}  // namespace sw::win
