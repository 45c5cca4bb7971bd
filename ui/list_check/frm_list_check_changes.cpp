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
#include <QTimer>
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

// Changing the list in the List Check window (suggestions, sure fixes, undo
// and redo), saving it, and what closing and dropping a file do.

namespace korvallestin {

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
    // The first place is the current item when the menu opens, so that Enter
    // takes it at once and a screen reader reads it, as a keyboard user
    // expects of a menu opened from the keyboard.
    QAction* first = menu.actions().constFirst();
    connect(&menu, &QMenu::aboutToShow, &menu, [&menu, first] {
        // Set once the menu is up: opening it clears the current item.
        QTimer::singleShot(0, &menu, [&menu, first] { menu.setActiveAction(first); });
    });
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
        const std::size_t rows = list_->ChangedRows().size();
        AfterChange(rows == 1 ? QStringLiteral("Undone: 1 row as it was.")
                              : QStringLiteral("Undone: %1 rows as they were.").arg(rows));
    }
}

void frmListCheck::RedoStep() {
    if (read_whole_ && list_->Redo()) {
        const std::size_t rows = list_->ChangedRows().size();
        AfterChange(rows == 1 ? QStringLiteral("Redone: 1 row changed again.")
                              : QStringLiteral("Redone: %1 rows changed again.").arg(rows));
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
