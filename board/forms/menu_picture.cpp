#include "board/forms/menu_picture.h"

#include <QMouseEvent>

#include "board/forms/pen_event.h"
#include "board/layout.h"
#include "platform/gdi/color.h"

namespace sw::board {

MenuPicture::MenuPicture(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, gdi::toQColor(kStripColor));
    setPalette(p);
    resize(width(), kStripHeight);
}

void MenuPicture::mousePressEvent(QMouseEvent* event) {
    const int button = buttonCode(event->button());
    if (button && onMouseDown) onMouseDown(button, event->position());
}

}  // namespace sw::board
