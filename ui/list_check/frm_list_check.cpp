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

namespace korvallestin {

namespace {

// A step of loading takes about this long, well inside a display frame, so
// that the window answers input between steps.
constexpr double kStepNanos = 12e6;
constexpr std::size_t kSmallestBatch = 16;
constexpr std::size_t kLargestBatch = std::size_t{1} << 18;
// The view hears of new rows at most this often while a list loads.
constexpr qint64 kFrameMillis = 16;

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

}  // namespace korvallestin
