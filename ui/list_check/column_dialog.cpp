#include "column_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "checked_list.h"

namespace korvallestin {

namespace {

constexpr std::size_t kRowsShown = 5;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

ColumnDialog::ColumnDialog(CheckedList& list, QWidget* parent) : QDialog(parent), list_(list) {
    setObjectName(QStringLiteral("dlgColumns"));
    setWindowTitle(QStringLiteral("Which columns?"));
    auto* layout = new QVBoxLayout(this);

    auto* question = new QLabel(FromUtf8(list.ColumnQuestion()), this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    question->setWordWrap(true);
    layout->addWidget(question);

    const std::vector<std::string>& headings = list.Headings();
    const std::vector<std::vector<std::string>> rows = list.FirstRows(kRowsShown);
    auto* table =
        new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(headings.size()), this);
    table->setObjectName(QStringLiteral("tblFirstRows"));
    table->setAccessibleName(QStringLiteral("First rows of the list"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    QStringList captions;
    for (std::size_t c = 0; c < headings.size(); ++c) {
        captions << QStringLiteral("%1: %2").arg(c + 1).arg(FromUtf8(headings[c]));
    }
    table->setHorizontalHeaderLabels(captions);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (std::size_t c = 0; c < rows[r].size() && c < headings.size(); ++c) {
            table->setItem(static_cast<int>(r), static_cast<int>(c),
                           new QTableWidgetItem(FromUtf8(rows[r][c])));
        }
    }
    table->resizeColumnsToContents();
    layout->addWidget(table);
    // Wide enough for the list's columns, within reason.
    const int wanted = table->verticalHeader()->width() + table->horizontalHeader()->length() +
                       2 * table->frameWidth() + 2 * layout->contentsMargins().left();
    setMinimumWidth(std::min(wanted, 4 * table->horizontalHeader()->defaultSectionSize() * 3));

    // Each box offers every column; the ones the headings did name are chosen.
    const ListColumns& found = list.Columns();
    auto* form = new QFormLayout;
    auto make_box = [&](const char* name, const QString& label, const ListColumn& column) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->addItems(captions);
        box->setCurrentIndex(column.index);
        box->setAccessibleName(label);
        auto* caption = new QLabel(QStringLiteral("&%1 column:").arg(label), this);
        caption->setBuddy(box);
        form->addRow(caption, box);
        return box;
    };
    cboLocality_ = make_box("cboLocality", QStringLiteral("Locality"), found.locality);
    cboState_ = make_box("cboState", QStringLiteral("State"), found.state);
    cboPostcode_ = make_box("cboPostcode", QStringLiteral("Postcode"), found.postcode);
    layout->addLayout(form);

    lblError_ = new QLabel(this);
    lblError_->setObjectName(QStringLiteral("lblError"));
    lblError_->setWordWrap(true);
    lblError_->setAccessibleName(QStringLiteral("Problem"));
    layout->addWidget(lblError_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ColumnDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ColumnDialog::reject);
    layout->addWidget(buttons);
    cboLocality_->setFocus();
}

void ColumnDialog::accept() {
    std::string error;
    if (!list_.SetColumns(cboPostcode_->currentIndex(), cboLocality_->currentIndex(),
                          cboState_->currentIndex(), error)) {
        lblError_->setText(FromUtf8(error));
        lblError_->setAccessibleDescription(lblError_->text());
        return;
    }
    QDialog::accept();
}

}  // namespace korvallestin
