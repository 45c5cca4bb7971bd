// What a screen reader is told: the announcements of the window's notice, and
// the names, descriptions, states and places the window exposes. (Headless,
// no screen reader listens, so the events themselves are not sent; the Orca
// test in scripts/orca-test hears them.)
#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <cstdint>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "accessible_notice.h"
#include "frm_about.h"
#include "frm_main.h"
#include "gui_helpers.h"
#include "results_table_view.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

using testing::TempDir;

// Ten localities; the file lists them by postcode.
constexpr char kTenRecords[] =
    "Pcode,Locality,State,Comments,DO,PI,PZ,BSPn,BSPname\r\n"
    "2000,SYDNEY,NSW,,SYDNEY DEL,,N1,1,HUB A\r\n"
    "2001,BONDI,NSW,,,,N1,,\r\n"
    "2002,MANLY,NSW,,,,N1,,\r\n"
    "2003,RYDE,NSW,,,,N1,,\r\n"
    "2004,AVALON,NSW,,,,N1,,\r\n"
    "2005,KURNELL,NSW,,,,N1,,\r\n"
    "2006,NEWPORT,NSW,,,,N1,,\r\n"
    "2007,TOONGABBIE,NSW,,,,N1,,\r\n"
    "2008,CRONULLA,NSW,,,,N1,,\r\n"
    "2009,ZETLAND,NSW,,,,N1,,\r\n";

class ScreenReader : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("postcodes.csv", kTenRecords);
        window = std::make_unique<frmMain>(QString::fromStdString(dir.Path()));
        window->SetAnnouncementClock([this] { return now_ms; });
        QObject::connect(&window->Notice(), &AccessibleNotice::Announced,
                         [this](const QString& text) { announcements << text; });
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T = QWidget>
    T* W(const char* name) {
        return window->findChild<T*>(name);
    }
    ResultsTableView* List() { return W<ResultsTableView>("lvwResults"); }
    void Find() { W<QPushButton>("cmdFind")->click(); }
    // The accessible cell the list would report focused.
    QString CurrentCellName() {
        const int child = List()->CurrentCellChild();
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
        return child >= 0 ? list->child(child)->text(QAccessible::Name) : QString();
    }

    TempDir dir;
    std::int64_t now_ms = 0;
    QStringList announcements;
    std::unique_ptr<frmMain> window;
};

TEST_F(ScreenReader, AShortRunIsHeardOnlyByItsCount) {
    Find();
    EXPECT_EQ(announcements, QStringList({"Number found: 10"}));
    QAccessibleInterface* notice =
        QAccessible::queryAccessibleInterface(const_cast<AccessibleNotice*>(&window->Notice()));
    ASSERT_NE(notice, nullptr);
    EXPECT_EQ(notice->role(), QAccessible::Notification);
    EXPECT_EQ(notice->text(QAccessible::Name), "Number found: 10");
    EXPECT_FALSE(notice->state().focusable);
}

TEST_F(ScreenReader, ALongRunIsAnnouncedAfterASecondThenItsCountAtMostOnceASecond) {
    // Every record read takes a quarter of a second on the window's clock.
    window->SetYieldObserver([this] { now_ms += 250; });
    Find();
    EXPECT_EQ(announcements, QStringList({"Searching", "Number found: 8", "Number found: 10"}));
}

// A run that finds nothing for a second is announced all the same: the
// window's timer wakes the announcements (a second of real time, which the
// window's clock is made to agree with).
TEST_F(ScreenReader, ALongRunThatFindsNothingYetIsAnnouncedByTheTimer) {
    W<QLineEdit>("txtLocality")->setText("ZETLAND");
    bool first = true;
    bool heard = false;
    window->SetYieldObserver([&] {
        if (first) {
            first = false;
            now_ms += 1000;
            heard = QTest::qWaitFor([&] { return announcements.contains("Searching"); }, 5000);
        }
    });
    Find();
    EXPECT_TRUE(heard);
    EXPECT_EQ(announcements, QStringList({"Searching", "Number found: 1"}));
}

TEST_F(ScreenReader, NewSearchDuringARunIsNotFollowedByTheAbandonedCount) {
    bool clicked = false;
    window->SetYieldObserver([&] {
        now_ms += 600;
        if (!clicked && now_ms >= 1800) {
            clicked = true;
            window->cmdNew_Click();
        }
    });
    Find();
    // The run had lasted long enough to be announced; its count is not.
    EXPECT_EQ(announcements, QStringList({"Searching"}));
    EXPECT_EQ(testing::FocusName(), "txtLocality");
}

TEST_F(ScreenReader, NewSearchMovesTheFocusFromTheListToLocalityBeforeEmptyingIt) {
    W<QLineEdit>("txtLocality")->setText("S");
    Find();
    List()->setFocus();
    ASSERT_EQ(testing::FocusName(), "lvwResults");
    // A screen reader that hears of the emptied box before the focus moves
    // takes the move for no move at all.
    bool focused_when_emptied = false;
    QObject::connect(W<QLineEdit>("txtLocality"), &QLineEdit::textChanged,
                     [&] { focused_when_emptied = W("txtLocality")->hasFocus(); });
    QTest::keyClick(window.get(), Qt::Key_W, Qt::AltModifier);
    QTRY_COMPARE_WITH_TIMEOUT(window->Results().rowCount(), 0, 2000);
    EXPECT_EQ(testing::FocusName(), "txtLocality");
    EXPECT_TRUE(focused_when_emptied);
}

TEST_F(ScreenReader, OnlyFindNowIsTheDefaultButtonAndEnterClicksTheFocusedOne) {
    for (const char* name : {"cmdFind", "cmdStop", "cmdNew"}) {
        W(name)->setEnabled(true);
        W(name)->setFocus();
        for (const char* other : {"cmdFind", "cmdStop", "cmdNew"}) {
            QAccessibleInterface* button = QAccessible::queryAccessibleInterface(W(other));
            EXPECT_EQ(button->state().defaultButton, std::string(other) == "cmdFind")
                << other << " with the focus on " << name;
            EXPECT_FALSE(W<QPushButton>(other)->autoDefault()) << other;
        }
    }
    W("cmdStop")->setEnabled(false);

    // Enter on a focused New Search resets the window instead of searching.
    W<QLineEdit>("txtLocality")->setText("SYD");
    W("cmdNew")->setFocus();
    QTest::keyClick(W("cmdNew"), Qt::Key_Return);
    EXPECT_EQ(W<QLineEdit>("txtLocality")->text(), "");
    EXPECT_EQ(window->Results().rowCount(), 0);
    // On the keypad as well, and on Find Now it searches.
    W("cmdFind")->setFocus();
    QTest::keyClick(W("cmdFind"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(window->Results().rowCount(), 10);
    // A disabled button takes no click from Enter.
    auto* stop = W<QPushButton>("cmdStop");
    int stops = 0;
    QObject::connect(stop, &QPushButton::clicked, [&] { ++stops; });
    QTest::keyClick(stop, Qt::Key_Return);
    EXPECT_EQ(stops, 0);
}

TEST_F(ScreenReader, CellsCarryTheirHeadersAndRightReachesEveryColumn) {
    Find();
    List()->setFocus(Qt::TabFocusReason);
    // Taking the focus makes the first cell current.
    EXPECT_EQ(CurrentCellName(), "Postcode: 2000");
    QStringList cells;
    for (int i = 0; i < 8; ++i) {
        QTest::keyClick(List(), Qt::Key_Right);
        cells << CurrentCellName();
    }
    EXPECT_EQ(cells.front(), "Locality: SYDNEY");
    EXPECT_EQ(cells[3], "Delivery Office: SYDNEY DEL");
    EXPECT_EQ(cells.back(), "BSP Name: HUB A");
    EXPECT_EQ(List()->currentIndex().column(), 8);
    // The last column was scrolled into sight.
    EXPECT_TRUE(List()->viewport()->rect().intersects(List()->visualRect(List()->currentIndex())));
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(List());
    EXPECT_EQ(table->tableInterface()->rowCount(), 10);
}

TEST_F(ScreenReader, ANewOrderIsAnnouncedAndTheHeaderTellsItsSortState) {
    Find();
    List()->setFocus();
    announcements.clear();
    QTest::keyClick(List(), Qt::Key_2, Qt::ControlModifier);
    QTest::keyClick(List(), Qt::Key_2, Qt::ControlModifier);
    EXPECT_EQ(announcements,
              QStringList({"Sorted by Locality, ascending", "Sorted by Locality, descending"}));

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    QAccessibleTableInterface* table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    // The header cells lead the table's children, in column order.
    QStringList descriptions;
    for (int i = 0; i < list->childCount() && descriptions.size() < table->columnCount(); ++i) {
        QAccessibleInterface* child = list->child(i);
        if (child->role() == QAccessible::ColumnHeader) {
            descriptions << child->text(QAccessible::Description);
        }
    }
    ASSERT_EQ(descriptions.size(), 9);
    EXPECT_EQ(descriptions[1], "sorted descending");
    descriptions.removeAt(1);
    EXPECT_EQ(descriptions, QStringList(8, QString()));

    // The cells tell the rows in their new places.
    QTest::keyClick(List(), Qt::Key_Home);
    EXPECT_EQ(CurrentCellName(), "Postcode: 2009");  // ZETLAND
    QTest::keyClick(List(), Qt::Key_Down);
    EXPECT_EQ(CurrentCellName(), "Postcode: 2007");  // TOONGABBIE
}

TEST_F(ScreenReader, TheHelpIconMentionsF1AndTheInstructionsHaveAName) {
    QAccessibleInterface* help = QAccessible::queryAccessibleInterface(W("imgHelp"));
    EXPECT_EQ(help->text(QAccessible::Name), "About/Help");
    EXPECT_TRUE(help->text(QAccessible::Description).contains("F1"));

    frmAbout about(window.get());
    auto* instructions = about.findChild<QPlainTextEdit*>("txtInstructions");
    ASSERT_NE(instructions, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(instructions)->text(QAccessible::Name),
              "Instructions");
}

// Screen readers ask every object they hear of for its place in its parent.
TEST_F(ScreenReader, EveryPartOfTheListKnowsItsPlaceWithoutWarnings) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (text.contains("QAccessible")) {
                warnings << text;
            }
        });
    Find();
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_Down);
    ASSERT_FALSE(List()->findChildren<QScrollBar*>().isEmpty());
    for (QWidget* part : List()->findChildren<QWidget*>()) {
        if (QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(part)) {
            if (QAccessibleInterface* parent = iface->parent()) {
                parent->indexOfChild(iface);
            }
        }
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings.join('\n').toStdString(), "");
}

}  // namespace
}  // namespace korvallestin
