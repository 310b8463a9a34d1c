#include "DocumentEdits.h"

#include "QtEditor.h"
#include "TagScan.h"
#include "TextSearch.h"

#include <QTextCursor>
#include <QTextDocument>

namespace calamo {

void colourTags(EditorControl& editor)
{
    QTextDocument* document = editor.document();
    const int caret = editor.textCursor().selectionStart();
    const bool modified = document->isModified();

    QTextCharFormat tag;
    tag.setForeground(kTagColour);
    QTextCursor cursor(document);
    // One edit block: the layout is brought up to date once, and one undo takes all the colours away.
    cursor.beginEditBlock();
    for (const TextSpan& span : tagSpans(editor.text())) {
        cursor.setPosition(span.start);
        cursor.setPosition(span.start + span.length, QTextCursor::KeepAnchor);
        // Merged, so any other property of the characters stays.
        cursor.mergeCharFormat(tag);
    }
    cursor.endEditBlock();
    document->setModified(modified);

    QTextCursor at(document);
    at.setPosition(caret);
    editor.setTextCursor(at);
    QTextCharFormat typing = at.charFormat();
    typing.clearForeground();
    editor.setCurrentCharFormat(typing);
}

bool selectNext(EditorControl& editor, const QString& what, int from)
{
    const int p = findText(editor.text(), what, from);
    if (p < 0)
        return false;
    QTextCursor cursor = editor.textCursor();
    cursor.setPosition(p);
    cursor.setPosition(p + static_cast<int>(what.size()), QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
    return true;
}

int replaceAll(EditorControl& editor, const QString& what, const QString& with)
{
    const std::vector<int> matches = replaceAllMatches(editor.text(), what);
    if (matches.empty())
        return 0;
    const int length = static_cast<int>(what.size());
    QTextCursor cursor(editor.document());
    cursor.beginEditBlock();
    // From the last match back, so the offsets of the ones before stay valid.
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        cursor.setPosition(*it);
        cursor.setPosition(*it + length, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        editor.insertText(*it, with);
    }
    cursor.endEditBlock();
    editor.setCaret(0);
    return static_cast<int>(matches.size());
}

}  // namespace calamo
