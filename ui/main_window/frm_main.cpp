#include "ui/main_window/frm_main.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFont>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QWindow>

#include <algorithm>
#include <limits>

#include "postcode/matching.h"
#include "ui/about_window/frm_about.h"
#include "ui/common/window_font.h"
#include "ui/main_window/animation/animation_control.h"
#include "ui/main_window/display_text.h"
#include "ui/main_window/layout_frame.h"
#include "ui/main_window/results_view.h"
#include "ui/main_window/twips.h"

namespace korvallestin {

namespace {

// The client area as laid out, in twips.
constexpr double kClientWidth = 8670;
constexpr double kClientHeight = 5175;

constexpr int kFrameMs = 16;
constexpr int kLongestFrameMs = 64;

struct Column {
    const char* caption;
    double width;  // twips
};
// The last five columns share one default width.
constexpr double kDefaultColumnWidth = 1440;
constexpr Column kColumns[ResultRows::kColumns] = {
    {"Postcode", 900},
    {"Locality", 3000},
    {"State", 600},
    {"Comments", 3000},
    {"Delivery Office", kDefaultColumnWidth},
    {"Presort Indicator", kDefaultColumnWidth},
    {"Parcel Zone", kDefaultColumnWidth},
    {"BSP Number", kDefaultColumnWidth},
    {"BSP Name", kDefaultColumnWidth},
};

std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace

// "F&ind Now" and "Sto&p" as the search run sees them.
class frmMain::Button : public CommandButton {
  public:
    explicit Button(QPushButton* button) : button_(button) {}
    void SetEnabled(bool enabled) override { button_->setEnabled(enabled); }
    bool IsEnabled() const override { return button_->isEnabled(); }

  private:
    QPushButton* button_;
};

frmMain::frmMain(const QString& program_folder)
    : program_folder_(program_folder.isEmpty() ? QCoreApplication::applicationDirPath()
                                               : program_folder) {
    dpi_ = logicalDpiY() > 0 ? logicalDpiY() : 96;
    BuildControls();
    find_button_ = std::make_unique<Button>(cmdFind_);
    stop_button_ = std::make_unique<Button>(cmdStop_);
    run_ =
        std::make_unique<SearchRun>(SearchWindow{*this, *this, *find_button_, *stop_button_, *this,
                                                 *this, *this, *this, *this, *this, *this});
    flush_timer_.setSingleShot(true);
    connect(&flush_timer_, &QTimer::timeout, this, [this] { FlushNow(); });

    Form_Load();
    txtLocality_->setFocus();
}

frmMain::~frmMain() = default;

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
    // "F&ind Now" (see keyPressEvent).
    for (QPushButton* b : {cmdFind_, cmdStop_, cmdNew_}) {
        b->setAutoDefault(true);
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

    lvwResults_ = new ResultsView(client_);
    lvwResults_->setModel(&model_);
    place(lvwResults_, "lvwResults", 0, 2760, 8655, 2055);
    connect(lvwResults_, &ResultsView::ColumnClick, this,
            [this](int header) { lvwResults_ColumnClick(header); });

    sbBar_ = new QStatusBar(this);
    sbBar_->setObjectName(QStringLiteral("sbBar"));
    sbBar_->setSizeGripEnabled(true);
    sbText_ = new QLabel(sbBar_);
    sbText_->setObjectName(QStringLiteral("sbBarText"));
    sbBar_->addWidget(sbText_, 1);
    sbBar_->setFixedHeight(Px(375));
    setStatusBar(sbBar_);

    ilSortIcons_.up = QPixmap(QStringLiteral(":/pictures/sort-up.xpm"));
    ilSortIcons_.down = QPixmap(QStringLiteral(":/pictures/sort-down.xpm"));

    // Names for assistive technology: the labels name their boxes, the
    // buttons are named by their captions.
    label1->setBuddy(txtLocality_);
    label2->setBuddy(cboState_);
    label3->setBuddy(txtPostCode_);
    // A drop-down list is announced by its value; the description says what
    // it chooses.
    cboSearchType_->setAccessibleDescription(QStringLiteral("How the locality is matched"));
    aniSearch_->setAccessibleName(QStringLiteral("Search animation"));
    imgHelp_->setAccessibleName(QStringLiteral("About/Help"));
    lvwResults_->setAccessibleName(QStringLiteral("Results"));
    sbBar_->setAccessibleName(QStringLiteral("Status"));
    // F1 opens the About window for those who do not use a mouse.
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { imgHelp_Click(); });

    // Tab order by tab index; the labels, the tab strip, the animation, the
    // help icon and the status bar take no focus.
    QWidget* order[] = {txtLocality_, cboSearchType_, cboState_, txtPostCode_,
                        cmdFind_,     cmdStop_,       cmdNew_,   lvwResults_};
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
    if (!aniSearch_->Open(program_folder_ + QStringLiteral("/Findfile.avi"))) {
        aniSearch_->setEnabled(false);
    }
    SetVisible(false);
    SetOuterHeight(kCompactHeight);
    cboSearchType_->setCurrentIndex(cboSearchType_->findText(QStringLiteral("begins with")));
    txtLocality_->clear();
    cboState_->setCurrentIndex(-1);
    cboState_->setEditText(QString());
    txtPostCode_->clear();
    model_.SetHeaderImages(&ilSortIcons_);
    model_.ClearColumns();
    for (int i = 0; i < ResultRows::kColumns; ++i) {
        model_.AddColumn(QString::fromLatin1(kColumns[i].caption));
        lvwResults_->header()->resizeSection(i, Px(kColumns[i].width));
    }
    ClearRows();
}

// --- Buttons, help icon and column headers ----------------------------------

void frmMain::cmdFind_Click() {
    run_->cmdFind_Click();
    // However the run ended, the list and the count show all it found.
    FlushNow();
}

void frmMain::cmdStop_Click() {
    run_->cmdStop_Click();
}

void frmMain::cmdNew_Click() {
    run_->cmdNew_Click();
}

void frmMain::imgHelp_Click() {
    frmAbout about(this);
    about.exec();
}

void frmMain::lvwResults_ColumnClick(int header) {
    korvallestin::lvwResults_ColumnClick(model_, header);
}

// --- Keyboard ----------------------------------------------------------------

bool frmMain::FilterKey(QLineEdit* box, int (*filter)(int), QKeyEvent* event) {
    // Only typed characters pass the filter: printable ones, backspace, and
    // the paste keys, which type code 22. Editing keys that type nothing, or
    // a control code (Delete, arrows, Ctrl+A, Ctrl+C), work as usual.
    int code = 0;
    if (event->matches(QKeySequence::Paste)) {
        code = 22;
    } else if (event->key() == Qt::Key_Backspace) {
        code = 8;
    } else {
        const QString text = event->text();
        if (text.size() != 1 || (event->modifiers() & Qt::ControlModifier)) {
            return false;
        }
        code = text.at(0).unicode();
        if (code < 32 || code == 127) {
            return false;
        }
    }
    const int result = filter(code);
    if (result == code) {
        return false;  // the box takes the key as it is
    }
    if (result != 0) {
        box->insert(QString(QChar(static_cast<char16_t>(result))));
    }
    return true;  // replaced or discarded
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txtLocality_) {
            return FilterKey(txtLocality_, &txtLocality_KeyPress, key);
        }
        if (watched == cboState_ || watched == cboState_->lineEdit()) {
            return FilterKey(cboState_->lineEdit(), &cboState_KeyPress, key);
        }
        if (watched == txtPostCode_) {
            return FilterKey(txtPostCode_, &txtPostCode_KeyPress, key);
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

bool frmMain::RefusesSize() const {
    return (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) !=
           0;
}

// The outer size is the client area plus the frame the layout was drawn
// for, whatever frame the window system really draws (see layout_frame.h).
float frmMain::OuterWidth() const {
    return width() == ClientWidthPixels(width_twips_, dpi_) ? width_twips_
                                                            : OuterWidthTwips(width(), dpi_);
}

float frmMain::OuterHeight() const {
    return height() == ClientHeightPixels(height_twips_, dpi_) ? height_twips_
                                                               : OuterHeightTwips(height(), dpi_);
}

void frmMain::SetOuterWidth(float twips) {
    if (RefusesSize()) {
        return;
    }
    width_twips_ = twips;
    resize(std::max(1, ClientWidthPixels(twips, dpi_)), height());
}

void frmMain::SetOuterHeight(float twips) {
    if (RefusesSize()) {
        return;
    }
    height_twips_ = twips;
    resize(width(), std::max(1, ClientHeightPixels(twips, dpi_)));
}

bool frmMain::StatusBarVisible() const {
    return !sbBar_->isHidden();
}

void frmMain::ApplySizeLimits() {
    // The window system learns the same limits as the resize rules, so that
    // a border dragged by the user stops at them instead of snapping back.
    setMinimumWidth(MinimumClientWidthPixels(kMinimumWidth, dpi_));
    if (StatusBarVisible()) {
        setMaximumHeight(QWIDGETSIZE_MAX);
        setMinimumHeight(MinimumClientHeightPixels(kMinimumExpandedHeight, dpi_));
    } else {
        const int compact = ClientHeightPixels(kCompactHeight, dpi_);
        setMinimumHeight(compact);
        setMaximumHeight(compact);
    }
}

QWidget* frmMain::Control(ResizedControl control) const {
    switch (control) {
        case ResizedControl::cmdFind:
            return cmdFind_;
        case ResizedControl::cmdStop:
            return cmdStop_;
        case ResizedControl::cmdNew:
            return cmdNew_;
        case ResizedControl::aniSearch:
            return aniSearch_;
        case ResizedControl::imgHelp:
            return imgHelp_;
        case ResizedControl::tbsTabStrip:
            return tbsTabStrip_;
        case ResizedControl::pcbTab1:
            return pcbTab1_;
        case ResizedControl::txtLocality:
            return txtLocality_;
        case ResizedControl::lvwResults:
            return lvwResults_;
    }
    return nullptr;
}

void frmMain::SetControlLeft(ResizedControl control, float twips) {
    QWidget* w = Control(control);
    w->move(Px(twips), w->y());
}

void frmMain::SetControlWidth(ResizedControl control, float twips) {
    QWidget* w = Control(control);
    w->resize(std::max(0, Px(twips)), w->height());
}

void frmMain::SetControlHeight(ResizedControl control, float twips) {
    QWidget* w = Control(control);
    w->resize(w->width(), std::max(0, Px(twips)));
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Form_Resize(*this);
}

// --- Status bar, results list, animation --------------------------------------

void frmMain::SetVisible(bool visible) {
    sbBar_->setVisible(visible);
    ApplySizeLimits();
    // In the compact shape the list lies below the client area: Tab must not
    // lead into it.
    lvwResults_->setFocusPolicy(visible ? Qt::StrongFocus : Qt::NoFocus);
    if (!visible && lvwResults_->hasFocus()) {
        txtLocality_->setFocus();
    }
}

void frmMain::SetSimpleText(const std::string& text) {
    status_text_ = QString::fromStdString(text);
    ScheduleFlush();
}

void frmMain::ClearRows() {
    flush_timer_.stop();
    flush_interval_ms_ = kFrameMs;
    model_.ClearRows();
}

void frmMain::AddRow(const PostcodeRecord& record) {
    model_.AddRow(record);
}

void frmMain::Refresh() {
    ScheduleFlush();
}

void frmMain::ScheduleFlush() {
    // Rows and the count reach the screen at most once per display frame;
    // a timer catches the last change of a quiet stretch.
    if (!since_flush_.isValid() || since_flush_.elapsed() >= flush_interval_ms_) {
        FlushNow();
    } else if (!flush_timer_.isActive()) {
        flush_timer_.start(flush_interval_ms_ - static_cast<int>(since_flush_.elapsed()));
    }
}

void frmMain::FlushNow() {
    flush_timer_.stop();
    QElapsedTimer cost;
    cost.start();
    if (model_.HasPendingRows()) {
        model_.ShowPendingRows();
        lvwResults_->LayoutNow();
    }
    if (sbText_->text() != status_text_) {
        sbText_->setText(status_text_);
    }
    // A long list costs more per frame (the rows already shown move to make
    // room): frames are spaced so that showing rows takes at most about a
    // ninth of the run, but never so far apart that a batch grows large.
    flush_interval_ms_ = std::clamp<qint64>(8 * cost.elapsed(), kFrameMs, kLongestFrameMs);
    since_flush_.restart();
}

bool frmMain::IsEnabled() const {
    return aniSearch_->isEnabled();
}

void frmMain::Play() {
    aniSearch_->Play();
}

void frmMain::Stop() {
    aniSearch_->Stop();
}

// --- Criteria, messages, yield -------------------------------------------------

std::string frmMain::PostCodeText() const {
    return ToUtf8(txtPostCode_->text());
}

std::string frmMain::StateText() const {
    return ToUtf8(cboState_->currentText());
}

std::string frmMain::LocalityText() const {
    return ToUtf8(txtLocality_->text());
}

int frmMain::SearchTypeIndex() const {
    return cboSearchType_->currentIndex();
}

void frmMain::ShowExclamation(const std::string& text, const std::string& title) {
    FlushNow();
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), ForDisplay(text),
                    QMessageBox::Ok, this);
    box.exec();
}

void frmMain::Yield() {
    if (yield_observer_) {
        yield_observer_();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

std::string frmMain::ProgramFolder() const {
    return ToUtf8(program_folder_);
}

}  // namespace korvallestin
