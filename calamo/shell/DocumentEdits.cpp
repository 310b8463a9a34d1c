#include "DocumentEdits.h"

#include "QtEditor.h"
#include "TagScan.h"
#include "TextSearch.h"

#include <QTextCursor>
#include <QTextDocument>

namespace calamo {

namespace {

bool sameForeground(const QTextCharFormat& a, const QTextCharFormat& b)
{
    const bool aHas = a.hasProperty(QTextFormat::ForegroundBrush);
    return aHas == b.hasProperty(QTextFormat::ForegroundBrush) && (!aHas || a.foreground() == b.foreground());
}

bool isBlockBreak(const QTextDocument& document, int position)
{
    return document.characterAt(position) == QChar::ParagraphSeparator;
}

// Gives the characters from position `start` to `end` the text colour of `like` (or none), keeping every other
// property. Block breaks keep their own format: the editor control marks some of them.
void takeForeground(QTextCursor& cursor, int start, int end, const QTextCharFormat& like)
{
    const QTextDocument& document = *cursor.document();
    for (int pos = start; pos < end;) {
        if (isBlockBreak(document, pos)) {
            ++pos;
            continue;
        }
        cursor.setPosition(pos + 1);  // the format of the character before the cursor
        QTextCharFormat format = cursor.charFormat();
        int runEnd = pos + 1;
        for (; runEnd < end && !isBlockBreak(document, runEnd); ++runEnd) {
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

void colourTags(EditorControl& editor)
{
    QTextDocument* document = editor.document();
    const int caret = editor.selectionStart();
    const bool modified = document->isModified();

    // Tags that touch ("</B></A>") are painted as one range: each format change costs a few searches of the
    // document's fragment tree.
    std::vector<int> bounds;  // start and end offset of each range
    const std::vector<TextSpan> spans = tagSpans(editor.text());
    for (const TextSpan& span : spans) {
        if (!bounds.empty() && bounds.back() == span.start)
            bounds.back() = span.start + span.length;
        else
            bounds.insert(bounds.end(), {span.start, span.start + span.length});
    }
    const std::vector<int> positions = editor.positionsOf(bounds);

    QTextCharFormat tag;
    tag.setForeground(kTagColour);
    QTextCursor cursor(document);
    // One edit block: the layout is brought up to date once, and one undo takes all the colours away.
    cursor.beginEditBlock();
    for (std::size_t i = 0; i + 1 < positions.size(); i += 2) {
        cursor.setPosition(positions[i]);
        cursor.setPosition(positions[i + 1], QTextCursor::KeepAnchor);
        // Merged, so any other property of the characters stays.
        cursor.mergeCharFormat(tag);
    }
    cursor.endEditBlock();
    document->setModified(modified);

    editor.setCaret(caret);
    QTextCharFormat typing = editor.textCursor().charFormat();
    typing.clearForeground();
    editor.setCurrentCharFormat(typing);
}

bool selectNext(EditorControl& editor, const QString& what, int from)
{
    const int p = findText(editor.text(), what, from);
    if (p < 0)
        return false;
    editor.select(p, static_cast<int>(what.size()));
    return true;
}

int replaceAll(EditorControl& editor, const QString& what, const QString& with)
{
    const std::vector<int> matches = replaceAllMatches(editor.text(), what);
    if (matches.empty())
        return 0;
    const int length = static_cast<int>(what.size());
    std::vector<TextReplacement> edits;
    edits.reserve(matches.size());
    for (int p : matches)
        edits.push_back({p, length, with});
    replaceSpans(editor, edits);
    editor.setCaret(0);
    return static_cast<int>(matches.size());
}

void replaceSpans(EditorControl& editor, const std::vector<TextReplacement>& edits)
{
    if (edits.empty())
        return;
    const QTextCursor current = editor.textCursor();
    const int caretOffset = editor.selectionStart()
                            + (current.position() == current.selectionStart() ? 0 : editor.selectionLength());
    std::vector<int> bounds;  // start and end offset of each edit
    bounds.reserve(edits.size() * 2);
    for (const TextReplacement& edit : edits)
        bounds.insert(bounds.end(), {edit.start, edit.start + edit.length});
    const std::vector<int> positions = editor.positionsOf(bounds);

    QTextDocument* document = editor.document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // From the last edit back, so the places of the ones before stay valid.
    for (std::size_t i = edits.size(); i-- > 0;) {
        const int start = positions[2 * i];
        const int end = positions[2 * i + 1];
        // Text put in where nothing was replaced takes no colour of its neighbours.
        QTextCharFormat replaced;
        if (end > start) {
            cursor.setPosition(start + 1);
            replaced = cursor.charFormat();
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        const int before = document->characterCount();
        editor.insertAtPosition(start, edits[i].with.toString());
        // The replacement is painted as the text it replaces was: a replaced tag stays blue, and nothing put in
        // place of plain text takes the colour of a tag before it.
        takeForeground(cursor, start, start + document->characterCount() - before, replaced);
    }
    cursor.endEditBlock();
    editor.setCaret(offsetAfterEdits(caretOffset, edits));
}

void replaceSelection(EditorControl& editor, const QString& text)
{
    const int start = editor.selectionStart();
    replaceSpans(editor, {{start, editor.selectionLength(), text}});
    editor.setCaret(start + static_cast<int>(text.size()));
}

}  // namespace calamo
