#pragma once

#include "Config.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace calamo {

class FileSystem;
class Prompts;

// The modal dialog "Editor tasti di scelta rapida": shows and changes the codes of the shortcut table in place,
// so a changed key works at once; leaving writes the configuration file.
class TShort final : public QDialog {
    Q_OBJECT
public:
    // `parent` is the main window, brought to the front when the dialog closes; `configPath` is where the
    // configuration file is written.
    TShort(Config& config, FileSystem& files, Prompts& prompts, QWidget* parent, QString configPath = kConfigFileName);

    void ComboBox1Change();
    void Button1Click();  // "Salva"
    void Button2Click();  // "Uscita"

protected:
    void showEvent(QShowEvent* event) override;
    // Esc and the window's close button leave as "Uscita" does, so the file holds what the keys do.
    void reject() override;

private:
    Config& config_;
    FileSystem& files_;
    Prompts& prompts_;
    QString configPath_;
    QComboBox* comboBox1_ = nullptr;
    QLineEdit* edit1_ = nullptr;
};

}  // namespace calamo
