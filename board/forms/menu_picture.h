// MenuPicture, the menu strip along the board's bottom edge: a plain light-yellow strip whose left-button
// press opens the tool palette.
#pragma once

#include <QWidget>
#include <functional>

namespace sw::board {

class MenuPicture final : public QWidget {
    Q_OBJECT
public:
    explicit MenuPicture(QWidget* parent);
    // Called with Button (1 left, 2 right, 4 middle) and the strip's client point.
    std::function<void(int button, QPointF point)> onMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace sw::board
