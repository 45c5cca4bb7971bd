#include "results_table_view.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

#include "accessible_factory.h"

namespace korvallestin {

namespace {

// The view's own widgets (the viewport, the headers, the corner button and
// the holders of the scroll bars) are not among the children the table's
// accessible interface counts: it presents cells and header cells instead.
// Asked for the place of one of those widgets, it prints a warning, and
// screen readers ask each time one of them comes, goes or changes. They are
// presented as parts of the list's own container, whose answer is a plain
// "not one of mine".
class ViewPartInterface final : public QAccessibleWidget {
  public:
    explicit ViewPartInterface(QWidget* part) : QAccessibleWidget(part) {}
    QAccessibleInterface* parent() const override {
        QWidget* container = widget()->parentWidget()->parentWidget();
        return QAccessible::queryAccessibleInterface(
            container != nullptr ? static_cast<QObject*>(container) : qApp);
    }
};

QAccessibleInterface* ViewPartFactory(const QString& /*class_name*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || widget->isWindow() ||
        qobject_cast<ResultsTableView*>(widget->parentWidget()) == nullptr) {
        return nullptr;
    }
    return new ViewPartInterface(widget);
}

}  // namespace

ResultsTableView::ResultsTableView(QWidget* parent) : QTableView(parent) {
    InstallAccessibleFactoryOnce(&ViewPartFactory);
    announce_timer_.setSingleShot(true);
    announce_timer_.setInterval(0);
    connect(&announce_timer_, &QTimer::timeout, this, &ResultsTableView::AnnounceCurrentCell);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setSortingEnabled(false);
    // Tab leaves the list; the arrows move within it.
    setTabKeyNavigation(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // No row numbers, and every row one height that the user cannot change.
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FitRowHeight();

    QHeaderView* columns = horizontalHeader();
    columns->setSortIndicatorShown(false);
    columns->setHighlightSections(false);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setSectionsClickable(true);
    columns->setSectionsMovable(false);
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(QHeaderView::Interactive);
    connect(columns, &QHeaderView::sectionClicked, this,
            [this](int section) { emit ColumnClick(section + 1); });

    auto* copy = new QAction(tr("&Copy"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this, &ResultsTableView::CopySelectedRows);
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

QString ResultsTableView::SelectedRowsAsText() const {
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

void ResultsTableView::CopySelectedRows() {
    const QString text = SelectedRowsAsText();
    if (!text.isEmpty()) {
        QApplication::clipboard()->setText(text);
    }
}

int ResultsTableView::RowHeight() const {
    // What an item delegate would ask of the style for one line of text.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("Xg");
    const QSize size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    return std::max(size.height(), fontMetrics().height());
}

void ResultsTableView::FitRowHeight() {
    const int height = RowHeight();
    verticalHeader()->setMinimumSectionSize(height);
    verticalHeader()->setDefaultSectionSize(height);
}

void ResultsTableView::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        FitRowHeight();
    }
}

void ResultsTableView::setModel(QAbstractItemModel* model) {
    if (this->model() != nullptr) {
        disconnect(this->model(), &QAbstractItemModel::layoutChanged, this, nullptr);
    }
    QTableView::setModel(model);
    if (model == nullptr) {
        return;
    }
    // The table's accessible interface keeps one object per cell it was asked
    // about, each following its row; after a new order those objects no
    // longer stand where screen readers last saw them. They are dropped, so
    // that every cell is asked about afresh.
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] {
        if (QAccessible::isActive()) {
            QAccessibleTableModelChangeEvent reset(this,
                                                   QAccessibleTableModelChangeEvent::ModelReset);
            QAccessible::updateAccessibility(&reset);
        }
    });
}

void ResultsTableView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    // The view makes a cell current as it takes the focus, and only then is
    // the list itself announced as focused: a screen reader then speaks the
    // list and no row. The current cell is announced again once the list has
    // the focus.
    if (QAccessible::isActive()) {
        announce_timer_.start();
    }
}

int ResultsTableView::CurrentCellChild() const {
    const QModelIndex current = currentIndex();
    QAccessibleInterface* list =
        QAccessible::queryAccessibleInterface(const_cast<ResultsTableView*>(this));
    QAccessibleTableInterface* table = list != nullptr ? list->tableInterface() : nullptr;
    if (table == nullptr || !current.isValid()) {
        return -1;
    }
    QAccessibleInterface* cell = table->cellAt(current.row(), current.column());
    return cell != nullptr ? list->indexOfChild(cell) : -1;
}

void ResultsTableView::AnnounceCurrentCell() {
    const int child = CurrentCellChild();
    if (!hasFocus() || child < 0) {
        return;
    }
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(child);
    QAccessible::updateAccessibility(&focus);
}

QModelIndex ResultsTableView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // Home and End go to the first and last row, as in any list.
    const QModelIndex current = currentIndex();
    if (model() != nullptr && (action == MoveHome || action == MoveEnd) &&
        model()->rowCount() > 0) {
        const int column = current.isValid() ? current.column() : 0;
        return model()->index(action == MoveHome ? 0 : model()->rowCount() - 1, column);
    }
    return QTableView::moveCursor(action, modifiers);
}

void ResultsTableView::SizeColumnsToContents() {
    for (int column = 0; column < horizontalHeader()->count(); ++column) {
        resizeColumnToContents(column);
    }
}

void ResultsTableView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Plus && (event->modifiers() & Qt::KeypadModifier) &&
        (event->modifiers() & Qt::ControlModifier)) {
        SizeColumnsToContents();
        event->accept();
        return;
    }
    // Ctrl with a digit sorts by that column, as a click on its header does.
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_1 &&
        event->key() <= Qt::Key_9 && event->key() - Qt::Key_1 < horizontalHeader()->count()) {
        emit ColumnClick(event->key() - Qt::Key_1 + 1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

}  // namespace korvallestin
