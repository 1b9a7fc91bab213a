// SlatewiseForm, the board window: the canvas MainPicture, the overlay VeilCtl in front of it, the menu
// strip MenuPicture along the bottom, the recognition box Quillbox1 (hidden until it holds a result), the
// invisible controls Veiladd1 and Penmate1, the dictionary list jList, and the tool palette SubForm.
//
// The controls are created from the class registry by their class identities and called by dispatch id
// only; a control that fails to load leaves its proxy empty and the board runs without it.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#include "board/board_state.h"
#include "board/controls/penmate_proxy.h"
#include "board/controls/quillbox_proxy.h"
#include "board/controls/veil_proxy.h"
#include "board/controls/veiladd_proxy.h"
#include "board/forms/form_slot.h"
#include "platform/automation/events.h"

namespace sw::win {
class ListBox;
}

namespace sw::board {

class DicForm;
class MainPicture;
class MenuPicture;
class SubForm;

struct BoardOptions {
    QString programFolder;  // the program's folder: the working directory, the modules and "dic.txt"
    QString commandLine;    // the text after the program's path, taken whole; empty for none
};

inline constexpr const char* kCaption = "Slatewise";

class SlatewiseForm final : public QWidget {
    Q_OBJECT
public:
    // Creates the elements and controls and runs start-up; the window is not shown yet.
    explicit SlatewiseForm(BoardOptions options);
    ~SlatewiseForm() override;

    // Public members of the board, used by its other windows.
    int16_t PenMode() const noexcept { return m_state.PenMode; }
    void setPenMode(int16_t mode) noexcept { m_state.PenMode = mode; }
    // Commits a pending recognition result to the clean copy and clears and hides the box (flow.cpp).
    void RecognizeEnd();
    // Handlers of the overlay's events PatternSelected and MouseForward (flow.cpp); the overlay raises them
    // on the user-interface thread. Any handle and count are accepted: what the add-in refuses changes
    // nothing.
    void PatternSelected(int32_t data, int32_t dataNum);
    void MouseForward(int32_t msg, int32_t wParam, int32_t lParam);

    BoardState& state() noexcept { return m_state; }
    QString fontFace() const { return m_fontFace; }
    MainPicture* mainPicture() const noexcept { return m_mainPicture; }
    MenuPicture* menuPicture() const noexcept { return m_menuPicture; }
    win::ListBox* jList() const noexcept { return m_jList; }
    VeilProxy& veil() noexcept { return m_veil; }
    QuillboxProxy& quillbox() noexcept { return m_quillbox; }
    VeiladdProxy& veiladd() noexcept { return m_veiladd; }
    PenmateProxy& penmate() noexcept { return m_penmate; }
    // The palette, loaded (hidden) when it is not; loadedSubForm() never loads it.
    SubForm* subForm();
    SubForm* loadedSubForm() const noexcept;
    int subFormLoads() const noexcept { return m_subForm.loads(); }

    // The menu strip's press: Button 1 opens the palette above the strip, centred on the pen.
    void MenuPictureMouseDown(int button, QPointF point);

    // The dictionary look-up (lookup.cpp): the canvas's pen events, in canvas pixels. A left-button press
    // starts a look-up path, moves extend it, the left button's release looks up the characters it encloses
    // and shows the entry in the dictionary window.
    void MainPictureMouseDown(int button, int shift, float x, float y);
    void MainPictureMouseMove(int button, int shift, float x, float y);
    void MainPictureMouseUp(int button, int shift, float x, float y);
    // The dictionary window, loaded (hidden) when it is not; loadedDicForm() never loads it.
    DicForm* dicForm();
    DicForm* loadedDicForm() const noexcept;
    int dicFormLoads() const noexcept { return m_dicForm.loads(); }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void load();
    void layout();
    void unload();
    void onVeilEvent(DispId id, std::span<Variant> args);
    void AreaChanged(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Look-up helpers (lookup.cpp).
    PathPoint canvasPointToDocument(float x, float y) const;
    QString lookupSelection() const;
    void showDictionaryEntry(const QString& word, const QString& explanation, float x, float y);
    int32_t windowUnderScreenPoint(QPoint screen);

    BoardOptions m_options;
    BoardState m_state;
    QString m_fontFace;
    MainPicture* m_mainPicture = nullptr;
    MenuPicture* m_menuPicture = nullptr;
    win::ListBox* m_jList = nullptr;
    FunctionSink m_veilSink;
    uint32_t m_veilCookie = 0;
    VeilProxy m_veil;
    QuillboxProxy m_quillbox;
    VeiladdProxy m_veiladd;
    PenmateProxy m_penmate;
    // The selection of the pending result, document coordinates: where a character lands whose strokes
    // cannot be measured at commit.
    CharRect m_pendingSelection;
    // The window that took a forwarded button press: the rest of the drag goes to it until all buttons are
    // up. 0 when no button is held.
    int32_t m_forwardTarget = 0;
    FormSlot<SubForm> m_subForm;
    FormSlot<DicForm> m_dicForm;
    bool m_unloaded = false;
};

}  // namespace sw::board
