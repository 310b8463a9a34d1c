#pragma once

#include "KeyCodes.h"
#include "TextEditor.h"

#include <QPlainTextEdit>

#include <functional>

namespace calamo {

// One document's editor control: a plain-text edit that reports key releases with their key codes.
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
    void paste() override;
    void selectAll() override;
    bool wordWrap() const override;
    void setWordWrap(bool on) override;
    std::optional<QString> print(const QString& jobTitle) override;
    void beginEdit() override;
    void endEdit() override;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    KeyReleased keyReleased_;
    QTextCursor editBlock_;
};

}  // namespace calamo
