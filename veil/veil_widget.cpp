#include "veil/veil_widget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPolygonF>
#include <cstdlib>

#include "contracts/overlay.h"
#include "platform/window/window.h"

namespace sw::veil {
namespace {

// A plain 0x00BBGGRR colour; the high byte is ignored.
QColor rgbColor(uint32_t color) { return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); }

QPen inkPen(const VeilPoint& p) {
    return QPen(rgbColor(static_cast<uint32_t>(p.Color)), drawWidth(p.Width), Qt::SolidLine, Qt::RoundCap,
                Qt::RoundJoin);
}

QPointF clientPointF(const VeilPoint& p, const QPoint& scroll) {
    return QPointF(static_cast<double>(p.X) - scroll.x(), static_cast<double>(p.Y) - scroll.y());
}

// Draws points[first, first + count) as one stroke; a stroke of one point is a round dot.
void drawStroke(QPainter& painter, const VeilPoint* points, int32_t count, bool uniform,
                const QPoint& scroll) {
    if (count == 1) {
        painter.setPen(inkPen(points[0]));
        painter.drawPoint(clientPointF(points[0], scroll));
        return;
    }
    if (uniform) {
        QPolygonF line;
        line.reserve(count);
        for (int32_t i = 0; i < count; ++i) line.append(clientPointF(points[i], scroll));
        painter.setPen(inkPen(points[0]));
        painter.drawPolyline(line);
        return;
    }
    // Mixed widths or colours: each segment in the pen of its starting point.
    for (int32_t i = 1; i < count; ++i) {
        painter.setPen(inkPen(points[i - 1]));
        painter.drawLine(clientPointF(points[i - 1], scroll), clientPointF(points[i], scroll));
    }
}

QRect segmentRect(const QPoint& a, const QPoint& b, int reach) {
    return QRect(a, b).normalized().adjusted(-reach, -reach, reach, reach);
}

bool paintPassActive(QWidget* window) {
    if (window->testAttribute(Qt::WA_WState_InPaintEvent)) return true;
    const QList<QWidget*> widgets = window->findChildren<QWidget*>();
    for (QWidget* w : widgets)
        if (w->testAttribute(Qt::WA_WState_InPaintEvent)) return true;
    return false;
}

constexpr int kLassoWidth = 2;
// The opacity of ink while InkDisplay is off: still there to see, plainly not the ink being worked on.
constexpr qreal kFadedInkOpacity = 0.35;
constexpr int kLassoReach = kLassoWidth + 1;

}  // namespace

uint32_t mouseMessage(const QMouseEvent& event, bool doubleClick) noexcept {
    const auto type = event.type();
    if (type == QEvent::MouseMove) return win::WM_MOUSEMOVE;
    const bool down = type == QEvent::MouseButtonPress;
    const bool up = type == QEvent::MouseButtonRelease;
    if (!down && !up && !doubleClick) return 0;
    switch (event.button()) {
        case Qt::LeftButton:
            return doubleClick ? win::WM_LBUTTONDBLCLK : down ? win::WM_LBUTTONDOWN : win::WM_LBUTTONUP;
        case Qt::RightButton:
            return doubleClick ? win::WM_RBUTTONDBLCLK : down ? win::WM_RBUTTONDOWN : win::WM_RBUTTONUP;
        case Qt::MiddleButton:
            return doubleClick ? win::WM_MBUTTONDBLCLK : down ? win::WM_MBUTTONDOWN : win::WM_MBUTTONUP;
        default:
            return 0;  // other buttons have no message of their own
    }
}

uint32_t keyStateFlags(const QMouseEvent& event) noexcept {
    uint32_t flags = 0;
    const Qt::MouseButtons buttons = event.buttons();
    if (buttons & Qt::LeftButton) flags |= win::MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= win::MK_RBUTTON;
    if (buttons & Qt::MiddleButton) flags |= win::MK_MBUTTON;
    if (event.modifiers() & Qt::ShiftModifier) flags |= win::MK_SHIFT;
    if (event.modifiers() & Qt::ControlModifier) flags |= win::MK_CONTROL;
    return flags;
}

QWidget* childBelowPoint(QWidget* parent, const QPoint& clientPoint, const QWidget* overlay) {
    if (!parent) return nullptr;
    const QObjectList& children = parent->children();
    // Children are kept in stacking order, the topmost last.
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        auto* child = qobject_cast<QWidget*>(*it);
        if (!child || child->isWindow() || !child->isVisibleTo(parent)) continue;
        if (!child->geometry().contains(clientPoint)) continue;
        if (overlay &&
            (child == overlay || (child->isAncestorOf(overlay) && QRect(overlay->mapTo(child, QPoint(0, 0)),
                                                                        overlay->size()) == child->rect())))
            continue;
        return child;
    }
    return nullptr;
}

VeilWidget::VeilWidget(InkLayer& layer, QWidget* parent) : QWidget(parent), m_layer(layer) {
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    setMouseTracking(true);  // moves without a button are forwarded in pass-through
    m_layer.setView(this);
}

VeilWidget::~VeilWidget() { m_layer.setView(nullptr); }

void VeilWidget::inkReset() {
    m_cacheValid = false;
    update();
}

void VeilWidget::inkChanged(std::span<const QRect> documentRects) {
    const QPoint scroll = m_layer.scroll();
    QPainter painter;
    for (const QRect& documentRect : documentRects) {
        const QRect area = documentRect.translated(-scroll).intersected(rect());
        if (area.isEmpty()) continue;
        if (m_cacheValid) {
            if (!painter.isActive()) {
                painter.begin(&m_cache);
                painter.setRenderHint(QPainter::Antialiasing);
            }
            painter.setClipRect(area);
            painter.setCompositionMode(QPainter::CompositionMode_Clear);
            painter.fillRect(area, Qt::transparent);
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            paintInk(painter, area);
        }
        update(area);
    }
}

void VeilWidget::viewScrolled(const QPoint& delta) {
    if (!m_cacheValid || std::abs(delta.x()) >= width() || std::abs(delta.y()) >= height()) {
        inkReset();
        return;
    }
    QImage moved(m_cache.size(), m_cache.format());
    moved.setDevicePixelRatio(m_cache.devicePixelRatio());
    moved.fill(Qt::transparent);
    {
        QPainter painter(&moved);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(-delta, m_cache);
        const QRegion uncovered = QRegion(rect()) - QRegion(rect().translated(-delta));
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setClipRegion(uncovered);
        paintInk(painter, uncovered.boundingRect());
    }
    m_cache = std::move(moved);
    update();
}

void VeilWidget::redrawRect(const QRect& clientRect) {
    if (!isVisible() || paintPassActive(window())) return;
    const QRect area = clientRect.intersected(rect());
    if (!area.isEmpty()) repaint(area);
}

void VeilWidget::paintInk(QPainter& painter, const QRect& clip) const {
    const QPoint scroll = m_layer.scroll();
    const QRect documentClip = clip.translated(scroll);
    const std::vector<VeilPoint>& points = m_layer.points();
    for (const StrokeSpan& s : m_layer.strokes()) {
        if (!s.bounds.intersects(documentClip)) continue;
        drawStroke(painter, points.data() + s.first, s.count, s.uniform, scroll);
    }
    if (m_capture == Capture::Ink && m_stroke.size() >= 2)
        drawStroke(painter, m_stroke.data(), static_cast<int32_t>(m_stroke.size()), true, scroll);
}

void VeilWidget::ensureCache() {
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    if (m_cacheValid && m_cache.size() == pixels) return;
    if (m_cache.size() != pixels) m_cache = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    m_cache.setDevicePixelRatio(ratio);
    m_cache.fill(Qt::transparent);
    if (!m_cache.isNull()) {
        QPainter painter(&m_cache);
        painter.setRenderHint(QPainter::Antialiasing);
        paintInk(painter, rect());
    }
    m_cacheValid = true;
}

void VeilWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (!m_layer.settings().inkDisplay) painter.setOpacity(kFadedInkOpacity);
    ensureCache();
    const qreal ratio = m_cache.devicePixelRatio();
    for (const QRect& r : event->region())
        painter.drawImage(r, m_cache, QRectF(r.topLeft() * ratio, r.size() * ratio));
    painter.setOpacity(1);
    if (m_capture == Capture::Lasso) paintLasso(painter);
}

void VeilWidget::resizeEvent(QResizeEvent*) { m_cacheValid = false; }

void VeilWidget::paintLasso(QPainter& painter) const {
    if (m_lasso.size() < 2) return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QPolygon client = m_lasso.translated(-m_layer.scroll());
    const QColor color = rgbColor(m_layer.settings().penColor);
    painter.setPen(QPen(color, kLassoWidth, Qt::DashLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(client);
    // The closing edge shows what a release would enclose.
    painter.setPen(QPen(color, 1, Qt::DotLine));
    painter.drawLine(client.last(), client.first());
}

QRect VeilWidget::lassoClientBounds() const {
    return m_lasso.boundingRect()
        .translated(-m_layer.scroll())
        .adjusted(-kLassoReach, -kLassoReach, kLassoReach, kLassoReach);
}

bool VeilWidget::forward(QMouseEvent* event, uint32_t msg) {
    if (!m_layer.settings().mousePassThrough) return false;
    event->accept();
    if (m_capture != Capture::None) {
        // Pass-through was switched on while the pen was down: what was being drawn is dropped.
        update(m_capture == Capture::Lasso ? lassoClientBounds() : rect());
        m_capture = Capture::None;
        m_stroke.clear();
        m_lasso.clear();
        m_cacheValid = false;
    }
    if (msg == 0) return true;
    const QPoint p = event->position().toPoint();
    if (VeilListener* listener = m_layer.listener())
        listener->mouseForward(msg, keyStateFlags(*event), win::makeLParam(p.x(), p.y()));
    return true;
}

void VeilWidget::mousePressEvent(QMouseEvent* event) {
    if (forward(event, mouseMessage(*event, false))) return;
    event->accept();
    const VeilSettings& settings = m_layer.settings();
    if (event->button() != Qt::LeftButton || m_capture != Capture::None || !settings.inkInput) return;
    const QPoint doc = documentPoint(event->position().toPoint());
    if (settings.drawKind == overlay::kDrawLasso) {
        m_capture = Capture::Lasso;
        m_lasso = QPolygon{doc};
    } else {
        m_capture = Capture::Ink;
        m_stroke.assign(1, VeilPoint{doc.x(), doc.y(), kStateMove, settings.penWidth,
                                     static_cast<int32_t>(settings.penColor)});
    }
}

void VeilWidget::drawSegment(const QPoint& fromClient, const QPoint& toClient) {
    const VeilPoint& pen = m_stroke.front();
    if (m_cacheValid) {
        QPainter painter(&m_cache);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(inkPen(pen));
        painter.drawLine(fromClient, toClient);
    }
    update(segmentRect(fromClient, toClient, inkReach(pen.Width)));
}

void VeilWidget::mouseMoveEvent(QMouseEvent* event) {
    if (forward(event, win::WM_MOUSEMOVE)) return;
    event->accept();
    const QPoint client = event->position().toPoint();
    const QPoint doc = documentPoint(client);
    const QPoint scroll = m_layer.scroll();
    if (m_capture == Capture::Ink) {
        VeilPoint next = m_stroke.back();
        if (next.X == doc.x() && next.Y == doc.y()) return;
        const QPoint previous(next.X - scroll.x(), next.Y - scroll.y());
        next.X = doc.x();
        next.Y = doc.y();
        m_stroke.push_back(next);
        drawSegment(previous, client);
    } else if (m_capture == Capture::Lasso) {
        if (m_lasso.last() == doc) return;
        const QPoint first = m_lasso.first() - scroll;
        const QPoint previous = m_lasso.last() - scroll;
        m_lasso.append(doc);
        // The new edge and both closing edges, the old one to erase and the new one to draw.
        update(segmentRect(previous, client, kLassoReach) | segmentRect(first, previous, kLassoReach) |
               segmentRect(first, client, kLassoReach));
    }
}

void VeilWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (forward(event, mouseMessage(*event, false))) return;
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    if (m_capture == Capture::Ink) {
        finishInk(event->position().toPoint());
    } else if (m_capture == Capture::Lasso) {
        const QPoint doc = documentPoint(event->position().toPoint());
        if (m_lasso.last() != doc) m_lasso.append(doc);
        finishLasso();
    }
}

void VeilWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt replaces the second press of a double click by this event.
    if (forward(event, mouseMessage(*event, true))) return;
    mousePressEvent(event);
}

void VeilWidget::finishInk(const QPoint& client) {
    const QPoint doc = documentPoint(client);
    if (m_stroke.back().X != doc.x() || m_stroke.back().Y != doc.y()) {
        const QPoint previous = QPoint(m_stroke.back().X, m_stroke.back().Y) - m_layer.scroll();
        VeilPoint last = m_stroke.back();
        last.X = doc.x();
        last.Y = doc.y();
        m_stroke.push_back(last);
        drawSegment(previous, client);
    }
    std::vector<VeilPoint> stroke = std::move(m_stroke);
    m_stroke.clear();
    m_capture = Capture::None;
    // A tap without movement writes nothing. The segments are in the cache already.
    if (stroke.size() >= 2) m_layer.appendStroke(std::move(stroke));
}

void VeilWidget::finishLasso() {
    update(lassoClientBounds());
    QPolygon lasso = std::move(m_lasso);
    m_lasso.clear();
    m_capture = Capture::None;
    if (m_layer.settings().lassoSelect) m_layer.selectWithLasso(lasso);
    // The listener may have deleted this widget: nothing after this line.
}

}  // namespace sw::veil
