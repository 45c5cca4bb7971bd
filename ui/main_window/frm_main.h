#pragma once

#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "result_list_model.h"
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
class ResultsView;
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

    ResultListModel& Results() { return model_; }
    // The window's size and its controls' places as the resize rules see them.
    const WindowGeometryAdapter& Geometry() const;
    // Called on every turn the search gives the window (for measuring).
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
    ResultsView* lvwResults_ = nullptr;
    QStatusBar* sbBar_ = nullptr;
    QLabel* sbText_ = nullptr;
    AccessibleNotice* accNotice_ = nullptr;
    ResultListModel model_;
    HeaderImageList ilSortIcons_;

    SearchAnnouncements::Clock clock_;
    std::unique_ptr<SearchAnnouncements> announcements_;
    std::unique_ptr<Roles> roles_;
    std::unique_ptr<SearchRun> run_;
    // Wakes the announcements when a run may have become a long one.
    QTimer long_run_timer_;
};

}  // namespace korvallestin
