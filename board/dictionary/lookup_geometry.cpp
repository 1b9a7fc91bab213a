#include "board/dictionary/lookup_geometry.h"

namespace sw::board {

LookupRegion::LookupRegion(const QPolygon& path) {
    if (path.size() < 3) return;
    int64_t left = path[0].x(), right = left, top = path[0].y(), bottom = top;
    for (const QPoint& p : path) {
        left = std::min<int64_t>(left, p.x());
        right = std::max<int64_t>(right, p.x());
        top = std::min<int64_t>(top, p.y());
        bottom = std::max<int64_t>(bottom, p.y());
    }
    if (right - left > kMaxLookupPathExtent || bottom - top > kMaxLookupPathExtent) return;
    m_originX = left;
    m_originY = top;
    QPolygon local(path.size());
    for (qsizetype i = 0; i < path.size(); ++i) {
        local[i] = QPoint(static_cast<int>(path[i].x() - left), static_cast<int>(path[i].y() - top));
    }
    m_region = QRegion(local, Qt::WindingFill);
}

bool LookupRegion::touches(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
    if (m_region.isEmpty()) return false;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // Into the region's frame, cut to a margin around it so the box fits in a QRect.
    constexpr int64_t kLow = -1;
    constexpr int64_t kHigh = kMaxLookupPathExtent + 2;
    left = std::clamp(left - m_originX, kLow, kHigh);
    right = std::clamp(right - m_originX, kLow, kHigh);
    top = std::clamp(top - m_originY, kLow, kHigh);
    bottom = std::clamp(bottom - m_originY, kLow, kHigh);
    if (left == right || top == bottom) return false;
    return m_region.intersects(QRect(static_cast<int>(left), static_cast<int>(top),
                                     static_cast<int>(right - left), static_cast<int>(bottom - top)));
}

QPoint dictionaryWindowPosition(QPoint release, QSize screen, QSize window) {
    // In 64 bits, screen - window cannot overflow; the result lies between 0 and `at`, so it fits.
    const auto place = [](int64_t at, int64_t screenSize, int64_t windowSize) {
        return static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(screenSize - windowSize, at)));
    };
    return QPoint(place(release.x(), screen.width(), window.width()),
                  place(release.y(), screen.height(), window.height()));
}

}  // namespace sw::board
