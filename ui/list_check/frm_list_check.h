#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <memory>

#include "checked_list.h"
#include "list_check_model.h"
#include "locality_index.h"
#include "results_item_model.h"

class QAction;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace korvallestin {

class AccessibleNotice;
class ResultsTableView;

// The List Check window: opens an address list, checks it a step at a time
// from the event loop (a progress bar, rows per second, Cancel), shows its
// rows with their verdicts and suggestions, lets them be fixed (a suggestion,
// the sure fixes, a cell typed by hand; each step undone and redone) and
// saves a checked copy. Every control carries its name as its objectName.
class frmListCheck final : public QMainWindow {
    Q_OBJECT

  public:
    // `program_folder` is where postcodes.csv is looked for; empty means the
    // folder of the program's own executable file.
    explicit frmListCheck(const QString& program_folder = {});
    ~frmListCheck() override;

    // Opens a list and starts checking it (asking first about unsaved
    // changes); false when it was not opened.
    bool OpenList(const QString& path);
    // Writes the list to `path`, confirming first when that is the list
    // itself; false, with the reason shown, when it was not written.
    bool SaveTo(const QString& path, bool check_columns);

    // The menu commands.
    void OpenFromMenu();
    // True when a copy was written.
    bool SaveFromMenu();
    void FixAllSure();
    void UndoStep();
    void RedoStep();
    void CancelLoad();
    // Offers the suggestions of the row shown at `position` in a menu, with
    // `copy` after them when given; false when the row has none.
    bool OfferSuggestions(int position, QAction* copy = nullptr);
    // Puts the row's `choice`th suggestion into it.
    void ApplySuggestion(int position, std::size_t choice);

    bool Loading() const { return load_timer_.isActive(); }
    // The postcode file could not be read; the sentence says why.
    const QString& DataProblem() const { return data_problem_; }
    CheckedList& List() { return *list_; }
    ListCheckModel& Model() { return *model_; }
    const AccessibleNotice& Notice() const { return *accNotice_; }
    // Called after every step of loading (for measuring).
    void SetStepObserver(std::function<void()> observer) { step_observer_ = std::move(observer); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildControls();
    void BuildMenus();
    void LoadIndex(const QString& program_folder);
    void LoadStep();
    void LoadEnded(CheckedList::LoadState state);
    bool AskColumns();
    // Save, Discard or Cancel when the list has unsaved changes: false on Cancel.
    bool MayDropChanges();
    void FilterChosen(int choice);
    void ColumnClicked(int header);
    void AfterChange(const QString& announcement);
    void UpdateActions();
    void ShowSummary();
    void Announce(const QString& text);

    LocalityIndex index_;
    QString data_problem_;
    std::unique_ptr<CheckedList> list_;
    QString list_path_;
    bool read_whole_ = false;  // loaded to its end: it can be changed and saved
    bool filter_chosen_ = false;

    // Loading: a zero timer calls LoadStep, each step sized to take about
    // kStepMillis; the view hears of new rows at most once per frame.
    QTimer load_timer_;
    QElapsedTimer load_clock_;
    QElapsedTimer shown_clock_;
    std::size_t batch_ = 256;
    std::function<void()> step_observer_;

    // The controls, children of the window.
    QLabel* lblColumns_ = nullptr;
    QComboBox* cboFilter_ = nullptr;
    QPushButton* cmdFixAll_ = nullptr;
    QLabel* lblSummary_ = nullptr;
    QProgressBar* prgLoad_ = nullptr;
    QLabel* lblRate_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QLabel* sbText_ = nullptr;
    AccessibleNotice* accNotice_ = nullptr;
    QAction* actOpen_ = nullptr;
    QAction* actSave_ = nullptr;
    QAction* actUndo_ = nullptr;
    QAction* actRedo_ = nullptr;
    QAction* actFixAll_ = nullptr;

    // The sort marks before the model that points at them, the model before
    // the table that shows it (owned here, so that it goes first).
    HeaderImageList ilSortIcons_;
    std::unique_ptr<ListCheckModel> model_;
    std::unique_ptr<ResultsTableView> tblRows_;
};

}  // namespace korvallestin
