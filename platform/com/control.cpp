#include "platform/com/control.h"

#include <QImage>

#include "platform/com/stock_ui.h"

namespace sw {

void Control::aboutBox() noexcept {
    try {
        const QImage image = icon();
        com::showAboutBox(window(), image.isNull() ? nullptr : &image, classInfo().displayName,
                          classInfo().version);
    } catch (...) {
        // Showing the box is all it does; a failure leaves nothing to undo.
    }
}

QImage Control::icon() const noexcept { return {}; }

}  // namespace sw
