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
    const CacheKey key{m_state.table.version(), documentOrigin(), size(), ratio};
    if (m_valid && key == m_key) return;
    if (m_image.size() != size() * ratio) m_image = QImage(size() * ratio, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    if (!m_image.isNull()) renderCleanCopy(m_image, key.origin);
    m_key = key;
    m_valid = true;
    ++m_builds;
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
