#include "quillbox/quillbox_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include "quillbox/quillbox_box.h"

namespace sw::quillbox {

QuillboxWidget::QuillboxWidget(QuillboxBox& box, QWidget* parent) : QWidget(parent), m_box(box) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

QuillboxWidget::~QuillboxWidget() { m_box.setWindow(nullptr); }

void QuillboxWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    m_box.paintWindow(painter, event->rect());
}

void QuillboxWidget::resizeEvent(QResizeEvent*) { m_box.setClientSize(size()); }

// Each handler accepts the event before passing it on: the box may be destroyed by what it does.
void QuillboxWidget::press(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    event->accept();
    switch (event->button()) {
        case Qt::LeftButton:
            if (!m_box.penDown()) m_box.leftDown(p);
            break;
        case Qt::RightButton:
            m_box.rightDown(p);
            break;
        case Qt::MiddleButton:
            m_box.middleDown(p);
            break;
        default:
            break;
    }
}

void QuillboxWidget::mousePressEvent(QMouseEvent* event) { press(event); }
void QuillboxWidget::mouseDoubleClickEvent(QMouseEvent* event) { press(event); }

void QuillboxWidget::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    m_box.mouseMove(event->position().toPoint());
}

void QuillboxWidget::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) m_box.leftUp(event->position().toPoint());
}

}  // namespace sw::quillbox
