#include "board/forms/menu_picture.h"

#include <QMouseEvent>

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
    int button = 0;
    switch (event->button()) {
        case Qt::LeftButton:
            button = 1;
            break;
        case Qt::RightButton:
            button = 2;
            break;
        case Qt::MiddleButton:
            button = 4;
            break;
        default:
            break;
    }
    if (button && onMouseDown) onMouseDown(button, event->position());
}

}  // namespace sw::board
