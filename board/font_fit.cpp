#include "board/font_fit.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <algorithm>

#include "platform/gdi/color.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/units.h"

namespace sw::board {

int firstSizeExceeding(const std::function<double(int)>& measure, double extent, int limit) {
    if (limit < 1) return 1;
    if (measure(1) > extent) return 1;
    // Gallop to a size that exceeds (or to the limit), then bisect between the last fitting size and it.
    int fits = 1;
    int step = 1;
    int probe = 2;
    while (probe < limit && !(measure(probe) > extent)) {
        fits = probe;
        step *= 2;
        probe = fits + step;
    }
    if (probe >= limit) {
        if (!(measure(limit) > extent)) return limit;
        probe = limit;
    }
    int exceeds = probe;
    while (exceeds - fits > 1) {
        const int mid = fits + (exceeds - fits) / 2;
        if (measure(mid) > extent)
            exceeds = mid;
        else
            fits = mid;
    }
    return exceeds;
}

int fitPoints(const std::function<QSizeF(int)>& measure, const CharRect& box) {
    const double height = double(box.Bottom) - box.Top;
    const double width = double(box.Right) - box.Left;
    const int hs = firstSizeExceeding([&](int s) { return measure(s).height(); }, height);
    const int ws = firstSizeExceeding([&](int s) { return measure(s).width(); }, width);
    return MaxInt(kMinFontPoints, MinInt(hs - 1, ws - 1));
}

void centreBox(CharRect& box, double tw, double th) noexcept {
    const double hSlack = (double(box.Right) - box.Left) - tw;
    box.Left = gdi::roundHalfEven(box.Left + hSlack / 2);
    box.Right = gdi::roundHalfEven(box.Right - hSlack / 2);
    const double vSlack = (double(box.Bottom) - box.Top) - th;
    box.Top = gdi::roundHalfEven(box.Top + vSlack / 2);
    box.Bottom = gdi::roundHalfEven(box.Bottom - vSlack / 2);
}

namespace {

// A bold made up for a face without one widens a glyph by a 24th of its em, as FreeType's emboldening does.
constexpr qreal kBoldStrokeOfEm = 24.0;

// Metrics at 96 dots per inch whatever the screen says: a default QImage has that resolution.
const QPaintDevice* metricsDevice() {
    static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return &device;
}

}  // namespace

size_t CleanCopyPainter::KeyHash::operator()(const Key& k) const noexcept {
    size_t h = std::hash<std::u16string>{}(k.text);
    for (int v : {k.a, k.b, k.c}) h = h * 1000003u ^ std::hash<int>{}(v);
    return h;
}

CleanCopyPainter::CleanCopyPainter(QString face) { setFace(face); }

void CleanCopyPainter::setFace(const QString& face) {
    if (face == m_face && !m_measures.empty()) return;
    m_face = face;
    m_measures.clear();
    m_fits.clear();
    m_fonts.clear();
    m_ascents.clear();
    m_emboldened.clear();
}

QFont CleanCopyPainter::font(int points, bool bold) const {
    const int key = points * 2 + (bold ? 1 : 0);
    if (auto it = m_fonts.find(key); it != m_fonts.end()) return it->second;
    gdi::installFaceSubstitutions();
    QFont f(m_face);
    f.setPointSize(points);
    f.setBold(bold);
    m_fonts.emplace(key, f);
    return f;
}

bool CleanCopyPainter::emboldened(int points) const {
    if (auto it = m_emboldened.find(points); it != m_emboldened.end()) return it->second;
    // A face without a bold style resolves to the same style whether bold is asked for or not.
    const bool made = QFontInfo(font(points, true)).styleName() == QFontInfo(font(points, false)).styleName();
    m_emboldened.emplace(points, made);
    return made;
}

qreal CleanCopyPainter::ascent(int points, bool bold) const {
    const int key = points * 2 + (bold ? 1 : 0);
    if (auto it = m_ascents.find(key); it != m_ascents.end()) return it->second;
    const qreal a = QFontMetricsF(font(points, bold), metricsDevice()).ascent();
    m_ascents.emplace(key, a);
    return a;
}

QSizeF CleanCopyPainter::measure(const std::u16string& text, int points, bool bold) {
    Key key{text, points, bold ? 1 : 0, 0};
    if (auto it = m_measures.find(key); it != m_measures.end()) return it->second;
    const QFontMetricsF metrics(font(points, bold), metricsDevice());
    const QSizeF size(metrics.horizontalAdvance(QString::fromStdU16String(text)), metrics.height());
    m_measures.emplace(std::move(key), size);
    return size;
}

int CleanCopyPainter::fit(const std::u16string& text, bool bold, const CharRect& box) {
    const int32_t width = box.Right - box.Left;
    const int32_t height = box.Bottom - box.Top;
    Key key{text, width, height, bold ? 1 : 0};
    if (auto it = m_fits.find(key); it != m_fits.end()) return it->second;
    const int points = fitPoints([&](int s) { return measure(text, s, bold); }, box);
    m_fits.emplace(std::move(key), points);
    return points;
}

void CleanCopyPainter::paint(QPainter& painter, CharacterTable& table, QPointF origin, int32_t from) {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    const int32_t n = table.upperBound();
    if (table.fitted.size() != table.CharRects.size()) table.fitted.resize(table.CharRects.size());
    const std::u16string face16 = m_face.toStdU16String();
    for (int32_t i = std::max(from, 1); i <= n; ++i) {
        if (table.CharWidths[i] < 1) continue;
        const std::u16string& text = table.CharTexts[i];
        const bool bold = table.CharWidths[i] >= 3;
        CharRect& box = table.CharRects[i];
        CharacterTable::Fitted& fitted = table.fitted[i];
        int points = fitted.points;
        if (!points || fitted.box != box || fitted.face != face16) {
            points = fit(text, bold, box);
            const QSizeF extent = measure(text, points, bold);
            centreBox(box, extent.width(), extent.height());
            fitted = {points, box, face16};
        }
        const QFont f = font(points, bold);
        const QColor colour = gdi::toQColor(static_cast<uint32_t>(table.CharColors[i]));
        // The text's top-left corner at the box's top-left corner.
        const QPointF at(origin.x() + box.Left, origin.y() + box.Top + ascent(points, bold));
        const QString string = QString::fromStdU16String(text);
        if (bold && emboldened(points)) {
            // Qt draws glyphs of 64 pixels and more as outlines, and those without the bold it makes up for a
            // face that has none: the outline is filled and stroked instead, at every size, with a pen of the
            // width that bold adds to a glyph (a 24th of the em).
            QPainterPath path;
            path.addText(at, f, string);
            const qreal width = points * metricsDevice()->logicalDpiY() / 72.0 / kBoldStrokeOfEm;
            // The outline drawn a stroke's half width inside the ink of the regular glyph (and inside the
            // box), so that the bold ink covers what the regular glyph covers and stays in its box.
            const QRectF ink = path.boundingRect();
            const QRectF inside = ink.intersected(QRectF(origin.x() + box.Left, origin.y() + box.Top,
                                                         box.Right - box.Left, box.Bottom - box.Top))
                                      .adjusted(width / 2, width / 2, -width / 2, -width / 2);
            if (inside.width() > 0 && inside.height() > 0) {
                QTransform t;
                t.translate(inside.left(), inside.top());
                t.scale(inside.width() / ink.width(), inside.height() / ink.height());
                t.translate(-ink.left(), -ink.top());
                path = t.map(path);
            }
            painter.fillPath(path, colour);
            painter.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            continue;
        }
        painter.setFont(f);
        painter.setPen(colour);
        painter.drawText(at, string);
    }
    painter.restore();
}

}  // namespace sw::board
