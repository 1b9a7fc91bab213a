// The tool palette's handlers.
#include "board/forms/sub_form.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>

#include "board/controls/veil_proxy.h"
#include "board/forms/icons.h"
#include "board/forms/main_picture.h"
#include "board/forms/slatewise_form.h"
#include "platform/gdi/color.h"

namespace sw::board {

PictureElement::PictureElement(QWidget* parent) : QWidget(parent) {}

void PictureElement::setBackColor(uint32_t oleColor) {
    m_backColor = oleColor;
    update();
}

void PictureElement::setPicture(QImage picture) {
    m_picture = std::move(picture);
    update();
}

void PictureElement::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), gdi::toQColor(m_backColor));
    if (!m_picture.isNull()) p.drawImage(0, 0, m_picture);
    if (m_lineWidth > 0) {
        p.setPen(QPen(gdi::toQColor(m_foreColor), m_lineWidth, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(0, height() / 2.0), QPointF(width(), height() / 2.0));
    }
}

void PictureElement::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
        onClick();
}

SubForm::SubForm(SlatewiseForm& board) : QWidget(&board, Qt::Tool), m_board(board) {
    setFixedSize(paletteClientSize());
    QFont font(QString::fromUtf16(u"ＭＳ 明朝"));
    font.setPointSize(12);
    setFont(font);

    for (int i = 0; i < kColorSwatches; ++i) {
        auto* e = m_colPic[i] = new PictureElement(this);
        e->setGeometry(colorSwatchRect(i));
        e->setBackColor(kSwatchColors[i]);
        e->onClick = [this, i] { ColPicClick(i); };
    }
    for (int i = 0; i < kWidthSamples; ++i) {
        auto* e = m_widPic[i] = new PictureElement(this);
        e->setGeometry(widthSampleRect(i));
        e->setBackColor(kWidthSampleBack);
        e->setLineWidth(widthOfSample(i));
        e->onClick = [this, i] { WidPicClick(i); };
    }
    for (int i = 0; i < kScrollButtons; ++i) {
        auto* b = m_scrButton[i] = new QPushButton(QString::fromUtf16(kScrollCaptions[i]), this);
        b->setGeometry(scrollButtonRect(i));
        connect(b, &QPushButton::clicked, this, [this, i] { ScrButtonClick(i); });
    }
    const QImage icons[kModeButtons] = {penIcon(), sheetIcon(), bookIcon()};
    for (int i = 0; i < kModeButtons; ++i) {
        auto* e = m_modePic[i] = new PictureElement(this);
        e->setGeometry(modeButtonRect(i));
        e->setBackColor(kModeColor);
        e->setPicture(icons[i]);
        e->onClick = [this, i] { ModePicClick(i); };
    }
}

void SubForm::load() {
    setWindowTitle(m_board.windowTitle());
    setWindowIcon(m_board.windowIcon());
    VeilProxy& veil = m_board.veil();
    setSample(veil.penWidth(), veil.foreColor());
    for (PictureElement* e : m_widPic) e->setForeColor(veil.foreColor());
    ModePicClick(m_board.PenMode());
}

void SubForm::ModePicClick(int index) {
    const auto writes = modeWrites(index);
    if (writes.empty()) return;  // PenMode holds no mode of the palette: nothing to select
    m_board.RecognizeEnd();
    for (int k = 0; k < kModeButtons; ++k)
        m_modePic[k]->setBackColor(k == index ? kModeSelectedColor : kModeColor);
    m_board.setPenMode(static_cast<int16_t>(index));
    m_board.veil().apply(writes);
}

void SubForm::ColPicClick(int index) {
    if (index < 0 || index >= kColorSwatches) return;
    VeilProxy& veil = m_board.veil();
    veil.setForeColor(m_colPic[index]->backColor());
    const uint32_t color = veil.foreColor();
    setSample(m_sampleWidth, color);
    for (PictureElement* e : m_widPic) {
        e->setForeColor(color);
        e->repaint();
    }
    ModePicClick(kPenModePen);
}

void SubForm::WidPicClick(int index) {
    if (index < 0 || index >= kWidthSamples) return;
    VeilProxy& veil = m_board.veil();
    veil.setPenWidth(widthOfSample(index));
    setSample(veil.penWidth(), m_sampleColor);
    ModePicClick(kPenModePen);
}

void SubForm::ScrButtonClick(int index) {
    if (m_board.PenMode() != kPenModePen) return;
    VeilProxy& veil = m_board.veil();
    const auto target = scrollTarget(index, veil.scrollX(), veil.scrollY());
    if (!target) return;
    veil.scrollTo(target->first, target->second);
    // The clean copy moves with the ink, also in the strip of the canvas the overlay does not cover.
    m_board.mainPicture()->update();
}

void SubForm::setSample(int width, uint32_t color) {
    m_sampleWidth = width;
    m_sampleColor = color;
    update();
}

void SubForm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (!event->isAccepted()) return;
    if (onClosed) onClosed();
    onClosed = nullptr;
    deleteLater();
}

void SubForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(QPen(gdi::toQColor(m_sampleColor), std::max(1, m_sampleWidth), Qt::SolidLine, Qt::FlatCap));
    p.drawLine(sampleLine());
}

}  // namespace sw::board
