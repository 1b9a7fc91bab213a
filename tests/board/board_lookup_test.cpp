// The dictionary look-up on the running board, in-process with the real overlay and control modules: pen
// events sent to the canvas's window handle draw the look-up path around clean copy injected into the
// character table, and the entry appears in the dictionary window. The dictionary's own rules (line ends,
// matching, the region, clamping) are tested in dictionary_test and lookup_geometry_test.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextBlock>
#include <cmath>
#include <functional>
#include <optional>

#include "board/forms/dic_form.h"
#include "board/forms/lookup.h"
#include "board/forms/main_picture.h"
#include "board/forms/menu_picture.h"
#include "board/forms/sub_form.h"
#include "board/layout.h"
#include "board_support.h"
#include "platform/gdi/color.h"
#include "platform/window/listbox.h"
#include "platform/window/window.h"

namespace {

using namespace sw::board;
using sw::board::test::BoardFixture;
namespace win = sw::win;

const std::string kSmallDictionary =
    "\x8a\xbf\x8e\x9a \x82\xa9\x82\xf1\x82\xb6 kanji; Chinese characters\r\n"  // 漢字 かんじ kanji; ...
    "\x8e\x9a \x82\xb6 character\r\n";                                         // 字 じ character

// A board with `dictionary` as its dic.txt.
test::BoardSetup boardWith(std::string dictionary) {
    return {.dictionary = std::move(dictionary), .withDictionary = true};
}

void operate(SlatewiseForm& b) { b.subForm()->ModePicClick(kPenModeOperate); }

// The pen at canvas point `p`, as the teacher uses it: on the overlay, which in operate mode forwards the
// message to the window beneath.
void send(SlatewiseForm& b, uint32_t msg, QPoint p, win::WParam keys = 0) {
    const QPoint overlay = p - b.veil().geometry().topLeft();
    win::sendMessage(win::handleOf(b.veil().widget()), msg, keys, win::makeLParam(overlay.x(), overlay.y()));
}

// Points on an ellipse round `area` (canvas pixels), starting at its right end.
std::vector<QPoint> loopAround(QRect area, int points) {
    std::vector<QPoint> loop;
    const QPointF c = QRectF(area).center();
    for (int k = 0; k < points; ++k) {
        const double a = 2 * M_PI * k / points;
        loop.emplace_back(qRound(c.x() + area.width() / 2.0 * std::cos(a)),
                          qRound(c.y() + area.height() / 2.0 * std::sin(a)));
    }
    return loop;
}

// A left-button press at the first point, moves through the rest; no release.
void drawPath(SlatewiseForm& b, const std::vector<QPoint>& points) {
    send(b, win::WM_LBUTTONDOWN, points.front(), win::MK_LBUTTON);
    for (size_t k = 1; k < points.size(); ++k) send(b, win::WM_MOUSEMOVE, points[k], win::MK_LBUTTON);
}

// Circles `area` and releases the left button at `release`.
void lookUp(SlatewiseForm& b, QRect area, QPoint release) {
    drawPath(b, loopAround(area, 24));
    send(b, win::WM_LBUTTONUP, release);
}

// 漢 and 字 side by side at document (200, 100), behind four other characters.
void kanjiOnTheBoard(CharacterTable& t) {
    const std::u16string before = u"今日は晴";
    for (size_t i = 0; i < before.size(); ++i)
        t.append(before.substr(i, 1), {100 + int(i) * 70, 300, 160 + int(i) * 70, 360}, 0x00FFFFFF, 2);
    t.append(u"漢", {200, 100, 260, 160}, 0x00FFFFFF, 2);
    t.append(u"字", {270, 100, 330, 160}, 0x00FFFFFF, 2);
}
// Canvas pixels round them (the overlay lies 2 pixels into the canvas).
const QRect kAroundKanji(170, 70, 190, 120);

int lightGreenPixels(SlatewiseForm& b) {
    const QImage shot = b.mainPicture()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb light = sw::gdi::toQColor(kLookupPathColor).rgb();
    int n = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) n += shot.pixel(x, y) == light;
    return n;
}

QString shownWord(SlatewiseForm& b) {
    DicForm* form = b.loadedDicForm();
    return form && form->isVisible() ? form->DicText1()->text() : QString();
}

TEST(BoardLookUp, CirclingKanjiShowsItsEntryFromTheBuiltDictionaryAtTheReleasePoint) {
    const std::string dictionary = test::builtDictionary();
    ASSERT_FALSE(dictionary.empty()) << "the build makes dic.txt in the runtime folder";
    BoardFixture f(boardWith(dictionary));
    SlatewiseForm& b = *f.board;
    ASSERT_GT(b.jList()->count(), 23000);
    operate(b);
    kanjiOnTheBoard(b.state().table);

    const std::vector<QPoint> loop = loopAround(kAroundKanji, 24);
    drawPath(b, loop);
    EXPECT_EQ(b.state().LookupCount, 24);
    EXPECT_EQ(b.state().LookupPath[0], (PathPoint{loop[0].x() - 2, loop[0].y() - 2}))
        << "document coordinates";
    EXPECT_GT(lightGreenPixels(b), 300) << "the trace is drawn while the button is held";
    EXPECT_EQ(b.loadedDicForm(), nullptr);

    const QPoint release(372, 141);
    send(b, win::WM_LBUTTONUP, release);
    EXPECT_EQ(b.state().LookupCount, 0);
    EXPECT_EQ(lightGreenPixels(b), 0) << "the trace is gone after the release";
    DicForm* form = b.loadedDicForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->DicText1()->text(), u"漢字");
    EXPECT_EQ(form->DicText2()->toPlainText(), u"kanji; Chinese characters");
    EXPECT_EQ(form->frameGeometry().topLeft(), b.mainPicture()->mapToGlobal(release));
    EXPECT_EQ(form->windowTitle(), b.windowTitle());
    EXPECT_FALSE(form->windowIcon().isNull());
}

// Each row starts a board with the small dictionary and 漢字 among other clean copy, draws with the pen and
// names the word the dictionary window shows (empty: no window).
TEST(BoardLookUp, WhatThePenSelects) {
    struct Row {
        const char* name;
        std::function<void(SlatewiseForm&)> draw;
        const char16_t* shown;
    };
    const Row rows[] = {
        {"a click without moving encloses nothing",
         [](SlatewiseForm& b) {
             send(b, win::WM_LBUTTONDOWN, {232, 132}, win::MK_LBUTTON);
             send(b, win::WM_LBUTTONUP, {232, 132});
         },
         u""},
        {"the overlay scrolled: the path is taken where the characters are shown",
         [](SlatewiseForm& b) {
             b.state().table.append(u"字", {570, 100, 630, 160}, 0xFFFFFF, 2);
             ASSERT_TRUE(b.veil().scrollTo(300, 0));  // 漢字 leave the path, the second 字 comes under it
             lookUp(b, kAroundKanji, {300, 300});
         },
         u"字"},
        {"presses while drawing are ignored, a right-button release leaves the path open",
         [](SlatewiseForm& b) {
             const std::vector<QPoint> loop = loopAround(kAroundKanji, 24);
             drawPath(b, {loop.begin(), loop.begin() + 12});
             send(b, win::WM_RBUTTONDOWN, loop[12], win::MK_LBUTTON | win::MK_RBUTTON);
             send(b, win::WM_RBUTTONUP, loop[12], win::MK_LBUTTON);
             send(b, win::WM_LBUTTONDOWN, loop[12], win::MK_LBUTTON);
             EXPECT_EQ(b.state().LookupCount, 12);
             EXPECT_EQ(b.state().LookupPath[0], (PathPoint{loop[0].x() - 2, loop[0].y() - 2}));
             for (size_t k = 12; k < loop.size(); ++k) send(b, win::WM_MOUSEMOVE, loop[k], win::MK_RBUTTON);
             send(b, win::WM_LBUTTONUP, {300, 300});
         },
         u"漢字"},
        {"a release over the menu strip ends the path: the drag stays with the canvas",
         [](SlatewiseForm& b) {
             drawPath(b, loopAround(kAroundKanji, 24));
             const QPoint strip = b.menuPicture()->geometry().center();
             ASSERT_GT(strip.y(), b.veil().geometry().bottom());
             send(b, win::WM_LBUTTONUP, strip);
         },
         u"漢字"},
        {"a long path keeps every point while it grows",
         [](SlatewiseForm& b) {
             const std::vector<QPoint> loop = loopAround(kAroundKanji, 240);
             drawPath(b, loop);
             const BoardState& s = b.state();
             ASSERT_EQ(s.LookupCount, 240);
             EXPECT_EQ(s.LookupPath.size(), 251u) << "grown by 50 points at a time";
             for (size_t k = 0; k < loop.size(); ++k)
                 ASSERT_EQ(s.LookupPath[k], (PathPoint{loop[k].x() - 2, loop[k].y() - 2})) << k;
             send(b, win::WM_LBUTTONUP, {300, 300});
         },
         u"漢字"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        BoardFixture f(boardWith(kSmallDictionary));
        SlatewiseForm& b = *f.board;
        operate(b);
        kanjiOnTheBoard(b.state().table);
        r.draw(b);
        EXPECT_EQ(shownWord(b), QString::fromUtf16(r.shown));
        EXPECT_EQ(b.state().LookupCount, 0);
        b.close();
        EXPECT_EQ(b.dicFormLoads(), *r.shown ? 1 : 0) << "shutdown never creates the dictionary window";
    }
}

TEST(DictionaryWindow, ReusedWhileOpenLoadedAfreshAfterACloseKeptOnTheScreen) {
    test::app();
    // A board whose canvas reaches past the screen's bottom-right corner.
    test::BoardSetup setup = boardWith(kSmallDictionary);
    setup.size = QGuiApplication::primaryScreen()->geometry().size() + QSize(0, 2 * kStripHeight);
    BoardFixture f(setup);
    SlatewiseForm& b = *f.board;
    operate(b);
    CharacterTable& t = b.state().table;
    kanjiOnTheBoard(t);
    t.append(u"字", {270, 400, 330, 460}, 0xFFFFFF, 2);

    lookUp(b, kAroundKanji, {100, 100});
    DicForm* first = b.loadedDicForm();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->DicText2()->toPlainText(), u"kanji; Chinese characters");

    // A second look-up refills and moves the open window.
    lookUp(b, QRect(250, 370, 100, 120), {400, 120});
    EXPECT_EQ(b.loadedDicForm(), first);
    EXPECT_EQ(b.dicFormLoads(), 1);
    EXPECT_EQ(first->DicText1()->text(), u"字");
    EXPECT_EQ(first->DicText2()->toPlainText(), u"character");
    EXPECT_EQ(first->frameGeometry().topLeft(), b.mainPicture()->mapToGlobal(QPoint(400, 120)));

    // Closed, the next look-up loads it again (its load step runs again); near the screen's bottom-right
    // corner it is moved just enough to lie whole on the screen.
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(b.loadedDicForm(), nullptr);
    const QRect screen = b.screen()->geometry();
    const QPoint corner = b.mainPicture()->mapFromGlobal(screen.bottomRight() - QPoint(5, 5));
    ASSERT_TRUE(b.mainPicture()->rect().contains(corner)) << "the board reaches the screen's corner";
    lookUp(b, kAroundKanji, corner);
    DicForm* second = b.loadedDicForm();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(b.dicFormLoads(), 2);
    EXPECT_EQ(second->windowTitle(), b.windowTitle());
    EXPECT_EQ(second->DicText1()->text(), u"漢字");
    EXPECT_EQ(second->frameGeometry().bottomRight(), screen.bottomRight());
}

// Regression: an explanation is text from a file and must never be read as markup.
TEST(DictionaryWindow, ShowsTheExplanationAsPlainTextAndWrapsIt) {
    const std::string markup = "<b>bold</b> &amp; <img src=x> <a href=\"y\">link</a>";
    const std::string words = " and a long explanation that cannot fit on one line of the window";
    BoardFixture f(boardWith("\x8a\xbf\x8e\x9a \x82\xa9\x82\xf1\x82\xb6 " + markup + words + "\r\n"));
    SlatewiseForm& b = *f.board;
    operate(b);
    kanjiOnTheBoard(b.state().table);
    lookUp(b, kAroundKanji, {100, 100});
    DicForm* form = b.loadedDicForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->DicText2()->toPlainText().toStdString(), markup + words);
    QCoreApplication::processEvents();
    const QTextBlock block = form->DicText2()->document()->firstBlock();
    ASSERT_NE(block.layout(), nullptr);
    EXPECT_GT(block.layout()->lineCount(), 2) << "wrapped within DicText2";
}

// Not a check: with SLATEWISE_SHOTS_DIR set, saves a look-up on the board with the built dictionary, once
// while the path is drawn and once with the dictionary window open, as the README shows it.
TEST(BoardLookUp, Screenshot) {
    const char* dir = std::getenv("SLATEWISE_SHOTS_DIR");
    if (!dir) GTEST_SKIP() << "SLATEWISE_SHOTS_DIR not set";
    BoardFixture f({.dictionary = test::builtDictionary(), .withDictionary = true, .size = {760, 470}});
    SlatewiseForm& b = *f.board;
    operate(b);
    const std::u16string line = u"今日は漢字を学ぶ。";
    for (size_t i = 0; i < line.size(); ++i)
        b.state().table.append(line.substr(i, 1), {60 + int(i) * 70, 120, 124 + int(i) * 70, 184}, 0x00FFFFFF,
                               2);
    const std::vector<QPoint> loop = loopAround(QRect(286, 100, 120, 110), 40);
    drawPath(b, loop);
    ASSERT_TRUE(b.grab().save(QString::fromLocal8Bit(dir) + "/lookup-trace.png"));
    send(b, win::WM_LBUTTONUP, {380, 215});
    DicForm* form = b.loadedDicForm();
    ASSERT_NE(form, nullptr);
    QImage shot = b.grab().toImage();
    QPainter p(&shot);
    p.drawImage(form->geometry().topLeft() - b.geometry().topLeft(), form->grab().toImage());
    p.end();
    ASSERT_TRUE(shot.save(QString::fromLocal8Bit(dir) + "/lookup-window.png"));
}

// Regression guard for the cached item texts: a look-up sees every change of jList made after the last one.
TEST(LookUpList, SeesTheListAsItIsNow) {
    test::app();
    win::ListBox list;
    const auto found = [&list](const char16_t* word) {
        const auto match = lookUpList(list, QStringView(word));
        return match ? match->explanation : QStringLiteral("-");
    };
    list.addLineCp932("a b first");
    EXPECT_EQ(found(u"a"), u"first");
    win::sendMessage(list.handle(), win::LB_ADDSTRING, 0, reinterpret_cast<intptr_t>("c d added"));
    EXPECT_EQ(found(u"d"), u"added");
    list.item(0)->setText(QStringLiteral("a b changed"));
    EXPECT_EQ(found(u"a"), u"changed");
    list.resetContent();
    EXPECT_EQ(found(u"a"), u"-");
}

}  // namespace
