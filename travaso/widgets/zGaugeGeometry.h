#pragma once

// What the LED gauge paints where, as plain arithmetic the paint code and tests share.
// Horizontal spans are [from, to): the right end is exclusive.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace travaso {

enum class BevelKind { None, Lowered, Raised, Space };
enum gaCaptionStyle { gaPctBar, gaTotalBar, gaTotPct, gaPctTot };

// Width of bevels plus frame around the bar area.
int GaugeBorder(BevelKind outer, BevelKind inner, int bevelWidth, int frameWidth);

// x where the filled part ends, for a bar [left, left + width). Kept within the bar.
int GaugeFillEnd(int left, int width, std::int32_t min, std::int32_t max, std::int32_t value);

// (value - min) * 100 div (max - min), limited to 0..100.
int GaugePercent(std::int32_t min, std::int32_t max, std::int32_t value);
// The value a percentage stands for: truncation of (max - min) * percent / 100 + min; percent above 100 is 100.
std::int32_t GaugeValueForPercent(std::int32_t min, std::int32_t max, int percent);

struct Span {
    int from;
    int to;
    bool operator==(const Span&) const = default;
};

struct LedLayout {
    std::vector<Span> leds;  // lit LEDs, each wholly inside the bar
    std::vector<Span> gaps;  // strips between them in the background colour
    int restFrom;            // from here to the right end: background colour
};

// LEDs lit up to fillEnd in a bar [left, right) of count LEDs with space pixels between them.
// An LED that would not fit wholly before right is not lit.
LedLayout GaugeLeds(int left, int right, int count, int space, int fillEnd);

// The caption text for a format with %d (and %%) placeholders filled by style; nullopt when the
// format does not match the numbers it gets.
std::optional<QString> GaugeCaptionText(const QString& format, gaCaptionStyle style, int percent, std::int32_t value);

}  // namespace travaso
