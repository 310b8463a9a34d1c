#include "QtEditor.h"

#include <QKeyEvent>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlock>

namespace calamo {

EditorControl::EditorControl(QWidget* parent) : QPlainTextEdit(parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

QString EditorControl::text() const
{
    return toPlainText();
}

void EditorControl::setText(const QString& text)
{
    setPlainText(text);
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
    cursor.insertText(text);
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

void EditorControl::paste()
{
    QPlainTextEdit::paste();
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

void EditorControl::beginEdit()
{
    editBlock_ = QTextCursor(document());
    editBlock_.beginEditBlock();
}

void EditorControl::endEdit()
{
    editBlock_.endEditBlock();
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
