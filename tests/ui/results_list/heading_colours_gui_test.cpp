#include <QColor>
#include <QFontInfo>
#include <QHeaderView>
#include <QImage>
#include <QPalette>
#include <QTest>
#include <QVariant>

#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include "column_click.h"
#include "result_columns.h"
#include "results_item_model.h"
#include "results_table_view.h"

namespace korvallestin {
namespace {

QPalette Theme(QColor face, QColor text) {
    QPalette palette;
    palette.setColor(QPalette::Window, face);
    palette.setColor(QPalette::Base, face);
    palette.setColor(QPalette::Button, face);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    return palette;
}

// The pixel of `section`'s caption that stands out most from `face`: the
// caption's own colour where a stroke covers a whole pixel. The section's
// edges, drawn darker by some styles, are left out.
QColor StrongestInk(const QImage& shot, const QHeaderView& header, int section, QColor face) {
    QColor strongest = face;
    const int left = header.sectionViewportPosition(section);
    const int right = left +
                      header.fontMetrics().horizontalAdvance(
                          header.model()->headerData(section, Qt::Horizontal).toString()) +
                      8;
    for (int y = 3; y < shot.height() - 3; ++y) {
        for (int x = left + 3; x < std::min(right, left + header.sectionSize(section) - 3); ++x) {
            const QColor pixel = shot.pixelColor(x, y);
            if (ContrastRatio(pixel, face) > ContrastRatio(strongest, face)) {
                strongest = pixel;
            }
        }
    }
    return strongest;
}

int CountOf(const QImage& shot, const QHeaderView& header, int section, QColor colour) {
    int count = 0;
    const int left = header.sectionViewportPosition(section);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = left; x < left + header.sectionSize(section); ++x) {
            count += shot.pixelColor(x, y).rgb() == colour.rgb() ? 1 : 0;
        }
    }
    return count;
}

// Under every theme the column headings' text is readable on their face,
// and both edges of the sort mark stand apart from it. A high-contrast
// theme keeps its own face; otherwise the face is the marks' grey.
TEST(HeadingColours, TextReadableAndMarksSeenUnderEveryTheme) {
    struct Case {
        const char* name;
        QPalette theme;
        bool high_contrast;
        QColor face;  // the face the headings must show
        double edge_contrast;
    };
    const QColor grey(0xC0, 0xC0, 0xC0);
    const Case cases[] = {
        {"light", Theme(QColor(0xEF, 0xEF, 0xEF), Qt::black), false, grey, 1.5},
        {"dark", Theme(QColor(0x35, 0x35, 0x35), QColor(0xF0, 0xF0, 0xF0)), false, grey, 1.5},
        // A high-contrast palette where the system has no such setting.
        {"black, palette only", Theme(Qt::black, Qt::white), false, grey, 1.5},
        {"high contrast black", Theme(Qt::black, Qt::white), true, Qt::black,
         kHighContrastEdgeContrast},
        {"high contrast white", Theme(Qt::white, Qt::black), true, Qt::white,
         kHighContrastEdgeContrast},
        {"high contrast yellow on navy", Theme(QColor(0x00, 0x00, 0x80), Qt::yellow), true,
         QColor(0x00, 0x00, 0x80), kHighContrastEdgeContrast},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResultsItemModel model;
        ResultsTableView view;
        view.setPalette(c.theme);
        view.setModel(&model);
        SetResultColumns(model, view, view.logicalDpiX());
        HeaderImageList icons;
        LoadSortMarks(icons, view, c.high_contrast);
        model.SetHeaderImages(&icons);
        lvwResults_ColumnClick(model, 2);  // Locality, ascending: the up mark
        view.resize(700, 200);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QHeaderView& header = *view.horizontalHeader();
        const QImage shot = header.grab().toImage();

        // The face, at the far right of a heading, clear of text and mark.
        const QColor face = shot.pixelColor(
            header.sectionViewportPosition(1) + header.sectionSize(1) - 8, header.height() / 2);
        EXPECT_LT(ContrastRatio(face, c.face), 1.15) << face.name().toStdString();

        // The text of a heading with no mark.
        if (!QFontInfo(header.font()).family().isEmpty()) {
            const QColor ink = StrongestInk(shot, header, 0, face);
            EXPECT_GE(ContrastRatio(ink, face), kHeadingTextContrast)
                << ink.name().toStdString() << " on " << face.name().toStdString();
        }

        // Both edges of the mark are drawn, each in a colour apart from the face.
        std::set<QRgb> edges;
        const QImage mark = icons.up.toImage();
        for (int y = 0; y < mark.height(); ++y) {
            for (int x = 0; x < mark.width(); ++x) {
                if (qAlpha(mark.pixel(x, y)) == 255) {
                    edges.insert(mark.pixel(x, y));
                }
            }
        }
        EXPECT_FALSE(edges.empty());
        for (const QRgb edge : edges) {
            const QColor colour = QColor::fromRgb(edge);
            EXPECT_GE(CountOf(shot, header, 1, colour), 8) << colour.name().toStdString();
            EXPECT_GE(ContrastRatio(colour, face), c.edge_contrast)
                << colour.name().toStdString() << " on " << face.name().toStdString();
        }
    }
}

}  // namespace
}  // namespace korvallestin
