#include "frm_about.h"

#include <string>
#include <vector>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "twips.h"

namespace korvallestin {
namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    for (auto end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    lines.push_back(text.substr(start));
    return lines;
}

// Every CR is followed by an LF and every LF follows a CR.
bool OnlyCrLfBreaks(const std::string& text) {
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) {
            return false;
        }
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            return false;
        }
    }
    return true;
}

QString AsShown(const std::string& text) {
    return QString::fromStdString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

TEST(AboutTexts, DescriptionHasFourteenLinesInItsFixedShape) {
    const std::string text = frmAbout::AboutText();
    EXPECT_TRUE(OnlyCrLfBreaks(text));
    const auto lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_TRUE(lines[0].ends_with(" V1.1 January 2001")) << lines[0];
    EXPECT_EQ(lines[2], "A program for searching for Australian Post Codes.");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        // Lines 2, 4, 6, 9 and 13, counted from 1, are the empty ones.
        const bool empty_line = i == 1 || i == 3 || i == 5 || i == 8 || i == 12;
        EXPECT_EQ(lines[i].empty(), empty_line) << "line " << i + 1 << ": " << lines[i];
    }
}

TEST(AboutTexts, InstructionsAreTheFixedTextWithCrLfBreaks) {
    const std::string text = frmAbout::InstructionsText();
    EXPECT_EQ(text,
              "Instructions\r\n"
              "------------------\r\n\r\n"
              "Simply enter your search criteria, then click 'Find Now'. \r\n\r\n"
              "The resulting matches can be sorted by clicking the column headings. "
              "The window and the result columns can be resized.\r\n\r\n"
              "Hint: Press the [Ctrl] & [Numeric/Grey +] keys to automatically size all the "
              "columns.\r\n\r\n"
              "Click 'New Search' to clear any results and your selection criteria.\r\n\r\n");
    EXPECT_TRUE(OnlyCrLfBreaks(text));
    const auto lines = SplitCrLf(text);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[1], std::string(18, '-'));
    // Heading, rule, then four paragraphs each followed by an empty line;
    // the text ends with a break and an empty line.
    for (const std::size_t i : {2u, 4u, 6u, 8u, 10u, 11u}) {
        EXPECT_EQ(lines[i], "") << "line " << i + 1;
    }
    EXPECT_TRUE(text.ends_with("criteria.\r\n\r\n"));
}

class AboutWindow : public testing::Test {
  protected:
    // Stands in for the main window that owns the dialog.
    QWidget main_window;

    template <typename T>
    static T* Control(const frmAbout& about, const char* name) {
        auto* control = about.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    static void Open(frmAbout& about) {
        about.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
        about.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    }
};

TEST_F(AboutWindow, IsAFixedDialogLaidOutInTwips) {
    frmAbout about(&main_window);
    EXPECT_EQ(about.parentWidget(), &main_window);
    EXPECT_EQ(about.windowTitle(), "About Korvallestin");
    const auto flags = about.windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);

    const double dpi = about.logicalDpiX();
    const auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
    EXPECT_EQ(about.minimumSize(), QSize(px(5760), px(6120)));
    EXPECT_EQ(about.maximumSize(), about.minimumSize());

    auto* btnOK = Control<QPushButton>(about, "btnOK");
    ASSERT_NE(btnOK, nullptr);
    EXPECT_EQ(btnOK->geometry(), QRect(px(2400), px(5520), px(1215), px(495)));
    auto* txtInstructions = Control<QPlainTextEdit>(about, "txtInstructions");
    ASSERT_NE(txtInstructions, nullptr);
    EXPECT_EQ(txtInstructions->geometry(), QRect(px(720), px(3720), px(4935), px(1695)));
    auto* lblText = Control<QLabel>(about, "lblText");
    ASSERT_NE(lblText, nullptr);
    EXPECT_EQ(lblText->geometry(), QRect(px(840), px(480), px(4695), px(3135)));
}

TEST_F(AboutWindow, ShowsTitlePicturesAndButton) {
    frmAbout about(&main_window);
    auto* lblTitle = Control<QLabel>(about, "lblTitle");
    auto* Image1 = Control<QLabel>(about, "Image1");
    auto* Image2 = Control<QLabel>(about, "Image2");
    auto* btnOK = Control<QPushButton>(about, "btnOK");
    ASSERT_TRUE(lblTitle && Image1 && Image2 && btnOK);

    EXPECT_EQ(lblTitle->text(), "Korvallestin V1.1");
    EXPECT_EQ(lblTitle->font().pointSize(), 12);
    EXPECT_TRUE(lblTitle->font().bold());
    EXPECT_EQ(Image1->toolTip(), "Australian Made Software!");
    EXPECT_EQ(btnOK->text(), "OK");
    EXPECT_TRUE(btnOK->isDefault());

    // The pictures are loaded by their resource paths; a missing picture
    // leaves its image empty.
    for (const auto& [image, path] : {std::pair{Image2, ":/pictures/korvallestin-32.xpm"},
                                      std::pair{Image1, ":/pictures/flag-32.xpm"}}) {
        const QPixmap shown = image->pixmap();
        if (QFile::exists(QString::fromLatin1(path))) {
            EXPECT_EQ(shown.size(), QSize(32, 32)) << path;
        } else {
            EXPECT_TRUE(shown.isNull()) << path;
        }
    }
}

TEST_F(AboutWindow, ShowsTheTextsAsLinesTheSameOnEveryOpening) {
    QString first_text;
    QString first_instructions;
    for (int opening = 0; opening < 2; ++opening) {
        SCOPED_TRACE(opening);
        frmAbout about(&main_window);
        Open(about);
        auto* lblText = Control<QLabel>(about, "lblText");
        auto* txtInstructions = Control<QPlainTextEdit>(about, "txtInstructions");
        ASSERT_TRUE(lblText && txtInstructions);
        EXPECT_EQ(lblText->text(), AsShown(frmAbout::AboutText()));
        EXPECT_EQ(lblText->text().count(QLatin1Char('\n')), 13);
        EXPECT_EQ(txtInstructions->toPlainText(), AsShown(frmAbout::InstructionsText()));
        EXPECT_EQ(txtInstructions->document()->blockCount(), 12);
        if (opening == 0) {
            first_text = lblText->text();
            first_instructions = txtInstructions->toPlainText();
        } else {
            EXPECT_EQ(lblText->text(), first_text);
            EXPECT_EQ(txtInstructions->toPlainText(), first_instructions);
        }
        about.btnOK_Click();
    }
}

TEST_F(AboutWindow, OpensWithFocusOnOkAndTabMovesToTheInstructionsAndBack) {
    frmAbout about(&main_window);
    Open(about);
    auto* btnOK = Control<QPushButton>(about, "btnOK");
    auto* txtInstructions = Control<QPlainTextEdit>(about, "txtInstructions");
    ASSERT_TRUE(btnOK && txtInstructions);

    EXPECT_EQ(QApplication::focusWidget(), btnOK);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), txtInstructions);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), btnOK);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), txtInstructions);
}

TEST_F(AboutWindow, EnterRightAfterOpeningClosesIt) {
    frmAbout about(&main_window);
    Open(about);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutWindow, OkClosesIt) {
    frmAbout about(&main_window);
    Open(about);
    auto* btnOK = Control<QPushButton>(about, "btnOK");
    ASSERT_NE(btnOK, nullptr);
    QTest::mouseClick(btnOK, Qt::LeftButton);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(AboutWindow, InstructionsScrollButTakeNoTyping) {
    frmAbout about(&main_window);
    Open(about);
    auto* txtInstructions = Control<QPlainTextEdit>(about, "txtInstructions");
    ASSERT_NE(txtInstructions, nullptr);
    const QString before = txtInstructions->toPlainText();

    txtInstructions->setFocus();
    QTest::keyClicks(txtInstructions, QStringLiteral("typed"));
    QTest::keyClick(txtInstructions, Qt::Key_Backspace);
    QTest::keyClick(txtInstructions, Qt::Key_Delete);
    QTest::keyClick(txtInstructions, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(txtInstructions->toPlainText(), before);
    EXPECT_TRUE(txtInstructions->isReadOnly());

    QScrollBar* bar = txtInstructions->verticalScrollBar();
    EXPECT_TRUE(bar->isVisible());
    ASSERT_GT(bar->maximum(), 0) << "the instructions should be taller than their box";
    EXPECT_EQ(bar->value(), 0);
    // The keyboard scrolls it: Ctrl+End brings the last lines into view.
    QTest::keyClick(txtInstructions, Qt::Key_End, Qt::ControlModifier);
    EXPECT_GT(bar->value(), 0);
}

}  // namespace
}  // namespace korvallestin
