#include "board/forms/dic_form.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/gdi/units.h"

namespace sw::board {

namespace {

// The window's layout in twips, as the form was designed: a 3255 x 2970 client area holding the word above
// the explanation.
constexpr int kClientWidth = 3255, kClientHeight = 2970;
constexpr int kTextLeft = 120, kTextWidth = 3015;
constexpr int kWordTop = 120, kWordHeight = 375;
constexpr int kExplanationTop = 600, kExplanationHeight = 2295;

int pixels(int twips) { return gdi::roundHalfEven(gdi::twipsToPixels(twips)); }

QRect pixelRect(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

}  // namespace

DicForm::DicForm(QWidget& board) : QWidget(&board, Qt::Window), m_board(board) {
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    QFont font(QString::fromUtf16(u"ＭＳ 明朝"));
    font.setPointSize(12);
    setFont(font);

    m_dicText1 = new QLineEdit(this);
    m_dicText1->setGeometry(pixelRect(kTextLeft, kWordTop, kTextWidth, kWordHeight));
    m_dicText2 = new QPlainTextEdit(this);
    m_dicText2->setGeometry(pixelRect(kTextLeft, kExplanationTop, kTextWidth, kExplanationHeight));
    m_dicText2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_dicText2->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_dicText2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // every line wraps
    setTabOrder(m_dicText1, m_dicText2);
}

void DicForm::load() {
    setWindowTitle(m_board.windowTitle());
    setWindowIcon(m_board.windowIcon());
}

void DicForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!event->isAccepted()) return;
    if (onClosed) onClosed();
    onClosed = nullptr;
    deleteLater();
}

}  // namespace sw::board
