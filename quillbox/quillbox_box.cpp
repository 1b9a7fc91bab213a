#include "quillbox/quillbox_box.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <span>

#include "platform/gdi/color.h"
#include "platform/gdi/fonts.h"
#include "platform/text/cp932.h"
#include "platform/window/menu.h"
#include "platform/window/timer.h"
#include "platform/window/window.h"

namespace sw::quillbox {
namespace {

constexpr int kPointBufferCapacity = 200;
constexpr int kMaxForeWidth = 10;

int penWidth(int32_t foreWidth) noexcept { return clampLong(foreWidth, 0, kMaxForeWidth); }

int passes(int32_t count) noexcept { return clampLong(count, 0, kMaxOverprintPasses); }

QString fromCp932(std::string_view bytes) {
    const std::u16string text = text::cp932ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A result font whose cell (ascent + descent) is `cellHeight` pixels, as a font height in a character cell.
QFont cellFont(const QString& face, int cellHeight) {
    QFont font = gdi::makeFont(face, cellHeight);
    const int height = QFontMetrics(font).height();
    if (height > cellHeight && height > 0) {
        const int pixels = std::max(1, static_cast<int>(int64_t{cellHeight} * cellHeight / height));
        font.setPixelSize(pixels);
    }
    return font;
}

bool contains(const CharBox& outer, const CharBox& inner) noexcept {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

}  // namespace

QuillboxBox::QuillboxBox(BoxEvents& events) : m_events(events) {}

QuillboxBox::~QuillboxBox() {
    if (m_timerId && m_window) win::killTimer(m_window, m_timerId);
    if (m_engine && m_object) m_engine->api().DestroyObject(m_object);
}

void QuillboxBox::start(std::unique_ptr<EngineBinding> engine) {
    m_engine = std::move(engine);
    m_canvas = QImage(1, 1, QImage::Format_RGB32);
    m_canvas.fill(color(m_props.backColor));
    m_points.reserve(kPointBufferCapacity);
    resetRecognizer();
    adjustView();  // a client size set before the window existed
}

QColor QuillboxBox::color(uint32_t oleColor) const { return gdi::toQColor(oleColor); }

bool QuillboxBox::fireResultChange() {
    const std::weak_ptr<int> alive = m_life;
    m_events.resultChange();
    return !alive.expired();
}

void QuillboxBox::updateWindow(const QRect& windowRect) {
    if (m_window) m_window->update(windowRect);
}

// --- Recognizer ---

void QuillboxBox::resetRecognizer() {
    if (!m_engine) return;
    const EngineApi& e = m_engine->api();
    // The new object is made before the old one goes, so a failing engine leaves an object to work with; it
    // is then emptied instead.
    if (const int32_t next = e.CreateNewObject()) {
        if (m_object) e.DestroyObject(m_object);
        m_object = next;
    } else if (m_object) {
        while (e.GetStrokeCount(m_object) > 0 && e.DeleteStrokeLast(m_object) == 0) {
        }
    }
    m_props.showX = m_props.showY = m_props.maxXPos = m_props.maxYPos = 0;
    m_penDown = m_moved = false;
    cancelCorrection();  // a correction of the old ink never fires on the new one
    m_points.clear();
    const bool hadResult = !m_props.result.empty();
    m_props.result.clear();
    m_props.recog = false;
    if (hadResult && fireResultChange() && m_props.backCharWidth != 0) reWrite();
}

void QuillboxBox::applyCategories() {
    if (!m_engine) return;
    const BoxProps& p = m_props;
    m_engine->api().SetRecCategory(
        categoryMask({p.chNum, p.chAlpha, p.chKana, p.chHira, p.chKanji1, p.chKanji2, p.chOther, p.chPunc}));
}

std::optional<std::string> QuillboxBox::engineString(int32_t* count) {
    if (!m_engine || !m_engine->api().GetString) return std::nullopt;
    int32_t n = 0;
    const char* s = m_engine->api().GetString(m_object, 0, &n);
    if (!s) return std::nullopt;
    if (count) *count = std::max(n, 0);
    return std::string(s);
}

bool QuillboxBox::strokeCountAtLeastOne() {
    return m_engine && m_engine->api().GetStrokeCount(m_object) >= 1;
}

// --- Methods ---

void QuillboxBox::clear() {
    if (!m_engine) return;
    resetRecognizer();
    clearCanvas();
    refresh();
}

void QuillboxBox::delLastLine() {
    if (!strokeCountAtLeastOne() || m_props.recog) return;
    if (m_engine->api().DeleteStrokeLast(m_object) == 0) reWrite();
}

void QuillboxBox::deletePTW(Handle ptw) {
    if (m_engine && ptw != kNullHandle) m_engine->api().DestroyPatternW(ptw);
}

Handle QuillboxBox::getAllString() {
    if (!m_engine) return kNullHandle;
    const int32_t n = m_engine->api().GetStrokeCount(m_object);
    return n >= 1 ? m_engine->api().GetPatternW(m_object, 0, n - 1) : kNullHandle;
}

Handle QuillboxBox::getNthString(int32_t num) {
    if (!m_engine || !m_props.recog) return kNullHandle;
    int32_t m = 0;
    if (!engineString(&m) || num < 1 || num > m) return kNullHandle;
    return m_engine->api().GetPatternWOfNthChar(m_object, 0, num - 1);
}

void QuillboxBox::recognize() {
    if (!m_engine || m_props.recog) return;
    cancelCorrection();
    const bool hadResult = !m_props.result.empty();
    m_props.result.clear();
    m_props.recog = false;
    bool changed = false;
    if (strokeCountAtLeastOne()) {
        applyCategories();
        const EngineApi& e = m_engine->api();
        if (e.RecognizeNF && e.RecognizeNF(m_object) == 0) {
            if (auto s = engineString()) {
                m_props.result = std::move(*s);
                m_props.recog = true;
                reWrite();
                changed = true;
            }
        }
    }
    refresh();
    if ((hadResult || changed) && fireResultChange() && m_props.backCharWidth != 0) reWrite();
}

void QuillboxBox::recognizeCancel() {
    if (!m_engine || !m_props.recog) return;
    cancelCorrection();
    const EngineApi& e = m_engine->api();
    // The copy is built completely before it replaces the old object; any failure keeps the old object with
    // the ink and the result as they were.
    const int32_t next = e.CreateNewObject();
    if (!next) return;
    const int32_t n = e.GetStrokeCount(m_object);
    for (int32_t i = 0; i < n; ++i) {
        int32_t count = 0;
        const EnginePoint* points = e.GetNthStroke(m_object, i, &count);
        if (!points || count < 0 || e.AddStrokeLast(next, points, count) != 0) {
            e.DestroyObject(next);
            return;
        }
    }
    e.DestroyObject(m_object);
    m_object = next;
    m_props.result.clear();
    m_props.recog = false;
    reWrite();
    fireResultChange();
}

void QuillboxBox::setString(Handle ptw) {
    if (!m_engine || ptw == kNullHandle) return;
    std::span<const PtwPoint> points;
    if (!ptwPoints(ptw, &points)) return;  // an unknown or freed record changes nothing
    clear();
    m_points.clear();
    for (const PtwPoint& p : points) {
        m_points.push_back(EnginePoint{p.X, p.Y});
        if (p.Flag == kFlagPenUp) {
            m_engine->api().AddStrokeLast(m_object, m_points.data(), static_cast<int32_t>(m_points.size()));
            m_points.clear();
        }
    }
    reWrite();
}

Handle QuillboxBox::getNthCR(int32_t num) {
    const Handle ptw = getNthString(num);
    if (ptw == kNullHandle) return kNullHandle;
    const EngineApi& e = m_engine->api();
    if (const auto box = getCharBox(num - 1)) e.SetGuideBox(box->right, box->bottom, box->left, box->top);
    void* memory = nullptr;
    Handle list =
        allocateBlock(Owner::Quillbox, BlockKind::Other, sizeof(CandidateEntry), kCandidateCount, &memory);
    if (list != kNullHandle) {
        applyCategories();
        if (e.RecognizeF(ptw, static_cast<CandidateEntry*>(memory), kCandidateCount) != 0) {
            freeBlock(list, Owner::Quillbox);
            list = kNullHandle;
        }
    }
    deletePTW(ptw);
    return list;
}

void QuillboxBox::deleteCR(Handle list) {
    if (list != kNullHandle) freeBlock(list, Owner::Quillbox);
}

namespace {
const CandidateEntry* candidates(Handle list) {
    return static_cast<const CandidateEntry*>(
        resolve(list, BlockKind::Other, sizeof(CandidateEntry) * kCandidateCount));
}
}  // namespace

bool QuillboxBox::getNthRecChars(int32_t charNum) {
    m_props.resultRecChars.clear();
    const Handle list = getNthCR(charNum);
    if (list == kNullHandle) return false;
    if (const CandidateEntry* entries = candidates(list)) {
        for (int i = 0; i < kCandidateCount; ++i)
            if (const auto ch = candidateChar(entries[i].code)) m_props.resultRecChars.append(ch->data(), 2);
    }
    deleteCR(list);
    return true;
}

bool QuillboxBox::setNthRecChars(int32_t charNum, int32_t recNum) {
    if (!m_props.recog) return false;
    const Handle list = getNthCR(charNum);
    if (list == kNullHandle) return false;
    const CandidateEntry* entries = candidates(list);
    std::optional<std::array<char, 2>> ch;
    if (entries && recNum >= 0 && recNum < kCandidateCount) ch = candidateChar(entries[recNum].code);
    deleteCR(list);
    if (!ch) return false;
    const std::weak_ptr<int> alive = m_life;
    if (replaceResultChar(charNum, *ch) && !alive.expired()) {
        reWrite();
        m_events.recSelectChange(charNum);
    }
    return true;
}

bool QuillboxBox::replaceResultChar(int32_t n, std::array<char, 2> ch) {
    if (!replaceChar(m_props.result, n, ch)) return false;
    fireResultChange();  // the caller checks whether the box still lives
    return true;
}

// --- Geometry ---

std::optional<CharBox> QuillboxBox::getCharBox(int32_t index) {
    if (!m_engine) return std::nullopt;
    EngineRect r{};
    if (m_engine->api().GetNthCharBound(m_object, 0, index, &r) != 0) return std::nullopt;
    return growToMinBound(CharBox{r.left, r.top, r.right, r.bottom}, m_props.minBound, m_canvas.size());
}

int32_t QuillboxBox::hitTestChar(QPoint window) {
    if (!m_props.recog) return 0;
    int32_t m = 0;
    if (!engineString(&m)) return 0;
    const QPoint p(clampLong(int64_t{window.x()} + m_props.showX, INT32_MIN / 2, INT32_MAX / 2),
                   clampLong(int64_t{window.y()} + m_props.showY, INT32_MIN / 2, INT32_MAX / 2));
    int32_t found = 0;
    CharBox foundBox;
    for (int32_t i = 0; i < m; ++i) {
        const auto box = getCharBox(i);
        if (!box || !box->contains(p)) continue;
        if (found == 0 || contains(foundBox, *box)) {
            found = i + 1;
            foundBox = *box;
        }
    }
    return found;
}

bool QuillboxBox::isInTapArea(QPoint canvasPoint, int32_t index) {
    const auto box = getCharBox(index);
    if (!box) return false;
    return tapAreaOf(*box, penWidth(m_props.foreWidth), clampFloat(m_props.tapPointSize, 0, 0.8f))
        .contains(canvasPoint);
}

// --- View ---

void QuillboxBox::setClientSize(QSize size) {
    size = size.expandedTo(QSize(0, 0));
    if (size == m_client) return;
    m_client = size;
    adjustView();
}

void QuillboxBox::adjustView() {
    if (!m_engine) return;
    BoxProps& p = m_props;
    const auto growth = canvasGrowth(m_canvas.size(), p.showX, p.showY, m_client);
    if (!growth) {
        if (p.backCharWidth != 0)
            reWrite();  // the background text is centred on the window size
        else
            refresh();
        return;
    }
    bool grown = false;
    if (growth->withinLimits && growth->size != m_canvas.size()) {
        QImage next(growth->size, QImage::Format_RGB32);
        if (!next.isNull()) {
            m_canvas = std::move(next);
            grown = true;
        }
    }
    const QSize c = m_canvas.size();
    if (!grown || int64_t{p.showX} + m_client.width() > c.width() ||
        int64_t{p.showY} + m_client.height() > c.height()) {
        p.showX = std::clamp(p.showX, 0, std::max(c.width() - m_client.width(), 0));
        p.showY = std::clamp(p.showY, 0, std::max(c.height() - m_client.height(), 0));
    }
    reWrite();
}

void QuillboxBox::setShowX(int32_t value) {
    int64_t x = std::max(value, 0);
    if (m_props.autoShow) x = std::min<int64_t>(x, int64_t{m_props.maxXPos} - 2);
    m_props.showX = clampLong(x, INT32_MIN, INT32_MAX);
    adjustView();
}

void QuillboxBox::setShowY(int32_t value) {
    int64_t y = std::max(value, 0);
    if (m_props.autoShow) y = std::min<int64_t>(y, int64_t{m_props.maxYPos} - 2);
    m_props.showY = clampLong(y, INT32_MIN, INT32_MAX);
    adjustView();
}

void QuillboxBox::setAutoShow(bool value) {
    m_props.autoShow = value;
    if (!value) return;
    m_props.showX =
        clampLong(std::min<int64_t>(m_props.showX, int64_t{m_props.maxXPos} - 2), INT32_MIN, INT32_MAX);
    m_props.showY =
        clampLong(std::min<int64_t>(m_props.showY, int64_t{m_props.maxYPos} - 2), INT32_MIN, INT32_MAX);
    adjustView();
}

// --- Drawing ---

void QuillboxBox::clearCanvas() {
    if (!m_canvas.isNull()) m_canvas.fill(color(m_props.backColor));
}

void QuillboxBox::reWrite() {
    if (!m_engine) return;
    clearCanvas();
    {
        QPainter painter(&m_canvas);
        drawBackgroundText(painter);
        if (m_props.recog) drawResult(painter);
        drawInk(painter);
    }
    refresh();
}

void QuillboxBox::drawBackgroundText(QPainter& painter) {
    const BoxProps& p = m_props;
    if (p.backCharWidth == 0 || p.result.empty()) return;
    const int w = m_client.width();
    const int h = m_client.height();
    const int height = backTextHeight(w, h, p.result.size());
    if (height <= 0) return;
    painter.save();
    const QFont font = cellFont(fromCp932(p.resultFontName), height);
    const QFontMetrics metrics(font);
    const QString text = fromCp932(p.result);
    const int cx = metrics.horizontalAdvance(text);
    const int cy = metrics.height();
    painter.setFont(font);
    painter.setPen(color(p.backCharColor));
    for (int i = 0; i < passes(p.backCharWidth); ++i)
        painter.drawText(QPoint((w - cx) / 2 + i, (h - cy) / 2 - i + metrics.ascent()), text);
    painter.restore();
}

void QuillboxBox::drawResult(QPainter& painter) {
    const BoxProps& p = m_props;
    int32_t m = 0;
    if (!engineString(&m)) return;
    const int width = penWidth(p.foreWidth);
    painter.save();
    QPen framePen(color(p.resultColor), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter.setBrush(Qt::NoBrush);
    const QColor back = color(p.backColor);
    const QString face = fromCp932(p.resultFontName);
    const float tapSize = clampFloat(p.tapPointSize, 0, 0.8f);
    for (int32_t i = 0; i < m; ++i) {
        if (p.resultFontWidth == 0) break;
        const auto box = getCharBox(i);
        if (!box) continue;
        const CharBox frame = frameOf(*box, width, m_canvas.size());
        painter.setPen(framePen);
        painter.drawRect(QRect(QPoint(frame.left, frame.top), QPoint(frame.right - 1, frame.bottom - 1)));
        const QRect tap = tapSquareOf(frame, tapSize, width);
        if (!tap.isEmpty()) painter.fillRect(tap, color(p.tapPointColor));

        const auto ch = resultChar(p.result, i + 1);  // a short Result has no glyph here
        const int s = std::min(box->right - box->left, box->bottom - box->top);
        if (!ch || s <= 0) continue;
        const bool small = isSmallKana(*ch);
        const QColor glyphColor = color(small ? p.resultFontMiniColor : p.resultFontColor);
        if (glyphColor == back) continue;
        const QFont font = cellFont(face, s);
        const int ascent = QFontMetrics(font).ascent();
        painter.setFont(font);
        painter.setPen(glyphColor);
        const QString glyph = fromCp932(*ch);
        for (int j = 0; j < passes(p.resultFontWidth); ++j) {
            const QPoint origin = glyphOrigin(*box, s, p.resultFontXPos, p.resultFontYPos, j, small);
            painter.drawText(QPoint(origin.x(), origin.y() + ascent), glyph);
        }
    }
    painter.restore();
}

void QuillboxBox::drawInk(QPainter& painter) {
    const EngineApi& e = m_engine->api();
    const int32_t n = e.GetStrokeCount(m_object);
    if (n < 1) return;
    const Handle ptw = e.GetPatternW(m_object, 0, n - 1);
    if (ptw == kNullHandle) return;
    std::span<const PtwPoint> points;
    if (ptwPoints(ptw, &points) && !points.empty()) {
        painter.save();
        painter.setPen(QPen(color(m_props.recog ? m_props.foreColorR : m_props.foreColor),
                            penWidth(m_props.foreWidth), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        int32_t maxX = points[0].X;
        int32_t maxY = points[0].Y;
        QPolygon line;
        line.append(QPoint(points[0].X, points[0].Y));
        for (size_t j = 1; j < points.size(); ++j) {
            const QPoint q(points[j].X, points[j].Y);
            if (points[j - 1].Flag == kFlagPenUp) {
                if (line.size() >= 2) painter.drawPolyline(line);
                line.clear();
                line.append(q);
                continue;
            }
            maxX = std::max(maxX, q.x());
            maxY = std::max(maxY, q.y());
            line.append(q);
        }
        if (line.size() >= 2) painter.drawPolyline(line);
        m_props.maxXPos = maxX;
        m_props.maxYPos = maxY;
        painter.restore();
    }
    e.DestroyPatternW(ptw);
}

void QuillboxBox::refresh() {
    m_feedback.clear();
    if (!m_window) return;
    if (m_window->isVisible())
        m_window->repaint();
    else
        m_window->update();
}

void QuillboxBox::paintWindow(QPainter& painter, const QRect& clip) const {
    const QRect source = clip.translated(m_props.showX, m_props.showY);
    if (!m_canvas.rect().contains(source)) painter.fillRect(clip, color(m_props.backColor));
    painter.drawImage(clip.topLeft(), m_canvas, source);
    if (m_feedback.empty()) return;
    painter.setPen(QPen(color(m_props.selectColor), penWidth(m_props.foreWidth), Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawLines(m_feedback.data(), static_cast<int>(m_feedback.size()));
}

// --- Pen input ---

QPoint QuillboxBox::clampToClient(QPoint p, bool inputMode) const noexcept {
    const int lo = inputMode ? 1 : 0;
    const int w = inputMode ? m_client.width() - 1 : m_client.width();
    const int h = inputMode ? m_client.height() - 1 : m_client.height();
    return QPoint(std::max(std::min(p.x(), w), lo), std::max(std::min(p.y(), h), lo));
}

void QuillboxBox::appendPoint(QPoint window) {
    m_points.push_back(EnginePoint{window.x() + m_props.showX, window.y() + m_props.showY});
}

void QuillboxBox::leftDown(QPoint p) {
    if (!m_engine) return;
    if (m_timerId != 0) {
        if (m_window) win::killTimer(m_window, m_timerId);
        m_timerId = 0;
        m_correctionPending = true;  // a new stroke continues a correction
    }
    const bool input = !m_props.recog;
    const QPoint q = clampToClient(p, input);
    m_lastPoint = q;
    m_points.clear();
    appendPoint(q);
    if (input) {
        m_props.maxXPos = std::max(m_props.maxXPos, m_points[0].x);
        m_props.maxYPos = std::max(m_props.maxYPos, m_points[0].y);
    }
    m_penDown = true;
    if (m_window) win::setCapture(m_window);
    m_moved = false;
    if (m_pendingChar == 0) {
        m_pendingChar = hitTestChar(q);
        m_timerId = 0;
        m_correctionPending = false;
    }
    m_pressPoint = p;
}

void QuillboxBox::mouseMove(QPoint p) {
    if (!m_penDown) return;
    const int64_t limit = std::max(m_props.noLineLength, 0);
    if (std::llabs(int64_t{m_pressPoint.x()} - p.x()) > limit ||
        std::llabs(int64_t{m_pressPoint.y()} - p.y()) > limit)
        m_moved = true;
    const bool input = !m_props.recog;
    const QPoint q = clampToClient(p, input);
    if (q == m_lastPoint) return;
    const int width = penWidth(m_props.foreWidth);
    const QRect segment =
        QRect(m_lastPoint, q).normalized().adjusted(-width - 1, -width - 1, width + 1, width + 1);
    if (input) {
        QPainter painter(&m_canvas);
        painter.setPen(QPen(color(m_props.foreColor), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        const QPoint offset(m_props.showX, m_props.showY);
        painter.drawLine(m_lastPoint + offset, q + offset);
        m_props.maxXPos = std::max(m_props.maxXPos, q.x() + m_props.showX);
        m_props.maxYPos = std::max(m_props.maxYPos, q.y() + m_props.showY);
    } else {
        m_feedback.emplace_back(m_lastPoint, q);
    }
    updateWindow(segment);
    appendPoint(q);
    m_lastPoint = q;
}

void QuillboxBox::leftUp(QPoint p) {
    if (!m_penDown) return;
    bool timerArmed = false;
    if (!m_props.recog) {
        if (m_moved) {
            const bool stored = m_engine->api().AddStrokeLast(m_object, m_points.data(),
                                                              static_cast<int32_t>(m_points.size())) == 0;
            m_points.clear();
            if (!stored) reWrite();  // a stroke the engine refused does not stay on screen
        } else {
            m_points.clear();
            reWrite();
        }
    } else {
        const std::weak_ptr<int> alive = m_life;
        timerArmed = releaseInResultMode(p);
        if (alive.expired()) return;  // an event handler destroyed the box
    }
    m_penDown = false;
    m_moved = false;
    if (!timerArmed) {
        m_pendingChar = 0;
        m_timerId = 0;
        m_correctionPending = false;
    }
    win::releaseCapture();
}

void QuillboxBox::rightDown(QPoint p) {
    if (!m_engine || !m_props.rButtonFlag || m_penDown || m_pendingChar != 0) return;
    const BoxProps& props = m_props;
    std::vector<win::MenuItem> items;
    int commands = 0;
    uint32_t last = 0;
    auto add = [&](uint32_t id, const std::string& label, bool when) {
        if (!when || label.empty()) return;
        items.push_back(win::MenuItem{id, text::cp932ToUtf16(label)});
        ++commands;
        last = id;
    };
    add(kMenuRecognize, props.rButtonRecog, !props.recog);
    add(kMenuInput, props.rButtonInput, props.recog);
    add(kMenuLineDel, props.rButton1LineDel, !props.recog);
    add(kMenuClear, props.rButtonClear, true);
    items.push_back(win::MenuItem{0, u""});
    items.push_back(win::MenuItem{kMenuCancel, text::cp932ToUtf16(props.rButtonCancel)});

    const QPoint screen = m_window ? win::clientToScreen(win::handleOf(m_window), p) : p;
    win::releaseCapture();
    uint32_t chosen = 0;
    if (commands >= 2)
        chosen = win::trackPopupMenu(items, screen, m_window ? m_window->parentWidget() : nullptr);
    else if (commands == 1)
        chosen = last;
    switch (chosen) {
        case kMenuRecognize:
            recognize();
            break;
        case kMenuInput:
            recognizeCancel();
            break;
        case kMenuLineDel:
            delLastLine();
            break;
        case kMenuClear:
            clear();
            break;
        default:
            break;
    }
}

void QuillboxBox::middleDown(QPoint p) {
    if (!m_props.mButtonFlag || m_penDown || m_pendingChar != 0 || !m_props.recog) return;
    leftDown(p);
    leftUp(p);
}

}  // namespace sw::quillbox
