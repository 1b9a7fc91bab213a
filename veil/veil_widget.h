// The overlay's window: a transparent child widget that shows the ink of an InkLayer and takes pen input.
//
// The widget paints no background, so whatever lies beneath (the host's canvas) shows through everywhere but
// the ink. The visible ink is kept in a layer image the size of the widget; a pen move draws only the new
// segment into it and repaints only that segment's rectangle, so the cost of a move does not grow with the
// amount of ink. The image is rebuilt when the widget is resized or the point set is replaced by a very
// different one; a replace that cuts strokes out or adds a few redraws only their rectangles; a scroll moves
// the image and draws only the uncovered strips. With InkDisplay off the ink is shown faded rather than
// hidden (the teacher working on one word keeps the rest of the board in view); the image is the same, so
// switching modes costs nothing.
//
// Input, by the layer's settings:
//   MousePassThrough: every mouse message is raised as MouseForward (Windows message number, MK_ key-state
//                     flags, LParam = makeLParam(x, y) in client pixels); no ink, no lasso.
//   InkInput false:   nothing is taken.
//   DrawKind 2:       the left button draws a lasso; on release, with LassoSelect, the strokes it encloses
//   are
//                     raised as PatternSelected.
//   otherwise:        the left button writes ink; a press and release without movement writes nothing.
#pragma once

#include <QImage>
#include <QPointer>
#include <QPolygon>
#include <QWidget>

#include "veil/ink_layer.h"

class QPainter;

namespace sw::veil {

class VeilWidget final : public QWidget, public InkView {
    Q_OBJECT
public:
    // The layer is borrowed and must outlive the widget (or the widget must be deleted first).
    VeilWidget(InkLayer& layer, QWidget* parent);
    ~VeilWidget() override;

    void inkReset() override;
    void viewScrolled(const QPoint& delta) override;
    void displayChanged() override { update(); }
    void inkChanged(std::span<const QRect> documentRects) override;

    // Repaints the client rectangle at once: what lies beneath, then the ink. Inside a paint pass of the
    // window (a host asking from its own paint handler) it does nothing, because the pass paints the overlay
    // over what it repaints anyway; asking again there would repaint forever.
    void redrawRect(const QRect& clientRect);

    // Draws the ink of the client rectangle `clip` into `painter` (client coordinates), without the cache.
    void paintInk(QPainter& painter, const QRect& clip) const;

    bool isCapturing() const noexcept { return m_capture != Capture::None; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum class Capture { None, Ink, Lasso };

    bool forward(QMouseEvent* event, uint32_t msg);
    QPoint documentPoint(const QPoint& client) const noexcept { return client + m_layer.scroll(); }
    void ensureCache();
    void drawSegment(const QPoint& fromClient, const QPoint& toClient);
    void finishInk(const QPoint& client);
    void finishLasso();
    QRect lassoClientBounds() const;
    void paintLasso(QPainter& painter) const;

    InkLayer& m_layer;
    QImage m_cache;
    bool m_cacheValid = false;
    Capture m_capture = Capture::None;
    std::vector<VeilPoint> m_stroke;  // the stroke being written, document coordinates
    QPolygon m_lasso;                 // the lasso being drawn, document coordinates
};

// The child window of `parent` under `clientPoint` (parent's client coordinates): the topmost visible child
// widget that is not a window of its own and contains the point, skipping `overlay` and any child that merely
// wraps it (an ancestor of the overlay with the overlay's geometry). Null when there is none.
QWidget* childBelowPoint(QWidget* parent, const QPoint& clientPoint, const QWidget* overlay);

// Windows mouse message number and MK_ key-state flags of a Qt mouse event.
uint32_t mouseMessage(const QMouseEvent& event, bool doubleClick) noexcept;
uint32_t keyStateFlags(const QMouseEvent& event) noexcept;

}  // namespace sw::veil
