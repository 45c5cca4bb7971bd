#include "name_distance.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

TEST(NameDistance, CountsWrongMissingExtraAndSwappedLettersUpToTheLimit) {
    struct Case {
        const char* a;
        const char* b;
        int whole;   // the names as wholes
        int prefix;  // a as the beginning of b
        int infix;   // a anywhere in b
    };
    const std::vector<Case> cases = {
        {"SUNNYBANK", "SUNNYBANK", 0, 0, 0},
        {"SUNNYBANC", "SUNNYBANK", 1, 1, 1},   // a letter wrong
        {"SUNYBANK", "SUNNYBANK", 1, 1, 1},    // missing
        {"SUNNNYBANK", "SUNNYBANK", 1, 1, 1},  // extra
        {"SUNNYBNAK", "SUNNYBANK", 1, 1, 1},   // two swapped
        {"SUNYBNAK", "SUNNYBANK", 2, 2, 2},
        {"SNUYBNAK", "SUNNYBANK", 3, 3, 3},  // past the limit
        {"SUNY", "SUNNYBANK", 3, 1, 1},
        {"BANK", "SUNNYBANK", 3, 3, 0},
        {"", "PERTH", 3, 0, 0},
        {"PERTH", "", 3, 3, 3},
        {"AB", "BA", 1, 1, 1},
        {"ABC", "CA", 3, 2, 2},  // no letter is edited twice
        // Characters, not bytes: an accent or a typographic apostrophe is one.
        {"RENÉE", "RENEE", 1, 1, 1},
        {"O’CONNOR", "O'CONNOR", 1, 1, 1},
        {"ÉÉÉ", "EEE", 3, 3, 3},
        {"Ü", "", 1, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NameDistance(c.a, c.b, 2), std::min(c.whole, 3)) << c.a << " " << c.b;
        EXPECT_EQ(PrefixDistance(c.a, c.b, 2), c.prefix) << c.a << " " << c.b;
        EXPECT_EQ(InfixDistance(c.a, c.b, 2), c.infix) << c.a << " " << c.b;
    }
}

TEST(NameDistance, FieldsAreComparedAsTheCheckShapesThem) {
    struct Case {
        const char* given;
        const char* normalised;
        const char* canonical;
    };
    const std::vector<Case> cases = {
        {"  mount   isa ", "MOUNT ISA", "MT ISA"},
        // For suggestions only, typographic quotes and dashes are plain.
        {"Tam O’Shanter", "TAM O’SHANTER", "TAM O'SHANTER"},
        {"Brighton–le—Sands", "BRIGHTON–LE—SANDS", "BRIGHTON-LE-SANDS"},
        {"\u201Cthe\u00A0rock\u201D", "\u201CTHE\u00A0ROCK\u201D", "\"THE ROCK\""},
        {"Saint Kilda East", "SAINT KILDA EAST", "ST KILDA EAST"},
        {"MOUNTAIN CREEK", "MOUNTAIN CREEK", "MOUNTAIN CREEK"},  // words, not letters
        {"st. kilda", "ST. KILDA", "ST. KILDA"},
        {"Zoë", "ZOë", "ZOë"},  // only a to z change case, as in the window
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NormalisedField(c.given), c.normalised) << c.given;
        EXPECT_EQ(NameForSuggestions(c.given), c.canonical) << c.given;
    }
}

}  // namespace
}  // namespace korvallestin
