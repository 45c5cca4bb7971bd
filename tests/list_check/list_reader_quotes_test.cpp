// Quoted fields in the list reader: what they hold does not choose the
// delimiter, and it counts towards the limit on a row's length.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "list_reader.h"

namespace korvallestin {
namespace {

std::string Joined(const std::vector<std::string>& fields) {
    std::string out;
    for (const std::string& field : fields) {
        out += (out.empty() ? "" : "|") + field;
    }
    return out;
}

TEST(ListReaderQuotes, TheDelimiterIsCountedOutsideQuotesOnTheHeaderLine) {
    struct Case {
        std::string bytes;
        char delimiter;
        const char* header;  // its fields, joined by |
    };
    const std::vector<Case> cases = {
        {"Suburb,State,Postcode\n", ',', "Suburb|State|Postcode"},
        {"Suburb;State;Postcode\n", ';', "Suburb|State|Postcode"},
        {"Suburb\tState\tPostcode\n", '\t', "Suburb|State|Postcode"},
        // Commas and semicolons inside a quoted heading are text.
        {"\"Suburb, Town or City\"\tState\tPostcode\n", '\t',
         "Suburb, Town or City|State|Postcode"},
        {"Suburb,\"Notes; a; b; c\",Postcode\n", ',', "Suburb|Notes; a; b; c|Postcode"},
        {"\"A \"\"B;C;D\"\"\",State\r\n", ',', "A \"B;C;D\"|State"},
        // Only the header line counts.
        {"Suburb,State\nA;B;C;D;E\n", ',', "Suburb|State"},
    };
    for (const Case& c : cases) {
        StringSource source(c.bytes);
        ListReader reader(source);
        std::vector<std::string> fields;
        ASSERT_TRUE(reader.ReadHeader(fields)) << c.bytes;
        EXPECT_EQ(reader.Delimiter(), c.delimiter) << c.bytes;
        EXPECT_EQ(Joined(fields), c.header) << c.bytes;
    }
}

TEST(ListReaderQuotes, QuotedTextCountsTowardsTheRowLimit) {
    constexpr std::size_t kLimit = ListReader::kMaxRowBytes;
    const std::string quoted_under = "\"" + std::string(kLimit - 1024, 'x') + "\"";
    const std::string quoted_over = "\"" + std::string(kLimit + 1024, 'x') + "\"";
    const std::string quoted_half = "\"" + std::string(kLimit / 2 + 1024, 'x') + "\"";
    struct Case {
        const char* name;
        std::string row;
        bool read;  // the row is read whole; else the reader stops at line 2
    };
    // Each row ends with its quoted field, so that nothing after the closing
    // quote is left to count.
    const std::vector<Case> cases = {
        {"a quoted field under the limit", "Sydney,NSW," + quoted_under + "\n", true},
        {"a closed quoted field over the limit", "Sydney,NSW," + quoted_over + "\n", false},
        {"two quoted fields over the limit together",
         "Sydney," + quoted_half + "," + quoted_half + "\n", false},
        {"unquoted and quoted text over the limit together",
         std::string(kLimit / 2 + 1024, 'y') + ",NSW," + quoted_half + "\n", false},
    };
    for (const Case& c : cases) {
        StringSource source("Suburb,State,Postcode\n" + c.row + "Sydney,NSW,2000\n");
        ListReader reader(source);
        std::vector<std::string> fields;
        ASSERT_TRUE(reader.ReadHeader(fields)) << c.name;
        EXPECT_EQ(reader.ReadRow(fields), c.read) << c.name;
        if (c.read) {
            EXPECT_EQ(fields.size(), 3U) << c.name;
            EXPECT_TRUE(reader.ReadRow(fields)) << c.name;
            EXPECT_EQ(Joined(fields), "Sydney|NSW|2000") << c.name;
        } else {
            EXPECT_NE(reader.Failure().kind, ListFailure::Kind::None) << c.name;
            EXPECT_EQ(reader.Failure().line, 2) << c.name;
            EXPECT_FALSE(reader.ReadRow(fields)) << c.name;
        }
    }
}

}  // namespace
}  // namespace korvallestin
