#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "locality_index.h"
#include "sure_fix.h"

namespace korvallestin {
namespace {

// An index of hand-made records, built in memory: street delivery, post
// office boxes and a large volume receiver under one name; names whose words
// another order or a longer name share a postcode; a name in one state only.
LocalityIndex MakeIndex() {
    LocalityIndex index;
    const std::vector<std::vector<const char*>> records = {
        {"1001", "SYDNEY", "NSW", "LVR"},
        {"2000", "SYDNEY", "NSW", ""},
        {"2000", "SYDNEY SOUTH", "NSW", ""},
        {"2001", "SYDNEY", "NSW", "POST OFFICE BOXES"},
        {"1002", "SYDNEY", "NSW", "LVR"},
        {"1003", "SYDNEY", "NSW", "LVR"},
        {"1004", "SYDNEY", "NSW", "LVR"},
        {"1005", "SYDNEY", "NSW", "LVR"},
        {"2060", "NORTH SYDNEY", "NSW", ""},
        {"2026", "BONDI", "NSW", ""},
        {"4000", "BRISBANE CITY", "QLD", ""},
        {"3219", "EAST GEELONG", "VIC", ""},
        {"3218", "GEELONG WEST", "VIC", ""},
        {"4217", "SURFERS PARADISE", "QLD", ""},
        {"4852", "TAM O'SHANTER", "QLD", ""},
        {"2216", "BRIGHTON-LE-SANDS", "NSW", ""},
        {"0800", "DARWIN", "NT", ""},
        {"2753", "RICHMOND", "NSW", ""},
        {"3121", "RICHMOND", "VIC", ""},
        {"2640", "ALBURY", "NSW", ""},
        {"4825", "MOUNT ISA", "QLD", ""},
        {"4109", "SUNNYBANK", "QLD", ""},
        {"4109", "SUNNYBANK HILLS", "QLD", ""},
        {"4350", "TOOWOOMBA", "QLD", ""},
        {"4350", "TOOWOOMBO", "QLD", ""},
        {"3550", "BENDIGO", "VIC", ""},
        {"2000", "THE ROCKS", "NSW", ""},
        {"4419", "BUNDI", "QLD", ""},
        {"5558", "PARAMATTA", "SA", ""},
        {"2150", "PARRAMATTA", "NSW", ""},
        {"0200", "ANU", "ACT", ""},
        {"4870", "CAFÉ BÄY", "QLD", ""},
    };
    for (const auto& r : records) {
        PostcodeRecord record;
        record.Postcode = r[0];
        record.Locality = r[1];
        record.State = r[2];
        record.Comments = r[3];
        index.Add(record);
    }
    index.Finish();
    return index;
}

struct Row {
    std::string locality;
    const char* state;
    const char* postcode;
};

TEST(Suggestions, NameThePlacesAPersonWouldPickFirst) {
    const LocalityIndex index = MakeIndex();
    struct Case {
        Row row;
        const char* verdict;
        const char* suggestion;
    };
    const std::vector<Case> cases = {
        // Street delivery before boxes and bulk mail; a handful, the rest counted.
        {{"Sydney", "NSW", "2002"},
         "wrong-postcode",
         "SYDNEY (NSW 2000); SYDNEY (NSW 2001, PO boxes); SYDNEY (NSW 1001, large volume "
         "receiver); SYDNEY (NSW 1002, large volume receiver); SYDNEY (NSW 1003, large volume "
         "receiver); and 2 more"},
        {{"Sydnee", "NSW", "5555"}, "unknown-postcode", "SYDNEY (NSW 2000)"},
        // Both sides of a wrong postcode: the state's, and the postcode's own.
        {{"Richmond", "NSW", "3121"}, "wrong-postcode", "RICHMOND (NSW 2753); RICHMOND (VIC 3121)"},
        // The postcode's localities: words reordered, a name inside the text,
        // the text inside a name.
        {{"Geelong East", "VIC", "3219"},
         "unknown-locality",
         "EAST GEELONG (VIC 3219); GEELONG WEST (VIC 3218)"},
        {{"Sydney North", "NSW", "2060"},
         "unknown-locality",
         "NORTH SYDNEY (NSW 2060); SYDNEY SOUTH (NSW 2000)"},
        {{"Sydney CBD", "NSW", "2000"}, "unknown-locality", "SYDNEY (NSW 2000)"},
        {{"Surfers", "QLD", "4217"}, "unknown-locality", "SURFERS PARADISE (QLD 4217)"},
        // An exact name in another state before near names in the given one;
        // a known name with state and postcode both wrong has its own verdict.
        {{"Bondi", "QLD", "4000"},
         "wrong-state-and-postcode",
         "BONDI (NSW 2026); BUNDI (QLD 4419)"},
        // ... but a near name with both the given postcode and state comes
        // before the same name elsewhere.
        {{"Paramatta", "NSW", "2150"},
         "wrong-state-and-postcode",
         "PARRAMATTA (NSW 2150); PARAMATTA (SA 5558)"},
        {{"Bendigo", "QLD", "4350"}, "wrong-state-and-postcode", "BENDIGO (VIC 3550)"},
        // Characters, not bytes; typographic quotes and dashes as plain ones.
        {{"Tam O’Shanter", "QLD", "4852"}, "unknown-locality", "TAM O'SHANTER (QLD 4852)"},
        {{"Brighton–le–Sands", "NSW", "2216"}, "unknown-locality", "BRIGHTON-LE-SANDS (NSW 2216)"},
        {{"Albüry", "NSW", "2640"}, "unknown-locality", "ALBURY (NSW 2640)"},
        {{"Cafe Bay", "QLD", "4870"}, "unknown-locality", "CAFÉ BÄY (QLD 4870)"},
        // A postcode kept as a number: the padded postcode where it fits.
        {{"Darwin", "NT", "800"}, "postcode-as-number", "DARWIN (NT 0800)"},
        {{"Darwin", "NT", " 800.00 "}, "postcode-as-number", "DARWIN (NT 0800)"},
        {{"Sydney", "NSW", "2000.0"}, "postcode-as-number", "SYDNEY (NSW 2000)"},
        {{"Darwin", "NT", "80"}, "postcode-as-number", "DARWIN (NT 0800)"},
        {{"Darwin", "NT", "08000"}, "incomplete", ""},
        {{"Darwin", "NT", "800.5"}, "incomplete", ""},
        {{"Darwin", "NT", "."}, "incomplete", ""},
        // Any length is looked at in time linear in it: a megabyte that holds
        // a name, and one that is near none.
        {{[] {
              std::string text;
              while (text.size() < (std::size_t{1} << 20)) {
                  text += "Sydney ";
              }
              return text;
          }(),
          "NSW", "2000"},
         "unknown-locality",
         "SYDNEY (NSW 2000)"},
        {{std::string(std::size_t{1} << 20, 'x'), "NSW", "2000"}, "unknown-locality", ""},
    };
    for (const Case& c : cases) {
        const CheckResult result = index.Check(c.row.postcode, c.row.locality, c.row.state);
        const std::string name = c.row.locality.substr(0, 20);
        EXPECT_EQ(VerdictWord(result.verdict), c.verdict) << name;
        EXPECT_EQ(SuggestionText(result), c.suggestion) << name;
    }
}

TEST(Suggestions, OnlySureCorrectionsAreFixesAndTheyMakeTheRowRight) {
    const LocalityIndex index = MakeIndex();
    struct Case {
        Row row;
        const char* fixed;  // "postcode|locality|state|before", or "" when not sure
    };
    const std::vector<Case> cases = {
        {{"Darwin", "NT", "800"}, "0800|Darwin|NT|postcode was 800"},
        {{"Sydney", "NSW", "2000.0"}, "2000|Sydney|NSW|postcode was 2000.0"},
        // Plain punctuation keeps the row's own letters.
        {{"Tam O’Shanter", "QLD", "4852"}, "4852|Tam O'Shanter|QLD|locality was Tam O’Shanter"},
        {{"Mt Isa", "QLD", "4825"}, "4825|Mount Isa|QLD|locality was Mt Isa"},
        // One edit, the only near name with that state and postcode.
        {{"SUNYBANK", "QLD", "4109"}, "4109|SUNNYBANK|QLD|locality was SUNYBANK"},
        {{"Darwn", "NT", "800"}, "0800|Darwin|NT|postcode was 800; locality was Darwn"},
        {{"Albury", "VIC", "2640"}, "2640|Albury|NSW|state was VIC"},
        // Not sure: two near names, two edits, a short name, a wrong postcode,
        // a name whose postcode is in no other state, a right row.
        {{"Toowoombe", "QLD", "4350"}, ""},
        {{"Sunybnak", "QLD", "4109"}, ""},
        {{"Drwn", "NT", "0800"}, ""},
        {{"AMU", "ACT", "0200"}, ""},
        {{"Sydney", "NSW", "2002"}, ""},
        {{"Sydney", "NSW", "200"}, ""},
        {{"Bondi", "QLD", "4000"}, ""},
        {{"Geelong East", "VIC", "3219"}, ""},
        {{"Sydney", "NSW", "2000"}, ""},
    };
    for (const Case& c : cases) {
        const CheckResult result = index.Check(c.row.postcode, c.row.locality, c.row.state);
        const std::optional<SureFix> fix =
            FindSureFix(index, c.row.postcode, c.row.locality, c.row.state, result);
        const std::string got =
            fix ? fix->postcode + "|" + fix->locality + "|" + fix->state + "|" + fix->before : "";
        EXPECT_EQ(got, c.fixed) << c.row.locality;
        if (fix) {
            EXPECT_EQ(index.Check(fix->postcode, fix->locality, fix->state).verdict, Verdict::Ok)
                << c.row.locality;
        }
    }
}

}  // namespace
}  // namespace korvallestin
