#include "postcode_import.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import_report.h"
#include "list_reader.h"
#include "output.h"

namespace korvallestin {
namespace {

// The postcode file's header line, as the import writes it.
const std::string kHeader =
    "\"Pcode\",\"Locality\",\"State\",\"Comments\",\"DeliveryOffice\",\"PresortIndicator\","
    "\"ParcelZone\",\"BSPnumber\",\"BSPname\"\r\n";

ImportResult Import(const std::string& bytes, std::string& error) {
    StringSource source(bytes);
    ImportResult result;
    ImportPostcodeList(source, result, error);
    return result;
}

std::string Written(const ImportResult& result) {
    StringOutput out;
    EXPECT_TRUE(WritePostcodeFile(result.records, out));
    return out.Text();
}

TEST(PostcodeImport, MakesEachKindOfListIntoThePostcodeFileByItsHeadings) {
    struct Case {
        const char* what;
        std::string list;
        std::string file;  // after the header line
    };
    const std::string two =
        "\"4109\",\"SUNNYBANK\",\"QLD\",,\"SUNNYBANK DC\",,\"Q1\",,\r\n"
        "\"0800\",\"DARWIN\",\"NT\",\"POST OFFICE BOXES\",\"DARWIN GPO\",,\"NT1\",,\r\n";
    const std::vector<Case> cases = {
        {"the open list's CSV, its columns in another order, LF, unquoted",
         "state,locality,postcode,id,long,lat,dc,type,status,chargezone\n"
         "QLD,Sunnybank,4109,1,0,0,Sunnybank DC,Delivery Area,Updated 3-Dec-2022,Q1\n"
         "NT,Darwin,0800,2,0,0,Darwin GPO,Post Office Boxes,Added 1-July-2021,NT1\n",
         two},
        {"the open list's spreadsheet: words as headings, Windows-1252, CR LF, quoted, a "
         "postcode that lost its zero",
         "\"ID\",\"Postcode\",\"Locality\",\"State\",\"Long\",\"Lat\",\"DC\",\"Type\",\"SA3 "
         "Name\",\"Status\",\"Charge Zone\"\r\n"
         "\"1\",\"2602\",\"O\x92\x43onnor\",\"ACT\",\"\",\"\",\"\",\"\",\"\",\"\",\"N2\"\r\n"
         "\"2\",\"800\",\"DARWIN\",\"NT\",\"\",\"\",\"\",\"Post Office "
         "Boxes\",\"\",\"\",\"NT1\"\r\n",
         "\"2602\",\"O\x92\x43ONNOR\",\"ACT\",,,,\"N2\",,\r\n"
         "\"0800\",\"DARWIN\",\"NT\",\"POST OFFICE BOXES\",,,\"NT1\",,\r\n"},
        {"the open list's oldest CSV: eight columns, UTF-8 with a byte order mark",
         "\xEF\xBB\xBFid,postcode,locality,state,long,lat,dc,type\r\n"
         "1,2602,O\xE2\x80\x99\x43ONNOR,ACT,149.1,-35.2,,\r\n",
         "\"2602\",\"O\x92\x43ONNOR\",\"ACT\",,,,,,\r\n"},
        {"the open list's JSON, with numbers and nulls",
         "\xEF\xBB\xBF "
         "[{\"id\":1,\"postcode\":\"4109\",\"locality\":\"SUNNYBANK\",\"state\":\"QLD\","
         "\"long\":153.05,\"lat\":-27.57,\"dc\":\"SUNNYBANK DC\",\"type\":\"Delivery Area\","
         "\"status\":null,\"chargezone\":\"Q1\"},\n"
         "{\"chargezone\":\"NT1\",\"type\":\"Post Office Boxes\",\"dc\":\"Darwin GPO\",\"lat\":0,"
         "\"long\":0,\"state\":\"NT\",\"locality\":\"DARWIN\",\"postcode\":\"0800\",\"id\":2}]",
         two},
        {"Australia Post's file, with its tenth column, semicolons",
         "Pcode;Locality;State;Comments;DeliveryOffice;PresortIndicator;ParcelZone;BSPnumber;"
         "BSPname;Category\r\n"
         "4109;SUNNYBANK;QLD;;SUNNYBANK DC;;Q1;;;Delivery Area\r\n"
         "0800;DARWIN;NT;POST OFFICE BOXES;DARWIN GPO;;NT1;;;Post Office Boxes\r\n",
         two},
    };
    for (const Case& c : cases) {
        std::string error;
        const ImportResult result = Import(c.list, error);
        EXPECT_EQ(error, "") << c.what;
        EXPECT_EQ(Written(result), kHeader + c.file) << c.what;
        EXPECT_EQ(result.left_out.size(), 0U) << c.what;
    }
}

TEST(PostcodeImport, LeavesOutEachWrongRecordWithItsLineAndReason) {
    const std::string header = "id,postcode,locality,state,long,lat,dc,type,status\n";
    const std::string good = "1,4109,SUNNYBANK,QLD,0,0,,,Updated 17-Mar-2024\n";
    struct Case {
        std::string row;
        LeaveOutReason reason;
        std::string detail;
    };
    const std::vector<Case> cases = {
        {good, LeaveOutReason::Duplicate, "the same as an earlier record"},
        {"2,4306,BLACKBUTT,QLD,0,0,,,Removed 15-Nov-2020\n", LeaveOutReason::Removed,
         "Removed 15-Nov-2020"},
        {"2,43061,BLACKBUTT,QLD,0,0,,,\n", LeaveOutReason::BadPostcode, "postcode '43061'"},
        {"2,43a6,BLACKBUTT,QLD,0,0,,,\n", LeaveOutReason::BadPostcode, "postcode '43a6'"},
        {"2,4306,BLACKBUTT,QUEENSLAND,0,0,,,\n", LeaveOutReason::BadState, "state 'QUEENSLAND'"},
        {"2,4306, ,QLD,0,0,,,\n", LeaveOutReason::EmptyLocality, ""},
        {"2,3707,DEEP CREEK NSW 2460 CORRYONG,VIC,0,0,,,\n", LeaveOutReason::StateInLocality,
         "'DEEP CREEK NSW 2460 CORRYONG'"},
        {"2,4306,\xC5\x81\x41KA,QLD,0,0,,,\n", LeaveOutReason::Unwritable,
         "\xC5\x81 (U+0141), which Windows-1252 cannot hold"},
        {"2,4306,\"A \"\"B\"\"\",QLD,0,0,,,\n", LeaveOutReason::Unwritable,
         "a double quote, which the postcode file cannot hold"},
        {"2,4306,\"A\tB\",QLD,0,0,,,\n", LeaveOutReason::Unwritable,
         "the control character U+0009"},
    };
    for (const Case& c : cases) {
        std::string error;
        const ImportResult result = Import(header + good + c.row, error);
        ASSERT_EQ(error, "") << c.row;
        EXPECT_EQ(result.read, 2) << c.row;
        EXPECT_EQ(result.records.size(), 1U) << c.row;
        ASSERT_EQ(result.left_out.size(), 1U) << c.row;
        EXPECT_EQ(result.left_out[0].where, "line 3") << c.row;
        EXPECT_EQ(result.left_out[0].reason, c.reason) << c.row;
        EXPECT_EQ(result.left_out[0].detail, c.detail) << c.row;
        // A removed record's date counts too: it is a change to the list.
        EXPECT_EQ(result.newest_change, "2024-03-17") << c.row;
    }
    // An apostrophe that Windows-1252 has no byte for is written as "'", and
    // said so; the newest date is the latest, whatever the month's spelling.
    std::string error;
    const ImportResult result = Import(
        header + good + "3,5223,D\xCA\xBC\x45STREES BAY,SA,0,0,,,Added 1-July-2024\n", error);
    EXPECT_EQ(Written(result), kHeader + "\"4109\",\"SUNNYBANK\",\"QLD\",,,,,,\r\n" +
                                   "\"5223\",\"D'ESTREES BAY\",\"SA\",,,,,,\r\n");
    ASSERT_EQ(result.changed.size(), 1U);
    EXPECT_EQ(result.changed[0].where, "line 3");
    EXPECT_EQ(result.changed[0].detail, "\xCA\xBC (U+02BC) written as '");
    EXPECT_EQ(result.newest_change, "2024-07-01");
}

TEST(PostcodeImport, RefusesWhatIsNotAKnownListWithAClearError) {
    struct Case {
        std::string list;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"", "The list is empty: it has no header line."},
        {"\r\n\r\n", "The list is empty: it has no header line."},
        {"Postcode,Suburb,Region,Notes,A,B,C,D,E\r\n4109,SUNNYBANK,QLD,,,,,,\r\n",
         "It is not a postcode list this program knows: its headings are Postcode, Suburb, "
         "Region, Notes, A, B, C, D, E. It reads"},
        {"name,age\nAnn,3\n",
         "It is not a postcode list this program knows: its headings are "
         "name, age."},
        {"id,postcode,locality,state,long,lat,dc\n1,4109,A,QLD,0,0,\n",
         "It looks like the open list but has no column type: its headings are id, postcode, "
         "locality, state, long, lat, dc."},
        {"Pcode,Locality,State,Comments,DeliveryOffice\n",
         "It looks like Australia Post's file but has no column presortindicator, parcelzone, "
         "bspnumber, bspname: its headings are"},
        {"[]", "It holds no records: the JSON array is empty."},
        {"[{\"postcode\":\"4109\"", "It is not well-formed JSON (at byte 20:"},
        {"[1]", "Record 1 is a single value, not an object."},
        {"[{\"id\":1,\"postcode\":\"4109\",\"locality\":{\"a\":1}}]",
         "The value of \"locality\" in record 1 is an object, not text or a number."},
        {"[{\"a\":1,\"b\":2}]",
         "It is not a postcode list this program knows: its headings are "
         "a, b."},
        {"\"A\tB\",\"C\n", "The quoted field that begins at line 1 has no closing quote."},
    };
    for (const Case& c : cases) {
        std::string error;
        Import(c.list, error);
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.list;
    }
}

TEST(PostcodeImport, ComparesByLocalityAndState) {
    auto records = [](const std::vector<std::array<std::string, 3>>& places) {
        std::vector<PostcodeRecord> out;
        for (const auto& [postcode, locality, state] : places) {
            PostcodeRecord r;
            r.Postcode = postcode;
            r.Locality = locality;
            r.State = state;
            r.DeliveryOffice = "IGNORED " + postcode;
            out.push_back(r);
        }
        return out;
    };
    const std::vector<PostcodeRecord> before = records({{"4306", "BLACKBUTT", "QLD"},
                                                        {"2640", "ALBURY", "NSW"},
                                                        {"2753", "RICHMOND", "NSW"},
                                                        {"3121", "RICHMOND", "VIC"},
                                                        {"4000", "OLDTOWN", "QLD"},
                                                        {"2000", "SYDNEY", "NSW"},
                                                        {"2001", "SYDNEY", "NSW"}});
    const std::vector<PostcodeRecord> after = records({{"2001", "SYDNEY", "NSW"},
                                                       {"2000", "SYDNEY", "NSW"},
                                                       {"4314", "BLACKBUTT", "QLD"},
                                                       {"3690", "ALBURY", "VIC"},
                                                       {"2753", "RICHMOND", "NSW"},
                                                       {"3121", "RICHMOND", "VIC"},
                                                       {"7025", "RICHMOND", "TAS"},
                                                       {"4109", "NEWTOWN", "QLD"}});
    std::string changes;
    for (const PlaceChange& c : ComparePlaces(before, after)) {
        changes += std::to_string(static_cast<int>(c.kind)) + " " + c.locality + " [" + c.now +
                   "] [" + c.was + "]\n";
    }
    EXPECT_EQ(changes,
              "0 NEWTOWN [QLD 4109] []\n"
              "0 RICHMOND [TAS 7025] []\n"
              "1 OLDTOWN [] [QLD 4000]\n"
              "2 ALBURY [VIC 3690] [NSW 2640]\n"
              "2 BLACKBUTT [QLD 4314] [QLD 4306]\n");
    EXPECT_TRUE(ComparePlaces(after, after).empty());
}

TEST(PostcodeImport, ReportsCountsAndEveryChangeAsTextAndCsv) {
    std::string error;
    const ImportResult result = Import(
        "id,postcode,locality,state,long,lat,dc,type,status\n"
        "1,4314,BLACKBUTT,QLD,0,0,,,Updated 17-Mar-2024\n"
        "2,4306,BLACKBUTT,QLD,0,0,,,Removed 15-Nov-2020\n"
        "3,4109,\"SUNNYBANK, HILLS\",QLD,0,0,,,\n",
        error);
    ImportReport report;
    report.source = "new.csv";
    report.result = &result;
    report.written_to = "out.csv";
    report.compared_with = "old.csv";
    PostcodeRecord old;
    old.Postcode = "4306";
    old.Locality = "BLACKBUTT";
    old.State = "QLD";
    report.compared_records = 1;
    report.changes = ComparePlaces({old}, result.records);
    EXPECT_EQ(ImportReportText(report),
              "Read 3 records from new.csv (the open list's CSV).\n"
              "Left out 1:\n"
              "  1 marked removed\n"
              "Newest change date in the records' status: 2024-03-17.\n"
              "Wrote 2 records to out.csv.\n"
              "Compared with old.csv (1 record): 1 locality added, 0 retired, 1 with another "
              "postcode or state.\n"
              "\n"
              "Left out:\n"
              "  line 3: 4306 BLACKBUTT QLD: removed (Removed 15-Nov-2020)\n"
              "\n"
              "Added:\n"
              "  SUNNYBANK, HILLS QLD 4109\n"
              "\n"
              "With another postcode or state (now, was):\n"
              "  BLACKBUTT QLD 4314, was QLD 4306\n");
    StringOutput csv;
    EXPECT_TRUE(WriteImportReportCsv(report, csv));
    EXPECT_EQ(csv.Text(),
              "kind,where,postcode,locality,state,was,detail\r\n"
              "removed,line 3,4306,BLACKBUTT,QLD,,Removed 15-Nov-2020\r\n"
              "added,,4109,\"SUNNYBANK, HILLS\",QLD,,\r\n"
              "moved,,4314,BLACKBUTT,QLD,QLD 4306,\r\n");
}

}  // namespace
}  // namespace korvallestin
