#include "results_view.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include <cstdio>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "result_list_model.h"

namespace korvallestin {
namespace {

// The results view keeps its own row table in step with appended and merged
// rows. A plain tree view over the same model, laid out from scratch, is the
// reference it must agree with, row for row.
class ResultsViewInStep : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* caption : {"Postcode", "Locality", "State"}) {
            model.AddColumn(QString::fromLatin1(caption));
        }
        for (QTreeView* v : {static_cast<QTreeView*>(&view), &reference}) {
            v->setModel(&model);
            v->setUniformRowHeights(true);
            v->setRootIsDecorated(false);
            v->resize(400, 300);
            v->show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(v));
        }
    }
    void Add(int count, std::mt19937& random) {
        for (int i = 0; i < count; ++i) {
            PostcodeRecord r;
            r.Postcode = std::to_string(1000 + random() % 9000);
            char locality[16];
            std::snprintf(locality, sizeof locality, "L%d", serial++);
            r.Locality = locality;
            model.AddRow(r);
        }
        model.ShowPendingRows();
        view.LayoutNow();
    }
    // Every row where the reference puts it, and the scroll range the same.
    void ExpectInStep() {
        reference.doItemsLayout();
        view.scrollToTop();
        reference.scrollToTop();
        ASSERT_EQ(model.rowCount(), static_cast<int>(model.StoredRows()));
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row, 0);
            ASSERT_EQ(view.visualRect(index), reference.visualRect(index)) << row;
            ASSERT_EQ(view.indexBelow(index), reference.indexBelow(index)) << row;
        }
        EXPECT_EQ(view.verticalScrollBar()->maximum(), reference.verticalScrollBar()->maximum());
    }

    ResultListModel model;
    ResultsView view;
    QTreeView reference;
    int serial = 0;
};

TEST_F(ResultsViewInStep, AppendedAndMergedRowsMatchAFullLayout) {
    std::mt19937 random(3);
    Add(1, random);  // the first rows go the general way
    for (int batch = 0; batch < 30; ++batch) {
        Add(1 + static_cast<int>(random() % 40), random);
        ExpectInStep();
    }
    // A new order, both directions, and more rows after it.
    model.SetSortKey(1);
    ExpectInStep();
    model.SetSortOrder(1);
    Add(25, random);
    ExpectInStep();
}

TEST_F(ResultsViewInStep, TheSelectionStaysOnItsRowWhenRowsMoveUnderIt) {
    std::mt19937 random(5);
    Add(50, random);
    const int row = 20;
    const QString postcode = model.CellText(row, 0);
    const QString locality = model.CellText(row, 1);
    view.selectionModel()->select(model.index(row, 0),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.selectionModel()->setCurrentIndex(model.index(row, 0), QItemSelectionModel::NoUpdate);
    for (int batch = 0; batch < 5; ++batch) {
        Add(30, random);
    }
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(model.CellText(selected.front().row(), 1), locality);
    EXPECT_EQ(model.CellText(view.currentIndex().row(), 0), postcode);
    ExpectInStep();
}

TEST_F(ResultsViewInStep, AHiddenRowSendsItBackToTheGeneralLayout) {
    std::mt19937 random(9);
    Add(20, random);
    const QString hidden = model.CellText(3, 1);
    view.setRowHidden(3, {}, true);
    reference.setRowHidden(3, {}, true);
    Add(20, random);
    ExpectInStep();
    // The hidden row stays hidden wherever its record now stands.
    int shown = 0;
    for (int row = 0; row < model.rowCount(); ++row) {
        const bool is_hidden = model.CellText(row, 1) == hidden;
        EXPECT_EQ(view.visualRect(model.index(row, 0)).isEmpty(), is_hidden) << row;
        shown += is_hidden ? 0 : 1;
    }
    EXPECT_EQ(shown, model.rowCount() - 1);
}

TEST_F(ResultsViewInStep, ClearingAndRefillingStartsAfresh) {
    std::mt19937 random(11);
    Add(40, random);
    model.ClearRows();
    view.LayoutNow();
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 0);
    Add(10, random);
    Add(10, random);
    ExpectInStep();
}

}  // namespace
}  // namespace korvallestin
