#include "postcode_import.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <set>
#include <unordered_set>
#include <utility>

#include "json_records.h"
#include "letter_case.h"
#include "list_reader.h"
#include "output.h"
#include "text_encoding.h"

namespace korvallestin {

namespace {

constexpr std::array<std::string_view, 8> kStates{"NSW", "VIC", "QLD", "SA",
                                                  "WA",  "TAS", "NT",  "ACT"};

// The open list's columns (and its spreadsheet's, once simplified), of every
// version: the first eight are in every one.
constexpr std::array<std::string_view, 42> kOpenListColumns{
    "id",          "postcode",    "locality",         "state",       "long",        "lat",
    "dc",          "type",        "status",           "sa3",         "sa3name",     "sa4",
    "sa4name",     "region",      "latprecise",       "longprecise", "sa1code2021", "sa1name2021",
    "sa2code2021", "sa2name2021", "sa3code2021",      "sa3name2021", "sa4code2021", "sa4name2021",
    "ra2011",      "ra2016",      "ra2021",           "ra2021name",  "mmm2015",     "mmm2019",
    "ced",         "altitude",    "chargezone",       "phncode",     "phnname",     "lgaregion",
    "lgacode",     "electorate",  "electoraterating", "sedcode",     "sedname",     "dateupdated"};
constexpr std::array<std::string_view, 5> kOpenListNeeds{"postcode", "locality", "state", "dc",
                                                         "type"};

constexpr std::array<std::string_view, 10> kPostColumns{
    "pcode",      "locality",  "state",   "comments", "deliveryoffice", "presortindicator",
    "parcelzone", "bspnumber", "bspname", "category"};
// The nine fields of the postcode file, in its order.
constexpr std::array<std::string_view, 9> kPostNeeds{
    "pcode",      "locality",  "state",  "comments", "deliveryoffice", "presortindicator",
    "parcelzone", "bspnumber", "bspname"};

// A list of the headings a file would need, as people write them.
constexpr std::string_view kOpenListHeadings =
    "id, postcode, locality, state, long, lat, dc, type, ...";
constexpr std::string_view kPostHeadings =
    "Pcode, Locality, State, Comments, DeliveryOffice, PresortIndicator, ParcelZone, "
    "BSPnumber, BSPname";

// A heading as it is compared: letters a to z in lower case; spaces,
// underscores, dashes and full stops dropped ("Charge Zone", "chargezone"
// and "SA3_NAME" become "chargezone" and "sa3name").
std::string Simplified(std::string_view heading) {
    std::string out;
    for (const char c : heading) {
        if (c == ' ' || c == '_' || c == '-' || c == '.' || c == '\t') {
            continue;
        }
        out.push_back(LowerAsciiLetter(c));
    }
    return out;
}

// Appends an item to a list of items parted by `separator`.
void AppendItem(std::string& list, std::string_view separator, std::string_view item) {
    if (!list.empty()) {
        list.append(separator);
    }
    list.append(item);
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text);
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool IsState(std::string_view text) {
    return std::find(kStates.begin(), kStates.end(), text) != kStates.end();
}

// "DEEP CREEK NSW 2460 CORRYONG": a state's abbreviation and a postcode as
// words of a locality's name, an address run into it.
bool HoldsStateAndPostcode(std::string_view locality) {
    bool state = false;
    bool postcode = false;
    std::size_t at = 0;
    while (at < locality.size()) {
        const std::size_t end = std::min(locality.find(' ', at), locality.size());
        const std::string_view word = locality.substr(at, end - at);
        state = state || IsState(word);
        postcode = postcode || (word.size() == 4 && AllDigits(word));
        at = end + 1;
    }
    return state && postcode;
}

// Apostrophes that Windows-1252 has no byte for, written as "'". (The
// typographic one, U+2019, has a byte there, 0x92, and stays.)
constexpr std::array<char32_t, 7> kOtherApostrophes{0x02B9, 0x02BB, 0x02BC, 0x02BD,
                                                    0x201B, 0x2032, 0xFF07};

std::string CodeName(char32_t cp) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(cp));
    return hex;
}

// Replaces the other apostrophes in a field, saying so in `detail`.
void ReplaceApostrophes(std::string& field, std::string& detail) {
    for (const char32_t cp : kOtherApostrophes) {
        std::string bytes;
        AppendCodePoint(cp, bytes);
        if (field.find(bytes) == std::string::npos) {
            continue;
        }
        std::string replaced;
        for (std::size_t at = 0; at < field.size();) {
            if (field.compare(at, bytes.size(), bytes) == 0) {
                replaced.push_back('\'');
                at += bytes.size();
            } else {
                replaced.push_back(field[at++]);
            }
        }
        field = std::move(replaced);
        AppendItem(detail, "; ", bytes + " (" + CodeName(cp) + ") written as '");
    }
}

// What in a field the postcode file cannot hold: a character Windows-1252
// has no byte for, a double quote (its fields are quoted, and a quote inside
// one cannot be written), or a control character. Empty when all is well.
std::string Unwritable(const std::string& field) {
    std::string bytes;
    char32_t refused = 0;
    if (!AppendAsWindows1252(field, bytes, refused)) {
        std::string shown;
        AppendCodePoint(refused, shown);
        return shown + " (" + CodeName(refused) + "), which Windows-1252 cannot hold";
    }
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == '"') {
            return "a double quote, which the postcode file cannot hold";
        }
        if (b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 ||
            b == 0x9D) {
            return "the control character " + CodeName(b);
        }
    }
    return {};
}

// The date in a status ("Updated 17-Mar-2024 AUSPOST", "Added 1-July-2021")
// as YYYY-MM-DD; empty when it holds none.
std::string ChangeDate(std::string_view status) {
    static constexpr std::array<std::string_view, 12> kMonths{
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (std::size_t at = 0; at < status.size(); ++at) {
        std::size_t p = at;
        while (p < status.size() && p - at < 2 && status[p] >= '0' && status[p] <= '9') {
            ++p;
        }
        if (p == at || (at > 0 && status[at - 1] >= '0' && status[at - 1] <= '9') ||
            p >= status.size() || status[p] != '-') {
            continue;
        }
        const int day = std::stoi(std::string(status.substr(at, p - at)));
        const std::size_t month_at = ++p;
        while (p < status.size() && ((status[p] | 0x20) >= 'a' && (status[p] | 0x20) <= 'z')) {
            ++p;
        }
        if (p - month_at < 3 || p + 5 > status.size() || status[p] != '-' ||
            !AllDigits(status.substr(p + 1, 4))) {
            continue;
        }
        const std::string month = Simplified(status.substr(month_at, 3));
        const auto found = std::find(kMonths.begin(), kMonths.end(), month);
        if (found == kMonths.end() || day < 1 || day > 31) {
            continue;
        }
        char date[16];
        std::snprintf(date, sizeof date, "%s-%02d-%02d",
                      std::string(status.substr(p + 1, 4)).c_str(),
                      static_cast<int>(found - kMonths.begin()) + 1, day);
        return date;
    }
    return {};
}

// The columns of one kind of list, found among a file's simplified headings.
struct KindColumns {
    ListKind kind = ListKind::OpenList;
    std::vector<int> at;  // for each needed or used column, its index or -1
};

// How many of a kind's columns the headings hold.
template <std::size_t N>
int Score(const std::vector<std::string>& names, const std::array<std::string_view, N>& known) {
    int score = 0;
    for (const std::string_view column : known) {
        score += std::find(names.begin(), names.end(), column) != names.end() ? 1 : 0;
    }
    return score;
}

std::string JoinHeadings(const std::vector<std::string>& headings) {
    std::string text;
    for (std::size_t i = 0; i < headings.size() && i < 20; ++i) {
        AppendItem(text, ", ", headings[i]);
    }
    if (headings.size() > 20) {
        text += ", ...";
    }
    return text.empty() ? "(none)" : text;
}

// The columns the import reads, in this order: for the open list postcode,
// locality, state, dc, type, status, chargezone; for Australia Post's file
// its nine.
constexpr std::array<std::string_view, 7> kOpenListUsed{"postcode", "locality", "state",     "dc",
                                                        "type",     "status",   "chargezone"};

int IndexOf(const std::vector<std::string>& names, std::string_view name) {
    const auto found = std::find(names.begin(), names.end(), name);
    return found == names.end() ? -1 : static_cast<int>(found - names.begin());
}

// Decides the kind from the headings (as given); false, with the reason,
// when the headings are of no kind known, or lack a column it needs.
bool RecogniseKind(const std::vector<std::string>& headings, KindColumns& columns,
                   std::string& error) {
    std::vector<std::string> names;
    names.reserve(headings.size());
    for (const std::string& heading : headings) {
        names.push_back(Simplified(heading));
    }
    const int open_score = Score(names, kOpenListColumns);
    const int post_score = Score(names, kPostColumns);
    constexpr int kEnough = 4;
    if (std::max(open_score, post_score) < kEnough) {
        error = "It is not a postcode list this program knows: its headings are " +
                JoinHeadings(headings) + ". It reads the open list's CSV or JSON (" +
                std::string(kOpenListHeadings) + ") and Australia Post's file (" +
                std::string(kPostHeadings) + ").";
        return false;
    }
    columns.kind = open_score >= post_score ? ListKind::OpenList : ListKind::AustraliaPost;
    std::string missing;
    auto need = [&](std::string_view name, bool needed) {
        const int at = IndexOf(names, name);
        if (at < 0 && needed) {
            AppendItem(missing, ", ", name);
        }
        columns.at.push_back(at);
    };
    if (columns.kind == ListKind::OpenList) {
        for (const std::string_view name : kOpenListUsed) {
            need(name, std::find(kOpenListNeeds.begin(), kOpenListNeeds.end(), name) !=
                           kOpenListNeeds.end());
        }
    } else {
        for (const std::string_view name : kPostNeeds) {
            need(name, true);
        }
    }
    if (!missing.empty()) {
        error = std::string(columns.kind == ListKind::OpenList
                                ? "It looks like the open list"
                                : "It looks like Australia Post's file") +
                " but has no column " + missing + ": its headings are " + JoinHeadings(headings) +
                ".";
        return false;
    }
    return true;
}

// A ByteSource that gives back the bytes already looked at first.
class PrefixedSource final : public ByteSource {
  public:
    PrefixedSource(std::string prefix, ByteSource& rest)
        : prefix_(std::move(prefix)), rest_(rest) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        if (at_ < prefix_.size()) {
            const std::size_t n = std::min(size, prefix_.size() - at_);
            std::memcpy(buffer, prefix_.data() + at_, n);
            at_ += n;
            return static_cast<std::ptrdiff_t>(n);
        }
        return rest_.Read(buffer, size);
    }
    std::string Error() const override { return rest_.Error(); }

  private:
    std::string prefix_;
    std::size_t at_ = 0;
    ByteSource& rest_;
};

// Turns records of the list into the postcode file's, one at a time.
class Importer {
  public:
    explicit Importer(ImportResult& result) : result_(result) {}

    // One record: its values in the order of `columns.at` (an absent
    // optional column as empty), the whole record's text for the duplicate
    // test, and where it is.
    void Add(const std::vector<std::string_view>& values, const std::string& whole,
             std::string where) {
        ++result_.read;
        ImportNote note;
        note.where = std::move(where);
        PostcodeRecord& r = note.record;
        std::string status;
        if (kind_ == ListKind::OpenList) {
            r.Postcode = Trimmed(values[0]);
            r.Locality = UpperAscii(Trimmed(values[1]));
            r.State = UpperAscii(Trimmed(values[2]));
            r.DeliveryOffice = UpperAscii(Trimmed(values[3]));
            const std::string type = Trimmed(values[4]);
            // An ordinary delivery area is what a record is unless it says
            // otherwise: only the other kinds are written.
            if (Simplified(type) != "deliveryarea") {
                r.Comments = UpperAscii(type);
            }
            status = Trimmed(values[5]);
            r.ParcelZone = Trimmed(values[6]);
        } else {
            for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
                r.Field(i) = Trimmed(values[static_cast<std::size_t>(i)]);
            }
            r.Locality = UpperAscii(r.Locality);
            r.State = UpperAscii(r.State);
        }
        const std::string date = ChangeDate(status);
        if (date > result_.newest_change) {
            result_.newest_change = date;
        }
        if (!seen_.insert(whole).second) {
            LeaveOut(std::move(note), LeaveOutReason::Duplicate, "the same as an earlier record");
            return;
        }
        if (Simplified(status.substr(0, 7)) == "removed") {
            LeaveOut(std::move(note), LeaveOutReason::Removed, status);
            return;
        }
        std::string changed;
        // A spreadsheet takes a postcode for a number and drops its leading
        // zero (0800 becomes 800); no postcode has three digits.
        if (r.Postcode.size() == 3 && AllDigits(r.Postcode)) {
            changed = "postcode " + r.Postcode + " written as 0" + r.Postcode;
            r.Postcode.insert(0, "0");
        }
        if (r.Postcode.size() != 4 || !AllDigits(r.Postcode)) {
            LeaveOut(std::move(note), LeaveOutReason::BadPostcode, "postcode '" + r.Postcode + "'");
            return;
        }
        if (!IsState(r.State)) {
            LeaveOut(std::move(note), LeaveOutReason::BadState, "state '" + r.State + "'");
            return;
        }
        if (r.Locality.empty()) {
            LeaveOut(std::move(note), LeaveOutReason::EmptyLocality, {});
            return;
        }
        if (HoldsStateAndPostcode(r.Locality)) {
            LeaveOut(std::move(note), LeaveOutReason::StateInLocality, "'" + r.Locality + "'");
            return;
        }
        for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
            std::string& field = r.Field(i);
            ReplaceApostrophes(field, changed);
            const std::string wrong = Unwritable(field);
            if (!wrong.empty()) {
                LeaveOut(std::move(note), LeaveOutReason::Unwritable, wrong);
                return;
            }
        }
        result_.records.push_back(r);
        if (!changed.empty()) {
            note.detail = std::move(changed);
            result_.changed.push_back(std::move(note));
        }
    }

    void SetKind(ListKind kind) {
        kind_ = kind;
        result_.kind = kind;
    }

  private:
    // Taken by reference: a detail made from the note's own record is
    // computed before the note is moved from.
    void LeaveOut(ImportNote&& note, LeaveOutReason reason, std::string detail) {
        note.reason = reason;
        note.detail = std::move(detail);
        result_.left_out.push_back(std::move(note));
    }

    ImportResult& result_;
    ListKind kind_ = ListKind::OpenList;
    std::unordered_set<std::string> seen_;
};

// How far the first character is looked for, past spaces and line ends.
constexpr std::size_t kMaxLeadingBytes = std::size_t{1} << 20;

// The text of a whole record, for the duplicate test: each value with its
// length, so that no two records give the same text.
void AppendWhole(std::string_view value, std::string& whole) {
    whole += std::to_string(value.size());
    whole += ':';
    whole.append(value);
}

std::string TooMany() {
    return "It holds more than " + std::to_string(kMaxImportRecords) +
           " records, which no postcode list does.";
}

bool ImportCsv(ByteSource& source, ImportResult& result, std::string& error) {
    ListReader reader(source);
    std::vector<std::string> fields;
    if (!reader.ReadHeader(fields)) {
        error = DescribeListFailure(reader.Failure());
        return false;
    }
    KindColumns columns;
    if (!RecogniseKind(fields, columns, error)) {
        return false;
    }
    Importer importer(result);
    importer.SetKind(columns.kind);
    std::vector<std::string_view> values(columns.at.size());
    std::string whole;
    while (reader.ReadRow(fields)) {
        if (result.read >= kMaxImportRecords) {
            error = TooMany();
            return false;
        }
        whole.clear();
        for (const std::string& field : fields) {
            AppendWhole(field, whole);
        }
        for (std::size_t i = 0; i < columns.at.size(); ++i) {
            const int at = columns.at[i];
            values[i] = (at >= 0 && static_cast<std::size_t>(at) < fields.size())
                            ? std::string_view(fields[static_cast<std::size_t>(at)])
                            : std::string_view();
        }
        importer.Add(values, whole, "line " + std::to_string(reader.RowLine()));
    }
    if (reader.Failure().kind != ListFailure::Kind::None) {
        error = DescribeListFailure(reader.Failure());
        return false;
    }
    return true;
}

bool ImportJson(ByteSource& source, ImportResult& result, std::string& error) {
    result.json = true;
    Importer importer(result);
    KindColumns columns;
    bool recognised = false;
    std::vector<std::string> names;
    std::vector<std::string_view> values;
    std::string whole;
    std::vector<std::string_view> used;
    const bool read = ReadJsonRecords(
        source, kMaxJsonBytes,
        [&](const JsonRecord& record) {
            names.clear();
            for (const std::string& key : record.keys) {
                names.push_back(Simplified(key));
            }
            if (!recognised) {
                if (!RecogniseKind(record.keys, columns, error)) {
                    return false;
                }
                importer.SetKind(columns.kind);
                recognised = true;
                if (columns.kind == ListKind::OpenList) {
                    used.assign(kOpenListUsed.begin(), kOpenListUsed.end());
                } else {
                    used.assign(kPostNeeds.begin(), kPostNeeds.end());
                }
            }
            if (result.read >= kMaxImportRecords) {
                error = TooMany();
                return false;
            }
            // Each record names its own keys: they are looked up in each.
            whole.clear();
            values.clear();
            for (const std::string_view name : used) {
                const int at = IndexOf(names, name);
                values.push_back(at >= 0
                                     ? std::string_view(record.values[static_cast<std::size_t>(at)])
                                     : std::string_view());
            }
            for (std::size_t i = 0; i < record.keys.size(); ++i) {
                AppendWhole(record.keys[i], whole);
                AppendWhole(record.values[i], whole);
            }
            importer.Add(values, whole, "record " + std::to_string(record.number));
            return true;
        },
        error);
    if (!error.empty()) {
        return false;
    }
    if (!read) {
        return false;
    }
    if (!recognised) {
        error = "It holds no records: the JSON array is empty.";
        return false;
    }
    return true;
}

}  // namespace

std::string_view ReasonName(LeaveOutReason reason) {
    switch (reason) {
        case LeaveOutReason::Duplicate:
            return "duplicate";
        case LeaveOutReason::Removed:
            return "removed";
        case LeaveOutReason::BadPostcode:
            return "bad-postcode";
        case LeaveOutReason::BadState:
            return "bad-state";
        case LeaveOutReason::EmptyLocality:
            return "empty-locality";
        case LeaveOutReason::StateInLocality:
            return "state-in-locality";
        case LeaveOutReason::Unwritable:
            return "unwritable-character";
    }
    return {};
}

std::string_view ReasonWords(LeaveOutReason reason) {
    switch (reason) {
        case LeaveOutReason::Duplicate:
            return "exact duplicates of an earlier record";
        case LeaveOutReason::Removed:
            return "marked removed";
        case LeaveOutReason::BadPostcode:
            return "with a postcode that is not four digits";
        case LeaveOutReason::BadState:
            return "with a state that is not one of the eight";
        case LeaveOutReason::EmptyLocality:
            return "with an empty locality";
        case LeaveOutReason::StateInLocality:
            return "with a state and a postcode in the locality";
        case LeaveOutReason::Unwritable:
            return "with a character the postcode file cannot hold";
    }
    return {};
}

std::size_t ImportResult::LeftOutFor(LeaveOutReason reason) const {
    return static_cast<std::size_t>(
        std::count_if(left_out.begin(), left_out.end(),
                      [reason](const ImportNote& n) { return n.reason == reason; }));
}

std::string ImportResult::KindName() const {
    if (kind == ListKind::AustraliaPost) {
        return json ? "Australia Post's file, as JSON" : "Australia Post's file";
    }
    return json ? "the open list's JSON" : "the open list's CSV";
}

bool ImportPostcodeList(ByteSource& source, ImportResult& result, std::string& error) {
    result = {};
    error.clear();
    // The first bytes tell JSON from CSV.
    std::string prefix;
    char buffer[4096];
    std::size_t start = 0;
    for (;;) {
        const std::ptrdiff_t n = source.Read(buffer, sizeof buffer);
        if (n < 0) {
            error = "It could not be read: " + source.Error() + ".";
            return false;
        }
        prefix.append(buffer, static_cast<std::size_t>(n));
        if (start == 0 && prefix.size() >= 3 && prefix.compare(0, 3, "\xEF\xBB\xBF") == 0) {
            start = 3;
        }
        while (start < prefix.size() && IsSpace(prefix[start])) {
            ++start;
        }
        // Spaces without end are no list: the CSV reader says what it finds.
        if (n == 0 || start < prefix.size() || prefix.size() >= kMaxLeadingBytes) {
            break;
        }
    }
    const bool json = start < prefix.size() && prefix[start] == '[';
    if (json) {
        prefix.erase(0, start);  // the parser takes no byte order mark
    }
    PrefixedSource all(std::move(prefix), source);
    return json ? ImportJson(all, result, error) : ImportCsv(all, result, error);
}

bool WritePostcodeFile(const std::vector<PostcodeRecord>& records, Output& out) {
    static constexpr std::array<std::string_view, 9> kHeader{
        "Pcode",      "Locality",  "State",  "Comments", "DeliveryOffice", "PresortIndicator",
        "ParcelZone", "BSPnumber", "BSPname"};
    std::string line;
    for (std::size_t i = 0; i < kHeader.size(); ++i) {
        line += (i == 0 ? "\"" : ",\"") + std::string(kHeader[i]) + "\"";
    }
    line += "\r\n";
    bool ok = out.Write(line);
    for (const PostcodeRecord& record : records) {
        if (!ok) {
            break;
        }
        line.clear();
        for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
            const std::string& field = record.Field(i);
            if (i > 0) {
                line += ',';
            }
            if (field.empty()) {
                continue;
            }
            char32_t refused = 0;
            line += '"';
            if (!Unwritable(field).empty() || !AppendAsWindows1252(field, line, refused)) {
                return false;
            }
            line += '"';
        }
        line += "\r\n";
        ok = out.Write(line);
    }
    return ok;
}

std::vector<PlaceChange> ComparePlaces(const std::vector<PostcodeRecord>& before,
                                       const std::vector<PostcodeRecord>& after) {
    using Key = std::pair<std::string, std::string>;  // locality, state
    using Postcodes = std::set<std::string>;
    auto group = [](const std::vector<PostcodeRecord>& records) {
        std::map<Key, Postcodes> places;
        for (const PostcodeRecord& r : records) {
            places[{r.Locality, r.State}].insert(r.Postcode);
        }
        return places;
    };
    const std::map<Key, Postcodes> was = group(before);
    const std::map<Key, Postcodes> now = group(after);
    auto text = [](const std::string& state, const Postcodes& postcodes) {
        std::string out = state;
        for (const std::string& postcode : postcodes) {
            out += " " + postcode;
        }
        return out;
    };
    std::vector<PlaceChange> moved;
    // A locality and state found in one list only, by locality: when a
    // locality has gone from one state and come in another, it has moved.
    std::map<std::string, std::pair<std::string, std::string>> alone;  // gone, come
    for (const auto& [key, postcodes] : was) {
        const auto found = now.find(key);
        if (found == now.end()) {
            std::string& gone = alone[key.first].first;
            AppendItem(gone, "; ", text(key.second, postcodes));
        } else if (found->second != postcodes) {
            moved.push_back({PlaceChange::Kind::Moved, key.first, text(key.second, found->second),
                             text(key.second, postcodes)});
        }
    }
    for (const auto& [key, postcodes] : now) {
        if (was.find(key) == was.end()) {
            std::string& come = alone[key.first].second;
            AppendItem(come, "; ", text(key.second, postcodes));
        }
    }
    std::vector<PlaceChange> changes;
    for (const auto& [locality, gone_come] : alone) {
        const auto& [gone, come] = gone_come;
        if (!gone.empty() && !come.empty()) {
            moved.push_back({PlaceChange::Kind::Moved, locality, come, gone});
        } else if (!come.empty()) {
            changes.push_back({PlaceChange::Kind::Added, locality, come, {}});
        } else {
            changes.push_back({PlaceChange::Kind::Retired, locality, {}, gone});
        }
    }
    changes.insert(changes.end(), moved.begin(), moved.end());
    std::stable_sort(changes.begin(), changes.end(),
                     [](const PlaceChange& a, const PlaceChange& b) {
                         if (a.kind != b.kind) {
                             return a.kind < b.kind;
                         }
                         if (a.locality != b.locality) {
                             return a.locality < b.locality;
                         }
                         return a.now + a.was < b.now + b.was;
                     });
    return changes;
}

}  // namespace korvallestin
