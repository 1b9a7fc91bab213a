#include <gtest/gtest.h>

#include "platform/automation/property_bag.h"
#include "platform/text/cp932.h"

using sw::ExchangeMode;
using sw::PropertyBag;
using sw::PropExchange;

namespace {

TEST(PropertyBag, TextRoundTripKeepsEveryValue) {
    const std::pair<const char*, std::string> values[] = {
        {"Plain", "2"},
        {"Spaced", "  two words  "},
        {"Tab", "\tx"},
        {"Quotes", "say \"hi\""},
        {"Backslash", "C:\\dir\\"},
        {"Lines", "a\nb\r\nc"},
        {"Japanese", "ＭＳ 明朝"},
        {"Empty", ""},
        {"LeadingQuote", "\"open"},
        {"Equals", "a = b"},
        {"Hash", "# not a comment"},
    };
    PropertyBag bag;
    for (const auto& [name, value] : values) bag.write(name, value);
    const PropertyBag back = PropertyBag::fromText(bag.toText());
    EXPECT_EQ(back.values(), bag.values()) << bag.toText();
    EXPECT_NE(bag.toText().find("Japanese = ＭＳ 明朝\n"), std::string::npos) << "plain values stay readable";
}

TEST(PropertyBag, ParsesHandWrittenTextAndSkipsMalformedLines) {
    const std::string text =
        "# board settings\r\n"
        "\n"
        "  ForeWidth\t=   2  \r\n"
        "no equals sign here\n"
        " = nameless\n"
        "Broken = \"unterminated\n"
        "Trailing = \"closed\" extra\n"
        "BadEscape = \"\\q\"\n"
        "ForeWidth = 3\n"
        "Font = \"ＭＳ ゴシック \"\n"
        "Last = no newline";
    const PropertyBag bag = PropertyBag::fromText(text);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"ForeWidth", "3"}, {"Font", "ＭＳ ゴシック "}, {"Last", "no newline"}};
    EXPECT_EQ(bag.values(), expected);
}

TEST(PropertyBag, NamesTheTextFormCannotHoldAreLeftOutWithoutHarmingOthers) {
    PropertyBag bag;
    bag.write("Before", "1");
    bag.write("Bad=Name", "x");
    bag.write("Bad\nName", "y");
    bag.write("#Hidden", "z");
    bag.write("After", "2");
    const std::vector<std::pair<std::string, std::string>> expected{{"Before", "1"}, {"After", "2"}};
    EXPECT_EQ(PropertyBag::fromText(bag.toText()).values(), expected);
}

struct Settings {
    int32_t width = 0;
    int16_t size = 0;
    bool flag = false;
    float ratio = 0;
    uint32_t color = 0;
    std::string face;  // code page 932

    void exchange(PropExchange& ex) {
        ex.exLong("Width", width, 120);
        ex.exShort("Size", size, 12);
        ex.exBool("Flag", flag, true);
        ex.exFloat("Ratio", ratio, 0.5f);
        ex.exColor("Color", color, 0x00FFFFFFu);
        ex.exString("Face", face, sw::text::utf8ToCp932("ＭＳ 明朝"));
    }
};

TEST(PropExchange, SaveLoadAndResetThroughOneRoutine) {
    Settings original{-7, -300, false, 0.1f, 0x80000005u, sw::text::utf8ToCp932("IPA ゴシック")};
    PropertyBag bag;
    PropExchange save(ExchangeMode::Save, &bag);
    EXPECT_EQ(save.exVersion(2, 1), 0x20001u);
    original.exchange(save);
    EXPECT_EQ(bag.read("Flag"), "0");
    EXPECT_EQ(bag.read("Color"), "&H80000005");
    EXPECT_EQ(bag.read("Face"), "IPA ゴシック");

    Settings loaded;
    PropExchange load(ExchangeMode::Load, &bag);
    EXPECT_EQ(load.exVersion(1, 0), 0x20001u) << "the stored version wins";
    loaded.exchange(load);
    EXPECT_EQ(loaded.width, -7);
    EXPECT_EQ(loaded.size, -300);
    EXPECT_FALSE(loaded.flag);
    EXPECT_EQ(loaded.ratio, 0.1f) << "floats round-trip exactly";
    EXPECT_EQ(loaded.color, 0x80000005u);
    EXPECT_EQ(loaded.face, original.face);

    Settings reset = original;
    PropExchange resetting(ExchangeMode::Reset, nullptr);
    reset.exchange(resetting);
    EXPECT_EQ(reset.width, 120);
    EXPECT_EQ(reset.size, 12);
    EXPECT_TRUE(reset.flag);
    EXPECT_EQ(reset.ratio, 0.5f);
    EXPECT_EQ(reset.color, 0x00FFFFFFu);
    EXPECT_EQ(reset.face, sw::text::utf8ToCp932("ＭＳ 明朝"));
}

TEST(PropExchange, LoadTakesDefaultsForAbsentOrUnparsableValues) {
    const PropertyBag bag = PropertyBag::fromText(
        "Width = 12px\n"
        "Size = 40000\n"  // out of range: the default, not a clamped value
        "Flag = maybe\n"
        "Ratio = 1e999\n"
        "Color = &HGG\n"
        "_Version = 2\n");
    PropertyBag copy = bag;
    Settings s{1, 2, false, 3.0f, 4, "x"};
    PropExchange load(ExchangeMode::Load, &copy);
    EXPECT_EQ(load.exVersion(1, 3), 0x10003u);
    s.exchange(load);
    EXPECT_EQ(s.width, 120);
    EXPECT_EQ(s.size, 12);
    EXPECT_TRUE(s.flag);
    EXPECT_EQ(s.ratio, 0.5f);
    EXPECT_EQ(s.color, 0x00FFFFFFu);
    EXPECT_EQ(s.face, sw::text::utf8ToCp932("ＭＳ 明朝"));
}

TEST(PropExchange, AcceptsOtherCommonSpellings) {
    PropertyBag bag = PropertyBag::fromText("Flag = True\nColor = &HFF&\nWidth = +5\n");
    Settings s;
    PropExchange load(ExchangeMode::Load, &bag);
    s.exchange(load);
    EXPECT_TRUE(s.flag);
    EXPECT_EQ(s.color, 0xFFu);
    EXPECT_EQ(s.width, 5);
}

}  // namespace
