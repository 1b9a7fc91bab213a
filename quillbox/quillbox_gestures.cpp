// The gestures of result mode, told apart at the release of the left button: a lasso (or an open line)
// regroups strokes, a drag to a neighbour merges two characters, strokes written over a character replace it
// when the correction timer fires, and a tap offers the character's candidates.
#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "platform/text/cp932.h"
#include "platform/window/menu.h"
#include "platform/window/timer.h"
#include "platform/window/window.h"
#include "quillbox/quillbox_box.h"

namespace sw::quillbox {
namespace {

const CandidateEntry* candidateList(Handle list) {
    return static_cast<const CandidateEntry*>(
        resolve(list, BlockKind::Other, sizeof(CandidateEntry) * kCandidateCount));
}

// The extremes of the points: x in left/right, y in top/bottom (all inclusive).
CharBox boundsOf(const std::vector<EnginePoint>& points) noexcept {
    CharBox b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const EnginePoint& p : points) {
        b.left = std::min(b.left, p.x);
        b.right = std::max(b.right, p.x);
        b.top = std::min(b.top, p.y);
        b.bottom = std::max(b.bottom, p.y);
    }
    return b;
}

uint32_t codeOf(std::string_view ch) noexcept {
    return (static_cast<unsigned char>(ch[0]) << 8) | static_cast<unsigned char>(ch[1]);
}

}  // namespace

bool QuillboxBox::releaseInResultMode(QPoint p) {
    const int32_t g = m_pendingChar;
    if (g == 0) {
        if (m_moved)
            lasso();
        else
            refresh();  // a tap beside the characters does nothing
        return false;
    }
    const int32_t f = hitTestChar(p);
    if (!m_correctionPending && m_moved && f != 0 && std::abs(f - g) == 1 && m_props.combineFlag) {
        const std::weak_ptr<int> alive = m_life;
        mergeChars(f, g);
        if (!alive.expired()) reWrite();
        return false;
    }
    const QPoint pressCanvas = m_pressPoint + QPoint(m_props.showX, m_props.showY);
    if (m_correctionPending || (m_moved && m_props.recogTimermsec != 0 && !isInTapArea(pressCanvas, g - 1))) {
        if (!m_correctionPending) m_correction.clear();
        if (m_moved) m_correction.push_back(m_points);
        armCorrectionTimer();
        m_correctionPending = true;
        return true;  // the stroke stays on the window in SelectColor until the timer fires
    }
    tap(f, m_pressPoint);
    return false;
}

void QuillboxBox::armCorrectionTimer() {
    if (!m_window) return;
    const std::weak_ptr<int> alive = m_life;
    m_timerId = win::setTimer(m_window, kCorrectionTimerId, std::max(m_props.recogTimermsec, 1),
                              [this, alive](uint32_t) {
                                  if (!alive.expired()) correctionTimerFired();
                              });
}

void QuillboxBox::cancelCorrection() {
    if (m_timerId != 0 && m_window) win::killTimer(m_window, m_timerId);
    m_timerId = 0;
    m_correctionPending = false;
    m_pendingChar = 0;
    m_correction.clear();
}

void QuillboxBox::correctionTimerFired() {
    const int32_t pending = m_pendingChar;
    if (m_window) win::killTimer(m_window, kCorrectionTimerId);
    m_timerId = 0;
    m_correctionPending = false;
    const std::weak_ptr<int> alive = m_life;
    if (m_props.recog && m_engine) {
        const EngineApi& e = m_engine->api();
        // The new object is built completely before it replaces the old one; any failure keeps the old one
        // and its result.
        int32_t n = 0;
        const bool counted = engineString(&n).has_value() && e.GetStrokeNoOfNthChar;
        const int32_t next = counted ? e.CreateNewObject() : 0;
        bool built = next != 0;
        for (int32_t i = 0; built && i < n; ++i) {
            if (i == pending - 1) {
                for (const auto& stroke : m_correction)
                    built = built &&
                            e.AddStrokeLast(next, stroke.data(), static_cast<int32_t>(stroke.size())) == 0;
                continue;
            }
            int32_t first = 0;
            int32_t last = -1;
            built = e.GetStrokeNoOfNthChar(m_object, 0, i, &first, &last) == 0;
            for (int32_t s = first; built && s <= last; ++s) {
                int32_t count = 0;
                const EnginePoint* points = e.GetNthStroke(m_object, s, &count);
                built = points && count >= 0 && e.AddStrokeLast(next, points, count) == 0;
            }
        }
        if (built) {
            e.DestroyObject(m_object);
            m_object = next;
            m_props.recog = false;
            recognize();
            if (alive.expired()) return;
            if (pending != 0) {
                m_events.recSelectChange(pending);
                if (alive.expired()) return;
            }
        } else if (next != 0) {
            e.DestroyObject(next);
        }
    }
    m_pendingChar = 0;
    m_correction.clear();
    reWrite();
}

void QuillboxBox::lasso() {
    const StrokeRun run = selectStrokesInRegion();
    if (run.first < 0 || !regroup(run.first, run.last)) refresh();
}

void QuillboxBox::mergeChars(int32_t f, int32_t g) {
    if (!m_engine || !m_engine->canMerge()) return;
    const EngineApi& e = m_engine->api();
    int32_t first = 0;
    int32_t last = 0;
    int32_t ignored = 0;
    if (e.GetStrokeNoOfNthChar(m_object, 0, std::min(f, g) - 1, &first, &ignored) != 0 ||
        e.GetStrokeNoOfNthChar(m_object, 0, std::max(f, g) - 1, &ignored, &last) != 0)
        return;
    regroup(first, last);
}

bool QuillboxBox::regroup(int32_t first, int32_t last) {
    if (!m_engine || !m_engine->canMerge()) return false;
    const EngineApi& e = m_engine->api();
    const auto oldString = engineString();
    if (!oldString || e.GiveStrokeSetInfo(m_object, 0, first, last) != 0) return false;
    if (e.RecognizeNF(m_object) == 0) {
        if (const auto newString = engineString()) {
            m_props.result = mergeResult(m_props.result, *oldString, *newString);
            reWrite();
            fireResultChange();
            return true;
        }
    }
    // The regrouping recognition failed: the Result must not outlive the engine's result, so the box falls
    // back to a plain recognition, and failing that to a failed Recognize that keeps the ink.
    if (e.RecognizeNF(m_object) == 0) {
        if (auto plain = engineString()) {
            m_props.result = std::move(*plain);
            reWrite();
            fireResultChange();
            return true;
        }
    }
    m_props.result.clear();
    m_props.recog = false;
    reWrite();
    fireResultChange();
    return true;
}

void QuillboxBox::tap(int32_t f, QPoint press) {
    const int32_t recogNum = clampLong(m_props.recogNum, 0, kCandidateCount);
    if (recogNum != 0 && f == 0) {
        reWrite();
        return;
    }
    const std::weak_ptr<int> alive = m_life;
    if (recogNum != 0) {
        std::vector<std::array<char, 2>> candidates;  // the usable entries, in order, up to the first gap
        uint32_t current = 0;
        int32_t match = -1;
        const auto ownChar = resultChar(m_props.result, f);
        if (ownChar) current = codeOf(*ownChar);
        const Handle list = getNthCR(f);
        if (const CandidateEntry* entries = list != kNullHandle ? candidateList(list) : nullptr) {
            for (int i = 0; i < kCandidateCount; ++i) {
                const auto ch = candidateChar(entries[i].code);
                if (match < 0 && ownChar && (entries[i].code & 0xFFFF) == current) match = i;
                if (!ch) break;
                candidates.push_back(*ch);
            }
        }
        deleteCR(list);
        if (list != kNullHandle && m_props.tapToNextRec) {
            int32_t next = match >= 0 ? match + 1 : 0;
            if (next >= recogNum || next >= static_cast<int32_t>(candidates.size())) next = 0;
            if (!candidates.empty() && replaceResultChar(f, candidates[static_cast<size_t>(next)])) {
                if (alive.expired()) return;
                if (m_props.backCharWidth != 0) reWrite();
            }
            if (alive.expired()) return;
        } else if (list != kNullHandle) {
            std::vector<win::MenuItem> items;
            items.push_back(
                win::MenuItem{kMenuCurrentChar,
                              text::cp932ToUtf16(ownChar ? std::string(*ownChar) : m_props.rButtonCancel)});
            items.push_back(win::MenuItem{0, u""});
            for (int32_t i = 0; i < recogNum && i < static_cast<int32_t>(candidates.size()); ++i)
                items.push_back(win::MenuItem{kMenuFirstCandidate + static_cast<uint32_t>(i),
                                              text::cp932ToUtf16(std::string_view(candidates[i].data(), 2))});
            QWidget* owner = m_window ? m_window->parentWidget() : nullptr;
            const QPoint screen = m_window ? win::clientToScreen(win::handleOf(m_window), press) : press;
            win::releaseCapture();
            const uint32_t chosen = win::trackPopupMenu(items, screen, owner);
            if (alive.expired()) return;  // the menu's event loop may have destroyed the box
            if (!m_props.recog) return;   // ... or cleared it: there is no character f any more
            const int64_t index = int64_t{chosen} - kMenuFirstCandidate;
            if (chosen > kMenuCurrentChar && index < static_cast<int64_t>(candidates.size()) &&
                replaceResultChar(f, candidates[static_cast<size_t>(index)])) {
                if (alive.expired()) return;
                if (m_props.backCharWidth != 0) reWrite();
            }
            if (alive.expired()) return;
        }
    }
    if (f != 0) {
        m_events.recSelectChange(f);
        if (alive.expired()) return;
    }
    reWrite();
}

std::optional<QPolygon> QuillboxBox::openLinePolygon(const CharBox& b) const {
    if (m_points.empty()) return std::nullopt;
    QPolygon polygon;
    polygon.reserve(static_cast<qsizetype>(m_points.size()) + 5);
    for (const EnginePoint& p : m_points) polygon.append(QPoint(p.x, p.y));
    const QPoint p0 = polygon.front();
    const QPoint pl = polygon.back();
    const CharBox lasso = boundsOf(m_points);
    if (int64_t{lasso.bottom} - lasso.top >
        int64_t{lasso.right} - lasso.left) {  // tall: the part left of the line
        const int x = std::min({p0.x(), pl.x(), b.left});
        const int y1 = p0.y() < pl.y() ? std::max(pl.y(), b.bottom) : std::min(pl.y(), b.top);
        const int y2 = p0.y() < pl.y() ? std::min(p0.y(), b.top) : std::max(p0.y(), b.bottom);
        polygon << QPoint(pl.x(), y1) << QPoint(x, y1) << QPoint(x, y2) << QPoint(p0.x(), y2) << p0;
    } else {  // wide: the part above the line
        const int y = std::min({p0.y(), pl.y(), b.top});
        const int x1 = p0.x() < pl.x() ? std::max(pl.x(), b.right) : std::min(pl.x(), b.left);
        const int x2 = p0.x() < pl.x() ? std::min(p0.x(), b.left) : std::max(p0.x(), b.right);
        polygon << QPoint(x1, pl.y()) << QPoint(x1, y) << QPoint(x2, y) << QPoint(x2, p0.y()) << p0;
    }
    return polygon;
}

StrokeRun QuillboxBox::selectStrokesInRegion() {
    StrokeRun result;
    if (!m_engine || m_points.empty() || !m_engine->api().GetStrokeNoOfNthChar) return result;
    const EngineApi& e = m_engine->api();
    const CharBox lasso = boundsOf(m_points);
    const int minX = lasso.left, maxX = lasso.right, minY = lasso.top, maxY = lasso.bottom;
    int32_t n = 0;
    if (!engineString(&n) || n == 0) return result;
    std::vector<std::optional<CharBox>> boxes(static_cast<size_t>(n));
    bool anyMarked = false;
    for (int32_t i = 0; i < n; ++i) {
        const auto box = getCharBox(i);
        // A lasso's bounding box may be a line (no width or no height); it still meets what it crosses.
        if (box && minX < box->right && maxX >= box->left && minY < box->bottom && maxY >= box->top) {
            boxes[static_cast<size_t>(i)] = box;
            anyMarked = true;
        }
    }
    if (!anyMarked) return result;

    const int64_t w = int64_t{maxX} - minX;
    const int64_t h = int64_t{maxY} - minY;
    const float divSize = clampFloat(m_props.divSize, 0, 1);
    const int64_t dx = std::llabs(int64_t{m_lastPoint.x()} - m_pressPoint.x());
    const int64_t dy = std::llabs(int64_t{m_lastPoint.y()} - m_pressPoint.y());
    const bool open = divSize < 1 &&
                      (w > h ? dx > w * static_cast<double>(divSize) : dy > h * static_cast<double>(divSize));
    const float share = clampFloat(m_props.selectInPoint, 0, 1);

    QRegion lassoRegion;
    if (!open) {
        QPolygon polygon;
        for (const EnginePoint& p : m_points) polygon.append(QPoint(p.x, p.y));
        lassoRegion = QRegion(polygon, Qt::WindingFill);
    }
    bool runOpen = false;
    int32_t runStart = 0;
    int32_t lastExamined = -1;
    auto close = [&](int32_t start, int32_t end) {
        runOpen = false;
        if (int64_t{end} - start > int64_t{result.last} - result.first) result = StrokeRun{start, end};
    };
    for (int32_t i = 0; i <= n; ++i) {
        const std::optional<CharBox> box = i < n ? boxes[static_cast<size_t>(i)] : std::nullopt;
        if (!box) {
            if (runOpen) close(runStart, lastExamined);
            continue;
        }
        QRegion test = lassoRegion;
        if (open) {
            const CharBox b{box->left - 1, box->top - 1, box->right + 1, box->bottom + 1};
            const QRegion area(QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)));
            const auto polygon = openLinePolygon(b);
            test = polygon ? area.intersected(QRegion(*polygon, Qt::WindingFill)) : QRegion();
        }
        int32_t first = 0;
        int32_t last = -1;
        if (e.GetStrokeNoOfNthChar(m_object, 0, i, &first, &last) != 0) last = first - 1;
        for (int32_t s = first; s <= last; ++s) {
            int32_t count = 0;
            const EnginePoint* points = e.GetNthStroke(m_object, s, &count);
            if (!points || count < 0) continue;
            lastExamined = s;
            int32_t inside = 0;
            for (int32_t k = 0; k < count; ++k) inside += test.contains(QPoint(points[k].x, points[k].y));
            if (inside < static_cast<int32_t>(count * static_cast<double>(share))) {
                if (runOpen) close(runStart, s - 1);
            } else if (!runOpen) {
                runOpen = true;
                runStart = s;
            }
        }
        if (open && runOpen) {
            if (runStart != first)
                close(runStart, last);
            else
                runOpen = false;  // a line beside the whole character selects nothing
        }
    }
    return result;
}

}  // namespace sw::quillbox
