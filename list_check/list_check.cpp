#include "list_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <tuple>

#include "letter_case.h"
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
        out += LowerAsciiLetter(c);
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

ListCheck::ListCheck(const LocalityIndex& index, const CheckOptions& options)
    : index_(index), options_(options) {}

std::size_t ListCheck::WidthWithoutOldColumns(std::size_t width) const {
    if (!had_added_columns_ || width <= header_width_) {
        return width;
    }
    return width <= header_width_ + 2 ? header_width_ : width - 2;
}

void ListCheck::DropOldColumns(std::vector<std::string>& fields) const {
    if (had_added_columns_ && fields.size() > header_width_) {
        const auto first = fields.begin() + static_cast<std::ptrdiff_t>(header_width_);
        fields.erase(first,
                     first + std::min<std::ptrdiff_t>(
                                 2, static_cast<std::ptrdiff_t>(fields.size() - header_width_)));
    }
}

void ListCheck::Measure(ByteSource& list) {
    ListReader reader(list, ListEncoding::Undecided);
    reader.SetDelimiter(options_.delimiter);
    reader.SetHeaderLine(options_.header_line);
    std::vector<std::string> fields;
    bool first = true;
    if (options_.no_header ? reader.Start() : reader.ReadHeader(fields)) {
        if (!options_.no_header) {
            const std::size_t n = fields.size();
            had_added_columns_ = n >= 2 && NormalizedHeading(fields[n - 2]) == kVerdictHeading &&
                                 NormalizedHeading(fields[n - 1]) == kSuggestionHeading;
            header_width_ = had_added_columns_ ? n - 2 : n;
            first = false;
        }
        while (reader.ReadRow(fields)) {
            if (IsEndMark(fields) || IsBlank(fields)) {
                continue;
            }
            if (first) {
                header_width_ = fields.size();
                first = false;
            }
            widest_ = std::max(widest_, WidthWithoutOldColumns(fields.size()));
        }
    }
    measure_failure_ = reader.Failure();
    measured_bom_ = reader.HadByteOrderMark();
    measured_non_utf8_ = reader.SawNonUtf8();
}

bool ListCheck::FindColumns(ByteSource& list) {
    reader_ = std::make_unique<ListReader>(list, measured_non_utf8_ && !measured_bom_
                                                     ? ListEncoding::Windows1252
                                                     : ListEncoding::Utf8);
    reader_->SetDelimiter(options_.delimiter);
    reader_->SetHeaderLine(options_.header_line);
    if (!(options_.no_header ? reader_->Start() : reader_->ReadHeader(headings_))) {
        return false;
    }
    headings_.resize(std::min(headings_.size(), header_width_));
    added_at_ = std::max(header_width_, widest_);
    counts_.header_width = header_width_;
    switch (options_.encoding) {
        case ListOutputEncoding::Same:
            encoding_ = measured_bom_        ? ListOutputEncoding::Utf8WithBom
                        : measured_non_utf8_ ? ListOutputEncoding::Windows1252
                                             : ListOutputEncoding::Utf8;
            break;
        default:
            encoding_ = options_.encoding;
    }
    return FindListColumns(headings_, options_.no_header ? added_at_ : headings_.size(), options_,
                           columns_, column_error_);
}

const ListFailure& ListCheck::ListFailed() const {
    if (reader_ && reader_->Failure().kind != ListFailure::Kind::None) {
        return reader_->Failure();
    }
    return measure_failure_;
}

bool ListCheck::Emit(Output& sink, long line) {
    std::string* bytes = &line_;
    if (encoding_ == ListOutputEncoding::Windows1252) {
        encoded_.clear();
        char32_t refused = 0;
        if (!AppendAsWindows1252(line_, encoded_, refused)) {
            std::string character;
            AppendCodePoint(refused, character);
            refusal_ = "Line " + std::to_string(line) + " holds '" + character +
                       "', which Windows-1252 has no byte for: write the list with --encoding "
                       "utf-8 or utf-8-bom.";
            return false;
        }
        bytes = &encoded_;
    }
    const bool ok = sink.Write(*bytes);
    line_.clear();
    output_failed_ = !ok;
    return ok;
}

void ListCheck::AppendRow(const std::vector<std::string>& fields, std::size_t pad_to) {
    const char delimiter = reader_->Delimiter();
    for (std::size_t i = 0; i < std::max(fields.size(), pad_to); ++i) {
        if (i > 0) {
            line_ += delimiter;
        }
        if (i < fields.size()) {
            AppendCsvField(fields[i], delimiter, line_);
        }
    }
}

bool ListCheck::WriteHead(Output& sink) {
    const std::string_view line_end = reader_->LineEnd();
    line_ = encoding_ == ListOutputEncoding::Utf8WithBom ? "\xEF\xBB\xBF" : "";
    for (const std::string& title : reader_->TitleLines()) {
        line_ += title;
        line_ += line_end;
    }
    if (!options_.no_header) {
        std::vector<std::string> heads = headings_;
        for (std::size_t i = heads.size(); i < added_at_; ++i) {
            heads.push_back("column " + std::to_string(i + 1));
        }
        heads.emplace_back(kVerdictHeading);
        heads.emplace_back(kSuggestionHeading);
        AppendRow(heads, 0);
        line_ += line_end;
    }
    return line_.empty() || Emit(sink, 1);
}

bool ListCheck::CheckRows(std::size_t count, Output& sink) {
    static const std::string kEmpty;
    auto field = [this](const ListColumn& column) -> const std::string& {
        const auto i = static_cast<std::size_t>(column.index);
        return i < fields_.size() ? fields_[i] : kEmpty;
    };
    const std::string_view line_end = reader_->LineEnd();
    for (std::size_t n = 0; n < count; ++n) {
        if (done_ || cancelled_ || output_failed_ || !refusal_.empty()) {
            return false;
        }
        if (!reader_->ReadRow(fields_)) {
            done_ = true;
            return false;
        }
        const long line = reader_->RowLine();
        if (IsEndMark(fields_) || IsBlank(fields_)) {
            ++counts_.blank_rows;
            if (!options_.problems_only) {
                AppendRow(fields_, 0);
                line_ += IsEndMark(fields_) ? std::string_view() : line_end;
                Emit(sink, line);
            }
            continue;
        }
        DropOldColumns(fields_);
        if (fields_.size() != header_width_) {
            if (counts_.other_width_lines.size() < CheckCounts::kShownLines) {
                counts_.other_width_lines.push_back(line);
            }
            ++counts_.other_width_rows;
        }
        CheckResult result =
            index_.Check(field(columns_.postcode), field(columns_.locality), field(columns_.state));
        std::string suggestion = SuggestionText(result);
        if (options_.fix) {
            if (const std::optional<SureFix> fix =
                    FindSureFix(index_, field(columns_.postcode), field(columns_.locality),
                                field(columns_.state), result)) {
                // A sure fix needs all three cells, so each is in the row.
                fields_[static_cast<std::size_t>(columns_.postcode.index)] = fix->postcode;
                fields_[static_cast<std::size_t>(columns_.locality.index)] = fix->locality;
                fields_[static_cast<std::size_t>(columns_.state.index)] = fix->state;
                result = {Verdict::Fixed, {}, 0};
                suggestion = fix->before;
            }
        }
        ++counts_.rows;
        ++counts_.verdicts[static_cast<std::size_t>(result.verdict)];
        if (!options_.problems_only || result.verdict != Verdict::Ok) {
            AppendRow(fields_, added_at_);
            line_ += reader_->Delimiter();
            AppendCsvField(VerdictWord(result.verdict), reader_->Delimiter(), line_);
            line_ += reader_->Delimiter();
            AppendCsvField(suggestion, reader_->Delimiter(), line_);
            line_ += line_end;
            Emit(sink, line);
        }
    }
    return !output_failed_ && refusal_.empty();
}

int ListCheck::Status() const {
    // A list whose every row is ok, or was surely fixed, needs nothing more.
    return counts_.verdicts[static_cast<std::size_t>(Verdict::Ok)] +
                       counts_.verdicts[static_cast<std::size_t>(Verdict::Fixed)] ==
                   counts_.rows
               ? 0
               : 1;
}

}  // namespace korvallestin
