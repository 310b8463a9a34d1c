#include "TextSearch.h"

namespace calamo {

int findText(QStringView text, QStringView what, int from)
{
    if (what.isEmpty() || from < 0 || from > text.size())
        return -1;
    return static_cast<int>(text.indexOf(what, from, Qt::CaseInsensitive));
}

std::vector<int> replaceAllMatches(QStringView text, QStringView what)
{
    std::vector<int> matches;
    const int length = static_cast<int>(what.size());
    for (int p = findText(text, what, 0); p >= 0; p = findText(text, what, p + length))
        matches.push_back(p);
    return matches;
}

QString replacedText(QStringView text, const std::vector<int>& matches, int length, QStringView with)
{
    QString out;
    out.reserve(text.size() + static_cast<qsizetype>(matches.size()) * (with.size() - length));
    qsizetype done = 0;
    for (int p : matches) {
        out.append(text.mid(done, p - done));
        out.append(with);
        done = p + length;
    }
    out.append(text.mid(done));
    return out;
}

QString replacedText(QStringView text, const std::vector<TextReplacement>& edits)
{
    qsizetype size = text.size();
    for (const TextReplacement& edit : edits)
        size += edit.with.size() - edit.length;
    QString out;
    out.reserve(size);
    qsizetype done = 0;
    for (const TextReplacement& edit : edits) {
        out.append(text.mid(done, edit.start - done));
        out.append(edit.with);
        done = edit.start + edit.length;
    }
    out.append(text.mid(done));
    return out;
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
