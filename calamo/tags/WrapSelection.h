#pragma once

#include <QString>

#include <cstdint>

namespace calamo {

class DocumentTable;
class TextEditor;

// Puts `open` before the selection and `close` after it (both at the caret when nothing is selected), leaves the
// caret after the wrapped selection and before `close`, and marks the current document modified. Only the two
// insertion points of the text change. Does nothing while no document is open.
void WrapSelection(DocumentTable& docs, const QString& open, const QString& close = {});
void WrapSelection(TextEditor& editor, const QString& open, const QString& close);

// Six upper-case hex digits, red, green, blue, of a colour given as 0x00BBGGRR.
QString ColorToHtmlHex(std::uint32_t colorref);

}  // namespace calamo
