// Painting of the clean copy on the canvas.
#include "board/forms/main_picture.h"

#include <QPaintEvent>
#include <QPainter>

#include "board/controls/veil_proxy.h"
#include "board/layout.h"
#include "platform/gdi/color.h"

namespace sw::board {

namespace {

// The canvas's own face when no command-line face is given: the board's Mincho.
const QString kDefaultFace = QString::fromUtf16(u"ＭＳ 明朝");

}  // namespace

MainPicture::MainPicture(BoardState& state, QWidget* parent)
    : QWidget(parent), m_state(state), m_painter(kDefaultFace) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MainPicture::setBackColor(uint32_t oleColor) {
    m_backColor = oleColor;
    m_valid = false;
    update();
}

void MainPicture::setFontFace(const QString& face) {
    m_painter.setFace(face);
    m_valid = false;
    update();
}

QPointF MainPicture::documentOrigin() const {
    if (!m_veil || !m_veil->loaded()) return QPointF(kOverlayInset, kOverlayInset);
    const QRect overlay = m_veil->geometry();
    return documentToCanvas(0, 0, m_veil->scrollX(), m_veil->scrollY(), overlay.left(), overlay.top());
}

void MainPicture::renderCleanCopy(QImage& image, QPointF origin) {
    image.fill(gdi::toQColor(m_backColor));
    QPainter painter(&image);
    m_painter.paint(painter, m_state.table, origin);
}

void MainPicture::ensureImage() {
    const qreal ratio = devicePixelRatioF();
    const CharacterTable& table = m_state.table;
    const CacheKey key{table.version(),
                       table.rewriteVersion(),
                       table.upperBound(),
                       documentOrigin().toPoint(),
                       size(),
                       ratio};
    if (m_valid && key == m_key) return;
    const bool sameGround = m_valid && key.rewriteVersion == m_key.rewriteVersion && key.size == m_key.size &&
                            key.ratio == m_key.ratio && !m_image.isNull();
    if (sameGround && key.origin == m_key.origin && key.upperBound > m_key.upperBound) {
        // Characters added at the end are drawn over the picture, as a full paint draws them last.
        QPainter painter(&m_image);
        m_painter.paint(painter, m_state.table, key.origin, m_key.upperBound + 1);
    } else {
        // Anything else draws the whole picture again. (Moving the old picture on a scroll would leave large
        // glyphs, which are filled as outlines, a shade different at their edges from a fresh paint.)
        if (m_image.size() != size() * ratio) m_image = QImage(size() * ratio, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(ratio);
        if (!m_image.isNull()) renderCleanCopy(m_image, key.origin);
        ++m_builds;
    }
    m_key = key;
    m_valid = true;
}

void MainPicture::paintEvent(QPaintEvent* event) {
    ensureImage();
    QPainter painter(this);
    const QRect dirty = event->rect();
    const qreal ratio = m_image.devicePixelRatio();
    painter.drawImage(dirty, m_image, QRectF(dirty.topLeft() * ratio, dirty.size() * ratio));

    // The look-up path being drawn, open at its ends.
    if (m_state.LookupCount >= 2) {
        painter.setPen(QPen(gdi::toQColor(kLookupPathColor), 2));
        const QPointF origin = documentOrigin();
        const auto& path = m_state.LookupPath;
        for (int32_t j = 1; j < m_state.LookupCount && j < static_cast<int32_t>(path.size()); ++j)
            painter.drawLine(origin + QPointF(path[j - 1].X, path[j - 1].Y),
                             origin + QPointF(path[j].X, path[j].Y));
    }
    painter.end();

    // The overlay repaints its ink on top (inside this paint pass Qt paints it anyway).
    if (m_veil && m_veil->loaded()) {
        const QRect overlay = m_veil->geometry();
        m_veil->redrawRect(0, 0, overlay.width(), overlay.height());
    }
}

}  // namespace sw::board
