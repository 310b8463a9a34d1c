#pragma once

#include <functional>

class QFrame;
class QLineEdit;
class QPushButton;
class QWidget;

namespace calamo {

class DocumentTable;
class Prompts;
struct MainLayout;

// The find panel: seven controls of the main window's client area, shown and hidden together, and their
// commands on the current document. The window places them by its layout rule.
class FindPanel {
public:
    // `relayout` applies the window's layout rule, after the panel was shown or hidden.
    FindPanel(QWidget* client, DocumentTable& docs, Prompts& prompts, std::function<void()> relayout);

    // FindPanelVisible.
    bool visible() const { return visible_; }
    void place(const MainLayout& layout);

    void Speed23Click();  // show the panel
    void Button1Click();  // find from the start
    void Button3Click();  // find next
    void Button2Click();  // replace all
    void Button4Click();  // close the panel

private:
    void setVisible(bool visible);
    // Selects the next occurrence from `offset`, or says there is none; the editor gets the focus when
    // `focusEditor`, as after a click on a button.
    void findFrom(int offset, bool focusEditor);
    int selectionEnd();

    DocumentTable& docs_;
    Prompts& prompts_;
    std::function<void()> relayout_;
    bool visible_ = false;
    QLineEdit* edit2_;
    QPushButton* button1_;
    QPushButton* button3_;
    QFrame* panel10_;
    QLineEdit* edit3_;
    QPushButton* button2_;
    QPushButton* button4_;
};

}  // namespace calamo
