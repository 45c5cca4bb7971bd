#include "ui/main_window/results_view.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace korvallestin {

ResultsView::ResultsView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSortIndicatorShown(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::Interactive);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });
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
    QTreeView::keyPressEvent(event);
}

}  // namespace korvallestin
