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

#include "result_row_store.h"
#include "results_item_model.h"
#include "results_table_view.h"
#include "twips.h"

namespace korvallestin {

namespace {

struct Column {
    const char* caption;
    double width;  // twips
};
// The last five columns share one default width.
constexpr double kDefaultColumnWidth = 1440;
constexpr Column kColumns[ResultRowStore::kColumns] = {
    {"Postcode", 900},
    {"Locality", 3000},
    {"State", 600},
    {"Comments", 3000},
    {"Delivery Office", kDefaultColumnWidth},
    {"Presort Indicator", kDefaultColumnWidth},
    {"Parcel Zone", kDefaultColumnWidth},
    {"BSP Number", kDefaultColumnWidth},
    {"BSP Name", kDefaultColumnWidth},
};

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

}  // namespace

void SetResultColumns(ResultsItemModel& model, ResultsTableView& view, double logical_dpi) {
    model.ClearColumns();
    for (int i = 0; i < ResultRowStore::kColumns; ++i) {
        model.AddColumn(QString::fromLatin1(kColumns[i].caption));
        view.horizontalHeader()->resizeSection(i, TwipsToPixels(kColumns[i].width, logical_dpi));
    }
}

void LoadSortMarks(HeaderImageList& icons, ResultsTableView& view) {
    icons.up = QPixmap(QStringLiteral(":/pictures/sort-up.xpm"));
    icons.down = QPixmap(QStringLiteral(":/pictures/sort-down.xpm"));
    // The sort marks' white highlight and grey shadow edges are drawn for a
    // grey button face: the column headings get that face, so that both
    // edges show at any scale.
    QHeaderView* header = view.horizontalHeader();
    QPalette face = header->palette();
    face.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
    header->setPalette(face);
    // Where the style paints the headings white regardless (Windows' own
    // theme does), they are drawn in the plain Windows style instead, which
    // paints the palette's face.
    if (!FaceShowsWhiteEdges(*header)) {
        if (QStyle* plain = QStyleFactory::create(QStringLiteral("Windows"))) {
            plain->setParent(header);
            header->setStyle(plain);
        }
    }
}

}  // namespace korvallestin
