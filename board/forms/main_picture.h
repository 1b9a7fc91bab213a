// MainPicture, the canvas: the board surface under the overlay that shows the clean copy.
//
// The canvas keeps the clean copy it painted in an image and repaints from it. Every pen move on the
// transparent overlay makes Qt repaint the canvas under the move's dirty rectangle, so painting must not
// get slower as the board fills: the image is redrawn only when an entry of the character table, the
// overlay's scroll offsets or position, the canvas size, its background or its font face change (characters
// added at the end are drawn over it), and a repaint copies the dirty rectangle from it. The pixels are
// exactly those of painting the clean copy afresh.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "board/board_state.h"
#include "board/font_fit.h"

namespace sw::board {

class VeilProxy;

class MainPicture final : public QWidget {
    Q_OBJECT
public:
    MainPicture(BoardState& state, QWidget* parent);

    void setOverlay(VeilProxy* veil) noexcept { m_veil = veil; }
    uint32_t backColor() const noexcept { return m_backColor; }
    void setBackColor(uint32_t oleColor);
    QString fontFace() const { return m_painter.face(); }
    void setFontFace(const QString& face);

    // The clean copy as the cached image holds it: the background, then every drawable character, with the
    // document origin at `origin` (canvas pixels). Narrows the boxes as painting does.
    void renderCleanCopy(QImage& image, QPointF origin);
    // Where document (0, 0) lies on the canvas now: the overlay's origin less its scroll offsets.
    QPointF documentOrigin() const;
    // Full redraws of the image (a scroll, a resize, a font or background change, a changed entry); added
    // characters are drawn over it.
    int imageBuilds() const noexcept { return m_builds; }

    // Pen input (lookup.cpp): Button (1 left, 2 right, 4 middle; for a move the buttons held), Shift (1
    // shift, 2 control, 4 alt) and the canvas point.
    using PenHandler = std::function<void(int button, int shift, QPointF point)>;
    PenHandler onMouseDown;
    PenHandler onMouseMove;
    PenHandler onMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct CacheKey {
        uint64_t version = 0;
        uint64_t rewriteVersion = 0;
        int32_t upperBound = 0;
        QPoint origin;
        QSize size;
        qreal ratio = 1;
        bool operator==(const CacheKey&) const = default;
    };
    void ensureImage();

    BoardState& m_state;
    VeilProxy* m_veil = nullptr;
    CleanCopyPainter m_painter;
    uint32_t m_backColor = 0;
    QImage m_image;
    CacheKey m_key;
    bool m_valid = false;
    int m_builds = 0;
};

}  // namespace sw::board
