#pragma once

// The List Check window over a temporary folder holding a small postcode
// file, for the window's tests.

#include <QAbstractItemView>
#include <QAction>
#include <QString>
#include <QTest>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "cli_test_data.h"
#include "frm_list_check.h"
#include "temp_dir.h"

namespace korvallestin::testing {

// The list both List Check test files open. Rows A to D: unknown-locality, ok, wrong-postcode,
// postcode-as-number.
inline constexpr char kList[] =
    "Name,Suburb,State,Postcode\r\n"
    "A,Sydny,NSW,2000\r\n"
    "B,Melbourne,VIC,3000\r\n"
    "C,Perth,WA,6001\r\n"
    "D,Darwin,NT,800\r\n";

class ListCheckTest : public ::testing::Test {
  protected:
    // Opens the window on the folder, with the small postcode file unless
    // `data` says otherwise ("" for none).
    void OpenWindow(const std::string& data = SmallPostcodeFile()) {
        if (!data.empty()) {
            dir.Write("postcodes.csv", data);
        }
        window = std::make_unique<frmListCheck>(QString::fromStdString(dir.Path()));
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // Writes `bytes` as a list in the folder, opens it and waits until it
    // is read to its end (or stops); its path.
    std::string Check(const std::string& name, const std::string& bytes) {
        std::string path = dir.Write(name, bytes);
        EXPECT_TRUE(window->OpenList(QString::fromStdString(path)));
        EXPECT_TRUE(QTest::qWaitFor([this] { return !window->Loading(); }, 20000));
        return path;
    }

    template <typename T>
    T* Find(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAction* Action(const char* name) const { return Find<QAction>(name); }
    QAbstractItemView* Table() const { return Find<QAbstractItemView>("tblRows"); }

    // The cells of the column headed `heading`, top to bottom as shown.
    std::vector<std::string> Column(const QString& heading) const {
        ListCheckModel& model = window->Model();
        std::vector<std::string> cells;
        for (int c = 0; c < model.columnCount(); ++c) {
            if (model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == heading) {
                for (int r = 0; r < model.rowCount(); ++r) {
                    cells.push_back(model.CellText(r, c).toStdString());
                }
            }
        }
        return cells;
    }

    TempDir dir;
    std::unique_ptr<frmListCheck> window;
};

}  // namespace korvallestin::testing
