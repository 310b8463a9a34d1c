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
    const std::vector<TextSpan> spans = tagSpans(editor.text());
    // Each format change costs a few searches of the document's fragment tree, so tags that touch ("</B></A>")
    // are painted as one range.
    for (std::size_t i = 0; i < spans.size();) {
        const int start = spans[i].start;
        int end = start + spans[i].length;
        for (++i; i < spans.size() && spans[i].start == end; ++i)
            end += spans[i].length;
        cursor.setPosition(start);
        cursor.setPosition(end, QTextCursor::KeepAnchor);
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

namespace {

bool sameForeground(const QTextCharFormat& a, const QTextCharFormat& b)
{
    const bool aHas = a.hasProperty(QTextFormat::ForegroundBrush);
    return aHas == b.hasProperty(QTextFormat::ForegroundBrush) && (!aHas || a.foreground() == b.foreground());
}

// Gives the characters from `start` to `end` the text colour of `like` (or none), keeping their other properties.
void takeForeground(QTextCursor& cursor, int start, int end, const QTextCharFormat& like)
{
    for (int pos = start; pos < end;) {
        cursor.setPosition(pos + 1);
        QTextCharFormat format = cursor.charFormat();
        int runEnd = pos + 1;
        for (; runEnd < end; ++runEnd) {
            cursor.setPosition(runEnd + 1);
            if (cursor.charFormat() != format)
                break;
        }
        if (!sameForeground(format, like)) {
            if (like.hasProperty(QTextFormat::ForegroundBrush))
                format.setForeground(like.foreground());
            else
                format.clearForeground();
            cursor.setPosition(pos);
            cursor.setPosition(runEnd, QTextCursor::KeepAnchor);
            cursor.setCharFormat(format);
        }
        pos = runEnd;
    }
}

}  // namespace

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
    const int added = static_cast<int>(with.size());
    QTextCursor cursor(editor.document());
    cursor.beginEditBlock();
    // From the last match back, so the offsets of the ones before stay valid.
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        cursor.setPosition(*it + 1);
        const QTextCharFormat replaced = cursor.charFormat();
        cursor.setPosition(*it);
        cursor.setPosition(*it + length, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        editor.insertText(*it, with);
        // The replacement is painted as the text it replaces was: a replaced tag stays blue, and nothing put in
        // place of plain text takes the colour of a tag before it.
        takeForeground(cursor, *it, *it + added, replaced);
    }
    cursor.endEditBlock();
    editor.setCaret(0);
    return static_cast<int>(matches.size());
}

}  // namespace calamo
