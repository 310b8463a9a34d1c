#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace calamo {

// The byte encoding a document was read in, kept so that saving writes it back the same way.
enum class Encoding { Windows1252, Utf8, Utf8WithBom };

struct DecodedText {
    QString text;  // line breaks as '\n'
    Encoding encoding = Encoding::Windows1252;
};

// Bytes that are valid UTF-8 decode as UTF-8; anything else as Windows-1252, where every byte maps to one
// character and back. CR LF and lone CR become '\n'.
DecodedText decodeDocument(const QByteArray& bytes);

// Encodes `text` with CR LF line ends. Windows-1252 is used only when every character fits in it; otherwise the
// text goes out as UTF-8, so that no character is ever lost.
QByteArray encodeDocument(const QString& text, Encoding preferred);

// The encoding a new document gets: Windows-1252 unless it holds a character that Windows-1252 cannot hold.
Encoding encodingFor(const QString& text, Encoding preferred);

// Windows-1252 byte for a character, when it has one.
std::optional<char> toWindows1252(char16_t c);
char16_t fromWindows1252(unsigned char byte);

// Single-byte text for configuration files: Latin-1-like round trip through Windows-1252.
QString fromWindows1252(const QByteArray& bytes);
QByteArray toWindows1252Lossy(const QString& text);

}  // namespace calamo
