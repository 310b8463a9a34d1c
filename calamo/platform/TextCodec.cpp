#include "TextCodec.h"

#include <cstdint>
#include <cstring>

#include <array>
#include <string_view>

namespace calamo {

namespace {

// 0x80..0x9F of Windows-1252. The five bytes the code page leaves undefined map to the C1 control of the same
// value, so that every byte still reads as one character and writes back as itself.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The eight bytes where ISO-8859-15 differs from ISO-8859-1, with their characters.
constexpr std::array<std::pair<unsigned char, char16_t>, 8> kLatin9 = {{
    {0xA4, 0x20AC},
    {0xA6, 0x0160},
    {0xA8, 0x0161},
    {0xB4, 0x017D},
    {0xB8, 0x017E},
    {0xBC, 0x0152},
    {0xBD, 0x0153},
    {0xBE, 0x0178},
}};

constexpr char16_t kEscapeBase = 0xDC00;  // a byte b that is not UTF-8 reads as U+DC00 + b (b >= 0x80)

bool isEscapedByte(char16_t c)
{
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF;
}

char16_t fromLatin9(unsigned char byte)
{
    for (const auto& [b, c] : kLatin9) {
        if (b == byte)
            return c;
    }
    return byte;  // 0x80..0x9F are the C1 controls
}

std::optional<char> toLatin9(char16_t c)
{
    for (const auto& [b, ch] : kLatin9) {
        if (ch == c)
            return static_cast<char>(b);
        if (b == c)
            return std::nullopt;  // the Latin-1 character this byte held is not in ISO-8859-15
    }
    if (c <= 0xFF)
        return static_cast<char>(c);
    return std::nullopt;
}

// Length of the valid UTF-8 sequence at p (1..4), or 0 when the bytes there are not UTF-8.
int utf8SequenceLength(const unsigned char* p, const unsigned char* end, char32_t& cp)
{
    const unsigned char c = *p;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    int follow = 0;
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
        return 0;
    }
    if (end - p <= follow)
        return 0;
    for (int i = 1; i <= follow; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((follow == 2 && cp < 0x800) || (follow == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return follow + 1;
}

// Skips ASCII eight bytes at a time.
const unsigned char* skipAscii(const unsigned char* p, const unsigned char* end)
{
    while (end - p >= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL)
            break;
        p += 8;
    }
    while (p < end && *p < 0x80)
        ++p;
    return p;
}

struct Utf8Scan {
    bool valid = true;
    bool ascii = true;
};

Utf8Scan scanUtf8(QByteArrayView bytes)
{
    Utf8Scan scan;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while ((p = skipAscii(p, end)) < end) {
        scan.ascii = false;
        char32_t cp = 0;
        const int n = utf8SequenceLength(p, end, cp);
        if (n == 0) {
            scan.valid = false;
            return scan;
        }
        p += n;
    }
    return scan;
}

// UTF-8 to UTF-16; a byte that does not start a valid sequence becomes an escape character of its own.
QString decodeUtf8(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);  // never more UTF-16 units than bytes
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    qsizetype n = 0;
    while (p < end) {
        const auto* ascii = skipAscii(p, end);
        while (p < ascii)
            out[n++] = *p++;
        if (p == end)
            break;
        char32_t cp = 0;
        const int length = utf8SequenceLength(p, end, cp);
        if (length == 0) {
            out[n++] = static_cast<char16_t>(kEscapeBase + *p++);
            continue;
        }
        p += length;
        if (cp >= 0x10000) {
            out[n++] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out[n++] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out[n++] = static_cast<char16_t>(cp);
        }
    }
    text.truncate(n);
    return text;
}

QString decodeSingleByte(QByteArrayView bytes, Encoding encoding)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        out[i] = QChar(encoding == Encoding::Latin9 ? fromLatin9(b) : fromWindows1252(b));
    }
    return text;
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

void appendUtf8(QByteArray& out, char32_t cp)
{
    if (cp < 0x80) {
        out.append(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.append(static_cast<char>(0xC0 | (cp >> 6)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.append(static_cast<char>(0xE0 | (cp >> 12)));
        out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.append(static_cast<char>(0xF0 | (cp >> 18)));
        out.append(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.append(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.append(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Walks the text as code points: a surrogate pair gives one, a lone surrogate gives itself.
template <typename Visit>
void forEachCodePoint(const QString& text, Visit visit)
{
    const auto* p = reinterpret_cast<const char16_t*>(text.constData());
    const auto* end = p + text.size();
    while (p < end) {
        const char16_t c = *p++;
        if (c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF)
            visit(0x10000 + ((char32_t(c) - 0xD800) << 10) + (*p++ - 0xDC00));
        else
            visit(char32_t(c));
    }
}

// Every line break goes out as CR LF.
QByteArray encodeUtf8(const QString& text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 16);
    forEachCodePoint(text, [&out](char32_t cp) {
        if (cp == u'\n')
            out.append("\r\n", 2);
        else if (cp < 0x10000 && isEscapedByte(static_cast<char16_t>(cp)))
            out.append(static_cast<char>(cp - kEscapeBase));
        else if (cp >= 0xD800 && cp <= 0xDFFF)
            appendUtf8(out, 0xFFFD);  // a lone surrogate has no UTF-8 form; it never comes from a file
        else
            appendUtf8(out, cp);
    });
    return out;
}

// A single-byte encoding; a character it cannot hold goes out as a numeric character reference, or, when
// `references` is false, the result is empty (the caller then writes UTF-8).
std::optional<QByteArray> encodeSingleByte(const QString& text, Encoding encoding, bool references, bool& referenced)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 8 + 16);
    bool fits = true;
    forEachCodePoint(text, [&](char32_t cp) {
        if (!fits)
            return;
        if (cp == u'\n') {
            out.append("\r\n", 2);
            return;
        }
        if (cp < 0x10000) {
            const auto c = static_cast<char16_t>(cp);
            if (isEscapedByte(c)) {
                out.append(static_cast<char>(c - kEscapeBase));
                return;
            }
            if (const auto b = encoding == Encoding::Latin9 ? toLatin9(c) : toWindows1252(c)) {
                out.append(*b);
                return;
            }
        }
        if (!references) {
            fits = false;
            return;
        }
        referenced = true;
        out.append("&#").append(QByteArray::number(static_cast<quint32>(cp))).append(';');
    });
    if (!fits)
        return std::nullopt;
    return out;
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::optional<Encoding> encodingForLabel(std::string_view label)
{
    while (!label.empty() && isSpace(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && isSpace(label.back()))
        label.remove_suffix(1);
    std::string name;
    for (char c : label)
        name += lower(c);
    // Labels as browsers read them: ISO-8859-1 and US-ASCII are Windows-1252, a UTF-16 meta means UTF-8.
    static constexpr std::array<std::string_view, 10> kUtf8 = {"utf-8",         "utf8",          "unicode-1-1-utf-8",
                                                               "unicode11utf8", "unicode20utf8", "x-unicode20utf8",
                                                               "utf-16",        "utf-16le",      "utf-16be",
                                                               "unicode"};
    static constexpr std::array<std::string_view, 18> kWindows1252 = {"windows-1252", "cp1252",          "x-cp1252",
                                                                      "iso-8859-1",   "iso8859-1",       "iso88591",
                                                                      "iso_8859-1",   "iso_8859-1:1987", "latin1",
                                                                      "l1",           "cp819",           "ibm819",
                                                                      "csisolatin1",  "iso-ir-100",      "us-ascii",
                                                                      "ascii",        "ansi_x3.4-1968",  "csascii"};
    static constexpr std::array<std::string_view, 8> kLatin9Labels = {"iso-8859-15", "iso8859-15", "iso885915",
                                                                      "iso_8859-15", "l9",         "latin-9",
                                                                      "csisolatin9", "latin9"};
    for (std::string_view l : kUtf8) {
        if (name == l)
            return Encoding::Utf8;
    }
    for (std::string_view l : kWindows1252) {
        if (name == l)
            return Encoding::Windows1252;
    }
    for (std::string_view l : kLatin9Labels) {
        if (name == l)
            return Encoding::Latin9;
    }
    return std::nullopt;
}

// The pre-scan browsers run over the start of a page, reduced to what finds a meta charset: comments are
// skipped, every tag's attributes are read with their quotes, and the first meta naming a known charset wins.
class CharsetScanner {
public:
    explicit CharsetScanner(QByteArrayView head) : s_(head.data(), static_cast<std::size_t>(head.size())) {}

    std::optional<Encoding> run()
    {
        while (pos_ < s_.size()) {
            if (s_.compare(pos_, 4, "<!--") == 0) {
                const std::size_t close = s_.find("-->", pos_ + 2);
                if (close == std::string_view::npos)
                    return std::nullopt;
                pos_ = close + 3;
            } else if (startsTag("<meta")) {
                pos_ += 5;
                if (auto found = meta())
                    return found;
            } else if (s_[pos_] == '<' && pos_ + 1 < s_.size() && (isLetter(s_[pos_ + 1]) || s_[pos_ + 1] == '/')) {
                // Another tag: skip its name, then its attributes, so that a quoted ">" does not end it.
                ++pos_;
                while (pos_ < s_.size() && !isSpace(s_[pos_]) && s_[pos_] != '>')
                    ++pos_;
                std::string name, value;
                while (attribute(name, value)) {}
            } else if (s_.compare(pos_, 2, "<!") == 0 || s_.compare(pos_, 2, "<?") == 0) {
                const std::size_t close = s_.find('>', pos_);
                if (close == std::string_view::npos)
                    return std::nullopt;
                pos_ = close + 1;
            } else {
                ++pos_;
            }
        }
        return std::nullopt;
    }

private:
    static bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

    bool startsTag(std::string_view tag) const
    {
        if (pos_ + tag.size() >= s_.size())
            return false;
        for (std::size_t i = 0; i < tag.size(); ++i) {
            if (lower(s_[pos_ + i]) != tag[i])
                return false;
        }
        const char after = s_[pos_ + tag.size()];
        return isSpace(after) || after == '/';
    }

    std::optional<Encoding> meta()
    {
        std::string name, value;
        std::optional<std::string> charset, content;
        bool contentType = false;
        while (attribute(name, value)) {
            if (name == "charset" && !charset)
                charset = value;
            else if (name == "content" && !content)
                content = value;
            else if (name == "http-equiv") {
                std::string v;
                for (char c : value)
                    v += lower(c);
                contentType = v == "content-type";
            }
        }
        if (charset)
            return encodingForLabel(*charset);
        if (contentType && content)
            return charsetInContent(*content);
        return std::nullopt;
    }

    // "text/html; charset=utf-8", the value possibly quoted.
    static std::optional<Encoding> charsetInContent(std::string_view content)
    {
        std::string low;
        for (char c : content)
            low += lower(c);
        std::size_t at = 0;
        while ((at = low.find("charset", at)) != std::string::npos) {
            std::size_t p = at + 7;
            while (p < low.size() && isSpace(low[p]))
                ++p;
            if (p >= low.size() || low[p] != '=') {
                at = p;
                continue;
            }
            ++p;
            while (p < low.size() && isSpace(low[p]))
                ++p;
            if (p >= low.size())
                return std::nullopt;
            if (low[p] == '"' || low[p] == '\'') {
                const std::size_t close = low.find(low[p], p + 1);
                if (close == std::string::npos)
                    return std::nullopt;
                return encodingForLabel(std::string_view(low).substr(p + 1, close - p - 1));
            }
            std::size_t e = p;
            while (e < low.size() && !isSpace(low[e]) && low[e] != ';')
                ++e;
            return encodingForLabel(std::string_view(low).substr(p, e - p));
        }
        return std::nullopt;
    }

    // One attribute of the current tag; false at the tag's end (or the end of the scanned bytes).
    bool attribute(std::string& name, std::string& value)
    {
        name.clear();
        value.clear();
        while (pos_ < s_.size() && (isSpace(s_[pos_]) || s_[pos_] == '/'))
            ++pos_;
        if (pos_ >= s_.size())
            return false;
        if (s_[pos_] == '>') {
            ++pos_;
            return false;
        }
        while (pos_ < s_.size() && s_[pos_] != '=' && !isSpace(s_[pos_]) && s_[pos_] != '/' && s_[pos_] != '>')
            name += lower(s_[pos_++]);
        while (pos_ < s_.size() && isSpace(s_[pos_]))
            ++pos_;
        if (pos_ >= s_.size() || s_[pos_] != '=')
            return pos_ < s_.size() || !name.empty();
        ++pos_;
        while (pos_ < s_.size() && isSpace(s_[pos_]))
            ++pos_;
        if (pos_ < s_.size() && (s_[pos_] == '"' || s_[pos_] == '\'')) {
            const char quote = s_[pos_++];
            while (pos_ < s_.size() && s_[pos_] != quote)
                value += s_[pos_++];
            if (pos_ < s_.size())
                ++pos_;
            return true;
        }
        while (pos_ < s_.size() && !isSpace(s_[pos_]) && s_[pos_] != '>')
            value += s_[pos_++];
        return true;
    }

    std::string_view s_;
    std::size_t pos_ = 0;
};

constexpr qsizetype kDeclarationWindow = 1024;

// The declaration is looked for in the first 1024 bytes of the page as it is written, with CR LF line ends, so
// that reading and writing an unchanged text decide alike whatever line ends the file had.
QByteArray headOf(QByteArrayView bytes)
{
    QByteArray head;
    head.reserve(kDeclarationWindow + 1);
    for (qsizetype i = 0; i < bytes.size() && head.size() < kDeclarationWindow; ++i) {
        if (bytes[i] == '\r') {
            head.append("\r\n", 2);
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else if (bytes[i] == '\n') {
            head.append("\r\n", 2);
        } else {
            head.append(bytes[i]);
        }
    }
    head.truncate(kDeclarationWindow);
    return head;
}

// The same head for a text, counting each character as the bytes it takes in the encoding it was read in
// (only ASCII matters to the scan; other bytes stand in as 0x80).
QByteArray headOf(const QString& text, Encoding readIn)
{
    const bool utf8 = readIn == Encoding::Utf8 || readIn == Encoding::Utf8WithBom;
    QByteArray head;
    head.reserve(kDeclarationWindow + 4);
    for (qsizetype i = 0; i < text.size() && head.size() < kDeclarationWindow; ++i) {
        const char16_t c = text[i].unicode();
        int width = 1;
        if (c == u'\n') {
            head.append("\r\n", 2);
            continue;
        }
        if (c < 0x80) {
            head.append(static_cast<char>(c));
            continue;
        }
        if (utf8 && !isEscapedByte(c)) {
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                width = 4;
                ++i;
            } else {
                width = c < 0x800 ? 2 : 3;
            }
        }
        head.append(width, '\x80');
    }
    head.truncate(kDeclarationWindow);
    return head;
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
    return decodeSingleByte(bytes, Encoding::Windows1252);
}

std::optional<Encoding> declaredEncoding(QByteArrayView head)
{
    return CharsetScanner(head.first(std::min(head.size(), kDeclarationWindow))).run();
}

namespace {

struct WideForm {
    Encoding encoding;
    QByteArrayView mark;
    int unit;  // bytes per code unit
    bool bigEndian;
};

// UTF-32 first: its little-endian mark begins with UTF-16's.
const std::array<WideForm, 4> kWideForms = {{
    {Encoding::Utf32LE, QByteArrayView("\xFF\xFE\0\0", 4), 4, false},
    {Encoding::Utf32BE, QByteArrayView("\0\0\xFE\xFF", 4), 4, true},
    {Encoding::Utf16LE, QByteArrayView("\xFF\xFE", 2), 2, false},
    {Encoding::Utf16BE, QByteArrayView("\xFE\xFF", 2), 2, true},
}};

const WideForm* wideFormOf(Encoding encoding)
{
    for (const WideForm& form : kWideForms) {
        if (form.encoding == encoding)
            return &form;
    }
    return nullptr;
}

char32_t unitAt(QByteArrayView bytes, qsizetype at, const WideForm& form)
{
    char32_t unit = 0;
    for (int i = 0; i < form.unit; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[at + (form.bigEndian ? i : form.unit - 1 - i)]);
        unit = (unit << 8) | byte;
    }
    return unit;
}

// The text after the mark, when the bytes are whole code units of the form (and, for UTF-32, code points).
// Lone surrogates of UTF-16 are kept as they are, so that writing gives them back.
std::optional<QString> decodeWide(QByteArrayView bytes, const WideForm& form)
{
    const QByteArrayView body = bytes.sliced(form.mark.size());
    if (body.size() % form.unit != 0)
        return std::nullopt;
    QString text;
    text.reserve(body.size() / 2);
    for (qsizetype at = 0; at < body.size(); at += form.unit) {
        const char32_t unit = unitAt(body, at, form);
        if (form.unit == 2) {
            text.append(QChar(static_cast<char16_t>(unit)));
            continue;
        }
        if (unit > 0x10FFFF || (unit >= 0xD800 && unit <= 0xDFFF))
            return std::nullopt;
        text.append(QString::fromUcs4(&unit, 1));
    }
    return text;
}

void appendUnit(QByteArray& out, char32_t unit, const WideForm& form)
{
    for (int i = 0; i < form.unit; ++i) {
        const int shift = 8 * (form.bigEndian ? form.unit - 1 - i : i);
        out.append(static_cast<char>((unit >> shift) & 0xFF));
    }
}

// The mark, then every code unit (UTF-16) or code point (UTF-32); each line break as CR LF.
QByteArray encodeWide(const QString& text, const WideForm& form)
{
    QByteArray out;
    out.reserve(form.mark.size() + (text.size() + text.size() / 16) * form.unit);
    out.append(form.mark);
    const auto put = [&](char32_t unit) {
        if (unit == u'\n') {
            appendUnit(out, u'\r', form);
            appendUnit(out, u'\n', form);
        } else {
            appendUnit(out, unit, form);
        }
    };
    if (form.unit == 2) {
        for (QChar c : text)
            put(c.unicode());
    } else {
        forEachCodePoint(text, put);
    }
    return out;
}

std::optional<Encoding> declaredInPage(QByteArrayView bytes)
{
    return declaredEncoding(headOf(bytes.first(std::min(bytes.size(), kDeclarationWindow + 1))));
}

}  // namespace

DecodedText decodeDocument(const QByteArray& bytes)
{
    DecodedText result;
    for (const WideForm& form : kWideForms) {
        if (!bytes.startsWith(form.mark))
            continue;
        if (auto text = decodeWide(bytes, form)) {
            result.encoding = form.encoding;
            result.text = std::move(*text);
            normaliseLineEnds(result.text);
            return result;
        }
        break;  // not whole units: read as the bytes they are, below
    }
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        // Only this first mark is dropped; a second one is a character of the text.
        result.encoding = Encoding::Utf8WithBom;
        result.text = decodeUtf8(QByteArrayView(bytes).sliced(3));
    } else if (const auto declared = declaredInPage(bytes)) {
        result.encoding = *declared;
        result.text = *declared == Encoding::Utf8 ? decodeUtf8(bytes) : decodeSingleByte(bytes, *declared);
    } else if (const Utf8Scan scan = scanUtf8(bytes); scan.valid && !scan.ascii) {
        result.encoding = Encoding::Utf8;
        result.text = decodeUtf8(bytes);
    } else {
        result.encoding = Encoding::Windows1252;
        result.text = decodeSingleByte(bytes, Encoding::Windows1252);
    }
    normaliseLineEnds(result.text);
    return result;
}

EncodedText encodeDocument(const QString& text, Encoding readIn)
{
    EncodedText result;
    if (const WideForm* form = wideFormOf(readIn)) {
        result.encoding = readIn;
        result.bytes = encodeWide(text, *form);
        return result;
    }
    if (readIn == Encoding::Utf8WithBom) {
        result.encoding = Encoding::Utf8WithBom;
        result.bytes = QByteArray("\xEF\xBB\xBF") + encodeUtf8(text);
        return result;
    }
    const std::optional<Encoding> declared = declaredEncoding(headOf(text, readIn));
    const Encoding wanted = declared ? *declared : readIn == Encoding::Utf8 ? Encoding::Utf8 : Encoding::Windows1252;
    if (wanted == Encoding::Utf8) {
        result.encoding = Encoding::Utf8;
        result.bytes = encodeUtf8(text);
        return result;
    }
    // A declared single-byte charset stays true: what it cannot hold becomes a character reference. An
    // undeclared document goes out as UTF-8 instead, which the next reading recognises.
    bool referenced = false;
    if (auto bytes = encodeSingleByte(text, wanted, declared.has_value(), referenced)) {
        result.encoding = wanted;
        result.bytes = std::move(*bytes);
        result.outgrewEncoding = referenced;
        return result;
    }
    result.encoding = Encoding::Utf8;
    result.bytes = encodeUtf8(text);
    result.outgrewEncoding = true;
    return result;
}

}  // namespace calamo
