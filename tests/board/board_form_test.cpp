// The board started in-process (offscreen, a registry of its own) with the real control modules: start-up,
// layout, the controls it hosts, the menu strip and the tool palette.
#include <gtest/gtest.h>

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <functional>

#include "board/forms/main_picture.h"
#include "board/forms/menu_picture.h"
#include "board/forms/sub_form.h"
#include "board/layout.h"
#include "board_support.h"
#include "contracts/overlay.h"
#include "contracts/quillbox.h"
#include "platform/gdi/color.h"
#include "platform/gdi/units.h"
#include "platform/window/listbox.h"

namespace {

using namespace sw::board;
using sw::board::test::BoardFixture;
using sw::board::test::BoardSetup;
namespace ov = sw::overlay;
namespace qb = sw::quillbox;

struct OverlayState {
    int drawKind;
    bool inkInput, lassoSelect, inkDisplay, passThrough;
    bool operator==(const OverlayState&) const = default;
};
std::ostream& operator<<(std::ostream& os, const OverlayState& s) {
    return os << "DrawKind " << s.drawKind << " InkInput " << s.inkInput << " LassoSelect " << s.lassoSelect
              << " InkDisplay " << s.inkDisplay << " MousePassThrough " << s.passThrough;
}
OverlayState overlayState(VeilProxy& veil) {
    return {veil.getI4(ov::kDispDrawKind), veil.getBool(ov::kDispInkInput),
            veil.getBool(ov::kDispLassoSelect), veil.getBool(ov::kDispInkDisplay),
            veil.getBool(ov::kDispMousePassThrough)};
}
constexpr OverlayState kPenState{1, true, false, true, false};
constexpr OverlayState kLassoState{2, true, true, true, false};

int highlightedMode(SubForm* palette) {
    int found = -1;
    for (int i = 0; i < kModeButtons; ++i) {
        const uint32_t back = palette->ModePic(i)->backColor();
        if (back == kModeSelectedColor) {
            if (found >= 0) return -2;  // more than one
            found = i;
        } else if (back != kModeColor) {
            return -3;
        }
    }
    return found;
}

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

TEST(BoardStartUp, CreatesAndPlacesItsControlsAndSelectsPenModeThroughTheHiddenPalette) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;

    ASSERT_TRUE(b.veil().loaded()) << "overlay module not found: " << b.veil().createResult();
    EXPECT_TRUE(b.veiladd().loaded());
    EXPECT_TRUE(b.penmate().loaded());
    EXPECT_FALSE(b.veiladd().widget()->isVisible()) << "invisible at run time";
    EXPECT_FALSE(b.penmate().widget()->isVisible());

    // The overlay over the canvas, in front of it, on the board's colour.
    const BoardLayout l = layoutBoard(b.width(), b.height(), kStripHeight);
    EXPECT_EQ(b.veil().geometry(), l.overlay);
    EXPECT_EQ(b.childAt(l.overlay.center()), b.veil().widget()) << "the overlay lies above the canvas";
    EXPECT_EQ(b.veil().getI4(ov::kDispBackColor), int32_t(kBoardColor));
    EXPECT_EQ(b.mainPicture()->backColor(), kBoardColor);
    EXPECT_EQ(b.menuPicture()->height(), kStripHeight);
    EXPECT_EQ(b.menuPicture()->palette().color(QPalette::Window), QColor(255, 255, 192));

    // The palette loaded hidden, pen mode highlighted and set on the overlay.
    SubForm* palette = b.loadedSubForm();
    ASSERT_NE(palette, nullptr);
    EXPECT_FALSE(palette->isVisible());
    EXPECT_EQ(palette->parentWidget(), &b) << "owned by the board";
    EXPECT_EQ(highlightedMode(palette), 0);
    EXPECT_EQ(b.PenMode(), 0);
    EXPECT_EQ(overlayState(b.veil()), kPenState);
    EXPECT_EQ(palette->sampleLineWidth(), 2);
    EXPECT_EQ(palette->sampleLineColor(), 0x00FFFFFFu);
    EXPECT_EQ(palette->windowTitle(), b.windowTitle());

    EXPECT_EQ(b.state().table.upperBound(), 0);
    EXPECT_EQ(b.state().LookupCount, 0);
    EXPECT_EQ(QDir::currentPath(), QDir(f.folder()).canonicalPath());
}

TEST(BoardStartUp, HostsTheRecognitionBoxHiddenWithItsStoredSettings) {
    if (!test::boxModuleBuilt()) GTEST_SKIP() << "libquillbox.so is not in the runtime folder";
    BoardFixture f;
    QuillboxProxy& box = f.board->quillbox();
    ASSERT_TRUE(box.loaded()) << box.createResult();
    EXPECT_FALSE(box.visible());
    EXPECT_FALSE(box.widget()->isVisible());
    EXPECT_EQ(box.geometry().size(), QSize(97, 89));

    struct Row {
        sw::DispId id;
        sw::Variant value;
    };
    const Row rows[] = {
        {qb::kDispForeColor, int32_t(0x00FFFFFF)},
        {qb::kDispBackColor, int32_t(0x0080FF80)},
        {qb::kDispForeColorR, int32_t(0x00FFFFFF)},
        {qb::kDispSelectColor, int32_t(0x00FF0000)},
        {qb::kDispResultColor, int32_t(0x000000FF)},
        {qb::kDispBackCharColor, int32_t(0x00FFC4C4)},
        {qb::kDispResultFontMiniColor, int32_t(0x008080FF)},
        {qb::kDispTapPointColor, int32_t(0x0000C000)},
        {qb::kDispForeWidth, int32_t(2)},
        {qb::kDispRecogNum, int32_t(5)},
        {qb::kDispRecogTimermsec, int32_t(1200)},
        {qb::kDispBackCharWidth, int32_t(0)},
        {qb::kDispDivSize, 0.65f},
        {qb::kDispSelectInPoint, 0.75f},
        {qb::kDispTapPointSize, 0.5f},
        {qb::kDispResultFontName, u"ＭＳ 明朝"},
        {qb::kDispRButtonRecog, u"認識"},
        {qb::kDispRButtonClear, u"全消去"},
        {qb::kDispRButton1LineDel, u"最終画消去"},
        {qb::kDispRButtonInput, u"再入力"},
        {qb::kDispRButtonCancel, u"取消"},
        {qb::kDispChKanji2, sw::Variant::fromBool(true)},
        {qb::kDispAutoShow, sw::Variant::fromBool(true)},
        {qb::kDispTapToNextRec, sw::Variant::fromBool(false)},
        {qb::kDispRecog, sw::Variant::fromBool(false)},
        {qb::kDispResult, u""},
    };
    for (const Row& r : rows) {
        sw::Variant got;
        ASSERT_EQ(box.get(r.id, &got), 0) << r.id;
        sw::Variant expected;
        ASSERT_EQ(r.value.coerce(got.type(), &expected), 0) << r.id;
        EXPECT_TRUE(got == expected) << "dispatch id " << r.id;
    }
}

TEST(BoardStartUp, ReadsTheDictionaryFromTheProgramFolderLineByLine) {
    const std::string bytes = "\x8a\xbf\x8e\x9a \x82\xa9\x82\xf1\x82\xb6 kanji\nline two\n\n";
    const std::string elsewhere = QDir::tempPath().toStdString();
    QDir::setCurrent(QString::fromStdString(elsewhere));
    BoardFixture f({.dictionary = bytes, .withDictionary = true});
    sw::win::ListBox* list = f.board->jList();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->lineCp932(0), "\x8a\xbf\x8e\x9a \x82\xa9\x82\xf1\x82\xb6 kanji");
    EXPECT_EQ(list->lineCp932(1), "line two");
    EXPECT_EQ(list->lineCp932(2), "") << "the trailing empty line is an item";
    EXPECT_FALSE(list->isVisible());

    BoardFixture without;
    EXPECT_EQ(without.board->jList()->count(), 0);
    EXPECT_EQ(without.board->PenMode(), 0) << "start-up completes without a dictionary";
}

TEST(BoardStartUp, RunsWithoutAControlThatFailsToLoad) {
    BoardFixture f({.withOverlay = false});
    SlatewiseForm& b = *f.board;
    EXPECT_FALSE(b.veil().loaded());
    EXPECT_TRUE(b.veiladd().loaded());
    EXPECT_FALSE(b.veil().setForeColor(0xFF)) << "an unloaded proxy reports failure";
    EXPECT_EQ(b.veil().scrollX(), 0);
    SubForm* palette = b.loadedSubForm();
    ASSERT_NE(palette, nullptr);
    click(palette->ColPic(1));
    click(palette->ModePic(2));
    EXPECT_EQ(b.PenMode(), 2);
    b.mainPicture()->repaint();
    EXPECT_EQ(b.mainPicture()->grab().toImage().pixel(10, 10), QColor(0, 128, 0).rgb());
}

TEST(BoardLayout, FollowsTheWindowSizeIncludingSizesBelowTheStrip) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    for (const QSize size :
         {QSize(800, 600), QSize(640, 480), QSize(300, 37), QSize(200, 20), QSize(1, 1), QSize(1920, 1080)}) {
        b.resize(size);
        QCoreApplication::processEvents();
        ASSERT_EQ(b.size(), size);
        const BoardLayout l = layoutBoard(size.width(), size.height(), kStripHeight);
        EXPECT_EQ(b.mainPicture()->geometry(), l.canvas) << size.width() << "x" << size.height();
        EXPECT_EQ(b.veil().geometry(), l.overlay) << size.width() << "x" << size.height();
        EXPECT_EQ(b.menuPicture()->geometry(), l.strip) << size.width() << "x" << size.height();
    }
}

TEST(MenuStrip, OpensThePaletteAboveItCentredOnThePenAndClampedToTheScreen) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    b.setGeometry(screen.left(), screen.top() + 40, screen.width(), screen.height() - 60);
    QCoreApplication::processEvents();
    MenuPicture* strip = b.menuPicture();
    SubForm* palette = b.loadedSubForm();
    const int top = b.frameGeometry().top() + b.height() - kStripHeight - palette->height();

    QTest::mouseClick(strip, Qt::RightButton, {}, QPoint(100, 10));
    QTest::mouseClick(strip, Qt::MiddleButton, {}, QPoint(100, 10));
    EXPECT_FALSE(palette->isVisible()) << "only the left button opens the palette";

    struct Row {
        const char* name;
        int x;
        std::function<int()> expectedLeft;
    };
    const int mid = strip->width() / 2;
    const Row rows[] = {
        {"middle", mid,
         [&] {
             return sw::gdi::roundHalfEven(strip->mapToGlobal(QPoint(mid, 0)).x() - palette->width() / 2.0);
         }},
        {"left end", 3, [&] { return screen.left(); }},
        {"right end", strip->width() - 3,
         [&] { return screen.right() + 1 - palette->frameGeometry().width(); }},
    };
    for (const Row& r : rows) {
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(r.x, 12));
        EXPECT_TRUE(palette->isVisible()) << r.name;
        EXPECT_EQ(palette->frameGeometry().topLeft(), QPoint(r.expectedLeft(), top)) << r.name;
    }
    EXPECT_EQ(b.loadedSubForm(), palette) << "pressed again, the open palette is moved, not opened twice";
    EXPECT_EQ(b.subFormLoads(), 1);
    int palettes = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) palettes += qobject_cast<SubForm*>(w) != nullptr;
    EXPECT_EQ(palettes, 1);

    // A board so short that the palette does not fit above the strip: the palette goes to the screen's top.
    b.setGeometry(screen.left(), screen.top() + 10, 400, 100);
    QCoreApplication::processEvents();
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_EQ(palette->frameGeometry().top(), screen.top());
}

TEST(MenuStrip, ReloadsAClosedPaletteWhichReappliesTheCurrentMode) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    QPointer<SubForm> first = b.loadedSubForm();
    click(first->ModePic(1));
    first->close();
    EXPECT_EQ(b.loadedSubForm(), nullptr) << "closing unloads";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(b.PenMode(), 1) << "closing changes nothing in the board";
    EXPECT_EQ(overlayState(b.veil()), kLassoState);

    QTest::mouseClick(b.menuPicture(), Qt::LeftButton, {}, QPoint(50, 10));
    SubForm* second = b.loadedSubForm();
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(b.subFormLoads(), 2);
    EXPECT_EQ(highlightedMode(second), 1);
    EXPECT_EQ(overlayState(b.veil()), kLassoState);

    // Shutdown after the user closed the palette does not create one.
    second->close();
    b.close();
    EXPECT_EQ(b.subFormLoads(), 2);
    EXPECT_EQ(b.loadedSubForm(), nullptr);
}

TEST(ToolPalette, ModeButtonsSetTheOverlayAndHighlightTheirButton) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    SubForm* p = b.loadedSubForm();
    struct Row {
        int button;
        OverlayState state;
    };
    const Row rows[] = {
        {1, kLassoState}, {2, {2, false, false, false, true}},  // DrawKind stays as lasso mode left it
        {0, kPenState},   {2, {1, false, false, false, true}}, {1, kLassoState},
    };
    for (const Row& r : rows) {
        click(p->ModePic(r.button));
        EXPECT_EQ(b.PenMode(), r.button);
        EXPECT_EQ(highlightedMode(p), r.button);
        EXPECT_EQ(overlayState(b.veil()), r.state) << "after mode " << r.button;
    }
    // Every mode press clears and hides the box.
    if (b.quillbox().loaded()) {
        b.quillbox().setVisible(true);
        click(p->ModePic(1));
        EXPECT_FALSE(b.quillbox().visible());
    }
}

TEST(ToolPalette, ColoursAndWidthsSetThePenShowItAndReturnToPenMode) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    SubForm* p = b.loadedSubForm();
    p->show();
    for (int i = 0; i < kColorSwatches; ++i) {
        click(p->ModePic(1 + i % 2));  // from lasso or operate mode
        click(p->ColPic(i));
        EXPECT_EQ(b.veil().foreColor(), kSwatchColors[i]) << i;
        EXPECT_EQ(p->sampleLineColor(), kSwatchColors[i]) << i;
        EXPECT_EQ(b.PenMode(), 0) << i;
        EXPECT_EQ(highlightedMode(p), 0) << i;
        EXPECT_EQ(overlayState(b.veil()), kPenState) << i;
        for (int k = 0; k < kWidthSamples; ++k) {
            // The sample's middle row shows the line in the new colour, its top row the board's colour.
            const QImage sample = p->WidPic(k)->grab().toImage();
            EXPECT_EQ(sample.pixel(sample.width() / 2, sample.height() / 2),
                      sw::gdi::toQColor(kSwatchColors[i]).rgb())
                << "swatch " << i << " sample " << k;
            EXPECT_EQ(sample.pixel(sample.width() / 2, 1), QColor(0, 128, 0).rgb());
        }
    }
    const int widths[] = {4, 2, 4};
    for (int w : widths) {
        click(p->ModePic(2));
        click(p->WidPic(w / 2 - 1));
        EXPECT_EQ(b.veil().penWidth(), w);
        EXPECT_EQ(p->sampleLineWidth(), w);
        EXPECT_EQ(b.PenMode(), 0);
        EXPECT_EQ(overlayState(b.veil()), kPenState);
    }
    // The sample line on the palette: the current colour, as thick as the current width.
    const QImage shot = p->grab().toImage();
    const QLine line = sampleLine();
    int rows = 0;
    for (int y = line.y1() - 4; y <= line.y1() + 4; ++y)
        rows += shot.pixel(line.center().x(), y) == sw::gdi::toQColor(kSwatchColors[4]).rgb();
    EXPECT_EQ(rows, 4);
}

TEST(ToolPalette, ScrollButtonsScrollTheOverlayOnlyInPenMode) {
    BoardFixture f;
    SlatewiseForm& b = *f.board;
    SubForm* p = b.loadedSubForm();
    p->show();
    b.veil().scrollTo(200, 200);
    struct Row {
        int button;
        int x, y;
    };
    const Row rows[] = {{0, 200, 250}, {1, 200, 200}, {2, 150, 200}, {3, 200, 200}, {3, 250, 200}};
    for (const Row& r : rows) {
        click(p->ScrButton(r.button));
        EXPECT_EQ(b.veil().scrollX(), r.x) << "button " << r.button;
        EXPECT_EQ(b.veil().scrollY(), r.y) << "button " << r.button;
    }
    for (int mode : {1, 2}) {
        click(p->ModePic(mode));
        for (int i = 0; i < kScrollButtons; ++i) click(p->ScrButton(i));
        EXPECT_EQ(b.veil().scrollX(), 250) << "mode " << mode;
        EXPECT_EQ(b.veil().scrollY(), 200) << "mode " << mode;
    }
}

TEST(BoardFont, ACommandLineFaceReachesTheCanvasAndTheBox) {
    BoardFixture plain;
    const QString mincho = QString::fromUtf16(u"ＭＳ 明朝");
    EXPECT_EQ(plain.board->mainPicture()->fontFace(), mincho);
    EXPECT_EQ(plain.board->fontFace(), mincho);
    if (plain.board->quillbox().loaded()) {
        EXPECT_EQ(plain.board->quillbox().resultFontName(), u"ＭＳ 明朝");
    }

    BoardFixture gothic({.commandLine = "IPAGothic"});
    EXPECT_EQ(gothic.board->mainPicture()->fontFace(), QStringLiteral("IPAGothic"));
    EXPECT_EQ(gothic.board->font().family(), QStringLiteral("IPAGothic"));
    if (gothic.board->quillbox().loaded()) {
        EXPECT_EQ(gothic.board->quillbox().resultFontName(), u"IPAGothic");
    }

    // The same character in the same box looks different in the two faces.
    QImage shots[2];
    BoardFixture* boards[2] = {&plain, &gothic};
    for (int i = 0; i < 2; ++i) {
        boards[i]->board->state().table.append(u"永", {100, 100, 160, 160}, 0x00FFFFFF, 2);
        shots[i] = boards[i]->board->mainPicture()->grab().toImage();
    }
    EXPECT_NE(shots[0], shots[1]);

    BoardFixture spaced({.commandLine = "IPA Nonexistent Face"});
    EXPECT_EQ(spaced.board->mainPicture()->fontFace(), QStringLiteral("IPA Nonexistent Face"))
        << "taken whole";
}

}  // namespace
