#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <cstddef>
#include <string>

#include "checked_list.h"
#include "row_order.h"

namespace korvallestin {

struct HeaderImageList;

// The checked list as the table sees it: the list's own columns, then the
// verdict and the suggestion, its rows those the order shows.
//
// Rows are added to the order as they are read, but the view hears of them
// only in ShowPendingRows, which the window calls at most once per display
// frame and when loading ends. The row count changes only with those signals.
class ListCheckModel final : public QAbstractTableModel, private OrderedRows {
    Q_OBJECT

  public:
    explicit ListCheckModel(CheckedList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A list cell typed by hand: the list checks its row again at once.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // Forgets every row and column, for a list about to be opened.
    void Reset();
    // Takes the list's columns, once they are known.
    void ShowColumns();
    // Adds the rows read since the last call that pass the filter, and tells
    // the view about them.
    void ShowPendingRows();
    // The rows the order shows, worked out again from the whole list.
    void Reorder();
    // The list's rows changed: the cells on view are painted again.
    void RowsChanged();

    // List cells can be edited (a list read whole).
    void SetEditable(bool editable) { editable_ = editable; }
    void SetHeaderImages(const HeaderImageList* images) { images_ = images; }

    RowOrder& Order() { return order_; }
    const RowOrder& Order() const { return order_; }
    std::size_t ListRow(int position) const {
        return order_.Row(static_cast<std::size_t>(position));
    }
    int VerdictColumn() const { return static_cast<int>(list_columns_); }
    int SuggestionColumn() const { return VerdictColumn() + 1; }
    QString CellText(int position, int column) const;

  signals:
    // A cell was typed by hand.
    void CellEdited(std::size_t row);

  private:
    std::size_t RowCount() const override { return list_.RowCount(); }
    std::optional<Verdict> RowVerdict(std::size_t row) const override {
        return list_.RowVerdict(row);
    }
    bool IsProblem(std::size_t row) const override { return list_.IsProblem(row); }
    std::string SortText(std::size_t row, int column) const override;
    QString HeadingText(int column) const;

    CheckedList& list_;
    RowOrder order_;
    std::size_t list_columns_ = 0;
    int shown_rows_ = 0;  // rows the view knows of
    bool editable_ = false;
    const HeaderImageList* images_ = nullptr;
};

}  // namespace korvallestin
