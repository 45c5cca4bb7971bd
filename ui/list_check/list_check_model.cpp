#include "list_check_model.h"

#include <algorithm>
#include <limits>

#include "results_item_model.h"

namespace korvallestin {

namespace {

// A view counts its rows in an int.
constexpr auto kMostRows = static_cast<std::size_t>(std::numeric_limits<int>::max());

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ListCheckModel::ListCheckModel(CheckedList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

int ListCheckModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shown_rows_;
}

int ListCheckModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || list_columns_ == 0 ? 0 : static_cast<int>(list_columns_) + 2;
}

std::string ListCheckModel::SortText(std::size_t row, int column) const {
    if (column == VerdictColumn()) {
        const std::optional<Verdict> verdict = list_.RowVerdict(row);
        return verdict ? std::string(VerdictWord(*verdict)) : std::string();
    }
    if (column == SuggestionColumn()) {
        return list_.SuggestionText(row);
    }
    return std::string(list_.Cell(row, static_cast<std::size_t>(column)));
}

QString ListCheckModel::CellText(int position, int column) const {
    return QString::fromStdString(SortText(ListRow(position), column));
}

QString ListCheckModel::HeadingText(int column) const {
    if (column == VerdictColumn()) {
        return QStringLiteral("Verdict");
    }
    if (column == SuggestionColumn()) {
        return QStringLiteral("Suggestion");
    }
    const std::vector<std::string>& headings = list_.Headings();
    const auto at = static_cast<std::size_t>(column);
    if (at < headings.size() && !headings[at].empty()) {
        return FromUtf8(headings[at]);
    }
    return QStringLiteral("Column %1").arg(column + 1);
}

QVariant ListCheckModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_rows_ || index.column() >= columnCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::ToolTipRole:
            // Text is made only for the cells the view asks about.
            return CellText(index.row(), index.column());
        case Qt::AccessibleTextRole:
            // A screen reader hears each cell with its heading.
            return HeadingText(index.column()) + QStringLiteral(": ") +
                   CellText(index.row(), index.column());
        default:
            return {};
    }
}

QVariant ListCheckModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const bool marked = section == order_.SortColumn();
    switch (role) {
        case Qt::DisplayRole:
            return HeadingText(section);
        case Qt::AccessibleDescriptionRole:
            if (!marked) {
                return {};
            }
            return order_.Descending() ? QStringLiteral("sorted descending")
                                       : QStringLiteral("sorted ascending");
        case Qt::DecorationRole:
            if (!marked || images_ == nullptr) {
                return {};
            }
            return order_.Descending() ? images_->down : images_->up;
        default:
            return {};
    }
}

Qt::ItemFlags ListCheckModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (editable_ && index.column() < VerdictColumn()) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool ListCheckModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable)) {
        return false;
    }
    const std::size_t row = ListRow(index.row());
    const std::string text = value.toString().toStdString();
    if (text == list_.Cell(row, static_cast<std::size_t>(index.column()))) {
        return false;  // left as it was: no step to undo
    }
    list_.SetCell(row, static_cast<std::size_t>(index.column()), text);
    RowsChanged();
    emit CellEdited(row);
    return true;
}

void ListCheckModel::Reset() {
    beginResetModel();
    order_.Clear();
    list_columns_ = 0;
    shown_rows_ = 0;
    editable_ = false;
    endResetModel();
}

void ListCheckModel::ShowColumns() {
    const std::size_t columns = list_.ColumnCount();
    if (columns == list_columns_) {
        return;
    }
    beginResetModel();
    list_columns_ = columns;
    endResetModel();
}

void ListCheckModel::ShowPendingRows() {
    ShowColumns();
    order_.Append(*this);
    const int total = static_cast<int>(std::min<std::size_t>(order_.Size(), kMostRows));
    if (total > shown_rows_) {
        beginInsertRows({}, shown_rows_, total - 1);
        shown_rows_ = total;
        endInsertRows();
    }
}

void ListCheckModel::Reorder() {
    // A new filter or order changes which rows stand where: the view starts
    // afresh (a reset, which also drops what screen readers held of it).
    beginResetModel();
    list_columns_ = list_.ColumnCount();
    order_.Rebuild(*this);
    shown_rows_ = static_cast<int>(std::min<std::size_t>(order_.Size(), kMostRows));
    endResetModel();
}

void ListCheckModel::RowsChanged() {
    if (shown_rows_ > 0 && columnCount() > 0) {
        emit dataChanged(index(0, 0), index(shown_rows_ - 1, columnCount() - 1));
    }
}

}  // namespace korvallestin
