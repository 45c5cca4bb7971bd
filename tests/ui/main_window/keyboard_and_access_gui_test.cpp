#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QSysInfo>
#include <QTest>

#include <string>

#include <gtest/gtest.h>

#include "csv_data.h"
#include "frm_main.h"
#include "gui_helpers.h"
#include "results_table_view.h"
#include "window_fixture.h"

namespace korvallestin {
namespace {

using testing::CsvFields;
using testing::CsvRecord;

class KeyboardAndAccess : public testing::WindowTest {
  protected:
    void SetUp() override {
        OpenWindow(
            testing::kCsvHeader +
            CsvRecord("3000", "MELBOURNE", "VIC", CsvFields().DeliveryOffice("MELBOURNE")) +
            CsvRecord("2000", "SYDNEY", "NSW", CsvFields().Comments("A\tB").ParcelZone("N1")) +
            CsvRecord("6000", "PERTH", "WA", CsvFields().ParcelZone("W1")));
    }
    static QString Name(QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a != nullptr ? a->text(QAccessible::Name) : QString();
    }
    ResultsTableView* List() { return window->findChild<ResultsTableView*>("lvwResults"); }
};

TEST_F(KeyboardAndAccess, EveryControlHasAnAccessibleName) {
    const std::pair<const char*, const char*> expected[] = {
        {"txtLocality", "Locality:"}, {"cboState", "State:"},    {"txtPostCode", "Postcode:"},
        {"cmdFind", "Find Now"},      {"cmdStop", "Stop"},       {"cmdNew", "New Search"},
        {"lvwResults", "Results"},    {"imgHelp", "About/Help"}, {"aniSearch", "Search animation"},
    };
    for (const auto& [name, accessible] : expected) {
        EXPECT_EQ(Name(W(name)), QString::fromLatin1(accessible)) << name;
    }
    QAccessibleInterface* search_type = QAccessible::queryAccessibleInterface(W("cboSearchType"));
    // Linux's screen readers take a drop-down list's name from its value;
    // Windows' from its own name.
    const bool named_by_value = QSysInfo::kernelType() != QLatin1String("winnt");
    EXPECT_EQ(search_type->text(QAccessible::Name), named_by_value ? "begins with" : "Search type");
    EXPECT_EQ(search_type->text(QAccessible::Value), "begins with");
    EXPECT_EQ(search_type->text(QAccessible::Description), "How the locality is matched");
}

TEST_F(KeyboardAndAccess, TheListExposesHeadersCellsAndTheCount) {
    window->findChild<QPushButton*>("cmdFind")->click();
    EXPECT_EQ(Name(W("sbBarText")), "Number found: 3");
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(List());
    ASSERT_NE(list, nullptr);
    QAccessibleTableInterface* table = list->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnCount(), 9);
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->columnDescription(1), "Locality");
    QAccessibleInterface* cell = table->cellAt(2, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "Locality: PERTH");
}

TEST_F(KeyboardAndAccess, AccessKeysAndTheListsSortKeys) {
    // An access key clicks its button after a short press animation.
    QTest::keyClick(window.get(), Qt::Key_I, Qt::AltModifier);  // F&ind Now
    QTRY_COMPARE_WITH_TIMEOUT(window->Results().rowCount(), 3, 2000);
    List()->setFocus();
    QTest::keyClick(List(), Qt::Key_2, Qt::ControlModifier);  // by locality
    QTest::keyClick(List(), Qt::Key_2, Qt::ControlModifier);  // reversed
    EXPECT_EQ(window->Results().CellText(0, 1), "SYDNEY");
    EXPECT_EQ(window->Results().HeaderIcon(2), 2);
    QTest::keyClick(window.get(), Qt::Key_W, Qt::AltModifier);  // Ne&w Search
    QTRY_COMPARE_WITH_TIMEOUT(window->Results().rowCount(), 0, 2000);
}

TEST_F(KeyboardAndAccess, F1OpensTheAboutWindow) {
    QString opened;
    const testing::OnModal close([&](QWidget& modal) {
        opened = modal.objectName();
        modal.close();
    });
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(opened, "frmAbout");
}

TEST_F(KeyboardAndAccess, SelectedRowsCopyAsTabSeparatedTextWithTheHeaderLine) {
    window->findChild<QPushButton*>("cmdFind")->click();
    ASSERT_EQ(window->Results().rowCount(), 3);  // by postcode: 2000, 3000, 6000
    List()->setFocus();
    auto* selection = List()->selectionModel();
    selection->select(window->Results().index(2, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection->select(window->Results().index(0, 0),
                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::clipboard()->clear();
    QTest::keyClick(List(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(),
              "Postcode\tLocality\tState\tComments\tDelivery Office\tPresort Indicator\t"
              "Parcel Zone\tBSP Number\tBSP Name\n"
              "2000\tSYDNEY\tNSW\tA B\t\t\tN1\t\t\n"
              "6000\tPERTH\tWA\t\t\t\tW1\t\t\n");
    // Nothing selected: the clipboard is left alone.
    selection->clearSelection();
    QApplication::clipboard()->setText("kept");
    List()->CopySelectedRows();
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
}

}  // namespace
}  // namespace korvallestin
