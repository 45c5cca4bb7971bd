#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "search/search_run.h"
#include "search/search_window.h"
#include "ui/main_window/form_resize.h"
#include "ui/main_window/result_list_model.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace korvallestin {

class AnimationControl;
class ResultsView;

// The search window. It holds the criteria, the three command buttons, the
// search animation, the help icon, the results list and the status bar, and
// lends them to the search run and to the resize rules through their small
// interfaces. Every control carries its name as its objectName.
class frmMain final : public QMainWindow,
                      public TopLevelWindow,
                      public StatusBar,
                      public ResultList,
                      public Animation,
                      public CriteriaControls,
                      public MessageBox,
                      public EventQueue,
                      public ProgramLocation,
                      public StartupRoutine,
                      public ResizableWindow {
    Q_OBJECT

  public:
    // `program_folder` is where the data file and the clip are looked for;
    // empty means the folder of the program's own executable file.
    explicit frmMain(const QString& program_folder = {});
    ~frmMain() override;

    // Event handlers.
    void Form_Load() override;
    void imgHelp_Click();
    void lvwResults_ColumnClick(int header);
    void cmdFind_Click();
    void cmdStop_Click();
    void cmdNew_Click();

    ResultListModel& Results() { return model_; }
    // Called on every turn the search gives the window (for measuring).
    void SetYieldObserver(std::function<void()> observer) { yield_observer_ = std::move(observer); }

    // TopLevelWindow, ResizableWindow.
    void SetOuterHeight(float twips) override;
    float OuterWidth() const override;
    float OuterHeight() const override;
    void SetOuterWidth(float twips) override;
    bool StatusBarVisible() const override;
    void SetControlLeft(ResizedControl control, float twips) override;
    void SetControlWidth(ResizedControl control, float twips) override;
    void SetControlHeight(ResizedControl control, float twips) override;
    // StatusBar.
    void SetVisible(bool visible) override;
    void SetSimpleText(const std::string& text) override;
    // ResultList.
    void ClearRows() override;
    void AddRow(const PostcodeRecord& record) override;
    void Refresh() override;
    // Animation.
    bool IsEnabled() const override;
    void Play() override;
    void Stop() override;
    // CriteriaControls.
    std::string PostCodeText() const override;
    std::string StateText() const override;
    std::string LocalityText() const override;
    int SearchTypeIndex() const override;
    // MessageBox, EventQueue, ProgramLocation.
    void ShowExclamation(const std::string& text, const std::string& title) override;
    void Yield() override;
    std::string ProgramFolder() const override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    class Button;

    void BuildControls();
    bool FilterKey(QLineEdit* box, int (*filter)(int), QKeyEvent* event);
    QWidget* Control(ResizedControl control) const;
    bool RefusesSize() const;
    void ApplySizeLimits();
    int Px(double twips) const;
    void ScheduleFlush();
    void FlushNow();

    QString program_folder_;
    double dpi_ = 96;
    // The last size set in twips, so that reading it back gives exactly
    // that value while the window still has the pixel size it produced.
    float width_twips_ = -1;
    float height_twips_ = -1;

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
    ResultListModel model_;
    HeaderImageList ilSortIcons_;

    // Repaints are coalesced to one per display frame.
    QTimer flush_timer_;
    QElapsedTimer since_flush_;
    qint64 flush_interval_ms_ = 16;
    QString status_text_;

    std::function<void()> yield_observer_;
    std::unique_ptr<Button> find_button_;
    std::unique_ptr<Button> stop_button_;
    std::unique_ptr<SearchRun> run_;
};

}  // namespace korvallestin
