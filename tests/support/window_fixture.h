#pragma once

#include <QLabel>
#include <QPushButton>
#include <QString>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "frm_main.h"
#include "temp_dir.h"

namespace korvallestin::testing {

// Tests of the main window over a temporary data folder.
class WindowTest : public ::testing::Test {
  protected:
    // Writes `data` as the folder's postcodes.csv (nothing when it is empty),
    // opens the window on the folder and waits until it is shown and, when
    // `activate`, active.
    void OpenWindow(const std::string& data, bool activate = true);

    // The window's control named `name`, or null.
    QWidget* W(const char* name) const { return window->findChild<QWidget*>(name); }
    // The same as a `T`; a failure when there is none.
    template <typename T>
    T* Find(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    QString Status() const { return Find<QLabel>("sbBarText")->text(); }
    // "F&ind Now" enabled and "Sto&p" disabled, as between runs.
    bool Idle() const { return Button("cmdFind")->isEnabled() && !Button("cmdStop")->isEnabled(); }

    TempDir dir;
    std::unique_ptr<frmMain> window;
};

}  // namespace korvallestin::testing
