#include "frm_main.h"
#include "window_geometry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "animation_control.h"
#include "csv_data.h"
#include "gui_helpers.h"
#include "results_table_view.h"
#include "window_fixture.h"

namespace korvallestin {
namespace {

using testing::CsvFields;
using testing::CsvRecord;
using testing::kCsvHeader;
using testing::MessageBoxAnswerer;

// The records here have "DO" as their delivery office.
std::string Line(const std::string& postcode, const std::string& locality,
                 const std::string& state) {
    return CsvRecord(postcode, locality, state, CsvFields().DeliveryOffice("DO"));
}

std::string SmallFile() {
    return kCsvHeader + Line("3182", "ST KILDA", "VIC") + Line("3000", "MELBOURNE", "VIC") +
           Line("2000", "SYDNEY", "NSW") + Line("3004", "MELBOURNE", "VIC") +
           Line("6000", "PERTH", "WA") + Line("3207", "PORT MELBOURNE", "VIC");
}

// `count` records, postcodes 10000 upwards in file order.
std::string ManyRecords(int count) {
    return kCsvHeader + testing::CsvTowns(count, 10000, CsvFields().DeliveryOffice("DO"));
}

class MainWindow : public testing::WindowTest {
  protected:
    void Open(const std::string& data) { OpenWindow(data); }
    int Rows() { return window->Results().rowCount(); }
    void Click(const char* name) { QTest::mouseClick(Button(name), Qt::LeftButton); }
    // Runs `action` in the n-th turn the next search gives the window.
    void OnYield(int n, const std::function<void()>& action) {
        auto count = std::make_shared<int>(0);
        window->SetYieldObserver([count, n, action] {
            if (++*count == n) {
                action();
            }
        });
    }
    void ClickHeader(int header) {
        QHeaderView* h = Find<ResultsTableView>("lvwResults")->horizontalHeader();
        const int x = h->sectionViewportPosition(header - 1) + h->sectionSize(header - 1) / 2;
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    }
    std::vector<std::string> ColumnTexts(int column) {
        std::vector<std::string> out;
        out.reserve(static_cast<std::size_t>(Rows()));
        for (int r = 0; r < Rows(); ++r) {
            out.push_back(window->Results().CellText(r, column).toStdString());
        }
        return out;
    }
};

TEST_F(MainWindow, StartsInItsStartupState) {
    Open(SmallFile());
    EXPECT_EQ(window->windowTitle(), "Korvallestin");
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 3135);
    EXPECT_FALSE(window->Geometry().StatusBarVisible());
    auto* search_type = Find<QComboBox>("cboSearchType");
    EXPECT_EQ(search_type->currentText(), "begins with");
    EXPECT_EQ(search_type->count(), 2);
    EXPECT_EQ(search_type->itemText(1), "contains");
    auto* state = Find<QComboBox>("cboState");
    EXPECT_EQ(state->count(), 8);
    EXPECT_EQ(state->itemText(0), "ACT");
    EXPECT_EQ(state->itemText(7), "WA");
    EXPECT_EQ(state->currentText(), "");
    EXPECT_EQ(Find<QLineEdit>("txtLocality")->text(), "");
    EXPECT_EQ(Find<QLineEdit>("txtPostCode")->text(), "");
    EXPECT_EQ(Button("cmdFind")->text(), "F&ind Now");
    EXPECT_EQ(Button("cmdStop")->text(), "Sto&p");
    EXPECT_EQ(Button("cmdNew")->text(), "Ne&w Search");
    EXPECT_TRUE(Idle());
    EXPECT_EQ(Rows(), 0);
    const QStringList captions = {"Postcode",    "Locality",        "State",
                                  "Comments",    "Delivery Office", "Presort Indicator",
                                  "Parcel Zone", "BSP Number",      "BSP Name"};
    ASSERT_EQ(window->Results().columnCount(), 9);
    for (int c = 0; c < 9; ++c) {
        EXPECT_EQ(window->Results().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(),
                  captions[c]);
        EXPECT_EQ(window->Results().HeaderIcon(c + 1), 0);
    }
    auto* tabs = Find<QTabWidget>("tbsTabStrip");
    EXPECT_EQ(tabs->count(), 1);
    EXPECT_EQ(tabs->tabText(0), "Locality or Postcode");
    EXPECT_EQ(Find<QLabel>("imgHelp")->toolTip(), "About/Help");
    for (const char* name : {"pcbTab1", "Label1", "Label2", "Label3", "aniSearch", "sbBar"}) {
        EXPECT_NE(window->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    }
    EXPECT_EQ(testing::FocusName(), "txtLocality");
}

TEST_F(MainWindow, TabMovesThroughTheCriteriaButtonsAndListOnly) {
    Open(SmallFile());
    QStringList visited;
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << testing::FocusName();
    }
    // "Sto&p" is skipped while disabled, and the list while it lies below
    // the compact window; then the order wraps around.
    EXPECT_EQ(visited, QStringList({"cboSearchType", "cboState", "txtPostCode", "cmdFind", "cmdNew",
                                    "txtLocality", "cboSearchType"}));
}

TEST_F(MainWindow, AFullSearchThroughRealClicksAndKeys) {
    Open(SmallFile());
    QTest::keyClicks(Find<QLineEdit>("txtLocality"), "mel");
    Click("cmdFind");
    EXPECT_TRUE(window->Geometry().StatusBarVisible());
    EXPECT_GE(window->Geometry().OuterHeight(), 5580);
    EXPECT_EQ(Status(), "Number found: 2");
    EXPECT_THAT(ColumnTexts(0), ::testing::ElementsAre("3000", "3004"));
    EXPECT_EQ(window->Results().CellText(0, 4), "DO");
    EXPECT_TRUE(Idle());

    // "contains" finds PORT MELBOURNE too; the state narrows it.
    Find<QComboBox>("cboSearchType")->setCurrentIndex(1);
    QTest::keyClicks(Find<QComboBox>("cboState"), "vic");
    Click("cmdFind");
    EXPECT_EQ(Status(), "Number found: 3");
    EXPECT_THAT(ColumnTexts(0), ::testing::ElementsAre("3000", "3004", "3207"));
}

TEST_F(MainWindow, StopDuringARunKeepsWhatWasFound) {
    Open(ManyRecords(300));
    OnYield(40, [this] { Click("cmdStop"); });
    Click("cmdFind");
    EXPECT_EQ(Rows(), 40);
    EXPECT_EQ(Status(), "Number found: 40");
    EXPECT_TRUE(Idle());
}

// A click the user makes during a run waits in the system's queue until the
// run gives the queue a look; it must be looked at soon, whatever the system.
TEST_F(MainWindow, AStopClickWaitingInTheQueueEndsTheRunSoon) {
    constexpr int kRecords = 30'000;
    Open(ManyRecords(kRecords));
    OnYield(10, [this] {
        QPushButton* stop = Button("cmdStop");
        const QPointF at = QRectF(stop->rect()).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QCoreApplication::postEvent(
                stop,
                new QMouseEvent(type, at, stop->mapToGlobal(at), Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
        }
    });
    Click("cmdFind");
    EXPECT_GE(Rows(), 10);
    EXPECT_LT(Rows(), kRecords);
    EXPECT_EQ(Status(), "Number found: " + QString::number(Rows()));
    EXPECT_TRUE(Idle());
}

TEST_F(MainWindow, NewSearchDuringARunRestoresTheStartupState) {
    Open(ManyRecords(300));
    QTest::keyClicks(Find<QLineEdit>("txtLocality"), "TOWN");
    Find<QComboBox>("cboSearchType")->setCurrentIndex(1);
    OnYield(50, [this] { Click("cmdNew"); });
    Click("cmdFind");
    EXPECT_EQ(Rows(), 0);
    EXPECT_FALSE(window->Geometry().StatusBarVisible());
    EXPECT_FLOAT_EQ(window->Geometry().OuterHeight(), 3135);
    EXPECT_EQ(Find<QLineEdit>("txtLocality")->text(), "");
    EXPECT_EQ(Find<QComboBox>("cboSearchType")->currentIndex(), 0);
    EXPECT_TRUE(Idle());
}

TEST_F(MainWindow, CloseIsRefusedDuringARunAndAllowedAfter) {
    Open(ManyRecords(100));
    bool closed_during_run = true;
    OnYield(10, [&] { closed_during_run = window->close(); });
    Click("cmdFind");
    EXPECT_FALSE(closed_during_run);
    EXPECT_EQ(Rows(), 100);
    EXPECT_TRUE(window->close());
}

TEST_F(MainWindow, MissingFileIsReportedOncePerPress) {
    Open("");
    MessageBoxAnswerer answerer;
    Click("cmdFind");
    Click("cmdFind");
    const QString expected = "Error: Postcodes.CSV file missing from\n" +
                             QString::fromStdString(dir.Path()) + " folder.";
    EXPECT_EQ(answerer.Seen(), QStringList({expected, expected}));
    EXPECT_EQ(Status(), "Number found: 0");
    EXPECT_TRUE(window->Geometry().StatusBarVisible());
    EXPECT_TRUE(Idle());
}

TEST_F(MainWindow, EnterClicksFindExceptOnAButtonOrDuringARun) {
    Open(ManyRecords(50));
    QSignalSpy finds(Button("cmdFind"), &QPushButton::clicked);
    QSignalSpy news(Button("cmdNew"), &QPushButton::clicked);
    // Enter typed into a criteria box, pressed twice during the run.
    OnYield(5, [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); });
    QTest::keyClick(Find<QLineEdit>("txtLocality"), Qt::Key_Return);
    EXPECT_EQ(finds.count(), 1);
    EXPECT_EQ(Rows(), 50);
    window->SetYieldObserver({});

    // Enter in the state box runs the search without adding to its list.
    QTest::keyClicks(Find<QComboBox>("cboState"), "nsw");
    QTest::keyClick(Find<QComboBox>("cboState"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(finds.count(), 2);
    EXPECT_EQ(Find<QComboBox>("cboState")->count(), 8);
    EXPECT_EQ(Status(), "Number found: 0");

    // A focused button takes Enter itself.
    Button("cmdNew")->setFocus();
    QTest::keyClick(Button("cmdNew"), Qt::Key_Return);
    EXPECT_EQ(news.count(), 1);
    EXPECT_EQ(finds.count(), 2);
}

TEST_F(MainWindow, KeystrokeFiltersShapeTypedTextOnly) {
    Open(SmallFile());
    auto* locality = Find<QLineEdit>("txtLocality");
    QTest::keyClicks(locality, "st kilda 2!");
    EXPECT_EQ(locality->text(), "ST KILDA 2!");
    // Editing keys still work: Home, Delete, End, Backspace, Ctrl+A.
    QTest::keyClick(locality, Qt::Key_Home);
    QTest::keyClick(locality, Qt::Key_Delete);
    QTest::keyClick(locality, Qt::Key_End);
    QTest::keyClick(locality, Qt::Key_Backspace);
    EXPECT_EQ(locality->text(), "T KILDA 2");
    QTest::keyClick(locality, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(locality, "x");
    EXPECT_EQ(locality->text(), "X");

    auto* postcode = Find<QLineEdit>("txtPostCode");
    QTest::keyClicks(postcode, "3a0 .-0b");
    EXPECT_EQ(postcode->text(), "30.0");
    QTest::keyClick(postcode, Qt::Key_Backspace);
    EXPECT_EQ(postcode->text(), "30.");

    // Ctrl+V types code 22: the postcode box discards it, the letter box
    // takes it and pastes, unfiltered.
    QApplication::clipboard()->setText("12ab");
    QTest::keyClick(postcode, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(postcode->text(), "30.");
    locality->clear();
    QTest::keyClick(locality, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(locality->text(), "12ab");

    auto* state = Find<QComboBox>("cboState");
    QTest::keyClicks(state, "qld");
    EXPECT_EQ(state->currentText(), "QLD");
}

TEST_F(MainWindow, CriteriaBoxesHaveNoLengthLimit) {
    Open(SmallFile());
    const QString long_text(40000, QLatin1Char('A'));
    for (const char* name : {"txtLocality", "txtPostCode"}) {
        Find<QLineEdit>(name)->setText(long_text);
        EXPECT_EQ(Find<QLineEdit>(name)->text().size(), long_text.size()) << name;
    }
    Find<QComboBox>("cboState")->setEditText(long_text);
    EXPECT_EQ(Find<QComboBox>("cboState")->currentText().size(), long_text.size());
    Click("cmdFind");
    EXPECT_EQ(Status(), "Number found: 0");
}

TEST_F(MainWindow, HeaderClicksSortTheListAndMoveTheMark) {
    Open(SmallFile());
    Click("cmdFind");
    ASSERT_EQ(Rows(), 6);
    EXPECT_THAT(ColumnTexts(0),
                ::testing::ElementsAre("2000", "3000", "3004", "3182", "3207", "6000"));
    ClickHeader(2);
    ClickHeader(2);
    EXPECT_THAT(ColumnTexts(1), ::testing::ElementsAre("SYDNEY", "ST KILDA", "PORT MELBOURNE",
                                                       "PERTH", "MELBOURNE", "MELBOURNE"));
    // Equal localities keep file order (3000 before 3004) in both directions.
    EXPECT_EQ(window->Results().CellText(4, 0), "3000");
    EXPECT_EQ(window->Results().HeaderIcon(2), 2);
    ClickHeader(3);
    EXPECT_THAT(ColumnTexts(2), ::testing::ElementsAre("WA", "VIC", "VIC", "VIC", "VIC", "NSW"));
    EXPECT_EQ(window->Results().HeaderIcon(2), 0);
    EXPECT_EQ(window->Results().HeaderIcon(3), 2);
    // File order among the equal states.
    EXPECT_THAT(ColumnTexts(0),
                ::testing::ElementsAre("6000", "3182", "3000", "3004", "3207", "2000"));

    // New Search drops the mark but keeps the order; the next search is
    // listed in it, and a click on the same column reverses it.
    Click("cmdNew");
    EXPECT_EQ(window->Results().HeaderIcon(3), 0);
    Click("cmdFind");
    EXPECT_EQ(window->Results().CellText(0, 2), "WA");
    ClickHeader(3);
    EXPECT_EQ(window->Results().CellText(0, 2), "NSW");
    EXPECT_EQ(window->Results().HeaderIcon(3), 1);
}

TEST_F(MainWindow, HeaderClickDuringARunOrdersEveryRowFoundSoFar) {
    Open(ManyRecords(200));
    OnYield(100, [this] { ClickHeader(1); });  // postcode, now descending
    Click("cmdFind");
    ASSERT_EQ(Rows(), 200);
    const auto postcodes = ColumnTexts(0);
    EXPECT_TRUE(std::is_sorted(postcodes.rbegin(), postcodes.rend()));
}

TEST_F(MainWindow, ResultsListHasTheStartWidthsAgainAfterNewSearch) {
    Open(SmallFile());
    QHeaderView* h = Find<ResultsTableView>("lvwResults")->horizontalHeader();
    const int locality_width = h->sectionSize(1);
    EXPECT_GT(locality_width, h->sectionSize(0));
    EXPECT_EQ(h->sectionSize(4), h->sectionSize(8));
    h->resizeSection(1, 20);
    Click("cmdNew");
    EXPECT_EQ(h->sectionSize(1), locality_width);
}

// The model outlives the view that shows it: when the model goes, the view
// and its headings are gone already, rather than left to let go of it as it
// is destroyed.
TEST_F(MainWindow, TheResultsViewGoesBeforeTheModelItShows) {
    Open(SmallFile());
    Click("cmdFind");
    ClickHeader(2);
    ASSERT_EQ(Rows(), 6);
    QPointer<QWidget> view = W("lvwResults");
    QPointer<QHeaderView> headings = Find<ResultsTableView>("lvwResults")->horizontalHeader();
    std::optional<bool> shown_when_the_model_went;
    QObject::connect(&window->Results(), &QObject::destroyed,
                     [&] { shown_when_the_model_went = !view.isNull() || !headings.isNull(); });
    window.reset();
    ASSERT_TRUE(shown_when_the_model_went.has_value());
    EXPECT_FALSE(*shown_when_the_model_went);
}

TEST_F(MainWindow, AMissingClipDisablesTheAnimationSilently) {
    Open(SmallFile());  // the test folder holds no clip
    EXPECT_FALSE(Find<AnimationControl>("aniSearch")->isEnabled());
    MessageBoxAnswerer answerer;
    Click("cmdFind");
    EXPECT_TRUE(answerer.Seen().isEmpty());
    EXPECT_EQ(Status(), "Number found: 6");
}

}  // namespace
}  // namespace korvallestin
