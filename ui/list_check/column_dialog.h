#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

namespace korvallestin {

class CheckedList;

// Asks which columns hold the locality, the state and the postcode when the
// list's headings do not say: the list's first rows on view, a drop-down list
// of its columns for each, and why the columns were asked for. OK gives the
// list the columns; a refusal (the same column twice) is shown here and the
// dialog stays open.
class ColumnDialog final : public QDialog {
    Q_OBJECT

  public:
    ColumnDialog(CheckedList& list, QWidget* parent = nullptr);

    void accept() override;

  private:
    CheckedList& list_;
    QComboBox* cboLocality_ = nullptr;
    QComboBox* cboState_ = nullptr;
    QComboBox* cboPostcode_ = nullptr;
    QLabel* lblError_ = nullptr;
};

}  // namespace korvallestin
