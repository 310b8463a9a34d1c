#include "WrapSelection.h"

#include "DocumentTable.h"

namespace calamo {

void WrapSelection(TextEditor& editor, const QString& open, const QString& close)
{
    const int start = editor.selectionStart();
    const int length = editor.selectionLength();
    editor.beginEdit();
    // The closing text goes in first so that the start offset stays valid.
    if (!close.isEmpty())
        editor.insertText(start + length, close);
    if (!open.isEmpty())
        editor.insertText(start, open);
    editor.setCaret(start + static_cast<int>(open.size()) + length);
    editor.endEdit();
}

void WrapSelection(DocumentTable& docs, const QString& open, const QString& close)
{
    DocumentTable::Document* doc = docs.current();
    if (!doc)
        return;
    WrapSelection(*doc->editor, open, close);
    doc->saved = false;
}

QString ColorToHtmlHex(std::uint32_t colorref)
{
    const QString digits = QStringLiteral("%1").arg(colorref & 0x00FFFFFFu, 8, 16, QLatin1Char('0')).toUpper();
    // 00BBGGRR: red is digits 7-8, green 5-6, blue 3-4.
    return digits.mid(6, 2) + digits.mid(4, 2) + digits.mid(2, 2);
}

}  // namespace calamo
