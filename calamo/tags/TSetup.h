#pragma once

#include "PageSetup.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace calamo {

class Prompts;
class TextEditor;

// The modal dialog "Proprietà pagina" that New opens: the user describes the new page and "Ok" writes its
// skeleton into the new document. Created once and reused, so its boxes keep what the user typed and ticked.
class TSetup final : public QDialog {
    Q_OBJECT
public:
    TSetup(Prompts& prompts, QWidget* parent);

    // Shows the dialog modally for the new document's `editor`. "Ok" replaces the editor's text with the page;
    // any other way of closing leaves the editor as it was.
    void run(TextEditor& editor);

    SetupPanel panel() const;

    // Every showing starts with nothing chosen; the boxes and the colour preview keep their state.
    void FormShow();
    void Button1Click();  // background image
    void Button2Click();  // background colour
    void Button3Click();  // text colour
    void Button4Click();  // link colour
    void Button5Click();  // active-link colour
    void Button6Click();  // visited-link colour
    void Button7Click();  // "Ok"

private:
    void pick(std::optional<std::uint32_t>& choice, QWidget* preview, bool fillsBackground);

    Prompts& prompts_;
    TextEditor* editor_ = nullptr;  // the document being set up, while the dialog runs
    PageChoices choices_;
    QLineEdit* edit1_ = nullptr;
    QLineEdit* edit2_ = nullptr;
    QLineEdit* edit3_ = nullptr;
    QCheckBox* checkBox1_ = nullptr;
    QCheckBox* checkBox2_ = nullptr;
    QCheckBox* checkBox3_ = nullptr;
    QCheckBox* checkBox4_ = nullptr;
    QCheckBox* checkBox5_ = nullptr;
    QCheckBox* checkBox6_ = nullptr;
    QCheckBox* checkBox7_ = nullptr;
    QGroupBox* preview_ = nullptr;  // GroupBox1 "Anteprima colori"
    QLabel* textLabel_ = nullptr;
    QLabel* linkLabel_ = nullptr;
    QLabel* activeLabel_ = nullptr;
    QLabel* visitedLabel_ = nullptr;
};

}  // namespace calamo
