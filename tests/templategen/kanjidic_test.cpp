// KANJIDIC lines as the template generator reads them: only the code point, grade and frequency rank.
#include "kanjidic.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace sw::templategen;

TEST(Kanjidic, ParseLine) {
    const struct {
        const char* name;
        std::string line;
        bool parsed;
        char32_t code;
        int grade, rank;
    } rows[] = {
        // The kanji and readings are EUC-JP; the parser reads the ASCII fields only.
        {"graded and ranked", "\xb0\xa1 3021 U4e9c B1 C7 G8 S7 XJ05033 F1509 J1 N43 \xa5\xa2 {Asia}", true,
         0x4E9C, 8, 1509},
        {"neither grade nor rank", "\xb0\xa2 3022 U5516 B30 S10 XJ13560 N939 {mute} {dumb}", true, 0x5516, 0,
         0},
        {"fields after the meanings are not read", "\xb0\xa2 3022 U5516 S10 {mute} G2 F10", true, 0x5516, 0,
         0},
        {"a grade out of range counts as none", "\xb0\xa1 3021 U4e9c G11 F70000", true, 0x4E9C, 0, 0},
        {"code point beyond Unicode", "\xb0\xa1 3021 U110000 G1", false, 0, 0, 0},
        {"no code point", "\xb0\xa1 3021 G1 F2", false, 0, 0, 0},
        {"malformed fields", "\xb0\xa1 3021 Ux4e9c G1x F", false, 0, 0, 0},
        {"comment", "# KANJIDIC JIS X 0208 Kanji Information File U4e9c", false, 0, 0, 0},
        {"empty", "", false, 0, 0, 0},
    };
    for (const auto& row : rows) {
        const auto entry = parseKanjidicLine(row.line);
        ASSERT_EQ(entry.has_value(), row.parsed) << row.name;
        if (!entry) continue;
        EXPECT_EQ(entry->first, row.code) << row.name;
        EXPECT_EQ(entry->second.grade, row.grade) << row.name;
        EXPECT_EQ(entry->second.frequencyRank, row.rank) << row.name;
    }
}

TEST(Kanjidic, ReadFile) {
    const auto folder = std::filesystem::temp_directory_path() / "templategen_kanjidic_test";
    std::filesystem::create_directories(folder);
    const auto file = (folder / "kanjidic").string();
    std::ofstream(file) << "# header\n\xb0\xa1 3021 U4e9c G8 F1509\r\n\xb0\xa2 3022 U5516 S10\n";
    std::string error;
    const auto all = readKanjidic(file, &error);
    ASSERT_TRUE(all.has_value()) << error;
    EXPECT_EQ(all->size(), 2u);
    EXPECT_EQ(all->at(0x4E9C).frequencyRank, 1509);
    std::ofstream(file) << "# header only\n";
    EXPECT_FALSE(readKanjidic(file, &error).has_value());
    EXPECT_NE(error.find("no kanji"), std::string::npos);
    EXPECT_FALSE(readKanjidic((folder / "missing").string(), &error).has_value());
    std::filesystem::remove_all(folder);

    // The installed KANJIDIC: 一 is taught first and among the most frequent, 鬱 is no school kanji.
    if (!std::filesystem::exists(TEMPLATEGEN_KANJIDIC)) GTEST_SKIP() << TEMPLATEGEN_KANJIDIC << " is absent";
    const auto installed = readKanjidic(TEMPLATEGEN_KANJIDIC, &error);
    ASSERT_TRUE(installed.has_value()) << error;
    EXPECT_GT(installed->size(), 6000u);
    EXPECT_EQ(installed->at(U'一').grade, 1);
    EXPECT_LE(installed->at(U'一').frequencyRank, 5);
    EXPECT_EQ(installed->at(U'鬱').grade, 8);
}

}  // namespace
