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

#include "csv_data.h"
#include "frm_main.h"
#include "gui_helpers.h"
#include "window_fixture.h"
#include "window_geometry.h"

namespace korvallestin {
namespace {

using testing::MessageBoxAnswerer;

class HostileUse : public testing::WindowTest {
  protected:
    void SetUp() override { OpenWindow(testing::kCsvHeader + testing::CsvTowns(60)); }
    void ExpectCountMatchesRows() {
        if (window->Geometry().StatusBarVisible()) {
            EXPECT_EQ(Status(), "Number found: " + QString::number(window->Results().rowCount()));
        } else {
            EXPECT_EQ(window->Results().rowCount(), 0);
        }
    }

    MessageBoxAnswerer answerer;
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
    int yields = 0;
    int yields_while_open = -1;
    const testing::OnModal close([&](QWidget& about) {
        // The About window's own loop turns many times; the run beneath it
        // takes no turn of its own until the window closes.
        const int at_open = yields;
        for (int i = 0; i < 100; ++i) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
        yields_while_open = yields - at_open;
        about.close();
    });
    window->SetYieldObserver([&] {
        if (++yields == 10) {
            window->imgHelp_Click();
        }
    });
    Button("cmdFind")->click();
    EXPECT_TRUE(close.Ran());
    EXPECT_EQ(yields_while_open, 0);
    EXPECT_GT(yields, 10);
    EXPECT_EQ(window->Results().rowCount(), 60);
    EXPECT_EQ(Status(), "Number found: 60");
}

}  // namespace
}  // namespace korvallestin
