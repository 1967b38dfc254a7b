#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// ASCII character tests and case folding for the program's own protocol text (command
// strings, replies, drive letters). They never consult the C locale: a byte outside
// ASCII is neither a blank nor a letter and keeps its value. Pure; any thread.
namespace vorlo::ascii {

// Blanks between the items of a command string: space, tab, carriage return, line feed.
constexpr bool IsSpaceTabCrOrLf(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Blanks that a number's text may hold anywhere: space, tab, line feed. A carriage return
// is not one of them, so it ends the number.
constexpr bool IsSpaceTabOrLf(char c) { return c == ' ' || c == '\t' || c == '\n'; }

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string LowerCopy(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = Lower(c);
    return lower;
}

constexpr bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i]))
            return false;
    return true;
}

} // namespace vorlo::ascii
