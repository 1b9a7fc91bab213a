// The recognition box's window: shows the box's canvas and passes mouse input to it.
#pragma once

#include <QWidget>

namespace sw::quillbox {

class QuillboxBox;

class QuillboxWidget final : public QWidget {
    Q_OBJECT
public:
    // The box is borrowed and outlives the widget.
    QuillboxWidget(QuillboxBox& box, QWidget* parent);
    ~QuillboxWidget() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // A double click counts as a press of its button (the box has no double-click action).
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void press(QMouseEvent* event);
    QuillboxBox& m_box;
};

}  // namespace sw::quillbox
