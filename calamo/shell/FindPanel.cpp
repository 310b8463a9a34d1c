#include "FindPanel.h"

#include "DocumentEdits.h"
#include "DocumentTable.h"
#include "EditorControl.h"
#include "LayoutRule.h"
#include "Prompts.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace calamo {

namespace {

constexpr int kEditHeight = 21;
constexpr int kButtonHeight = 25;

QLineEdit* makeEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(kFindEditLeft, 0, kFindEditWidth, kEditHeight);
    // The box holds what the user put there whole: a long selection cut short would replace the wrong text.
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->hide();
    return edit;
}

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int left)
{
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, 0, kFindButtonWidth, kButtonHeight);
    button->hide();
    return button;
}

EditorControl* editorOf(DocumentTable& docs)
{
    DocumentTable::Document* doc = docs.current();
    return doc ? static_cast<EditorControl*>(doc->editor) : nullptr;
}

}  // namespace

FindPanel::FindPanel(QWidget* client, DocumentTable& docs, Prompts& prompts, std::function<void()> relayout)
    : docs_(docs),
      prompts_(prompts),
      relayout_(std::move(relayout)),
      edit2_(makeEdit(client, "Edit2")),
      button1_(makeButton(client, "Button1", "Trova", kFindFirstButtonLeft)),
      button3_(makeButton(client, "Button3", "Successivo", kFindSecondButtonLeft)),
      panel10_(new QFrame(client)),
      edit3_(makeEdit(client, "Edit3")),
      button2_(makeButton(client, "Button2", "Sostituisci", kFindFirstButtonLeft)),
      button4_(makeButton(client, "Button4", "Fine", kFindSecondButtonLeft))
{
    panel10_->setObjectName(QStringLiteral("Panel10"));
    panel10_->setFrameShape(QFrame::HLine);
    panel10_->setFrameShadow(QFrame::Sunken);
    panel10_->setGeometry(159, 0, 326, 2);
    panel10_->hide();

    QObject::connect(button1_, &QPushButton::clicked, button1_, [this] { Button1Click(); });
    QObject::connect(button3_, &QPushButton::clicked, button3_, [this] { Button3Click(); });
    QObject::connect(button2_, &QPushButton::clicked, button2_, [this] { Button2Click(); });
    QObject::connect(button4_, &QPushButton::clicked, button4_, [this] { Button4Click(); });
    // Enter in the find box finds the next occurrence, as the button next to it does, but leaves the focus in
    // the box: a second Enter finds on instead of typing a line break into the text.
    QObject::connect(edit2_, &QLineEdit::returnPressed, edit2_, [this] { findFrom(selectionEnd(), false); });
}

void FindPanel::place(const MainLayout& layout)
{
    edit2_->move(kFindEditLeft, layout.edit2Top);
    button1_->move(kFindFirstButtonLeft, layout.buttons1And3Top);
    button3_->move(kFindSecondButtonLeft, layout.buttons1And3Top);
    panel10_->move(159, layout.panel10Top);
    edit3_->move(kFindEditLeft, layout.edit3Top);
    button2_->move(kFindFirstButtonLeft, layout.buttons2And4Top);
    button4_->move(kFindSecondButtonLeft, layout.buttons2And4Top);
}

void FindPanel::setVisible(bool visible)
{
    for (QWidget* control :
         std::initializer_list<QWidget*>{edit2_, button1_, button3_, panel10_, edit3_, button2_, button4_})
        control->setVisible(visible);
    visible_ = visible;
    relayout_();
}

void FindPanel::Speed23Click()
{
    if (visible_)
        return;
    if (EditorControl* editor = editorOf(docs_); editor && editor->selectionLength() > 0)
        edit2_->setText(editor->text().mid(editor->selectionStart(), editor->selectionLength()));
    edit3_->clear();
    setVisible(true);
    // Typing goes to the find box at once, replacing what it held.
    edit2_->setFocus();
    edit2_->selectAll();
}

void FindPanel::findFrom(int offset, bool focusEditor)
{
    EditorControl* editor = editorOf(docs_);
    if (!editor)
        return;
    if (!selectNext(*editor, edit2_->text(), offset))
        prompts_.showWarning(QStringLiteral("Non è possibile trovare il testo specificato."));
    if (focusEditor)
        editor->setFocus();
}

int FindPanel::selectionEnd()
{
    EditorControl* editor = editorOf(docs_);
    return editor ? editor->selectionStart() + editor->selectionLength() : 0;
}

void FindPanel::Button1Click()
{
    findFrom(0, true);
}

void FindPanel::Button3Click()
{
    findFrom(selectionEnd(), true);
}

void FindPanel::Button2Click()
{
    EditorControl* editor = editorOf(docs_);
    if (!editor)
        return;
    // Replacing changes the text: the document must not look saved, or closing would lose the replacements.
    if (replaceAll(*editor, edit2_->text(), edit3_->text()) > 0)
        docs_.current()->saved = false;
    editor->setFocus();
}

void FindPanel::Button4Click()
{
    setVisible(false);
    // The focus was on a control now hidden: typing goes back to the text.
    if (EditorControl* editor = editorOf(docs_))
        editor->setFocus();
}

}  // namespace calamo
