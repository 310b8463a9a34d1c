#pragma once
// The program's one ASCII case-insensitive comparison: only A-Z and a-z are folded, every other byte
// (the bytes of a UTF-8 or Windows-1252 text, '@' and '`' included) compares as itself.

#include <string_view>

namespace aracnide {

constexpr char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

constexpr bool IEquals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

constexpr bool IStartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && IEquals(text.substr(0, prefix.size()), prefix);
}

}  // namespace aracnide
