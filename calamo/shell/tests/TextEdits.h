#pragma once

// Edits made to a plain string: the model that tests, fuzz targets and benchmarks check the editor's Replace
// all and entity conversion against.

#include "TextSearch.h"

#include <QString>

#include <vector>

namespace calamo::testing {

// `text` with `length` characters at each of `matches` (ascending, not overlapping) replaced by `with`.
inline QString replacedText(QStringView text, const std::vector<int>& matches, int length, QStringView with)
{
    QString out;
    qsizetype done = 0;
    for (int p : matches) {
        out.append(text.mid(done, p - done));
        out.append(with);
        done = p + length;
    }
    out.append(text.mid(done));
    return out;
}

// `text` with each of `edits` (ascending, not overlapping) made.
inline QString replacedText(QStringView text, const std::vector<TextReplacement>& edits)
{
    QString out;
    qsizetype done = 0;
    for (const TextReplacement& edit : edits) {
        out.append(text.mid(done, edit.start - done));
        out.append(edit.with);
        done = edit.start + edit.length;
    }
    out.append(text.mid(done));
    return out;
}

}  // namespace calamo::testing
