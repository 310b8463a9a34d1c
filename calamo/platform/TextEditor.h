#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace calamo {

// What the commands need of one document's editor control. Offsets count one character per line break.
class TextEditor {
public:
    virtual ~TextEditor() = default;

    virtual QString text() const = 0;
    // Replaces the whole text; the caret goes to the start.
    virtual void setText(const QString& text) = 0;
    virtual int selectionStart() const = 0;
    virtual int selectionLength() const = 0;
    // Inserts at `offset` without touching the rest of the text.
    virtual void insertText(int offset, const QString& text) = 0;
    // Caret at `offset`, nothing selected.
    virtual void setCaret(int offset) = 0;
    // Selects `length` characters from `start`, the caret at their end.
    virtual void select(int start, int length) = 0;
    virtual void setShown(bool shown) = 0;
    virtual bool isShown() const = 0;

    virtual void cut() = 0;
    virtual void copy() = 0;
    // Replaces the selection with the clipboard's text; false, changing nothing, when the clipboard holds none.
    virtual bool paste() = 0;
    virtual void selectAll() = 0;
    virtual bool wordWrap() const = 0;
    virtual void setWordWrap(bool on) = 0;
    // Prints on the default printer; the error text when it could not.
    virtual std::optional<QString> print(const QString& jobTitle) = 0;

    // Whether the text may differ from what it was when last loaded (setText) or marked unchanged, whatever
    // changed it: keys, menus, the control's own context menu, the mouse, drag and drop, input methods, undo
    // and redo. Changes of colour alone do not count. Once set it stays set until marked unchanged again.
    virtual bool isModified() const = 0;
    virtual void setModified(bool modified) = 0;
    // Called after every change that may have altered the text (not after setText), by whatever route.
    virtual void onTextChanged(std::function<void()> handler) = 0;
    // Gives this editor the keyboard focus.
    virtual void takeFocus() {}

    // Brackets several edits that the user undoes as one.
    virtual void beginEdit() {}
    virtual void endEdit() {}
};

// The window side of the document table: editor controls and the tab strip.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // A new editor control above all others, shown, word wrap on. The host owns it.
    virtual TextEditor& createEditor() = 0;
    virtual void destroyEditor(TextEditor& editor) = 0;
    virtual void addTab(const QString& caption) = 0;
    virtual void removeTab(int index) = 0;
    // Selects a tab without running the tab-change handler; -1 selects none.
    virtual void selectTab(int index) = 0;
    virtual void setTabCaption(int index, const QString& caption) = 0;
    virtual int tabCount() const = 0;
    virtual void applyLayout() = 0;
    // Runs the setup dialog for a new document; without one the editor stays empty.
    virtual void setUpNewDocument(TextEditor&) {}
};

}  // namespace calamo
