// SubForm, the tool palette: an owned, modeless window that chooses the mode (pen, lasso, operate), the pen
// colour and width, scrolls the overlay and shows a sample of the current pen. Everything it sets lives in
// the overlay and in the board's PenMode; the palette keeps no state of its own beyond what it shows.
#pragma once

#include <QImage>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "board/palette_model.h"

namespace sw::board {

class SlatewiseForm;

// A picture element of the palette: a background colour, an optional picture at its top-left corner, an
// optional horizontal line across its middle (the width samples), and a click on left-button release.
class PictureElement final : public QWidget {
    Q_OBJECT
public:
    explicit PictureElement(QWidget* parent);
    uint32_t backColor() const noexcept { return m_backColor; }
    void setBackColor(uint32_t oleColor);
    uint32_t foreColor() const noexcept { return m_foreColor; }
    void setForeColor(uint32_t oleColor) { m_foreColor = oleColor; }
    void setPicture(QImage picture);
    void setLineWidth(int width) { m_lineWidth = width; }  // > 0 draws the middle line
    std::function<void()> onClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    uint32_t m_backColor = 0;
    uint32_t m_foreColor = 0;
    QImage m_picture;
    int m_lineWidth = 0;
};

class SubForm final : public QWidget {
    Q_OBJECT
public:
    // Created hidden, owned by the board window; closing it unloads it (it deletes itself).
    explicit SubForm(SlatewiseForm& board);
    std::function<void()> onClosed;

    // The load step: caption and icon from the board, the sample from the overlay's pen, the board's mode.
    void load();

    void ModePicClick(int index);
    void ColPicClick(int index);
    void WidPicClick(int index);
    void ScrButtonClick(int index);

    PictureElement* ColPic(int index) const { return m_colPic.at(index); }
    PictureElement* WidPic(int index) const { return m_widPic.at(index); }
    PictureElement* ModePic(int index) const { return m_modePic.at(index); }
    QPushButton* ScrButton(int index) const { return m_scrButton.at(index); }
    int sampleLineWidth() const noexcept { return m_sampleWidth; }
    uint32_t sampleLineColor() const noexcept { return m_sampleColor; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setSample(int width, uint32_t color);

    SlatewiseForm& m_board;
    std::array<PictureElement*, kColorSwatches> m_colPic{};
    std::array<PictureElement*, kWidthSamples> m_widPic{};
    std::array<PictureElement*, kModeButtons> m_modePic{};
    std::array<QPushButton*, kScrollButtons> m_scrButton{};
    int m_sampleWidth = 1;
    uint32_t m_sampleColor = 0;
};

}  // namespace sw::board
