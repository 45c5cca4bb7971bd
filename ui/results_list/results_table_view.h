#pragma once

#include <QTableView>
#include <QTimer>

namespace korvallestin {

// The view of the results list `lvwResults`: a report-style list with clickable,
// user-resizable column headers. Ctrl with the numeric keypad's plus sizes
// every column to its contents. The order of the rows is the model's; the
// view's own sorting and sort indicator stay off.
//
// Every row has the same fixed height. The table's hidden row header keeps a
// small entry per row, appended as rows arrive and left alone by a new
// order, and places rows by that height: nothing is laid out again per row
// when rows arrive or move, however long the list.
class ResultsTableView : public QTableView {
    Q_OBJECT

  public:
    explicit ResultsTableView(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;

    // The height of every row: one line of text in the view's font.
    int RowHeight() const;

    void SizeColumnsToContents();
    // The selected rows as tab-separated text, the header line first, rows
    // in the order shown, lines ending in a line feed: ready to paste into a
    // spreadsheet. Empty when nothing is selected.
    QString SelectedRowsAsText() const;
    void CopySelectedRows();
    // Lays the rows out now instead of at the next paint.
    void LayoutNow() { executeDelayedItemsLayout(); }

    // The accessible child number of the current cell, -1 when there is none.
    int CurrentCellChild() const;

  signals:
    // A header was clicked; its number counts from 1.
    void ColumnClick(int header);

  protected:
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

  private:
    void FitRowHeight();
    void AnnounceCurrentCell();

    QTimer announce_timer_;
};

}  // namespace korvallestin
