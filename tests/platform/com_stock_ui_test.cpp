#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include "platform/com/stock_ui.h"

using namespace sw::com;

namespace {

class StockUi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "stock-ui-test";
        static char* argv[] = {name, nullptr};
        if (!qApp) new QApplication(argc, argv);
    }
    void TearDown() override { setDialogHook(nullptr); }
};

TEST_F(StockUi, AboutBoxShowsIconNameAndVersion) {
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::red);
    int shown = 0;
    setDialogHook([&](QDialog& dialog) {
        ++shown;
        EXPECT_EQ(dialog.findChild<QLabel*>("name")->text(), QStringLiteral("Penmate Control"));
        EXPECT_EQ(dialog.findChild<QLabel*>("version")->text(), QStringLiteral("Version 2.0"));
        const QImage seen = dialog.findChild<QLabel*>("icon")->pixmap().toImage();
        EXPECT_EQ(seen.size(), QSize(32, 32));
        EXPECT_EQ(seen.pixelColor(16, 16), QColor(Qt::red));
        QPushButton* ok = dialog.findChild<QPushButton*>("ok");
        ASSERT_TRUE(ok);
        ok->click();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    });
    showAboutBox(nullptr, &icon, "Penmate Control", "2.0");

    setDialogHook([&](QDialog& dialog) {
        ++shown;
        EXPECT_FALSE(dialog.findChild<QLabel*>("icon")->pixmap().isNull()) << "a stock icon stands in";
    });
    showAboutBox(nullptr, nullptr, "Quillbox Control", "1.0");
    EXPECT_EQ(shown, 2);
}

TEST_F(StockUi, GeneralPageIsAnEmptyCaptionedPage) {
    QWidget parent;
    QWidget* page = createGeneralPropertyPage(&parent);
    EXPECT_EQ(page->windowTitle(), QStringLiteral("General"));
    EXPECT_EQ(page->parentWidget(), &parent);
    EXPECT_TRUE(page->children().isEmpty());
}

TEST_F(StockUi, InvisibleControlsAcceptOnly32By32) {
    EXPECT_TRUE(acceptInvisibleExtent(32, 32));
    for (auto [w, h] : {std::pair{31, 32}, {32, 33}, {0, 0}, {-32, -32}, {64, 64}})
        EXPECT_FALSE(acceptInvisibleExtent(w, h)) << w << "x" << h;
}

TEST_F(StockUi, DesignTimeBoxHasBumpEdgeAndCentredBitmap) {
    QImage bitmap(16, 16, QImage::Format_RGB32);
    bitmap.fill(Qt::blue);
    bitmap.setPixelColor(0, 0, Qt::yellow);
    QImage canvas(32, 32, QImage::Format_RGB32);
    canvas.fill(Qt::magenta);
    {
        QPainter painter(&canvas);
        paintDesignTimeBox(painter, QRect(0, 0, 32, 32), bitmap);
    }
    const QPalette palette = QApplication::palette();
    const QRgb light = palette.color(QPalette::Light).rgb(), dark = palette.color(QPalette::Dark).rgb();
    ASSERT_NE(light, dark);
    // Outer ring raised, inner ring sunken.
    EXPECT_EQ(canvas.pixel(5, 0), light);
    EXPECT_EQ(canvas.pixel(0, 5), light);
    EXPECT_EQ(canvas.pixel(5, 31), dark);
    EXPECT_EQ(canvas.pixel(31, 5), dark);
    EXPECT_EQ(canvas.pixel(5, 1), dark);
    EXPECT_EQ(canvas.pixel(1, 5), dark);
    EXPECT_EQ(canvas.pixel(5, 30), light);
    EXPECT_EQ(canvas.pixel(30, 5), light);
    EXPECT_EQ(canvas.pixel(3, 3), palette.color(QPalette::Button).rgb());
    // The bitmap sits at (8, 8), unscaled.
    EXPECT_EQ(canvas.pixel(8, 8), QColor(Qt::yellow).rgb());
    EXPECT_EQ(canvas.pixel(9, 9), QColor(Qt::blue).rgb());
    EXPECT_EQ(canvas.pixel(23, 23), QColor(Qt::blue).rgb());
    EXPECT_EQ(canvas.pixel(24, 24), palette.color(QPalette::Button).rgb());
}

}  // namespace
