#include "results_table_view.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QScreen>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "results_item_model.h"

namespace korvallestin {
namespace {

// The view places rows by their fixed height instead of laying them out, so
// it must agree with the model after every kind of change: the rows it says
// it has, where it puts each one, what it finds under a point and how far it
// scrolls.
class ResultsTableViewShowsTheModel : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* caption : {"Postcode", "Locality", "State"}) {
            model.AddColumn(QString::fromLatin1(caption));
        }
        view.setModel(&model);
        view.resize(400, 300);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    void Add(int count) {
        for (int i = 0; i < count; ++i) {
            PostcodeRecord r;
            r.Postcode = std::to_string(1000 + random() % 9000);
            char locality[16];
            std::snprintf(locality, sizeof locality, "L%05d", static_cast<int>(random() % 100000));
            r.Locality = locality;
            r.State = serial++ % 2 == 0 ? "NSW" : "VIC";
            model.AddRow(r);
        }
        model.ShowPendingRows();
        view.LayoutNow();
    }
    QAccessibleTableInterface* Table() {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(&view);
        return list != nullptr ? list->tableInterface() : nullptr;
    }

    // The rows in the viewport, scrolled to `row`, are the model's rows in
    // the model's order, one row height apart, with the model's texts.
    void ExpectRowsShownAround(int row) {
        view.scrollTo(model.index(row, 0));
        QApplication::processEvents();
        const int height = view.RowHeight();
        const int first = view.rowAt(0);
        ASSERT_GE(first, 0);
        ASSERT_LE(first, row);
        const int columns = model.columnCount();
        // Styles that scroll by pixels (Windows') may leave the first row
        // partly above the viewport; the rest follow it a row height apart.
        const int top = view.visualRect(model.index(first, columns - 1)).top();
        ASSERT_LE(top, 0);
        ASSERT_GT(top, -height);
        int r = first;
        for (; r < model.rowCount(); ++r) {
            const QRect rect = view.visualRect(model.index(r, columns - 1));
            if (rect.top() >= view.viewport()->height()) {
                break;
            }
            ASSERT_EQ(rect.top(), top + (r - first) * height) << r;
            ASSERT_EQ(rect.height(), height) << r;
            for (int c = 0; c < columns; ++c) {
                const QModelIndex cell = model.index(r, c);
                ASSERT_EQ(view.indexAt(view.visualRect(cell).center()), cell) << r << "," << c;
            }
        }
        EXPECT_GT(r, row);
        // Below the last row there is nothing.
        if (r == model.rowCount()) {
            const QRect last = view.visualRect(model.index(r - 1, 0));
            if (last.bottom() + height < view.viewport()->height()) {
                EXPECT_FALSE(view.indexAt(last.center() + QPoint(0, height)).isValid());
            }
        }
    }
    // What the window last put on the screen, not what it would paint now.
    static QImage OnScreen(QWidget& window) {
        QApplication::processEvents();
        return window.screen()->grabWindow(window.winId()).toImage();
    }
    // What the view shows is what a view made now over the same model, at
    // the same place, shows.
    void ExpectShownAsByAFreshView() {
        ResultsTableView fresh;
        fresh.setModel(&model);
        fresh.resize(view.size());
        for (int c = 0; c < model.columnCount(); ++c) {
            fresh.horizontalHeader()->resizeSection(c, view.horizontalHeader()->sectionSize(c));
        }
        fresh.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
        fresh.verticalScrollBar()->setValue(view.verticalScrollBar()->value());
        QApplication::processEvents();
        EXPECT_EQ(OnScreen(fresh), OnScreen(view));
    }
    void ExpectShowsModel() {
        const int rows = model.rowCount();
        ASSERT_EQ(rows, static_cast<int>(model.StoredRows()));
        EXPECT_EQ(view.verticalHeader()->count(), rows);
        if (rows == 0) {
            EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
            EXPECT_EQ(view.rowAt(0), -1);
            return;
        }
        ExpectRowsShownAround(0);
        ExpectRowsShownAround(rows / 2);
        ExpectRowsShownAround(rows - 1);
    }

    ResultsItemModel model;
    ResultsTableView view;
    std::mt19937 random{3};
    int serial = 0;
};

TEST_F(ResultsTableViewShowsTheModel, AfterAppendsMergesSortsAndReversals) {
    Add(1);
    ExpectShowsModel();
    for (int batch = 0; batch < 20; ++batch) {
        Add(1 + static_cast<int>(random() % 60));
        ExpectShownAsByAFreshView();
        ExpectShowsModel();
    }
    // A new order, both directions, and more rows merged into it; each
    // shown before anything else makes the view paint again.
    model.SetSortKey(1);
    ExpectShownAsByAFreshView();
    ExpectShowsModel();
    model.SetSortOrder(1);
    ExpectShownAsByAFreshView();
    ExpectShowsModel();
    Add(25);
    ExpectShownAsByAFreshView();
    ExpectShowsModel();
    EXPECT_GE(model.CellText(0, 1), model.CellText(model.rowCount() - 1, 1));
}

TEST_F(ResultsTableViewShowsTheModel, ClearingAndRefillingStartsAfresh) {
    Add(200);
    view.scrollToBottom();
    model.ClearRows();
    view.LayoutNow();
    ExpectShowsModel();
    // More rows than the view has room for, in any style: they are shown
    // from the top, before anything scrolls the view.
    Add(30);
    Add(30);
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);
    EXPECT_EQ(view.rowAt(0), 0);
    ExpectShowsModel();
}

TEST_F(ResultsTableViewShowsTheModel, TheSelectionStaysOnItsRowWhenRowsMoveUnderIt) {
    Add(50);
    const int row = 20;
    const QString postcode = model.CellText(row, 0);
    const QString locality = model.CellText(row, 1);
    view.selectionModel()->select(model.index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.selectionModel()->setCurrentIndex(model.index(row, 0), QItemSelectionModel::NoUpdate);
    for (int batch = 0; batch < 5; ++batch) {
        Add(30);
    }
    model.SetSortKey(1);
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(model.CellText(selected.front().row(), 1), locality);
    EXPECT_EQ(model.CellText(view.currentIndex().row(), 0), postcode);
    // Every cell of the row is selected, and only that row.
    QAccessibleTableInterface* table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->selectedRows(), QList<int>{selected.front().row()});
    ExpectShowsModel();
}

// A screen reader sees a table: its size, its column headers and its cells,
// in the order shown.
TEST_F(ResultsTableViewShowsTheModel, AScreenReaderGetsTheTable) {
    Add(30);
    model.SetSortKey(1);
    model.SetSortOrder(1);
    model.SetHeaderText(2, "Suburb");
    QAccessibleTableInterface* table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 30);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->columnDescription(0), "Postcode");
    EXPECT_EQ(table->columnDescription(1), "Suburb");
    EXPECT_EQ(table->columnDescription(2), "State");
    for (const int row : {0, 17, 29}) {
        for (int c = 0; c < 3; ++c) {
            QAccessibleInterface* cell = table->cellAt(row, c);
            ASSERT_NE(cell, nullptr);
            // Each cell is named with its header, so that a row read whole
            // says which value is which.
            EXPECT_EQ(cell->text(QAccessible::Name),
                      table->columnDescription(c) + ": " + model.CellText(row, c))
                << row << "," << c;
        }
    }
    // No row numbers: the rows have no header of their own.
    EXPECT_FALSE(view.verticalHeader()->isVisible());
}

TEST_F(ResultsTableViewShowsTheModel, RowsAreOneLineOfTheViewsFontHigh) {
    Add(3);
    const int before = view.RowHeight();
    EXPECT_GE(before, view.fontMetrics().height());
    EXPECT_EQ(view.rowHeight(2), before);
    QFont larger = view.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    view.setFont(larger);
    EXPECT_GT(view.RowHeight(), before);
    EXPECT_EQ(view.rowHeight(0), view.RowHeight());
    // Rows added later take the same height.
    Add(3);
    EXPECT_EQ(view.rowHeight(5), view.RowHeight());
    ExpectShowsModel();
}

TEST_F(ResultsTableViewShowsTheModel, KeysSizeColumnsSortAndMoveThroughTheList) {
    Add(40);
    view.setFocus();
    // Ctrl with the keypad's plus fits every column to its longest text.
    const int narrow = view.horizontalHeader()->minimumSectionSize();
    for (int c = 0; c < model.columnCount(); ++c) {
        view.horizontalHeader()->resizeSection(c, narrow);
    }
    QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier);  // not the keypad's
    EXPECT_EQ(view.horizontalHeader()->sectionSize(1), narrow);
    QTest::keyClick(&view, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
    for (int c = 0; c < model.columnCount(); ++c) {
        int widest = 0;
        for (int r = 0; r < model.rowCount(); ++r) {
            widest = std::max(widest, view.fontMetrics().horizontalAdvance(model.CellText(r, c)));
        }
        EXPECT_GE(view.horizontalHeader()->sectionSize(c), widest) << c;
    }
    // Ctrl with a digit asks for that column's sort, as a header click does.
    std::vector<int> clicked;
    QObject::connect(&view, &ResultsTableView::ColumnClick,
                     [&](int header) { clicked.push_back(header); });
    QTest::keyClick(&view, Qt::Key_3, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_9, Qt::ControlModifier);  // there is no ninth column
    EXPECT_EQ(clicked, std::vector<int>{3});
    // Home and End go to the first and last row; a whole row is selected.
    view.setCurrentIndex(model.index(10, 1));
    QTest::keyClick(&view, Qt::Key_End);
    EXPECT_EQ(view.currentIndex(), model.index(39, 1));
    QTest::keyClick(&view, Qt::Key_Home);
    EXPECT_EQ(view.currentIndex(), model.index(0, 1));
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), model.columnCount());
}

TEST_F(ResultsTableViewShowsTheModel, AHeaderClickAsksForASortAndLeavesTheSelectionAlone) {
    Add(20);
    view.selectRow(4);
    std::vector<int> clicked;
    QObject::connect(&view, &ResultsTableView::ColumnClick,
                     [&](int header) { clicked.push_back(header); });
    QHeaderView* headers = view.horizontalHeader();
    for (const int section : {1, 2}) {
        const QPoint at(
            headers->sectionViewportPosition(section) + headers->sectionSize(section) / 2,
            headers->height() / 2);
        QTest::mouseClick(headers->viewport(), Qt::LeftButton, {}, at);
    }
    EXPECT_EQ(clicked, (std::vector<int>{2, 3}));
    // Pressing a header does not select its column.
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), 4);
    EXPECT_EQ(view.selectionModel()->selectedIndexes().size(), model.columnCount());
}

}  // namespace
}  // namespace korvallestin
