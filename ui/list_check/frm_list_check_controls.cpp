#include "frm_list_check.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeySequence>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "accessible_notice.h"
#include "column_dialog.h"
#include "data_file.h"
#include "list_check.h"
#include "list_check_text.h"
#include "platform.h"
#include "result_columns.h"
#include "results_table_view.h"
#include "window_font.h"
#include "window_system.h"

// The List Check window's controls and menus, laid out once.

namespace korvallestin {

void frmListCheck::BuildControls() {
    setObjectName(QStringLiteral("frmListCheck"));
    setWindowTitle(kTitle);
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/korvallestin-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/korvallestin-32.xpm"), QSize(32, 32));
    setWindowIcon(icon);
    setFont(WindowFont(*this));
    setAcceptDrops(true);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);
    auto* layout = new QVBoxLayout(client);

    lblColumns_ = new QLabel(QStringLiteral("Open a list (File, Open) or drop one here."), client);
    lblColumns_->setObjectName(QStringLiteral("lblColumns"));
    lblColumns_->setWordWrap(true);
    lblColumns_->setAccessibleName(QStringLiteral("Columns"));
    layout->addWidget(lblColumns_);

    auto* bar = new QHBoxLayout;
    auto* filter_label = new QLabel(QStringLiteral("&Show:"), client);
    cboFilter_ = new QComboBox(client);
    cboFilter_->setObjectName(QStringLiteral("cboFilter"));
    for (const RowFilter& filter : FilterChoices()) {
        cboFilter_->addItem(FromUtf8(FilterCaption(filter)));
    }
    cboFilter_->setCurrentIndex(1);
    cboFilter_->setAccessibleName(QStringLiteral("Show"));
    cboFilter_->setAccessibleDescription(QStringLiteral("Which rows the table shows"));
    filter_label->setBuddy(cboFilter_);
    connect(cboFilter_, &QComboBox::activated, this, [this](int choice) {
        filter_chosen_ = true;
        FilterChosen(choice);
    });
    bar->addWidget(filter_label);
    bar->addWidget(cboFilter_);
    bar->addStretch(1);
    cmdFixAll_ = new QPushButton(QStringLiteral("Fi&x all sure rows"), client);
    cmdFixAll_->setObjectName(QStringLiteral("cmdFixAll"));
    connect(cmdFixAll_, &QPushButton::clicked, this, [this] { FixAllSure(); });
    bar->addWidget(cmdFixAll_);
    layout->addLayout(bar);

    tblRows_ = std::make_unique<ResultsTableView>(client);
    tblRows_->setObjectName(QStringLiteral("tblRows"));
    tblRows_->setAccessibleName(QStringLiteral("Rows"));
    tblRows_->setModel(model_.get());
    // F2 or typing edits a list cell; Enter and a double click offer the
    // row's suggestions.
    tblRows_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    connect(tblRows_.get(), &ResultsTableView::ColumnClick, this,
            [this](int header) { ColumnClicked(header); });
    connect(tblRows_.get(), &QAbstractItemView::activated, this, [this](const QModelIndex& at) {
        if (!OfferSuggestions(at.row()) && (model_->flags(at) & Qt::ItemIsEditable)) {
            tblRows_->edit(at);
        }
    });
    // The context menu: the row's suggestions, then the table's own Copy.
    QAction* copy = tblRows_->actions().value(0);
    tblRows_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tblRows_.get(), &QWidget::customContextMenuRequested, this,
            [this, copy](const QPoint& at) {
                const QModelIndex cell = tblRows_->indexAt(at);
                if (cell.isValid()) {
                    tblRows_->setCurrentIndex(cell);
                    OfferSuggestions(cell.row(), copy);
                }
            });
    layout->addWidget(tblRows_.get(), 1);
    LoadSortMarks(ilSortIcons_, *tblRows_, HighContrastThemeOn());
    model_->SetHeaderImages(&ilSortIcons_);

    lblSummary_ = new QLabel(client);
    lblSummary_->setObjectName(QStringLiteral("lblSummary"));
    lblSummary_->setWordWrap(true);
    lblSummary_->setAccessibleName(QStringLiteral("Summary"));
    lblSummary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lblSummary_);
    accNotice_ = new AccessibleNotice(client);

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("sbBar"));
    status->setAccessibleName(QStringLiteral("Status"));
    sbText_ = new QLabel(status);
    sbText_->setObjectName(QStringLiteral("sbBarText"));
    status->addWidget(sbText_, 1);
    prgLoad_ = new QProgressBar(status);
    prgLoad_->setObjectName(QStringLiteral("prgLoad"));
    prgLoad_->setAccessibleName(QStringLiteral("Checked"));
    prgLoad_->setRange(0, kProgressSteps);
    lblRate_ = new QLabel(status);
    lblRate_->setObjectName(QStringLiteral("lblRate"));
    cmdCancel_ = new QPushButton(QStringLiteral("Cancel"), status);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { CancelLoad(); });
    status->addPermanentWidget(lblRate_);
    status->addPermanentWidget(prgLoad_);
    status->addPermanentWidget(cmdCancel_);
    for (QWidget* w : std::initializer_list<QWidget*>{prgLoad_, lblRate_, cmdCancel_}) {
        w->hide();
    }
    setStatusBar(status);

    setTabOrder(cboFilter_, tblRows_.get());
    setTabOrder(tblRows_.get(), cmdFixAll_);
    setTabOrder(cmdFixAll_, cmdCancel_);
    const QFontMetrics metrics(font());
    resize(metrics.averageCharWidth() * 120, metrics.height() * 36);
}

void frmListCheck::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    actOpen_ = file->addAction(QStringLiteral("&Open..."), this, [this] { OpenFromMenu(); });
    actOpen_->setObjectName(QStringLiteral("actOpen"));
    actOpen_->setShortcut(QKeySequence::Open);
    actSave_ =
        file->addAction(QStringLiteral("&Save checked copy..."), this, [this] { SaveFromMenu(); });
    actSave_->setObjectName(QStringLiteral("actSave"));
    actSave_->setShortcut(QKeySequence::Save);
    file->addSeparator();
    QAction* close_action = file->addAction(QStringLiteral("&Close"), this, [this] { close(); });
    close_action->setObjectName(QStringLiteral("actClose"));
    close_action->setShortcut(QKeySequence::Close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    actUndo_ = edit->addAction(QStringLiteral("&Undo"), this, [this] { UndoStep(); });
    actUndo_->setObjectName(QStringLiteral("actUndo"));
    actUndo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    actRedo_ = edit->addAction(QStringLiteral("&Redo"), this, [this] { RedoStep(); });
    actRedo_->setObjectName(QStringLiteral("actRedo"));
    actRedo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    edit->addSeparator();
    actFixAll_ =
        edit->addAction(QStringLiteral("&Fix all sure rows"), this, [this] { FixAllSure(); });
    actFixAll_->setObjectName(QStringLiteral("actFixAll"));
}

// --- Opening and loading -----------------------------------------------------

}  // namespace korvallestin
