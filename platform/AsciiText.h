// Small text helpers for the program's own files and names, which are ASCII where it matters.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Without the blanks (spaces, tabs, carriage returns) at either end.
inline std::string_view TrimBlanks(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// A copy with the ASCII capitals A..Z made small; every other byte is kept.
inline std::string AsciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace platform
