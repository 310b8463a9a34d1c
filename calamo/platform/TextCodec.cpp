#include "TextCodec.h"

#include <cstdint>
#include <cstring>

#include <array>

namespace calamo {

namespace {

// 0x80..0x9F of Windows-1252. The five bytes the code page leaves undefined map to the C1 control of the same
// value, so that every byte still reads as one character and writes back as itself.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool isValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Fast path over ASCII, eight bytes at a time.
        while (end - p >= 8) {
            std::uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int follow = 0;
        char32_t cp = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= follow)
            return false;
        for (int i = 1; i <= follow; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((follow == 2 && cp < 0x800) || (follow == 3 && (cp < 0x10000 || cp > 0x10FFFF))
            || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += follow + 1;
    }
    return true;
}

// Turns CR LF and lone CR into '\n' in place.
void normaliseLineEnds(QString& text)
{
    if (!text.contains(u'\r'))
        return;
    QChar* out = text.data();
    const QChar* in = text.constData();
    const QChar* end = in + text.size();
    qsizetype kept = 0;
    while (in < end) {
        if (*in == u'\r') {
            out[kept++] = u'\n';
            ++in;
            if (in < end && *in == u'\n')
                ++in;
        } else {
            out[kept++] = *in++;
        }
    }
    text.truncate(kept);
}

}  // namespace

char16_t fromWindows1252(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return kHighControls[byte - 0x80];
    return byte;
}

std::optional<char> toWindows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(fromWindows1252(static_cast<unsigned char>(bytes[i])));
    return text;
}

QByteArray toWindows1252Lossy(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar c : text)
        bytes.append(toWindows1252(c.unicode()).value_or('?'));
    return bytes;
}

DecodedText decodeDocument(const QByteArray& bytes)
{
    DecodedText result;
    if (isValidUtf8(bytes)) {
        const bool bom = bytes.startsWith("\xEF\xBB\xBF");
        result.text = QString::fromUtf8(bom ? bytes.mid(3) : bytes);
        // Pure ASCII reads the same either way; it is kept single-byte like a new document.
        bool ascii = true;
        for (char b : bytes) {
            if (static_cast<unsigned char>(b) >= 0x80) {
                ascii = false;
                break;
            }
        }
        result.encoding = bom ? Encoding::Utf8WithBom : ascii ? Encoding::Windows1252 : Encoding::Utf8;
    } else {
        result.text = fromWindows1252(bytes);
        result.encoding = Encoding::Windows1252;
    }
    normaliseLineEnds(result.text);
    return result;
}

Encoding encodingFor(const QString& text, Encoding preferred)
{
    if (preferred != Encoding::Windows1252)
        return preferred;
    for (QChar c : text) {
        if (!toWindows1252(c.unicode()))
            return Encoding::Utf8;
    }
    return Encoding::Windows1252;
}

QByteArray encodeDocument(const QString& text, Encoding preferred)
{
    QString crlf = text;
    crlf.replace(u'\n', QStringLiteral("\r\n"));
    switch (encodingFor(text, preferred)) {
    case Encoding::Windows1252:
        return toWindows1252Lossy(crlf);  // nothing is lost: every character fits
    case Encoding::Utf8WithBom:
        return QByteArray("\xEF\xBB\xBF") + crlf.toUtf8();
    case Encoding::Utf8:
        break;
    }
    return crlf.toUtf8();
}

}  // namespace calamo
