#pragma once

#include <string>

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace korvallestin {

// The About window: the program's name and version, what it is for, where to
// send reports, the licence notice and short usage instructions. Opened
// modally from the main window's help icon, created fresh for every opening
// and destroyed when closed; "OK" (or Enter) closes it.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    // `parent` is the main window; the dialog is centred over it.
    explicit frmAbout(QWidget* parent);

    // The texts Form_Load sets, with CR LF line breaks. The widgets show the
    // breaks as line breaks; these keep the exact characters.
    static std::string AboutText();
    static std::string InstructionsText();

    // Fills lblText and txtInstructions. Run by the constructor.
    void Form_Load();
    // Closes the window.
    void btnOK_Click();

  private:
    QLabel* Image2 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblText = nullptr;
    QLabel* Image1 = nullptr;
    QPlainTextEdit* txtInstructions = nullptr;
    QPushButton* btnOK = nullptr;
};

}  // namespace korvallestin
