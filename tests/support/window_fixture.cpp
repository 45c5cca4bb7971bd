#include "window_fixture.h"

#include <QTest>

namespace korvallestin::testing {

void WindowTest::OpenWindow(const std::string& data, bool activate) {
    if (!data.empty()) {
        dir.Write("postcodes.csv", data);
    }
    window = std::make_unique<frmMain>(QString::fromStdString(dir.Path()));
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    if (activate) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
}

}  // namespace korvallestin::testing
