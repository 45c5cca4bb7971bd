#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform.h"

namespace korvallestin {

// One record of the postcode file: nine text fields in file order. An empty
// field is an empty string. Text is UTF-8.
struct PostcodeRecord {
    std::string Postcode;
    std::string Locality;
    std::string State;
    std::string Comments;
    std::string DeliveryOffice;
    std::string PresortIndicator;
    std::string ParcelZone;
    std::string BSPNumber;
    std::string BSPName;

    static constexpr int kFieldCount = 9;
    // Field i (0 to 8) in file order.
    std::string& Field(int i);
    const std::string& Field(int i) const;
};

// The nine fields' headings, in file order: the window's column captions, the
// console's heading line, and the names its --sort takes.
inline constexpr std::array<std::string_view, PostcodeRecord::kFieldCount> kColumnHeadings{
    "Postcode",          "Locality",    "State",      "Comments", "Delivery Office",
    "Presort Indicator", "Parcel Zone", "BSP Number", "BSP Name",
};

// Why an Open or a ReadRecord failed.
struct ReadFailure {
    enum class Kind {
        None,
        NotFound,      // no file of that name
        System,        // the system refused to open or read it: see reason
        Folder,        // the name belongs to a folder
        NotRegular,    // a device, pipe or socket: never opened, it could block
        Empty,         // no record at all, not even a header
        ShortRecord,   // the file ends inside a record: see line and fields
        FieldTooLong,  // a field longer than the limit: see line
    };
    Kind kind = Kind::None;
    std::string reason;  // the system's own words, for System
    long line = 0;       // 1-based line where the record or field begins
    int fields = 0;      // fields begun in a short record
};

// A plain-language sentence for a failure, without the file name.
std::string DescribeFailure(const ReadFailure& failure);

// Why a file could not be opened, as a sentence without its name: `status`
// is what ReadOnlyFile::Open answered, `file` holds the system's words.
std::string DescribeOpenFailure(ReadOnlyFile::Status status, const ReadOnlyFile& file);

// The path of the data file in a folder: `folder/postcodes.csv`, or, when no
// file of exactly that name exists, the one entry whose name differs from it
// only in letter case (a file copied from a system that ignores case).
std::string PostcodeFilePath(const std::string& folder);
// The names in `folder` that differ from postcodes.csv only in letter case,
// the exact name left out, in byte order.
std::vector<std::string> NamesDifferingInCase(const std::string& folder);

// Reads the postcode file as a stream of nine-field records through a fixed
// buffer. The file is opened read-only, only if it is an ordinary file, and
// never held whole in memory.
//
// Field syntax: fields end at a comma or a line end (CR, LF or CR LF).
// Spaces and tabs before a field are skipped. A field that starts with a
// double quote runs to the next double quote, line ends included, and anything
// after the closing quote up to the separator is ignored. Any other field runs
// to the next separator and loses its trailing spaces and tabs. Records are
// nine fields in a row; line ends only end fields. Blank lines where a record
// would begin are skipped, and so are trailing spaces and a final Ctrl-Z.
class PostcodeFileReader {
  public:
    enum class OpenResult { Opened, NotFound, OtherFailure };

    static constexpr std::size_t kMaxFieldBytes = std::size_t{1} << 20;

    PostcodeFileReader();
    ~PostcodeFileReader();
    PostcodeFileReader(const PostcodeFileReader&) = delete;
    PostcodeFileReader& operator=(const PostcodeFileReader&) = delete;

    OpenResult Open(const std::string& path);
    // Reads the next nine fields into `record`. False when the file ends
    // before the ninth field has begun or a read fails; see LastFailure.
    bool ReadRecord(PostcodeRecord& record);
    // True when nothing but blank lines, spaces or a Ctrl-Z is left.
    bool AtEnd() const;
    void Close();
    bool IsOpen() const { return file_.IsOpen(); }

    const ReadFailure& LastFailure() const { return failure_; }

  private:
    bool Fill();  // refills the buffer; false at the end of the file or on error
    int Peek();   // the next byte, or -1 at the end of the file or on error
    void ConsumeLineEnd(int c);
    void SkipBlankLines();  // at a line start: blank lines, spaces, tabs, Ctrl-Z
    bool ReadField(std::string& out);
    bool ReadQuoted(long field_line);
    bool ReadUnquoted(long field_line);
    bool Append(const char* from, const char* to, long field_line);

    ReadOnlyFile file_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool eof_ = true;
    bool read_error_ = false;
    bool at_line_start_ = true;
    long line_ = 1;
    long records_read_ = 0;
    ReadFailure failure_;
    std::string raw_;  // one field's bytes before decoding, reused
};

// Reads an opened file's header, then hands each record to `visit`; false
// when the file cannot be read to its end (the reader's LastFailure says why).
template <typename Visit>
bool ReadEveryRecord(PostcodeFileReader& reader, Visit visit) {
    PostcodeRecord record;
    bool ok = reader.ReadRecord(record);  // the header
    while (ok && !reader.AtEnd()) {
        ok = reader.ReadRecord(record);
        if (ok) {
            visit(record);
        }
    }
    return ok;
}

}  // namespace korvallestin
