// Absurd criteria and frantic use: no message, no crash, no hang, and the
// count always equal to the rows listed.

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "frm_main.h"
#include "gui_helpers.h"
#include "temp_dir.h"
#include "window_geometry.h"

namespace korvallestin {
namespace {

using testing::MessageBoxAnswerer;
using testing::TempDir;

class HostileUse : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string bytes = "Pcode,Locality,State,Comments,DO,PI,PZ,BSPn,BSPname\r\n";
        for (int i = 0; i < 60; ++i) {
            bytes += std::to_string(3000 + i) + ",TOWN " + std::to_string(i) + ",VIC,,,,V1,,\r\n";
        }
        dir.Write("postcodes.csv", bytes);
        window = std::make_unique<frmMain>(QString::fromStdString(dir.Path()));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QPushButton* Button(const char* name) { return window->findChild<QPushButton*>(name); }
    QString Status() { return window->findChild<QLabel*>("sbBarText")->text(); }
    bool Idle() { return Button("cmdFind")->isEnabled() && !Button("cmdStop")->isEnabled(); }
    void ExpectCountMatchesRows() {
        if (window->Geometry().StatusBarVisible()) {
            EXPECT_EQ(Status(), "Number found: " + QString::number(window->Results().rowCount()));
        } else {
            EXPECT_EQ(window->Results().rowCount(), 0);
        }
    }

    TempDir dir;
    MessageBoxAnswerer answerer;
    std::unique_ptr<frmMain> window;
};

TEST_F(HostileUse, AMegabytePastedIntoEveryBoxMatchesNothingQuietly) {
    const QString huge(1 << 20, QLatin1Char('7'));
    QApplication::clipboard()->setText(huge);
    // Pasted with Ctrl+V where the box takes it; the postcode box discards
    // that key, so its text is set as its own menu would paste it.
    for (const char* name : {"txtLocality"}) {
        auto* box = window->findChild<QLineEdit*>(name);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text().size(), huge.size());
    }
    window->findChild<QComboBox*>("cboState")->setEditText(huge);
    window->findChild<QLineEdit*>("txtPostCode")->setText(huge);
    Button("cmdFind")->click();
    EXPECT_EQ(Status(), "Number found: 0");
    EXPECT_TRUE(answerer.Seen().isEmpty());
    EXPECT_TRUE(Idle());
}

TEST_F(HostileUse, FindStopAndNewSearchInQuickAlternation) {
    std::mt19937 random(7);
    for (int round = 0; round < 1000; ++round) {
        int yields = 0;
        const int at = static_cast<int>(random() % 70);  // sometimes after the end
        const unsigned action = random() % 4;
        window->SetYieldObserver([&] {
            if (++yields != at) {
                return;
            }
            switch (action) {
                case 0:
                    QTest::mouseClick(Button("cmdStop"), Qt::LeftButton);
                    break;
                case 1:
                    QTest::mouseClick(Button("cmdNew"), Qt::LeftButton);
                    break;
                case 2:
                    QTest::mouseClick(Button("cmdFind"), Qt::LeftButton);
                    break;  // disabled
                default:
                    QTest::mouseClick(Button("cmdStop"), Qt::LeftButton);
                    QTest::mouseClick(Button("cmdNew"), Qt::LeftButton);
                    break;
            }
        });
        QTest::mouseClick(Button("cmdFind"), Qt::LeftButton);
        ASSERT_TRUE(Idle()) << round;
        ExpectCountMatchesRows();
        if (HasFailure()) {
            FAIL() << "round " << round;
        }
    }
    EXPECT_TRUE(answerer.Seen().isEmpty());
}

TEST_F(HostileUse, TheAboutWindowHoldsARunUntilItCloses) {
    QString count_while_open;
    QString count_at_close;
    int yields = 0;
    window->SetYieldObserver([&] {
        if (++yields != 10) {
            return;
        }
        testing::Soon(
            [&] {
                auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(about, nullptr);
                count_while_open = Status();
                QTest::qWait(30);  // the run does not move while the window is open
                count_at_close = Status();
                about->accept();
            },
            20);
        window->imgHelp_Click();
    });
    Button("cmdFind")->click();
    EXPECT_FALSE(count_while_open.isEmpty());
    EXPECT_EQ(count_while_open, count_at_close);
    EXPECT_EQ(window->Results().rowCount(), 60);
    EXPECT_EQ(Status(), "Number found: 60");
}

}  // namespace
}  // namespace korvallestin
