#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "frm_main.h"
#include "temp_dir.h"
#include "twips.h"
#include "window_geometry.h"

namespace korvallestin {
namespace {

using testing::TempDir;

class WindowGeometry : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string bytes = "h,h,h,h,h,h,h,h,h\r\n";
        for (int i = 0; i < 20; ++i) {
            bytes += "3000,MELBOURNE,VIC,,,,,,\r\n";
        }
        dir.Write("postcodes.csv", bytes);
        window = std::make_unique<frmMain>(QString::fromStdString(dir.Path()));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        dpi = window->logicalDpiY();
    }
    int Px(double twips) const { return TwipsToPixels(twips, dpi); }
    QWidget* W(const char* name) { return window->findChild<QWidget*>(name); }
    // Sets the outer size, frame included, as a user dragging a border does.
    void Resize(double width_twips, double height_twips) {
        const int frame_w = window->frameGeometry().width() - window->width();
        const int frame_h = window->frameGeometry().height() - window->height();
        window->resize(Px(width_twips) - frame_w, Px(height_twips) - frame_h);
        QTest::qWait(1);
    }
    // The controls that follow the right edge and the width, for width W.
    void ExpectPlacedFor(float width) {
        for (const char* name : {"cmdFind", "cmdStop", "cmdNew", "aniSearch"}) {
            EXPECT_EQ(W(name)->x(), Px(width - 1440)) << name;
        }
        EXPECT_EQ(W("imgHelp")->x(), Px(width - 500));
        EXPECT_EQ(W("tbsTabStrip")->width(), Px(width - 1665));
        EXPECT_EQ(W("pcbTab1")->width(), Px(width - 1905));
        EXPECT_EQ(W("txtLocality")->width(), Px(width - 4335));
    }

    TempDir dir;
    std::unique_ptr<frmMain> window;
    double dpi = 96;
};

TEST_F(WindowGeometry, CompactShapeKeepsItsHeightAndMinimumWidth) {
    Resize(9000, 6000);
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 3135);
    ExpectPlacedFor(window->Geometry().OuterWidth());
    Resize(3000, 3135);
    EXPECT_GE(window->Geometry().OuterWidth(), 5500);
    EXPECT_LT(window->Geometry().OuterWidth(), 5500 + 1440.0F / dpi);
    ExpectPlacedFor(window->Geometry().OuterWidth());
}

TEST_F(WindowGeometry, ExpandedShapeLetsTheListFillTheWindow) {
    window->findChild<QPushButton*>("cmdFind")->click();
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 5580);
    Resize(10000, 8000);
    EXPECT_EQ(window->frameGeometry().height(), Px(8000));
    // Read back through whole pixels, 10000 twips is a little more.
    EXPECT_NEAR(window->Geometry().OuterWidth(), 10000, 1440.0 / dpi);
    EXPECT_EQ(W("lvwResults")->width(), Px(window->Geometry().OuterWidth() - 105));
    EXPECT_EQ(W("lvwResults")->height(), Px(window->Geometry().OuterHeight() - 3525));
    ExpectPlacedFor(window->Geometry().OuterWidth());
    // Not smaller than 5500 × 5580.
    Resize(2000, 2000);
    EXPECT_GE(window->Geometry().OuterWidth(), 5500);
    EXPECT_GE(window->Geometry().OuterHeight(), 5580);
    // A search sets the height back to 5580 even in a taller window.
    Resize(10000, 8000);
    window->findChild<QPushButton*>("cmdFind")->click();
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 5580);
}

TEST_F(WindowGeometry, NewSearchReturnsToTheCompactHeightKeepingTheWidth) {
    window->findChild<QPushButton*>("cmdFind")->click();
    Resize(9500, 7000);
    window->findChild<QPushButton*>("cmdNew")->click();
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 3135);
    EXPECT_EQ(window->frameGeometry().width(), Px(9500));
}

TEST_F(WindowGeometry, MaximisedOrMinimisedWindowsSurviveEveryHeightChange) {
    for (const auto state : {Qt::WindowMaximized, Qt::WindowMinimized, Qt::WindowFullScreen}) {
        window->setWindowState(state);
        QTest::qWait(5);
        window->findChild<QPushButton*>("cmdFind")->click();
        window->findChild<QPushButton*>("cmdNew")->click();
        window->findChild<QPushButton*>("cmdFind")->click();
        EXPECT_TRUE(window->findChild<QPushButton*>("cmdFind")->isEnabled());
        // The controls still follow the width the window has.
        ExpectPlacedFor(window->Geometry().OuterWidth());
        window->setWindowState(Qt::WindowNoState);
        QTest::qWait(5);
    }
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 5580);
}

}  // namespace
}  // namespace korvallestin
