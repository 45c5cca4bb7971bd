#include "row_formats.h"

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

}  // namespace
}  // namespace korvallestin
