#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "data_file.h"

namespace korvallestin {

class ByteSource;

// The kinds of postcode list an import reads, told apart by their headings
// (or, in JSON, their keys), never by the order of their columns.
enum class ListKind {
    OpenList,       // the open list: CSV, its spreadsheet's CSV, or JSON
    AustraliaPost,  // Australia Post's file: Pcode, Locality, State, ...
};

// Why a record of the list is not written.
enum class LeaveOutReason {
    Duplicate,    // every field the same as an earlier record's
    Removed,      // its status begins "Removed"
    BadPostcode,  // not four digits
    BadState,     // not one of the eight states and territories
    EmptyLocality,
    StateInLocality,  // the locality holds a state's abbreviation and a postcode
    Unwritable,       // a character the postcode file cannot hold
};
inline constexpr int kLeaveOutReasons = 7;

// A short name for a reason ("removed", "bad-postcode", ...), as the CSV
// report writes it, and the words the text report uses.
std::string_view ReasonName(LeaveOutReason reason);
std::string_view ReasonWords(LeaveOutReason reason);

// A record of the list that was left out, or written with a change.
struct ImportNote {
    std::string where;  // "line 12" for CSV, "record 12" for JSON
    PostcodeRecord record;
    LeaveOutReason reason = LeaveOutReason::Duplicate;  // left-out records only
    std::string detail;                                 // what was found or changed
};

struct ImportResult {
    ListKind kind = ListKind::OpenList;
    bool json = false;
    long read = 0;                        // records read (the header aside)
    std::vector<PostcodeRecord> records;  // to be written, in the list's order
    std::vector<ImportNote> left_out;     // in the list's order
    std::vector<ImportNote> changed;      // written, with a character or a zero changed
    std::string newest_change;            // YYYY-MM-DD from the statuses; empty if none

    std::size_t LeftOutFor(LeaveOutReason reason) const;
    std::string KindName() const;  // "the open list (CSV)", ...
};

// At most this many records: ten times Australia's postcode lists. A file
// with more is not one, and memory stays bounded.
inline constexpr long kMaxImportRecords = 250000;
// A JSON list is read as a stream; a file larger than this is refused.
inline constexpr std::size_t kMaxJsonBytes = std::size_t{256} << 20;

// Reads a postcode list of any of the kinds above from `source` (JSON when its
// first character, after a byte order mark and spaces, is '['; CSV
// otherwise), converts each record to the nine fields of the postcode file
// and decides which to leave out. False, with one plain sentence (or a few)
// in `error`, when the list cannot be read or is of no kind known here.
bool ImportPostcodeList(ByteSource& source, ImportResult& result, std::string& error);

// Writes records as the postcode file: a header line, nine fields a record,
// Windows-1252, lines ending in CR LF, each non-empty field in double quotes.
// Every record must hold only what the file can (ImportPostcodeList sees to
// that); false when one does not, or when `out` fails.
class Output;
bool WritePostcodeFile(const std::vector<PostcodeRecord>& records, Output& out);

// One difference between the file in use and the imported list, by locality
// and state: a locality added or retired, or found under other postcodes or
// in another state.
struct PlaceChange {
    enum class Kind { Added, Retired, Moved };
    Kind kind = Kind::Added;
    std::string locality;
    std::string now;  // "QLD 4314", "NSW 2640 2641"; empty when retired
    std::string was;  // the same, before; empty when added
};

// The differences, ordered by kind, then locality, then state.
std::vector<PlaceChange> ComparePlaces(const std::vector<PostcodeRecord>& before,
                                       const std::vector<PostcodeRecord>& after);

}  // namespace korvallestin
