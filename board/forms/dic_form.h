// DicForm, the dictionary window: an owned, modeless window that shows one dictionary entry, the word that
// was looked up (DicText1, one line) and its explanation (DicText2, several lines, wrapped). The look-up
// fills and places it (SlatewiseForm::MainPictureMouseUp); the window itself only takes its caption and
// icon from the board when it is loaded. Both texts are plain text: markup in a dictionary line is shown as
// it is written.
#pragma once

#include <QWidget>
#include <functional>

class QLineEdit;
class QPlainTextEdit;

namespace sw::board {

class DicForm final : public QWidget {
    Q_OBJECT
public:
    // Created hidden, owned by `board`; closing it unloads it (it deletes itself).
    explicit DicForm(QWidget& board);
    std::function<void()> onClosed;

    // The load step: caption and icon from the board. Nothing else.
    void load();

    QLineEdit* DicText1() const noexcept { return m_dicText1; }
    QPlainTextEdit* DicText2() const noexcept { return m_dicText2; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget& m_board;
    QLineEdit* m_dicText1 = nullptr;
    QPlainTextEdit* m_dicText2 = nullptr;
};

}  // namespace sw::board
