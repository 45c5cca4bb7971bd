#include <QColor>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

#include <gtest/gtest.h>

#include "frm_main.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

// The sort mark is an outline triangle with a white highlight edge and a
// grey shadow edge; on a near-white heading the white edge vanishes and only
// a faint grey sliver is left. Both edges must show on the heading's face.
TEST(SortMark, BothEdgesStandOutFromTheHeading) {
    testing::TempDir dir;
    dir.Write("postcodes.csv", "h,h,h,h,h,h,h,h,h\r\n3000,MELBOURNE,VIC,,,,,,\r\n");
    frmMain window(QString::fromStdString(dir.Path()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.findChild<QPushButton*>("cmdFind")->click();
    window.lvwResults_ColumnClick(2);  // Locality, ascending
    QHeaderView* header = window.findChild<QTableView*>("lvwResults")->horizontalHeader();
    const QImage shot = header->grab().toImage();
    const int left = header->sectionViewportPosition(1);
    int white = 0;
    int grey = 0;
    for (int y = 0; y < header->height(); ++y) {
        for (int x = left; x < left + header->sectionSize(1); ++x) {
            const QRgb pixel = shot.pixel(x, y) & 0xFFFFFF;
            white += pixel == 0xFFFFFF ? 1 : 0;
            grey += pixel == 0x808080 ? 1 : 0;
        }
    }
    EXPECT_GE(white, 8);
    EXPECT_GE(grey, 8);
    // The face behind the mark (the section's far right, clear of its text)
    // is dark enough for the white edge to show.
    const QColor face = shot.pixelColor(left + header->sectionSize(1) - 8, header->height() / 2);
    EXPECT_LT(face.lightness(), 225) << face.name().toStdString();
}

}  // namespace
}  // namespace korvallestin
