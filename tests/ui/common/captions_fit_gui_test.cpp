#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "frm_about.h"
#include "frm_main.h"
#include "temp_dir.h"
#include "window_font.h"

namespace korvallestin {
namespace {

// Every text a control shows must fit the room its style leaves for text:
// a clipped caption ("begins wit") is what these tests catch.
void ExpectButtonCaptionsFit(const QWidget& window) {
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        if (button->autoDefault()) {
            option.features |= QStyleOptionButton::AutoDefaultButton;
        }
        if (button->isDefault()) {
            option.features |= QStyleOptionButton::DefaultButton;
        }
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QSize text = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
        EXPECT_LE(text.width(), room.width()) << button->objectName().toStdString();
        EXPECT_LE(text.height(), room.height()) << button->objectName().toStdString();
    }
}

void ExpectLabelTextsFit(const QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;  // a picture, or a status text not written yet
        }
        // Every line whole on one line, and all lines within the height.
        const QSize text = label->fontMetrics().size(Qt::TextShowMnemonic, label->text());
        EXPECT_LE(text.width(), label->contentsRect().width())
            << label->objectName().toStdString() << " in "
            << QFontInfo(label->font()).family().toStdString() << " " << label->font().pointSizeF()
            << " pt at " << label->logicalDpiY() << " dpi";
        EXPECT_LE(text.height(), label->contentsRect().height())
            << label->objectName().toStdString();
    }
}

void ExpectComboEntriesFit(const QWidget& window) {
    for (const QComboBox* box : window.findChildren<QComboBox*>()) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        option.editable = box->isEditable();
        const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, box);
        for (int i = 0; i < box->count(); ++i) {
            // The entry is drawn in the field less a pixel at either side.
            EXPECT_LE(box->fontMetrics().horizontalAdvance(box->itemText(i)), field.width() - 2)
                << box->objectName().toStdString() << ": " << box->itemText(i).toStdString();
            EXPECT_LE(box->fontMetrics().height(), field.height())
                << box->objectName().toStdString();
        }
    }
}

class CaptionsFit : public ::testing::Test {
  protected:
    void SetUp() override {
        dir.Write("postcodes.csv", "h,h,h,h,h,h,h,h,h\r\n3000,MELBOURNE,VIC,,,,,,\r\n");
        window = std::make_unique<frmMain>(QString::fromStdString(dir.Path()));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        // Text can only be measured in a font the platform has. Qt's
        // offscreen platform on Windows has none (an empty family); the
        // windows platform has the system's fonts.
        if (QFontInfo(window->font()).family().isEmpty()) {
            GTEST_SKIP() << "no font resolves in this process: nothing to measure";
        }
    }
    testing::TempDir dir;
    std::unique_ptr<frmMain> window;
};

TEST_F(CaptionsFit, EveryCaptionAndEntryOfTheMainWindowFitsItsControl) {
    ExpectButtonCaptionsFit(*window);
    ExpectLabelTextsFit(*window);
    ExpectComboEntriesFit(*window);
    const auto* tabs = window->findChild<QTabBar*>();
    ASSERT_NE(tabs, nullptr);
    EXPECT_LE(tabs->fontMetrics().horizontalAdvance(tabs->tabText(0)), tabs->tabRect(0).width());
    // The column headings fit the widths they start with.
    const QHeaderView* header = window->findChild<QTableView*>("lvwResults")->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const auto* model = header->model();
    for (int i = 0; i < header->count(); ++i) {
        const QString caption = model->headerData(i, Qt::Horizontal).toString();
        EXPECT_LE(header->fontMetrics().horizontalAdvance(caption) + 2 * margin,
                  header->sectionSize(i))
            << caption.toStdString();
    }
    // After a search the count fits the status bar.
    window->findChild<QPushButton*>("cmdFind")->click();
    ExpectLabelTextsFit(*window);
}

TEST_F(CaptionsFit, EveryTextOfTheAboutWindowFitsItsLabel) {
    frmAbout about(window.get());
    ExpectButtonCaptionsFit(about);
    ExpectLabelTextsFit(about);
    // Both windows share one font; the title keeps its own.
    EXPECT_EQ(about.font(), window->font());
    const QFont title = about.findChild<QLabel*>("lblTitle")->font();
    EXPECT_TRUE(title.bold());
    EXPECT_EQ(title.pointSize(), 12);
}

TEST_F(CaptionsFit, TheWindowFontIsLiberationSansWhereItIsInstalled) {
    if (!QFontDatabase::hasFamily(QString::fromLatin1(WindowFontFamily()))) {
        GTEST_SKIP() << WindowFontFamily() << " is not installed";
    }
    EXPECT_EQ(QFontInfo(window->font()).family().toStdString(), WindowFontFamily());
    EXPECT_LE(window->font().pointSizeF(), kWindowFontPoints);
    EXPECT_GE(window->font().pointSizeF(), 7);
}

TEST(LargestFittingSize, StepsDownInHalfPointsToTheFirstSizeThatFits) {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8);
    EXPECT_EQ(LargestFittingSize(font, 6, [](const QFont&) { return true; }).pointSizeF(), 8);
    EXPECT_EQ(LargestFittingSize(font, 6, [](const QFont& f) { return f.pointSizeF() <= 7.2; })
                  .pointSizeF(),
              7);
    // Nothing fits: the smallest size, never less.
    EXPECT_EQ(LargestFittingSize(font, 6, [](const QFont&) { return false; }).pointSizeF(), 6);
    // A text measured in the candidate font: the size follows the text's width.
    const QString text = QStringLiteral("begins with");
    const int room = QFontMetrics(font).horizontalAdvance(text) * 3 / 4;
    const QFont fitted = LargestFittingSize(
        font, 4, [&](const QFont& f) { return QFontMetrics(f).horizontalAdvance(text) <= room; });
    EXPECT_LE(QFontMetrics(fitted).horizontalAdvance(text), room);
    EXPECT_LT(fitted.pointSizeF(), 8);
}

}  // namespace
}  // namespace korvallestin
