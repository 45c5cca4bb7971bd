// The window icon, help icon, flag and sort marks, compiled in from resources/pictures/,
// and the main window wearing them.

#include <gtest/gtest.h>

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QSet>
#include <QString>

#include "frm_main.h"
#include "temp_dir.h"

namespace korvallestin {
namespace {

struct Picture {
    const char* path;
    int width;
    int height;
};

const Picture kPictures[] = {
    {":/pictures/korvallestin-16.xpm", 16, 16}, {":/pictures/korvallestin-32.xpm", 32, 32},
    {":/pictures/help-16.xpm", 16, 16},         {":/pictures/flag-16.xpm", 16, 16},
    {":/pictures/flag-32.xpm", 32, 32},         {":/pictures/sort-up.xpm", 10, 9},
    {":/pictures/sort-down.xpm", 10, 9},
};

QSet<QRgb> Colours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            colours.insert(image.pixel(x, y));
        }
    }
    return colours;
}

TEST(PicturesGui, EveryPictureIsCompiledInWithItsSizeAndAtMost16Colours) {
    for (const Picture& p : kPictures) {
        const QImage image(QString::fromLatin1(p.path));
        ASSERT_FALSE(image.isNull()) << p.path;
        EXPECT_EQ(image.size(), QSize(p.width, p.height)) << p.path;
        // 16 colours, with transparent counted as one.
        EXPECT_LE(Colours(image).size(), 17) << p.path;
    }
}

TEST(PicturesGui, TheSortMarksAreOutlinesOnATransparentGround) {
    for (const char* path : {":/pictures/sort-up.xpm", ":/pictures/sort-down.xpm"}) {
        const QImage image =
            QImage(QString::fromLatin1(path)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_FALSE(image.isNull()) << path;
        EXPECT_TRUE(image.hasAlphaChannel()) << path;
        // The corners and the middle are ground, drawn transparent.
        EXPECT_EQ(qAlpha(image.pixel(0, 4)), 0) << path;
        EXPECT_EQ(qAlpha(image.pixel(9, 4)), 0) << path;
        EXPECT_EQ(qAlpha(image.pixel(5, 4)), 0) << path;
        // Only white highlight and dark grey shadow are drawn.
        for (QRgb c : Colours(image)) {
            if (qAlpha(c) != 0) {
                EXPECT_TRUE(c == qRgb(255, 255, 255) || c == qRgb(0x80, 0x80, 0x80))
                    << path << " " << QColor(c).name().toStdString();
            }
        }
    }
    const QImage up(QStringLiteral(":/pictures/sort-up.xpm"));
    const QImage down(QStringLiteral(":/pictures/sort-down.xpm"));
    // Up: apex at the top, base along the bottom; down the other way round.
    EXPECT_EQ(qAlpha(up.pixel(4, 0)), 255);
    EXPECT_EQ(qAlpha(up.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(up.pixel(5, 8)), 255);
    EXPECT_EQ(qAlpha(down.pixel(5, 0)), 255);
    EXPECT_EQ(qAlpha(down.pixel(0, 8)), 0);
    EXPECT_EQ(qAlpha(down.pixel(4, 8)), 255);
}

TEST(PicturesGui, TheirColoursAreTheOnesDescribed) {
    const QSet<QRgb> icon = Colours(QImage(QStringLiteral(":/pictures/korvallestin-32.xpm")));
    EXPECT_TRUE(icon.contains(qRgb(255, 255, 255)));     // the sheet
    EXPECT_TRUE(icon.contains(qRgb(0x80, 0x80, 0x80)));  // its text lines
    EXPECT_TRUE(icon.contains(qRgb(255, 0, 255)));       // the stamp
    EXPECT_TRUE(icon.contains(qRgb(255, 0, 0)));         // the question mark
    const QSet<QRgb> help = Colours(QImage(QStringLiteral(":/pictures/help-16.xpm")));
    EXPECT_TRUE(help.contains(qRgb(255, 255, 0)));
    const QSet<QRgb> flag = Colours(QImage(QStringLiteral(":/pictures/flag-32.xpm")));
    EXPECT_TRUE(flag.contains(qRgb(0, 0, 0x80)));
    EXPECT_TRUE(flag.contains(qRgb(255, 0, 0)));
    EXPECT_TRUE(flag.contains(qRgb(255, 255, 255)));
}

TEST(PicturesGui, TheWindowCarriesTheIconInBothSizesAndTheHelpPicture) {
    const testing::TempDir dir;
    const frmMain window(QString::fromStdString(dir.Path()));
    const QIcon icon = window.windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
    EXPECT_EQ(icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32),
              QImage(QStringLiteral(":/pictures/korvallestin-32.xpm"))
                  .convertToFormat(QImage::Format_ARGB32));
    const auto* help = window.findChild<QLabel*>(QStringLiteral("imgHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(
        help->pixmap().toImage().convertToFormat(QImage::Format_ARGB32),
        QImage(QStringLiteral(":/pictures/help-16.xpm")).convertToFormat(QImage::Format_ARGB32));
}

}  // namespace
}  // namespace korvallestin
