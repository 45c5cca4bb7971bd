#include "ui/main_window/results_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>

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
