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

void AppendJsonString(std::string_view text, std::string& out) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    out += '"';
}

// The summary as JSON for scripts: the counts, the columns, the encoding
// written and the exit status.
std::string SummaryJson(const ListCheck& check, double seconds, int status) {
    const CheckCounts& counts = check.Counts();
    char time[32];
    std::snprintf(time, sizeof time, "%.3f", seconds);
    std::string out = "{\"rows\": " + std::to_string(counts.rows) + ", \"verdicts\": {";
    for (int v = 0; v < kVerdictCount; ++v) {
        out += v == 0 ? "" : ", ";
        AppendJsonString(VerdictWord(static_cast<Verdict>(v)), out);
        out += ": " + std::to_string(counts.verdicts[static_cast<std::size_t>(v)]);
    }
    out += "}, \"blank_rows\": " + std::to_string(counts.blank_rows) +
           ", \"rows_of_other_width\": " + std::to_string(counts.other_width_rows) +
           ", \"lines_of_other_width\": [";
    for (std::size_t i = 0; i < counts.other_width_lines.size(); ++i) {
        out += (i == 0 ? "" : ", ") + std::to_string(counts.other_width_lines[i]);
    }
    out += "], \"columns\": {";
    const ListColumns& columns = check.Columns();
    bool first = true;
    for (const auto& [name, column] :
         {std::pair{"postcode", &columns.postcode}, std::pair{"locality", &columns.locality},
          std::pair{"state", &columns.state}}) {
        out += first ? "" : ", ";
        first = false;
        AppendJsonString(name, out);
        out += ": {\"number\": " + std::to_string(column->index + 1) + ", \"heading\": ";
        AppendJsonString(column->heading, out);
        out += "}";
    }
    out += "}, \"encoding\": ";
    AppendJsonString(EncodingName(check.Encoding()), out);
    out +=
        ", \"seconds\": " + std::string(time) + ", \"status\": " + std::to_string(status) + "}\n";
    return out;
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
    std::string error;
    if (!ReadLocalityIndex(reader, path, index, error)) {
        return Fail(err, error);
    }
    return true;
}

class Progress {
  public:
    Progress(Output& err, const CheckEnvironment& environment)
        : err_(err), environment_(environment), start_(Now()) {}

    void Rows(std::size_t rows) {
        if (!environment_.progress_on_terminal) {
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
            // One string made whole: GCC 12 warns of a false overlap in
            // "\r" + std::string(...) + "\r" once this is inlined.
            std::string blank(width_ + 2, ' ');
            blank.front() = '\r';
            blank.back() = '\r';
            err_.Write(blank);
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

// Standard input as it is read, copied into a scratch file that the check
// then reads again.
class CopyingSource final : public ByteSource {
  public:
    CopyingSource(ByteSource& in, std::FILE* copy) : in_(in), copy_(copy) {}
    std::ptrdiff_t Read(char* buffer, std::size_t size) override {
        const std::ptrdiff_t n = in_.Read(buffer, size);
        if (n > 0 && std::fwrite(buffer, 1, static_cast<std::size_t>(n), copy_) !=
                         static_cast<std::size_t>(n)) {
            copy_failed_ = true;
            return -1;
        }
        return n;
    }
    std::string Error() const override {
        return copy_failed_
                   ? "standard input could not be kept in a scratch file (is the disk full?)"
                   : in_.Error();
    }

  private:
    ByteSource& in_;
    std::FILE* copy_;
    bool copy_failed_ = false;
};

struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Rows checked between looks at the clock (and, in a window, at Cancel).
constexpr std::size_t kBatchRows = 4096;

// The output, or the summary file, may replace no file the check reads, and
// is refused before anything is read.
bool RefuseReadFiles(const CliOptions& options, Output& err) {
    const CheckOptions& check = options.check;
    const std::string data_path =
        options.data_file.empty() ? PostcodeFilePath(ProgramFolder()) : options.data_file;
    for (const auto& [path, what] :
         {std::pair{&check.output, "output"}, std::pair{&check.summary_json, "summary file"}}) {
        if (path->empty() || *path == "-") {
            continue;
        }
        if (check.input != "-" && SameFile(check.input, *path)) {
            return Fail(err, std::string("the ") + what + " " + *path +
                                 " is the list being checked; give another");
        }
        if (SameFile(data_path, *path)) {
            return Fail(err, std::string("the ") + what + " " + *path +
                                 " is the postcode file; give another");
        }
    }
    if (!check.output.empty() &&
        (check.output == check.summary_json || SameFile(check.output, check.summary_json))) {
        return Fail(err, "the summary file " + check.summary_json + " is the output; give another");
    }
    std::string why;
    if (!check.output.empty() && !CheckOutputName(check.output, why)) {
        return Fail(err, "Cannot write the output " + check.output + ": " + why);
    }
    return true;
}

}  // namespace

int RunCheck(const CliOptions& options, ByteSource& in, Output& out, Output& err,
             const CheckEnvironment& environment) {
    const CheckOptions& check = options.check;
    const bool from_file = check.input != "-";
    if (!RefuseReadFiles(options, err)) {
        return 2;
    }
    CheckEnvironment shown = environment;
    shown.progress_on_terminal = environment.progress_on_terminal && !check.quiet;
    Progress progress(err, shown);
    // Said at once, before the postcode file is read.
    if (!from_file && environment.input_on_terminal && !check.quiet) {
        err.Write(
            "korvallestin-cli: reading the list from standard input: type or paste it, then "
            "end it with Ctrl-D on a line of its own (on Windows Ctrl-Z, then Enter); Ctrl-C "
            "stops.\n");
    }
    LocalityIndex index;
    if (!LoadIndex(options.data_file, index, err)) {
        return 2;
    }

    // The list is read twice: once to measure it, then to check it.
    ListCheck list(index, check);
    ReadOnlyFile file;
    std::unique_ptr<std::FILE, CloseFile> scratch;
    if (from_file) {
        if (!OpenList(check.input, file, err)) {
            return 2;
        }
        FileSource source(file);
        list.Measure(source);
        file.Close();
        if (!OpenList(check.input, file, err)) {
            return 2;
        }
    } else {
        std::string error;
        scratch.reset(OpenScratchFile(error));
        if (!scratch) {
            Fail(err, "Cannot keep standard input to read it twice: " + error);
            return 2;
        }
        CopyingSource copying(in, scratch.get());
        list.Measure(copying);
        std::rewind(scratch.get());
    }
    FileSource file_source(file);
    StreamSource scratch_source(scratch.get());
    ByteSource& source = from_file ? static_cast<ByteSource&>(file_source) : scratch_source;
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

    if (!list.FindColumns(source)) {
        if (list.ListFailed().kind != ListFailure::Kind::None) {
            Fail(err, "Cannot read the list " + list_name + ": " +
                          DescribeListFailure(list.ListFailed()));
        } else {
            std::string message = list.ColumnError();
            message.insert(std::string_view("The list").size(), " " + list_name);
            Fail(err, message);
        }
        return 2;
    }
    if (!check.quiet) {
        err.Write(DescribeColumns(list.Columns()));
    }
    bool going = list.WriteHead(sink);
    while (going && list.CheckRows(kBatchRows, sink)) {
        progress.Rows(list.Counts().rows);
    }
    progress.Clear();
    const std::string left_as_it_was =
        check.output.empty() ? std::string() : " " + check.output + " is left as it was.";
    if (!list.EncodingRefusal().empty()) {
        Fail(err,
             "Cannot write the list in Windows-1252. " + list.EncodingRefusal() + left_as_it_was);
        return 2;
    }
    if (list.OutputFailed() || !sink.Flush()) {
        if (sink.ReaderGone()) {
            return 2;  // a reader that has gone (`| head`) wants no message
        }
        Fail(err, "Cannot write the output" +
                      (check.output.empty() ? std::string() : " " + check.output) +
                      " (is the disk full?)");
        return 2;
    }
    if (list.ListFailed().kind != ListFailure::Kind::None) {
        Fail(err, "Cannot read the list " + list_name +
                      " further: " + DescribeListFailure(list.ListFailed()) +
                      (check.output.empty() ? " The rows before it are written above."
                                            : left_as_it_was));
        if (!check.quiet) {
            err.Write(Summary(list.Counts(), progress.Elapsed()));
        }
        return 2;
    }
    if (!check.output.empty()) {
        std::string error;
        if (!output_file.Commit(error)) {
            Fail(err, "Cannot write " + check.output + ": " + error);
            return 2;
        }
    }
    const int status = list.Status();
    const double seconds = progress.Elapsed();
    if (!check.summary_json.empty()) {
        const std::string json = SummaryJson(list, seconds, status);
        if (check.summary_json == "-") {
            out.Write(json);
        } else {
            ReplacingFileOutput summary_file;
            std::string error;
            if (!summary_file.Open(check.summary_json, error) || !summary_file.Write(json) ||
                !summary_file.Flush() || !summary_file.Commit(error)) {
                Fail(err, "Cannot write the summary " + check.summary_json + ": " +
                              (error.empty() ? "is the disk full?" : error));
                return 2;
            }
        }
    }
    if (!check.quiet) {
        err.Write(Summary(list.Counts(), seconds));
    }
    return status;
}

}  // namespace korvallestin
