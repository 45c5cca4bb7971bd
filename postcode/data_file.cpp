#include "data_file.h"

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <vector>

#include "letter_case.h"
#include "text_encoding.h"

namespace korvallestin {

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;
constexpr char kFileName[] = "postcodes.csv";
constexpr int kCtrlZ = 0x1A;

bool IsBlank(int c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::string& PostcodeRecord::Field(int i) {
    return const_cast<std::string&>(static_cast<const PostcodeRecord&>(*this).Field(i));
}

const std::string& PostcodeRecord::Field(int i) const {
    switch (i) {
        case 0:
            return Postcode;
        case 1:
            return Locality;
        case 2:
            return State;
        case 3:
            return Comments;
        case 4:
            return DeliveryOffice;
        case 5:
            return PresortIndicator;
        case 6:
            return ParcelZone;
        case 7:
            return BSPNumber;
        default:
            return BSPName;
    }
}

std::string DescribeOpenFailure(ReadOnlyFile::Status status, const ReadOnlyFile& file) {
    ReadFailure failure;
    failure.kind = status == ReadOnlyFile::Status::NotFound     ? ReadFailure::Kind::NotFound
                   : status == ReadOnlyFile::Status::Folder     ? ReadFailure::Kind::Folder
                   : status == ReadOnlyFile::Status::NotRegular ? ReadFailure::Kind::NotRegular
                                                                : ReadFailure::Kind::System;
    failure.reason = file.Error();
    return DescribeFailure(failure);
}

std::string DescribeFailure(const ReadFailure& failure) {
    using Kind = ReadFailure::Kind;
    switch (failure.kind) {
        case Kind::None:
            return "No error.";
        case Kind::NotFound:
            return "The file does not exist.";
        case Kind::System:
            return "The system reported: " + failure.reason + ".";
        case Kind::Folder:
            return "It is a folder, not a file.";
        case Kind::NotRegular:
            return "It is not an ordinary file (a device, pipe or socket) and was not opened.";
        case Kind::Empty:
            return "The file is empty: it holds no header line and no records.";
        case Kind::FieldTooLong:
            return "A field that begins at line " + std::to_string(failure.line) +
                   " is longer than 1 MiB; the file is not a postcode list.";
        case Kind::ShortRecord:
            return "The file ends inside the record that begins at line " +
                   std::to_string(failure.line) + ": it has " + std::to_string(failure.fields) +
                   (failure.fields == 1 ? " field" : " fields") + " instead of 9.";
    }
    return {};
}

std::vector<std::string> NamesDifferingInCase(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(PathFromUtf8(folder), ec), end; !ec && it != end;
         it.increment(ec)) {
        std::string name = Utf8FromPath(it->path().filename());
        if (name != kFileName && EqualsIgnoringAsciiCase(name, kFileName)) {
            names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string PostcodeFilePath(const std::string& folder) {
    // Joined with the system's own separator.
    const std::filesystem::path dir = PathFromUtf8(folder);
    const std::filesystem::path exact = dir / kFileName;
    std::error_code ec;
    if (std::filesystem::status(exact, ec).type() != std::filesystem::file_type::not_found ||
        (ec && ec != std::errc::no_such_file_or_directory)) {
        return Utf8FromPath(exact);
    }
    const std::vector<std::string> matches = NamesDifferingInCase(folder);
    // Two names that differ only in case: neither is more right than the
    // other, so the exact name stands and is reported missing.
    if (matches.size() == 1) {
        return Utf8FromPath(dir / PathFromUtf8(matches.front()));
    }
    return Utf8FromPath(exact);
}

PostcodeFileReader::PostcodeFileReader() : buffer_(std::make_unique<char[]>(kBufferSize)) {}

PostcodeFileReader::~PostcodeFileReader() {
    Close();
}

PostcodeFileReader::OpenResult PostcodeFileReader::Open(const std::string& path) {
    Close();
    failure_ = {};
    pos_ = len_ = 0;
    eof_ = false;
    read_error_ = false;
    at_line_start_ = true;
    line_ = 1;
    records_read_ = 0;

    using Status = ReadOnlyFile::Status;
    switch (file_.Open(path)) {
        case Status::Opened:
            return OpenResult::Opened;
        case Status::NotFound:
            failure_.kind = ReadFailure::Kind::NotFound;
            return OpenResult::NotFound;
        case Status::Folder:
            failure_.kind = ReadFailure::Kind::Folder;
            break;
        case Status::NotRegular:
            failure_.kind = ReadFailure::Kind::NotRegular;
            break;
        case Status::System:
            failure_.kind = ReadFailure::Kind::System;
            failure_.reason = file_.Error();
            break;
    }
    eof_ = true;
    return OpenResult::OtherFailure;
}

void PostcodeFileReader::Close() {
    file_.Close();
    pos_ = len_ = 0;
    eof_ = true;
}

bool PostcodeFileReader::Fill() {
    pos_ = len_ = 0;
    if (eof_ || !file_.IsOpen()) {
        eof_ = true;
        return false;
    }
    const std::ptrdiff_t n = file_.Read(buffer_.get(), kBufferSize);
    if (n > 0) {
        len_ = static_cast<std::size_t>(n);
        return true;
    }
    if (n < 0) {
        read_error_ = true;
        failure_.kind = ReadFailure::Kind::System;
        failure_.reason = file_.Error();
    }
    eof_ = true;
    return false;
}

int PostcodeFileReader::Peek() {
    if (pos_ >= len_ && !Fill()) {
        return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

void PostcodeFileReader::ConsumeLineEnd(int c) {
    ++pos_;
    if (c == '\r' && Peek() == '\n') {
        ++pos_;
    }
    ++line_;
    at_line_start_ = true;
}

void PostcodeFileReader::SkipBlankLines() {
    for (;;) {
        const int c = Peek();
        if (IsBlank(c) || c == kCtrlZ) {
            ++pos_;
        } else if (c == '\r' || c == '\n') {
            ConsumeLineEnd(c);
        } else {
            return;
        }
    }
}

bool PostcodeFileReader::Append(const char* from, const char* to, long field_line) {
    raw_.append(from, to);
    if (raw_.size() > kMaxFieldBytes) {
        failure_.kind = ReadFailure::Kind::FieldTooLong;
        failure_.line = field_line;
        return false;
    }
    return true;
}

bool PostcodeFileReader::ReadQuoted(long field_line) {
    ++pos_;  // the opening quote
    bool after_cr = false;
    for (;;) {
        if (pos_ >= len_ && !Fill()) {
            return !read_error_;  // the file ends inside the quotes: the field ends there
        }
        const char* begin = buffer_.get() + pos_;
        const char* end = buffer_.get() + len_;
        const char* p = begin;
        // Line ends inside quotes are part of the value; they are counted so
        // that later messages name the right line.
        for (; p < end && *p != '"'; ++p) {
            if (*p == '\n') {
                line_ += after_cr ? 0 : 1;
                after_cr = false;
            } else {
                after_cr = *p == '\r';
                line_ += after_cr ? 1 : 0;
            }
        }
        if (!Append(begin, p, field_line)) {
            return false;
        }
        pos_ = static_cast<std::size_t>(p - buffer_.get());
        if (p < end) {
            ++pos_;  // the closing quote
            break;
        }
    }
    // Whatever follows the closing quote up to the separator is not part of
    // the value.
    for (;;) {
        const int c = Peek();
        if (c < 0) {
            return !read_error_;
        }
        if (c == ',') {
            ++pos_;
            at_line_start_ = false;
            return true;
        }
        if (c == '\r' || c == '\n') {
            ConsumeLineEnd(c);
            return true;
        }
        ++pos_;
    }
}

bool PostcodeFileReader::ReadUnquoted(long field_line) {
    for (;;) {
        if (pos_ >= len_ && !Fill()) {
            return !read_error_;  // the file ends the field
        }
        const char* begin = buffer_.get() + pos_;
        const char* end = buffer_.get() + len_;
        const char* p = begin;
        while (p < end && *p != ',' && *p != '\r' && *p != '\n') {
            ++p;
        }
        if (!Append(begin, p, field_line)) {
            return false;
        }
        pos_ = static_cast<std::size_t>(p - buffer_.get());
        if (p < end) {
            if (*p == ',') {
                ++pos_;
                at_line_start_ = false;
            } else {
                ConsumeLineEnd(static_cast<unsigned char>(*p));
            }
            break;
        }
    }
    while (!raw_.empty() && IsBlank(static_cast<unsigned char>(raw_.back()))) {
        raw_.pop_back();
    }
    return true;
}

bool PostcodeFileReader::ReadField(std::string& out) {
    raw_.clear();
    int c = Peek();
    while (IsBlank(c)) {
        ++pos_;
        c = Peek();
    }
    const long field_line = line_;
    const bool ok = (c == '"') ? ReadQuoted(field_line) : ReadUnquoted(field_line);
    if (!ok) {
        return false;
    }
    out.clear();
    AppendAsUtf8(raw_, out);
    return true;
}

bool PostcodeFileReader::ReadRecord(PostcodeRecord& record) {
    if (read_error_) {
        return false;  // failure_ still says what the system reported
    }
    failure_ = {};
    if (at_line_start_) {
        SkipBlankLines();
    }
    const long record_line = line_;
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        if (Peek() < 0) {
            if (read_error_) {
                return false;
            }
            if (i == 0 && records_read_ == 0) {
                failure_.kind = ReadFailure::Kind::Empty;
            } else {
                failure_.kind = ReadFailure::Kind::ShortRecord;
                failure_.fields = i;
            }
            failure_.line = record_line;
            return false;
        }
        if (!ReadField(record.Field(i))) {
            return false;
        }
    }
    ++records_read_;
    // Look past blank lines now, so that AtEnd can tell the end of the data
    // without reading.
    if (at_line_start_) {
        SkipBlankLines();
    } else {
        Peek();
    }
    return true;
}

bool PostcodeFileReader::AtEnd() const {
    return pos_ >= len_ && eof_ && !read_error_;
}

}  // namespace korvallestin
