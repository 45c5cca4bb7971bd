#include "result_columns.h"

#include <QColor>
#include <QHeaderView>
#include <QPalette>
#include <QPixmap>
#include <QString>

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
    QPalette face = view.horizontalHeader()->palette();
    face.setColor(QPalette::Button, QColor(0xC0, 0xC0, 0xC0));
    view.horizontalHeader()->setPalette(face);
}

}  // namespace korvallestin
