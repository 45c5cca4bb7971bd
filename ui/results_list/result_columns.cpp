#include "result_columns.h"

#include <QColor>
#include <QHeaderView>
#include <QPalette>
#include <QPixmap>
#include <QString>

#include "result_list_model.h"
#include "result_rows.h"
#include "results_view.h"
#include "twips.h"

namespace korvallestin {

namespace {

struct Column {
    const char* caption;
    double width;  // twips
};
// The last five columns share one default width.
constexpr double kDefaultColumnWidth = 1440;
constexpr Column kColumns[ResultRows::kColumns] = {
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

void SetResultColumns(ResultListModel& model, ResultsView& view, double logical_dpi) {
    model.ClearColumns();
    for (int i = 0; i < ResultRows::kColumns; ++i) {
        model.AddColumn(QString::fromLatin1(kColumns[i].caption));
        view.horizontalHeader()->resizeSection(i, TwipsToPixels(kColumns[i].width, logical_dpi));
    }
}

void LoadSortMarks(HeaderImageList& icons, ResultsView& view) {
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
