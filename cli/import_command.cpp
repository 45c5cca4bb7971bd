#include "import_command.h"

#include <functional>
#include <string_view>
#include <vector>

#include "data_file.h"
#include "find_command.h"
#include "import_report.h"
#include "install_data.h"
#include "list_reader.h"
#include "platform.h"
#include "postcode_import.h"

namespace korvallestin {

namespace {

constexpr std::string_view kProgram = "korvallestin-cli: ";

bool Fail(Output& err, const std::string& message) {
    err.Write(std::string(kProgram) + message + "\n");
    return false;
}

// The records of a postcode file, its header aside; false with the reason.
bool ReadPostcodeFile(const std::string& path, std::vector<PostcodeRecord>& records,
                      std::string& error) {
    PostcodeFileReader reader;
    if (reader.Open(path) != PostcodeFileReader::OpenResult::Opened) {
        error =
            "Cannot open the postcode file " + path + ": " + DescribeFailure(reader.LastFailure());
        return false;
    }
    const bool ok =
        ReadEveryRecord(reader, [&](const PostcodeRecord& record) { records.push_back(record); });
    if (!ok) {
        error =
            "Cannot read the postcode file " + path + ": " + DescribeFailure(reader.LastFailure());
    }
    return ok;
}

bool WriteFile(const std::string& path, const std::string& what,
               const std::function<bool(Output&)>& write, Output& err) {
    ReplacingFileOutput file;
    std::string why;
    if (!file.Open(path, why)) {
        return Fail(err, "cannot write the " + what + " " + path + ": " + why);
    }
    if (!write(file)) {
        return Fail(err, "cannot write the " + what + " " + path + " (is the disk full?)");
    }
    if (!file.Commit(why)) {
        return Fail(err, "cannot write the " + what + " " + path + ": " + why);
    }
    return true;
}

}  // namespace

int RunImportData(const CliOptions& options, const std::string& program_folder, Output& out,
                  Output& err) {
    const ImportOptions& d = options.import_data;
    const std::string programs_file =
        options.data_file.empty() ? PostcodeFilePath(program_folder) : options.data_file;
    const std::string in_use = d.against.empty() ? programs_file : d.against;

    // Files that must not be written over, refused before anything is read.
    if (!d.output.empty() && SameFile(d.output, d.input)) {
        Fail(err, "the output " + d.output + " is the list being imported");
        return 2;
    }
    if (!d.output.empty() && SameFile(d.output, programs_file)) {
        Fail(err, "the output " + d.output +
                      " is the postcode file in use; to replace it, give --install, which "
                      "keeps the old one");
        return 2;
    }
    for (const std::string& other : {d.input, in_use, d.output}) {
        if (!d.report.empty() && (SameFile(d.report, other) || d.report == other)) {
            Fail(err, "the report " + d.report + " would be written over " + other);
            return 2;
        }
    }

    ReadOnlyFile file;
    if (!OpenList(d.input, file, err)) {
        return 2;
    }
    FileSource source(file);
    ImportResult result;
    std::string error;
    if (!ImportPostcodeList(source, result, error)) {
        Fail(err, "Cannot import " + d.input + ": " + error);
        return 2;
    }
    file.Close();

    ImportReport report;
    report.source = d.input;
    report.result = &result;
    std::vector<PostcodeRecord> before;
    if (ReadPostcodeFile(in_use, before, error)) {
        report.compared_with = in_use;
        report.compared_records = static_cast<long>(before.size());
        report.changes = ComparePlaces(before, result.records);
    } else if (!d.against.empty()) {
        Fail(err, error);
        return 2;
    } else {
        report.not_compared = error;
    }

    if (result.records.empty()) {
        out.Write(ImportReportText(report));
        Fail(err, "Cannot import " + d.input + ": every record of it was left out.");
        return 2;
    }
    if (!d.output.empty()) {
        if (!WriteFile(
                d.output, "postcode file",
                [&](Output& o) { return WritePostcodeFile(result.records, o); }, err)) {
            return 2;
        }
        report.written_to = d.output;
    } else if (d.install) {
        const InstallPlaces places = InstallPlacesFor(program_folder);
        if (!InstallPostcodeFile(places, result.records, error)) {
            Fail(err, error +
                          " (the file of an installed program may need the rights of "
                          "its owner: sudo korvallestin-cli import-data ... --install)");
            return 2;
        }
        report.written_to = places.data;
        report.previous = places.had_data ? places.previous : std::string();
    }
    if (!d.report.empty() &&
        !WriteFile(
            d.report, "report", [&](Output& o) { return WriteImportReportCsv(report, o); }, err)) {
        return 2;
    }
    out.Write(ImportReportText(report));
    return 0;
}

}  // namespace korvallestin
