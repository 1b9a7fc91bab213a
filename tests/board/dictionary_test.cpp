#include "board/dictionary/dictionary.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <string>

#include "platform/text/cp932.h"

namespace sw::board {
namespace {

using namespace Qt::StringLiterals;

QByteArray sjis(const char* utf8) { return QByteArray::fromStdString(text::utf8ToCp932(utf8)); }

TEST(DictionaryText, LinesAsStartUpReadsThem) {
    const QString R(QChar(0xFFFD));
    const struct {
        const char* name;
        QByteArray bytes;
        QStringList lines;
    } rows[] = {
        {"empty file", "", {}},
        {"mixed, last line without a line end", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"LF CR is two line ends", "a\n\rb", {"a", "", "b"}},
        {"trailing empty line is an item", "a\r\n\r\n", {"a", ""}},
        {"no trimming", " a  \n\t\n", {" a  ", "\t"}},
        {"code page 932", sjis("漢字 かんじ kanji\r\n"), {u"漢字 かんじ kanji"_s}},
        {"lone lead byte before the line end", "a\x82\r\nb", {"a" + R, "b"}},
        {"NUL stays a character", QByteArray("a\0b", 3), {QString(QChar(u'a')) + QChar(0) + "b"}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(splitDictionaryText(row.bytes), row.lines) << row.name;
    }
}

TEST(DictionaryText, KeepsTheFirst32767Lines) {
    QByteArray bytes;
    for (int i = 1; i <= kMaxDictionaryLines + 2; ++i) bytes += QByteArray::number(i) + "\r\n";
    const QStringList lines = splitDictionaryText(bytes);
    ASSERT_EQ(lines.size(), kMaxDictionaryLines);
    EXPECT_EQ(lines.last(), QString::number(kMaxDictionaryLines));
}

TEST(DictionaryText, ReadsNoFurtherThanTheByteLimit) {
    QByteArray bytes(kMaxDictionaryBytes / 2, 'a');
    bytes += '\n';
    bytes += QByteArray(kMaxDictionaryBytes / 2, 'b');
    const QStringList lines = splitDictionaryText(bytes);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].size(), kMaxDictionaryBytes / 2);
    EXPECT_EQ(lines[1].size(), kMaxDictionaryBytes / 2 - 1) << "cut as if the file ended at the limit";
}

TEST(DictionaryFile, MissingOrUnreadableLeavesTheListEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(readDictionaryFile(dir.filePath("dic.txt")).isEmpty()) << "missing";
    EXPECT_TRUE(readDictionaryFile(dir.path()).isEmpty()) << "a folder";
    EXPECT_TRUE(readDictionaryFile(QString()).isEmpty()) << "no name";
}

// The file is read in 64 KiB pieces: a CR LF split between two pieces is still one line end.
TEST(DictionaryFile, LineEndSplitBetweenReadsIsOneLineEnd) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QByteArray bytes(64 * 1024 - 1, 'x');
    bytes += "\r\n";
    bytes += sjis("漢字 かんじ kanji\r\n\r\n");
    QFile file(dir.filePath("dic.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
    file.close();

    const QStringList lines = readDictionaryFile(file.fileName());
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QString(64 * 1024 - 1, u'x'));
    EXPECT_EQ(lines[1], u"漢字 かんじ kanji"_s);
    EXPECT_EQ(lines[2], QString());
    EXPECT_EQ(lines, splitDictionaryText(bytes));
}

TEST(DictionaryLookUp, FirstLineWithAKeyEqualToTheWord) {
    const struct {
        const char* name;
        QStringList lines;
        QString word;
        qsizetype line;  // -1: no match
        QString explanation;
    } rows[] = {
        {"first key", {u"漢字 かんじ Chinese characters"_s}, u"漢字"_s, 0, "Chinese characters"},
        {"second key", {u"漢字 かんじ Chinese characters"_s}, u"かんじ"_s, 0, "Chinese characters"},
        {"explanation is not a key", {u"漢字 かんじ 感じ"_s}, u"感じ"_s, -1, {}},
        {"prefix of a key", {u"漢字 かんじ x"_s}, u"漢"_s, -1, {}},
        {"case counts", {"Abc abc x"}, "ABC", -1, {}},
        {"the earlier of two matching lines",
         {u"今日 きょう today"_s, u"今日 こんにち these days"_s},
         u"今日"_s,
         0,
         "today"},
        {"lines that do not parse are passed over",
         {u"今日"_s, u"今日 きょう"_s, QString(), u"今日 こんにち these days"_s},
         u"今日"_s,
         3,
         "these days"},
        {"a trailing space after the second key is trimmed away", {u"今日 きょう "_s}, u"今日"_s, -1, {}},
        {"leading and trailing spaces", {u"  今日 きょう today  "_s}, u"今日"_s, 0, "today"},
        {"empty second key", {u"今日  today"_s}, u"今日"_s, 0, "today"},
        {"spaces inside the explanation",
         {u"今日 きょう this  day, today "_s},
         u"きょう"_s,
         0,
         "this  day, today"},
        {"a full-width space is text, not trimmed", {u"　今日 きょう x"_s}, u"今日"_s, -1, {}},
        {"empty word", {u"今日  today"_s}, QString(), -1, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto match = lookUpWord(row.lines, row.word);
        EXPECT_EQ(match ? match->line : -1, row.line);
        EXPECT_EQ(match ? match->explanation : QString(), row.explanation);
    }
}

TEST(DictionaryLookUp, LooksAtTheFirst32767LinesOnly) {
    QStringList lines(kMaxDictionaryLines + 1, u"x y z"_s);
    lines[kMaxDictionaryLines] = u"今日 きょう beyond"_s;
    EXPECT_FALSE(lookUpWord(lines, u"今日").has_value());
    lines[kMaxDictionaryLines - 1] = u"今日 きょう last"_s;
    const auto match = lookUpWord(lines, u"今日");
    ASSERT_TRUE(match.has_value());
    EXPECT_EQ(match->line, kMaxDictionaryLines - 1);
}

}  // namespace
}  // namespace sw::board
