#include "check_command.h"

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

#include "data_file.h"
#include "find_command.h"
#include "platform.h"
#include "row_formats.h"

namespace korvallestin {

namespace {

constexpr std::string_view kProgram = "korvallestin-cli: ";

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    return out;
}

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

bool Fail(Output& err, const std::string& message) {
    err.Write(std::string(kProgram) + message + "\n");
    return false;
}

// Builds the index from the postcode file.
bool LoadIndex(const std::string& data_file, LocalityIndex& index, Output& err) {
    PostcodeFileReader reader;
    std::string path;
    if (!OpenDataFile(data_file, reader, path, err)) {
        return false;
    }
    PostcodeRecord record;
    bool ok = reader.ReadRecord(record);  // the header
    while (ok && !reader.AtEnd()) {
        ok = reader.ReadRecord(record);
        if (ok) {
            index.Add(record);
        }
    }
    if (!ok) {
        ReportReadFailure(path, reader, err);
        return false;
    }
    index.Finish();
    return true;
}

std::string JoinSuggestions(const std::vector<Place>& places) {
    std::string out;
    for (const Place& place : places) {
        out += out.empty() ? "" : "; ";
        out += place.Text();
    }
    return out;
}

class Progress {
  public:
    Progress(Output& err, const CheckEnvironment& environment)
        : err_(err), environment_(environment), start_(Now()) {}

    void Rows(std::size_t rows) {
        if (!environment_.progress_on_terminal || rows % 4096 != 0) {
            return;
        }
        const double now = Now();
        if (now - start_ < 1.0 || now - last_ < 0.2) {
            return;
        }
        last_ = now;
        const std::string line = "checked " + std::to_string(rows) + " rows...";
        width_ = std::max(width_, line.size());
        err_.Write("\r" + line);
        err_.Flush();
    }
    void Clear() {
        if (width_ > 0) {
            err_.Write("\r" + std::string(width_, ' ') + "\r");
            width_ = 0;
        }
    }
    double Elapsed() const { return Now() - start_; }

  private:
    double Now() const { return environment_.seconds ? environment_.seconds() : 0.0; }

    Output& err_;
    const CheckEnvironment& environment_;
    double start_;
    double last_ = 0;
    std::size_t width_ = 0;
};

}  // namespace

int FindColumn(const std::vector<std::string>& headers, const std::string& given,
               const std::vector<std::string>& usual) {
    if (!given.empty()) {
        if (given.find_first_not_of("0123456789") == std::string::npos) {
            const long number = std::strtol(given.c_str(), nullptr, 10);
            return number >= 1 && static_cast<std::size_t>(number) <= headers.size()
                       ? static_cast<int>(number - 1)
                       : -1;
        }
        for (std::size_t i = 0; i < headers.size(); ++i) {
            if (Lower(Trimmed(headers[i])) == Lower(Trimmed(given))) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
    for (std::size_t i = 0; i < headers.size(); ++i) {
        for (const std::string& name : usual) {
            if (Lower(Trimmed(headers[i])) == name) {
                return static_cast<int>(i);
            }
        }
    }
    return -1;
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
    return out + "\n";
}

int RunCheck(const CliOptions& options, ByteSource& in, Output& out, Output& err,
             const CheckEnvironment& environment) {
    const CheckOptions& check = options.check;
    const bool from_file = check.input != "-";
    // The output may replace no file the check reads, and is refused before
    // anything is read.
    if (!check.output.empty()) {
        if (from_file && SameFile(check.input, check.output)) {
            Fail(err, "the output " + check.output + " is the list being checked; give another");
            return 2;
        }
        const std::string data_path =
            options.data_file.empty() ? PostcodeFilePath(ProgramFolder()) : options.data_file;
        if (SameFile(data_path, check.output)) {
            Fail(err, "the output " + check.output + " is the postcode file; give another");
            return 2;
        }
        std::string why;
        if (!CheckOutputName(check.output, why)) {
            Fail(err, "Cannot write the output " + check.output + ": " + why);
            return 2;
        }
    }
    Progress progress(err, environment);
    LocalityIndex index;
    if (!LoadIndex(options.data_file, index, err)) {
        return 2;
    }

    ReadOnlyFile file;
    FileSource file_source(file);
    if (from_file) {
        const ReadOnlyFile::Status status = file.Open(check.input);
        if (status != ReadOnlyFile::Status::Opened) {
            ReadFailure failure;
            failure.kind = status == ReadOnlyFile::Status::NotFound ? ReadFailure::Kind::NotFound
                           : status == ReadOnlyFile::Status::Folder ? ReadFailure::Kind::Folder
                           : status == ReadOnlyFile::Status::NotRegular
                               ? ReadFailure::Kind::NotRegular
                               : ReadFailure::Kind::System;
            failure.reason = file.Error();
            Fail(err, "Cannot open the list " + check.input + ": " + DescribeFailure(failure));
            return 2;
        }
    }
    ListReader reader(from_file ? static_cast<ByteSource&>(file_source) : in);
    const std::string list_name = from_file ? check.input : "(standard input)";

    ReplacingFileOutput output_file;
    if (!check.output.empty()) {
        std::string error;
        if (!output_file.Open(check.output, error)) {
            Fail(err, "Cannot write beside " + check.output + ": " + error);
            return 2;
        }
    }
    Output& sink = check.output.empty() ? out : output_file;

    std::vector<std::string> headers;
    if (!reader.ReadHeader(headers)) {
        Fail(err,
             "Cannot read the list " + list_name + ": " + DescribeListFailure(reader.Failure()));
        return 2;
    }
    const int postcode = FindColumn(headers, check.postcode_column,
                                    {"postcode", "post code", "pcode", "postal code"});
    const int locality = FindColumn(headers, check.locality_column, {"suburb", "locality", "town"});
    const int state = FindColumn(headers, check.state_column, {"state"});
    if (postcode < 0 || locality < 0 || state < 0) {
        std::string missing;
        for (const auto& [column, name, given] :
             {std::tuple{postcode, "postcode", &check.postcode_column},
              std::tuple{locality, "locality", &check.locality_column},
              std::tuple{state, "state", &check.state_column}}) {
            if (column < 0) {
                missing += missing.empty() ? "" : ", ";
                missing += given->empty() ? std::string(name) : "'" + *given + "'";
            }
        }
        std::string found;
        for (const std::string& header : headers) {
            found += found.empty() ? "" : ", ";
            found += "'" + header + "'";
        }
        Fail(err, "The list " + list_name + " has no column for " + missing +
                      ". Its header names: " + found +
                      ". Name the columns with --postcode-column, --locality-column and "
                      "--state-column.");
        return 2;
    }

    const char delimiter = reader.Delimiter();
    const std::string line_end(reader.LineEnd());
    std::string line = reader.HadByteOrderMark() ? "\xEF\xBB\xBF" : "";
    auto write_row = [&](const std::vector<std::string>& fields, std::string_view verdict,
                         const std::string& suggestion) {
        for (const std::string& field : fields) {
            AppendCsvField(field, delimiter, line);
            line += delimiter;
        }
        AppendCsvField(verdict, delimiter, line);
        line += delimiter;
        AppendCsvField(suggestion, delimiter, line);
        line += line_end;
        const bool ok = sink.Write(line);
        line.clear();
        return ok;
    };
    bool written = write_row(headers, "verdict", "suggestion");

    CheckCounts counts;
    std::vector<std::string> fields;
    static const std::string kEmpty;
    auto field = [&](int column) -> const std::string& {
        return static_cast<std::size_t>(column) < fields.size()
                   ? fields[static_cast<std::size_t>(column)]
                   : kEmpty;
    };
    while (written && reader.ReadRow(fields)) {
        const CheckResult result = index.Check(field(postcode), field(locality), field(state));
        ++counts.rows;
        ++counts.verdicts[static_cast<std::size_t>(result.verdict)];
        if (!check.problems_only || result.verdict != Verdict::Ok) {
            written =
                write_row(fields, VerdictWord(result.verdict), JoinSuggestions(result.suggestions));
        }
        progress.Rows(counts.rows);
    }
    progress.Clear();
    written = written && sink.Flush();
    if (!written) {
        if (sink.ReaderGone()) {
            return 2;  // a reader that has gone (`| head`) wants no message
        }
        Fail(err, "Cannot write the output" +
                      (check.output.empty() ? std::string() : " " + check.output) +
                      " (is the disk full?)");
        return 2;
    }
    if (reader.Failure().kind != ListFailure::Kind::None) {
        Fail(err, "Cannot read the list " + list_name +
                      " further: " + DescribeListFailure(reader.Failure()) +
                      (check.output.empty() ? " The rows before it are written above."
                                            : " " + check.output + " is left as it was."));
        err.Write(Summary(counts, progress.Elapsed()));
        return 2;
    }
    if (!check.output.empty()) {
        std::string error;
        if (!output_file.Commit(error)) {
            Fail(err, "Cannot write " + check.output + ": " + error);
            return 2;
        }
    }
    err.Write(Summary(counts, progress.Elapsed()));
    return counts.verdicts[static_cast<std::size_t>(Verdict::Ok)] == counts.rows ? 0 : 1;
}

}  // namespace korvallestin
