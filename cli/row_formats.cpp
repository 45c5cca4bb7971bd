#include "row_formats.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "data_file.h"
#include "list_reader.h"

namespace korvallestin {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

// Rows are handed to the output in blocks of about this size: one write per
// block rather than one per row.
constexpr std::size_t kBlockSize = std::size_t{1} << 16;

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

bool IsTabOrLineEnd(char c) {
    return c == '\t' || c == '\n' || c == '\r';
}

// The most bytes PutFitted writes for `text`: the text and its padding, or a
// cut text and the ellipsis.
std::size_t FittedRoom(std::string_view text, std::size_t width) {
    return text.size() + width + kEllipsis.size();
}

// Writes the text fitted to `width` columns at `to` and answers where it
// ends; see AppendFitted.
char* PutFitted(std::string_view text, std::size_t width, bool pad, char* to) {
    // Columns are counted in characters: a UTF-8 lead byte starts one. The
    // count stops at the first character past `width`: the text is cut there.
    std::size_t columns = 0;
    std::size_t last_column = 0;  // where the ellipsis goes when the text is cut
    std::size_t at = 0;
    bool control = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        control |= static_cast<unsigned char>(c) < 0x20;
        if (IsContinuation(c)) {
            continue;
        }
        if (columns == width) {
            break;
        }
        if (columns + 1 == width) {
            last_column = at;
        }
        ++columns;
    }
    const bool cut = at < text.size();
    const std::size_t kept = cut ? last_column : text.size();
    std::memcpy(to, text.data(), kept);
    if (control) {
        // Control characters would move the cursor: a tab or line end shows
        // as a space.
        std::replace_if(to, to + kept, IsTabOrLineEnd, ' ');
    }
    to += kept;
    if (cut) {
        return std::copy(kEllipsis.begin(), kEllipsis.end(), to);
    }
    if (pad) {
        for (; columns < width; ++columns) {
            *to++ = ' ';
        }
    }
    return to;
}

// Holds whole rows until a block is full, then writes them in one go.
class BlockedWriter : public RowWriter {
  public:
    explicit BlockedWriter(Output& out) : out_(out), line_by_line_(out.LineByLine()) {
        block_.reserve(kBlockSize + 1024);
    }

  protected:
    // Called when a row is whole in `block_`.
    bool RowDone() { return line_by_line_ || block_.size() >= kBlockSize ? WriteBlock() : true; }
    bool WriteBlock() {
        const bool ok = out_.Write(block_);
        block_.clear();
        return ok;
    }
    bool Finish() { return WriteBlock() && out_.Flush(); }

    std::string block_;

  private:
    Output& out_;
    bool line_by_line_;
};

class TextWriter final : public BlockedWriter {
  public:
    explicit TextWriter(Output& out) : BlockedWriter(out) {}
    // The headings come with the first row: a look-up that finds nothing
    // writes nothing.
    bool Begin() override { return true; }
    bool Row(std::span<const std::string_view> fields) override {
        if (!headed_) {
            headed_ = true;
            AppendLine(kColumnHeadings);
        }
        AppendLine(fields);
        return RowDone();
    }
    bool End() override { return Finish(); }

  private:
    // The whole line is written in place: room for it first, then each cell
    // and its space, the spaces at its end taken off.
    void AppendLine(std::span<const std::string_view> fields) {
        std::size_t room = 1;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            room += FittedRoom(fields[i], kTextWidths[i]) + 1;
        }
        const std::size_t start = block_.size();
        block_.resize(start + room);
        char* const line = block_.data() + start;
        char* end = line;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool last = i + 1 == fields.size();
            end = PutFitted(fields[i], kTextWidths[i], !last, end);
            if (!last) {
                *end++ = ' ';
            }
        }
        while (end > line && end[-1] == ' ') {
            --end;
        }
        *end++ = '\n';
        block_.resize(start + static_cast<std::size_t>(end - line));
    }

    bool headed_ = false;
};

class DelimitedWriter final : public BlockedWriter {
  public:
    DelimitedWriter(Output& out, char delimiter) : BlockedWriter(out), delimiter_(delimiter) {}
    bool Begin() override {
        AppendLine(kColumnHeadings);
        return RowDone();
    }
    bool Row(std::span<const std::string_view> fields) override {
        AppendLine(fields);
        return RowDone();
    }
    bool End() override { return Finish(); }

  private:
    void AppendLine(std::span<const std::string_view> fields) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                block_ += delimiter_;
            }
            if (delimiter_ == '\t') {
                AppendTsvField(fields[i]);
            } else {
                AppendCsvField(fields[i], delimiter_, block_);
            }
        }
        block_ += delimiter_ == '\t' ? "\n" : "\r\n";
    }

    // TSV has no quoting: a tab or line end inside a field becomes a space,
    // so each row stays one line of nine fields.
    void AppendTsvField(std::string_view field) {
        const std::size_t at = block_.size();
        block_.append(field);
        for (std::size_t i = at; i < block_.size(); ++i) {
            if (IsTabOrLineEnd(block_[i])) {
                block_[i] = ' ';
            }
        }
    }

    char delimiter_;
};

class JsonWriter final : public BlockedWriter {
  public:
    explicit JsonWriter(Output& out) : BlockedWriter(out) {}
    bool Begin() override {
        block_ += '[';
        return RowDone();
    }
    bool Row(std::span<const std::string_view> fields) override {
        // Each name with the punctuation before its value.
        static constexpr std::string_view kNames[PostcodeRecord::kFieldCount] = {
            "\"Postcode\": \"",     ", \"Locality\": \"",       ", \"State\": \"",
            ", \"Comments\": \"",   ", \"DeliveryOffice\": \"", ", \"PresortIndicator\": \"",
            ", \"ParcelZone\": \"", ", \"BSPNumber\": \"",      ", \"BSPName\": \""};
        block_ += rows_++ == 0 ? "\n  {" : ",\n  {";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            block_ += kNames[i];
            AppendJsonText(fields[i]);
            block_ += '"';
        }
        block_ += '}';
        return RowDone();
    }
    bool End() override {
        block_ += rows_ == 0 ? "]\n" : "\n]\n";
        return Finish();
    }

  private:
    // The text with JSON's escapes; the runs between them are copied whole.
    void AppendJsonText(std::string_view text) {
        std::size_t run = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) {
                continue;
            }
            block_.append(text.substr(run, i - run));
            run = i + 1;
            switch (c) {
                case '"':
                    block_ += "\\\"";
                    break;
                case '\\':
                    block_ += "\\\\";
                    break;
                case '\n':
                    block_ += "\\n";
                    break;
                case '\r':
                    block_ += "\\r";
                    break;
                case '\t':
                    block_ += "\\t";
                    break;
                default: {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x",
                                  static_cast<unsigned>(static_cast<unsigned char>(c)));
                    block_ += escaped;
                }
            }
        }
        block_.append(text.substr(run));
    }

    std::size_t rows_ = 0;
};

}  // namespace

std::unique_ptr<RowWriter> MakeRowWriter(RowFormat format, Output& out) {
    switch (format) {
        case RowFormat::Csv:
            return std::make_unique<DelimitedWriter>(out, ',');
        case RowFormat::Tsv:
            return std::make_unique<DelimitedWriter>(out, '\t');
        case RowFormat::Json:
            return std::make_unique<JsonWriter>(out);
        case RowFormat::Text:
            break;
    }
    return std::make_unique<TextWriter>(out);
}

void AppendFitted(std::string_view text, std::size_t width, bool pad, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + FittedRoom(text, width));
    char* const end = PutFitted(text, width, pad, out.data() + start);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

}  // namespace korvallestin
