// The control linked directly, with the real engine of the runtime folder: its properties (defaults, clamps,
// the property bag and the board's stored settings), the canvas of a hidden box, and the picture ReWrite
// draws, checked by pixels.
#include "quillbox/quillbox_ctrl.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cmath>
#include <limits>
#include <memory>

#include "quillbox_test_support.h"

namespace sw::quillbox::test {
namespace {

// The box's settings as the board stores them with its window.
constexpr const char* kBoardSettings = R"(
ForeColor = &H00FFFFFF
BackColor = &H0080FF80
BorderStyle = 0
Appearance = 0
Enabled = -1
ForeColorR = &H00FFFFFF
SelectColor = &H00FF0000
ResultColor = &H000000FF
BackCharColor = &H00FFC4C4
ResultFontColor = &H000000FF
ResultFontMiniColor = &H008080FF
TapPointColor = &H0000C000
ShowX = 0
ShowY = 0
MaxXPos = 0
MaxYPos = 0
ForeWidth = 2
MinBound = 2
NoLineLength = 2
ResultFontWidth = 2
BackCharWidth = 0
RecogNum = 5
RecogTimermsec = 1200
Result = ""
ResultRecChars = ""
ResultFontName = ＭＳ 明朝
RButtonRecog = 認識
RButtonClear = 全消去
RButton1LineDel = 最終画消去
RButtonInput = 再入力
RButtonCancel = 取消
Recog = 0
chNum = -1
chAlpha = -1
chKana = -1
chHira = -1
chKanji1 = -1
chKanji2 = -1
chOther = -1
chPunc = -1
RButtonFlag = 0
MButtonFlag = 0
AutoShow = -1
CombineFlag = -1
TapToNextRec = 0
SelectInPoint = 0.75
DivSize = 0.65
ResultFontXPos = 0
ResultFontYPos = 0
TapPointSize = 0.5
)";

class QuillboxCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        m_baseline = liveBlockCount();
        m_host = std::make_unique<QWidget>();
        m_host->resize(700, 400);
        m_ctrl = std::make_unique<CQuillboxCtrl>(runtimeDir().string());
        PropExchange reset(ExchangeMode::Reset, nullptr);
        m_ctrl->exchangeProperties(reset);
        m_cookie = m_ctrl->events()->advise(&m_log);
    }
    void TearDown() override {
        m_ctrl->events()->unadvise(m_cookie);
        m_ctrl.reset();
        m_host.reset();
        EXPECT_EQ(liveBlockCount(), m_baseline);
    }

    void open(QSize size) {
        ASSERT_NE(m_ctrl->createWindow(m_host.get()), nullptr);
        ASSERT_TRUE(m_ctrl->setExtent(size.width(), size.height()));
    }
    HResult put(DispId id, Variant v) { return m_ctrl->put(id, std::move(v)); }
    Variant get(DispId id) {
        Variant v;
        EXPECT_EQ(m_ctrl->get(id, &v), 0) << id;
        return v;
    }
    void call(DispId id, std::vector<Variant> args = {}) { EXPECT_EQ(m_ctrl->call(id, args), 0) << id; }
    QuillboxBox& box() { return m_ctrl->box(); }
    const QImage& canvas() { return box().canvas(); }

    void recognizeLine(const char* file, QPoint offset = {}) {
        Strokes strokes = loadLine(file).strokes;
        for (auto& s : strokes)
            for (auto& p : s) p = EnginePoint{p.x + offset.x(), p.y + offset.y()};
        const Handle ptw = makePtw(strokes);
        call(kDispSetString, {Variant(ptw)});
        freePtw(ptw, Owner::Test);
        call(kDispRecognize);
        ASSERT_TRUE(get(kDispRecog).boolean());
    }

    size_t m_baseline = 0;
    std::unique_ptr<QWidget> m_host;
    std::unique_ptr<CQuillboxCtrl> m_ctrl;
    EventLog m_log;
    uint32_t m_cookie = 0;
};

// --- Properties ---

struct PropertyRow {
    const char* name;
    DispId id;
    Variant value;
};

TEST_F(QuillboxCtrlTest, DefaultsOfEveryProperty) {
    const PropertyRow rows[] = {
        {"ForeWidth", kDispForeWidth, Variant(int32_t{2})},
        {"MaxXPos", kDispMaxXPos, Variant(int32_t{0})},
        {"MaxYPos", kDispMaxYPos, Variant(int32_t{0})},
        {"RButtonFlag", kDispRButtonFlag, Variant::fromBool(false)},
        {"Recog", kDispRecog, Variant::fromBool(false)},
        {"RButtonInput", kDispRButtonInput, Variant(u"再入力")},
        {"RButtonRecog", kDispRButtonRecog, Variant(u"認識")},
        {"ResultFontXPos", kDispResultFontXPos, Variant(0.0f)},
        {"ResultFontYPos", kDispResultFontYPos, Variant(0.0f)},
        {"ResultFontWidth", kDispResultFontWidth, Variant(int32_t{0})},
        {"ResultFontName", kDispResultFontName, Variant(u"ＭＳ 明朝")},
        {"ResultColor", kDispResultColor, Variant(int32_t{0x0000FF})},
        {"ResultFontColor", kDispResultFontColor, Variant(int32_t{0x8080FF})},
        {"ResultFontMiniColor", kDispResultFontMiniColor, Variant(int32_t{0x8080FF})},
        {"RecogTimermsec", kDispRecogTimermsec, Variant(int32_t{1200})},
        {"RecogNum", kDispRecogNum, Variant(int32_t{0})},
        {"chAlpha", kDispChAlpha, Variant::fromBool(true)},
        {"chHira", kDispChHira, Variant::fromBool(true)},
        {"chKana", kDispChKana, Variant::fromBool(true)},
        {"chKanji1", kDispChKanji1, Variant::fromBool(true)},
        {"chKanji2", kDispChKanji2, Variant::fromBool(true)},
        {"chNum", kDispChNum, Variant::fromBool(true)},
        {"chOther", kDispChOther, Variant::fromBool(true)},
        {"chPunc", kDispChPunc, Variant::fromBool(true)},
        {"AutoShow", kDispAutoShow, Variant::fromBool(true)},
        {"BackCharColor", kDispBackCharColor, Variant(int32_t{0xFFC4C4})},
        {"BackCharWidth", kDispBackCharWidth, Variant(int32_t{0})},
        {"DivSize", kDispDivSize, Variant(0.65f)},
        {"Result", kDispResult, Variant(u"")},
        {"SelectColor", kDispSelectColor, Variant(int32_t{0xFF0000})},
        {"SelectInPoint", kDispSelectInPoint, Variant(0.75f)},
        {"ShowX", kDispShowX, Variant(int32_t{0})},
        {"ShowY", kDispShowY, Variant(int32_t{0})},
        {"MButtonFlag", kDispMButtonFlag, Variant::fromBool(false)},
        {"MinBound", kDispMinBound, Variant(int32_t{0})},
        {"NoLineLength", kDispNoLineLength, Variant(int32_t{2})},
        {"RButton1LineDel", kDispRButton1LineDel, Variant(u"最終画消去")},
        {"RButtonCancel", kDispRButtonCancel, Variant(u"取消")},
        {"RButtonClear", kDispRButtonClear, Variant(u"全消去")},
        {"CombineFlag", kDispCombineFlag, Variant::fromBool(true)},
        {"TapPointColor", kDispTapPointColor, Variant(int32_t{0x80FF80})},
        {"TapPointSize", kDispTapPointSize, Variant(0.0f)},
        {"TapToNextRec", kDispTapToNextRec, Variant::fromBool(false)},
        {"ResultRecChars", kDispResultRecChars, Variant(u"")},
        {"ForeColorR", kDispForeColorR, Variant(int32_t{0x808080})},
        {"Enabled", kDispEnabled, Variant::fromBool(true)},
        {"BorderStyle", kDispBorderStyle, Variant(int16_t{0})},
    };
    EXPECT_EQ(std::size(rows), 47u);
    for (const PropertyRow& r : rows) EXPECT_EQ(get(r.id), r.value) << r.name;
}

TEST_F(QuillboxCtrlTest, SettersClampAndTrim) {
    struct Row {
        const char* name;
        DispId id;
        Variant set;
        Variant readBack;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Row rows[] = {
        {"ForeWidth above 10", kDispForeWidth, Variant(int32_t{25}), Variant(int32_t{10})},
        {"ForeWidth below 0", kDispForeWidth, Variant(int32_t{-1}), Variant(int32_t{0})},
        {"RecogNum below 0", kDispRecogNum, Variant(int32_t{-3}), Variant(int32_t{0})},
        {"RecogNum above 20", kDispRecogNum, Variant(int32_t{99}), Variant(int32_t{20})},
        {"TapPointSize 1", kDispTapPointSize, Variant(1.0f), Variant(0.8f)},
        {"TapPointSize NaN", kDispTapPointSize, Variant(nan), Variant(0.0f)},
        {"DivSize above 1", kDispDivSize, Variant(2.5f), Variant(1.0f)},
        {"SelectInPoint below 0", kDispSelectInPoint, Variant(-0.5f), Variant(0.0f)},
        {"ResultFontWidth below 0", kDispResultFontWidth, Variant(int32_t{-4}), Variant(int32_t{0})},
        {"BackCharWidth below 0", kDispBackCharWidth, Variant(int32_t{-1}), Variant(int32_t{0})},
        {"RecogTimermsec below 0", kDispRecogTimermsec, Variant(int32_t{-5}), Variant(int32_t{0})},
        {"MinBound below 0", kDispMinBound, Variant(int32_t{-1}), Variant(int32_t{0})},
        {"NoLineLength below 0", kDispNoLineLength, Variant(int32_t{-1}), Variant(int32_t{0})},
        {"ResultFontXPos is not clamped", kDispResultFontXPos, Variant(-3.5f), Variant(-3.5f)},
        {"RButtonCancel empty gives the default", kDispRButtonCancel, Variant(u""), Variant(u"取消")},
        {"RButtonCancel blanks give the default", kDispRButtonCancel, Variant(u" \t "), Variant(u"取消")},
        {"RButtonRecog empty stays empty", kDispRButtonRecog, Variant(u""), Variant(u"")},
        {"RButtonInput trimmed", kDispRButtonInput, Variant(u" 再入力\t"), Variant(u"再入力")},
        {"RButtonClear keeps full-width spaces", kDispRButtonClear, Variant(u"　全消去 "),
         Variant(u"　全消去")},
        {"ResultFontName empty gives the default", kDispResultFontName, Variant(u""), Variant(u"ＭＳ 明朝")},
        {"ResultFontName is not trimmed", kDispResultFontName, Variant(u" IPAGothic"),
         Variant(u" IPAGothic")},
        {"ShowX with AutoShow and no ink", kDispShowX, Variant(int32_t{100}), Variant(int32_t{-2})},
        {"ShowY below 0", kDispShowY, Variant(int32_t{-9}), Variant(int32_t{-2})},
        {"MaxXPos is not clamped", kDispMaxXPos, Variant(int32_t{-7}), Variant(int32_t{-7})},
        {"ShowX below MaxXPos - 2", kDispShowX, Variant(int32_t{5}), Variant(int32_t{-9})},
    };
    for (const Row& r : rows) {
        ASSERT_EQ(put(r.id, r.set), 0) << r.name;
        EXPECT_EQ(get(r.id), r.readBack) << r.name;
    }
    EXPECT_EQ(put(kDispBorderStyle, Variant(int16_t{2})), hr::kInvalidArg);
    EXPECT_EQ(put(kDispHWnd, Variant(int32_t{1})), hr::kMemberNotFound);
}

// Every property set to a value other than its default survives save and load; stored values outside the
// setters' ranges load unchanged.
TEST_F(QuillboxCtrlTest, PropertiesRoundTripThroughTheBag) {
    PropertyBag bag = PropertyBag::fromText(kBoardSettings);
    bag.write("ForeWidth", "25");
    bag.write("RecogNum", "99");
    bag.write("TapPointSize", "1.5");
    bag.write("Result", "山川");
    bag.write("ResultRecChars", "山出");
    bag.write("RButtonInput", "  再入力 ");
    PropExchange load(ExchangeMode::Load, &bag);
    m_ctrl->exchangeProperties(load);
    PropertyBag saved;
    PropExchange save(ExchangeMode::Save, &saved);
    m_ctrl->exchangeProperties(save);

    CQuillboxCtrl other(runtimeDir().string());
    PropExchange reload(ExchangeMode::Load, &saved);
    other.exchangeProperties(reload);
    for (const MemberInfo& member : dispatchInterface().members) {
        if (member.kind != MemberKind::Property || member.id == kDispHWnd) continue;
        Variant a;
        Variant b;
        ASSERT_EQ(m_ctrl->get(member.id, &a), 0);
        ASSERT_EQ(other.get(member.id, &b), 0);
        EXPECT_EQ(a, b) << member.name;
    }
    EXPECT_EQ(get(kDispForeWidth).i4(), 25);
    EXPECT_EQ(get(kDispRecogNum).i4(), 99);
    EXPECT_EQ(get(kDispTapPointSize).r4(), 1.5f);
    EXPECT_EQ(get(kDispRButtonInput).bstr(), u"  再入力 ");
    EXPECT_EQ(saved.read("BackColor"), "&H0080FF80");
    EXPECT_EQ(saved.read("_Version"), "1.0");
    // The exchange order: stock properties, then colours, longs, strings, booleans, floats.
    std::vector<std::string> names;
    for (const auto& [name, value] : saved.values()) names.push_back(name);
    const std::vector<std::string> head(names.begin(), names.begin() + 9);
    EXPECT_EQ(head,
              (std::vector<std::string>{"_Version", "BackColor", "ForeColor", "BorderStyle", "Appearance",
                                        "Enabled", "ForeColorR", "SelectColor", "ResultColor"}));
    EXPECT_EQ(names.back(), "TapPointSize");
    EXPECT_EQ(names.size(), 1u + 5u + 45u);
}

TEST_F(QuillboxCtrlTest, BoardSettingsLoadAndWindowCreationResetsTheRunTimeValues) {
    PropertyBag bag = PropertyBag::fromText(kBoardSettings);
    bag.write("Result", "山");
    bag.write("Recog", "-1");
    bag.write("ShowX", "40");
    bag.write("MaxXPos", "90");
    PropExchange load(ExchangeMode::Load, &bag);
    m_ctrl->exchangeProperties(load);
    EXPECT_EQ(get(kDispBackColor).i4(), 0x0080FF80);
    EXPECT_EQ(get(kDispTapPointSize).r4(), 0.5f);
    EXPECT_EQ(get(kDispRecogNum).i4(), 5);
    EXPECT_EQ(get(kDispMinBound).i4(), 2);
    EXPECT_EQ(get(kDispTapPointColor).i4(), 0x0000C000);
    EXPECT_EQ(get(kDispResultFontName).bstr(), u"ＭＳ 明朝");
    EXPECT_EQ(get(kDispResult).bstr(), u"山");
    EXPECT_TRUE(m_log.take().empty());

    open({200, 100});
    EXPECT_EQ(get(kDispResult).bstr(), u"");
    EXPECT_FALSE(get(kDispRecog).boolean());
    EXPECT_EQ(get(kDispShowX).i4(), 0);
    EXPECT_EQ(get(kDispMaxXPos).i4(), 0);
    EXPECT_EQ(m_log.take(), (std::vector{kResultChanged}));
}

// --- The canvas ---

TEST_F(QuillboxCtrlTest, HiddenBoxCanvasFollowsItsExtentAtOnce) {
    open({240, 80});
    ASSERT_FALSE(m_ctrl->window()->isVisible());
    ASSERT_TRUE(m_ctrl->setExtent(1000, 160));
    EXPECT_EQ(canvas().size(), QSize(3 * 1000 + 10, 3 * 160 + 10));
    recognizeLine("line3_a.txt", QPoint(700, 0));
    const auto third = box().getCharBox(2);
    ASSERT_TRUE(third);
    EXPECT_GT(third->right, 1000) << "the box of 口 is not clamped to the canvas";
}

TEST_F(QuillboxCtrlTest, ExtentSetBeforeTheWindowSizesTheCanvas) {
    ASSERT_TRUE(m_ctrl->setExtent(500, 100));
    ASSERT_NE(m_ctrl->createWindow(m_host.get()), nullptr);
    EXPECT_EQ(canvas().size(), QSize(3 * 500 + 10, 3 * 100 + 10));
}

TEST_F(QuillboxCtrlTest, ViewOffsetsNeverGrowTheCanvasPastItsLimits) {
    open({200, 100});
    ASSERT_EQ(put(kDispAutoShow, Variant::fromBool(false)), 0);
    struct Row {
        const char* name;
        int32_t x, y;
    };
    const Row rows[] = {{"huge x", std::numeric_limits<int32_t>::max(), 0},
                        {"huge y", 0, std::numeric_limits<int32_t>::max()},
                        {"both large", 30000, 30000},
                        {"within reach", 1000, 50}};
    for (const Row& r : rows) {
        ASSERT_EQ(put(kDispShowX, Variant(r.x)), 0);
        ASSERT_EQ(put(kDispShowY, Variant(r.y)), 0);
        const QSize c = canvas().size();
        EXPECT_LE(c.width(), kMaxCanvasSide) << r.name;
        EXPECT_LE(c.height(), kMaxCanvasSide) << r.name;
        EXPECT_LE(int64_t{c.width()} * c.height(), kMaxCanvasPixels) << r.name;
        EXPECT_LE(int64_t{get(kDispShowX).i4()} + 200, c.width()) << r.name;
        EXPECT_LE(int64_t{get(kDispShowY).i4()} + 100, c.height()) << r.name;
    }
    EXPECT_EQ(get(kDispShowX).i4(), 1000);
}

// --- The picture ---

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);        // ResultColor
constexpr QRgb kGreen = qRgb(0, 192, 0);      // TapPointColor
constexpr QRgb kBlue = qRgb(0, 0, 255);       // ResultFontColor
constexpr QRgb kMagenta = qRgb(255, 0, 255);  // ResultFontMiniColor
constexpr QRgb kGrey = qRgb(128, 128, 128);   // ForeColorR

int32_t ole(QRgb c) { return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16); }

// Pixels of `rgb` inside `rect` of the image.
int count(const QImage& image, const QRect& rect, QRgb rgb) {
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (rgb & 0xFFFFFF);
    return n;
}

// Pixels that are none of the given colours, and their bounding rectangle.
QRect otherPixels(const QImage& image, std::initializer_list<QRgb> known, int* n = nullptr) {
    QRect bounds;
    int total = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            bool isKnown = false;
            for (QRgb k : known) isKnown |= p == (k & 0xFFFFFF);
            if (isKnown) continue;
            ++total;
            bounds |= QRect(x, y, 1, 1);
        }
    }
    if (n) *n = total;
    return bounds;
}

QRect rectOf(const CharBox& b) { return QRect(QPoint(b.left, b.top), QPoint(b.right - 1, b.bottom - 1)); }

class QuillboxPicture : public QuillboxCtrlTest {
protected:
    void SetUp() override {
        QuillboxCtrlTest::SetUp();
        for (auto [id, c] : {std::pair{kDispBackColor, kWhite},
                             {kDispResultColor, kRed},
                             {kDispTapPointColor, kGreen},
                             {kDispResultFontColor, kBlue},
                             {kDispResultFontMiniColor, kMagenta},
                             {kDispForeColorR, kGrey}})
            ASSERT_EQ(put(id, Variant(ole(c))), 0);
        ASSERT_EQ(put(kDispResultFontWidth, Variant(int32_t{1})), 0);
        ASSERT_EQ(put(kDispTapPointSize, Variant(0.5f)), 0);
        open({600, 160});
        recognizeLine("line3_a.txt");
        m_log.take();
    }
    std::vector<CharBox> boxes() {
        std::vector<CharBox> out;
        for (int i = 0; i < 3; ++i) {
            const auto b = box().getCharBox(i);
            EXPECT_TRUE(b);
            if (b) out.push_back(*b);
        }
        return out;
    }
};

TEST_F(QuillboxPicture, FramesTapSquaresAndGlyphsInTheirBoxes) {
    const QImage& c = canvas();
    for (const CharBox& b : boxes()) {
        const CharBox frame = frameOf(b, 2, c.size());
        const QRect topEdge(frame.left, frame.top, frame.right - frame.left, 1);
        EXPECT_GT(count(c, topEdge, kRed), topEdge.width() * 8 / 10);
        const QRect tap = tapSquareOf(frame, 0.5f, 2);
        ASSERT_FALSE(tap.isEmpty());
        EXPECT_GT(count(c, tap, kGreen), tap.width() * tap.height() / 2);
        EXPECT_GT(count(c, rectOf(b), kBlue), 30) << "a glyph in its box";
    }
    // Glyph pixels (and their anti-aliased edges) lie inside the boxes only.
    QImage outside = c.copy();
    for (const CharBox& b : boxes()) {
        QPainter p(&outside);
        p.fillRect(rectOf(b).adjusted(-3, -3, 3, 3), kWhite);
    }
    EXPECT_EQ(count(outside, outside.rect(), kBlue), 0);
}

// In result mode the pen's line is drawn over the canvas on the window only, until Refresh.
TEST_F(QuillboxPicture, PenFeedbackLiesOverTheCanvasUntilRefresh) {
    ASSERT_EQ(put(kDispSelectColor, Variant(int32_t{0x00FF8000})), 0);  // RGB 0, 128, 255
    const QRgb select = qRgb(0, 128, 255);
    const QImage before = canvas().copy();
    QWidget* w = m_ctrl->window();
    box().leftDown({5, 150});
    box().mouseMove({300, 150});
    box().mouseMove({590, 152});
    EXPECT_GT(count(w->grab().toImage(), QRect(0, 140, 600, 20), select), 200);
    EXPECT_EQ(canvas(), before) << "the canvas is not touched";
    call(kDispRefresh);
    EXPECT_EQ(count(w->grab().toImage(), QRect(0, 140, 600, 20), select), 0);
    box().leftUp({590, 152});
    EXPECT_EQ(canvas(), before);
}

TEST_F(QuillboxPicture, ClearLeavesPlainBackgroundAtTheOrigin) {
    ASSERT_EQ(put(kDispAutoShow, Variant::fromBool(false)), 0);
    ASSERT_EQ(put(kDispShowX, Variant(int32_t{40})), 0);
    call(kDispClear);
    EXPECT_EQ(get(kDispShowX).i4(), 0);
    int others = 0;
    otherPixels(canvas(), {kWhite}, &others);
    EXPECT_EQ(others, 0);
}

TEST_F(QuillboxPicture, SmallKanaIsDrawnLowInItsOwnColour) {
    ASSERT_EQ(put(kDispResult, Variant(u"山ょ口")), 0);
    call(kDispReWrite);
    const std::vector<CharBox> b = boxes();
    const QRect second = rectOf(b[1]);
    EXPECT_EQ(count(canvas(), second, kBlue), 0);
    // The small kana sits at the left and bottom edges: its ink lies low and left in the box.
    QRect ink;
    for (int y = second.top(); y <= second.bottom(); ++y)
        for (int x = second.left(); x <= second.right(); ++x)
            if ((canvas().pixel(x, y) & 0xFFFFFF) == (kMagenta & 0xFFFFFF)) ink |= QRect(x, y, 1, 1);
    ASSERT_TRUE(ink.isValid());
    EXPECT_GT(ink.center().y(), second.center().y());
    EXPECT_LT(ink.center().x(), second.center().x());
    EXPECT_GT(count(canvas(), rectOf(b[0]), kBlue), 30);
}

TEST_F(QuillboxPicture, ShortResultDrawsOnlyTheCharactersItHas) {
    ASSERT_EQ(put(kDispResult, Variant(u"山")), 0);
    call(kDispReWrite);
    const std::vector<CharBox> b = boxes();
    EXPECT_GT(count(canvas(), rectOf(b[0]), kBlue), 30);
    EXPECT_EQ(count(canvas(), rectOf(b[1]), kBlue), 0);
    EXPECT_EQ(count(canvas(), rectOf(b[2]), kBlue), 0);
    EXPECT_GT(count(canvas(), rectOf(frameOf(b[2], 2, canvas().size())), kRed), 0) << "the frames stay";
}

TEST_F(QuillboxPicture, NothingOfTheResultWithoutOverprintPassesOrVisibleColour) {
    ASSERT_EQ(put(kDispResultFontWidth, Variant(int32_t{0})), 0);
    int others = 0;
    otherPixels(canvas(), {kWhite, kGrey}, &others);
    EXPECT_EQ(others, 0) << "ResultFontWidth 0: only the ink";
    EXPECT_GT(count(canvas(), canvas().rect(), kGrey), 500);

    ASSERT_EQ(put(kDispResultFontWidth, Variant(int32_t{2})), 0);
    ASSERT_EQ(put(kDispResultFontColor, Variant(ole(kWhite))), 0);
    otherPixels(canvas(), {kWhite, kGrey, kRed, kGreen}, &others);
    EXPECT_EQ(others, 0) << "a glyph colour equal to BackColor draws nothing";
    EXPECT_GT(count(canvas(), canvas().rect(), kRed), 100) << "its box still is";
}

TEST_F(QuillboxPicture, HugeAndNaNFloatsDrawWithoutFault) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float v : {nan, 3e38f, -3e38f, std::numeric_limits<float>::infinity()}) {
        ASSERT_EQ(put(kDispResultFontXPos, Variant(v)), 0);
        ASSERT_EQ(put(kDispResultFontYPos, Variant(v)), 0);
    }
    PropertyBag bag;
    bag.write("TapPointSize", "nan");
    bag.write("ResultFontWidth", "100000000");
    bag.write("MinBound", "2147483647");
    PropExchange load(ExchangeMode::Load, &bag);
    const QSize size = canvas().size();
    m_ctrl->exchangeProperties(load);  // stored values outside the setters' ranges
    call(kDispReWrite);
    EXPECT_EQ(canvas().size(), size);
}

TEST_F(QuillboxCtrlTest, BackgroundTextIsSizedByTheWindow) {
    struct Row {
        const char* name;
        QSize window;
        int height;
    };
    const Row rows[] = {{"400 x 200 shares the width", {400, 200}, 100},
                        {"400 x 50 takes the height", {400, 50}, 50}};
    ASSERT_EQ(put(kDispBackColor, Variant(ole(kWhite))), 0);
    ASSERT_EQ(put(kDispBackCharColor, Variant(ole(kBlue))), 0);
    open({400, 200});
    for (const Row& r : rows) {
        ASSERT_TRUE(m_ctrl->setExtent(r.window.width(), r.window.height()));
        ASSERT_EQ(put(kDispBackCharWidth, Variant(int32_t{3})), 0);
        ASSERT_EQ(put(kDispResult, Variant(u"山川口田")), 0);
        const QRect text = otherPixels(canvas(), {kWhite});
        ASSERT_TRUE(text.isValid()) << r.name;
        EXPECT_LE(text.height(), r.height) << r.name;
        EXPECT_GE(text.height(), r.height * 6 / 10) << r.name;
        EXPECT_LE(text.bottom(), r.window.height()) << r.name;
        EXPECT_NEAR(text.center().x(), r.window.width() / 2, 6) << r.name;
    }
}

// Screenshots to look at, written when QUILLBOX_SHOTS is set: a recognised line on the board's colours with
// TapPointSize 0.5, and the background text.
TEST_F(QuillboxCtrlTest, ScreenshotsOnTheBoardsColours) {
    PropertyBag bag = PropertyBag::fromText(kBoardSettings);
    PropExchange load(ExchangeMode::Load, &bag);
    m_ctrl->exchangeProperties(load);
    // The board places the box over the selection with a 10-pixel margin, the strokes starting at (10, 10).
    open({430, 110});
    recognizeLine("line3_a.txt", QPoint(-10, -24));
    QWidget* w = m_ctrl->window();
    const QImage result = w->grab().toImage();
    EXPECT_GT(count(result, result.rect(), kRed), 200) << "result boxes and glyphs in the board's red";
    EXPECT_GT(count(result, result.rect(), kGreen), 100) << "tap squares";

    ASSERT_EQ(put(kDispBackCharWidth, Variant(int32_t{3})), 0);
    call(kDispRecognizeCancel);
    ASSERT_EQ(put(kDispResult, Variant(u"山川口")), 0);
    const QImage backText = w->grab().toImage();
    EXPECT_GT(count(backText, backText.rect(), qRgb(0xC4, 0xC4, 0xFF)), 500) << "background text";

    if (const char* dir = std::getenv("QUILLBOX_SHOTS")) {
        QDir().mkpath(dir);
        result.save(QString(dir) + "/quillbox-result.png");
        backText.save(QString(dir) + "/quillbox-backtext.png");
    }
}

}  // namespace
}  // namespace sw::quillbox::test
