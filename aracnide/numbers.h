#pragma once
// The one reader of numbers typed or stored by the user (dialog fields, the settings file, the command
// line): checked, and clamped to the range the caller can hold, so no text overflows.

#include <optional>
#include <string_view>

namespace aracnide {

// The leading decimal number of `text`: blanks, an optional "-", then digits (what follows is ignored),
// clamped to [low, high]; `fallback` when no digit is there.
long long LeadingNumber(std::string_view text, long long low, long long high, long long fallback);

// The whole text as a decimal number (digits, after an optional "-"), clamped to [low, high]; nothing
// when the text holds anything else.
std::optional<long long> WholeNumber(std::string_view text, long long low, long long high);

}  // namespace aracnide
