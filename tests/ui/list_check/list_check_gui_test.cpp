// The List Check window reading lists: which rows it shows and in what
// order, rows on view while a long list loads, the column dialog, bad lists
// and a bad postcode file.

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QTableView>
#include <QUrl>

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "accessible_notice.h"
#include "gui_helpers.h"
#include "list_check_fixture.h"

namespace korvallestin {
namespace {

using ::testing::HasSubstr;
using testing::kList;
using testing::ListCheckTest;
using testing::MessageBoxAnswerer;
using testing::OnModal;
using Names = std::vector<std::string>;

void ChooseFilter(QComboBox& box, const QString& caption) {
    const int at = box.findText(caption);
    ASSERT_GE(at, 0) << caption.toStdString();
    box.setCurrentIndex(at);
    emit box.activated(at);
}

TEST_F(ListCheckTest, ShowsTheRowsTheFilterChooses) {
    struct Case {
        const char* what;
        const char* list;
        const char* filter;  // nullptr: as the window chose
        Names shown;
    };
    const Case cases[] = {
        {"the rows to fix first, when there are any", kList, nullptr, {"A", "C", "D"}},
        {"every row, when none is to be fixed",
         "Name,Suburb,State,Postcode\nB,Melbourne,VIC,3000\n"
         "E,Perth,WA,6000\n",
         nullptr,
         {"B", "E"}},
        {"every row, chosen", kList, "All rows", {"A", "B", "C", "D"}},
        {"one verdict", kList, "wrong-postcode", {"C"}},
        {"a verdict no row has", kList, "fixed", {}},
    };
    OpenWindow();
    auto* filter = Find<QComboBox>("cboFilter");
    for (const Case& c : cases) {
        Check("list.csv", c.list);
        if (c.filter != nullptr) {
            ChooseFilter(*filter, QString::fromLatin1(c.filter));
        }
        EXPECT_EQ(Column(QStringLiteral("Name")), c.shown) << c.what;
    }
}

TEST_F(ListCheckTest, AHeaderClickSortsByItsColumn) {
    OpenWindow();
    Check("list.csv", kList);
    ChooseFilter(*Find<QComboBox>("cboFilter"), QStringLiteral("All rows"));
    QHeaderView* header = Find<QTableView>("tblRows")->horizontalHeader();
    auto click = [&](int section) {
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                   header->height() / 2));
    };
    struct Step {
        int section;
        Names names;
        const char* mark;  // the clicked column's sort mark, for screen readers
    };
    const Step steps[] = {
        {1, {"D", "B", "C", "A"}, "sorted ascending"},   // Suburb: Darwin, Melbourne, ...
        {1, {"A", "C", "B", "D"}, "sorted descending"},  // the same column again turns about
        {4, {"C", "A", "D", "B"}, "sorted descending"},  // verdict: wrong-postcode, ...
    };
    for (const Step& s : steps) {
        click(s.section);
        EXPECT_EQ(Column(QStringLiteral("Name")), s.names) << s.section;
        const QAbstractItemModel& model = window->Model();
        for (int c = 0; c < model.columnCount(); ++c) {
            EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::AccessibleDescriptionRole).toString(),
                      c == s.section ? QString::fromLatin1(s.mark) : QString())
                << c;
            EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DecorationRole).isNull(),
                      c != s.section)
                << c;
        }
    }
}

TEST_F(ListCheckTest, RowsShowWhileALongListLoadsAndCancelKeepsThem) {
    std::string list = "Name,Suburb,State,Postcode\n";
    constexpr int kRows = 200000;
    for (int i = 0; i < kRows; ++i) {
        list += 'N';
        list += std::to_string(i);
        list += ",Melbourne,VIC,3000\n";
    }
    OpenWindow();
    int steps = 0;
    int shown_while_loading = 0;
    window->SetStepObserver([&] {
        ++steps;
        if (window->Loading() && shown_while_loading == 0) {
            shown_while_loading = window->Model().rowCount();
        }
    });
    Check("long.csv", list);
    EXPECT_GT(steps, 2);
    EXPECT_GT(shown_while_loading, 0) << "no rows on view before the list was read whole";
    EXPECT_EQ(window->Model().rowCount(), kRows);
    EXPECT_TRUE(Action("actSave")->isEnabled());

    // Cancelled at the first rows shown: they stay, and a list not read
    // whole cannot be changed or saved.
    window->SetStepObserver([&] {
        if (window->Loading() && window->Model().rowCount() > 0) {
            Find<QPushButton>("cmdCancel")->click();
        }
    });
    Check("long.csv", list);
    EXPECT_GT(window->Model().rowCount(), 0);
    EXPECT_LT(window->Model().rowCount(), kRows);
    EXPECT_FALSE(Action("actSave")->isEnabled());
    EXPECT_FALSE(Action("actFixAll")->isEnabled());
    EXPECT_THAT(Find<QLabel>("sbBarText")->text().toStdString(), HasSubstr("Stopped"));
}

TEST_F(ListCheckTest, AsksForColumnsTheHeadingsDoNotName) {
    constexpr char kUnnamed[] =
        "Who,Place,Region,Code\n"
        "A,Sydny,NSW,2000\n"
        "B,Melbourne,VIC,3000\n";
    struct Case {
        const char* what;
        bool pick;  // false: Cancel
        Names verdicts;
    };
    const Case cases[] = {
        {"picked", true, {"unknown-locality", "ok"}},
        {"cancelled", false, {}},
    };
    OpenWindow();
    for (const Case& c : cases) {
        QString refusal;
        bool stayed_open = false;
        OnModal answer([&](QWidget& modal) {
            auto* dialog = qobject_cast<QDialog*>(&modal);
            ASSERT_NE(dialog, nullptr);
            if (!c.pick) {
                dialog->reject();
                return;
            }
            auto box = [&](const char* name) {
                return dialog->findChild<QComboBox*>(QString::fromLatin1(name));
            };
            // The same column twice is refused in the dialog, which stays.
            box("cboLocality")->setCurrentIndex(1);
            box("cboState")->setCurrentIndex(1);
            box("cboPostcode")->setCurrentIndex(3);
            dialog->accept();
            refusal = dialog->findChild<QLabel*>(QStringLiteral("lblError"))->text();
            stayed_open = dialog->isVisible();
            box("cboState")->setCurrentIndex(2);
            dialog->accept();
        });
        Check("unnamed.csv", kUnnamed);
        EXPECT_TRUE(answer.Ran()) << c.what;
        if (c.pick) {
            EXPECT_FALSE(refusal.isEmpty());
            EXPECT_TRUE(stayed_open);
        }
        ChooseFilter(*Find<QComboBox>("cboFilter"), QStringLiteral("All rows"));
        EXPECT_EQ(Column(QStringLiteral("Verdict")), c.verdicts) << c.what;
        EXPECT_EQ(Action("actSave")->isEnabled(), c.pick) << c.what;
    }
}

TEST_F(ListCheckTest, ABadListIsNamedByItsLineAndNothingIsWritten) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* message;  // a part of it
        int rows_kept;
    };
    const Case cases[] = {
        {"a quote never closed",
         "Name,Suburb,State,Postcode\nA,Sydny,NSW,2000\n\"B,Perth,WA,6000\n", "line 3", 1},
        {"a UTF-16 list", std::string("N\0a\0m\0e\0,\0S\0t\0a\0t\0e\0\n\0", 22), "", 0},
        {"no header", "", "", 0},
    };
    OpenWindow();
    for (const Case& c : cases) {
        MessageBoxAnswerer messages;
        const std::string path = dir.Write("bad.csv", c.bytes);
        window->OpenList(QString::fromStdString(path));
        ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Loading(); }, 10000));
        ASSERT_EQ(messages.Seen().size(), 1) << c.what;
        EXPECT_THAT(messages.Seen().front().toStdString(), HasSubstr(c.message)) << c.what;
        EXPECT_EQ(window->Model().rowCount(), c.rows_kept) << c.what;
        EXPECT_FALSE(Action("actSave")->isEnabled()) << c.what;
        EXPECT_EQ(QDir(QString::fromStdString(dir.Path())).entryList(QDir::Files),
                  (QStringList{"bad.csv", "postcodes.csv"}))
            << c.what;
        EXPECT_EQ(testing::ReadFileBytes(path), c.bytes) << c.what;
    }
}

TEST_F(ListCheckTest, ABadPostcodeFileIsSaidAndNothingElseHappens) {
    struct Case {
        const char* what;
        std::string data;  // "": none
    };
    const Case cases[] = {
        {"missing", ""},
        {"cut short", std::string(testing::kCsvHeader) + "\"4109\",\"SUNNYBANK\"\r\n"},
    };
    for (const Case& c : cases) {
        testing::TempDir own;
        if (!c.data.empty()) {
            own.Write("postcodes.csv", c.data);
        }
        frmListCheck bare(QString::fromStdString(own.Path()));
        bare.show();
        EXPECT_THAT(bare.DataProblem().toStdString(), HasSubstr("postcodes.csv")) << c.what;
        EXPECT_FALSE(bare.findChild<QAction*>(QStringLiteral("actOpen"))->isEnabled()) << c.what;
        MessageBoxAnswerer messages;
        EXPECT_FALSE(bare.OpenList(QString::fromStdString(own.Write("l.csv", kList)))) << c.what;
        EXPECT_EQ(messages.Seen().size(), 1) << c.what;
        EXPECT_EQ(bare.Model().rowCount(), 0) << c.what;
    }
}

TEST_F(ListCheckTest, AFileDroppedOnTheWindowIsOpened) {
    OpenWindow();
    const std::string path = dir.Write("dropped.csv", kList);
    struct Case {
        const char* what;
        QUrl url;
        bool taken;
    };
    const Case cases[] = {
        {"a file elsewhere", QUrl(QStringLiteral("https://example.com/list.csv")), false},
        {"a file of this computer",
         QUrl::fromLocalFile(QDir::fromNativeSeparators(QString::fromStdString(path))), true},
    };
    for (const Case& c : cases) {
        QMimeData data;
        data.setUrls({c.url});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(window.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.taken) << c.what;
        if (c.taken) {
            QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, {});
            QApplication::sendEvent(window.get(), &drop);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Loading(); }, 10000));
            EXPECT_THAT(window->windowTitle().toStdString(), HasSubstr("dropped.csv"));
            EXPECT_EQ(window->Model().rowCount(), 3);  // the rows to fix
        }
    }
}

TEST_F(ListCheckTest, EveryControlIsNamedTabbedAndTheSummaryAnnounced) {
    OpenWindow();
    Check("list.csv", kList);
    const QString summary = Find<QLabel>("lblSummary")->text();
    EXPECT_THAT(summary.toStdString(), HasSubstr("1 wrong-postcode"));
    EXPECT_EQ(window->Notice().Text(), summary);
    for (const char* name : {"cboFilter", "tblRows", "cmdFixAll", "cmdCancel", "lblSummary",
                             "lblColumns", "prgLoad"}) {
        QWidget* w = Find<QWidget>(name);
        const bool named =
            !w->accessibleName().isEmpty() || (qobject_cast<QPushButton*>(w) != nullptr &&
                                               !qobject_cast<QPushButton*>(w)->text().isEmpty());
        EXPECT_TRUE(named) << name;
    }
    Find<QWidget>("cboFilter")->setFocus();
    for (const char* next : {"tblRows", "cmdFixAll"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(testing::FocusName().toStdString(), next);
    }
    // A cell is read with its heading.
    EXPECT_EQ(window->Model().index(0, 1).data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("Suburb: Sydny"));
    // Each Alt key reaches one thing: the menus' and the controls' access
    // keys are all different.
    QStringList keys;
    auto key_of = [&keys](const QString& text) {
        const qsizetype at = text.indexOf(QLatin1Char('&'));
        if (at >= 0 && at + 1 < text.size()) {
            keys << text.at(at + 1).toLower();
        }
    };
    for (const QAction* menu : window->menuBar()->actions()) {
        key_of(menu->text());
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        key_of(label->text());
    }
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        key_of(button->text());
    }
    EXPECT_EQ(keys.size(), QSet<QString>(keys.begin(), keys.end()).size())
        << keys.join(u' ').toStdString();
}

}  // namespace
}  // namespace korvallestin
