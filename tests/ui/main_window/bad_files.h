#pragma once

// The window meeting bad data files: the fixture and the table of cases.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QTest>

#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include <gtest/gtest.h>

#include "gui_helpers.h"
#include "platform.h"
#include "temp_dir.h"
#include "window_fixture.h"

namespace korvallestin::testing {

// What a name in the data folder stands for, as far as the tests can tell
// that it did not change: whether it is there, its bytes if it is a file,
// and when it was last written.
struct FileState {
    bool exists = false;
    std::string bytes;
    std::filesystem::file_time_type mtime{};
};

inline FileState Snapshot(const std::string& path) {
    FileState s;
    std::error_code ec;
    const std::filesystem::path p = PathFromUtf8(path);
    const std::filesystem::file_status status = std::filesystem::symlink_status(p, ec);
    if (ec || !std::filesystem::exists(status)) {
        return s;
    }
    s.exists = true;
    // Folders, pipes and sockets have a time too; a link, its target's
    // (none when the target is missing).
    s.mtime = std::filesystem::last_write_time(p, ec);
    if (std::filesystem::is_regular_file(status)) {
        s.bytes = testing::ReadFileBytes(path);
    }
    return s;
}

class BadFiles : public WindowTest {
  protected:
    std::string DataPath() const { return dir.File("postcodes.csv"); }
    void Search() {
        OpenWindow("", false);
        before = Snapshot(DataPath());
        window->findChild<QPushButton*>("cmdFind")->click();
    }
    // The window is idle, its count equals its rows, it still takes typing,
    // and the file is as it was.
    void ExpectCalmEnd(bool file_unchanged = true) {
        EXPECT_TRUE(window->findChild<QPushButton*>("cmdFind")->isEnabled());
        EXPECT_FALSE(window->findChild<QPushButton*>("cmdStop")->isEnabled());
        EXPECT_EQ(window->findChild<QLabel*>("sbBarText")->text(),
                  "Number found: " + QString::number(window->Results().rowCount()));
        auto* locality = window->findChild<QLineEdit*>("txtLocality");
        QTest::keyClicks(locality, "ok");
        EXPECT_EQ(locality->text(), "OK");
        if (file_unchanged) {
            const FileState after = Snapshot(DataPath());
            EXPECT_EQ(after.exists, before.exists);
            EXPECT_EQ(after.bytes, before.bytes);
            EXPECT_EQ(after.mtime, before.mtime);
        }
    }
    QStringList Messages() const { return answerer.Seen(); }

    MessageBoxAnswerer answerer;
    FileState before;
};

struct Case {
    const char* name;
    std::function<void(const TempDir&)> lay;  // puts the data file in place
    std::vector<const char*> message;         // parts of the one message; empty: none
    int rows;
};

inline void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class BadFileTable : public BadFiles, public ::testing::WithParamInterface<Case> {};

}  // namespace korvallestin::testing
