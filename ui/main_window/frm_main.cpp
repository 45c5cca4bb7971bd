#include "frm_main.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>

#include <chrono>
#include <cstdint>
#include <limits>

#include "accessible_notice.h"
#include "animation_control.h"
#include "button_keys.h"
#include "control_adapters.h"
#include "display_adapters.h"
#include "frm_about.h"
#include "frm_main_roles.h"
#include "key_filter.h"
#include "matching.h"
#include "result_columns.h"
#include "results_table_view.h"
#include "twips.h"
#include "window_font.h"
#include "window_geometry.h"
#include "window_system.h"

namespace korvallestin {

namespace {

// The client area as laid out, in twips.
constexpr double kClientWidth = 8670;
constexpr double kClientHeight = 5175;

}  // namespace

frmMain::frmMain(const QString& program_folder) {
    dpi_ = logicalDpiY() > 0 ? logicalDpiY() : 96;
    BuildControls();
    clock_ = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    announcements_ =
        std::make_unique<SearchAnnouncements>(*accNotice_, [this] { return clock_(); });
    roles_ = std::make_unique<Roles>(*this, program_folder);
    run_ = std::make_unique<SearchRun>(roles_->ForRun());
    long_run_timer_.setSingleShot(true);
    long_run_timer_.setTimerType(Qt::PreciseTimer);
    connect(&long_run_timer_, &QTimer::timeout, this, [this] { WatchForLongRun(); });

    Form_Load();
    txtLocality_->setFocus();
}

frmMain::~frmMain() = default;

const WindowGeometryAdapter& frmMain::Geometry() const {
    return roles_->geometry;
}

void frmMain::SetYieldObserver(std::function<void()> observer) {
    roles_->events.SetObserver(std::move(observer));
}

int frmMain::Px(double twips) const {
    return TwipsToPixels(twips, dpi_);
}

void frmMain::BuildControls() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Korvallestin"));
    QIcon icon;
    icon.addFile(QStringLiteral(":/pictures/korvallestin-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/pictures/korvallestin-32.xpm"), QSize(32, 32));
    setWindowIcon(icon);

    setFont(WindowFont(*this));

    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    setCentralWidget(client_);

    auto place = [this](QWidget* w, const char* name, double left, double top, double width,
                        double height) {
        w->setObjectName(QString::fromLatin1(name));
        w->setGeometry(Px(left), Px(top), Px(width), Px(height));
    };

    tbsTabStrip_ = new QTabWidget(client_);
    tbsTabStrip_->addTab(new QWidget, QStringLiteral("Locality or Postcode"));
    tbsTabStrip_->setFocusPolicy(Qt::NoFocus);
    tbsTabStrip_->tabBar()->setFocusPolicy(Qt::NoFocus);
    place(tbsTabStrip_, "tbsTabStrip", 120, 120, 7095, 2535);

    // The criteria panel lies over the tab strip's page.
    pcbTab1_ = new QWidget(client_);
    place(pcbTab1_, "pcbTab1", 240, 480, 6855, 2055);

    auto* label1 = new QLabel(QStringLiteral("Locality:"), pcbTab1_);
    place(label1, "Label1", 0, 240, 735, 255);
    auto* label2 = new QLabel(QStringLiteral("State:"), pcbTab1_);
    place(label2, "Label2", 0, 720, 975, 255);
    auto* label3 = new QLabel(QStringLiteral("Postcode:"), pcbTab1_);
    place(label3, "Label3", 0, 1200, 975, 255);

    cboSearchType_ = new QComboBox(pcbTab1_);
    cboSearchType_->addItems({QStringLiteral("begins with"), QStringLiteral("contains")});
    place(cboSearchType_, "cboSearchType", 960, 240, 1215, 315);

    txtLocality_ = new QLineEdit(pcbTab1_);
    txtLocality_->setMaxLength(std::numeric_limits<int>::max());
    place(txtLocality_, "txtLocality", 2280, 240, 4455, 315);

    // The state box holds exactly what was typed: no completion, and Enter
    // never adds the text to the list.
    cboState_ = new QComboBox(pcbTab1_);
    cboState_->setEditable(true);
    cboState_->setCompleter(nullptr);
    cboState_->setInsertPolicy(QComboBox::NoInsert);
    cboState_->addItems({"ACT", "NSW", "NT", "QLD", "SA", "TAS", "VIC", "WA"});
    cboState_->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    place(cboState_, "cboState", 960, 720, 1215, 315);

    txtPostCode_ = new QLineEdit(pcbTab1_);
    txtPostCode_->setMaxLength(std::numeric_limits<int>::max());
    place(txtPostCode_, "txtPostCode", 960, 1200, 1215, 315);

    cmdFind_ = new QPushButton(QStringLiteral("F&ind Now"), client_);
    place(cmdFind_, "cmdFind", 7320, 480, 1215, 375);
    cmdStop_ = new QPushButton(QStringLiteral("Sto&p"), client_);
    place(cmdStop_, "cmdStop", 7320, 960, 1215, 375);
    cmdStop_->setEnabled(false);
    cmdNew_ = new QPushButton(QStringLiteral("Ne&w Search"), client_);
    place(cmdNew_, "cmdNew", 7320, 1440, 1215, 375);
    // Enter on a focused button clicks that button; elsewhere it clicks
    // "F&ind Now" (see keyPressEvent), the only default button.
    for (QPushButton* b : {cmdFind_, cmdStop_, cmdNew_}) {
        EnterClicksButton(b);
    }
    cmdFind_->setDefault(true);

    aniSearch_ = new AnimationControl(client_);
    aniSearch_->setFocusPolicy(Qt::NoFocus);
    place(aniSearch_, "aniSearch", 7320, 1920, 1215, 735);

    imgHelp_ = new QLabel(client_);
    imgHelp_->setPixmap(QPixmap(QStringLiteral(":/pictures/help-16.xpm")));
    imgHelp_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgHelp_->setToolTip(QStringLiteral("About/Help"));
    imgHelp_->setCursor(Qt::PointingHandCursor);
    imgHelp_->installEventFilter(this);
    place(imgHelp_, "imgHelp", 8280, 120, 240, 240);

    lvwResults_ = std::make_unique<ResultsTableView>(client_);
    lvwResults_->setModel(&model_);
    place(lvwResults_.get(), "lvwResults", 0, 2760, 8655, 2055);
    connect(lvwResults_.get(), &ResultsTableView::ColumnClick, this,
            [this](int header) { lvwResults_ColumnClick(header); });

    sbBar_ = new QStatusBar(this);
    sbBar_->setObjectName(QStringLiteral("sbBar"));
    sbBar_->setSizeGripEnabled(true);
    sbText_ = new QLabel(sbBar_);
    sbText_->setObjectName(QStringLiteral("sbBarText"));
    sbBar_->addWidget(sbText_, 1);
    sbBar_->setFixedHeight(Px(375));
    setStatusBar(sbBar_);
    accNotice_ = new AccessibleNotice(client_);

    LoadSortMarks(ilSortIcons_, *lvwResults_, HighContrastThemeOn());

    // Names for assistive technology: the labels name their boxes, the
    // buttons are named by their captions.
    label1->setBuddy(txtLocality_);
    label2->setBuddy(cboState_);
    label3->setBuddy(txtPostCode_);
    // A drop-down list is announced by its value where the desktop names it
    // so (Linux); where it is named by its name (Windows), it is "Search
    // type". The description says what it chooses.
    cboSearchType_->setAccessibleName(QStringLiteral("Search type"));
    cboSearchType_->setAccessibleDescription(QStringLiteral("How the locality is matched"));
    aniSearch_->setAccessibleName(QStringLiteral("Search animation"));
    imgHelp_->setAccessibleName(QStringLiteral("About/Help"));
    imgHelp_->setAccessibleDescription(QStringLiteral("Opens the About window; press F1"));
    lvwResults_->setAccessibleName(QStringLiteral("Results"));
    sbBar_->setAccessibleName(QStringLiteral("Status"));
    // F1 opens the About window for those who do not use a mouse.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { imgHelp_Click(); });

    // Tab order by tab index; the labels, the tab strip, the animation, the
    // help icon and the status bar take no focus.
    QWidget* order[] = {txtLocality_, cboSearchType_, cboState_, txtPostCode_,
                        cmdFind_,     cmdStop_,       cmdNew_,   lvwResults_.get()};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        setTabOrder(order[i], order[i + 1]);
    }

    txtLocality_->installEventFilter(this);
    // An editable combo box hands its keys to its edit field directly, so the
    // filter watches both.
    cboState_->installEventFilter(this);
    cboState_->lineEdit()->installEventFilter(this);
    txtPostCode_->installEventFilter(this);

    connect(cmdFind_, &QPushButton::clicked, this, [this] { cmdFind_Click(); });
    connect(cmdStop_, &QPushButton::clicked, this, [this] { cmdStop_Click(); });
    connect(cmdNew_, &QPushButton::clicked, this, [this] { cmdNew_Click(); });

    // The client area as laid out; the start-up routine then sets the height.
    resize(Px(kClientWidth), Px(kClientHeight));
}

void frmMain::Form_Load() {
    // A clip that cannot be opened disables the animation, silently and for
    // the rest of the program's life.
    if (!aniSearch_->Open(roles_->program.Folder() + QStringLiteral("/Findfile.avi"))) {
        aniSearch_->setEnabled(false);
    }
    roles_->status_bar.SetVisible(false);
    roles_->geometry.SetOuterHeight(kCompactHeight);
    cboSearchType_->setCurrentIndex(cboSearchType_->findText(QStringLiteral("begins with")));
    txtLocality_->clear();
    cboState_->setCurrentIndex(-1);
    cboState_->setEditText(QString());
    txtPostCode_->clear();
    model_.SetHeaderImages(&ilSortIcons_);
    SetResultColumns(model_, *lvwResults_, dpi_);
    roles_->results.ClearRows();
}

// --- Buttons, help icon and column headers ----------------------------------

void frmMain::cmdFind_Click() {
    announcements_->RunStarted();
    WatchForLongRun();
    run_->cmdFind_Click();
    long_run_timer_.stop();
    // However the run ended, the list and the count show all it found.
    roles_->updates.FlushNow();
    announcements_->RunEnded(sbText_->text().toStdString());
}

// The run turns to its events while it reads, so the timer fires during it.
void frmMain::WatchForLongRun() {
    const std::int64_t left_ms = announcements_->Tick();
    if (left_ms > 0) {
        long_run_timer_.start(static_cast<int>(left_ms));
    }
}

void frmMain::cmdStop_Click() {
    run_->cmdStop_Click();
}

void frmMain::cmdNew_Click() {
    announcements_->RunAbandoned();
    // The list, where the focus may be, is about to go out of sight. The
    // focus moves first: a screen reader that hears of the emptied boxes
    // before the focus moves takes the move for no move at all.
    txtLocality_->setFocus(Qt::OtherFocusReason);
    run_->cmdNew_Click();
}

void frmMain::imgHelp_Click() {
    frmAbout about(this);
    about.exec();
}

void frmMain::lvwResults_ColumnClick(int header) {
    korvallestin::lvwResults_ColumnClick(model_, header);
    announcements_->SortChanged(model_.HeaderText(model_.SortKey() + 1), model_.SortOrder());
}

// --- Keyboard ----------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txtLocality_) {
            return FilterTypedKey(*txtLocality_, &txtLocality_KeyPress, *key);
        }
        if (watched == cboState_ || watched == cboState_->lineEdit()) {
            return FilterTypedKey(*cboState_->lineEdit(), &cboState_KeyPress, *key);
        }
        if (watched == txtPostCode_) {
            return FilterTypedKey(*txtPostCode_, &txtPostCode_KeyPress, *key);
        }
    }
    if (watched == imgHelp_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        imgHelp_->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
        imgHelp_Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::keyPressEvent(QKeyEvent* event) {
    // Enter that no control took (a focused button takes it itself) clicks
    // the default button while it is enabled.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (cmdFind_->isEnabled()) {
            cmdFind_->click();
        }
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    run_->Form_Unload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

// --- Geometry ----------------------------------------------------------------

void frmMain::Form_Resize() {
    korvallestin::Form_Resize(roles_->geometry);
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // While the controls are still being built there is nothing to place.
    if (roles_) {
        Form_Resize();
    }
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from maximised, minimised or full screen, the window takes the
    // limits of its shape that waited meanwhile.
    if (event->type() == QEvent::WindowStateChange && roles_) {
        roles_->geometry.ApplyShape();
    }
}

}  // namespace korvallestin
