#include "list_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>
#include <utility>

#include "data_file.h"
#include "sure_fix.h"
#include "text_encoding.h"

namespace korvallestin {

namespace {

constexpr std::string_view kVerdictHeading = "verdict";
constexpr std::string_view kSuggestionHeading = "suggestion";

const std::vector<std::string>& UsualPostcodeNames() {
    static const std::vector<std::string> kNames = {
        "postcode", "post code", "pcode", "p/code", "postal code", "zip", "zip code", "zipcode"};
    return kNames;
}
const std::vector<std::string>& UsualLocalityNames() {
    static const std::vector<std::string> kNames = {"suburb",    "locality",    "town",
                                                    "city",      "suburb/town", "town/city",
                                                    "city/town", "town/suburb", "suburb/locality"};
    return kNames;
}
const std::vector<std::string>& UsualStateNames() {
    static const std::vector<std::string> kNames = {"state", "state/territory"};
    return kNames;
}

bool IsBlank(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& field) {
        return field.find_first_not_of(" \t") == std::string::npos;
    });
}

bool IsEndMark(const std::vector<std::string>& fields) {
    return fields.size() == 1 && fields[0] == ListReader::kEndMark;
}

// The one column a role may be: as given, else among the usual names, and
// not one another role has taken.
struct Role {
    const char* name;
    const std::string* given;
    const std::vector<std::string>* usual;
    const char* option;
    ListColumn* column;
};

}  // namespace

bool IsBlankRow(const std::vector<std::string>& fields) {
    return IsEndMark(fields) || IsBlank(fields);
}

std::string NormalizedHeading(std::string_view heading) {
    std::string out;
    bool space = false;
    for (std::size_t i = 0; i < heading.size(); ++i) {
        const char c = heading[i];
        const bool nbsp = c == '\xC2' && i + 1 < heading.size() && heading[i + 1] == '\xA0';
        if (c == ' ' || c == '_' || c == '\t' || nbsp) {
            space = true;
            i += nbsp ? 1 : 0;
            continue;
        }
        if (space && !out.empty() && out.back() != '/' && c != '/') {
            out += ' ';
        }
        space = false;
        out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return out;
}

bool FindListColumns(const std::vector<std::string>& headings, std::size_t width,
                     const CheckOptions& options, ListColumns& columns, std::string& error) {
    columns = {};
    const std::array<Role, 3> roles = {{
        {"postcode", &options.postcode_column, &UsualPostcodeNames(), "--postcode-column",
         &columns.postcode},
        {"locality", &options.locality_column, &UsualLocalityNames(), "--locality-column",
         &columns.locality},
        {"state", &options.state_column, &UsualStateNames(), "--state-column", &columns.state},
    }};
    auto describe = [&](std::size_t i) {
        return std::to_string(i + 1) + (i < headings.size() ? " '" + headings[i] + "'" : "");
    };
    auto taken = [&](std::size_t i) {
        return std::any_of(roles.begin(), roles.end(), [i](const Role& role) {
            return role.column->index == static_cast<int>(i);
        });
    };
    std::string missing;
    // Columns named by the person first, so that the usual names are looked
    // for only among the rest.
    for (const bool given_pass : {true, false}) {
        for (const Role& role : roles) {
            if (role.given->empty() != !given_pass) {
                continue;
            }
            std::vector<std::size_t> found;
            const std::string& given = *role.given;
            if (!given.empty() && given.find_first_not_of("0123456789") == std::string::npos) {
                const long number = std::strtol(given.c_str(), nullptr, 10);
                if (number >= 1 && static_cast<std::size_t>(number) <= width) {
                    found.push_back(static_cast<std::size_t>(number - 1));
                }
            } else {
                for (std::size_t i = 0; i < headings.size(); ++i) {
                    const std::string name = NormalizedHeading(headings[i]);
                    const bool match =
                        given.empty()
                            ? !taken(i) && std::find(role.usual->begin(), role.usual->end(),
                                                     name) != role.usual->end()
                            : name == NormalizedHeading(given);
                    if (match) {
                        found.push_back(i);
                    }
                }
            }
            if (found.size() > 1) {
                error = "The list has " + std::to_string(found.size()) +
                        " columns that could be the " + role.name + ": " + describe(found[0]);
                for (std::size_t k = 1; k < found.size(); ++k) {
                    error += (k + 1 == found.size() ? " and " : ", ") + describe(found[k]);
                }
                error += ". Name the one to use with " + std::string(role.option) + ".";
                return false;
            }
            if (found.empty()) {
                missing += missing.empty() ? "" : ", ";
                missing += given.empty() ? std::string(role.name) : "'" + given + "'";
                continue;
            }
            if (taken(found[0])) {
                error = "The list's column " + describe(found[0]) +
                        " cannot be two of the postcode, locality and state.";
                return false;
            }
            role.column->index = static_cast<int>(found[0]);
            role.column->heading = found[0] < headings.size() ? headings[found[0]] : "";
        }
    }
    if (!missing.empty()) {
        std::string names;
        for (const std::string& heading : headings) {
            names += names.empty() ? "" : ", ";
            names += "'" + heading + "'";
        }
        error = "The list has no column for " + missing + ". " +
                (headings.empty() ? "It has " + std::to_string(width) + " columns."
                                  : "Its header names: " + names + ".") +
                " Name the columns with --postcode-column, --locality-column and "
                "--state-column; if the header is not the first line, give its line with "
                "--header-line.";
        return false;
    }
    return true;
}

std::string DescribeColumns(const ListColumns& columns) {
    std::string out = "Checking";
    for (const auto& [name, column] :
         {std::pair{"the locality", &columns.locality}, std::pair{"the state", &columns.state},
          std::pair{"the postcode", &columns.postcode}}) {
        out += out == "Checking" ? " " : name == std::string_view("the postcode") ? " and " : ", ";
        out += std::string(name) + " in column " + std::to_string(column->index + 1);
        out += column->heading.empty() ? "" : " (" + column->heading + ")";
    }
    return out + ".\n";
}

std::string_view EncodingName(ListOutputEncoding encoding) {
    switch (encoding) {
        case ListOutputEncoding::Same:
            return "same";
        case ListOutputEncoding::Utf8:
            return "utf-8";
        case ListOutputEncoding::Utf8WithBom:
            return "utf-8-bom";
        case ListOutputEncoding::Windows1252:
            return "windows-1252";
    }
    return {};
}

std::string Summary(const CheckCounts& counts, double seconds) {
    char time[32];
    std::snprintf(time, sizeof time, "%.2f", seconds);
    std::string out = std::to_string(counts.rows) + (counts.rows == 1 ? " row" : " rows") +
                      " checked in " + time + " s:";
    for (int v = 0; v < kVerdictCount; ++v) {
        out += v == 0 ? " " : ", ";
        out += std::to_string(counts.verdicts[static_cast<std::size_t>(v)]) + " " +
               std::string(VerdictWord(static_cast<Verdict>(v)));
    }
    out += "\n";
    if (counts.other_width_rows > 0) {
        const std::size_t n = counts.other_width_rows;
        out += std::to_string(n) + (n == 1 ? " row has" : " rows have") +
               " another number of fields than the header's " +
               std::to_string(counts.header_width) + ": line";
        out += counts.other_width_lines.size() == 1 ? " " : "s ";
        for (std::size_t i = 0; i < counts.other_width_lines.size(); ++i) {
            const bool last = i + 1 == counts.other_width_lines.size();
            out += i == 0 ? "" : last && n == counts.other_width_lines.size() ? " and " : ", ";
            out += std::to_string(counts.other_width_lines[i]);
        }
        if (n > counts.other_width_lines.size()) {
            out += " and " + std::to_string(n - counts.other_width_lines.size()) + " more";
        }
        out += ".\n";
    }
    if (counts.blank_rows > 0) {
        out += std::to_string(counts.blank_rows) +
               (counts.blank_rows == 1 ? " blank row" : " blank rows") +
               " left as they were, without a verdict.\n";
    }
    return out;
}

ListWriter::ListWriter(Output& out, ListFormat format, bool problems_only)
    : out_(out), format_(std::move(format)), problems_only_(problems_only) {}

bool ListWriter::Emit(long line) {
    std::string* bytes = &line_;
    if (format_.encoding == ListOutputEncoding::Windows1252) {
        encoded_.clear();
        char32_t refused = 0;
        if (!AppendAsWindows1252(line_, encoded_, refused)) {
            std::string character;
            AppendCodePoint(refused, character);
            refusal_ = "Line " + std::to_string(line) + " holds '" + character +
                       "', which Windows-1252 has no byte for";
            line_.clear();
            return false;
        }
        bytes = &encoded_;
    }
    const bool ok = out_.Write(*bytes);
    line_.clear();
    failed_ = failed_ || !ok;
    return ok;
}

void ListWriter::AppendRow(const std::vector<std::string>& fields, std::size_t pad_to) {
    const char delimiter = format_.delimiter;
    for (std::size_t i = 0; i < std::max(fields.size(), pad_to); ++i) {
        if (i > 0) {
            line_ += delimiter;
        }
        if (i < fields.size()) {
            AppendCsvField(fields[i], delimiter, line_);
        }
    }
}

bool ListWriter::Head(const std::vector<std::string>& titles,
                      const std::vector<std::string>* headings) {
    line_ = format_.encoding == ListOutputEncoding::Utf8WithBom ? "\xEF\xBB\xBF" : "";
    for (const std::string& title : titles) {
        line_ += title;
        line_ += format_.line_end;
    }
    if (headings != nullptr) {
        if (format_.check_columns) {
            std::vector<std::string> heads = *headings;
            for (std::size_t i = heads.size(); i < format_.added_at; ++i) {
                heads.push_back("column " + std::to_string(i + 1));
            }
            heads.emplace_back(kVerdictHeading);
            heads.emplace_back(kSuggestionHeading);
            AppendRow(heads, 0);
        } else {
            AppendRow(*headings, 0);
        }
        line_ += format_.line_end;
    }
    return line_.empty() || Emit(1);
}

bool ListWriter::CheckedRow(const std::vector<std::string>& fields, long line, Verdict verdict,
                            std::string_view suggestion) {
    if (problems_only_ && verdict == Verdict::Ok) {
        return true;
    }
    if (!format_.check_columns) {
        AppendRow(fields, 0);
    } else {
        AppendRow(fields, format_.added_at);
        line_ += format_.delimiter;
        AppendCsvField(VerdictWord(verdict), format_.delimiter, line_);
        line_ += format_.delimiter;
        AppendCsvField(suggestion, format_.delimiter, line_);
    }
    line_ += format_.line_end;
    return Emit(line);
}

bool ListWriter::BlankRow(const std::vector<std::string>& fields, long line) {
    if (problems_only_) {
        return true;
    }
    AppendRow(fields, 0);
    line_ += IsEndMark(fields) ? std::string_view() : std::string_view(format_.line_end);
    return Emit(line);
}

namespace {

const std::string& FieldOf(const std::vector<std::string>& fields, const ListColumn& column) {
    static const std::string kEmpty;
    const auto i = static_cast<std::size_t>(column.index);
    return column.index >= 0 && i < fields.size() ? fields[i] : kEmpty;
}

}  // namespace

RowCheck CheckFields(const LocalityIndex& index, const ListColumns& columns,
                     const std::vector<std::string>& fields) {
    RowCheck row;
    row.result = index.Check(FieldOf(fields, columns.postcode), FieldOf(fields, columns.locality),
                             FieldOf(fields, columns.state));
    row.suggestion = SuggestionText(row.result);
    return row;
}

bool MakeSureFix(const LocalityIndex& index, const ListColumns& columns,
                 std::vector<std::string>& fields, RowCheck& row) {
    const std::optional<SureFix> fix =
        FindSureFix(index, FieldOf(fields, columns.postcode), FieldOf(fields, columns.locality),
                    FieldOf(fields, columns.state), row.result);
    if (!fix) {
        return false;
    }
    // A sure fix needs all three cells, so each is in the row.
    fields[static_cast<std::size_t>(columns.postcode.index)] = fix->postcode;
    fields[static_cast<std::size_t>(columns.locality.index)] = fix->locality;
    fields[static_cast<std::size_t>(columns.state.index)] = fix->state;
    row.result = {Verdict::Fixed, {}, 0};
    row.suggestion = fix->before;
    return true;
}

ListCheck::ListCheck(const LocalityIndex& index, const CheckOptions& options)
    : index_(index), options_(options) {}

std::size_t ListCheck::WidthWithoutOldColumns(std::size_t width) const {
    if (!had_added_columns_ || width <= header_width_) {
        return width;
    }
    return width <= header_width_ + 2 ? header_width_ : width - 2;
}

void ListCheck::DropOldColumns(std::vector<std::string>& fields) {
    if (had_added_columns_ && fields.size() > header_width_) {
        const std::size_t dropped = std::min<std::size_t>(2, fields.size() - header_width_);
        const auto first = fields.begin() + static_cast<std::ptrdiff_t>(header_width_);
        fields.erase(first, first + static_cast<std::ptrdiff_t>(dropped));
        // The UTF-8 fields keep their places among what is left.
        std::vector<std::size_t> kept;
        for (const std::size_t i : utf8_fields_) {
            if (i < header_width_) {
                kept.push_back(i);
            } else if (i >= header_width_ + dropped) {
                kept.push_back(i - dropped);
            }
        }
        utf8_fields_ = std::move(kept);
    }
}

void ListCheck::NoteHeader(const std::vector<std::string>& fields) {
    const std::size_t n = fields.size();
    had_added_columns_ = n >= 2 && NormalizedHeading(fields[n - 2]) == kVerdictHeading &&
                         NormalizedHeading(fields[n - 1]) == kSuggestionHeading;
    header_width_ = had_added_columns_ ? n - 2 : n;
    width_known_ = true;
}

void ListCheck::Measure(ByteSource& list) {
    StartMeasure(list);
    while (MeasureRows(std::size_t{1} << 16)) {
    }
}

void ListCheck::StartMeasure(ByteSource& list) {
    measured_ = true;
    measure_reader_ = std::make_unique<ListReader>(list, ListEncoding::Undecided);
    measure_reader_->SetDelimiter(options_.delimiter);
    measure_reader_->SetHeaderLine(options_.header_line);
    measure_first_ = true;
    if (!(options_.no_header ? measure_reader_->Start()
                             : measure_reader_->ReadHeader(measure_fields_))) {
        EndMeasure();
        return;
    }
    if (!options_.no_header) {
        NoteHeader(measure_fields_);
        measure_first_ = false;
    }
}

bool ListCheck::MeasureRows(std::size_t count) {
    if (!measure_reader_) {
        return false;
    }
    for (std::size_t n = 0; n < count; ++n) {
        if (!measure_reader_->ReadRow(measure_fields_)) {
            EndMeasure();
            return false;
        }
        if (IsEndMark(measure_fields_) || IsBlank(measure_fields_)) {
            continue;
        }
        if (measure_first_) {
            header_width_ = measure_fields_.size();
            width_known_ = true;
            measure_first_ = false;
        }
        widest_ = std::max(widest_, WidthWithoutOldColumns(measure_fields_.size()));
    }
    return true;
}

void ListCheck::EndMeasure() {
    measure_failure_ = measure_reader_->Failure();
    measured_bom_ = measure_reader_->HadByteOrderMark();
    measured_non_utf8_ = measure_reader_->SawNonUtf8();
    measure_reader_.reset();
    measure_fields_ = {};
}

bool ListCheck::FindColumns(ByteSource& list) {
    reader_ = std::make_unique<ListReader>(list, measured_ && measured_non_utf8_ && !measured_bom_
                                                     ? ListEncoding::Windows1252
                                                     : ListEncoding::Utf8);
    reader_->SetDelimiter(options_.delimiter);
    reader_->SetHeaderLine(options_.header_line);
    if (!(options_.no_header ? reader_->Start() : reader_->ReadHeader(headings_))) {
        titles_ = reader_->TitleLines();
        return false;
    }
    titles_ = reader_->TitleLines();
    utf8_headings_ = reader_->Utf8Fields();
    if (!measured_ && !options_.no_header) {
        NoteHeader(headings_);
    }
    headings_.resize(std::min(headings_.size(), header_width_));
    counts_.header_width = header_width_;
    // Read once only, a list without a header may have columns as far as a
    // row can reach.
    const std::size_t width = !options_.no_header ? headings_.size()
                              : measured_         ? std::max(header_width_, widest_)
                                                  : ListReader::kMaxFields;
    return FindListColumns(headings_, width, options_, columns_, column_error_);
}

void ListCheck::UseColumns(const ListColumns& columns) {
    columns_ = columns;
    column_error_.clear();
}

ListOutputEncoding ListCheck::Encoding() const {
    if (options_.encoding != ListOutputEncoding::Same) {
        return options_.encoding;
    }
    const bool bom = measured_ ? measured_bom_ : reader_ && reader_->HadByteOrderMark();
    const bool non_utf8 = measured_ ? measured_non_utf8_ : reader_ && reader_->SawNonUtf8();
    return bom        ? ListOutputEncoding::Utf8WithBom
           : non_utf8 ? ListOutputEncoding::Windows1252
                      : ListOutputEncoding::Utf8;
}

char ListCheck::Delimiter() const {
    return reader_ ? reader_->Delimiter() : ',';
}

std::string_view ListCheck::LineEnd() const {
    return reader_ ? reader_->LineEnd() : std::string_view("\r\n");
}

ListFormat ListCheck::Format() const {
    ListFormat format;
    format.encoding = Encoding();
    format.delimiter = Delimiter();
    format.line_end = std::string(LineEnd());
    format.added_at = std::max(header_width_, widest_);
    return format;
}

bool ListCheck::SawNonUtf8() const {
    return !measured_ && reader_ && reader_->SawNonUtf8() && !reader_->HadByteOrderMark();
}

void ListCheck::RereadHeadAsWindows1252() {
    auto reread = [](std::string& text) {
        const std::string bytes = std::move(text);
        text.clear();
        AppendWindows1252AsUtf8(bytes, text);
    };
    const std::vector<bool>& titles = reader_->Utf8Titles();
    for (std::size_t i = 0; i < titles_.size() && i < titles.size(); ++i) {
        if (titles[i]) {
            reread(titles_[i]);
        }
    }
    for (const std::size_t i : utf8_headings_) {
        if (i < headings_.size()) {
            reread(headings_[i]);
        }
    }
    utf8_headings_.clear();
}

const ListFailure& ListCheck::ListFailed() const {
    if (reader_ && reader_->Failure().kind != ListFailure::Kind::None) {
        return reader_->Failure();
    }
    return measure_failure_;
}

bool ListCheck::WriteHead(Output& sink) {
    writer_ = std::make_unique<ListWriter>(sink, Format(), options_.problems_only);
    const bool ok = writer_->Head(titles_, options_.no_header ? nullptr : &headings_);
    if (!writer_->Refusal().empty()) {
        refusal_ = writer_->Refusal() + ": write the list with --encoding utf-8 or utf-8-bom.";
    }
    return ok;
}

bool ListCheck::CheckRows(std::size_t count, Output& sink) {
    if (!writer_) {
        writer_ = std::make_unique<ListWriter>(sink, Format(), options_.problems_only);
    }
    const bool more = CheckRows(count, *writer_);
    if (refusal_.empty() && !writer_->Refusal().empty()) {
        refusal_ = writer_->Refusal() + ": write the list with --encoding utf-8 or utf-8-bom.";
    }
    return more;
}

bool ListCheck::CheckRows(std::size_t count, RowSink& sink) {
    for (std::size_t n = 0; n < count; ++n) {
        if (done_ || cancelled_ || stopped_) {
            return false;
        }
        if (!reader_->ReadRow(fields_)) {
            done_ = true;
            return false;
        }
        const long line = reader_->RowLine();
        utf8_fields_ = reader_->Utf8Fields();
        if (IsEndMark(fields_) || IsBlank(fields_)) {
            ++counts_.blank_rows;
            stopped_ = !sink.BlankRow(fields_, line);
            continue;
        }
        if (!width_known_) {
            header_width_ = fields_.size();
            counts_.header_width = header_width_;
            width_known_ = true;
        }
        DropOldColumns(fields_);
        widest_ = std::max(widest_, fields_.size());
        if (fields_.size() != header_width_) {
            if (counts_.other_width_lines.size() < CheckCounts::kShownLines) {
                counts_.other_width_lines.push_back(line);
            }
            ++counts_.other_width_rows;
        }
        RowCheck row = CheckFields(index_, columns_, fields_);
        if (options_.fix) {
            MakeSureFix(index_, columns_, fields_, row);
        }
        ++counts_.rows;
        ++counts_.verdicts[static_cast<std::size_t>(row.result.verdict)];
        stopped_ = !sink.CheckedRow(fields_, line, row.result.verdict, row.suggestion);
    }
    return !stopped_;
}

int ListCheck::Status() const {
    // A list whose every row is ok, or was surely fixed, needs nothing more.
    return counts_.verdicts[static_cast<std::size_t>(Verdict::Ok)] +
                       counts_.verdicts[static_cast<std::size_t>(Verdict::Fixed)] ==
                   counts_.rows
               ? 0
               : 1;
}

bool LoadLocalityIndex(const std::string& path, LocalityIndex& index, std::string& error) {
    PostcodeFileReader reader;
    if (reader.Open(path) != PostcodeFileReader::OpenResult::Opened) {
        error =
            "Cannot open the postcode file " + path + ": " + DescribeFailure(reader.LastFailure());
        return false;
    }
    return ReadLocalityIndex(reader, path, index, error);
}

bool ReadLocalityIndex(PostcodeFileReader& reader, const std::string& path, LocalityIndex& index,
                       std::string& error) {
    if (!ReadEveryRecord(reader, [&](const PostcodeRecord& record) { index.Add(record); })) {
        error =
            "Cannot read the postcode file " + path + ": " + DescribeFailure(reader.LastFailure());
        return false;
    }
    index.Finish();
    return true;
}

}  // namespace korvallestin
