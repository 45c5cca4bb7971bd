#include "list_reader.h"

#include <algorithm>
#include <cstring>

#include "text_encoding.h"

namespace korvallestin {

namespace {

constexpr std::size_t kBufferSize = std::size_t{64} * 1024;

}  // namespace

std::ptrdiff_t StreamSource::Read(char* buffer, std::size_t size) {
    const std::size_t n = std::fread(buffer, 1, size, stream_);
    if (n == 0 && std::ferror(stream_) != 0) {
        return -1;
    }
    return static_cast<std::ptrdiff_t>(n);
}

std::ptrdiff_t StringSource::Read(char* buffer, std::size_t size) {
    const std::size_t n = std::min(size, bytes_.size() - pos_);
    std::memcpy(buffer, bytes_.data() + pos_, n);
    pos_ += n;
    return static_cast<std::ptrdiff_t>(n);
}

std::string DescribeListFailure(const ListFailure& failure) {
    const std::string line = std::to_string(failure.line);
    switch (failure.kind) {
        case ListFailure::Kind::None:
            return "No error.";
        case ListFailure::Kind::Empty:
            return "The list is empty: it has no header line.";
        case ListFailure::Kind::NoHeaderLine:
            return "The list ends before line " + line + ", the header line given.";
        case ListFailure::Kind::UnterminatedQuote:
            return "The quoted field that begins at line " + line + " has no closing quote.";
        case ListFailure::Kind::NulByte:
            return "Line " + line +
                   " holds a NUL byte, which no text holds (a list saved as UTF-16 has them: "
                   "save it as CSV instead).";
        case ListFailure::Kind::RowTooLong:
            return "The row that begins at line " + line + " is longer than 1 MiB" +
                   (failure.quote_line > 0
                        ? " (a quoted field that begins at line " +
                              std::to_string(failure.quote_line) +
                              " runs past that: if it should have ended sooner, its closing quote "
                              "is missing)."
                        : ".");
        case ListFailure::Kind::TooManyFields:
            return "The row that begins at line " + line + " has more than " +
                   std::to_string(ListReader::kMaxFields) + " fields.";
        case ListFailure::Kind::System:
            return "The system reported: " + failure.reason + ".";
    }
    return {};
}

ListReader::ListReader(ByteSource& source, ListEncoding encoding)
    : source_(source), encoding_(encoding), buffer_(std::make_unique<char[]>(kBufferSize)) {}

bool ListReader::Fill() {
    pos_ = len_ = 0;
    return FillAhead();
}

bool ListReader::FillAhead() {
    if (pos_ > 0) {
        std::memmove(buffer_.get(), buffer_.get() + pos_, len_ - pos_);
        len_ -= pos_;
        pos_ = 0;
    }
    while (len_ < kBufferSize && !eof_) {
        const std::ptrdiff_t n = source_.Read(buffer_.get() + len_, kBufferSize - len_);
        if (n <= 0) {
            eof_ = true;
            if (n < 0) {
                read_error_ = source_.Error();
                read_failed_ = true;
            }
            break;
        }
        len_ += static_cast<std::size_t>(n);
    }
    // A failed read shows once the bytes before it are used up.
    if (len_ == 0 && read_failed_ && failure_.kind == ListFailure::Kind::None) {
        failure_.kind = ListFailure::Kind::System;
        failure_.reason = read_error_;
    }
    return len_ > 0;
}

int ListReader::Peek() {
    if (pos_ >= len_ && !Fill()) {
        return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

void ListReader::Decode(std::string& out) {
    last_utf8_ = false;
    switch (encoding_) {
        case ListEncoding::Utf8:
            if (std::all_of(raw_.begin(), raw_.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                out.append(raw_);
            } else if (IsValidUtf8(raw_)) {
                saw_non_ascii_ = true;
                last_utf8_ = true;
                out.append(raw_);
            } else {
                saw_non_ascii_ = true;
                saw_non_utf8_ = true;
                AppendWindows1252AsUtf8(raw_, out);
            }
            return;
        case ListEncoding::Windows1252:
            AppendWindows1252AsUtf8(raw_, out);
            return;
        case ListEncoding::Undecided:
            if (std::any_of(raw_.begin(), raw_.end(),
                            [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) {
                saw_non_ascii_ = true;
                saw_non_utf8_ = saw_non_utf8_ || !IsValidUtf8(raw_);
            }
            out.append(raw_);
            return;
    }
}

// A title line, whole, quotes and all; false when the list ends first.
bool ListReader::ReadTitleLine() {
    int c = Peek();
    if (c < 0) {
        return false;
    }
    raw_.clear();
    while (c >= 0 && c != '\r' && c != '\n') {
        if (c == 0) {
            return Fail(ListFailure::Kind::NulByte, line_);
        }
        if (raw_.size() >= kMaxRowBytes) {
            return Fail(ListFailure::Kind::RowTooLong, line_);
        }
        raw_.push_back(static_cast<char>(c));
        ++pos_;
        c = Peek();
    }
    if (c >= 0) {
        ++pos_;
        if (c == '\r' && Peek() == '\n') {
            ++pos_;
        }
    }
    ++line_;
    if (!raw_.empty()) {
        titles_.emplace_back();
        Decode(titles_.back());
        utf8_titles_.push_back(last_utf8_);
    }
    return failure_.kind == ListFailure::Kind::None;
}

void ListReader::SkipBlankLines() {
    int c = Peek();
    while (c == '\r' || c == '\n') {
        ++pos_;
        if (c == '\r' && Peek() == '\n') {
            ++pos_;
        }
        ++line_;
        c = Peek();
    }
}

void ListReader::DetectDelimiter() {
    // The header line, as much of it as the buffer holds, so that it can be
    // looked at before it is read.
    FillAhead();
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    std::size_t tabs = 0;
    bool quoted = false;
    for (std::size_t i = pos_; i < len_; ++i) {
        const char c = buffer_[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (quoted) {
            continue;
        } else if (c == ',') {
            ++commas;
        } else if (c == ';') {
            ++semicolons;
        } else if (c == '\t') {
            ++tabs;
        } else if (c == '\n' || c == '\r') {
            line_end_ = (c == '\n') ? "\n" : "\r\n";
            break;
        }
    }
    if (given_delimiter_ != 0) {
        delimiter_ = given_delimiter_;
    } else if (semicolons > commas && semicolons >= tabs) {
        delimiter_ = ';';
    } else if (tabs > commas && tabs > semicolons) {
        delimiter_ = '\t';
    }
}

bool ListReader::Fail(ListFailure::Kind kind, long line) {
    failure_.kind = kind;
    failure_.line = line;
    return false;
}

void ListReader::EndField(std::vector<std::string>& fields, std::size_t& count) {
    if (count == fields.size()) {
        fields.emplace_back();
    }
    std::string& field = fields[count];
    field.clear();
    Decode(field);
    if (last_utf8_) {
        utf8_fields_.push_back(count);
    }
    ++count;
}

bool ListReader::Start() {
    if (started_) {
        return failure_.kind == ListFailure::Kind::None;
    }
    started_ = true;
    FillAhead();
    if (len_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) {
        bom_ = true;
        pos_ = 3;
    }
    while (line_ < header_line_ && ReadTitleLine()) {
    }
    if (failure_.kind != ListFailure::Kind::None) {
        return false;
    }
    SkipBlankLines();
    if (Peek() < 0) {
        return failure_.kind == ListFailure::Kind::None
                   ? Fail(header_line_ > 1 ? ListFailure::Kind::NoHeaderLine
                                           : ListFailure::Kind::Empty,
                          header_line_)
                   : false;
    }
    DetectDelimiter();
    return true;
}

bool ListReader::ReadHeader(std::vector<std::string>& fields) {
    if (!Start()) {
        return false;
    }
    if (!ReadRow(fields)) {
        if (failure_.kind == ListFailure::Kind::None) {
            failure_.kind = ListFailure::Kind::Empty;
        }
        return false;
    }
    return true;
}

bool ListReader::ReadRow(std::vector<std::string>& fields) {
    if (!Start()) {
        return false;
    }
    utf8_fields_.clear();
    if (end_mark_next_) {
        end_mark_next_ = false;
        row_line_ = line_;
        fields.assign(1, std::string(kEndMark));
        return true;
    }
    SkipBlankLines();
    int c = Peek();
    if (c < 0) {
        return false;
    }
    row_line_ = line_;
    row_bytes_ = 0;
    std::size_t count = 0;
    // Every byte of the row counts towards its limit, whatever it is.
    auto over_limit = [this] { return ++row_bytes_ > kMaxRowBytes; };
    for (;;) {
        raw_.clear();
        c = Peek();
        if (c == '"') {
            const long quote_line = line_;
            ++pos_;
            if (over_limit()) {
                return Fail(ListFailure::Kind::RowTooLong, row_line_);
            }
            for (;;) {
                c = Peek();
                if (c < 0) {
                    return failure_.kind == ListFailure::Kind::None
                               ? Fail(ListFailure::Kind::UnterminatedQuote, quote_line)
                               : false;
                }
                if (over_limit()) {
                    failure_.quote_line = quote_line;
                    return Fail(ListFailure::Kind::RowTooLong, row_line_);
                }
                ++pos_;
                if (c == 0) {
                    return Fail(ListFailure::Kind::NulByte, line_);
                }
                if (c == '"') {
                    if (Peek() != '"') {
                        break;
                    }
                    ++pos_;
                    if (over_limit()) {
                        return Fail(ListFailure::Kind::RowTooLong, row_line_);
                    }
                } else if (c == '\n' || (c == '\r' && Peek() != '\n')) {
                    ++line_;
                }
                raw_.push_back(static_cast<char>(c));
            }
        }
        // Unquoted text, or what follows a closing quote, runs to the
        // delimiter or the line end.
        for (;;) {
            c = Peek();
            if (c < 0 || c == delimiter_ || c == '\r' || c == '\n') {
                break;
            }
            if (c == 0) {
                return Fail(ListFailure::Kind::NulByte, line_);
            }
            if (over_limit()) {
                return Fail(ListFailure::Kind::RowTooLong, row_line_);
            }
            ++pos_;
            if (c == kEndMark[0] && Peek() < 0 && failure_.kind == ListFailure::Kind::None) {
                // The end mark: a row of its own, also when it follows the
                // last row without a line end.
                if (count == 0 && raw_.empty()) {
                    raw_.push_back(static_cast<char>(c));
                } else {
                    end_mark_next_ = true;
                }
                break;
            }
            raw_.push_back(static_cast<char>(c));
        }
        if (count == kMaxFields) {
            return Fail(ListFailure::Kind::TooManyFields, row_line_);
        }
        EndField(fields, count);
        if (c == delimiter_) {
            ++pos_;
            if (over_limit()) {
                return Fail(ListFailure::Kind::RowTooLong, row_line_);
            }
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++pos_;
            if (c == '\r' && Peek() == '\n') {
                ++pos_;
            }
            ++line_;
        }
        break;
    }
    if (failure_.kind != ListFailure::Kind::None) {
        return false;  // the system failed in the middle of the row
    }
    fields.resize(count);
    return true;
}

void AppendCsvField(std::string_view field, char delimiter, std::string& out) {
    bool quoted = false;
    for (const char c : field) {
        if (c == delimiter || c == '"' || c == '\r' || c == '\n') {
            quoted = true;
            break;
        }
    }
    if (!quoted) {
        out.append(field);
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {  // doubled inside the quotes
            out += '"';
        }
        out += c;
    }
    out += '"';
}

}  // namespace korvallestin
