#include "result_columns.h"

#include <QColor>
#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QString>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionHeader>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "result_row_store.h"
#include "results_item_model.h"
#include "results_table_view.h"
#include "twips.h"

namespace korvallestin {

namespace {

// The columns' widths in twips, in file order; their captions are the
// fields' headings. The last five columns share one default width.
constexpr double kDefaultColumnWidth = 1440;
constexpr double kColumnWidths[ResultRowStore::kColumns] = {
    900,                  // Postcode
    3000,                 // Locality
    600,                  // State
    3000,                 // Comments
    kDefaultColumnWidth,  // Delivery Office
    kDefaultColumnWidth,  // Presort Indicator
    kDefaultColumnWidth,  // Parcel Zone
    kDefaultColumnWidth,  // BSP Number
    kDefaultColumnWidth,  // BSP Name
};

// The luminance of a colour in the sRGB colour space, 0 to 1.
double RelativeLuminance(const QColor& colour) {
    auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) +
           0.0722 * channel(rgb.blueF());
}

// Whether the heading's style paints a heading's face dark enough for the
// sort marks' white edge to show. Styles that draw from the palette do; a
// style that draws the system's theme may paint it white whatever the
// palette says.
bool FaceShowsWhiteEdges(const QHeaderView& header) {
    QImage face(48, 24, QImage::Format_RGB32);
    face.fill(Qt::black);
    QStyleOptionHeader option;
    option.initFrom(&header);
    option.rect = face.rect();
    option.orientation = Qt::Horizontal;
    option.position = QStyleOptionHeader::Middle;
    QPainter painter(&face);
    header.style()->drawControl(QStyle::CE_HeaderSection, &option, &painter, &header);
    painter.end();
    return QColor(face.pixel(face.width() / 2, face.height() / 2)).lightness() < 225;
}

// Draws the headings in the plain Windows style, which paints the palette's
// face and text whatever the system's theme would paint.
void UsePlainStyle(QHeaderView& header) {
    if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
        plain->setParent(&header);
        header.setStyle(plain);
    }
}

// A sort mark with every edge that would blend into `face` redrawn in `ink`.
QPixmap MarkFor(const QPixmap& mark, const QColor& face, const QColor& ink) {
    QImage image = mark.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > 0 && ContrastRatio(pixel, face) < kHighContrastEdgeContrast) {
                image.setPixelColor(x, y, ink);
            }
        }
    }
    return QPixmap::fromImage(image);
}

}  // namespace

void SetResultColumns(ResultsItemModel& model, ResultsTableView& view, double logical_dpi) {
    model.ClearColumns();
    for (int i = 0; i < ResultRowStore::kColumns; ++i) {
        const std::string_view caption = kColumnHeadings[static_cast<std::size_t>(i)];
        model.AddColumn(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
        view.horizontalHeader()->resizeSection(i, TwipsToPixels(kColumnWidths[i], logical_dpi));
    }
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void LoadSortMarks(HeaderImageList& icons, ResultsTableView& view, bool high_contrast_theme) {
    icons.up = QPixmap(QStringLiteral(":/pictures/sort-up.xpm"));
    icons.down = QPixmap(QStringLiteral(":/pictures/sort-down.xpm"));
    QHeaderView* header = view.horizontalHeader();
    QPalette colours = header->palette();
    if (high_contrast_theme) {
        // The theme's own face and text win; an edge of the marks that would
        // vanish into that face is drawn in the theme's text colour. The
        // plain style paints exactly the theme's colours.
        const QColor face = colours.color(QPalette::Button);
        const QColor ink = colours.color(QPalette::ButtonText);
        icons.up = MarkFor(icons.up, face, ink);
        icons.down = MarkFor(icons.down, face, ink);
        UsePlainStyle(*header);
        return;
    }
    // The sort marks' white highlight and grey shadow edges are drawn for a
    // grey button face: the column headings get that face, so that both
    // edges show at any scale. The theme's heading text stays where it is
    // readable on that face (a light theme's dark text); a dark theme's light
    // text would not be, and black takes its place. Both are pinned, so that
    // a theme changed later cannot bring light text back onto the grey.
    const QColor face(0xC0, 0xC0, 0xC0);
    const QColor text = colours.color(QPalette::ButtonText);
    colours.setColor(QPalette::Button, face);
    colours.setColor(QPalette::ButtonText,
                     ContrastRatio(text, face) >= kHeadingTextContrast ? text : QColor(Qt::black));
    header->setPalette(colours);
    // Where the style paints the headings white regardless (Windows' own
    // theme does), they are drawn in the plain Windows style instead, which
    // paints the palette's face.
    if (!FaceShowsWhiteEdges(*header)) {
        UsePlainStyle(*header);
    }
}

}  // namespace korvallestin
