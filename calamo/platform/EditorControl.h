#pragma once

#include "KeyCodes.h"
#include "TextEditor.h"

#include <QPlainTextEdit>

#include <functional>
#include <vector>

namespace calamo {

// One document's editor control: a plain-text edit that reports key releases with their key codes.
// Its text is exactly what it was given and what the user typed: no character is converted on the way in or out
// (no-break spaces, line and paragraph separators included).
//
// A line longer than a few thousand characters (a minified page, an inline image) is shown as several blocks
// of the text document, since the toolkit lays a whole block out again on every change: the block that goes on
// a line carries a mark, and its break is not part of the text. Offsets, text and clipboard leave these breaks
// out; typing, deleting and moving the caret step over them.
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
    void select(int start, int length) override;
    // Document positions of text offsets given in ascending order, found in one pass over the blocks (the
    // breaks of long lines take a position but no offset).
    std::vector<int> positionsOf(const std::vector<int>& ascendingOffsets) const;
    // Inserts `text` at a document position, as insertText does at an offset.
    void insertAtPosition(int position, const QString& text);
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
    void onTextChanged(std::function<void()> handler) override { textChanged_ = std::move(handler); }
    void takeFocus() override;
    void beginEdit() override;
    void endEdit() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    // Inserts plain text at the cursor: '\n' (or CR LF, or CR) ends a line, a long line goes in as several
    // blocks, and the characters the text document would take as paragraph breaks (U+2029, U+FDD0, U+FDD1) go
    // in as a stand-in that remembers them.
    void insertPlain(QTextCursor& cursor, const QString& text);
    // `plain` is the format of the text where the insertion starts, without our marks.
    void insertLine(QTextCursor& cursor, QStringView line, const QTextCharFormat& plain);
    void insertRun(QTextCursor& cursor, QStringView run, const QTextCharFormat& plain);
    // The text between two document positions.
    QString textBetween(int from, int to) const;
    QString blockText(const QTextBlock& block) const;
    int offsetOf(int position) const;
    int positionOf(int offset) const;
    // Steps over the breaks of long lines before the toolkit handles a caret or delete key.
    void stepOverSegmentBreak(QKeyEvent* event);
    // Every change of the text document passes here, whatever made it.
    void documentChanged(int position, int removed, int added);
    void markUnchanged(QString text);

    KeyReleased keyReleased_;
    std::function<void()> textChanged_;
    // The text as last loaded or marked unchanged, kept only while no change of the text was seen: a change that
    // keeps the length (colours, undoing them, or a character typed over a selected one) is compared with it.
    QString unchangedText_;
    bool modified_ = false;
    bool loading_ = false;  // setText is putting a new text in: not a change
    QTextCursor editBlock_;
    bool hasStandIns_ = false;  // some stand-in was ever inserted: text() then looks for them
    bool segmented_ = false;    // some long line was ever shown as several blocks
};

}  // namespace calamo
