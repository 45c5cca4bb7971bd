#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

#include "column_click.h"
#include "data_file.h"
#include "result_row_store.h"

namespace korvallestin {

// The two sort marks a header can carry; image 1 points up, image 2 down.
struct HeaderImageList {
    QPixmap up;
    QPixmap down;
};

// The results list's Qt item model: its rows (stored compactly, kept in sort order),
// its column headers with their marks, and its sort column and direction.
//
// Rows are stored the moment they are added, but the view hears of them only
// in ShowPendingRows, which the window calls at most once per display frame
// and at the end of a run. The row count changes only with those signals.
class ResultsItemModel : public QAbstractTableModel, public SortableList {
    Q_OBJECT

  public:
    explicit ResultsItemModel(QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Rows.
    void ClearRows();
    void AddRow(const PostcodeRecord& record);
    // Tells the view about every row added since the last call.
    void ShowPendingRows();
    bool HasPendingRows() const { return rows_.Pending() > 0; }
    std::size_t StoredRows() const { return rows_.Stored(); }
    // A visible row's cells as text, for tests and copying.
    QString CellText(int row, int column) const;

    // Columns.
    void ClearColumns();
    void AddColumn(const QString& caption);
    void SetHeaderImages(const HeaderImageList* images);
    int HeaderIcon(int header) const;

    // Sorting, as the column-click rule sees it. Writes re-order at once.
    int SortKey() const override { return rows_.SortKey(); }
    void SetSortKey(int key) override;
    int SortOrder() const override { return rows_.SortOrder(); }
    void SetSortOrder(int order) override;
    std::string HeaderText(int header) const override;
    void SetHeaderText(int header, const std::string& text) override;
    void SetHeaderIcon(int header, int icon) override;

  private:
    void Resort(int key, int order);
    void Reorder(const std::function<void()>& reorder);

    ResultRowStore rows_;
    QStringList captions_;
    QVector<int> icons_;
    const HeaderImageList* images_ = nullptr;
};

}  // namespace korvallestin
