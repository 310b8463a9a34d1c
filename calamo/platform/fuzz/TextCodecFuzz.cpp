// Any bytes read as a document and written back unchanged give the same bytes, apart from line ends, which
// are written CR LF (in 16- and 32-bit pages as code units of their width: there the written page must read back
// as the same text in the same form).

#include "TextCodec.h"

#include <cstdint>
#include <cstdlib>

namespace {

QByteArray withCrLf(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            out.append("\r\n");
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            out.append(bytes[i]);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const calamo::DecodedText decoded = calamo::decodeDocument(bytes);
    if (decoded.text.contains(u'\r'))
        std::abort();  // line breaks are '\n' inside the editor
    const calamo::EncodedText encoded = calamo::encodeDocument(decoded.text, decoded.encoding);
    using calamo::Encoding;
    const Encoding e = decoded.encoding;
    if (e == Encoding::Utf16LE || e == Encoding::Utf16BE || e == Encoding::Utf32LE || e == Encoding::Utf32BE) {
        const calamo::DecodedText again = calamo::decodeDocument(encoded.bytes);
        if (again.encoding != e || again.text != decoded.text || encoded.outgrewEncoding)
            std::abort();
        return 0;
    }
    if (encoded.bytes != withCrLf(bytes) || encoded.outgrewEncoding)
        std::abort();
    return 0;
}
