#include <QApplication>
#include <QGuiApplication>
#include <QPushButton>
#include <QRect>
#include <QScreen>
#include <QTableView>
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
    static bool OnWayland() {
        return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    }
    // The compact height is the window's maximum, except on Wayland, where
    // the compositor sizes a maximised window and the window must take that
    // size before it learns of its state: there the rules alone hold it.
    int CompactMaximum() const { return OnWayland() ? QWIDGETSIZE_MAX : Px(2730); }
    QWidget* W(const char* name) { return window->findChild<QWidget*>(name); }
    // Sets the outer size, frame included, as a user dragging a border does.
    // Whatever frame the window system draws, the outer size is the client
    // area plus the frame the layout was drawn for.
    void Resize(double width_twips, double height_twips) {
        window->resize(Px(width_twips - 90), Px(height_twips - 405));
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
    EXPECT_EQ(window->height(), Px(8000 - 405));
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
    EXPECT_EQ(window->width(), Px(9500 - 90));
}

// The client area is the layout's own: 2730 twips high when compact, so the
// list, whose top is at 2760, lies wholly below it; after a search the list's
// bottom meets the status bar.
TEST_F(WindowGeometry, ClientAreaIsTheLayoutsOwnInBothShapes) {
    QWidget* list = W("lvwResults");
    QWidget* status = W("sbBar");
    EXPECT_EQ(window->height(), Px(2730));
    EXPECT_GE(list->mapTo(window.get(), QPoint(0, 0)).y(), window->height());
    EXPECT_EQ(window->minimumHeight(), Px(2730));
    EXPECT_EQ(window->maximumHeight(), CompactMaximum());
    EXPECT_EQ(window->minimumWidth(), TwipsToPixelsAtLeast(5410, dpi));

    window->findChild<QPushButton*>("cmdFind")->click();
    QTest::qWait(1);
    EXPECT_EQ(window->height(), Px(5175));
    EXPECT_EQ(window->minimumHeight(), Px(5175));
    EXPECT_EQ(window->maximumHeight(), QWIDGETSIZE_MAX);
    for (const double height : {5580.0, 7000.0, 9001.0}) {
        Resize(9000, height);
        const int list_bottom = list->mapTo(window.get(), QPoint(0, list->height())).y();
        EXPECT_NEAR(list_bottom, status->y(), 1) << height;
        EXPECT_EQ(status->height(), Px(375));
        EXPECT_EQ(status->y() + status->height(), window->height());
    }
    // The width as laid out gives the client area as laid out.
    Resize(8760, 5580);
    EXPECT_EQ(window->width(), Px(8670));
    EXPECT_EQ(list->width(), Px(8655));

    window->findChild<QPushButton*>("cmdNew")->click();
    EXPECT_EQ(window->height(), Px(2730));
}

// Tab never leads into the list while it lies below the compact window.
TEST_F(WindowGeometry, TheHiddenListIsOutOfTheTabOrderUntilTheWindowExpands) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    auto tab_from = [](QWidget* from) {
        from->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget();
    };
    EXPECT_EQ(tab_from(W("cmdNew")), W("txtLocality"));
    window->findChild<QPushButton*>("cmdFind")->click();
    EXPECT_EQ(tab_from(W("cmdNew")), W("lvwResults"));
    // Back to compact with the focus in the list: it leaves the list.
    W("lvwResults")->setFocus();
    window->cmdNew_Click();
    EXPECT_NE(QApplication::focusWidget(), W("lvwResults"));
    EXPECT_EQ(tab_from(W("cmdNew")), W("txtLocality"));
}

// Whether `widget` lies wholly inside its window and on the window's screen.
bool OnScreen(const QWidget& widget) {
    const QRect rect(widget.mapToGlobal(QPoint(0, 0)), widget.size());
    const QWidget& window = *widget.window();
    const QRect client(window.mapToGlobal(QPoint(0, 0)), window.size());
    return widget.isVisible() && client.contains(rect) &&
           window.screen()->geometry().contains(rect);
}

// A window the window system has maximised, minimised or made full screen
// keeps that state through searches and New Search. Maximised or full
// screen, the list's rows and the status bar are on the screen after every
// search, even where the compact window was held to its own height when it
// was maximised (seen under Wine: a strip as wide as the screen); otherwise
// the size the window system gave is kept. Back in its normal state the
// window takes the shape of the moment. The window is compact when it is
// first maximised, expanded from then on (some window managers, metacity
// among them, refuse full screen to a window of fixed height).
TEST_F(WindowGeometry, MaximisedOrMinimisedWindowsSurviveEveryHeightChange) {
    auto* find = window->findChild<QPushButton*>("cmdFind");
    auto* fresh = window->findChild<QPushButton*>("cmdNew");
    auto* list = window->findChild<QTableView*>("lvwResults");
    QWidget* status = W("sbBar");
    for (const auto state : {Qt::WindowMaximized, Qt::WindowMinimized, Qt::WindowFullScreen}) {
        SCOPED_TRACE(state);
        // A Wayland compositor never tells a window that it is minimised:
        // the state does not last there.
        if (state == Qt::WindowMinimized && OnWayland()) {
            continue;
        }
        const bool shown = state != Qt::WindowMinimized;
        const QSize normal = window->size();
        window->setWindowState(state);
        // Maximised and full screen, the window system gives the window the
        // screen, or a strip of it; minimised, the size stays.
        if (shown) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return window->width() > normal.width(); }));
        }
        const QSize given = window->size();
        const bool strip = shown && given.height() < Px(5175);
        for (QPushButton* button : {find, fresh, find}) {
            button->click();
            const bool found = button == find;
            EXPECT_EQ(window->Results().rowCount(), found ? 20 : 0);
            if (shown && found) {
                // A strip is given the screen again, which the window system
                // may do a moment later.
                EXPECT_TRUE(QTest::qWaitFor([&] {
                    return window->windowState() == state && window->width() == given.width() &&
                           window->height() >= Px(5175) && OnScreen(*status);
                })) << window->width()
                    << "x" << window->height();
                EXPECT_TRUE(OnScreen(*list->viewport()));
                EXPECT_EQ(list->rowAt(0), 0);
                EXPECT_GT(list->viewport()->height(), list->rowHeight(0));
                EXPECT_LE(list->mapTo(window.get(), QPoint(0, list->height())).y(),
                          status->y() + 1);
            } else if (shown) {
                EXPECT_TRUE(status->isHidden());
            }
            EXPECT_EQ(window->windowState(), state);
            if (!strip) {
                EXPECT_EQ(window->size(), given)
                    << window->width() << "x" << window->height() << " for " << given.width() << "x"
                    << given.height();
            }
            // The controls still follow the width the window has.
            ExpectPlacedFor(window->Geometry().OuterWidth());
        }
        // Restored after a search: the expanded height, and the normal width
        // unless the window was a strip (some window systems then keep the
        // strip's width as the normal one).
        window->setWindowState(Qt::WindowNoState);
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return window->height() == Px(5175) && (strip || window->width() == normal.width());
        })) << window->width()
            << "x" << window->height();
        EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 5580);
    }
    // Restored after New Search: the compact height, held there.
    find->click();
    window->setWindowState(Qt::WindowMaximized);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() > Px(5175); }));
    fresh->click();
    EXPECT_EQ(window->windowState(), Qt::WindowMaximized);
    window->setWindowState(Qt::WindowNoState);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->height() == Px(2730); }));
    EXPECT_EQ(window->maximumHeight(), CompactMaximum());
}

}  // namespace
}  // namespace korvallestin
