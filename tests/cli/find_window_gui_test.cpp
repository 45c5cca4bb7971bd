// The console program's look-up against the window: the same criteria typed
// into the real window and given to `find` list the same rows, in the same
// order when the window's sort is asked for.

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli_test_data.h"
#include "find_command.h"
#include "results_table_view.h"
#include "window_fixture.h"

namespace korvallestin {
namespace {

using Rows = std::vector<std::string>;  // each row's nine fields joined by tabs

class FindAgainstWindow : public testing::WindowTest {
  protected:
    // Types `text` key by key; a letter beyond ASCII comes as a key that
    // types it, as a keyboard layout that has it would send.
    static void Type(QWidget* box, const char* text) {
        for (const QChar c : QString::fromUtf8(text)) {
            if (c.unicode() < 128) {
                QTest::keyClick(box, static_cast<char>(c.unicode()));
            } else {
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
            }
        }
    }
    void ClickHeader(int header) {
        QHeaderView* h = Find<ResultsTableView>("lvwResults")->horizontalHeader();
        const int x = h->sectionViewportPosition(header - 1) + h->sectionSize(header - 1) / 2;
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(x, h->height() / 2));
    }
    Rows WindowRows() {
        Rows rows;
        for (int r = 0; r < window->Results().rowCount(); ++r) {
            std::string row;
            for (int c = 0; c < 9; ++c) {
                if (c > 0) {
                    row += '\t';
                }
                row += window->Results().CellText(r, c).toStdString();
            }
            rows.push_back(row);
        }
        return rows;
    }
};

Rows ConsoleRows(const CliOptions& options, int& status) {
    StringOutput out;
    StringOutput err;
    status = RunFind(options, out, err);
    Rows rows;
    const std::string& text = out.Text();
    for (std::size_t start = text.find('\n') + 1; start < text.size();) {  // after the headings
        const std::size_t end = text.find('\n', start);
        rows.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return rows;
}

TEST_F(FindAgainstWindow, TheSameTypedCriteriaListTheSameRows) {
    const std::string data =
        testing::SmallPostcodeFile() + testing::CsvRecord("4109", "sunnybank west", "QLD") +
        testing::CsvRecord("3.14", "PI TOWN", "VIC") + testing::CsvRecord("3182", "ST KILDA ") +
        testing::CsvRecord("3101", "ZOë", "VIC") + testing::CsvRecord("4109", "BANKSIA", "qld");
    struct Case {
        const char* postcode;  // typed, key by key
        const char* state;
        const char* locality;
        int search_type;           // 0 begins with, 1 contains
        std::vector<int> headers;  // clicked after the search
        int sort_column;           // the console's --sort, 0 to 8
        bool descending;
    };
    const std::vector<Case> cases = {
        {"", "", "", 0, {}, 0, false},
        {"", "qld", "sunny", 0, {}, 0, false},
        {"", "", "bank", 1, {2}, 1, false},
        {"3.14", "", "", 0, {}, 0, false},
        {"4109", "", "", 0, {1}, 0, true},
        {"", "vic", "", 0, {3, 3}, 2, true},
        {"", "", "zoë", 0, {2}, 1, false},
        {"", "", "st kilda ", 0, {}, 0, false},
        {"", "", "richmond", 0, {5}, 4, false},  // all equal: arrival order
        {"", "nsw", "s", 1, {2, 4, 2}, 1, false},
    };
    for (const Case& c : cases) {
        const std::string label = std::string(c.postcode) + "|" + c.state + "|" + c.locality;
        OpenWindow(data);
        Type(Find<QLineEdit>("txtPostCode"), c.postcode);
        Type(Find<QComboBox>("cboState"), c.state);
        Type(Find<QLineEdit>("txtLocality"), c.locality);
        Find<QComboBox>("cboSearchType")->setCurrentIndex(c.search_type);
        QTest::mouseClick(Button("cmdFind"), Qt::LeftButton);
        ASSERT_TRUE(Idle()) << label;
        for (const int header : c.headers) {
            ClickHeader(header);
        }
        const Rows window_rows = WindowRows();

        CliOptions options;
        options.data_file = dir.File("postcodes.csv");
        options.find.postcode = c.postcode;
        options.find.state = c.state;
        options.find.locality = c.locality;
        options.find.contains = c.search_type == 1;
        options.find.format = RowFormat::Tsv;
        // Unsorted, the console writes the same rows in file order.
        int status = -1;
        Rows streamed = ConsoleRows(options, status);
        EXPECT_EQ(status, window_rows.empty() ? 1 : 0) << label;
        Rows window_sorted = window_rows;
        std::sort(streamed.begin(), streamed.end());
        std::sort(window_sorted.begin(), window_sorted.end());
        EXPECT_EQ(streamed, window_sorted) << label;
        // Sorted as the window sorts, the order is the window's too.
        options.find.sort_column = c.sort_column;
        options.find.descending = c.descending;
        EXPECT_EQ(ConsoleRows(options, status), window_rows) << label;
        EXPECT_FALSE(window_rows.empty()) << label;
        window.reset();
    }
}

}  // namespace
}  // namespace korvallestin
