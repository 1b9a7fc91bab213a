// Painting of the clean copy on the board's canvas, in-process with the real overlay: fitted glyphs inside
// their narrowed boxes, weights, hidden entries, scrolling, the look-up path, and the cached image against
// painting afresh.
#include <gtest/gtest.h>

#include <QPaintEvent>
#include <QPainter>
#include <QTest>
#include <cstdlib>

#include "board/forms/main_picture.h"
#include "board/forms/menu_picture.h"
#include "board/forms/sub_form.h"
#include "board/layout.h"
#include "board_support.h"
#include "contracts/overlay.h"
#include "platform/automation/events.h"
#include "platform/gdi/color.h"

namespace {

using namespace sw::board;
using sw::board::test::BoardFixture;

constexpr QRgb kGreen = qRgb(0, 128, 0);

QImage canvasShot(SlatewiseForm& b) {
    b.mainPicture()->repaint();
    return b.mainPicture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Bounding box of the pixels of `color` inside `area`; null when there are none.
QRect inkBounds(const QImage& image, QRgb color, QRect area = {}) {
    if (area.isNull()) area = image.rect();
    area &= image.rect();
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == color) bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int pixelCount(const QImage& image, QRgb color, QRect area) {
    int n = 0;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += image.pixel(x, y) == color;
    return n;
}

QRect canvasRect(const CharRect& r, QPoint origin) {
    return QRect(QPoint(r.Left, r.Top), QPoint(r.Right - 1, r.Bottom - 1)).translated(origin);
}

TEST(CanvasPainting, GlyphsLieInTheirNarrowedBoxesBoldFromWidth3NothingForWidth0AndFollowTheScroll) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    CharacterTable& t = b.state().table;
    const QRgb red = qRgb(255, 0, 0), blue = qRgb(0, 0, 255), white = qRgb(255, 255, 255);
    const int thin = t.append(u"漢", {100, 100, 220, 160}, 0x000000FF, 2);
    const int bold = t.append(u"漢", {300, 100, 420, 160}, 0x00FFFFFF, 3);
    t.append(u"語", {500, 100, 560, 160}, 0x00FF0000, 0);
    const int small = t.append(u"字", {100, 300, 105, 305}, 0x000000FF, 1);  // a 5 x 5 box: 10 points
    const QImage shot = canvasShot(b);
    const QPoint origin(kOverlayInset, kOverlayInset);

    for (int i : {thin, bold}) {
        const CharRect& r = t.CharRects[i];
        EXPECT_LT(r.Right - r.Left, 120) << "narrowed to the text's width";
        EXPECT_LE(r.Bottom - r.Top, 60);
        EXPECT_GE(r.Bottom - r.Top, 50) << "the height limits the size";
        EXPECT_NEAR((r.Left + r.Right) / 2.0, i == thin ? 160 : 360, 0.5) << "centred where the box was";
        const QRect box = canvasRect(r, origin);
        const QRgb colour = i == thin ? red : white;
        const QRect ink = inkBounds(shot, colour, box.adjusted(-20, -20, 20, 20));
        ASSERT_FALSE(ink.isNull()) << i;
        EXPECT_TRUE(box.adjusted(-1, -1, 1, 1).contains(ink)) << "glyph " << i << " outside its box";
        EXPECT_GT(ink.width(), box.width() / 2);
    }
    EXPECT_GT(pixelCount(shot, white, canvasRect(t.CharRects[bold], origin).adjusted(-2, -2, 2, 2)),
              pixelCount(shot, red, canvasRect(t.CharRects[thin], origin).adjusted(-2, -2, 2, 2)) * 11 / 10)
        << "width 3 is bold";
    EXPECT_TRUE(inkBounds(shot, blue).isNull()) << "width 0 is not drawn";
    EXPECT_EQ(t.CharRects[3], (CharRect{500, 100, 560, 160})) << "nor its box touched";
    const CharRect& s = t.CharRects[small];
    EXPECT_GT(s.Right - s.Left, 5) << "a 5 x 5 box widens to the 10-point text";
    EXPECT_NEAR((s.Left + s.Right) / 2.0, 102.5, 0.5);

    // A second paint draws the same glyphs in the same boxes (a refit to the narrowed boxes once shrank
    // them).
    const std::vector<CharRect> narrowed = t.CharRects;
    t.touch();
    const QImage again = canvasShot(b);
    EXPECT_EQ(t.CharRects, narrowed);
    EXPECT_EQ(again, shot);

    // Scrolled by (100, 0): everything 100 pixels further left, stored boxes unchanged.
    ASSERT_TRUE(b.veil().scrollTo(100, 0));
    const QImage scrolled = canvasShot(b);
    EXPECT_EQ(t.CharRects, narrowed);
    const QRect thinBox = canvasRect(t.CharRects[thin], origin);
    EXPECT_EQ(inkBounds(scrolled, red, thinBox.translated(-100, 0).adjusted(-20, -20, 20, 20)),
              inkBounds(shot, red, thinBox.adjusted(-20, -20, 20, 20)).translated(-100, 0));
    EXPECT_EQ(scrolled.copy(thinBox.translated(-100, 0)), shot.copy(thinBox));
}

// Width 3 is bold at every size: from 64 pixels a glyph Qt draws as an outline lost the bold the face lacks.
TEST(CanvasPainting, BoldHoldsAtEverySize) {
    for (const int side : {40, 60, 90, 200}) {
        BoardFixture f;
        SlatewiseForm& b = *f.board;
        CharacterTable& t = b.state().table;
        const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255);
        const int thin = t.append(u"便", {20, 20, 20 + side, 20 + side}, 0x000000FF, 2);
        const int bold = t.append(u"便", {300, 20, 300 + side, 20 + side}, 0x00FFFFFF, 3);
        const QImage shot = canvasShot(b);
        const QPoint origin(kOverlayInset, kOverlayInset);
        const int thinInk =
            pixelCount(shot, red, canvasRect(t.CharRects[thin], origin).adjusted(-4, -4, 4, 4));
        const int boldInk =
            pixelCount(shot, white, canvasRect(t.CharRects[bold], origin).adjusted(-4, -4, 4, 4));
        ASSERT_GT(thinInk, 0) << side;
        EXPECT_GT(boldInk, thinInk * 12 / 10) << "a " << side << "-pixel box";
    }
}

TEST(CanvasPainting, TheLookupPathIsDrawnOpenWhileItHasTwoPointsOrMore) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    const QRgb light = sw::gdi::toQColor(kLookupPathColor).rgb();
    b.state().LookupPath = {{100, 100}, {200, 100}, {200, 200}};
    b.state().LookupCount = 1;
    EXPECT_TRUE(inkBounds(canvasShot(b), light).isNull());
    b.state().LookupCount = 3;
    const QImage shot = canvasShot(b);
    EXPECT_EQ(shot.pixel(150 + 2, 100 + 2), light);
    EXPECT_EQ(shot.pixel(200 + 2, 150 + 2), light);
    EXPECT_EQ(shot.pixel(150 + 2, 150 + 2), kGreen) << "not closed back to the first point";
    b.state().LookupCount = 0;
    EXPECT_TRUE(inkBounds(canvasShot(b), light).isNull());
}

// Paint rectangles of a widget.
class PaintRecorder final : public QObject {
public:
    explicit PaintRecorder(QWidget* w) { w->installEventFilter(this); }
    std::vector<QRect> rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

TEST(CanvasPainting, AChangedOverlayAreaRepaintsTheCanvasUnderIt) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    QApplication::processEvents();
    PaintRecorder painted(b.mainPicture());
    // The overlay raises AreaChanged (client pixels, edges inclusive); the board repaints at once.
    std::vector<sw::Variant> args = {int32_t(100), int32_t(50), int32_t(159), int32_t(89)};
    b.veil().site()->control()->events()->fire(sw::overlay::kEventAreaChanged, args);
    ASSERT_FALSE(painted.rects.empty());
    const QRect underArea(QPoint(100 + kOverlayInset, 50 + kOverlayInset), QSize(60, 40));
    EXPECT_TRUE(painted.rects.front().contains(underArea))
        << "the repainted rectangle includes the overlay's 2-pixel offset";
}

// Paints the table afresh, without the canvas's image or its remembered fits: what the canvas must show.
QImage paintedAfresh(const CharacterTable& original, QSize size, QPointF origin, const QString& face) {
    CharacterTable copy = original;
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(0, 128, 0));
    QPainter painter(&image);
    CleanCopyPainter(face).paint(painter, copy, origin);
    return image;
}

TEST(CanvasPainting, TheCachedImageShowsExactlyWhatPaintingAfreshShowsAndIsRedrawnOnlyWhenNeeded) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    MainPicture* canvas = b.mainPicture();
    CharacterTable& t = b.state().table;
    const char16_t* texts[] = {u"あ", u"漢", u"カ", u"A", u"字", u"。", u"7"};
    std::srand(7);
    for (int i = 0; i < 60; ++i) {
        const int x = std::rand() % 700, y = std::rand() % 450, w = 8 + std::rand() % 90,
                  h = 8 + std::rand() % 90;
        t.append(texts[i % 7], {x, y, x + w, y + h}, int32_t(0x00FFFFFF >> (i % 5) * 4), i % 5);
    }
    // The entries as committed, before any paint narrowed them.
    CharacterTable committed = t;
    const auto expectAfresh = [&](const char* when) {
        const QImage shot = canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shot,
                  paintedAfresh(committed, canvas->size(), canvas->documentOrigin(), canvas->fontFace()))
            << when;
    };
    canvas->repaint();
    expectAfresh("first paint");
    const int builds = canvas->imageBuilds();

    // Pen moves over the overlay repaint the canvas beneath from the image without redrawing it.
    QWidget* overlay = b.veil().widget();
    QTest::mousePress(overlay, Qt::LeftButton, {}, QPoint(50, 50));
    for (int x = 60; x < 400; x += 10) QTest::mouseMove(overlay, QPoint(x, 50 + x / 4));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, QPoint(400, 150));
    canvas->repaint(QRect(40, 40, 30, 30));
    EXPECT_EQ(canvas->imageBuilds(), builds);
    expectAfresh("after pen moves and a partial repaint");

    // Characters added are drawn over the image, with the pixels of a full paint.
    for (CharacterTable* table : {&t, &committed}) {
        table->append(u"新", {600, 400, 660, 460}, 0x0000FFFF, 2);
        table->append(u"字", {-5, 380, 40, 430}, 0x000000FF, 4);
    }
    canvas->repaint();
    EXPECT_EQ(canvas->imageBuilds(), builds);
    expectAfresh("after characters were added");
    for (const QPoint scroll : {QPoint(30, -20), QPoint(-170, 25), QPoint(0, 0)}) {
        b.veil().scrollTo(scroll.x(), scroll.y());
        canvas->repaint();
        expectAfresh("after a scroll");
    }
    EXPECT_EQ(canvas->imageBuilds(), builds + 3) << "a scroll redraws the image";
    t.touch();
    canvas->repaint();
    EXPECT_EQ(canvas->imageBuilds(), builds + 4) << "a changed entry redraws the image";
    b.resize(640, 400);
    canvas->repaint();
    EXPECT_EQ(canvas->imageBuilds(), builds + 5) << "a resize redraws the image";
    expectAfresh("after a resize");
    committed = t;  // another face refits the boxes as the last paint left them
    canvas->setFontFace(QStringLiteral("IPAGothic"));
    canvas->repaint();
    EXPECT_EQ(canvas->imageBuilds(), builds + 6) << "a font change redraws the image";
    expectAfresh("after a font change");
}

// Not a check: with SLATEWISE_SHOTS_DIR set, saves the board with some clean copy, some ink and the palette
// open, as the README shows it.
TEST(CanvasPainting, Screenshot) {
    const char* dir = std::getenv("SLATEWISE_SHOTS_DIR");
    if (!dir) GTEST_SKIP() << "SLATEWISE_SHOTS_DIR not set";
    BoardFixture f({.size = {900, 560}});
    SlatewiseForm& b = *f.board;
    CharacterTable& t = b.state().table;
    const std::u16string line = u"今日は晴れです。";
    for (size_t i = 0; i < line.size(); ++i)
        t.append(line.substr(i, 1), {60 + int(i) * 70, 60, 120 + int(i) * 70, 124}, 0x00FFFFFF,
                 i < 3 ? 3 : 2);
    t.append(u"漢", {80, 200, 160, 280}, 0x0000FFFF, 2);
    t.append(u"字", {170, 200, 250, 280}, 0x0000FFFF, 2);
    QWidget* overlay = b.veil().widget();
    b.veil().setForeColor(0x00FFFFFF);
    const QPoint stroke[][2] = {{{420, 220}, {520, 220}}, {{470, 190}, {470, 300}}, {{430, 260}, {510, 300}}};
    for (const auto& s : stroke) {
        QTest::mousePress(overlay, Qt::LeftButton, {}, s[0]);
        for (int k = 1; k <= 10; ++k) QTest::mouseMove(overlay, s[0] + (s[1] - s[0]) * k / 10);
        QTest::mouseRelease(overlay, Qt::LeftButton, {}, s[1]);
    }
    QTest::mouseClick(b.menuPicture(), Qt::LeftButton, {}, QPoint(450, 15));
    SubForm* palette = b.loadedSubForm();
    QImage shot = b.grab().toImage();
    QPainter p(&shot);
    p.drawImage(palette->geometry().topLeft() - b.geometry().topLeft(), palette->grab().toImage());
    p.end();
    ASSERT_TRUE(shot.save(QString::fromLocal8Bit(dir) + "/board-offscreen.png"));
}

}  // namespace
