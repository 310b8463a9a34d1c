#pragma once

#include <QStringView>

#include <vector>

namespace calamo {

// A character range of a document's text. Offsets count one character per line break.
struct TextSpan {
    int start = 0;
    int length = 0;
    friend bool operator==(const TextSpan&, const TextSpan&) = default;
};

// The tags "Colora tag" paints: each runs from a "<" up to and including the first ">" after it, and the next
// one is looked for after that ">". Comments, quotes and attribute values are not special, and a "<" with no ">"
// after it ends the scan. One pass over the text.
std::vector<TextSpan> tagSpans(QStringView text);

}  // namespace calamo
