#pragma once

#include <QString>

#include <vector>

namespace calamo {

class TextEditor;

// A range of the text, as offsets.
struct TextRange {
    int start;
    int length;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// The tags "Colora tag" paints: each "<" up to and including the first ">" after it, nothing else recognised
// (comments and quoted values get no special treatment). A "<" without a later ">" ends the scan.
std::vector<TextRange> tagRanges(QStringView text);

// RGB as 0xRRGGBB.
inline constexpr unsigned kTagColour = 0x0000C8;
inline constexpr unsigned kTypingColour = 0x000000;

// `ColoraTag`: paints every tag blue, puts the caret at the former selection start with nothing selected and
// makes further typing black. The document's text and its saved state do not change.
void ColoraTag(TextEditor& editor);

}  // namespace calamo
