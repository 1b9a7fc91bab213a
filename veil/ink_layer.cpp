#include "veil/ink_layer.h"

#include <QPolygonF>
#include <algorithm>
#include <cstring>

namespace sw::veil {
namespace {

// A replace that changes more strokes than this redraws all ink.
constexpr size_t kMaxChangedRects = 64;

// Rectangles are kept within +-kCoordLimit so that growing and moving them never overflows an int.
constexpr int64_t kCoordLimit = int64_t{1} << 28;

int clampCoord(int64_t v) noexcept { return static_cast<int>(std::clamp(v, -kCoordLimit, kCoordLimit)); }

QRect reachRect(int64_t left, int64_t top, int64_t right, int64_t bottom, int reach) noexcept {
    return QRect(QPoint(clampCoord(left - reach), clampCoord(top - reach)),
                 QPoint(clampCoord(right + reach), clampCoord(bottom + reach)));
}

bool isFirst(const VeilPoint& p) noexcept { return p.State == kStateFirst; }
bool isLast(const VeilPoint& p) noexcept { return p.State == kStateLast; }

StrokeSpan spanOf(std::span<const VeilPoint> points, size_t first, size_t count) {
    const VeilPoint& head = points[first];
    int64_t left = head.X, right = head.X, top = head.Y, bottom = head.Y;
    int reach = inkReach(head.Width);
    bool uniform = true;
    for (size_t i = first + 1; i < first + count; ++i) {
        const VeilPoint& p = points[i];
        left = std::min<int64_t>(left, p.X);
        right = std::max<int64_t>(right, p.X);
        top = std::min<int64_t>(top, p.Y);
        bottom = std::max<int64_t>(bottom, p.Y);
        if (p.Width != head.Width || p.Color != head.Color) {
            uniform = false;
            reach = std::max(reach, inkReach(p.Width));
        }
    }
    return StrokeSpan{static_cast<int32_t>(first), static_cast<int32_t>(count),
                      reachRect(left, top, right, bottom, reach), uniform};
}

}  // namespace

int drawWidth(int width) noexcept { return std::clamp<int>(width, kMinPenWidth, kMaxPenWidth); }

int inkReach(int width) noexcept { return (drawWidth(width) + 1) / 2 + 1; }

std::vector<StrokeSpan> splitStrokes(std::span<const VeilPoint> points) {
    std::vector<StrokeSpan> strokes;
    size_t start = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        // A State 2 point starts a new stroke even when the previous one was never finished.
        if (i > start && isFirst(points[i])) {
            strokes.push_back(spanOf(points, start, i - start));
            start = i;
        }
        if (isLast(points[i])) {
            strokes.push_back(spanOf(points, start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < points.size()) strokes.push_back(spanOf(points, start, points.size() - start));
    return strokes;
}

std::vector<size_t> strokesInLasso(std::span<const VeilPoint> points, std::span<const StrokeSpan> strokes,
                                   const QPolygon& lasso) {
    std::vector<size_t> selected;
    if (lasso.size() < 3) return selected;
    const QPolygonF polygon(lasso);
    const QRect lassoBounds = lasso.boundingRect();
    for (size_t s = 0; s < strokes.size(); ++s) {
        const StrokeSpan& stroke = strokes[s];
        if (!stroke.bounds.intersects(lassoBounds)) continue;
        int64_t inside = 0;
        for (int32_t i = stroke.first; i < stroke.first + stroke.count; ++i) {
            const VeilPoint& p = points[static_cast<size_t>(i)];
            if (polygon.containsPoint(QPointF(p.X, p.Y), Qt::WindingFill)) ++inside;
        }
        if (inside * kLassoDenominator >= int64_t{stroke.count} * kLassoNumerator) selected.push_back(s);
    }
    return selected;
}

bool changedAreas(std::span<const VeilPoint> oldPoints, std::span<const StrokeSpan> oldStrokes,
                  std::span<const VeilPoint> newPoints, std::span<const StrokeSpan> newStrokes,
                  size_t maxRects, std::vector<QRect>* areas) {
    const auto same = [&](const StrokeSpan& a, const StrokeSpan& b) {
        return a.count == b.count && std::memcmp(oldPoints.data() + a.first, newPoints.data() + b.first,
                                                 static_cast<size_t>(a.count) * sizeof(VeilPoint)) == 0;
    };
    areas->clear();
    size_t j = 0;
    for (size_t i = 0; i < oldStrokes.size(); ++i) {
        if (j < newStrokes.size() && same(oldStrokes[i], newStrokes[j])) {
            ++j;
            continue;
        }
        if (areas->size() == maxRects) return false;
        areas->push_back(oldStrokes[i].bounds);
    }
    for (; j < newStrokes.size(); ++j) {
        if (areas->size() == maxRects) return false;
        areas->push_back(newStrokes[j].bounds);
    }
    return true;
}

InkLayer::~InkLayer() {
    if (m_handle != kNullHandle) unregisterBlock(m_handle, Owner::Veil);
}

void InkLayer::reregister() noexcept {
    if (m_handle != kNullHandle) unregisterBlock(m_handle, Owner::Veil);
    m_handle = kNullHandle;
    if (!m_points.empty())
        m_handle = registerBlock(m_points.data(), m_points.size() * sizeof(VeilPoint), Owner::Veil,
                                 BlockKind::StrokeData);
}

void InkLayer::notifyArea(const QRect& documentArea) {
    if (!documentArea.isValid() || !m_listener) return;
    m_listener->areaChanged(toClient(documentArea));
}

void InkLayer::setInkDisplay(bool display) {
    if (m_settings.inkDisplay == display) return;
    m_settings.inkDisplay = display;
    if (m_view) m_view->displayChanged();
    notifyArea(m_bounds);
}

void InkLayer::scrollTo(int32_t x, int32_t y) {
    const QPoint next(std::clamp(x, -kScrollLimit, kScrollLimit), std::clamp(y, -kScrollLimit, kScrollLimit));
    if (next == m_scroll) return;
    const QRect before = toClient(m_bounds);
    const QPoint delta = next - m_scroll;
    m_scroll = next;
    if (m_view) m_view->viewScrolled(delta);
    const QRect area = before | toClient(m_bounds);
    if (area.isValid() && m_listener) m_listener->areaChanged(area);
}

bool InkLayer::setPointData(Handle data, int32_t count) {
    if (count < 0) return false;
    std::vector<VeilPoint> copy;
    if (count > 0) {
        const VeilPoint* source = resolveStrokeData(data, count);
        if (!source) return false;
        // Copied before anything changes: `data` may be this layer's own block or an event's array.
        copy.assign(source, source + count);
    }
    replacePoints(std::move(copy));
    return true;
}

void InkLayer::replacePoints(std::vector<VeilPoint> points) {
    std::vector<StrokeSpan> strokes = splitStrokes(points);
    std::vector<QRect> areas;
    const bool partial = changedAreas(m_points, m_strokes, points, strokes, kMaxChangedRects, &areas);
    const QRect oldBounds = m_bounds;
    m_points = std::move(points);
    m_strokes = std::move(strokes);
    m_bounds = QRect();
    for (const StrokeSpan& s : m_strokes) m_bounds |= s.bounds;
    reregister();
    if (!partial) {
        if (m_view) m_view->inkReset();
        notifyArea(oldBounds | m_bounds);
        return;
    }
    if (areas.empty()) return;  // the same ink again
    if (m_view) m_view->inkChanged(areas);
    QRect changed;
    for (const QRect& r : areas) changed |= r;
    notifyArea(changed);
}

void InkLayer::appendStroke(std::vector<VeilPoint> stroke) {
    if (stroke.size() < 2) return;
    for (VeilPoint& p : stroke) p.State = kStateMove;
    stroke.front().State = kStateFirst;
    stroke.back().State = kStateLast;
    const size_t first = m_points.size();
    m_points.insert(m_points.end(), stroke.begin(), stroke.end());
    const StrokeSpan span = spanOf(m_points, first, stroke.size());
    m_strokes.push_back(span);
    m_bounds |= span.bounds;
    reregister();
    // The view drew the stroke while it was written; nothing to reset.
    notifyArea(span.bounds);
}

int32_t InkLayer::selectWithLasso(const QPolygon& lasso) {
    const std::vector<size_t> selected = strokesInLasso(m_points, m_strokes, lasso);
    int64_t total = 0;
    for (size_t s : selected) total += m_strokes[s].count;
    if (total == 0 || !m_listener) return 0;
    Allocation<VeilPoint> block = allocateStrokeData(Owner::Veil, total);
    if (!block) return 0;
    VeilPoint* out = block.data;
    for (size_t s : selected) {
        const StrokeSpan& span = m_strokes[s];
        std::memcpy(out, m_points.data() + span.first, static_cast<size_t>(span.count) * sizeof(VeilPoint));
        out += span.count;
    }
    // From here on the layer may change under the listener: only locals are used.
    const auto count = static_cast<int32_t>(total);
    m_listener->patternSelected(block.handle, count);
    freeBlock(block.handle, Owner::Veil);
    return count;
}

}  // namespace sw::veil
