#pragma once

#include <QTreeView>

namespace korvallestin {

class ResultListModel;

// The results list `lvwResults`: a report-style list with clickable,
// user-resizable column headers. Ctrl with the numeric keypad's plus sizes
// every column to its contents. The order of the rows is the model's; the
// view's own sorting and sort indicator stay off.
class ResultsView : public QTreeView {
    Q_OBJECT

  public:
    explicit ResultsView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    void SizeColumnsToContents();
    // The selected rows as tab-separated text, the header line first, rows
    // in the order shown, lines ending in a line feed: ready to paste into a
    // spreadsheet. Empty when nothing is selected.
    QString SelectedRowsAsText() const;
    void CopySelectedRows();
    // Lays the rows out now instead of at the next paint.
    void LayoutNow() { executeDelayedItemsLayout(); }

  signals:
    // A header was clicked; its number counts from 1.
    void ColumnClick(int header);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void rowsInserted(const QModelIndex& parent, int start, int end) override;

  private:
    bool CanKeepRowsInStep() const;
    void AppendEntries(int first, int last);
    ResultListModel* results_ = nullptr;  // the model, when it is ours
    void AfterLayoutChange();
};

}  // namespace korvallestin
