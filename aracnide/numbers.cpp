#include "numbers.h"

#include <algorithm>
#include <limits>

namespace aracnide {

namespace {

// Parses an optional "-" and digits from text[i]; `end` is where they stop. Nothing without a digit.
std::optional<long long> Digits(std::string_view text, size_t i, long long low, long long high, size_t& end)
{
    const bool negative = i < text.size() && text[i] == '-';
    if (negative)
        ++i;
    const size_t first = i;
    // Kept within ±(high or -low) + 1 while reading, so a long run of digits cannot overflow.
    constexpr long long kCap = std::numeric_limits<long long>::max() / 10 - 9;
    long long n = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        n = std::min(kCap, n * 10 + (text[i] - '0'));
    end = i;
    if (i == first)
        return std::nullopt;
    return std::clamp(negative ? -n : n, low, high);
}

}  // namespace

long long LeadingNumber(std::string_view text, long long low, long long high, long long fallback)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    size_t end = 0;
    return Digits(text, i, low, high, end).value_or(fallback);
}

std::optional<long long> WholeNumber(std::string_view text, long long low, long long high)
{
    size_t end = 0;
    const auto n = Digits(text, 0, low, high, end);
    if (!n || end != text.size())
        return std::nullopt;
    return n;
}

}  // namespace aracnide
