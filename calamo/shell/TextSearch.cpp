#include "TextSearch.h"

namespace calamo {

namespace {

// The case folding of the code unit at `i`: a surrogate pair folds as the one character it makes, so each of its
// halves becomes the same half of the folded character and offsets stay as they are.
char16_t foldedAt(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (c < 0x80)  // the common case, without a table
        return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
    if (!QChar::isSurrogate(c))
        return QChar::toCaseFolded(c);
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return QChar::highSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(c, text[i + 1].unicode())));
    if (QChar::isLowSurrogate(c) && i > 0 && text[i - 1].isHighSurrogate())
        return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(text[i - 1].unicode(), c)));
    return QChar::toCaseFolded(c);
}

// A search for one text that ignores case, in time linear in the page whatever the text looked for: the text is
// folded once, and a mismatch after a partial match falls back along the longest border of the part matched
// (Knuth-Morris-Pratt), so no character of the page is looked at more than twice.
class Finder {
public:
    explicit Finder(QStringView what) : pattern_(static_cast<std::size_t>(what.size())), border_(pattern_.size())
    {
        for (qsizetype i = 0; i < what.size(); ++i)
            pattern_[static_cast<std::size_t>(i)] = foldedAt(what, i);
        // border_[i]: length of the longest proper prefix of pattern_[0..i] that is also its suffix.
        std::size_t k = 0;
        for (std::size_t i = 1; i < pattern_.size(); ++i) {
            while (k > 0 && pattern_[i] != pattern_[k])
                k = border_[k - 1];
            if (pattern_[i] == pattern_[k])
                ++k;
            border_[i] = k;
        }
    }

    // The first occurrence at or after `from`, or -1.
    int find(QStringView text, qsizetype from) const
    {
        const std::size_t m = pattern_.size();
        if (m == 0 || from < 0 || from > text.size())
            return -1;
        std::size_t k = 0;  // characters of the pattern matched so far
        for (qsizetype i = from; i < text.size(); ++i) {
            const char16_t c = foldedAt(text, i);
            while (k > 0 && c != pattern_[k])
                k = border_[k - 1];
            if (c == pattern_[k])
                ++k;
            if (k == m)
                return static_cast<int>(i + 1 - static_cast<qsizetype>(m));
        }
        return -1;
    }

private:
    std::vector<char16_t> pattern_;
    std::vector<std::size_t> border_;
};

}  // namespace

int findText(QStringView text, QStringView what, int from)
{
    return Finder(what).find(text, from);
}

std::vector<int> replaceAllMatches(QStringView text, QStringView what)
{
    std::vector<int> matches;
    const Finder finder(what);
    const int length = static_cast<int>(what.size());
    for (int p = finder.find(text, 0); p >= 0; p = finder.find(text, p + length))
        matches.push_back(p);
    return matches;
}

int offsetAfterEdits(int offset, const std::vector<TextReplacement>& edits)
{
    qsizetype shift = 0;
    for (const TextReplacement& edit : edits) {
        if (edit.start >= offset)
            break;
        if (edit.start + edit.length > offset)
            return static_cast<int>(edit.start + shift + edit.with.size());
        shift += edit.with.size() - edit.length;
    }
    return static_cast<int>(offset + shift);
}

}  // namespace calamo
