// The overlay's model: its settings, its point set and the rules that change them, without a window.
//
// The point set is one contiguous std::vector<VeilPoint>, all strokes one after another in drawing order. It
// is registered in the process-wide handle table (Owner::Veil, BlockKind::StrokeData) and re-registered on
// every change, so a PointData handle stays valid exactly until the point set next changes and then resolves
// to nothing. An empty point set has the null handle.
//
// Strokes of a point set: a stroke starts at the first point, at a point with State 2, or right after a point
// with State 4; it ends at a point with State 4, just before a point with State 2, or at the end of the set.
// Point sets handed in by SetPointData are kept as they come, unfinished strokes included.
//
// Coordinates: points hold document coordinates; the view shows document (x, y) at overlay client
// (x - ScrollX, y - ScrollY). Events carry overlay client pixels.
//
// Everything runs on the user-interface thread. Listener calls are synchronous and may call back into the
// layer (read the points, replace them, change settings); the layer holds no pointer or iterator into its own
// containers across such a call.
#pragma once

#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <cstdint>
#include <span>
#include <vector>

#include "records/handle_table.h"
#include "records/records.h"

namespace sw::veil {

// State of a point inside a stroke (neither first nor last): the pen is down and moving.
inline constexpr int16_t kStateMove = 3;

// Pen widths accepted by PenWidth; wider or thinner ink from SetPointData is drawn clamped to this range.
inline constexpr int16_t kMinPenWidth = 1;
inline constexpr int16_t kMaxPenWidth = 255;

// Scroll offsets are clamped to +-kScrollLimit, so document = client + offset never overflows.
inline constexpr int32_t kScrollLimit = 1 << 24;

// A stroke is selected by a lasso when at least kLassoNumerator / kLassoDenominator of its points lie inside
// the lasso polygon (closed from its last point back to its first, winding rule). A teacher circles loosely:
// a stroke whose tail pokes out of the loop is still taken, while a stroke that merely crosses the loop is
// not.
inline constexpr int kLassoNumerator = 4;
inline constexpr int kLassoDenominator = 5;

// The overlay's outgoing events. Rectangles are overlay client pixels, right and bottom inclusive.
class VeilListener {
public:
    virtual ~VeilListener() = default;
    // `data` is a fresh Veil-owned stroke-data block of `count` points, valid for the duration of the call;
    // the listener may read and change it in place, and it is released right after.
    virtual void patternSelected(Handle data, int32_t count) = 0;
    virtual void areaChanged(const QRect& clientArea) = 0;
    virtual void mouseForward(uint32_t msg, uint32_t wParam, int32_t lParam) = 0;
};

// The window that shows the layer.
class InkView {
public:
    virtual ~InkView() = default;
    // Everything shown must be drawn again.
    virtual void inkReset() = 0;
    // The scroll offsets grew by `delta`: what is shown moves by -delta.
    virtual void viewScrolled(const QPoint& delta) { inkReset(); }
    // InkDisplay changed; the ink itself did not.
    virtual void displayChanged() { inkReset(); }
    // The point set was replaced by one that differs only inside these document rectangles.
    virtual void inkChanged(std::span<const QRect> documentRects) { inkReset(); }
};

struct StrokeSpan {
    int32_t first = 0;
    int32_t count = 0;
    QRect bounds;         // document coordinates, grown by the pen's reach
    bool uniform = true;  // every point has the width and colour of the first
};

struct VeilSettings {
    int16_t penWidth = 2;
    uint32_t penColor = 0x00FFFFFF;  // plain 0x00BBGGRR, system colours already translated
    int16_t drawKind = 1;            // sw::overlay::kDrawPen or kDrawLasso
    bool inkInput = true;
    bool inkDisplay = true;  // false: the ink is shown faded
    bool lassoSelect = false;
    bool mousePassThrough = false;
};

// Pixels that ink of `width` reaches beyond its centre line, antialiasing included.
int inkReach(int width) noexcept;
// Width used to draw a point's width: clamped to [kMinPenWidth, kMaxPenWidth].
int drawWidth(int width) noexcept;

// Splits a point set into strokes by the rule above.
std::vector<StrokeSpan> splitStrokes(std::span<const VeilPoint> points);

// Where the ink of a point set changes when it is replaced: the bounds of the old strokes missing from the
// new set and of the new strokes missing from the old one, matching strokes point for point in order (a
// cut-out selection, strokes added at the end). Returns false when more than `maxRects` rectangles would be
// needed.
bool changedAreas(std::span<const VeilPoint> oldPoints, std::span<const StrokeSpan> oldStrokes,
                  std::span<const VeilPoint> newPoints, std::span<const StrokeSpan> newStrokes,
                  size_t maxRects, std::vector<QRect>* areas);

// Indexes of the strokes the lasso (document coordinates) selects by the rule above. Fewer than three lasso
// points enclose nothing.
std::vector<size_t> strokesInLasso(std::span<const VeilPoint> points, std::span<const StrokeSpan> strokes,
                                   const QPolygon& lasso);

class InkLayer {
public:
    explicit InkLayer(VeilListener* listener = nullptr) noexcept : m_listener(listener) {}
    ~InkLayer();
    InkLayer(const InkLayer&) = delete;
    InkLayer& operator=(const InkLayer&) = delete;

    void setListener(VeilListener* listener) noexcept { m_listener = listener; }
    VeilListener* listener() const noexcept { return m_listener; }
    void setView(InkView* view) noexcept { m_view = view; }

    VeilSettings& settings() noexcept { return m_settings; }
    const VeilSettings& settings() const noexcept { return m_settings; }
    // Shows or hides the ink; raises AreaChanged over the ink when that changes what is seen.
    void setInkDisplay(bool display);

    QPoint scroll() const noexcept { return m_scroll; }
    // Moves the view (offsets clamped to +-kScrollLimit); raises AreaChanged over where the ink was and is.
    void scrollTo(int32_t x, int32_t y);

    const std::vector<VeilPoint>& points() const noexcept { return m_points; }
    const std::vector<StrokeSpan>& strokes() const noexcept { return m_strokes; }
    int32_t pointCount() const noexcept { return static_cast<int32_t>(m_points.size()); }
    Handle pointData() const noexcept { return m_handle; }
    // Document bounds of all ink, grown by the pen's reach; null when there is none.
    QRect inkBounds() const noexcept { return m_bounds; }

    // Replaces all points with a copy of `count` points of the stroke data block `data`. count 0 empties the
    // set (data is then not read). Returns false, changing nothing, for a negative count or a handle that
    // does not hold `count` points.
    // Both raise AreaChanged over the ink that changed (nothing for the same ink again) and renew the
    // PointData handle in every case.
    bool setPointData(Handle data, int32_t count);
    void replacePoints(std::vector<VeilPoint> points);

    // Appends one finished stroke given in document coordinates (at least two points); State is set to 2 on
    // the first point, 4 on the last and kStateMove between. Raises AreaChanged over the stroke.
    void appendStroke(std::vector<VeilPoint> stroke);

    // Selects with a finished lasso (document coordinates) and raises PatternSelected with the points of the
    // selected strokes, in point-set order, when there are any. Returns the number of points raised.
    int32_t selectWithLasso(const QPolygon& lasso);

    QRect toClient(const QRect& documentRect) const noexcept { return documentRect.translated(-m_scroll); }

private:
    void reregister() noexcept;
    void notifyArea(const QRect& documentArea);

    VeilListener* m_listener = nullptr;
    InkView* m_view = nullptr;
    VeilSettings m_settings;
    QPoint m_scroll;
    std::vector<VeilPoint> m_points;
    std::vector<StrokeSpan> m_strokes;
    QRect m_bounds;
    Handle m_handle = kNullHandle;
};

}  // namespace sw::veil
