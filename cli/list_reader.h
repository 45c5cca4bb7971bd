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
        UnterminatedQuote,  // a quoted field that never closes: see line
        NulByte,            // a NUL byte, which no text holds: see line
        RowTooLong,         // a row longer than the limit: see line
        System,             // the system could not read it: see reason
    };
    Kind kind = Kind::None;
    long line = 0;
    std::string reason;
};

// A sentence for a failure, without the file's name.
std::string DescribeListFailure(const ListFailure& failure);

// Reads a CSV list (RFC 4180) row by row through a fixed buffer: a header
// line, then rows. The delimiter (comma, semicolon or tab) is the one the
// header line holds most of, outside quotes. A UTF-8 byte order mark is
// dropped; each field comes out as UTF-8, its bytes taken as UTF-8 when they
// are valid UTF-8 and as Windows-1252 otherwise. Quoted fields may hold the
// delimiter, doubled quotes and line ends. Blank lines are skipped. No row may
// be longer than kMaxRowBytes, so memory stays bounded whatever the input.
class ListReader {
  public:
    static constexpr std::size_t kMaxRowBytes = std::size_t{1} << 20;

    explicit ListReader(ByteSource& source);

    // The header's fields; false when the list is empty or cannot be read.
    bool ReadHeader(std::vector<std::string>& fields);
    // The next row's fields; false at the end of the list (Failure() is then
    // None) or on a failure.
    bool ReadRow(std::vector<std::string>& fields);

    char Delimiter() const { return delimiter_; }
    bool HadByteOrderMark() const { return bom_; }
    // The line end the header line ended with ("\r\n" or "\n").
    std::string_view LineEnd() const { return line_end_; }
    // The line the last row read began on.
    long RowLine() const { return row_line_; }
    const ListFailure& Failure() const { return failure_; }

  private:
    int Peek();
    bool Fill();
    void DetectDelimiter();
    bool Fail(ListFailure::Kind kind, long line);
    void EndField(std::vector<std::string>& fields, std::size_t& count);

    ByteSource& source_;
    std::unique_ptr<char[]> buffer_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool eof_ = false;
    bool started_ = false;
    bool bom_ = false;
    char delimiter_ = ',';
    std::string_view line_end_ = "\r\n";
    long line_ = 1;
    long row_line_ = 0;
    std::string raw_;
    std::size_t row_bytes_ = 0;
    ListFailure failure_;
};

}  // namespace korvallestin
