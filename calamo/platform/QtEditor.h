#pragma once

#include "KeyCodes.h"
#include "TextEditor.h"

#include <QPlainTextEdit>

#include <functional>

namespace calamo {

// One document's editor control: a plain-text edit that reports key releases with their key codes.
// Its text is exactly what it was given and what the user typed: no character is converted on the way in or out
// (no-break spaces, line and paragraph separators included).
class EditorControl final : public QPlainTextEdit, public TextEditor {
    Q_OBJECT
public:
    using KeyReleased = std::function<void(int keyCode, Modifiers held)>;

    explicit EditorControl(QWidget* parent = nullptr);
    void onKeyReleased(KeyReleased handler) { keyReleased_ = std::move(handler); }

    QString text() const override;
    void setText(const QString& text) override;
    int selectionStart() const override;
    int selectionLength() const override;
    void insertText(int offset, const QString& text) override;
    void setCaret(int offset) override;
    void setShown(bool shown) override;
    bool isShown() const override;
    void cut() override;
    void copy() override;
    bool paste() override;
    void selectAll() override;
    bool wordWrap() const override;
    void setWordWrap(bool on) override;
    std::optional<QString> print(const QString& jobTitle) override;
    bool isModified() const override;
    void setModified(bool modified) override;
    void takeFocus() override;
    void beginEdit() override;
    void endEdit() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Inserts plain text at the cursor. The characters the text document would take as paragraph breaks
    // (U+2029, U+FDD0, U+FDD1) go in as a stand-in that remembers them.
    void insertPlain(QTextCursor& cursor, const QString& text);

    KeyReleased keyReleased_;
    QTextCursor editBlock_;
    bool hasStandIns_ = false;  // some stand-in was ever inserted: text() then looks for them
};

}  // namespace calamo
