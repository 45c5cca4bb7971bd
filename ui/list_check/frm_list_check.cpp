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
#include "platform.h"
#include "result_columns.h"
#include "results_table_view.h"
#include "window_font.h"
#include "window_system.h"

namespace korvallestin {

namespace {

// A step of loading takes about this long, well inside a display frame, so
// that the window answers input between steps.
constexpr double kStepNanos = 12e6;
constexpr std::size_t kSmallestBatch = 16;
constexpr std::size_t kLargestBatch = std::size_t{1} << 18;
// The view hears of new rows at most this often while a list loads.
constexpr qint64 kFrameMillis = 16;
constexpr int kProgressSteps = 1000;
const QString kTitle = QStringLiteral("Korvallestin List Check");

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

bool HasProblems(const CheckCounts& counts) {
    const std::size_t right = counts.verdicts[static_cast<std::size_t>(Verdict::Ok)] +
                              counts.verdicts[static_cast<std::size_t>(Verdict::Fixed)];
    return counts.rows > right;
}

}  // namespace

frmListCheck::frmListCheck(const QString& program_folder) {
    LoadIndex(program_folder);
    list_ = std::make_unique<CheckedList>(index_);
    model_ = std::make_unique<ListCheckModel>(*list_);
    BuildControls();
    BuildMenus();
    load_timer_.setInterval(0);
    connect(&load_timer_, &QTimer::timeout, this, [this] { LoadStep(); });
    connect(model_.get(), &ListCheckModel::CellEdited, this, [this](std::size_t row) {
        const std::optional<Verdict> verdict = list_->RowVerdict(row);
        AfterChange(QStringLiteral("Line %1 checked again: %2.")
                        .arg(list_->Line(row))
                        .arg(verdict ? FromUtf8(std::string(VerdictWord(*verdict)))
                                     : QStringLiteral("blank")));
    });
    if (!data_problem_.isEmpty()) {
        lblColumns_->setText(data_problem_);
        sbText_->setText(data_problem_);
    }
    UpdateActions();
}

frmListCheck::~frmListCheck() = default;

void frmListCheck::LoadIndex(const QString& program_folder) {
    const std::string folder =
        program_folder.isEmpty() ? ProgramFolder() : program_folder.toStdString();
    const std::string path = PostcodeFilePath(folder);
    PostcodeFileReader reader;
    switch (reader.Open(path)) {
        case PostcodeFileReader::OpenResult::Opened:
            break;
        case PostcodeFileReader::OpenResult::NotFound:
            data_problem_ = QStringLiteral(
                                "The postcode file %1 is missing: lists cannot be "
                                "checked without it. Reinstall Korvallestin.")
                                .arg(FromUtf8(path));
            return;
        case PostcodeFileReader::OpenResult::OtherFailure:
            data_problem_ =
                QStringLiteral(
                    "Cannot open the postcode file %1: %2 Lists cannot be "
                    "checked without it.")
                    .arg(FromUtf8(path), FromUtf8(DescribeFailure(reader.LastFailure())));
            return;
    }
    std::string error;
    if (!ReadLocalityIndex(reader, path, index_, error)) {
        data_problem_ = FromUtf8(error) + QStringLiteral(" Lists cannot be checked without it.");
    }
}

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
    cmdFixAll_ = new QPushButton(QStringLiteral("&Fix all sure rows"), client);
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

void frmListCheck::OpenFromMenu() {
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open a list"), QFileInfo(list_path_).absolutePath(),
        QStringLiteral("Lists (*.csv *.txt);;All files (*)"));
    if (!path.isEmpty()) {
        OpenList(path);
    }
}

bool frmListCheck::OpenList(const QString& path) {
    if (!data_problem_.isEmpty()) {
        QMessageBox::warning(this, kTitle, data_problem_);
        return false;
    }
    if (!MayDropChanges()) {
        return false;
    }
    if (Loading()) {
        list_->Cancel();
        load_timer_.stop();
    }
    model_->Reset();
    read_whole_ = false;
    filter_chosen_ = false;
    lblSummary_->clear();
    std::string error;
    if (!list_->Open(path.toStdString(), error)) {
        list_path_.clear();
        setWindowTitle(kTitle);
        lblColumns_->clear();
        UpdateActions();
        QMessageBox::warning(this, kTitle, FromUtf8(error));
        return false;
    }
    list_path_ = path;
    setWindowTitle(QStringLiteral("%1 - %2").arg(FileName(path), kTitle));
    // Every row shows while the list loads; when it has been read, the rows
    // to fix alone, unless another filter was chosen meanwhile.
    cboFilter_->setCurrentIndex(1);
    model_->Order().SetFilter(FilterChoices()[1]);
    lblColumns_->setText(QStringLiteral("Reading %1...").arg(FileName(path)));
    sbText_->clear();
    prgLoad_->setValue(0);
    lblRate_->clear();
    for (QWidget* w : std::initializer_list<QWidget*>{prgLoad_, lblRate_, cmdCancel_}) {
        w->show();
    }
    batch_ = 256;
    load_clock_.start();
    shown_clock_.start();
    load_timer_.start();
    UpdateActions();
    return true;
}

void frmListCheck::LoadStep() {
    QElapsedTimer step;
    step.start();
    const CheckedList::LoadState state = list_->Load(batch_);
    // The next batch sized so that a step takes about kStepNanos, growing
    // at most twofold a step.
    const auto took = static_cast<double>(std::max<qint64>(step.nsecsElapsed(), 1));
    const double scale = std::min(kStepNanos / took, 2.0);
    batch_ = std::clamp(static_cast<std::size_t>(static_cast<double>(batch_) * scale),
                        kSmallestBatch, kLargestBatch);
    prgLoad_->setValue(static_cast<int>(list_->LoadedFraction() * kProgressSteps));
    switch (state) {
        case CheckedList::LoadState::More:
            if (shown_clock_.elapsed() >= kFrameMillis) {
                shown_clock_.restart();
                model_->ShowPendingRows();
                const double seconds = static_cast<double>(load_clock_.elapsed()) / 1000;
                if (seconds > 0 && list_->RowCount() > 0) {
                    const QLocale locale;
                    lblRate_->setText(
                        QStringLiteral("%1 rows, %2 a second")
                            .arg(locale.toString(static_cast<qulonglong>(list_->RowCount())),
                                 locale.toString(static_cast<qulonglong>(
                                     static_cast<double>(list_->RowCount()) / seconds))));
                }
            }
            break;
        case CheckedList::LoadState::NeedColumns:
            load_timer_.stop();
            if (AskColumns()) {
                load_timer_.start();
            } else {
                list_->Cancel();
                LoadEnded(CheckedList::LoadState::Cancelled);
            }
            break;
        default:
            LoadEnded(state);
            break;
    }
    if (step_observer_) {
        step_observer_();
    }
}

bool frmListCheck::AskColumns() {
    model_->ShowColumns();
    ColumnDialog dialog(*list_, this);
    return dialog.exec() == QDialog::Accepted;
}

void frmListCheck::CancelLoad() {
    if (!Loading()) {
        return;
    }
    list_->Cancel();
    LoadEnded(CheckedList::LoadState::Cancelled);
}

void frmListCheck::LoadEnded(CheckedList::LoadState state) {
    load_timer_.stop();
    for (QWidget* w : std::initializer_list<QWidget*>{prgLoad_, lblRate_, cmdCancel_}) {
        w->hide();
    }
    read_whole_ = state == CheckedList::LoadState::Done;
    model_->SetEditable(read_whole_);
    const std::string found = list_->ColumnsFoundText();
    lblColumns_->setText(found.empty() ? FromUtf8(DescribeColumns(list_->Columns()))
                                       : FromUtf8(found));
    if (read_whole_ && !filter_chosen_ && HasProblems(list_->Counts())) {
        cboFilter_->setCurrentIndex(0);
        model_->Order().SetFilter(FilterChoices()[0]);
        model_->Reorder();
    } else if (model_->Order().SortColumn() != RowOrder::kListOrder) {
        model_->Reorder();  // rows read after the sort was chosen take their places
    } else {
        model_->ShowPendingRows();
    }
    // Sized by the rows on view (Qt looks at those alone), so as cheap for a
    // million rows as for ten.
    tblRows_->SizeColumnsToContents();
    ShowSummary();
    UpdateActions();
    if (state == CheckedList::LoadState::Cancelled) {
        sbText_->setText(QStringLiteral("Stopped after %1 rows: the list was not read whole, so "
                                        "it cannot be changed or saved.")
                             .arg(list_->RowCount()));
        Announce(sbText_->text());
    } else if (state == CheckedList::LoadState::Failed) {
        const QString failure = FromUtf8(list_->FailureText());
        sbText_->setText(failure);
        Announce(failure);
        QMessageBox::warning(this, kTitle,
                             QStringLiteral("%1\n\nThe rows before it are shown; the list cannot "
                                            "be changed or saved.")
                                 .arg(failure));
    } else {
        sbText_->clear();
        Announce(lblSummary_->text());
    }
}

// --- The view ----------------------------------------------------------------

void frmListCheck::FilterChosen(int choice) {
    const std::vector<RowFilter> choices = FilterChoices();
    if (choice < 0 || static_cast<std::size_t>(choice) >= choices.size()) {
        return;
    }
    model_->Order().SetFilter(choices[static_cast<std::size_t>(choice)]);
    model_->Reorder();
    Announce(QStringLiteral("%1 rows shown.").arg(model_->rowCount()));
}

void frmListCheck::ColumnClicked(int header) {
    const int column = header - 1;
    RowOrder& order = model_->Order();
    // The sort column clicked again turns about; another keeps the direction.
    const bool descending = column == order.SortColumn() ? !order.Descending() : order.Descending();
    order.SetSort(column, descending);
    model_->Reorder();
    Announce(QStringLiteral("Sorted by %1, %2.")
                 .arg(model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(),
                      descending ? QStringLiteral("descending") : QStringLiteral("ascending")));
}

void frmListCheck::ShowSummary() {
    if (list_->RowCount() == 0 && !read_whole_) {
        lblSummary_->clear();
        return;
    }
    QString summary = FromUtf8(list_->SummaryText());
    while (summary.endsWith(QLatin1Char('\n'))) {
        summary.chop(1);
    }
    lblSummary_->setText(summary);
}

void frmListCheck::Announce(const QString& text) {
    accNotice_->Announce(text.toStdString());
}

// --- Changes -----------------------------------------------------------------

bool frmListCheck::OfferSuggestions(int position, QAction* copy) {
    std::vector<Place> places;
    if (read_whole_ && position >= 0 && position < model_->rowCount()) {
        places = list_->Suggestions(model_->ListRow(position));
    }
    if (places.empty() && copy == nullptr) {
        return false;
    }
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuSuggestions"));
    menu.setAccessibleName(QStringLiteral("Suggestions"));
    for (std::size_t i = 0; i < places.size(); ++i) {
        QAction* action = menu.addAction(FromUtf8(places[i].Text()));
        action->setData(static_cast<qulonglong>(i));
    }
    if (copy != nullptr) {
        if (!places.empty()) {
            menu.addSeparator();
        }
        menu.addAction(copy);
    }
    const QRect cell = tblRows_->visualRect(model_->index(position, 0));
    const QAction* chosen =
        menu.exec(tblRows_->viewport()->mapToGlobal(cell.isValid() ? cell.bottomLeft() : QPoint()));
    if (chosen != nullptr && chosen != copy) {
        ApplySuggestion(position, static_cast<std::size_t>(chosen->data().toULongLong()));
    }
    return !places.empty();
}

void frmListCheck::ApplySuggestion(int position, std::size_t choice) {
    const std::size_t row = model_->ListRow(position);
    const std::vector<Place> places = list_->Suggestions(row);
    if (!read_whole_ || choice >= places.size()) {
        return;
    }
    list_->ApplySuggestion(row, places[choice]);
    AfterChange(QStringLiteral("Line %1 fixed: %2.")
                    .arg(list_->Line(row))
                    .arg(FromUtf8(places[choice].Text())));
}

void frmListCheck::FixAllSure() {
    if (!read_whole_) {
        return;
    }
    const std::size_t fixed = list_->FixAllSure();
    AfterChange(fixed == 1 ? QStringLiteral("Fixed 1 sure row.")
                           : QStringLiteral("Fixed %1 sure rows.").arg(fixed));
}

void frmListCheck::UndoStep() {
    if (read_whole_ && list_->Undo()) {
        AfterChange(
            QStringLiteral("Undone: %1 rows as they were.").arg(list_->ChangedRows().size()));
    }
}

void frmListCheck::RedoStep() {
    if (read_whole_ && list_->Redo()) {
        AfterChange(
            QStringLiteral("Redone: %1 rows changed again.").arg(list_->ChangedRows().size()));
    }
}

// A changed row stays where it is, even when the filter would now leave it
// out, until the filter or the order is chosen again, as in a spreadsheet:
// a fixed row does not vanish from under the pointer.
void frmListCheck::AfterChange(const QString& announcement) {
    if (!list_->ChangedRows().empty()) {
        model_->RowsChanged();
    }
    ShowSummary();
    UpdateActions();
    sbText_->setText(announcement);
    Announce(announcement);
}

void frmListCheck::UpdateActions() {
    const bool usable = data_problem_.isEmpty();
    actOpen_->setEnabled(usable);
    actSave_->setEnabled(read_whole_);
    actUndo_->setEnabled(read_whole_ && list_->CanUndo());
    actRedo_->setEnabled(read_whole_ && list_->CanRedo());
    actFixAll_->setEnabled(read_whole_);
    cmdFixAll_->setEnabled(read_whole_);
    cboFilter_->setEnabled(usable && !list_path_.isEmpty());
}

// --- Saving and closing ------------------------------------------------------

bool frmListCheck::SaveFromMenu() {
    if (!read_whole_) {
        return false;
    }
    // Qt's own dialog, so that the choice of columns stands in it.
    QFileDialog dialog(this, QStringLiteral("Save checked copy"));
    dialog.setObjectName(QStringLiteral("dlgSave"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Replacing a file is asked about once, in SaveTo.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Lists (*.csv)"), QStringLiteral("All files (*)")});
    const QString proposed = FromUtf8(list_->CheckedCopyName());
    dialog.setDirectory(QFileInfo(proposed).absolutePath());
    dialog.selectFile(QFileInfo(proposed).fileName());
    auto* bare = new QCheckBox(QStringLiteral("&Without the check columns"), &dialog);
    bare->setObjectName(QStringLiteral("chkWithoutCheckColumns"));
    bare->setAccessibleDescription(
        QStringLiteral("Saves the list's own columns alone, without the verdict and suggestion"));
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
        grid->addWidget(bare, grid->rowCount(), 0, 1, grid->columnCount());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    return SaveTo(dialog.selectedFiles().constFirst(), !bare->isChecked());
}

bool frmListCheck::SaveTo(const QString& path, bool check_columns) {
    const QFileInfo target(path);
    if (target.exists()) {
        const bool is_list = target == QFileInfo(list_path_);
        const QString question =
            is_list ? QStringLiteral(
                          "%1 is the list itself. Replace it with the checked list? "
                          "What it holds now will be lost.")
                    : QStringLiteral("%1 already exists. Replace it?");
        if (QMessageBox::question(this, kTitle, question.arg(target.fileName()),
                                  QMessageBox::Yes | QMessageBox::No,
                                  QMessageBox::No) != QMessageBox::Yes) {
            return false;
        }
    }
    std::string error;
    if (!list_->Save(path.toStdString(), check_columns, error)) {
        QMessageBox::warning(this, kTitle, FromUtf8(error));
        return false;
    }
    sbText_->setText(QStringLiteral("Saved %1.").arg(target.fileName()));
    Announce(sbText_->text());
    UpdateActions();
    return true;
}

bool frmListCheck::MayDropChanges() {
    if (!read_whole_ || !list_->Modified()) {
        return true;
    }
    QMessageBox box(QMessageBox::Question, kTitle,
                    QStringLiteral("%1 has fixes that are not saved. Save a checked copy?")
                        .arg(FileName(list_path_)),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
    box.setObjectName(QStringLiteral("msgUnsaved"));
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
        case QMessageBox::Save:
            return SaveFromMenu();
        case QMessageBox::Discard:
            return true;
        default:
            return false;
    }
}

void frmListCheck::closeEvent(QCloseEvent* event) {
    if (!MayDropChanges()) {
        event->ignore();
        return;
    }
    if (Loading()) {
        list_->Cancel();
        load_timer_.stop();
    }
    event->accept();
}

namespace {

QString DroppedFile(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty()) {
        return {};
    }
    const QUrl& url = data->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

}  // namespace

void frmListCheck::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void frmListCheck::dropEvent(QDropEvent* event) {
    const QString path = DroppedFile(event->mimeData());
    if (!path.isEmpty()) {
        event->acceptProposedAction();
        OpenList(path);
    }
}

}  // namespace korvallestin
