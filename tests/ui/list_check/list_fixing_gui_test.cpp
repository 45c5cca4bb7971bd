// Fixing a list in the List Check window and saving it: a suggestion
// chosen, the sure fixes, a cell typed by hand, undo and redo, the saved
// copy byte for byte in the list's own encoding, the same as the console's
// check writes, and the questions before anything is replaced or dropped.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

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
using testing::OnModal;
using Names = std::vector<std::string>;

// The shown row whose Name is `name`.
int RowNamed(ListCheckModel& model, const std::string& name) {
    for (int r = 0; r < model.rowCount(); ++r) {
        if (model.CellText(r, 0).toStdString() == name) {
            return r;
        }
    }
    return -1;
}

TEST_F(ListCheckTest, ChangesAreMadeUndoneAndRedoneAStepAtATime) {
    OpenWindow();
    Check("list.csv", kList);
    ListCheckModel& model = window->Model();
    QAbstractItemView* table = Table();
    auto verdict = [&](const char* name) {
        return model.CellText(RowNamed(model, name), model.VerdictColumn()).toStdString();
    };
    auto cell = [&](const char* name, int column) {
        return model.CellText(RowNamed(model, name), column).toStdString();
    };

    // Enter on a row with suggestions offers them, the first one current, so
    // that a second Enter takes it.
    table->setFocus();
    table->setCurrentIndex(model.index(RowNamed(model, "A"), 1));
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const bool current = QTest::qWaitFor(
            [menu] { return menu->activeAction() == menu->actions().constFirst(); }, 2000);
        EXPECT_TRUE(current) << "no current item when the suggestions open";
        if (!current) {
            menu->close();
            return;
        }
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QTest::keyClick(table, Qt::Key_Return);
    EXPECT_EQ(verdict("A"), "fixed");
    EXPECT_THAT(window->Notice().Text().toStdString(), HasSubstr("SYDNEY (NSW 2000)"));
    // The fixed row stays where it was, though the filter shows rows to fix.
    EXPECT_EQ(Column(QStringLiteral("Name")), (Names{"A", "C", "D"}));

    // A cell typed by hand is checked again at once.
    table->setCurrentIndex(model.index(RowNamed(model, "C"), 3));
    QTest::keyClick(table, Qt::Key_F2);
    auto* editor = table->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("6000"));
    QTest::keyClick(editor, Qt::Key_Return);  // the editor's text is taken in the next turn
    EXPECT_TRUE(QTest::qWaitFor([&] { return cell("C", 3) == "6000"; }, 5000));
    EXPECT_EQ(verdict("C"), "fixed");

    Action("actFixAll")->trigger();
    EXPECT_EQ(verdict("D"), "fixed");
    EXPECT_EQ(Find<QLabel>("sbBarText")->text(), QStringLiteral("Fixed 1 sure row."));

    // Each undo takes back one change, the latest first; redo makes it again.
    struct Step {
        const char* action;
        Names verdicts;  // A, C, D
        bool can_undo;
        bool can_redo;
    };
    const Step steps[] = {
        {"actUndo", {"fixed", "fixed", "postcode-as-number"}, true, true},
        {"actUndo", {"fixed", "wrong-postcode", "postcode-as-number"}, true, true},
        {"actUndo", {"unknown-locality", "wrong-postcode", "postcode-as-number"}, false, true},
        {"actRedo", {"fixed", "wrong-postcode", "postcode-as-number"}, true, true},
        {"actRedo", {"fixed", "fixed", "postcode-as-number"}, true, true},
        {"actRedo", {"fixed", "fixed", "fixed"}, true, false},
    };
    for (const Step& s : steps) {
        Action(s.action)->trigger();
        EXPECT_EQ((Names{verdict("A"), verdict("C"), verdict("D")}), s.verdicts) << s.action;
        EXPECT_EQ(Action("actUndo")->isEnabled(), s.can_undo) << s.action;
        EXPECT_EQ(Action("actRedo")->isEnabled(), s.can_redo) << s.action;
    }
    EXPECT_EQ(cell("C", 3), "6000");
}

TEST_F(ListCheckTest, TheContextMenuOffersARowsSuggestionsThenCopy) {
    OpenWindow();
    Check("list.csv", kList);
    ListCheckModel& model = window->Model();
    QAbstractItemView* table = Table();
    struct Case {
        const char* name = "";
        QStringList items;  // a separator is ""
    };
    const Case cases[] = {
        {"C", {QStringLiteral("PERTH (WA 6000)"), QString(), QStringLiteral("&Copy")}},
        {"B", {QStringLiteral("&Copy")}},  // no suggestion
    };
    auto* filter = Find<QComboBox>("cboFilter");
    filter->setCurrentIndex(filter->findText(QStringLiteral("All rows")));
    emit filter->activated(filter->currentIndex());
    for (const Case& c : cases) {
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            for (const QAction* action : menu->actions()) {
                seen << action->text();
            }
            menu->close();
        });
        const QRect cell = table->visualRect(model.index(RowNamed(model, c.name), 1));
        QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(),
                                table->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(table->viewport(), &event);
        EXPECT_EQ(seen, c.items) << c.name;
        EXPECT_EQ(model.CellText(RowNamed(model, c.name), 3).toStdString(),
                  std::string(c.name) == "C" ? "6001" : "3000");
    }
}

// The same lists through the window and the console's check: every row's
// verdict and suggestion the same, the whole file the same byte for byte,
// as read and with the sure fixes made.
TEST_F(ListCheckTest, SavesWhatTheConsolesCheckWrites) {
    const std::string lists[] = {
        kList,
        // Windows-1252, a blank row, a row wider than the header.
        "Name;Suburb;State;Postcode\nCaf\xE9 A;Sydny;NSW;2000\n\nB;Melbourne;VIC;3000;x\n",
        // UTF-8 with its byte order mark, the columns in another order.
        "\xEF\xBB\xBFPostcode,Town,State\r\n800,Darwin,NT\r\n4109,Sunnybank,QLD\r\n",
    };
    OpenWindow();
    for (const std::string& list : lists) {
        for (const bool fix : {false, true}) {
            const std::string path = Check("list.csv", list);
            if (fix) {
                window->FixAllSure();
            }
            const std::string saved = dir.File("saved.csv");
            ASSERT_TRUE(window->SaveTo(QString::fromStdString(saved), true));
            CliOptions options;
            options.data_file = dir.File("postcodes.csv");
            options.check.fix = fix;
            const testing::CommandRun console = testing::RunCheckOn(options, list);
            EXPECT_EQ(testing::ReadFileBytes(saved), console.out) << list << (fix ? " fixed" : "");
            std::remove(saved.c_str());
        }
    }
}

TEST_F(ListCheckTest, TheSavedCopyKeepsTheListsEncodingAndChoosesItsColumns) {
    struct Case {
        const char* what;
        std::string list;
        bool check_columns;
        std::string expected;
    };
    const Case cases[] = {
        {"Windows-1252 with an e acute",
         "Name,Suburb,State,Postcode\r\nCaf\xE9 A,Sydny,NSW,2000\r\nD,Darwin,NT,800\r\n", true,
         "Name,Suburb,State,Postcode,verdict,suggestion\r\n"
         "Caf\xE9 A,Sydney,NSW,2000,fixed,locality was Sydny\r\n"
         "D,Darwin,NT,0800,fixed,postcode was 800\r\n"},
        {"UTF-8 with its mark, without the check columns",
         "\xEF\xBB\xBFName,Suburb,State,Postcode\nCaf\xC3\xA9 A,Sydny,NSW,2000\n", false,
         "\xEF\xBB\xBFName,Suburb,State,Postcode\nCaf\xC3\xA9 A,Sydney,NSW,2000\n"},
    };
    OpenWindow();
    for (const Case& c : cases) {
        Check("list.csv", c.list);
        window->FixAllSure();
        const std::string saved = dir.File("copy.csv");
        ASSERT_TRUE(window->SaveTo(QString::fromStdString(saved), c.check_columns)) << c.what;
        EXPECT_EQ(testing::ReadFileBytes(saved), c.expected) << c.what;
        std::remove(saved.c_str());
    }
}

TEST_F(ListCheckTest, TheSaveDialogProposesTheCheckedCopyAndTheColumnsChoice) {
    OpenWindow();
    const std::string list = Check("list.csv", kList);
    QString proposed;
    OnModal answer([&](QWidget& modal) {
        auto* dialog = qobject_cast<QFileDialog*>(&modal);
        ASSERT_NE(dialog, nullptr);
        proposed = dialog->selectedFiles().value(0);
        dialog->findChild<QCheckBox*>(QStringLiteral("chkWithoutCheckColumns"))->setChecked(true);
        static_cast<QDialog*>(dialog)->accept();  // as its Save button does
    });
    EXPECT_TRUE(window->SaveFromMenu());
    EXPECT_EQ(QDir::toNativeSeparators(proposed).toStdString(), dir.File("list (checked).csv"));
    EXPECT_EQ(testing::ReadFileBytes(dir.File("list (checked).csv")), kList);
    EXPECT_EQ(testing::ReadFileBytes(list), kList);
}

TEST_F(ListCheckTest, AsksBeforeReplacingTheListOrDroppingFixes) {
    struct Case {
        const char* what;
        QMessageBox::StandardButton answer;
        bool done;
    };
    // Saving over the list itself.
    const Case replace[] = {{"kept", QMessageBox::No, false}, {"replaced", QMessageBox::Yes, true}};
    for (const Case& c : replace) {
        OpenWindow();  // afresh: the list before holds changes not saved
        const std::string path = Check("list.csv", kList);
        window->FixAllSure();
        OnModal answer(
            [&](QWidget& modal) { qobject_cast<QMessageBox*>(&modal)->button(c.answer)->click(); });
        EXPECT_EQ(window->SaveTo(QString::fromStdString(path), true), c.done) << c.what;
        EXPECT_TRUE(answer.Ran()) << c.what;
        EXPECT_EQ(testing::ReadFileBytes(path) != kList, c.done) << c.what;
    }
    // Closing with fixes not saved.
    const Case close[] = {{"cancelled", QMessageBox::Cancel, false},
                          {"discarded", QMessageBox::Discard, true}};
    for (const Case& c : close) {
        OpenWindow();
        Check("other.csv", kList);
        window->FixAllSure();
        OnModal answer(
            [&](QWidget& modal) { qobject_cast<QMessageBox*>(&modal)->button(c.answer)->click(); });
        EXPECT_EQ(window->close(), c.done) << c.what;
        EXPECT_TRUE(answer.Ran()) << c.what;
    }
}

}  // namespace
}  // namespace korvallestin
