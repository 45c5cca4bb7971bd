// Letter case changes the letters A to Z and a to z alone: the characters on
// either side of both ranges, and every byte of UTF-8 or of a single-byte code
// page, stay as they are.

#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "letter_case.h"

namespace korvallestin {
namespace {

TEST(LetterCase, ChangesOnlyTheAsciiLetters) {
    struct Case {
        std::string_view text;
        std::string_view lower;
        std::string_view upper;
    };
    const Case cases[] = {
        {"", "", ""},
        {"Mount Isa", "mount isa", "MOUNT ISA"},
        // The neighbours of the two ranges: @ [ ` {
        {"@AZ[`az{", "@az[`az{", "@AZ[`AZ{"},
        {"O'Connor-3000_x", "o'connor-3000_x", "O'CONNOR-3000_X"},
        // É and é in UTF-8, then Á and á as one byte each (Windows-1252).
        {"\xC3\x89\xC3\xA9", "\xC3\x89\xC3\xA9", "\xC3\x89\xC3\xA9"},
        {"\xC1\xE1", "\xC1\xE1", "\xC1\xE1"},
        {std::string_view("A\0b", 3), std::string_view("a\0b", 3), std::string_view("A\0B", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text));
        EXPECT_EQ(LowerAscii(c.text), c.lower);
        EXPECT_EQ(UpperAscii(c.text), c.upper);
        EXPECT_TRUE(EqualsIgnoringAsciiCase(c.lower, c.upper));
    }
}

TEST(LetterCase, EqualityIgnoresOnlyTheCaseOfLetters) {
    struct Case {
        std::string_view a;
        std::string_view b;
        bool equal;
    };
    const Case cases[] = {
        {"postcodes.csv", "POSTCODES.CSV", true},
        {"", "", true},
        {"abc", "abcd", false},
        {"abcd", "abc", false},
        // Characters 32 apart that are no letters.
        {"@", "`", false},
        {"[", "{", false},
        {"\xC1", "\xE1", false},
        {"a", "b", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + std::string(c.b));
        EXPECT_EQ(EqualsIgnoringAsciiCase(c.a, c.b), c.equal);
    }
}

}  // namespace
}  // namespace korvallestin
