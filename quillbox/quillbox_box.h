// The recognition box: ink capture into the engine's recognizer object, recognition and the result with its
// candidates, and the off-screen canvas that shows them.
//
// Coordinates: window points are pixels of the box's client area; canvas points are window points plus
// (ShowX, ShowY). Every point handed to the engine is a canvas point.
//
// The canvas is an off-screen image, rebuilt whole by reWrite() (live ink of input mode is drawn into it
// directly). The window shows the part at (ShowX, ShowY) and, in result mode, the pen feedback of the stroke
// being drawn on top of it without touching the canvas; refresh() (and so reWrite()) removes that feedback.
//
// Ownership: the box owns its engine binding and its recognizer object. Candidate lists it hands out are
// blocks of the handle table owned by the box (freed by deleteCR); pattern records come from the engine
// (freed by deletePTW). Every call runs on the user-interface thread; nothing throws out of the public
// members except std::bad_alloc.
#pragma once

#include <QImage>
#include <QLine>
#include <QPointer>
#include <QPolygon>
#include <QSize>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "contracts/quillbox.h"
#include "contracts/scribeng.h"
#include "quillbox/box_props.h"
#include "quillbox/box_rules.h"
#include "quillbox/engine_binding.h"
#include "records/handle_table.h"

class QWidget;
class QPainter;

namespace sw::quillbox {

// Where the box's events go (the control fires them to its sinks).
class BoxEvents {
public:
    virtual ~BoxEvents() = default;
    virtual void resultChange() = 0;
    virtual void recSelectChange(int32_t selectNum) = 0;
};

// Command-menu identifiers of the right button.
inline constexpr uint32_t kMenuRecognize = 2000;
inline constexpr uint32_t kMenuInput = 2001;
inline constexpr uint32_t kMenuLineDel = 2002;
inline constexpr uint32_t kMenuClear = 2003;
inline constexpr uint32_t kMenuCancel = 2004;

// The candidate menu's identifiers (2000: the current character, 2001 + i: candidate i). The correction
// timer's id is kCorrectionTimerId of contracts/quillbox.h.
inline constexpr uint32_t kMenuCurrentChar = 2000;
inline constexpr uint32_t kMenuFirstCandidate = 2001;

// A run of strokes selected by a lasso; first is -1 when nothing is selected.
struct StrokeRun {
    int32_t first = -1;
    int32_t last = -2;
    bool operator==(const StrokeRun&) const = default;
};

class QuillboxBox {
public:
    explicit QuillboxBox(BoxEvents& events);
    ~QuillboxBox();  // destroys the recognizer object, then unloads the engine
    QuillboxBox(const QuillboxBox&) = delete;
    QuillboxBox& operator=(const QuillboxBox&) = delete;

    // Window creation: takes the engine, makes the 1 x 1 canvas and a fresh recognizer (ResetRecognizer).
    void start(std::unique_ptr<EngineBinding> engine);
    bool started() const noexcept { return m_engine != nullptr; }
    // The window that shows the box; null when there is none (painting requests then do nothing).
    void setWindow(QWidget* window) noexcept { m_window = window; }
    QWidget* window() const noexcept { return m_window; }

    BoxProps& props() noexcept { return m_props; }
    const BoxProps& props() const noexcept { return m_props; }
    int32_t object() const noexcept { return m_object; }
    const EngineApi& engine() const noexcept { return m_engine->api(); }
    const QImage& canvas() const noexcept { return m_canvas; }
    QSize clientSize() const noexcept { return m_client; }
    const std::vector<QLine>& feedback() const noexcept { return m_feedback; }

    // --- Methods of the dispatch interface. ---
    void clear();
    void delLastLine();
    void deletePTW(Handle ptw);
    Handle getAllString();
    Handle getNthString(int32_t num);
    void reWrite();
    void recognize();
    void deleteCR(Handle list);
    Handle getNthCR(int32_t num);
    void recognizeCancel();
    void setString(Handle ptw);
    bool setNthRecChars(int32_t charNum, int32_t recNum);
    bool getNthRecChars(int32_t charNum);
    void refresh();

    // --- Setter effects of properties. ---
    void setShowX(int32_t value);
    void setShowY(int32_t value);
    void setAutoShow(bool value);

    // --- Operations shared with the gestures. ---
    // The client area changed size (a Move of the host, shown or hidden, or a resize of the window).
    void setClientSize(QSize size);
    void adjustView();
    void clearCanvas();
    void resetRecognizer();
    void applyCategories();
    // Box of character i (0-based) in canvas coordinates, grown to MinBound within the canvas.
    std::optional<CharBox> getCharBox(int32_t index);
    // 1-based character under a window point, 0 for none and in input mode; nested boxes give the innermost.
    int32_t hitTestChar(QPoint window);
    bool isInTapArea(QPoint canvasPoint, int32_t index);
    // Replaces character n (1-based) by ch; fires ResultChange when it changed.
    bool replaceResultChar(int32_t n, std::array<char, 2> ch);
    // The result string and character count of the engine; nullopt when there is none.
    std::optional<std::string> engineString(int32_t* count = nullptr);

    // --- Gestures of result mode. ---
    // The stroke run a lasso selects: the point buffer is the lasso (canvas points), drawn from the press
    // point to the last point.
    StrokeRun selectStrokesInRegion();
    // The correction timer fired: the pending character's strokes are replaced by the correction strokes and
    // the box recognised again.
    void correctionTimerFired();
    bool correctionPending() const noexcept { return m_correctionPending; }
    int32_t pendingChar() const noexcept { return m_pendingChar; }
    const std::vector<std::vector<EnginePoint>>& correctionStrokes() const noexcept { return m_correction; }

    // --- Pen input at window points. ---
    void leftDown(QPoint p);
    void mouseMove(QPoint p);
    void leftUp(QPoint p);
    void rightDown(QPoint p);
    void middleDown(QPoint p);
    bool penDown() const noexcept { return m_penDown; }

    // Draws the client rectangle `clip` of the window: the canvas at the view offset and the pen feedback.
    void paintWindow(QPainter& painter, const QRect& clip) const;

private:
    QColor color(uint32_t oleColor) const;
    QRect canvasRect() const noexcept { return m_canvas.rect(); }
    void drawBackgroundText(QPainter& painter);
    void drawResult(QPainter& painter);
    void drawInk(QPainter& painter);
    // Fires ResultChange; false when a handler destroyed the box (nothing of it may be used then).
    bool fireResultChange();
    void updateWindow(const QRect& windowRect);
    void appendPoint(QPoint window);
    QPoint clampToClient(QPoint p, bool inputMode) const noexcept;
    // The release of a stroke in result mode; true when it armed the correction timer.
    bool releaseInResultMode(QPoint p);
    bool strokeCountAtLeastOne();
    void lasso();
    void mergeChars(int32_t f, int32_t g);
    void tap(int32_t f, QPoint press);
    // Recognises strokes first..last as one character and merges the new result into Result. Returns false,
    // changing nothing, when the engine refuses the run.
    bool regroup(int32_t first, int32_t last);
    void armCorrectionTimer();
    // Ends a pending correction: the timer is killed and its strokes dropped, so it never fires for a
    // result it does not belong to.
    void cancelCorrection();
    std::optional<QPolygon> openLinePolygon(const CharBox& box) const;

    BoxEvents& m_events;
    BoxProps m_props;
    std::unique_ptr<EngineBinding> m_engine;
    int32_t m_object = 0;
    QImage m_canvas;
    QSize m_client{0, 0};
    QPointer<QWidget> m_window;
    std::vector<QLine> m_feedback;  // result-mode pen feedback, window coordinates

    bool m_penDown = false;
    bool m_moved = false;
    bool m_correctionPending = false;
    uint32_t m_timerId = 0;
    int32_t m_pendingChar = 0;
    QPoint m_lastPoint;
    QPoint m_pressPoint;
    std::vector<EnginePoint> m_points;                   // canvas points of the stroke being drawn
    std::vector<std::vector<EnginePoint>> m_correction;  // strokes written over the pending character
    // Expires when the box is destroyed: code that fires an event or runs a menu checks it before it goes on,
    // because a handler may destroy the box.
    std::shared_ptr<int> m_life = std::make_shared<int>(0);
};

}  // namespace sw::quillbox
