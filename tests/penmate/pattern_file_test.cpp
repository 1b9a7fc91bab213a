#include "penmate/pattern_file.h"

#include <gtest/gtest.h>

#include "penmate/pattern_records.h"
#include "test_support.h"

namespace penmate {
namespace {

using test::makeStrokes;
using test::release;
using test::VectorLines;

void putInt(Bytes& out, int32_t v) {
    for (int s = 0; s < 32; s += 8) out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> s));
}

Bytes listEntry(const std::string& text) {
    Bytes out;
    putInt(out, static_cast<int32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
    out.push_back(0);
    return out;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes intBytes(int32_t v) {
    Bytes out;
    putInt(out, v);
    return out;
}

TEST(SysFuncSaveVeil, StrokeBlockBytes) {
    EXPECT_EQ(encodeStrokeBlock(sw::kNullHandle, 0), Bytes({0, 0, 0, 0}));

    const sw::Handle strokes =
        makeStrokes({{1, -2, 2, 3, 0x00112233}, {70000, 5, -1, -4, 0}, {7, 8, 4, 1, 1}});
    const auto block = encodeStrokeBlock(strokes, 3);
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 52u);
    const Bytes firstPoint = {3,    0,    0,    0,      // N
                              1,    0,    0,    0,      // X
                              0xFE, 0xFF, 0xFF, 0xFF,   // Y -2
                              2,    0,                  // State
                              3,    0,                  // Width
                              0x33, 0x22, 0x11, 0x00};  // Color
    EXPECT_TRUE(std::equal(firstPoint.begin(), firstPoint.end(), block->begin()));
    const Bytes secondX = {0x70, 0x11, 0x01, 0x00, 5, 0, 0, 0, 0xFF, 0xFF, 0xFC, 0xFF};
    EXPECT_TRUE(std::equal(secondX.begin(), secondX.end(), block->begin() + 20));

    EXPECT_FALSE(encodeStrokeBlock(strokes, 4));  // more than the block holds
    EXPECT_FALSE(encodeStrokeBlock(strokes, -1));
    release(strokes);
    EXPECT_FALSE(encodeStrokeBlock(strokes, 1));  // released
}

TEST(SysFuncSaveList, ListBlockBytes) {
    VectorLines two;
    two.lines = {"3 -1 20", ""};
    const auto block = encodeListBlock(two);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->size(), 21u);
    EXPECT_EQ(*block, concat({intBytes(2), listEntry("3 -1 20"), listEntry("")}));

    EXPECT_EQ(encodeListBlock(VectorLines{}), intBytes(0));
}

// A source that hands out lines of any length, as a list box read through a wide enough buffer would.
class LongLines final : public LineSource {
public:
    explicit LongLines(std::vector<std::string> lines) : m_lines(std::move(lines)) {}
    int32_t lineCount() const override { return static_cast<int32_t>(m_lines.size()); }
    std::optional<std::string> line(int32_t i) const override {
        if (i < 0 || i >= lineCount() || m_lines[i] == "unreadable") return std::nullopt;
        return m_lines[i];
    }

private:
    std::vector<std::string> m_lines;
};

TEST(SysFuncSaveList, RefusesLinesItCannotStoreWhole) {
    EXPECT_TRUE(encodeListBlock(LongLines({std::string(515, 'a')})));
    EXPECT_FALSE(encodeListBlock(LongLines({"ok", std::string(516, 'a')})));
    EXPECT_FALSE(encodeListBlock(LongLines({"ok", "unreadable"})));
}

TEST(PatternFile, WalksMixedBlocksWithRunningPointer) {
    const sw::Handle strokes = makeStrokes({{1, 2, 2}, {3, 4, 4}});
    VectorLines list;
    list.lines = {"\x8A\xBF\x8E\x9A", "2", "4 1 1"};  // code page 932 bytes are kept as they are
    const Bytes file = concat({*encodeStrokeBlock(strokes, 2), *encodeListBlock(list),
                               *encodeStrokeBlock(sw::kNullHandle, 0), *encodeListBlock(VectorLines{})});
    MemorySource source(file);

    const LoadedStrokes a = loadStrokeBlock(source, 0);
    ASSERT_EQ(a.status, LoadedStrokes::Status::Block);
    EXPECT_EQ(a.num, 2);
    EXPECT_EQ(a.pointer, 36);
    const sw::VeilPoint* points = sw::resolveStrokeData(a.strokeData, 2);
    ASSERT_NE(points, nullptr);
    EXPECT_EQ(points[1].X, 3);
    EXPECT_EQ(points[1].State, 4);
    sw::BlockInfo info;
    ASSERT_TRUE(sw::lookupBlock(a.strokeData, &info));
    EXPECT_EQ(info.owner, sw::Owner::Penmate);

    const auto b = loadListBlock(source, a.pointer);
    ASSERT_TRUE(b);
    EXPECT_EQ(b->lines, list.lines);
    const LoadedStrokes c = loadStrokeBlock(source, b->pointer);
    ASSERT_EQ(c.status, LoadedStrokes::Status::Block);
    EXPECT_EQ(c.num, 0);
    EXPECT_EQ(c.strokeData, sw::kNullHandle);
    EXPECT_EQ(c.pointer, b->pointer + 4);
    const auto d = loadListBlock(source, c.pointer);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->lines.empty());
    EXPECT_EQ(d->pointer, static_cast<int32_t>(file.size()));

    EXPECT_EQ(loadStrokeBlock(source, d->pointer).status, LoadedStrokes::Status::Empty);  // the end
    EXPECT_FALSE(loadListBlock(source, d->pointer));

    EXPECT_TRUE(deleteStrokeData(a.strokeData));
    release(strokes);
}

struct BadBlock {
    const char* name;
    Bytes bytes;
    int32_t pointer = 0;
};

TEST(SysFuncLoadVeil, BrokenBlocksAreEmptyAndAllocateNothing) {
    const BadBlock rows[] = {
        {"empty file", {}},
        {"pointer at the end", intBytes(0), 4},
        {"pointer behind the end", intBytes(0), 100},
        {"negative pointer", intBytes(0), -4},
        {"truncated count", {1, 0}},
        {"negative count", intBytes(-1)},
        {"count beyond the file", concat({intBytes(0x7FFFFFFF), Bytes(32, 0)})},
        {"truncated points", concat({intBytes(2), Bytes(31, 0)})},
    };
    const size_t before = sw::liveBlockCount();
    for (const BadBlock& r : rows) {
        MemorySource source(r.bytes);
        const LoadedStrokes loaded = loadStrokeBlock(source, r.pointer);
        EXPECT_EQ(loaded.status, LoadedStrokes::Status::Empty) << r.name;
        EXPECT_EQ(loaded.strokeData, sw::kNullHandle) << r.name;
    }
    EXPECT_EQ(sw::liveBlockCount(), before);
}

TEST(SysFuncLoadList, BrokenBlocksAreRefused) {
    const BadBlock rows[] = {
        {"empty file", {}},
        {"pointer behind the end", intBytes(0), 5},
        {"negative pointer", intBytes(0), -1},
        {"negative count", intBytes(-2)},
        {"count beyond the file", concat({intBytes(3), listEntry("a"), listEntry("b")})},
        {"huge count", concat({intBytes(0x40000000), listEntry("a")})},
        {"line length above 515", concat({intBytes(1), intBytes(516), Bytes(517, 'a')})},
        {"negative line length", concat({intBytes(1), intBytes(-1), Bytes(8, 0)})},
        {"truncated text", concat({intBytes(1), intBytes(10), Bytes(5, 'a')})},
        {"missing zero byte", concat({intBytes(1), intBytes(3), Bytes(3, 'a')})},
    };
    for (const BadBlock& r : rows) {
        MemorySource source(r.bytes);
        EXPECT_FALSE(loadListBlock(source, r.pointer)) << r.name;
    }

    const Bytes longest = concat({intBytes(1), listEntry(std::string(515, 'z'))});
    MemorySource source(longest);
    const auto ok = loadListBlock(source, 0);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->lines.at(0).size(), 515u);
}

TEST(PatternFile, FileNamesInCodePage932) {
    EXPECT_EQ(fileNameCp932(u"dir/a.pat"), "dir/a.pat");
    EXPECT_EQ(fileNameCp932(u"\u6F22\u5B57.pat"), "\x8A\xBF\x8E\x9A.pat");
    EXPECT_EQ(fileNameCp932(u"what?.pat"), "what?.pat");
    EXPECT_FALSE(fileNameCp932(u""));
    EXPECT_FALSE(fileNameCp932(u"\U0001F600.pat"));  // no code page 932 form
    EXPECT_FALSE(fileNameCp932(std::u16string(u"a\0b", 3)));
}

}  // namespace
}  // namespace penmate
