#include "data_file.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform.h"
#include "temp_dir.h"
#include "text_encoding.h"

namespace korvallestin {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using testing::TempDir;

using Fields = std::vector<std::string>;

Fields ToFields(const PostcodeRecord& r) {
    Fields f;
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        f.push_back(r.Field(i));
    }
    return f;
}

struct ReadResult {
    std::vector<Fields> records;
    bool at_end = false;
    ReadFailure failure;
};

// Reads records until the reader is at its end or a read fails.
ReadResult ReadAll(const std::string& bytes) {
    TempDir dir;
    const std::string path = dir.Write("postcodes.csv", bytes);
    PostcodeFileReader reader;
    ReadResult result;
    EXPECT_EQ(reader.Open(path), PostcodeFileReader::OpenResult::Opened);
    PostcodeRecord record;
    while (!reader.AtEnd()) {
        if (!reader.ReadRecord(record)) {
            result.failure = reader.LastFailure();
            break;
        }
        result.records.push_back(ToFields(record));
    }
    result.at_end = reader.AtEnd();
    return result;
}

// One record alone in a file, read field by field.
Fields ReadOne(const std::string& bytes) {
    const ReadResult result = ReadAll(bytes);
    EXPECT_EQ(result.failure.kind, ReadFailure::Kind::None) << DescribeFailure(result.failure);
    EXPECT_EQ(result.records.size(), 1U);
    return result.records.empty() ? Fields{} : result.records.front();
}

struct FieldCase {
    const char* name;
    std::string line;
    Fields expected;
};

class FieldSyntax : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FieldSyntax, GivesTheNineValues) {
    EXPECT_THAT(ReadOne(GetParam().line), ElementsAreArray(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Reader, FieldSyntax,
    ::testing::Values(
        FieldCase{"quoted_with_empty_fourth",
                  "\"3000\",\"MELBOURNE\",\"VIC\",,\"MELBOURNE\",\"a\",\"b\",\"c\",\"d\"\r\n",
                  {"3000", "MELBOURNE", "VIC", "", "MELBOURNE", "a", "b", "c", "d"}},
        FieldCase{"comma_inside_quotes",
                  "1,\"A, B\",3,4,5,6,7,8,9\n",
                  {"1", "A, B", "3", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"leading_spaces_and_tabs_skipped_quoted_spaces_kept",
                  "  1,\t 2,\" 3 \",4,5,6,7,8,9\n",
                  {"1", "2", " 3 ", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"unquoted_loses_trailing_spaces_keeps_inner",
                  "1 ,A B  \t,3,4,5,6,7,8,9 \n",
                  {"1", "A B", "3", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"text_after_closing_quote_ignored",
                  "\"1\"x y,\"2\" ,3,4,5,6,7,8,\"9\"junk\r\n",
                  {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"quote_inside_unquoted_is_ordinary",
                  "1,O\"BRIEN,3,4,5,6,7,8,9\n",
                  {"1", "O\"BRIEN", "3", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"quoted_field_spans_line_ends",
                  "1,\"TWO\r\nLINES\",3,4,5,6,7,8,9\n",
                  {"1", "TWO\r\nLINES", "3", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"leading_zeros_and_text_kept",
                  "0800,  ,0,-0,1e5,TRUE,12/01/2001,0x1F,007\n",
                  {"0800", "", "0", "-0", "1e5", "TRUE", "12/01/2001", "0x1F", "007"}},
        FieldCase{"all_empty", ",,,,,,,,\n", {"", "", "", "", "", "", "", "", ""}},
        FieldCase{"last_line_without_line_end",
                  "1,2,3,4,5,6,7,8,9",
                  {"1", "2", "3", "4", "5", "6", "7", "8", "9"}},
        FieldCase{"quote_unclosed_at_end_of_file",
                  "1,2,3,4,5,6,7,8,\"nine",
                  {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}},
        FieldCase{"lone_carriage_returns_end_fields",
                  "1,2,3\r4,5\r6,7,8,9\r",
                  {"1", "2", "3", "4", "5", "6", "7", "8", "9"}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(Reader, RecordsFollowFieldsNotLines) {
    // Five fields then four make one record; a line of eleven fields starts
    // the next record with its two extra fields.
    const ReadResult r =
        ReadAll("a,b,c,d,e\r\nf,g,h,i\r\n1,2,3,4,5,6,7,8,9,10,11\r\n3,4,5,6,7,8,9\r\n");
    EXPECT_EQ(r.failure.kind, ReadFailure::Kind::None);
    EXPECT_THAT(r.records, ElementsAre(Fields{"a", "b", "c", "d", "e", "f", "g", "h", "i"},
                                       Fields{"1", "2", "3", "4", "5", "6", "7", "8", "9"},
                                       Fields{"10", "11", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_TRUE(r.at_end);
}

TEST(Reader, BlankLinesAndTrailingJunkAreNotRecords) {
    const std::string rec = "1,2,3,4,5,6,7,8,9";
    for (const std::string& tail :
         {std::string("\r\n\r\n\r\n"), std::string("\n   \n\t"), std::string("\r\n\x1A"),
          std::string("\x1A"), std::string("\r\n  ")}) {
        std::string bytes = "\r\n" + rec;
        bytes += "\r\n\r\n" + rec;
        bytes += tail;
        const ReadResult r = ReadAll(bytes);
        EXPECT_EQ(r.failure.kind, ReadFailure::Kind::None) << DescribeFailure(r.failure);
        EXPECT_EQ(r.records.size(), 2U);
        EXPECT_TRUE(r.at_end);
    }
}

TEST(Reader, AtEndOnlyAfterTheLastRecord) {
    TempDir dir;
    const std::string path = dir.Write("p.csv", "h1,h2,h3,h4,h5,h6,h7,h8,h9\n1,2,3,4,5,6,7,8,9\n");
    PostcodeFileReader reader;
    ASSERT_EQ(reader.Open(path), PostcodeFileReader::OpenResult::Opened);
    EXPECT_FALSE(reader.AtEnd());
    PostcodeRecord record;
    ASSERT_TRUE(reader.ReadRecord(record));
    EXPECT_EQ(record.Postcode, "h1");
    EXPECT_FALSE(reader.AtEnd());
    ASSERT_TRUE(reader.ReadRecord(record));
    EXPECT_EQ(record.BSPName, "9");
    EXPECT_TRUE(reader.AtEnd());
    // Reading past the end fails instead of delivering an empty record.
    EXPECT_FALSE(reader.ReadRecord(record));
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::ShortRecord);
    EXPECT_EQ(reader.LastFailure().fields, 0);
}

TEST(Reader, FieldsLongerThanTheBufferAreWhole) {
    const std::string long_text(200'000, 'X');
    const Fields f = ReadOne("1," + long_text + ",\"" + long_text + "\",4,5,6,7,8,9\n");
    EXPECT_EQ(f[1], long_text);
    EXPECT_EQ(f[2], long_text);
}

TEST(Reader, CarriageReturnAndLineFeedSplitAcrossTheBuffer) {
    // Records laid so that some CR LF pairs straddle a 64 KiB boundary: each
    // pair must still be one separator, or a record gains an empty field.
    std::string bytes;
    int count = 0;
    while (bytes.size() < 200'000) {
        bytes += "1,2,3,4,5,6,7,8," + std::to_string(count++) + "\r\n";
    }
    const ReadResult r = ReadAll(bytes);
    EXPECT_EQ(r.failure.kind, ReadFailure::Kind::None);
    ASSERT_EQ(static_cast<int>(r.records.size()), count);
    EXPECT_EQ(r.records.back()[8], std::to_string(count - 1));
}

TEST(Reader, FailuresCarryWhereAndWhat) {
    struct Case {
        std::string bytes;
        ReadFailure::Kind kind;
        long line;
        int fields;
        std::size_t records_before;
    };
    const std::vector<Case> cases = {
        {"", ReadFailure::Kind::Empty, 1, 0, 0},
        {"\r\n\r\n \x1A", ReadFailure::Kind::Empty, 3, 0, 0},
        {"h,h,h,h,h,h,h,h,h\n1,2,3\n", ReadFailure::Kind::ShortRecord, 2, 3, 1},
        {"h,h,h,h,h,h,h,h,h\n1,2,3,4,5,6,7,8,9\n\"a\nb\",c\n", ReadFailure::Kind::ShortRecord, 3, 2,
         2},
        {"h,h,h,h,h,h,h,h,h\n1,2,3,4,5,6,7,8,", ReadFailure::Kind::ShortRecord, 2, 8, 1},
    };
    for (const Case& c : cases) {
        const ReadResult r = ReadAll(c.bytes);
        EXPECT_EQ(r.failure.kind, c.kind) << c.bytes;
        EXPECT_EQ(r.failure.line, c.line) << c.bytes;
        EXPECT_EQ(r.failure.fields, c.fields) << c.bytes;
        EXPECT_EQ(r.records.size(), c.records_before) << c.bytes;
    }
}

TEST(Reader, FieldTooLongStopsWithoutHoldingTheFile) {
    // No comma and no line end: the reader gives up at the limit instead of
    // collecting the whole file as one field.
    const std::string bytes =
        "h,h,h,h,h,h,h,h,h\n\n" + std::string(PostcodeFileReader::kMaxFieldBytes + 10, 'z');
    const ReadResult r = ReadAll(bytes);
    EXPECT_EQ(r.failure.kind, ReadFailure::Kind::FieldTooLong);
    EXPECT_EQ(r.failure.line, 3);
    EXPECT_EQ(r.records.size(), 1U);
    EXPECT_THAT(DescribeFailure(r.failure), ::testing::HasSubstr("line 3"));

    const ReadResult quoted =
        ReadAll("\"" + std::string(PostcodeFileReader::kMaxFieldBytes + 1, 'q'));
    EXPECT_EQ(quoted.failure.kind, ReadFailure::Kind::FieldTooLong);
    // Exactly at the limit is still a field.
    const Fields at_limit =
        ReadOne(std::string(PostcodeFileReader::kMaxFieldBytes, 'k') + ",,,,,,,,\n");
    EXPECT_EQ(at_limit[0].size(), PostcodeFileReader::kMaxFieldBytes);
}

TEST(Reader, LineNumbersCountEveryKindOfLineEnd) {
    // CR LF, lone LF, lone CR and line ends inside quotes all count once.
    const ReadResult r = ReadAll("h,h,h,h,h,h,h,h,h\r\n1,\"x\r\ny\",3,4,5,6,7,8,9\n\r1,2,3\r");
    EXPECT_EQ(r.failure.kind, ReadFailure::Kind::ShortRecord);
    EXPECT_EQ(r.failure.line, 5);
}

TEST(Reader, OpenOutcomes) {
    TempDir dir;
    PostcodeFileReader reader;
    EXPECT_EQ(reader.Open(dir.Path() + "/absent.csv"), PostcodeFileReader::OpenResult::NotFound);
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::NotFound);
    EXPECT_EQ(reader.Open(dir.Path() + "/absent/deeper.csv"),
              PostcodeFileReader::OpenResult::NotFound);

    EXPECT_EQ(reader.Open(dir.Path()), PostcodeFileReader::OpenResult::OtherFailure);
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::Folder);
}

TEST(Reader, FileIsNeverWritten) {
    TempDir dir;
    const std::string bytes = "h,h,h,h,h,h,h,h,h\r\n1,2,3,4,5,6,7,8,9\r\n";
    const std::string path = dir.Write("postcodes.csv", bytes);
    const auto before = std::filesystem::last_write_time(PathFromUtf8(path));
    {
        PostcodeFileReader reader;
        ASSERT_EQ(reader.Open(path), PostcodeFileReader::OpenResult::Opened);
        PostcodeRecord record;
        while (!reader.AtEnd() && reader.ReadRecord(record)) {
        }
    }
    EXPECT_EQ(testing::ReadFileBytes(path), bytes);
    EXPECT_EQ(std::filesystem::last_write_time(PathFromUtf8(path)), before);
}

TEST(Reader, FileShrinkingDuringAReadEndsItCleanly) {
    TempDir dir;
    std::string bytes = "h,h,h,h,h,h,h,h,h\n";
    for (int i = 0; i < 20000; ++i) {
        bytes += "1,2,3,4,5,6,7,8,9\n";
    }
    const std::string path = dir.Write("postcodes.csv", bytes);
    PostcodeFileReader reader;
    ASSERT_EQ(reader.Open(path), PostcodeFileReader::OpenResult::Opened);
    PostcodeRecord record;
    ASSERT_TRUE(reader.ReadRecord(record));  // the header
    // 18 bytes a line: the cut leaves 5554 whole records, then 13 bytes of the
    // next one ("1,2,3,4,5,6,7", on line 5556), past the first buffer.
    std::filesystem::resize_file(PathFromUtf8(path), 100'003);
    int read = 0;
    bool ok = true;
    while (!reader.AtEnd() && (ok = reader.ReadRecord(record))) {
        ++read;
    }
    EXPECT_EQ(read, 5554);
    EXPECT_FALSE(ok);
    EXPECT_EQ(reader.LastFailure().kind, ReadFailure::Kind::ShortRecord);
    EXPECT_EQ(reader.LastFailure().line, 5556);
    EXPECT_EQ(reader.LastFailure().fields, 7);
}

TEST(DataFilePath, ExactNameFirstThenOneThatDiffersOnlyInCase) {
    TempDir dir;
    EXPECT_EQ(PostcodeFilePath(dir.Path()), dir.File("postcodes.csv"));
    dir.Write("Postcodes.CSV", "x");
    // Where names differ in case, the file's own name; where they do not
    // (Windows), the one asked for, which names the same file.
    const std::string found = PostcodeFilePath(dir.Path());
    EXPECT_TRUE(found == dir.File("Postcodes.CSV") || found == dir.File("postcodes.csv")) << found;
    EXPECT_EQ(testing::ReadFileBytes(found), "x");
    dir.Write("postcodes.csv", "y");
    EXPECT_EQ(PostcodeFilePath(dir.Path()), dir.File("postcodes.csv"));
    EXPECT_EQ(testing::ReadFileBytes(PostcodeFilePath(dir.Path())), "y");

    TempDir absent;
    EXPECT_EQ(PostcodeFilePath(absent.File("no-such-folder")),
              TempDir::Join(absent.File("no-such-folder"), "postcodes.csv"));
}

TEST(Encoding, Utf8KeptOtherBytesReadAsWindows1252) {
    struct Case {
        std::string bytes;
        std::string utf8;
    };
    const std::vector<Case> cases = {
        {"O\x92"
         "CONNOR",
         "O\u2019CONNOR"},                   // right single quote in 1252
        {"O\u2019CONNOR", "O\u2019CONNOR"},  // already UTF-8
        {"CAF\xC9", "CAF\u00C9"},            // a lone lead byte is not UTF-8
        {"\x80\x81\x8D\x8F\x90\x9D\xFF", "\u20AC\u0081\u008D\u008F\u0090\u009D\u00FF"},
        {"\xC0\x80", "\u00C0\u20AC"},            // overlong form is not UTF-8
        {"\xED\xA0\x80", "\u00ED\u00A0\u20AC"},  // nor is a surrogate
        {"\xE0\x82\x80", "\u00E0\u201A\u20AC"},  // nor three bytes for a two-byte character
        {"\x9E\x9F", "\u017E\u0178"},            // the last two of 1252's own
        {std::string("A\0B", 3), std::string("A\0B", 3)},
    };
    for (const Case& c : cases) {
        std::string out;
        AppendAsUtf8(c.bytes, out);
        EXPECT_EQ(out, c.utf8);
        EXPECT_TRUE(IsValidUtf8(out));
    }
    // Decided per field: one field in each encoding in the same record.
    const Fields f = ReadOne(
        "\"O\x92"
        "CONNOR\",\"O\xE2\x80\x99"
        "CONNOR\",3,4,5,6,7,8,9\r\n");
    EXPECT_EQ(f[0], f[1]);
}

TEST(Reader, ShippedFileReadsWhole) {
    PostcodeFileReader reader;
    ASSERT_EQ(reader.Open(KORV_SHIPPED_DATA), PostcodeFileReader::OpenResult::Opened);
    PostcodeRecord record;
    ASSERT_TRUE(reader.ReadRecord(record));
    EXPECT_EQ(record.Postcode, "Pcode");
    int count = 0;
    std::set<std::string> places;
    while (!reader.AtEnd()) {
        ASSERT_TRUE(reader.ReadRecord(record)) << DescribeFailure(reader.LastFailure());
        ++count;
        ASSERT_EQ(record.Postcode.size(), 4U) << count;
        places.insert(record.Postcode + " " + record.Locality + " " + record.State);
    }
    EXPECT_EQ(count, 18528);

    // Localities that changed postcode are listed under the new one only: a
    // retired postcode must neither be found nor pass a check.
    const struct {
        const char* place;
        bool listed;
    } expected[] = {
        {"4306 BLACKBUTT QLD", false},      {"4314 BLACKBUTT QLD", true},
        {"4306 BENARKIN NORTH QLD", false}, {"4314 BENARKIN NORTH QLD", true},
        {"4306 MOUNT STANLEY QLD", false},  {"4314 MOUNT STANLEY QLD", true},
        {"4306 TEELAH QLD", false},         {"4314 TEELAH QLD", true},
        {"4306 AMBERLEY QLD", true},        {"2529 BLACKBUTT NSW", true},
    };
    for (const auto& p : expected) {
        EXPECT_EQ(places.contains(p.place), p.listed) << p.place;
    }
}

}  // namespace
}  // namespace korvallestin
