#pragma once

// Letter case as the logic uses it: only the ASCII letters A to Z and a to z
// change, and every other byte stays as it is, UTF-8's included, so that a
// name with É or ü keeps its bytes. The postcode file's names are in capitals;
// the locale plays no part. Inline, as the matching and the sort call them
// once a character.

#include <cstddef>
#include <string>
#include <string_view>

namespace korvallestin {

constexpr bool IsUpperAsciiLetter(char c) {
    return c >= 'A' && c <= 'Z';
}

constexpr bool IsLowerAsciiLetter(char c) {
    return c >= 'a' && c <= 'z';
}

constexpr char LowerAsciiLetter(char c) {
    return IsUpperAsciiLetter(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAsciiLetter(char c) {
    return IsLowerAsciiLetter(c) ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = LowerAsciiLetter(c);
    }
    return out;
}

inline std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = UpperAsciiLetter(c);
    }
    return out;
}

constexpr bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAsciiLetter(a[i]) != LowerAsciiLetter(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace korvallestin
