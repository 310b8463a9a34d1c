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

// One edit of a text: `length` characters from offset `start` become `with` (which must outlive the edit).
struct TextReplacement {
    int start = 0;
    int length = 0;
    QStringView with;
};

// Where the character at `offset` of the text before `edits` lies in the text after them. An offset inside a
// replaced span goes to the end of its replacement.
int offsetAfterEdits(int offset, const std::vector<TextReplacement>& edits);

}  // namespace calamo
