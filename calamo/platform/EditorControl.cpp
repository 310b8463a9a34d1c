#include "EditorControl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

namespace calamo {

namespace {

// Character format property holding the character a stand-in shows.
constexpr int kOriginalCharacter = QTextFormat::UserProperty + 1;
// Character format property of a paragraph separator: the break it makes is not in the text (the block after
// it goes on the line before). The mark lives on the separator itself, so it goes when the separator is deleted
// and never moves to another block when blocks merge.
constexpr int kSoftBreak = QTextFormat::UserProperty + 2;
constexpr char16_t kStandIn = 0xFFFD;

// Lines longer than kLongLine characters are shown in blocks of about kSegment characters: short enough that
// laying one out again after a keystroke takes a millisecond or two.
constexpr qsizetype kLongLine = 4096;
constexpr qsizetype kSegment = 2048;

bool needsStandIn(char16_t c)
{
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

// Whether the separator before `block` is a soft break (a block's character format is that of the separator
// before it; the first block has none).
bool isContinuation(const QTextBlock& block)
{
    return block.isValid() && block.position() > 0 && block.charFormat().boolProperty(kSoftBreak);
}

// The character format for text or a separator inserted at `cursor`: its own, without our marks.
QTextCharFormat plainFormat(const QTextCursor& cursor)
{
    QTextCharFormat format = cursor.charFormat();
    format.clearProperty(kSoftBreak);
    format.clearProperty(kOriginalCharacter);
    return format;
}

QTextCharFormat softBreakFormat(const QTextCharFormat& plain)
{
    QTextCharFormat format = plain;
    format.setProperty(kSoftBreak, true);
    return format;
}

// Where the segment of `line` that starts at `from` ends: after a blank, ">" or "," near kSegment characters
// when there is one, so that the break looks like a wrap; never between the halves of a surrogate pair.
qsizetype segmentEnd(QStringView line, qsizetype from)
{
    qsizetype end = from + kSegment;
    if (line.size() - end < kSegment / 4)
        return line.size();  // no short last segment
    for (qsizetype i = end; i > end - 256; --i) {
        const char16_t c = line[i - 1].unicode();
        if (c == u' ' || c == u'>' || c == u',' || c == u'\t')
            return i;
    }
    if (line[end - 1].isHighSurrogate())
        --end;
    return end;
}

bool hasLongLine(const QString& text)
{
    if (text.size() <= kLongLine)
        return false;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        if ((end < 0 ? text.size() : end) - start > kLongLine)
            return true;
        if (end < 0)
            return false;
        start = end + 1;
    }
}

}  // namespace

EditorControl::EditorControl(QWidget* parent) : QPlainTextEdit(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    connect(document(), &QTextDocument::contentsChange, this, &EditorControl::documentChanged);
}

void EditorControl::documentChanged(int /*position*/, int removed, int added)
{
    if (loading_)
        return;
    if (!modified_) {
        // Colouring changes formats only and reports a change of as many characters as it keeps.
        if (removed == added && text() == unchangedText_)
            return;
        modified_ = true;
        unchangedText_ = QString();
    }
    if (textChanged_)
        textChanged_();
}

void EditorControl::markUnchanged(QString text)
{
    modified_ = false;
    unchangedText_ = std::move(text);
    document()->setModified(false);
}

QString EditorControl::text() const
{
    if (segmented_ || hasStandIns_)
        return textBetween(0, document()->characterCount() - 1);
    // The raw text keeps every character; only the paragraph separators between blocks become line breaks.
    QString text = document()->toRawText();
    QChar* data = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (data[i] == QChar::ParagraphSeparator)
            data[i] = u'\n';
    }
    return text;
}

QString EditorControl::blockText(const QTextBlock& block) const
{
    if (!hasStandIns_)
        return block.text();
    QString text;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        QString part = fragment.text();
        const QVariant original = fragment.charFormat().property(kOriginalCharacter);
        if (original.isValid())
            part.replace(QChar(kStandIn), QChar(static_cast<char16_t>(original.toInt())));
        text += part;
    }
    return text;
}

QString EditorControl::textBetween(int from, int to) const
{
    QString text;
    for (QTextBlock block = document()->findBlock(from); block.isValid() && block.position() <= to;
         block = block.next()) {
        const int start = block.position();
        const QString content = blockText(block);
        const int begin = std::max(from, start) - start;
        const int end = std::min<int>(to - start, static_cast<int>(content.size()));
        if (end > begin)
            text += QStringView(content).mid(begin, end - begin);
        // The separator after this block lies at start + length - 1.
        const int separator = start + block.length() - 1;
        const QTextBlock next = block.next();
        if (next.isValid() && separator >= from && separator < to && !isContinuation(next))
            text += u'\n';
    }
    return text;
}

int EditorControl::offsetOf(int position) const
{
    if (!segmented_)
        return position;
    int soft = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && block.position() <= position;
         block = block.next()) {
        if (isContinuation(block))
            ++soft;
    }
    return position - soft;
}

int EditorControl::positionOf(int offset) const
{
    if (!segmented_)
        return offset;
    int soft = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (isContinuation(block))
            ++soft;
        const int start = block.position() - soft;  // offset of the block's first character
        if (offset <= start + block.length() - 1 || !block.next().isValid())
            return std::min(offset + soft, document()->characterCount() - 1);
    }
    return offset;
}

void EditorControl::setText(const QString& text)
{
    bool special = hasLongLine(text);
    for (qsizetype i = 0; i < text.size() && !special; ++i)
        special = needsStandIn(text[i].unicode()) || text[i] == u'\r';
    segmented_ = false;
    hasStandIns_ = false;
    loading_ = true;
    if (!special) {
        setPlainText(text);
    } else {
        // Loaded as one step that cannot be undone, as setPlainText does.
        setPlainText(QString());
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        insertPlain(cursor, text);
        cursor.endEditBlock();
        document()->setUndoRedoEnabled(true);
        setTextCursor(QTextCursor(document()));
    }
    loading_ = false;
    // Line ends are the only characters the control changes on the way in.
    markUnchanged(text.contains(u'\r') ? this->text() : text);
}

void EditorControl::insertPlain(QTextCursor& cursor, const QString& given)
{
    QString text = given;
    if (text.contains(u'\r')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
    }
    // Everything goes in with the format the text had where it starts, taken once: looking it up anew for each
    // line costs more than the line itself.
    const QTextCharFormat plain = plainFormat(cursor);
    if (!hasLongLine(text) &&
        std::none_of(text.cbegin(), text.cend(), [](QChar c) { return needsStandIn(c.unicode()); })) {
        // Nothing to split or stand in for: the toolkit makes the line breaks itself, as it does when it loads.
        // Our blocks all have the default block format, which it gives the new ones.
        cursor.insertText(text, plain);
        return;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = text.indexOf(u'\n', start);
        insertLine(cursor, QStringView(text).mid(start, (end < 0 ? text.size() : end) - start), plain);
        if (end < 0)
            break;
        cursor.insertBlock(QTextBlockFormat(), plain);  // a real line break
        start = end + 1;
    }
}

void EditorControl::insertLine(QTextCursor& cursor, QStringView line, const QTextCharFormat& plain)
{
    if (line.size() <= kLongLine) {
        insertRun(cursor, line, plain);
        return;
    }
    segmented_ = true;
    for (qsizetype from = 0; from < line.size();) {
        const qsizetype to = segmentEnd(line, from);
        if (from > 0)
            cursor.insertBlock(QTextBlockFormat(), softBreakFormat(plain));
        insertRun(cursor, line.mid(from, to - from), plain);
        from = to;
    }
}

void EditorControl::insertRun(QTextCursor& cursor, QStringView run, const QTextCharFormat& plain)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < run.size(); ++i) {
        const char16_t c = run[i].unicode();
        if (!needsStandIn(c))
            continue;
        if (i > start)
            cursor.insertText(run.mid(start, i - start).toString(), plain);
        QTextCharFormat remembered = plain;
        remembered.setProperty(kOriginalCharacter, static_cast<int>(c));
        cursor.insertText(QString(QChar(kStandIn)), remembered);
        hasStandIns_ = true;
        start = i + 1;
    }
    if (start < run.size())
        cursor.insertText(run.mid(start).toString(), plain);  // never a stand-in's or a break's
}

int EditorControl::selectionStart() const
{
    return offsetOf(textCursor().selectionStart());
}

int EditorControl::selectionLength() const
{
    const QTextCursor cursor = textCursor();
    return offsetOf(cursor.selectionEnd()) - offsetOf(cursor.selectionStart());
}

void EditorControl::insertText(int offset, const QString& text)
{
    QTextCursor cursor(document());
    cursor.setPosition(positionOf(offset));
    insertPlain(cursor, text);
}

void EditorControl::setCaret(int offset)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionOf(offset));
    setTextCursor(cursor);
}

void EditorControl::select(int start, int length)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(positionOf(start));
    cursor.setPosition(positionOf(start + length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

std::vector<int> EditorControl::positionsOf(const std::vector<int>& ascendingOffsets) const
{
    if (!segmented_)
        return ascendingOffsets;
    // As positionOf, with the walk over the blocks carried on from one offset to the next.
    std::vector<int> positions;
    positions.reserve(ascendingOffsets.size());
    const int last = document()->characterCount() - 1;
    QTextBlock block = document()->begin();
    int soft = 0;
    for (int offset : ascendingOffsets) {
        while (block.next().isValid() && offset > block.position() - soft + block.length() - 1) {
            block = block.next();
            if (isContinuation(block))
                ++soft;
        }
        positions.push_back(std::min(offset + soft, last));
    }
    return positions;
}

void EditorControl::insertAtPosition(int position, const QString& text)
{
    QTextCursor cursor(document());
    cursor.setPosition(position);
    insertPlain(cursor, text);
}

void EditorControl::setShown(bool shown)
{
    setVisible(shown);
}

bool EditorControl::isShown() const
{
    return !isHidden();
}

void EditorControl::cut()
{
    QPlainTextEdit::cut();
}

void EditorControl::copy()
{
    QPlainTextEdit::copy();
}

bool EditorControl::paste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!canInsertFromMimeData(data) || data->text().isEmpty())
        return false;
    insertFromMimeData(data);
    return true;
}

bool EditorControl::canInsertFromMimeData(const QMimeData* source) const
{
    return source && source->hasText();
}

void EditorControl::insertFromMimeData(const QMimeData* source)
{
    // Only text is ever inserted; an empty or foreign clipboard changes nothing. (The toolkit's own handling
    // of a clipboard without text crashes on a fresh X display.)
    if (!canInsertFromMimeData(source))
        return;
    const QString text = source->text();
    if (text.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertPlain(cursor, text);
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* EditorControl::createMimeDataFromSelection() const
{
    if (!segmented_ && !hasStandIns_)
        return QPlainTextEdit::createMimeDataFromSelection();
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}

void EditorControl::selectAll()
{
    QPlainTextEdit::selectAll();
}

bool EditorControl::wordWrap() const
{
    return lineWrapMode() != QPlainTextEdit::NoWrap;
}

void EditorControl::setWordWrap(bool on)
{
    setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

std::optional<QString> EditorControl::print(const QString& jobTitle)
{
    if (QPrinterInfo::defaultPrinter().isNull())
        return QStringLiteral("Nessuna stampante predefinita: impossibile stampare.");
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setDocName(jobTitle);
    if (!printer.isValid())
        return QStringLiteral("La stampante predefinita non è disponibile.");
    document()->print(&printer);
    return std::nullopt;
}

bool EditorControl::isModified() const
{
    return modified_;
}

void EditorControl::setModified(bool modified)
{
    if (!modified) {
        markUnchanged(text());
        return;
    }
    modified_ = true;
    unchangedText_ = QString();
    document()->setModified(true);
}

void EditorControl::takeFocus()
{
    setFocus(Qt::OtherFocusReason);
}

void EditorControl::beginEdit()
{
    editBlock_ = QTextCursor(document());
    editBlock_.beginEditBlock();
}

void EditorControl::endEdit()
{
    editBlock_.endEditBlock();
}

void EditorControl::stepOverSegmentBreak(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    QTextCursor cursor = textCursor();
    const int key = event->key();
    const bool backward = key == Qt::Key_Backspace || key == Qt::Key_Left;
    const bool forward = key == Qt::Key_Delete || key == Qt::Key_Right;
    const bool extends = held == Qt::ShiftModifier && (key == Qt::Key_Left || key == Qt::Key_Right);
    if ((!backward && !forward) || (held != Qt::NoModifier && !extends) || (cursor.hasSelection() && !extends))
        return;
    const auto mode = extends ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor;
    // The character next to a break of a long line lies in the neighbouring block: go there first, and the
    // toolkit then deletes or moves over that character instead of the break.
    if (backward) {
        while (cursor.atBlockStart() && isContinuation(cursor.block()))
            cursor.movePosition(QTextCursor::PreviousCharacter, mode);
    } else {
        while (cursor.atBlockEnd() && isContinuation(cursor.block().next()))
            cursor.movePosition(QTextCursor::NextCharacter, mode);
    }
    setTextCursor(cursor);
}

void EditorControl::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    // A key pressed with Alt is for the user's bindings and never types. (AltGr does not report Alt.)
    if (held.testFlag(Qt::AltModifier) && !event->text().isEmpty()) {
        event->accept();
        return;
    }
    if (held.testFlag(Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z &&
        !editorKeepsControlLetter(event->key(), held.testFlag(Qt::ShiftModifier))) {
        event->accept();
        return;
    }
    // Enter, with Shift too, starts a new line of the text: never a line separator character, and never a
    // break that takes the mark of a long line's break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QTextCursor cursor = textCursor();
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        cursor.insertBlock(QTextBlockFormat(), plainFormat(cursor));
        cursor.endEditBlock();
        setTextCursor(cursor);
        ensureCursorVisible();
        event->accept();
        return;
    }
    if (segmented_)
        stepOverSegmentBreak(event);
    // Typing after a stand-in must not take its format, which would make a typed U+FFFD read as the stand-in's.
    if (hasStandIns_ && textCursor().charFormat().hasProperty(kOriginalCharacter))
        setCurrentCharFormat(plainFormat(textCursor()));
    QPlainTextEdit::keyPressEvent(event);
}

void EditorControl::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    // Auto-repeat sends a release per repeat; only the real release counts.
    if (event->isAutoRepeat() || !keyReleased_)
        return;
    const Qt::KeyboardModifiers held = event->modifiers();
    keyReleased_(virtualKeyFor(event->key()),
                 Modifiers{held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::AltModifier),
                           held.testFlag(Qt::ControlModifier)});
}

}  // namespace calamo
