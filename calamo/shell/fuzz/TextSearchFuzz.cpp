// The tag scan and the search over any text a page may hold: the ranges they give must be sound, and Replace all
// must give what rebuilding the text after each replacement gives.
//
// Input: one byte whose low three bits give the length of the text to find, then UTF-8 text; the text to find is
// taken from its start, the rest is the page.

#include "TagScan.h"
#include "TextEdits.h"
#include "TextSearch.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

QString rebuildEachTime(QString text, const QString& what, const QString& with)
{
    int p = calamo::findText(text, what, 0);
    while (p != -1) {
        text = text.left(p) + with + text.mid(p + what.size());
        p = calamo::findText(text, what, p + static_cast<int>(with.size()));
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 4096)
        return 0;
    const int findLength = data[0] & 7;
    const QString all = QString::fromUtf8(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const QString what = all.left(findLength);
    const QString page = all.mid(what.size());

    int end = 0;
    for (const calamo::TextSpan& span : calamo::tagSpans(page)) {
        check(span.start >= end && span.length >= 2 && span.start + span.length <= page.size());
        check(page[span.start] == u'<' && page[span.start + span.length - 1] == u'>');
        check(!page.mid(span.start + 1, span.length - 2).contains(u'>'));
        end = span.start + span.length;
    }

    const int p = calamo::findText(page, what, 0);
    check(p == -1 ||
          (p + what.size() <= page.size() && page.mid(p, what.size()).compare(what, Qt::CaseInsensitive) == 0));
    // The linear search finds what the simple one does.
    if (!what.isEmpty())
        check(p == page.indexOf(what, 0, Qt::CaseInsensitive));
    const QString with = what + QStringLiteral("x");
    const std::vector<int> matches = calamo::replaceAllMatches(page, what);
    check(calamo::testing::replacedText(page, matches, static_cast<int>(what.size()), with) ==
          rebuildEachTime(page, what, with));
    return 0;
}
