#include "row_formats.h"

#include <cstdio>

#include "result_row_store.h"

namespace korvallestin {

namespace {

constexpr std::string_view kEllipsis = "\xE2\x80\xA6";

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::vector<std::string_view> Headings() {
    return {kColumnHeadings.begin(), kColumnHeadings.end()};
}

class TextWriter final : public RowWriter {
  public:
    explicit TextWriter(Output& out) : out_(out) {}
    // The headings come with the first row: a look-up that finds nothing
    // writes nothing.
    bool Begin() override { return true; }
    bool Row(const std::vector<std::string_view>& fields) override {
        if (!headed_) {
            headed_ = true;
            if (!Row(Headings())) {
                return false;
            }
        }
        line_.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            const bool last = i + 1 == fields.size();
            line_ += FitToColumns(fields[i], kTextWidths[i], !last);
            if (!last) {
                line_ += ' ';
            }
        }
        while (!line_.empty() && line_.back() == ' ') {
            line_.pop_back();
        }
        line_ += '\n';
        return out_.Write(line_);
    }
    bool End() override { return out_.Flush(); }

  private:
    Output& out_;
    std::string line_;
    bool headed_ = false;
};

class DelimitedWriter final : public RowWriter {
  public:
    DelimitedWriter(Output& out, char delimiter) : out_(out), delimiter_(delimiter) {}
    bool Begin() override { return Row(Headings()); }
    bool Row(const std::vector<std::string_view>& fields) override {
        line_.clear();
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) {
                line_ += delimiter_;
            }
            if (delimiter_ == '\t') {
                // TSV has no quoting: a tab or line end inside a field
                // becomes a space, so each row stays one line of nine fields.
                for (const char c : fields[i]) {
                    line_ += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
                }
            } else {
                AppendCsvField(fields[i], delimiter_, line_);
            }
        }
        line_ += delimiter_ == '\t' ? "\n" : "\r\n";
        return out_.Write(line_);
    }
    bool End() override { return out_.Flush(); }

  private:
    Output& out_;
    char delimiter_;
    std::string line_;
};

class JsonWriter final : public RowWriter {
  public:
    explicit JsonWriter(Output& out) : out_(out) {}
    bool Begin() override { return out_.Write("["); }
    bool Row(const std::vector<std::string_view>& fields) override {
        static constexpr std::string_view kNames[PostcodeRecord::kFieldCount] = {
            "Postcode",         "Locality",   "State",     "Comments", "DeliveryOffice",
            "PresortIndicator", "ParcelZone", "BSPNumber", "BSPName"};
        line_ = rows_++ == 0 ? "\n  {" : ",\n  {";
        for (std::size_t i = 0; i < fields.size(); ++i) {
            line_ += i == 0 ? "\"" : ", \"";
            line_ += kNames[i];
            line_ += "\": \"";
            AppendJsonText(fields[i]);
            line_ += '"';
        }
        line_ += '}';
        return out_.Write(line_);
    }
    bool End() override { return out_.Write(rows_ == 0 ? "]\n" : "\n]\n") && out_.Flush(); }

  private:
    void AppendJsonText(std::string_view text) {
        for (const char c : text) {
            switch (c) {
                case '"':
                    line_ += "\\\"";
                    break;
                case '\\':
                    line_ += "\\\\";
                    break;
                case '\n':
                    line_ += "\\n";
                    break;
                case '\r':
                    line_ += "\\r";
                    break;
                case '\t':
                    line_ += "\\t";
                    break;
                default:
                    if (static_cast<unsigned char>(c) < 0x20) {
                        char escaped[8];
                        std::snprintf(escaped, sizeof escaped, "\\u%04x",
                                      static_cast<unsigned>(static_cast<unsigned char>(c)));
                        line_ += escaped;
                    } else {
                        line_ += c;
                    }
            }
        }
    }

    Output& out_;
    std::string line_;
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

void AppendCsvField(std::string_view field, char delimiter, std::string& out) {
    const bool quoted =
        field.find_first_of(std::string{delimiter, '"', '\r', '\n'}) != std::string_view::npos;
    if (!quoted) {
        out.append(field);
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

std::string FitToColumns(std::string_view text, std::size_t width, bool pad) {
    // Columns are counted in characters: a UTF-8 lead byte starts one.
    std::size_t columns = 0;
    std::size_t cut = text.size();  // where the text stops when it is too long
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsContinuation(text[i])) {
            continue;
        }
        if (columns == width - 1) {
            cut = i;
        }
        ++columns;
    }
    std::string out;
    if (columns > width) {
        out.assign(text.substr(0, cut));
        out += kEllipsis;
        columns = width;
    } else {
        out.assign(text);
    }
    if (pad && columns < width) {
        out.append(width - columns, ' ');
    }
    // Control characters would move the cursor: a tab or line end shows as a
    // space.
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') {
            c = ' ';
        }
    }
    return out;
}

}  // namespace korvallestin
