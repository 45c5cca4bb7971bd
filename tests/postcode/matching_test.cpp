#include "matching.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace korvallestin {
namespace {

PostcodeRecord Record(std::string postcode, std::string locality, std::string state) {
    PostcodeRecord r;
    r.Postcode = std::move(postcode);
    r.Locality = std::move(locality);
    r.State = std::move(state);
    return r;
}

struct MatchCase {
    const char* why;
    SearchCriteria criteria;
    PostcodeRecord record;
    bool matches;
};

constexpr auto kBegins = LocalityMatchMode::BeginsWith;
constexpr auto kContains = LocalityMatchMode::Contains;

TEST(RecordMatches, Table) {
    const PostcodeRecord melb = Record("3000", "MELBOURNE", "VIC");
    const std::vector<MatchCase> cases = {
        {"no criteria, begins with", {"", "", "", kBegins}, melb, true},
        {"no criteria, contains", {"", "", "", kContains}, melb, true},
        {"no criteria, empty record", {"", "", "", kBegins}, Record("", "", ""), true},
        {"postcode equal", {"3000", "", "", kBegins}, melb, true},
        {"postcode prefix is not equality", {"30", "", "", kBegins}, melb, false},
        {"postcode longer", {"30000", "", "", kBegins}, melb, false},
        {"postcode with full stop", {"30.0", "", "", kBegins}, Record("30.0", "X", "VIC"), true},
        {"state equal", {"", "VIC", "", kBegins}, melb, true},
        {"state differs in case only", {"", "vic", "", kBegins}, melb, false},
        {"state with trailing space", {"", "VIC ", "", kBegins}, melb, false},
        {"begins with, prefix", {"", "", "MELB", kBegins}, melb, true},
        {"begins with, whole", {"", "", "MELBOURNE", kBegins}, melb, true},
        {"begins with, longer than locality", {"", "", "MELBOURNES", kBegins}, melb, false},
        {"begins with, found later only", {"", "", "BOURNE", kBegins}, melb, false},
        {"contains, later", {"", "", "BOURNE", kContains}, melb, true},
        {"contains, at start", {"", "", "MEL", kContains}, melb, true},
        {"contains, case differs", {"", "", "bourne", kContains}, melb, false},
        {"trailing space needs a space there",
         {"", "", "PORT ", kBegins},
         Record("3207", "PORT MELBOURNE", "VIC"),
         true},
        {"trailing space, none there", {"", "", "MELBOURNE ", kContains}, melb, false},
        {"empty locality never matches text",
         {"", "", "A", kContains},
         Record("1", "", "X"),
         false},
        {"all three hold", {"3000", "VIC", "MEL", kBegins}, melb, true},
        {"one of three fails", {"3000", "NSW", "MEL", kBegins}, melb, false},
        {"utf-8 text compared by bytes",
         {"", "", "O\u2019C", kBegins},
         Record("2602", "O\u2019CONNOR", "ACT"),
         true},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(RecordMatches(c.record, c.criteria), c.matches) << c.why;
    }
}

class FakeCriteria : public CriteriaControls {
  public:
    std::string postcode, state, locality;
    int index = 0;
    std::string PostCodeText() const override { return postcode; }
    std::string StateText() const override { return state; }
    std::string LocalityText() const override { return locality; }
    int SearchTypeIndex() const override { return index; }
};

TEST(ReadCriteria, TakesTextsAsTheyStandAndTheModeFromTheIndex) {
    FakeCriteria controls;
    controls.postcode = " 3000";
    controls.state = "vic ";
    controls.locality = "  ST KILDA ";
    const SearchCriteria c = ReadCriteria(controls);
    EXPECT_EQ(c.PostcodeText, " 3000");
    EXPECT_EQ(c.StateText, "vic ");
    EXPECT_EQ(c.LocalityText, "  ST KILDA ");
    EXPECT_EQ(c.MatchMode, LocalityMatchMode::BeginsWith);
    for (const int index : {1, -1, 2}) {
        controls.index = index;
        EXPECT_EQ(ReadCriteria(controls).MatchMode, LocalityMatchMode::Contains) << index;
    }
}

TEST(KeystrokeFilters, LetterBoxesRaiseOnlyLowerCaseAsciiLetters) {
    for (auto* filter : {&txtLocality_KeyPress, &cboState_KeyPress}) {
        for (int code = 0; code < 256; ++code) {
            const int expected = (code >= 'a' && code <= 'z') ? code - 32 : code;
            EXPECT_EQ(filter(code), expected) << code;
        }
        EXPECT_EQ(filter(0x00E9), 0x00E9);  // é stays as typed
    }
}

TEST(KeystrokeFilters, PostcodeBoxTakesDigitsBackspaceAndFullStopOnly) {
    for (int code = 0; code < 256; ++code) {
        const bool kept = (code >= '0' && code <= '9') || code == 8 || code == '.';
        EXPECT_EQ(txtPostCode_KeyPress(code), kept ? code : 0) << code;
    }
    EXPECT_EQ(txtPostCode_KeyPress(22), 0);      // Ctrl+V
    EXPECT_EQ(txtPostCode_KeyPress(0x0661), 0);  // an Arabic-Indic digit is not a digit here
}

}  // namespace
}  // namespace korvallestin
