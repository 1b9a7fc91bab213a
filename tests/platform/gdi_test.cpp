#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QPalette>
#include <cmath>
#include <limits>

#include "platform/gdi/color.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/units.h"
#include "qt_application.h"

namespace sw::gdi {
namespace {

TEST(OleColor, SystemIndexesTranslateThroughTheApplicationPalette) {
    test::ensureApplication();
    QPalette palette;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(0x11, 0x22, 0x33));
    palette.setColor(QPalette::Active, QPalette::Text, QColor(0x44, 0x55, 0x66));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(0x77, 0x88, 0x99));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(0xAA, 0xBB, 0xCC));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x01, 0x02, 0x03));
    palette.setColor(QPalette::Active, QPalette::ToolTipBase, QColor(0xFE, 0xFD, 0xFC));
    QApplication::setPalette(palette);

    const std::pair<uint32_t, uint32_t> rows[] = {
        {kSystemColorFlag | kColorWindow, 0x332211},
        {kSystemColorFlag | kColorWindowText, 0x665544},
        {kSystemColorFlag | kColorHighlight, 0x998877},
        {kSystemColorFlag | kColorButtonFace, 0xCCBBAA},
        {kSystemColorFlag | kColorGrayText, 0x030201},
        {kSystemColorFlag | kColorMax, 0xFCFDFE},  // the last index, info background
        {kSystemColorFlag | (kColorMax + 1), 0},   // unknown index
        {kSystemColorFlag | 0xFF, 0},
        {kSystemColorFlag | 0x10005, 0},  // index bits beyond the low byte
        {0x01000005, 0},                  // palette index form: no palettes here
        {0xFF123456, 0},
        {0x00123456, 0x123456},  // plain colours pass unchanged
        {0x00FFFFFF, 0xFFFFFF},
    };
    for (const auto& [ole, rgb] : rows) EXPECT_EQ(translateOleColor(ole), rgb) << std::hex << ole;

    EXPECT_EQ(toQColor(0x0000FF), QColor(Qt::red)) << "0x00BBGGRR: red is the low byte";
    EXPECT_EQ(toQColor(kSystemColorFlag | kColorWindow), QColor(0x11, 0x22, 0x33));
    EXPECT_EQ(fromQColor(QColor(0x01, 0x02, 0x03)), 0x030201u);
    EXPECT_EQ(fromQColor(QColor()), 0u);
    EXPECT_EQ(fromQColor(QColor::fromHsv(120, 255, 255)), 0x00FF00u) << "non-RGB specs are converted";
}

TEST(Units, RoundHalfToEvenAndSaturate) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int16_t expected16;
        int32_t expected32;
    } rows[] = {
        {0.5, 0, 0},
        {1.5, 2, 2},
        {2.5, 2, 2},
        {-0.5, 0, 0},
        {-1.5, -2, -2},
        {-2.5, -2, -2},
        {0.4999, 0, 0},
        {-3.5001, -4, -4},
        {32766.5, 32766, 32766},
        {32767.49, 32767, 32767},
        {32767.5, 32767, 32768},
        {-32768.5, -32768, -32768},
        {-32769.0, -32768, -32769},
        {1e12, 32767, INT32_MAX},
        {-1e12, -32768, INT32_MIN},
        {inf, 32767, INT32_MAX},
        {-inf, -32768, INT32_MIN},
        {std::nan(""), 0, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(roundHalfEven16(row.value), row.expected16) << row.value;
        EXPECT_EQ(roundHalfEven(row.value), row.expected32) << row.value;
    }
    EXPECT_EQ(roundHalfEven(twipsToPixels(pixelsToTwips(37))), 37);
    EXPECT_EQ(roundHalfEven(himetricToPixels(2540)), 96);
    EXPECT_EQ(roundHalfEven(pointsToPixels(9)), 12);
}

TEST(Fonts, WindowsFaceNamesResolveToTheInstalledIpaFaces) {
    test::ensureApplication();
    const std::pair<const char16_t*, const char*> rows[] = {
        {u"ＭＳ 明朝", "IPAMincho"},     {u"MS Mincho", "IPAMincho"},   {u"ＭＳ Ｐ明朝", "IPAPMincho"},
        {u"ＭＳ ゴシック", "IPAGothic"}, {u"MS Gothic", "IPAGothic"},   {u"ＭＳ Ｐゴシック", "IPAPGothic"},
        {u"MS PMincho", "IPAPMincho"},   {u"MS PGothic", "IPAPGothic"},
    };
    for (const auto& [face, installed] : rows) {
        const QFont font = makeFont(QString::fromUtf16(face), 24, true);
        const QFontInfo info(font);
        EXPECT_EQ(info.family(), QString::fromLatin1(installed)) << QString::fromUtf16(face).toStdString();
        EXPECT_EQ(info.pixelSize(), 24);
        EXPECT_TRUE(font.bold());
    }
    EXPECT_EQ(makeFont(QStringLiteral("IPAGothic"), 0).pixelSize(), 1)
        << "a pixel size below 1 is raised to 1";
}

}  // namespace
}  // namespace sw::gdi
