#pragma once

#include "CopierEnvironment.h"
#include "zBigLabel.h"
#include "zGradBtn.h"

#include <QWidget>

#include <cstdint>
#include <string>

class Prompts;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTextEdit;
class TzBackground;
class TzGauge;
class TzShowApp;

// The copier's window: shows the descriptive text beside the program, measures the program's tree,
// compares it with the free space at the target root and, on request, copies the tree (except the
// program itself) into a directory of the same name there, one log line per step.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    TForm1(CopierEnvironment environment, Prompts& prompts, QWidget* parent = nullptr);

    // The opening sequence; runs once, just after the window is first shown.
    void FormShow();
    void btnCopiaClick();
    void btnTerminaClick();

    TzGradBtn* btnCopia;
    TzGauge* Gauge;
    TzGradBtn* btnTermina;
    QPlainTextEdit* Memo1;
    QLabel* Label1;
    TzBigLabel* lblDest;
    QTextEdit* Memo2;
    TzShowApp* zShowApp1;
    TzBackground* zBackground1;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateControls();
    void LoadApplicationComponent();
    void Log(const std::string& line);
    void SetButtons(bool copia, bool termina);
    void RunOpening();
    void RunCopy();
    std::string SourceDir() const;  // the program's directory with its trailing "/"

    CopierEnvironment env_;
    Prompts& prompts_;
    bool opened_ = false;
    bool closing_ = false;
};

// Loads "testo.rtf" (formatted) or else "testo.txt" (plain) from dir into view; leaves it empty
// when neither exists.
void LoadDescriptiveText(QTextEdit* view, const std::string& dir);
