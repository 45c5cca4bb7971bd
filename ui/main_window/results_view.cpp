#include "results_view.h"

#include <QtWidgets/private/qtreeview_p.h>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>

#include "result_list_model.h"

#include <algorithm>

namespace korvallestin {

ResultsView::ResultsView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSortIndicatorShown(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });

    auto* copy = new QAction(tr("&Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &ResultsView::CopySelectedRows);
    addAction(copy);
    setContextMenuPolicy(Qt::ActionsContextMenu);
}

namespace {

// A cell's own tabs and line breaks would split it in a spreadsheet.
QString CellForCopy(QString text) {
    for (QChar& c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            c = QLatin1Char(' ');
        }
    }
    return text;
}

}  // namespace

QString ResultsView::SelectedRowsAsText() const {
    if (model() == nullptr || selectionModel() == nullptr) {
        return {};
    }
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return {};
    }
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    const int columns = model()->columnCount();
    QString text;
    auto append_line = [&](auto cell) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0) {
                text += QLatin1Char('\t');
            }
            text += CellForCopy(cell(c));
        }
        text += QLatin1Char('\n');
    };
    append_line([&](int c) { return model()->headerData(c, Qt::Horizontal).toString(); });
    for (const QModelIndex& row : rows) {
        append_line([&](int c) { return model()->index(row.row(), c).data().toString(); });
    }
    return text;
}

void ResultsView::CopySelectedRows() {
    const QString text = SelectedRowsAsText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

// A tree view keeps a table of its visible rows and, when told of new rows or
// of a new order, builds it again from the model, asking several questions
// about every row: a million rows cost tens of milliseconds each time. This
// list is flat, with rows of one height, none hidden and none spanning, so
// the table is simply one entry per row: appended rows are appended, and a
// new order renumbers the entries. Anything else goes the general way.
bool ResultsView::CanKeepRowsInStep() const {
    const auto* d = static_cast<const QTreeViewPrivate*>(d_ptr.data());
    return model() != nullptr && !rootIndex().isValid() && d->uniformRowHeights &&
           d->defaultItemHeight > 0 && d->hiddenIndexes.isEmpty() && d->spanningIndexes.isEmpty();
}

void ResultsView::setModel(QAbstractItemModel* model) {
    QTreeView::setModel(model);
    results_ = qobject_cast<ResultListModel*>(model);
    if (model == nullptr) {
        return;
    }
    // A new order comes to this view first; it hands it on to the general
    // handler when it cannot keep the rows in step itself.
    const bool taken = disconnect(
        model,
        SIGNAL(layoutChanged(QList<QPersistentModelIndex>, QAbstractItemModel::LayoutChangeHint)),
        this, SLOT(_q_layoutChanged()));
    if (taken) {
        connect(model, &QAbstractItemModel::layoutChanged, this, &ResultsView::AfterLayoutChange);
    }
}

void ResultsView::AppendEntries(int first, int last) {
    auto* d = static_cast<QTreeViewPrivate*>(d_ptr.data());
    if (first > last) {
        return;
    }
    if (!d->viewItems.isEmpty()) {
        d->viewItems.last().hasMoreSiblings = true;
    }
    for (int row = first; row <= last; ++row) {
        QTreeViewItem item;
        item.index = results_ != nullptr ? results_->FirstCell(row) : model()->index(row, 0);
        item.hasMoreSiblings = row < last;
        d->viewItems.append(item);
    }
}

void ResultsView::rowsInserted(const QModelIndex& parent, int start, int end) {
    const auto* d = static_cast<const QTreeViewPrivate*>(d_ptr.data());
    if (parent.isValid() || d->delayedPendingLayout || start != d->viewItems.size() ||
        !CanKeepRowsInStep()) {
        QTreeView::rowsInserted(parent, start, end);
        return;
    }
    AppendEntries(start, end);
    // Past the tree view on purpose: its own handling would lay out every
    // row again, which AppendEntries has just made unnecessary.
    // NOLINTNEXTLINE(bugprone-parent-virtual-call)
    QAbstractItemView::rowsInserted(parent, start, end);
    updateGeometries();
    viewport()->update();
}

void ResultsView::AfterLayoutChange() {
    // The entries name rows by their place, so a new order leaves them right;
    // only rows the table does not have yet are added.
    auto* d = static_cast<QTreeViewPrivate*>(d_ptr.data());
    const int rows = model()->rowCount();
    if (d->delayedPendingLayout || !CanKeepRowsInStep() || rows < d->viewItems.size()) {
        QMetaObject::invokeMethod(this, "_q_layoutChanged", Qt::DirectConnection);
        return;
    }
    AppendEntries(static_cast<int>(d->viewItems.size()), rows - 1);
    updateGeometries();
    viewport()->update();
    if (QAccessible::isActive()) {
        QAccessibleTableModelChangeEvent event(this, QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&event);
    }
}

void ResultsView::SizeColumnsToContents() {
    for (int column = 0; column < header()->count(); ++column) {
        resizeColumnToContents(column);
    }
}

void ResultsView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Plus && (event->modifiers() & Qt::KeypadModifier) &&
        (event->modifiers() & Qt::ControlModifier)) {
        SizeColumnsToContents();
        event->accept();
        return;
    }
    // Ctrl with a digit sorts by that column, as a click on its header does.
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_1 &&
        event->key() <= Qt::Key_9 && event->key() - Qt::Key_1 < header()->count()) {
        emit ColumnClick(event->key() - Qt::Key_1 + 1);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

}  // namespace korvallestin
