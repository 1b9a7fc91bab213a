#include "board/dictionary/lookup_geometry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <climits>
#include <vector>

#include "board/dictionary/dictionary.h"

namespace sw::board {
namespace {

using namespace Qt::StringLiterals;

// The layouts of the board's table records.
struct CharRect {
    int32_t Left, Top, Right, Bottom;
};
struct PathPoint {
    int32_t X, Y;
};

struct Table {
    std::vector<CharRect> rects;
    std::vector<int32_t> widths;
    std::vector<QString> texts;
    void add(const QString& text, CharRect rect, int32_t width = 2) {
        texts.push_back(text);
        rects.push_back(rect);
        widths.push_back(width);
    }
};

Table boardTable() {
    Table t;
    t.add(u"X"_s, {0, 100, 40, 140});  // element 0: never a character
    t.add(u"今"_s, {0, 100, 40, 140});
    t.add(u"日"_s, {50, 100, 90, 140});
    t.add(u"は"_s, {100, 100, 140, 140});
    t.add(u"、"_s, {150, 100, 190, 140});
    t.add(u"漢"_s, {200, 100, 240, 140});  // 5
    t.add(u"字"_s, {250, 100, 290, 140});  // 6
    t.add(u"消"_s, {300, 100, 340, 140}, 0);
    t.add(u"負"_s, {350, 100, 390, 140}, -1);
    t.add(u"字"_s, {450, 100, 490, 140});  // committed before the 漢 left of it
    t.add(u"漢"_s, {400, 100, 440, 140});
    t.add(u"中"_s, {695, 295, 705, 305});
    t.add(u"遠"_s, {2147483000, 2147483000, 2147483040, 2147483040});
    t.add(u"逆"_s, {1040, 140, 1000, 100});
    t.add(u"点"_s, {1100, 100, 1100, 140});
    return t;
}

std::vector<PathPoint> box(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

QString select(const std::vector<PathPoint>& path, const Table& t) {
    return selectCharacters<PathPoint, CharRect>(path, t.rects, t.widths, t.texts);
}

TEST(SelectCharacters, CharactersThePathTakesInInTableOrder) {
    const Table table = boardTable();
    std::vector<PathPoint> reversed = box(195, 95, 295, 145);
    std::reverse(reversed.begin(), reversed.end());
    const struct {
        const char* name;
        std::vector<PathPoint> path;
        QString selection;
    } rows[] = {
        {"round 漢 and 字", box(195, 95, 295, 145), u"漢字"_s},
        {"the same drawn the other way round", reversed, u"漢字"_s},
        {"part of a box is enough", box(230, 110, 260, 130), u"漢字"_s},
        {"the gap between two boxes", box(241, 95, 249, 145), u""_s},
        {"table order, not left to right", box(395, 95, 495, 145), u"字漢"_s},
        {"widths of 0 and below are never taken", box(295, 95, 395, 145), u""_s},
        {"element 0 is no character", box(-5, 95, 45, 145), u"今"_s},
        {"a press without a move", {{220, 120}}, u""_s},
        {"points on one line", {{195, 120}, {250, 120}, {295, 120}}, u""_s},
        // A pentagram winds twice round its centre: inside by the winding rule, outside by odd-even.
        {"a star's centre", {{700, 200}, {759, 381}, {605, 269}, {795, 269}, {641, 381}}, u"中"_s},
        {"near the top of the 32-bit range", box(2147482990, 2147482990, 2147483050, 2147483050), u"遠"_s},
        {"a box with its edges swapped", box(990, 90, 1050, 150), u"逆"_s},
        {"a box without area", box(1090, 90, 1110, 150), u""_s},
        {"a path wider than the limit", box(0, 95, 70000, 145), u""_s},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(select(row.path, table), row.selection) << row.name;
    }
}

TEST(SelectCharacters, OnlyIndexesAllThreeSpansHave) {
    Table table = boardTable();
    table.texts.resize(6);  // up to 漢
    EXPECT_EQ(select(box(195, 95, 295, 145), table), u"漢"_s);
}

TEST(DictionaryWindowPosition, AtTheReleasePointClampedToTheScreen) {
    const QSize screen(28800, 21600);  // 1920 x 1440 pixels
    const QSize window(3375, 3420);
    const struct {
        const char* name;
        QPoint release;
        QSize screen;
        QPoint position;
    } rows[] = {
        {"inside", {1500, 3000}, screen, {1500, 3000}},
        {"near the bottom right corner: edges meet the screen's", {28000, 21000}, screen, {25425, 18180}},
        {"left of and above the screen", {-300, -15}, screen, {0, 0}},
        {"window larger than the screen", {1500, 3000}, {3000, 3000}, {0, 0}},
        {"a screen wider than 16-bit twips", {50000, 30000}, {57600, 32400}, {50000, 28980}},
        {"extreme values do not overflow", {INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {0, 0}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(dictionaryWindowPosition(row.release, row.screen, window), row.position) << row.name;
    }
    EXPECT_EQ(dictionaryWindowPosition({INT_MAX, INT_MAX}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}),
              QPoint(INT_MAX, INT_MAX));
}

// Circling 漢字 on the board finds it in the dic.txt the build made from EDICT.
TEST(LookUp, CirclingKanjiFindsItInTheBuiltDictionary) {
    const QStringList lines =
        readDictionaryFile(QDir(qEnvironmentVariable("SLATEWISE_RUNTIME_DIR")).filePath("dic.txt"));
    ASSERT_GT(lines.size(), 23000);
    const QString selection = select(box(195, 95, 295, 145), boardTable());
    const auto match = lookUpWord(lines, selection);
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(lines[match->line], u"漢字 かんじ kanji; Chinese characters"_s);
    EXPECT_EQ(match->explanation, u"kanji; Chinese characters"_s);
}

}  // namespace
}  // namespace sw::board
