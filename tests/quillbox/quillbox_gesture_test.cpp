// The gestures of result mode on the registered module with the real engine, driven by mouse messages as the
// overlay forwards them: a lasso and an open line regroup, a drag merges, strokes over a character replace it
// when the correction timer fires, and a tap offers candidates by menu or by cycling.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "quillbox_module_fixture.h"

namespace sw::quillbox::test {
namespace {

class QuillboxGesture : public QuillboxModule {
protected:
    void SetUp() override {
        QuillboxModule::SetUp();
        m_line = loadLine("line3_a.txt").strokes;  // 山川口, three strokes each
        loadAndRecognize(m_line);
        ASSERT_EQ(result(), u"山川口");
        m_log.take();
    }
    // A drag through the points, one mouse message a point.
    void drag(std::vector<QPoint> points) { stroke(points); }
    static std::vector<QPoint> path(QPoint from, QPoint to, int steps = 10) {
        std::vector<QPoint> points;
        for (int i = 0; i <= steps; ++i) points.push_back(from + (to - from) * i / steps);
        return points;
    }
    // Strokes of character n (1-based) of the result.
    size_t strokesOfChar(int32_t n) {
        const Handle ptw = call(kDispGetNthString, {Variant(n)}).i4();
        const size_t count = strokesOf(ptw).size();
        call(kDispDeletePTW, {Variant(ptw)});
        return count;
    }
    // Candidate i of character n, as text.
    std::u16string candidate(int32_t n, int i) {
        const Handle list = call(kDispGetNthCR, {Variant(n)}).i4();
        const auto* entries = static_cast<const CandidateEntry*>(resolve(list, BlockKind::Other, 240));
        std::u16string text;
        if (entries && entries[i].code) {
            const char bytes[2] = {static_cast<char>(entries[i].code >> 8),
                                   static_cast<char>(entries[i].code)};
            text = text::cp932ToUtf16(std::string_view(bytes, 2));
        }
        call(kDispDeleteCR, {Variant(list)});
        return text;
    }
    // 田 written over the box of 口 (canvas 326..374 x 54..98), stroke by stroke.
    void writeOverThird() {
        const Strokes ta = loadLine("single_28.txt").strokes;
        int minX = INT32_MAX, minY = INT32_MAX, maxX = INT32_MIN, maxY = INT32_MIN;
        for (const auto& s : ta)
            for (const auto& p : s) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
        for (const auto& s : ta) {
            std::vector<QPoint> points;
            for (const auto& p : s)
                points.emplace_back(326 + (p.x - minX) * 48 / std::max(maxX - minX, 1),
                                    54 + (p.y - minY) * 44 / std::max(maxY - minY, 1));
            drag(points);
        }
    }

    Strokes m_line;
};

TEST_F(QuillboxGesture, LassoAroundTwoCharactersMakesThemOne) {
    drag({{5, 10}, {140, 8}, {275, 10}, {276, 80}, {275, 150}, {140, 152}, {5, 150}, {4, 80}, {5, 12}});
    EXPECT_EQ(result().size(), 2u);
    EXPECT_EQ(result()[1], u'口');
    EXPECT_EQ(strokesOfChar(1), 6u);
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));
}

// An open line down through 川 (a bounding box of no width) selects the strokes left of it.
TEST_F(QuillboxGesture, OpenLineThroughACharacterSelectsItsLeftPart) {
    drag(path({197, 20}, {197, 130}));
    ASSERT_EQ(result().size(), 4u);
    EXPECT_EQ(result()[0], u'山');
    EXPECT_EQ(result()[3], u'口');
    EXPECT_EQ(strokesOfChar(2), 1u);
    EXPECT_EQ(strokesOfChar(3), 2u);
}

TEST_F(QuillboxGesture, DragToTheNeighbourMergesTheTwo) {
    drag(path({70, 60}, {205, 60}));
    EXPECT_EQ(result().size(), 2u);
    EXPECT_EQ(strokesOfChar(1), 6u);
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));

    put(kDispCombineFlag, Variant::fromBool(false));
    put(kDispRecogTimermsec, Variant(int32_t{0}));
    const std::u16string before = result();
    drag(path({70, 60}, {350, 70}));  // no merge: a tap on the character under the release
    EXPECT_EQ(result(), before);
    EXPECT_EQ(m_log.take(), (std::vector{recSelected(2)}));
}

TEST_F(QuillboxGesture, StrokesOverACharacterReplaceItWhenTheTimerFires) {
    put(kDispRecogTimermsec, Variant(int32_t{100}));
    writeOverThird();
    EXPECT_EQ(result(), u"山川口") << "nothing changes before the timer";
    EXPECT_TRUE(m_log.events.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !m_log.events.empty(); }, 10000));
    EXPECT_EQ(result(), u"山川田");
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged, recSelected(3)}));
    EXPECT_EQ(strokesOfChar(3), 5u);
    EXPECT_EQ(ink().size(), 11u) << "口's three strokes replaced by the five of 田";
}

// A correction timer never outlives its result: Clear, SetString or a new recognition drop it.
TEST_F(QuillboxGesture, StaleCorrectionTimerNeverFires) {
    put(kDispRecogTimermsec, Variant(int32_t{100}));
    struct Row {
        const char* name;
        std::function<void()> after;
        std::u16string result;
    };
    const Row rows[] = {
        {"Clear", [&] { call(kDispClear); }, u""},
        {"SetString",
         [&] {
             const Handle ptw = makePtw(m_line);
             call(kDispSetString, {Variant(ptw)});
             freePtw(ptw, Owner::Test);
         },
         u""},
        {"a new recognition with a chosen candidate",
         [&] {
             call(kDispRecognizeCancel);
             call(kDispRecognize);
             call(kDispSetNthRecChars, {Variant(int32_t{1}), Variant(int32_t{1})});
         },
         std::u16string(1, u'\0')},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        loadAndRecognize(m_line);
        writeOverThird();
        r.after();
        const std::u16string settled = result();
        if (r.result.size() == 1) {
            EXPECT_NE(settled[0], u'山') << "the candidate was chosen";
        }
        m_log.take();
        QTest::qWait(300);
        EXPECT_EQ(result(), settled);
        EXPECT_TRUE(m_log.take().empty());
    }
}

TEST_F(QuillboxGesture, TapOffersTheCandidateMenuAtThePressedPoint) {
    put(kDispRecogNum, Variant(int32_t{5}));
    put(kDispRecogTimermsec, Variant(int32_t{0}));
    std::vector<win::MenuItem> shown;
    QPoint at;
    win::setPopupMenuHook([&](const std::vector<win::MenuItem>& items, QPoint screen) {
        shown = items;
        at = screen;
        return 2002u;  // the second candidate
    });
    const std::u16string second = candidate(2, 1);
    send(win::WM_LBUTTONDOWN, 200, 60, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 201, 61);
    ASSERT_EQ(shown.size(), 7u);
    EXPECT_EQ(shown[0].id, 2000u);
    EXPECT_EQ(shown[0].text, u"川");
    EXPECT_EQ(shown[1].id, 0u);
    for (size_t i = 2; i < 7; ++i) EXPECT_EQ(shown[i].id, 2001u + (i - 2));
    EXPECT_EQ(shown[3].text, second);
    EXPECT_EQ(at, win::clientToScreen(hwnd(), QPoint(200, 60)));
    EXPECT_EQ(result(), std::u16string(u"山") + second + u"口");
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged, recSelected(2)}));

    // RecogNum 0: a tap only reports the character.
    put(kDispRecogNum, Variant(int32_t{0}));
    shown.clear();
    send(win::WM_LBUTTONDOWN, 350, 70, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 350, 70);
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(m_log.take(), (std::vector{recSelected(3)}));
}

TEST_F(QuillboxGesture, TapToNextRecCyclesThroughRecogNumCandidates) {
    put(kDispRecogNum, Variant(int32_t{3}));
    put(kDispTapToNextRec, Variant::fromBool(true));
    const std::u16string c[] = {candidate(1, 0), candidate(1, 1), candidate(1, 2)};
    ASSERT_EQ(c[0], u"山");
    std::u16string seen;
    for (int i = 0; i < 4; ++i) {
        send(win::WM_LBUTTONDOWN, 70, 60, win::MK_LBUTTON);
        send(win::WM_LBUTTONUP, 70, 60);
        seen += result()[0];
    }
    EXPECT_EQ(seen, c[1] + c[2] + c[0] + c[1]);
}

TEST_F(QuillboxGesture, ChosenCandidateSurvivesARegroupBehindIt) {
    const std::u16string other = candidate(1, 1);
    ASSERT_TRUE(call(kDispSetNthRecChars, {Variant(int32_t{1}), Variant(int32_t{1})}).boolean());
    drag(path({205, 60}, {350, 60}));  // merge 川 and 口
    ASSERT_EQ(result().size(), 2u);
    EXPECT_EQ(result()[0], other[0]);
    EXPECT_EQ(strokesOfChar(2), 6u);
}

TEST_F(QuillboxGesture, MiddleButtonTapsInResultMode) {
    put(kDispMButtonFlag, Variant::fromBool(true));
    send(win::WM_MBUTTONDOWN, 350, 70, win::MK_MBUTTON);
    EXPECT_EQ(m_log.take(), (std::vector{recSelected(3)}));
    call(kDispRecognizeCancel);
    m_log.take();
    send(win::WM_MBUTTONDOWN, 350, 70, win::MK_MBUTTON);
    EXPECT_TRUE(m_log.take().empty()) << "input mode";
}

// Pictures to look at, written when QUILLBOX_SHOTS is set: strokes of a correction in SelectColor before the
// timer fires, and the real candidate menu in the board's Mincho face.
TEST_F(QuillboxGesture, CorrectionStrokesAndTheCandidateMenuOnScreen) {
    m_host->setFont(gdi::makeFont(QStringLiteral("ＭＳ 明朝"), 16));
    for (auto [id, color] : {std::pair{kDispBackColor, 0x0080FF80},
                             {kDispForeColorR, 0x00FFFFFF},
                             {kDispTapPointColor, 0x0000C000},
                             {kDispResultColor, 0x000000FF},
                             {kDispResultFontColor, 0x000000FF}})
        put(id, Variant(int32_t{color}));
    put(kDispResultFontWidth, Variant(int32_t{2}));
    put(kDispTapPointSize, Variant(0.5f));
    put(kDispRecogTimermsec, Variant(int32_t{60000}));
    writeOverThird();
    const QImage correction = widget()->grab().toImage();
    int select = 0;
    for (int y = 40; y < 110; ++y)
        for (int x = 320; x < 385; ++x) select += (correction.pixel(x, y) & 0xFFFFFF) == 0x0000FF;
    EXPECT_GT(select, 100) << "the correction strokes in SelectColor";

    call(kDispRecognizeCancel);  // ends the correction
    call(kDispRecognize);
    put(kDispRecogNum, Variant(int32_t{5}));
    put(kDispRecogTimermsec, Variant(int32_t{0}));
    m_log.take();
    QImage menuShot;
    QStringList texts;
    QString family;
    QTimer::singleShot(300, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) return;
        for (QAction* action : menu->actions()) texts << action->text();
        family = QFontInfo(menu->font()).family();
        menuShot = menu->grab().toImage();
        menu->close();
    });
    send(win::WM_LBUTTONDOWN, 200, 60, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 200, 60);
    ASSERT_EQ(texts.size(), 7);
    EXPECT_EQ(texts[0], QStringLiteral("川"));
    EXPECT_TRUE(family.contains(QStringLiteral("Mincho"))) << family.toStdString();
    EXPECT_EQ(result(), u"山川口") << "a closed menu changes nothing";
    EXPECT_EQ(m_log.take(), (std::vector{recSelected(2)}));

    if (const char* dir = std::getenv("QUILLBOX_SHOTS")) {
        QDir().mkpath(dir);
        correction.save(QString(dir) + "/quillbox-correction.png");
        menuShot.save(QString(dir) + "/quillbox-menu.png");
    }
}

// A handler may destroy the box from inside a gesture; nothing of it is used afterwards.
TEST_F(QuillboxGesture, MenuLoopMayClearOrDestroyTheBox) {
    put(kDispRecogNum, Variant(int32_t{5}));
    win::setPopupMenuHook([&](const std::vector<win::MenuItem>&, QPoint) {
        call(kDispClear);
        return 2002u;
    });
    send(win::WM_LBUTTONDOWN, 200, 60, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 200, 60);
    EXPECT_EQ(result(), u"") << "no candidate is written into the cleared box";
    EXPECT_FALSE(recog());

    loadAndRecognize(m_line);
    const win::HWnd window = hwnd();
    win::setPopupMenuHook([&](const std::vector<win::MenuItem>&, QPoint) {
        m_box.reset();
        return 2002u;
    });
    win::sendMessage(window, win::WM_LBUTTONDOWN, win::MK_LBUTTON, makeLParam(200, 60));
    win::sendMessage(window, win::WM_LBUTTONUP, 0, makeLParam(200, 60));
    EXPECT_FALSE(m_box);
}

// Stored values outside the setters' ranges never overrun the 20 candidates.
TEST_F(QuillboxGesture, StoredRecogNumAboveTwentyOffersTwentyCandidates) {
    PropertyBag bag;
    bag.write("RecogNum", "99");
    m_box->loadProperties(bag);
    loadAndRecognize(m_line);
    size_t shown = 0;
    win::setPopupMenuHook([&](const std::vector<win::MenuItem>& items, QPoint) {
        shown = items.size();
        return 0u;
    });
    send(win::WM_LBUTTONDOWN, 200, 60, win::MK_LBUTTON);
    send(win::WM_LBUTTONUP, 200, 60);
    EXPECT_EQ(shown, 2u + 20u);
    put(kDispTapToNextRec, Variant::fromBool(true));
    for (int i = 0; i < 25; ++i) {
        send(win::WM_LBUTTONDOWN, 200, 60, win::MK_LBUTTON);
        send(win::WM_LBUTTONUP, 200, 60);
    }
    EXPECT_EQ(result().size(), 3u);
}

TEST_F(QuillboxGesture, HandlerMayDestroyTheBoxDuringAGesture) {
    FunctionSink destroyer([&](DispId, std::span<Variant>) { m_box.reset(); });
    m_box->advise(&destroyer);
    const win::HWnd window = hwnd();
    win::sendMessage(window, win::WM_LBUTTONDOWN, win::MK_LBUTTON, makeLParam(70, 60));
    win::sendMessage(window, win::WM_LBUTTONUP, 0, makeLParam(70, 60));
    EXPECT_FALSE(m_box);
    EXPECT_EQ(win::widgetOf(window), nullptr);
}

}  // namespace
}  // namespace sw::quillbox::test
