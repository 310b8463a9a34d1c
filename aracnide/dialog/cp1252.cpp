#include "cp1252.h"

#include <QStringDecoder>

#include <array>

namespace aracnide {

namespace {
// 0x80..0x9F; 0 marks the five bytes that have no character (they map to the same C1 code).
constexpr std::array<char16_t, 32> kHigh{0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                         0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                         0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

QString FromCp1252(std::string_view bytes)
{
    QString s;
    s.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const char16_t c = b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] ? kHigh[b - 0x80] : char16_t(b);
        s.append(QChar(c));
    }
    return s;
}

QString FromBytes(std::string_view bytes)
{
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii)
        return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError())
        return text;
    return FromCp1252(bytes);
}

std::string ToBytes(const QString& text)
{
    return text.toUtf8().toStdString();
}

std::string ToCp1252(const QString& text)
{
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF) || (c >= 0x80 && c < 0xA0 && !kHigh[c - 0x80])) {
            b = static_cast<char>(c);
        } else {
            for (size_t i = 0; i < kHigh.size(); ++i)
                if (kHigh[i] == c)
                    b = static_cast<char>(0x80 + i);
        }
        out += b;
    }
    return out;
}

}  // namespace aracnide
