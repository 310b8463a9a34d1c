#include "DocumentEdits.h"

#include "EditorControl.h"
#include "TagScan.h"
#include "TextSearch.h"

#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

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

// Whether any character of the document was ever given a text colour ("Colora tag").
bool hasColours(const QTextDocument& document)
{
    const QList<QTextFormat> formats = document.allFormats();
    return std::any_of(formats.begin(), formats.end(), [](const QTextFormat& format) {
        return format.isCharFormat() && format.hasProperty(QTextFormat::ForegroundBrush);
    });
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
    const QString text = editor.text();
    const std::vector<int> matches = replaceAllMatches(text, what);
    if (matches.empty())
        return 0;
    const int length = static_cast<int>(what.size());
    std::vector<TextReplacement> edits;
    edits.reserve(matches.size());
    for (int p : matches)
        edits.push_back({p, length, with});
    replaceSpans(editor, text, edits);
    editor.setCaret(0);
    return static_cast<int>(matches.size());
}

void replaceSpans(EditorControl& editor, const QString& text, const std::vector<TextReplacement>& edits)
{
    if (edits.empty())
        return;
    const QTextCursor current = editor.textCursor();
    const int caretOffset =
        editor.selectionStart() + (current.position() == current.selectionStart() ? 0 : editor.selectionLength());
    std::vector<int> bounds;  // start and end offset of each edit
    bounds.reserve(edits.size() * 2);
    for (const TextReplacement& edit : edits)
        bounds.insert(bounds.end(), {edit.start, edit.start + edit.length});
    const std::vector<int> positions = editor.positionsOf(bounds);

    QTextDocument* document = editor.document();
    // Each change of the text document costs about as much as putting in a few hundred characters, so in a
    // document without colours edits less than kMergeGap characters apart go in as one change, the text between
    // them put back as it was: a page full of accented letters is then converted in about twice the time it
    // takes to load it, and a page with a few is changed in a few places. A change puts in at most about
    // kChangeSize characters, so the text of one change is made in memory that the one before freed. With
    // colours each edit is made on its own, so the colours of the text between edits stay.
    constexpr int kMergeGap = 256;
    constexpr int kChangeSize = 1 << 16;
    const bool coloured = hasColours(*document);
    struct Change {
        std::size_t first;  // the edits first..last go in as one change
        std::size_t last;
        qsizetype size;  // of the text put in
    };
    std::vector<Change> changes;
    for (std::size_t first = 0; first < edits.size();) {
        Change change{first, first, edits[first].with.size()};
        while (!coloured && change.last + 1 < edits.size() && change.size < kChangeSize) {
            const std::size_t next = change.last + 1;
            const int gapLength = bounds[2 * next] - bounds[2 * next - 1];
            // Never over the break of a long line shown in several blocks (it takes a position but no offset):
            // the editor control splits only the lines it is given whole.
            if (gapLength >= kMergeGap || positions[2 * next] - positions[2 * next - 1] != gapLength)
                break;
            change.last = next;
            change.size += gapLength + edits[next].with.size();
        }
        changes.push_back(change);
        first = change.last + 1;
    }

    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // From the last change back, so the places of the ones before stay valid.
    for (auto change = changes.rbegin(); change != changes.rend(); ++change) {
        const int start = positions[2 * change->first];
        const int end = positions[2 * change->last + 1];
        QString with;
        with.reserve(change->size);
        with += edits[change->first].with;
        for (std::size_t i = change->first + 1; i <= change->last; ++i) {
            with += QStringView(text).mid(bounds[2 * i - 1], bounds[2 * i] - bounds[2 * i - 1]);
            with += edits[i].with;
        }
        // Text put in where nothing was replaced takes no colour of its neighbours.
        QTextCharFormat replaced;
        if (end > start) {
            if (coloured) {
                cursor.setPosition(start + 1);
                replaced = cursor.charFormat();
            }
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        const int before = document->characterCount();
        editor.insertAtPosition(start, with);
        // The replacement is painted as the text it replaces was: a replaced tag stays blue, and nothing put in
        // place of plain text takes the colour of a tag before it.
        if (coloured)
            takeForeground(cursor, start, start + document->characterCount() - before, replaced);
    }
    cursor.endEditBlock();
    editor.setCaret(offsetAfterEdits(caretOffset, edits));
}

void replaceSelection(EditorControl& editor, const QString& text)
{
    const int start = editor.selectionStart();
    replaceSpans(editor, editor.text(), {{start, editor.selectionLength(), text}});
    editor.setCaret(start + static_cast<int>(text.size()));
}

}  // namespace calamo
