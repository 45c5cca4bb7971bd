#include "row_formats.h"

#include "list_reader.h"

#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

TEST(RowFormats, EachFormatWritesTheNineFieldsWhole) {
    const std::vector<std::vector<std::string_view>> rows = {
        {"4109", "SUNNYBANK", "QLD", "", "ACACIA RIDGE DC", "", "Q1", "", ""},
        {"0872", "Ā \"LONG\", NAME\tHERE ÉTÉ AND MORE", "NT", "a\\b", "x\ny", "", "", "", "z"},
    };
    struct Case {
        RowFormat format;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {RowFormat::Text,
         "Postcode Locality         State Commen… Delivery Offi… Pres… Parce… BSP … BSP …\n"
         "4109     SUNNYBANK        QLD           ACACIA RIDGE …       Q1\n"
         "0872     Ā \"LONG\", NAME … NT    a\\b     x y                               z\n"},
        {RowFormat::Csv,
         "Postcode,Locality,State,Comments,Delivery Office,Presort Indicator,Parcel Zone,"
         "BSP Number,BSP Name\r\n4109,SUNNYBANK,QLD,,ACACIA RIDGE DC,,Q1,,\r\n"
         "0872,\"Ā \"\"LONG\"\", NAME\tHERE ÉTÉ AND MORE\",NT,a\\b,\"x\ny\",,,,z\r\n"},
        {RowFormat::Tsv,
         "Postcode\tLocality\tState\tComments\tDelivery Office\tPresort Indicator\tParcel "
         "Zone\tBSP Number\tBSP Name\n4109\tSUNNYBANK\tQLD\t\tACACIA RIDGE DC\t\tQ1\t\t\n"
         "0872\tĀ \"LONG\", NAME HERE ÉTÉ AND MORE\tNT\ta\\b\tx y\t\t\t\tz\n"},
        {RowFormat::Json,
         "[\n  {\"Postcode\": \"4109\", \"Locality\": \"SUNNYBANK\", \"State\": \"QLD\", "
         "\"Comments\": \"\", \"DeliveryOffice\": \"ACACIA RIDGE DC\", \"PresortIndicator\": "
         "\"\", \"ParcelZone\": \"Q1\", \"BSPNumber\": \"\", \"BSPName\": \"\"},\n  "
         "{\"Postcode\": \"0872\", \"Locality\": \"Ā \\\"LONG\\\", NAME\\tHERE ÉTÉ AND MORE\", "
         "\"State\": \"NT\", \"Comments\": \"a\\\\b\", \"DeliveryOffice\": \"x\\ny\", "
         "\"PresortIndicator\": \"\", \"ParcelZone\": \"\", \"BSPNumber\": \"\", \"BSPName\": "
         "\"z\"}\n]\n"},
    };
    for (const Case& c : cases) {
        StringOutput out;
        const auto writer = MakeRowWriter(c.format, out);
        EXPECT_TRUE(writer->Begin());
        for (const auto& row : rows) {
            EXPECT_TRUE(writer->Row(row));
        }
        EXPECT_TRUE(writer->End());
        EXPECT_EQ(out.Text(), c.expected) << static_cast<int>(c.format);
    }
    // No rows: an empty array, a header line, and for text nothing at all.
    for (const auto& [format, expected] : std::vector<std::pair<RowFormat, std::string>>{
             {RowFormat::Json, "[]\n"}, {RowFormat::Text, ""}}) {
        StringOutput out;
        const auto writer = MakeRowWriter(format, out);
        EXPECT_TRUE(writer->Begin() && writer->End());
        EXPECT_EQ(out.Text(), expected);
    }
}

TEST(RowFormats, CsvFieldsAreQuotedWhenTheyHoldWhatEndsOrQuotesAField) {
    struct Case {
        std::string_view field;
        char delimiter;
        std::string_view expected;
    };
    const std::vector<Case> cases = {
        {"SUNNYBANK", ',', "SUNNYBANK"}, {"", ',', ""},
        {"A, B", ',', "\"A, B\""},       {"A, B", ';', "A, B"},  // only the list's own delimiter
        {"A; B", ';', "\"A; B\""},       {"A\tB", '\t', "\"A\tB\""},
        {"O'CONNOR", ',', "O'CONNOR"},   {"THE \"BAY\"", ',', "\"THE \"\"BAY\"\"\""},
        {"\"", ',', "\"\"\"\""},         {"A\nB", ',', "\"A\nB\""},
        {"A\rB", ',', "\"A\rB\""},  // a lone CR ends a line in many readers
        {"A\r\nB", ',', "\"A\r\nB\""},
    };
    for (const Case& c : cases) {
        std::string out = "x,";
        AppendCsvField(c.field, c.delimiter, out);
        EXPECT_EQ(out, "x," + std::string(c.expected)) << c.field << " with " << c.delimiter;
    }
}

// The value of a JSON string that begins at `at` (after its opening quote):
// escapes undone; "!" and what was wrong when it is not valid JSON.
std::string JsonStringValue(const std::string& json, std::size_t at) {
    std::string value;
    for (; at < json.size() && json[at] != '"'; ++at) {
        const auto c = static_cast<unsigned char>(json[at]);
        if (c < 0x20) {
            return "! a raw control character " + std::to_string(c);
        }
        if (c != '\\') {
            value += json[at];
            continue;
        }
        const char e = json[++at];
        const std::string_view simple = "\"\"\\\\//b\bf\fn\nr\rt\t";
        const std::size_t i = simple.find(e);
        if (i != std::string_view::npos && i % 2 == 0) {
            value += simple[i + 1];
        } else if (e == 'u' && at + 4 < json.size()) {
            const unsigned long code = std::stoul(json.substr(at + 1, 4), nullptr, 16);
            if (code >= 0x80) {
                return "! an escape beyond ASCII";
            }
            value += static_cast<char>(code);
            at += 4;
        } else {
            return std::string("! an unknown escape \\") + e;
        }
    }
    return at < json.size() ? value : "! no closing quote";
}

TEST(RowFormats, JsonTextHoldsEveryAsciiCharacterEscapedWhereItMustBe) {
    for (int code = 0; code < 0x80; ++code) {
        std::string locality = "A_B";
        locality[1] = static_cast<char>(code);
        StringOutput out;
        const auto writer = MakeRowWriter(RowFormat::Json, out);
        const std::vector<std::string_view> row = {"4109", locality, "QLD", "", "", "", "", "", ""};
        EXPECT_TRUE(writer->Begin() && writer->Row(row) && writer->End());
        const std::string& json = out.Text();
        const std::string_view name = "\"Locality\": \"";
        const std::size_t at = json.find(name);
        ASSERT_NE(at, std::string::npos) << json;
        EXPECT_EQ(JsonStringValue(json, at + name.size()), locality) << "character " << code;
    }
}

TEST(RowFormats, TextCellsAreCutToTheirWidthInCharacters) {
    struct Case {
        std::string_view text;
        std::size_t width;
        bool pad;
        std::string_view expected;
    };
    const std::vector<Case> cases = {
        {"ABCDE", 5, true, "ABCDE"},
        {"ABCDEF", 5, true, "ABCD…"},
        {"ABCDEF", 5, false, "ABCD…"},
        {"AB", 5, true, "AB   "},
        {"AB", 5, false, "AB"},
        {"", 3, true, "   "},
        // More bytes than columns, but no more characters: nothing is cut.
        {"ÉTÉÉÉ", 5, true, "ÉTÉÉÉ"},
        {"ÉTÉ", 5, true, "ÉTÉ  "},
        {"ÉTÉÉÉÉ", 5, true, "ÉTÉÉ…"},
        {"A\tB\r\n", 6, true, "A B   "},
        {"AB\nCDEFG", 4, false, "AB …"},
        {"ABC\tEFG", 4, true, "ABC…"},
    };
    for (const Case& c : cases) {
        std::string out = "x|";
        AppendFitted(c.text, c.width, c.pad, out);
        EXPECT_EQ(out, "x|" + std::string(c.expected)) << c.text << " in " << c.width;
    }
}

// Records each write; fails them all when asked to.
class RecordingOutput final : public Output {
  public:
    RecordingOutput(bool line_by_line, bool fail) : line_by_line_(line_by_line), fail_(fail) {}
    bool Write(std::string_view text) override {
        writes.emplace_back(text);
        return !fail_;
    }
    bool LineByLine() const override { return line_by_line_; }
    std::string Text() const {
        std::string text;
        for (const std::string& w : writes) {
            text += w;
        }
        return text;
    }
    std::vector<std::string> writes;

  private:
    bool line_by_line_;
    bool fail_;
};

TEST(RowFormats, RowsGoOutInBlocksUnlessEachLineIsAwaited) {
    const std::vector<std::string_view> row = {"4109", "SUNNYBANK", "QLD", "", "ACACIA RIDGE DC",
                                               "",     "Q1",        "",    ""};
    constexpr std::size_t kRows = 5000;
    for (const RowFormat format :
         {RowFormat::Text, RowFormat::Csv, RowFormat::Tsv, RowFormat::Json}) {
        RecordingOutput blocks(false, false);
        RecordingOutput lines(true, false);
        RecordingOutput failing(false, true);
        for (RecordingOutput* out : {&blocks, &lines, &failing}) {
            const auto writer = MakeRowWriter(format, *out);
            bool ok = writer->Begin();
            for (std::size_t i = 0; i < kRows; ++i) {
                ok = writer->Row(row) && ok;
            }
            // A failed write shows in the rows' answers and in the close.
            EXPECT_EQ(ok, out != &failing) << static_cast<int>(format);
            EXPECT_EQ(writer->End(), out != &failing) << static_cast<int>(format);
        }
        EXPECT_EQ(blocks.Text(), lines.Text()) << static_cast<int>(format);
        EXPECT_GE(blocks.Text().size(), kRows * 30);
        // Whole rows, a few large writes: one per 64 KiB block and the rest.
        EXPECT_LE(blocks.writes.size(), blocks.Text().size() / 65536 + 2);
        EXPECT_EQ(blocks.writes.size(), failing.writes.size());
        // A terminal gets each row as soon as it is whole.
        EXPECT_GE(lines.writes.size(), kRows) << static_cast<int>(format);
        for (std::size_t i = 1; i + 1 < lines.writes.size(); ++i) {
            ASSERT_EQ(lines.writes[i].back(), format == RowFormat::Json ? '}' : '\n') << i;
        }
    }
}

}  // namespace
}  // namespace korvallestin
