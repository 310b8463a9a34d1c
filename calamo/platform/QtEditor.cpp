#include "QtEditor.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>

namespace calamo {

namespace {

// Character format property holding the character a stand-in shows.
constexpr int kOriginalCharacter = QTextFormat::UserProperty + 1;
constexpr char16_t kStandIn = 0xFFFD;

bool needsStandIn(char16_t c)
{
    return c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

}  // namespace

EditorControl::EditorControl(QWidget* parent) : QPlainTextEdit(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QString EditorControl::text() const
{
    // The raw text keeps every character; only the paragraph separators between blocks become line breaks.
    QString text = document()->toRawText();
    QChar* data = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (data[i] == QChar::ParagraphSeparator)
            data[i] = u'\n';
    }
    if (!hasStandIns_)
        return text;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QVariant original = fragment.charFormat().property(kOriginalCharacter);
            if (!original.isValid())
                continue;
            for (int i = fragment.position(); i < fragment.position() + fragment.length(); ++i) {
                if (data[i] == QChar(kStandIn))
                    data[i] = QChar(static_cast<char16_t>(original.toInt()));
            }
        }
    }
    return text;
}

void EditorControl::setText(const QString& text)
{
    bool special = false;
    for (QChar c : text) {
        if (needsStandIn(c.unicode())) {
            special = true;
            break;
        }
    }
    if (!special) {
        setPlainText(text);
    } else {
        // Loaded as one step that cannot be undone, as setPlainText does.
        setPlainText(QString());
        document()->setUndoRedoEnabled(false);
        QTextCursor cursor(document());
        insertPlain(cursor, text);
        document()->setUndoRedoEnabled(true);
        setTextCursor(QTextCursor(document()));
    }
    document()->setModified(false);
}

void EditorControl::insertPlain(QTextCursor& cursor, const QString& text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!needsStandIn(c))
            continue;
        if (i > start)
            cursor.insertText(text.mid(start, i - start), QTextCharFormat());
        QTextCharFormat remembered;
        remembered.setProperty(kOriginalCharacter, static_cast<int>(c));
        cursor.insertText(QString(QChar(kStandIn)), remembered);
        hasStandIns_ = true;
        start = i + 1;
    }
    if (start == 0 && !hasStandIns_)
        cursor.insertText(text);
    else if (start == 0)
        cursor.insertText(text, QTextCharFormat());  // never the format of a stand-in before the cursor
    else if (start < text.size())
        cursor.insertText(text.mid(start), QTextCharFormat());
}

int EditorControl::selectionStart() const
{
    return textCursor().selectionStart();
}

int EditorControl::selectionLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void EditorControl::insertText(int offset, const QString& text)
{
    QTextCursor cursor(document());
    cursor.setPosition(offset);
    insertPlain(cursor, text);
}

void EditorControl::setCaret(int offset)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(offset);
    setTextCursor(cursor);
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
    return document()->isModified();
}

void EditorControl::setModified(bool modified)
{
    document()->setModified(modified);
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

void EditorControl::keyPressEvent(QKeyEvent* event)
{
    const Qt::KeyboardModifiers held = event->modifiers();
    // A key pressed with Alt is for the user's bindings and never types. (AltGr does not report Alt.)
    if (held.testFlag(Qt::AltModifier) && !event->text().isEmpty()) {
        event->accept();
        return;
    }
    if (held.testFlag(Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z
        && !editorKeepsControlLetter(event->key(), held.testFlag(Qt::ShiftModifier))) {
        event->accept();
        return;
    }
    // Typing after a stand-in must not take its format, which would make a typed U+FFFD read as the stand-in's.
    if (hasStandIns_ && textCursor().charFormat().hasProperty(kOriginalCharacter))
        setCurrentCharFormat(QTextCharFormat());
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
