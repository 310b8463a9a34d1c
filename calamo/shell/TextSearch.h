#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace calamo {

// The editor's forward search: the offset of the first occurrence of `what` in `text` at or after `from`, with
// letters matched regardless of case (accented and non-Latin letters too); -1 when there is none. An empty
// `what` finds nothing.
int findText(QStringView text, QStringView what, int from);

// Where Replace all replaces `what`: each occurrence is looked for from the end of the one before, so text that
// a replacement puts in is never searched again. Empty for an empty `what`.
std::vector<int> replaceAllMatches(QStringView text, QStringView what);

// `text` with `length` characters at each of `matches` (ascending, not overlapping) replaced by `with`.
QString replacedText(QStringView text, const std::vector<int>& matches, int length, QStringView with);

}  // namespace calamo
