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
        case ListFailure::Kind::UnterminatedQuote:
            return "The quoted field that begins at line " + line + " has no closing quote.";
        case ListFailure::Kind::NulByte:
            return "Line " + line +
                   " holds a NUL byte, which no text holds (a list saved as UTF-16 has them: "
                   "save it as CSV instead).";
        case ListFailure::Kind::RowTooLong:
            return "The row that begins at line " + line + " is longer than 1 MiB.";
        case ListFailure::Kind::System:
            return "The system reported: " + failure.reason + ".";
    }
    return {};
}

ListReader::ListReader(ByteSource& source)
    : source_(source), buffer_(std::make_unique<char[]>(kBufferSize)) {}

bool ListReader::Fill() {
    pos_ = len_ = 0;
    if (eof_) {
        return false;
    }
    const std::ptrdiff_t n = source_.Read(buffer_.get(), kBufferSize);
    if (n > 0) {
        len_ = static_cast<std::size_t>(n);
        return true;
    }
    eof_ = true;
    if (n < 0 && failure_.kind == ListFailure::Kind::None) {
        failure_.kind = ListFailure::Kind::System;
        failure_.reason = source_.Error();
    }
    return false;
}

int ListReader::Peek() {
    if (pos_ >= len_ && !Fill()) {
        return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

void ListReader::DetectDelimiter() {
    // The first block, whole, so that the header line can be looked at
    // before it is read.
    while (len_ < kBufferSize && !eof_) {
        const std::ptrdiff_t n = source_.Read(buffer_.get() + len_, kBufferSize - len_);
        if (n <= 0) {
            eof_ = true;
            if (n < 0) {
                failure_.kind = ListFailure::Kind::System;
                failure_.reason = source_.Error();
            }
            break;
        }
        len_ += static_cast<std::size_t>(n);
    }
    if (len_ >= 3 && std::memcmp(buffer_.get(), "\xEF\xBB\xBF", 3) == 0) {
        bom_ = true;
        pos_ = 3;
    }
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
    if (semicolons > commas && semicolons >= tabs) {
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
    std::string& field = fields[count++];
    field.clear();
    AppendAsUtf8(raw_, field);
}

bool ListReader::ReadHeader(std::vector<std::string>& fields) {
    if (!started_) {
        started_ = true;
        DetectDelimiter();
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
    if (failure_.kind != ListFailure::Kind::None) {
        return false;
    }
    int c = Peek();
    while (c == '\r' || c == '\n') {  // blank lines
        ++pos_;
        if (c == '\r' && Peek() == '\n') {
            ++pos_;
        }
        ++line_;
        c = Peek();
    }
    if (c < 0) {
        return false;
    }
    row_line_ = line_;
    row_bytes_ = 0;
    std::size_t count = 0;
    for (;;) {
        raw_.clear();
        c = Peek();
        if (c == '"') {
            const long quote_line = line_;
            ++pos_;
            for (;;) {
                c = Peek();
                if (c < 0) {
                    return failure_.kind == ListFailure::Kind::None
                               ? Fail(ListFailure::Kind::UnterminatedQuote, quote_line)
                               : false;
                }
                if (++row_bytes_ > kMaxRowBytes) {
                    return Fail(ListFailure::Kind::UnterminatedQuote, quote_line);
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
            if (++row_bytes_ > kMaxRowBytes) {
                return Fail(ListFailure::Kind::RowTooLong, row_line_);
            }
            raw_.push_back(static_cast<char>(c));
            ++pos_;
        }
        EndField(fields, count);
        if (c == delimiter_) {
            ++pos_;
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

}  // namespace korvallestin
