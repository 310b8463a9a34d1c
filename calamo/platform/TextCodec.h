#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace calamo {

// The byte encoding of a document. Latin9 is ISO-8859-15; ISO-8859-1 and US-ASCII read as Windows-1252, as
// browsers read them. The 16- and 32-bit forms are read only from a page that starts with their byte-order mark,
// and written with it.
enum class Encoding { Windows1252, Latin9, Utf8, Utf8WithBom, Utf16LE, Utf16BE, Utf32LE, Utf32BE };

struct DecodedText {
    QString text;  // line breaks as '\n'
    Encoding encoding = Encoding::Windows1252;
};

struct EncodedText {
    QByteArray bytes;
    Encoding encoding = Encoding::Windows1252;
    // Some character did not fit the encoding the document was in: it went out as a numeric character reference
    // ("&#960;") under a declared single-byte charset, or the whole undeclared document went out as UTF-8.
    bool outgrewEncoding = false;
};

// The charset a page declares in its first 1024 bytes (`<meta charset=...>` or the http-equiv Content-Type
// form), when it is one the editor reads; empty otherwise.
std::optional<Encoding> declaredEncoding(QByteArrayView head);

// How a document's bytes are read, decided here and nowhere else: a UTF-8, UTF-32 or UTF-16 byte-order mark
// (followed by whole code units, and for UTF-32 by valid code points only), else the declared
// charset, else UTF-8 when the bytes are valid UTF-8 holding non-ASCII, else Windows-1252. CR LF and lone CR
// become '\n'. Bytes that are not UTF-8 in a UTF-8 document are kept as the characters U+DC80..U+DCFF, so that
// writing gives them back unchanged.
DecodedText decodeDocument(const QByteArray& bytes);

// How a document is written, decided here and nowhere else: in the form of its byte-order mark when it was read
// with one, else
// the charset the text declares now, else the encoding it was read in (`readIn`), where an undeclared
// single-byte document that holds a character Windows-1252 cannot hold goes out as UTF-8. Line ends are CR LF.
// decodeDocument then encodeDocument gives back the bytes, apart from line ends.
EncodedText encodeDocument(const QString& text, Encoding readIn);

// Windows-1252 byte for a character, when it has one.
std::optional<char> toWindows1252(char16_t c);
char16_t fromWindows1252(unsigned char byte);

// Single-byte text for configuration files: Latin-1-like round trip through Windows-1252.
QString fromWindows1252(const QByteArray& bytes);

}  // namespace calamo
