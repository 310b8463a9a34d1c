#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace calamo {

// A named colour of "Colori Prefabbricati".
struct ColourPreset {
    QStringView name;  // Italian, at most 31 characters
    QStringView code;  // "#" and six upper-case hex digits, red, green, blue
};

inline constexpr int kColourPresets = 92;
inline constexpr qsizetype kColourRowLength = 38;

// The presets in the list's order (see colourRowLess). The codes are kept as pages made with them hold them,
// also where a name does not describe its colour.
const std::array<ColourPreset, kColourPresets>& colourPresets();

// A preset as the list shows it: the name padded with blanks to 31 characters, then the code.
QString colourRowText(const ColourPreset& preset);

// The list's order: letters compared without regard to case or accents ("tanè" as "tane"), blanks before
// letters, hyphens and apostrophes left out of the comparison ("blu-violetto" after "bluette", as
// "bluvioletto"); rows equal under that rule go in character order.
bool colourRowLess(QStringView a, QStringView b);

// Characters 32 to 38 of a row, its "#RRGGBB" code; empty when the row has none.
QString codeOfColourRow(QStringView row);

// The colour of a row's code as 0x00BBGGRR (the colour picker's form); empty when the row has no valid code.
std::optional<std::uint32_t> colourOfRow(QStringView row);

}  // namespace calamo
