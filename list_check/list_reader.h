#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform.h"

namespace korvallestin {

// Where a list's bytes come from: a file, standard input, or in tests a string.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Up to `size` bytes: the count read, 0 at the end, -1 on a failure (see Error).
    virtual std::ptrdiff_t Read(char* buffer, std::size_t size) = 0;
    virtual std::string Error() const = 0;
};

class FileSource final : public ByteSource {
  public:
    explicit FileSource(ReadOnlyFile& file) : file_(file) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        return file_.Read(buffer, size);
    }
    std::string Error() const override { return file_.Error(); }

  private:
    ReadOnlyFile& file_;
};

class StreamSource final : public ByteSource {
  public:
    explicit StreamSource(std::FILE* stream) : stream_(stream) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    std::string Error() const override { return "the stream could not be read"; }

  private:
    std::FILE* stream_;
};

class StringSource final : public ByteSource {
  public:
    explicit StringSource(std::string bytes) : bytes_(std::move(bytes)) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override;
    std::string Error() const override { return {}; }

  private:
    std::string bytes_;
    std::size_t pos_ = 0;
};

// Why a list could not be read further. The rows before it were read whole.
struct ListFailure {
    enum class Kind {
        None,
        Empty,              // no header line
        NoHeaderLine,       // the list ends before the line named as the header: see line
        UnterminatedQuote,  // a quoted field that never closes: see line
        NulByte,            // a NUL byte, which no text holds: see line
        RowTooLong,         // a row longer than the limit: see line (and quote_line)
        TooManyFields,      // a row of more fields than the limit: see line
        System,             // the system could not read it: see reason
    };
    Kind kind = Kind::None;
    long line = 0;
    long quote_line = 0;  // RowTooLong inside a quoted field: where it began
    std::string reason;
};

// A sentence for a failure, without the file's name.
std::string DescribeListFailure(const ListFailure& failure);

// How the reader turns a list's bytes into text.
enum class ListEncoding {
    Undecided,    // fields are kept as their bytes; the reader notes what they could be
    Utf8,         // UTF-8; a field whose bytes are not UTF-8 is read as Windows-1252
    Windows1252,  // every byte a Windows-1252 character
};

// Reads a CSV list (RFC 4180) row by row through a fixed buffer: title lines
// (when the header is not the first line), a header line, then rows. The
// delimiter (comma, semicolon or tab) is the one the header line holds most
// of, outside quotes, unless one is given. A UTF-8 byte order mark is
// dropped. Quoted fields may hold the delimiter, doubled quotes and line
// ends. Blank lines are skipped. No row may take more than kMaxRowBytes
// (every byte of it counts: fields, delimiters, quotes) or hold more than
// kMaxFields fields, so memory stays bounded whatever the input. A Ctrl-Z as
// the last byte of the input (the end mark of old DOS programs) comes back as
// a row of its own, the one field kEndMark.
class ListReader {
  public:
    static constexpr std::size_t kMaxRowBytes = std::size_t{1} << 20;
    // As many columns as a spreadsheet has.
    static constexpr std::size_t kMaxFields = 16384;
    static constexpr std::string_view kEndMark = "\x1A";

    explicit ListReader(ByteSource& source, ListEncoding encoding = ListEncoding::Utf8);

    // Before the first read: the delimiter to use instead of detecting it
    // (0: detect), and the line (from 1) the header stands on; the lines
    // before it are title lines. Blank lines before the header are skipped.
    void SetDelimiter(char delimiter) { given_delimiter_ = delimiter; }
    void SetHeaderLine(long line) { header_line_ = line; }

    // Reads up to the header line, keeping the title lines, and finds the
    // delimiter; false when nothing is left or the list cannot be read.
    // ReadHeader and ReadRow call it first when it has not been called.
    bool Start();
    // The header's fields; false when the list is empty or cannot be read.
    bool ReadHeader(std::vector<std::string>& fields);
    // The next row's fields; false at the end of the list (Failure() is then
    // None) or on a failure.
    bool ReadRow(std::vector<std::string>& fields);

    // The non-blank lines above the header, whole, as text.
    const std::vector<std::string>& TitleLines() const { return titles_; }
    char Delimiter() const { return delimiter_; }
    bool HadByteOrderMark() const { return bom_; }
    // The line end the header line ended with ("\r\n" or "\n").
    std::string_view LineEnd() const { return line_end_; }
    // The line the last row read began on.
    long RowLine() const { return row_line_; }
    const ListFailure& Failure() const { return failure_; }
    // Whether some field read so far holds bytes beyond ASCII, and whether
    // one of them is not UTF-8 (with ListEncoding::Undecided or Utf8).
    bool SawNonAscii() const { return saw_non_ascii_; }
    bool SawNonUtf8() const { return saw_non_utf8_; }
    // With ListEncoding::Utf8: the fields of the last row (or header) read
    // that held UTF-8 beyond ASCII, by number from 0, and whether each title
    // line did. Read as Windows-1252 they would be other text, which a reader
    // that meets a non-UTF-8 field only later may have to make of them.
    const std::vector<std::size_t>& Utf8Fields() const { return utf8_fields_; }
    const std::vector<bool>& Utf8Titles() const { return utf8_titles_; }

  private:
    int Peek();
    bool Fill();
    bool FillAhead();
    bool ReadTitleLine();
    void SkipBlankLines();
    void DetectDelimiter();
    bool Fail(ListFailure::Kind kind, long line);
    void EndField(std::vector<std::string>& fields, std::size_t& count);
    void Decode(std::string& out);

    ByteSource& source_;
    ListEncoding encoding_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool eof_ = false;
    bool read_failed_ = false;
    std::string read_error_;
    bool started_ = false;
    bool bom_ = false;
    char given_delimiter_ = 0;
    long header_line_ = 1;
    char delimiter_ = ',';
    std::string_view line_end_ = "\r\n";
    long line_ = 1;
    long row_line_ = 0;
    std::string raw_;
    std::size_t row_bytes_ = 0;
    bool end_mark_next_ = false;
    bool saw_non_ascii_ = false;
    bool saw_non_utf8_ = false;
    bool last_utf8_ = false;  // the last field decoded held UTF-8 beyond ASCII
    std::vector<std::size_t> utf8_fields_;
    std::vector<bool> utf8_titles_;
    std::vector<std::string> titles_;
    ListFailure failure_;
};

// One field as RFC 4180 writes it: in double quotes, with its quotes doubled,
// when it holds the delimiter, a quote or a line end.
void AppendCsvField(std::string_view field, char delimiter, std::string& out);

}  // namespace korvallestin
