#include "results_item_model.h"

namespace korvallestin {

ResultsItemModel::ResultsItemModel(QObject* parent) : QAbstractTableModel(parent) {}

// The view asks for the index and flags of every cell it paints; both are
// answered without further calls into the model.
QModelIndex ResultsItemModel::index(int row, int column, const QModelIndex& parent) const {
    if (parent.isValid() || row < 0 || column < 0 ||
        static_cast<std::size_t>(row) >= rows_.Visible() || column >= captions_.size()) {
        return {};
    }
    return createIndex(row, column);
}

Qt::ItemFlags ResultsItemModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int ResultsItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.Visible());
}

int ResultsItemModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QString ResultsItemModel::CellText(int row, int column) const {
    const std::string_view text = rows_.Cell(static_cast<std::size_t>(row), column);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant ResultsItemModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() ||
        index.column() >= ResultRowStore::kColumns || index.column() >= columnCount()) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        // Text is made only for the cells the view asks about.
        return CellText(index.row(), index.column());
    }
    // A screen reader reading a whole row hears each cell with its header.
    if (role == Qt::AccessibleTextRole) {
        return captions_[index.column()] + QStringLiteral(": ") +
               CellText(index.row(), index.column());
    }
    return {};
}

QVariant ResultsItemModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= captions_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) {
        return captions_[section];
    }
    // The sort mark, for assistive technology.
    if (role == Qt::AccessibleDescriptionRole) {
        switch (icons_[section]) {
            case 1:
                return QStringLiteral("sorted ascending");
            case 2:
                return QStringLiteral("sorted descending");
            default:
                return {};
        }
    }
    if (role == Qt::DecorationRole && images_ != nullptr) {
        switch (icons_[section]) {
            case 1:
                return images_->up;
            case 2:
                return images_->down;
            default:
                break;
        }
    }
    return {};
}

void ResultsItemModel::ClearRows() {
    beginResetModel();
    rows_.Clear();
    endResetModel();
}

void ResultsItemModel::AddRow(const PostcodeRecord& record) {
    rows_.Append(record);
}

void ResultsItemModel::ShowPendingRows() {
    const std::size_t pending = rows_.Pending();
    if (pending == 0) {
        return;
    }
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(pending) - 1);
    const bool in_order = rows_.PromotePending();
    endInsertRows();
    if (in_order) {
        return;
    }
    // The new rows belong among the earlier ones: move them there.
    Reorder([&] { rows_.MergeTail(pending); });
}

void ResultsItemModel::Reorder(const std::function<void()>& reorder) {
    if (persistentIndexList().isEmpty()) {
        // Nobody holds on to a row (no selection, no current row, no screen
        // reader's cell), so a new order is simply new contents for every
        // place: a view only has to paint again. A change of layout would
        // make it walk its rows.
        reorder();
        if (rowCount() > 0 && columnCount() > 0) {
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
        }
        return;
    }
    // The selection and the current row stay on the same rows. Those who
    // hold rows may take more of them when told of the change.
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<ResultRowStore::RowId> ids;
    ids.reserve(static_cast<std::size_t>(persistent.size()));
    for (const QModelIndex& index : persistent) {
        ids.push_back(rows_.IdAt(static_cast<std::size_t>(index.row())));
    }
    reorder();
    const std::vector<std::ptrdiff_t> positions = rows_.PositionsOf(ids);
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i) {
        moved.push_back(index(static_cast<int>(positions[static_cast<std::size_t>(i)]),
                              persistent[i].column()));
    }
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ResultsItemModel::ClearColumns() {
    if (captions_.isEmpty()) {
        return;
    }
    beginRemoveColumns({}, 0, static_cast<int>(captions_.size()) - 1);
    captions_.clear();
    icons_.clear();
    endRemoveColumns();
}

void ResultsItemModel::AddColumn(const QString& caption) {
    const int column = static_cast<int>(captions_.size());
    beginInsertColumns({}, column, column);
    captions_.push_back(caption);
    icons_.push_back(0);
    endInsertColumns();
}

void ResultsItemModel::SetHeaderImages(const HeaderImageList* images) {
    images_ = images;
    if (!captions_.isEmpty()) {
        emit headerDataChanged(Qt::Horizontal, 0, static_cast<int>(captions_.size()) - 1);
    }
}

int ResultsItemModel::HeaderIcon(int header) const {
    return header >= 1 && header <= icons_.size() ? icons_[header - 1] : 0;
}

std::string ResultsItemModel::HeaderText(int header) const {
    if (header < 1 || header > captions_.size()) {
        return {};
    }
    return captions_[header - 1].toStdString();
}

void ResultsItemModel::SetHeaderText(int header, const std::string& text) {
    if (header < 1 || header > captions_.size()) {
        return;
    }
    captions_[header - 1] = QString::fromStdString(text);
    emit headerDataChanged(Qt::Horizontal, header - 1, header - 1);
}

void ResultsItemModel::SetHeaderIcon(int header, int icon) {
    if (header < 1 || header > icons_.size()) {
        return;
    }
    icons_[header - 1] = icon;
    emit headerDataChanged(Qt::Horizontal, header - 1, header - 1);
}

void ResultsItemModel::SetSortKey(int key) {
    Resort(key, SortOrder());
}

void ResultsItemModel::SetSortOrder(int order) {
    Resort(SortKey(), order);
}

void ResultsItemModel::Resort(int key, int order) {
    if (key < 0 || key >= ResultRowStore::kColumns || (order != 0 && order != 1) ||
        (key == SortKey() && order == SortOrder())) {
        return;
    }
    // Rows that arrived since the last frame join first, so that all of them
    // take the new order.
    ShowPendingRows();
    Reorder([&] { rows_.SetSort(key, order); });
}

}  // namespace korvallestin
