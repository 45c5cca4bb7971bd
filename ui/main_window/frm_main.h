#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "results_item_model.h"
#include "search_announcements.h"
#include "search_run.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace korvallestin {

class AccessibleNotice;
class AnimationControl;
class ResultsTableView;
class WindowGeometryAdapter;

// The search window. It holds the criteria, the three command buttons, the
// search animation, the help icon, the results list and the status bar, and
// lends them to the search run and to the resize rules through small
// adapters, one per role. Every control carries its name as its objectName.
class frmMain final : public QMainWindow {
    Q_OBJECT

  public:
    // `program_folder` is where the data file and the clip are looked for;
    // empty means the folder of the program's own executable file.
    explicit frmMain(const QString& program_folder = {});
    ~frmMain() override;

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void imgHelp_Click();
    void lvwResults_ColumnClick(int header);
    void cmdFind_Click();
    void cmdStop_Click();
    void cmdNew_Click();

    ResultsItemModel& Results() { return model_; }
    // The window's size and its controls' places as the resize rules see them.
    const WindowGeometryAdapter& Geometry() const;
    // Called on every yield of a search, whether or not it looks at the
    // event queue (for measuring).
    void SetYieldObserver(std::function<void()> observer);
    // The clock that paces what screen readers hear of a run.
    void SetAnnouncementClock(SearchAnnouncements::Clock clock) { clock_ = std::move(clock); }
    // Where screen readers hear of a run and of a new order.
    const AccessibleNotice& Notice() const { return *accNotice_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Roles;

    void BuildControls();
    // Lets the announcements speak the start of a run that lasts, and sets
    // the timer for the moment it may.
    void WatchForLongRun();
    int Px(double twips) const;

    double dpi_ = 96;

    // The controls, children of the window. QWidget's destructor deletes
    // them, and it runs after every member of this class is destroyed: they
    // outlive the adapters, the announcements and the run below, which use
    // them. The results list is the one exception (see below).
    QWidget* client_ = nullptr;
    QTabWidget* tbsTabStrip_ = nullptr;
    QWidget* pcbTab1_ = nullptr;
    QComboBox* cboSearchType_ = nullptr;
    QComboBox* cboState_ = nullptr;
    QLineEdit* txtLocality_ = nullptr;
    QLineEdit* txtPostCode_ = nullptr;
    QPushButton* cmdFind_ = nullptr;
    QPushButton* cmdStop_ = nullptr;
    QPushButton* cmdNew_ = nullptr;
    AnimationControl* aniSearch_ = nullptr;
    QLabel* imgHelp_ = nullptr;
    QStatusBar* sbBar_ = nullptr;
    QLabel* sbText_ = nullptr;
    AccessibleNotice* accNotice_ = nullptr;

    // Members are destroyed in the reverse order of their declaration, so
    // each is declared before what uses it: the sort marks before the model
    // that points at them, the model before the results list that shows it,
    // the clock before the announcements that read it, and all of these
    // before the adapters and the run. The results list is owned here rather
    // than left to QWidget's destructor, which would delete it only after
    // its model; deleting a child widget takes it out of its parent.
    HeaderImageList ilSortIcons_;
    ResultsItemModel model_;
    std::unique_ptr<ResultsTableView> lvwResults_;

    SearchAnnouncements::Clock clock_;
    std::unique_ptr<SearchAnnouncements> announcements_;
    std::unique_ptr<Roles> roles_;
    std::unique_ptr<SearchRun> run_;
    // Wakes the announcements when a run may have become a long one.
    QTimer long_run_timer_;
};

}  // namespace korvallestin
