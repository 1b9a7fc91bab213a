#include "glyph.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <set>
#include <tuple>

#include "modelgen_paths.h"

namespace sw::modelgen {
namespace {

std::string writeFile(const QTemporaryDir& dir, const char* name, const QByteArray& content) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
    return path.toStdString();
}

TEST(ReadKanjiVgFile, ReadsStrokesInOrder) {
    // ア: two strokes; the first starts at "M23.5,26.25", the second at "M53.12,41.12".
    std::string error;
    const auto a = readKanjiVgFile(std::string(test::kKanjiVgDir) + "/030a2.svg", &error);
    ASSERT_TRUE(a) << error;
    EXPECT_EQ(a->label, U'ア');
    ASSERT_EQ(a->strokes.size(), 2u);
    EXPECT_EQ(a->strokes[0].front().p0, (Point{23.5, 26.25}));
    EXPECT_EQ(a->strokes[1].front().p0, (Point{53.12, 41.12}));
    // ！: the dot is a small relative circle that ends where it starts.
    const auto bang = readKanjiVgFile(std::string(test::kKanjiVgDir) + "/00021.svg", &error);
    ASSERT_TRUE(bang) << error;
    ASSERT_EQ(bang->strokes.size(), 2u);
    const Point start = bang->strokes[1].front().p0, end = bang->strokes[1].back().p3;
    EXPECT_NEAR(start.x, end.x, 1e-9);
    EXPECT_NEAR(start.y, end.y, 1e-9);
}

TEST(ReadKanjiVgFile, ReadsNestedComponentsAsParts) {
    struct Row {
        const char* file;
        std::vector<std::pair<int, std::vector<uint32_t>>> parts;  // depth, strokes
    };
    const Row rows[] = {
        {"030a2.svg", {}},  // ア: one group holding every stroke is the whole glyph, no part
        // 漢: 氵 and the right side; in it 艹 over 口 and 夫; in 夫 its 大.
        {"06f22.svg",
         {{1, {0, 1, 2}},
          {1, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
          {2, {3, 4, 5}},
          {2, {6, 7, 8, 9, 10, 11, 12}},
          {3, {6, 7, 8}},
          {3, {9, 10, 11, 12}},
          {4, {10, 11, 12}}}},
    };
    for (const Row& row : rows) {
        std::string error;
        const auto g = readKanjiVgFile(std::string(test::kKanjiVgDir) + "/" + row.file, &error);
        ASSERT_TRUE(g) << error;
        std::vector<std::pair<int, std::vector<uint32_t>>> parts;
        for (const Part& p : g->parts) parts.emplace_back(p.depth, p.strokes);
        EXPECT_EQ(parts, row.parts) << row.file;
    }
    // A group that only repeats its enclosing group's strokes is no part of its own; a group outside every
    // other one (a stray stroke group) is.
    QTemporaryDir dir;
    const auto g =
        readKanjiVgFile(writeFile(dir, "04e8c.svg",
                                  R"(<svg><g><g><g><path d="M1,2 L3,4"/><path d="M1,6 L3,8"/></g></g>)"
                                  R"(<path d="M5,2 L5,9"/></g></svg>)"));
    ASSERT_TRUE(g);
    ASSERT_EQ(g->parts.size(), 1u);
    EXPECT_EQ(g->parts[0].depth, 1);
    EXPECT_EQ(g->parts[0].strokes, (std::vector<uint32_t>{0, 1}));
}

TEST(ReadKanjiVgFile, RejectsBadFiles) {
    QTemporaryDir dir;
    const QByteArray good = R"(<svg xmlns="http://www.w3.org/2000/svg"><g><path d="M1,2 L3,4"/></g></svg>)";
    const std::pair<const char*, QByteArray> rows[] = {
        {"03042.svg", R"(<svg><g><path d="M1,2 L3,4"/></g>)"},  // truncated
        {"03043.svg", R"(<svg><g><path d="M1,2 A3,4 0 0 1 5,6"/></g></svg>)"},
        {"03044.svg", R"(<svg><g></g></svg>)"},
        {"name.svg", good},
    };
    for (const auto& [name, content] : rows) {
        std::string error;
        EXPECT_FALSE(readKanjiVgFile(writeFile(dir, name, content), &error)) << name;
        EXPECT_FALSE(error.empty()) << name;
    }
    EXPECT_FALSE(readKanjiVgFile(dir.filePath("03045.svg").toStdString()));
    const auto ok = readKanjiVgFile(writeFile(dir, "030a2-Kaisho.svg", good));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->label, U'ア');
}

TEST(ReadTemplateFile, ReportsTheBadLine) {
    QTemporaryDir dir;
    const std::pair<QByteArray, const char*> rows[] = {
        {"# c\n\n＝ M1,1 L9,1 M1,5 L9,5\n＝ M1,1 L9,1\n", ":4: character given twice"},
        {"＝ M1,1 L9,1\n（\n", ":2: "},
        {"＝ M1,1 L9,1\n（ M1,1 A1,1 0 0 1 2,2\n", ":2: arc"},
        {"＝＝ M1,1 L9,1\n", ":1: "},
        {"\xff M1,1 L9,1\n", ":1: invalid UTF-8"},
    };
    for (const auto& [content, where] : rows) {
        std::string error;
        EXPECT_FALSE(readTemplateFile(writeFile(dir, "t.txt", content), &error)) << content.toStdString();
        EXPECT_NE(error.find(where), std::string::npos) << error;
    }
    const auto ok =
        readTemplateFile(writeFile(dir, "t.txt", "# c\n＝ M1,1 L9,1 M1,5 L9,5\n（ M5,1 C3,3 3,7 5,9\n"));
    ASSERT_TRUE(ok);
    ASSERT_EQ(ok->size(), 2u);
    EXPECT_EQ((*ok)[0].label, U'＝');
    EXPECT_EQ((*ok)[0].strokes.size(), 2u);
    EXPECT_EQ((*ok)[1].strokes.size(), 1u);
}

TEST(ReadTemplateFile, AllographsAreFurtherFormsOfTheirClass) {
    QTemporaryDir dir;
    const auto ok = readTemplateFile(writeFile(dir, "t.txt",
                                               "７ + M1,1 L9,1 L4,9\n"
                                               "＝ M1,1 L9,1 M1,5 L9,5\n"
                                               "７ +M1,1 L9,1 L4,9 M2,5 L7,5\n"
                                               "＝ + M1,1 L9,1 L1,5 L9,5\n"
                                               "ｊ +. M5,5 L5,9 M5,1 l0,1\n"
                                               "１ +~ M5,1 L5,9\n"));
    ASSERT_TRUE(ok);
    // Label, form, strokes, whether the form needs its dot, whether only the shape templates know it.
    const std::vector<std::tuple<char32_t, int, size_t, bool, bool>> expected = {
        {U'７', 1, 1, false, false}, {U'＝', 0, 2, false, false}, {U'７', 2, 2, false, false},
        {U'＝', 1, 1, false, false}, {U'ｊ', 1, 2, true, false},  {U'１', 1, 1, false, true}};
    ASSERT_EQ(ok->size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ((*ok)[i].label, std::get<0>(expected[i])) << i;
        EXPECT_EQ((*ok)[i].form, std::get<1>(expected[i])) << i;
        EXPECT_EQ((*ok)[i].strokes.size(), std::get<2>(expected[i])) << i;
        EXPECT_EQ((*ok)[i].needsDot, std::get<3>(expected[i])) << i;
        EXPECT_EQ((*ok)[i].shapeOnly, std::get<4>(expected[i])) << i;
    }
    // The stroke-order model is trained on all but the form that needs its dot and the shape templates' own.
    const auto trained = strokeOrderForms(*ok);
    EXPECT_EQ(trained.size(), expected.size() - 2);
    EXPECT_TRUE(std::none_of(trained.begin(), trained.end(),
                             [](const Glyph& g) { return g.needsDot || g.shapeOnly; }));
    for (const char* bad : {"７ +\n", "７ + +M1,1 L9,1\n", "７ + 3\n"}) {
        std::string error;
        EXPECT_FALSE(readTemplateFile(writeFile(dir, "t.txt", bad), &error)) << bad;
        EXPECT_NE(error.find(":1: "), std::string::npos) << error;
    }
}

TEST(SupplementGlyphs, AllographsFollowTheirMainForm) {
    QTemporaryDir dir;
    std::string error;
    // ７ has a KanjiVG glyph; ♪ gets its main form from the file; ♭ has none.
    const auto glyphs = readSupplementGlyphs(
        test::kKanjiVgDir, writeFile(dir, "t.txt", "７ + M1,1 L9,1 L4,9\n♪ M1,1 L1,9\n♪ + M1,1 L1,9 L3,7\n"),
        {}, &error);
    ASSERT_TRUE(glyphs) << error;
    std::vector<std::pair<char32_t, int>> forms;
    for (const Glyph& g : *glyphs) {
        if (g.label == U'７' || g.label == U'♪') forms.emplace_back(g.label, g.form);
    }
    EXPECT_EQ(forms, (std::vector<std::pair<char32_t, int>>{{U'♪', 0}, {U'♪', 1}, {U'７', 0}, {U'７', 1}}));
    EXPECT_FALSE(
        readSupplementGlyphs(test::kKanjiVgDir, writeFile(dir, "t.txt", "♭ + M1,1 L1,9\n"), {}, &error));
    EXPECT_NE(error.find("no main form"), std::string::npos) << error;
}

TEST(ReadTwinFile, GroupsAndErrors) {
    QTemporaryDir dir;
    const auto ok = readTwinFile(writeFile(dir, "w.txt", "# c\nあ ぁ\n\n。  ○ ・\n"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(*ok, (TwinGroups{{U'あ', U'ぁ'}, {U'。', U'○', U'・'}}));
    for (const char* bad : {"あ\n", "あ ぁ\nぁ ア\n", "あい ぁ\n"}) {
        std::string error;
        EXPECT_FALSE(readTwinFile(writeFile(dir, "w.txt", bad), &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(HasCp932DoubleByte, FullWidthFormsOnly) {
    for (char32_t c : {U'Ａ', U'ｚ', U'０', U'ヴ', U'ヶ', U'ー', U'～', U'－', U'、', U'【', U'※'})
        EXPECT_TRUE(hasCp932DoubleByte(c)) << toUtf8(c);
    // ASCII is single-byte; ヷ and ゔ have no form; 〜 U+301C encodes but decodes as ～ U+FF5E.
    for (char32_t c : {U'A', U'0', U'ヷ', U'ゔ', U'〜', U'−', U'\u00e9'})
        EXPECT_FALSE(hasCp932DoubleByte(c)) << toUtf8(c);
}

TEST(SupplementGlyphs, CoverEveryRequiredClass) {
    std::string error;
    const auto twins = readTwinFile(test::kTwins, &error);
    ASSERT_TRUE(twins) << error;
    const auto glyphs = readSupplementGlyphs(test::kKanjiVgDir, test::kTemplates, *twins, &error);
    ASSERT_TRUE(glyphs) << error;
    std::set<char32_t> labels;
    size_t mainForms = 0;
    for (const Glyph& g : *glyphs) {
        labels.insert(g.label);
        mainForms += g.form == 0;
    }
    EXPECT_EQ(labels.size(), mainForms);
    std::u32string required =
        U"ぁぃぅぇぉっゃゅょゎがぎぐげござじずぜぞだぢづでどばぱびぴぶぷべぺぼぽゐゑをん"
        U"ァアィイゥウェエォオカガキギクグケゲコゴサザシジスズセゼソゾタダチヂッツヅテデトドナニヌネノ"
        U"ハバパヒビピフブプヘベペホボポマミムメモャヤュユョヨラリルレロヮワヰヱヲンヴヵヶ"
        U"ー、。，．・：；？！～「」『』（）［］｛｝〈〉《》【】＋－×÷＝＜＞％＃＆＊＠゛゜ゝゞヽヾ々"
        U"０１２３４５６７８９";
    for (char32_t c = U'Ａ'; c <= U'Ｚ'; ++c) required += c;
    for (char32_t c = U'ａ'; c <= U'ｚ'; ++c) required += c;
    for (char32_t c : required) EXPECT_TRUE(labels.contains(c)) << toUtf8(c);
}

}  // namespace
}  // namespace sw::modelgen
