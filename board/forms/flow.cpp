// The recognition flow of the board: a lasso hands the circled ink to the recognition box
// (PatternSelected), a palette press commits the box's result to the clean copy (RecognizeEnd), and mouse
// messages the overlay lets through reach the window under the pen (MouseForward).
//
// Ownership of the handles met here: the selection of an overlay event and the overlay's PointData are the
// overlay's; the remainder from DeletePattern is the add-in's and is freed with FreePatternData; a PTW from
// CreatePTW is freed with FreePTW, one from GetNthString with the box's DeletePTW.
#include <QPointF>

#include "board/flow_geometry.h"
#include "board/forms/main_picture.h"
#include "board/forms/slatewise_form.h"
#include "contracts/quillbox.h"
#include "platform/window/window.h"

namespace sw::board {

namespace {

// Frees an add-in array when it goes out of scope.
class PatternDataGuard {
public:
    PatternDataGuard(VeiladdProxy& veiladd, int32_t data) : m_veiladd(veiladd), m_data(data) {}
    ~PatternDataGuard() { m_veiladd.freePatternData(m_data); }
    PatternDataGuard(const PatternDataGuard&) = delete;
    PatternDataGuard& operator=(const PatternDataGuard&) = delete;

private:
    VeiladdProxy& m_veiladd;
    int32_t m_data;
};

constexpr bool isButtonDown(uint32_t msg) noexcept {
    return msg == win::WM_LBUTTONDOWN || msg == win::WM_RBUTTONDOWN || msg == win::WM_MBUTTONDOWN ||
           msg == win::WM_LBUTTONDBLCLK || msg == win::WM_RBUTTONDBLCLK || msg == win::WM_MBUTTONDBLCLK;
}

constexpr uint32_t kButtonFlags = win::MK_LBUTTON | win::MK_RBUTTON | win::MK_MBUTTON;

// The deepest descent MouseForward follows; windows nest a few levels at most, so a longer chain is a
// cycle.
constexpr int kMaxWindowDepth = 32;

}  // namespace

// Hands the selection (the overlay's array, `dataNum` points) to the recognition box. The steps keep this
// order: DeletePattern matches points by their coordinates, which MoveVeil then changes in place.
//
// A step that fails (no points, a refused DeletePattern, GetVeilRect or MoveVeil) ends the handler with the
// overlay untouched: the remainder of a failed DeletePattern is no array, and setting it would erase all the
// ink. A result still pending in the box is committed first, so that its characters are not lost with the
// ink it already took from the overlay.
void SlatewiseForm::PatternSelected(int32_t data, int32_t dataNum) {
    if (m_quillbox.visible()) RecognizeEnd();
    if (dataNum <= 0) return;

    const int32_t all = m_veil.pointData();
    const int32_t allCount = m_veil.pointCount();
    const std::optional<PatternData> rest = m_veiladd.deletePattern(all, allCount, data, dataNum);
    if (!rest) return;
    const PatternDataGuard restGuard(m_veiladd, rest->data);

    const std::optional<CharRect> bounds = m_veiladd.getVeilRect(data, dataNum);
    if (!bounds) return;
    if (!m_veiladd.moveVeil(data, dataNum, bounds->Left - kBoxMargin, bounds->Top - kBoxMargin)) return;

    m_quillbox.clear();
    m_quillbox.setBackCharColor(static_cast<uint32_t>(m_penmate.getStrokeData(data, 0, StrokeField::Color)));
    m_quillbox.setTag(QString::number(m_penmate.getStrokeData(data, 0, StrokeField::Width)).toStdU16String());
    const int32_t ptw = m_penmate.createPTW(data, dataNum);
    m_quillbox.setString(ptw);
    m_penmate.freePTW(ptw);

    const QRect box =
        quillboxPlacement(*bounds, m_veil.geometry().topLeft(), QPoint(m_veil.scrollX(), m_veil.scrollY()));
    m_quillbox.move(box.x(), box.y(), box.width(), box.height());
    m_quillbox.recognize();

    if (m_quillbox.recog()) {
        m_pendingSelection = *bounds;
        m_quillbox.setVisible(true);
        m_veil.setPointData(rest->data, rest->count);
        m_veil.apply(modeWrites(kPenModeOperate));
    }
}

// Commits the box's result: each character of Result becomes an entry of the clean copy, at the rectangle
// of its own strokes returned to the board, in the selection's colour and width. Then the box is cleared and
// hidden, in every case.
//
// A correction the teacher wrote in the box whose timer has not fired yet is applied first, so the character
// committed is the corrected one. A character whose strokes cannot be measured takes the selection's
// rectangle instead of vanishing: its ink has already left the overlay.
void SlatewiseForm::RecognizeEnd() {
    win::sendMessage(m_quillbox.hWnd(), win::WM_TIMER, sw::quillbox::kCorrectionTimerId, 0);

    const std::u16string result = m_quillbox.result();
    if (!result.empty() && m_quillbox.recog()) {
        CharacterTable& table = m_state.table;
        const auto n = static_cast<int32_t>(result.size());
        const int32_t base = table.grow(n);
        const QPointF boxPos = m_quillbox.geometry().topLeft();
        const QPoint overlayPos = m_veil.geometry().topLeft();
        const QPoint scroll(m_veil.scrollX(), m_veil.scrollY());
        const int32_t width = widthFromTag(m_quillbox.tag());
        const auto color = static_cast<int32_t>(m_quillbox.backCharColor());
        for (int32_t i = 1; i <= n; ++i) {
            const int32_t at = base + i;
            table.CharTexts[at] = std::u16string(1, result[i - 1]);
            const int32_t ptw = m_quillbox.getNthString(i);
            const std::optional<CharRect> inBox = m_veiladd.getPtwRect(ptw);
            table.CharRects[at] =
                inBox ? committedRect(boxPos, *inBox, overlayPos, scroll) : m_pendingSelection;
            table.CharWidths[at] = width;
            table.CharColors[at] = color;
            m_quillbox.deletePTW(ptw);
        }
        m_mainPicture->repaint();
    }
    m_quillbox.clear();
    m_quillbox.setVisible(false);
}

// The window under a screen point: from the board's window down through the children that
// WindowBelowPoint names (the overlay itself never counts), to the deepest one.
int32_t SlatewiseForm::windowUnderScreenPoint(QPoint screen) {
    int32_t h = win::handleOf(this);
    for (int depth = 0; depth < kMaxWindowDepth; ++depth) {
        const int32_t parent = h;
        const QPoint local = win::screenToClient(parent, screen);
        h = m_veil.windowBelowPoint(parent, local.x(), local.y());
        if (h == 0 || h == parent) return h;
    }
    return h;
}

// Delivers a mouse message the overlay lets through (LParam: its client point) to the window under the pen,
// in that window's client coordinates. A button press fixes the target: the rest of the drag, the release
// included, goes to the same window wherever the pen goes, until no button is held.
void SlatewiseForm::MouseForward(int32_t msg, int32_t wParam, int32_t lParam) {
    const auto message = static_cast<uint32_t>(msg);
    const auto keys = static_cast<uint32_t>(wParam);
    const QPoint screen = win::clientToScreen(m_veil.hWnd(), forwardedPoint(lParam));

    const bool held = m_forwardTarget != 0 && win::widgetOf(m_forwardTarget) != nullptr;
    const int32_t target = held ? m_forwardTarget : windowUnderScreenPoint(screen);
    if (isButtonDown(message))
        m_forwardTarget = target;
    else if ((keys & kButtonFlags) == 0)
        m_forwardTarget = 0;  // a release, or a move with no button held (a release that went elsewhere)
    if (target == 0) return;

    const QPoint client = win::screenToClient(target, screen);
    win::sendMessage(target, message, keys, win::makeLParam(client.x(), client.y()));
}

}  // namespace sw::board
