// Entity conversion over any page text, read as UTF-8 or as Windows-1252: the edits must be sound (ascending, one
// listed character each), the converted text must be what replacing character by character gives, hold no listed
// character, and a caret anywhere must land on the same character afterwards.
//
// Input: one byte choosing how the rest is decoded (even: UTF-8, odd: Windows-1252), then the page's bytes.

#include "Conversions.h"
#include "TextCodec.h"
#include "TextEdits.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString text = (data[0] & 1) ? calamo::fromWindows1252(bytes) : QString::fromUtf8(bytes);

    const std::vector<calamo::TextReplacement> edits = calamo::entityReplacements(text);
    QString expected;
    for (QChar c : text) {
        const QStringView entity = calamo::entityOf(c.unicode());
        if (entity.isEmpty())
            expected += c;
        else
            expected += entity;
    }
    int previous = -1;
    for (const calamo::TextReplacement& edit : edits) {
        check(edit.start > previous && edit.length == 1 && edit.start < text.size());
        check(edit.with == calamo::entityOf(text[edit.start].unicode()));
        previous = edit.start;
    }
    const QString converted = calamo::testing::replacedText(text, edits);
    check(converted == expected);
    check(calamo::entityReplacements(converted).empty());
    for (int offset = 0; offset < text.size(); ++offset) {
        const int moved = calamo::offsetAfterEdits(offset, edits);
        const QStringView entity = calamo::entityOf(text[offset].unicode());
        check(entity.isEmpty() ? converted[moved] == text[offset] : converted.mid(moved).startsWith(entity));
    }
    check(calamo::offsetAfterEdits(static_cast<int>(text.size()), edits) == converted.size());
    return 0;
}
