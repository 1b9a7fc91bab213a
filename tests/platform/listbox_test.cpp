#include "platform/window/listbox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>
#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "qt_application.h"

namespace sw::win {
namespace {

constexpr char kCanary = '\x5A';

class ListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        m_list = std::make_unique<ListBox>();
        m_h = m_list->handle();
        ASSERT_NE(m_h, 0);
    }
    LResult add(const std::string& line) {
        return sendMessage(m_h, LB_ADDSTRING, 0, reinterpret_cast<intptr_t>(line.c_str()));
    }
    std::unique_ptr<ListBox> m_list;
    HWnd m_h = 0;
};

TEST_F(ListBoxTest, A300ByteLineTravelsThroughTheMessagesUnchanged) {
    std::string line;
    for (int i = 0; i < 150; ++i) line += (i % 2) ? "\x8A\xBF" : "\x8E\x9A";  // 漢字 x 75
    ASSERT_EQ(line.size(), 300u);
    EXPECT_EQ(add("first"), 0);
    EXPECT_EQ(add(line), 1);
    EXPECT_EQ(sendMessage(m_h, LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(sendMessage(m_h, LB_GETTEXTLEN, 1, 0), 300);
    EXPECT_EQ(m_list->item(1)->text().size(), 150) << "held as Unicode";
    EXPECT_EQ(m_list->item(1)->text().left(2), QStringLiteral("字漢"));

    std::vector<char> buffer(301 + 1, kCanary);
    EXPECT_EQ(sendMessage(m_h, LB_GETTEXT, 1, reinterpret_cast<intptr_t>(buffer.data())), 300);
    EXPECT_EQ(std::string(buffer.data(), 300), line);
    EXPECT_EQ(buffer[300], '\0');
    EXPECT_EQ(buffer[301], kCanary);

    EXPECT_EQ(sendMessage(m_h, LB_RESETCONTENT, 0, 0), 0);
    EXPECT_EQ(sendMessage(m_h, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(add(line), 0) << "indexes start again after a reset";
}

TEST_F(ListBoxTest, BoundedReadNeverWritesPastTheBufferNorSplitsACharacter) {
    const std::string line =
        "a\x82\xA0\x82\xA2\xB1"
        "b";  // a あ い ｱ b: 7 bytes
    add("x");
    add(line);
    const struct {
        size_t capacity;
        LResult copied;
    } rows[] = {{1, 0}, {2, 1}, {3, 1}, {4, 3}, {5, 3}, {6, 5}, {7, 6}, {8, 7}, {64, 7}};
    for (const auto& row : rows) {
        std::vector<char> buffer(row.capacity + 4, kCanary);
        const LResult n = getTextBounded(m_h, 1, buffer.data(), row.capacity);
        EXPECT_EQ(n, row.copied) << "capacity " << row.capacity;
        if (n < 0) continue;
        EXPECT_EQ(std::string(buffer.data(), static_cast<size_t>(n)), line.substr(0, static_cast<size_t>(n)));
        EXPECT_EQ(buffer[static_cast<size_t>(n)], '\0');
        EXPECT_TRUE(text::isValidCp932(std::string_view(buffer.data(), static_cast<size_t>(n))))
            << "half a character at capacity " << row.capacity;
        for (size_t i = row.capacity; i < buffer.size(); ++i) {
            EXPECT_EQ(buffer[i], kCanary) << "written past capacity " << row.capacity << " at " << i;
        }
    }

    char untouched[4] = {kCanary, kCanary, kCanary, kCanary};
    EXPECT_EQ(getTextBounded(m_h, 1, untouched, 0), LB_ERR);
    EXPECT_EQ(getTextBounded(m_h, 2, untouched, 4), LB_ERR);
    EXPECT_EQ(getTextBounded(m_h, -1, untouched, 4), LB_ERR);
    EXPECT_EQ(getTextBounded(m_h, 0, nullptr, 4), LB_ERR);
    EXPECT_EQ(getTextBounded(0, 0, untouched, 4), LB_ERR);
    QWidget notAList;
    EXPECT_EQ(getTextBounded(handleOf(&notAList), 0, untouched, 4), LB_ERR);
    EXPECT_EQ(std::string(untouched, 4), std::string(4, kCanary));
    const HWnd stale = m_h;
    m_list.reset();
    EXPECT_EQ(getTextBounded(stale, 0, untouched, 4), LB_ERR);
}

TEST_F(ListBoxTest, BadIndexesAndPointersGiveLbErr) {
    add("one");
    char buffer[8] = {kCanary, kCanary, kCanary, kCanary, kCanary, kCanary, kCanary, kCanary};
    for (const WParam index : {WParam(1), WParam(0xFFFFFFFF), WParam(0x80000000), WParam(1000)}) {
        EXPECT_EQ(sendMessage(m_h, LB_GETTEXTLEN, index, 0), LB_ERR) << index;
        EXPECT_EQ(sendMessage(m_h, LB_GETTEXT, index, reinterpret_cast<intptr_t>(buffer)), LB_ERR) << index;
    }
    EXPECT_EQ(buffer[0], kCanary);
    EXPECT_EQ(sendMessage(m_h, LB_GETTEXT, 0, 0), LB_ERR) << "a null buffer";
    EXPECT_EQ(sendMessage(m_h, LB_ADDSTRING, 0, 0), LB_ERR) << "a null line";
    EXPECT_EQ(sendMessage(m_h, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(m_list->lineCp932(5), "");

    QWidget notAList;
    EXPECT_EQ(sendMessage(handleOf(&notAList), LB_GETCOUNT, 0, 0), 0) << "list messages to another widget";
}

TEST_F(ListBoxTest, LinesKeepTheirBytesEvenWhenNotValidCp932) {
    const std::string rows[] = {
        "\x82",                     // lone lead byte
        "ab\xFF\x80\xA0",           // bytes code page 932 leaves unassigned
        "\x81\x20tail",             // lead byte before an invalid trail
        "\xB1\xB2\xB3 half-width",  // half-width katakana
        "",                         // an empty line
    };
    for (const std::string& line : rows) {
        const LResult index = add(line);
        EXPECT_EQ(m_list->lineCp932(index), line);
        EXPECT_EQ(sendMessage(m_h, LB_GETTEXTLEN, static_cast<WParam>(index), 0),
                  static_cast<LResult>(line.size()));
    }
    EXPECT_EQ(m_list->item(0)->text(), QString(QChar(0xFFFD))) << "shown with a replacement character";
    EXPECT_EQ(m_list->item(3)->text(), QStringLiteral("ｱｲｳ half-width"));

    // A line changed through Qt is read in its new form; characters without a code page 932 form become '?'.
    m_list->item(1)->setText(QStringLiteral("é漢"));
    EXPECT_EQ(m_list->lineCp932(1), "?\x8A\xBF");
    m_list->addItem(QStringLiteral("直接"));
    EXPECT_EQ(m_list->lineCp932(5), "\x92\xBC\x90\xDA");
}

}  // namespace
}  // namespace sw::win
