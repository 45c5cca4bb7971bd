#include "find_command.h"

#include <array>
#include <string_view>
#include <vector>

#include "data_file.h"
#include "locality_index.h"
#include "platform.h"
#include "result_row_store.h"
#include "row_formats.h"

namespace korvallestin {

namespace {

constexpr std::string_view kProgram = "korvallestin-cli: ";

// The next character of UTF-8 text: its code and its bytes. A byte that
// begins no valid character stands for itself.
std::string_view NextCharacter(std::string_view text, std::size_t at, int& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    code = lead;
    if (lead >= 0xC0) {
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (at + length > text.size()) {
            return text.substr(at, 1);
        }
        code = lead & (0x3F >> (length - 1));
        for (std::size_t i = 1; i < length; ++i) {
            code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
        }
    }
    return text.substr(at, length);
}

std::string Describe(std::string_view character, int code) {
    if (code < 32 || code == 127) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(code));
        return "the control character " + std::string(hex);
    }
    std::string quoted = "'";
    quoted.append(character);
    quoted += '\'';
    return quoted;
}

// Types `text` into a box whose keystroke filter is `filter`: each character
// as the filter gives it back. False, with the refused character in `error`,
// when the filter drops one.
bool TypeInto(std::string_view text, int (*filter)(int), std::string_view box, std::string& out,
              std::string& error) {
    for (std::size_t at = 0; at < text.size();) {
        int code = 0;
        const std::string_view character = NextCharacter(text, at, code);
        at += character.size();
        const int typed = filter(code);
        // Backspace passes every box's filter, but as a key that deletes; in
        // an argument it is no character of the criterion.
        if (typed == 0 || typed == 8) {
            error = "the " + std::string(box) + " cannot hold " + Describe(character, code) +
                    (typed == 0 ? " (the window's " + std::string(box) +
                                      " box takes only digits and the full stop)"
                                : " (in the window's " + std::string(box) +
                                      " box it is the key that deletes)");
            return false;
        }
        if (typed == code) {
            out.append(character);
        } else {
            out.push_back(static_cast<char>(typed));
        }
    }
    return true;
}

using RowFields = std::array<std::string_view, PostcodeRecord::kFieldCount>;

void FillFields(const PostcodeRecord& record, RowFields& fields) {
    for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
        fields[static_cast<std::size_t>(i)] = record.Field(i);
    }
}

std::string NothingFound(const SearchCriteria& criteria) {
    if (criteria.LocalityText.empty()) {
        return "No record found.";
    }
    std::string text = "No locality";
    if (!criteria.PostcodeText.empty()) {
        text += " with postcode " + criteria.PostcodeText;
    }
    text += criteria.MatchMode == LocalityMatchMode::Contains ? " contains " : " begins with ";
    text += criteria.LocalityText;
    if (!criteria.StateText.empty()) {
        text += " in " + criteria.StateText;
    }
    return text + ".";
}

// Reads the file again for how many records the criteria with `postcode`
// instead of theirs would find.
std::size_t CountWithPostcode(const std::string& path, SearchCriteria criteria,
                              const std::string& postcode) {
    criteria.PostcodeText = postcode;
    PostcodeFileReader reader;
    PostcodeRecord record;
    std::size_t found = 0;
    if (reader.Open(path) != PostcodeFileReader::OpenResult::Opened || !reader.ReadRecord(record)) {
        return 0;
    }
    while (!reader.AtEnd() && reader.ReadRecord(record)) {
        found += RecordMatches(record, criteria) ? 1 : 0;
    }
    return found;
}

// Reads the file again for the places whose names are nearest the criterion.
std::vector<Place> NearestPlaces(const std::string& path, const SearchCriteria& criteria) {
    PostcodeFileReader reader;
    std::vector<Place> places;
    PostcodeRecord record;
    if (reader.Open(path) != PostcodeFileReader::OpenResult::Opened || !reader.ReadRecord(record)) {
        return {};
    }
    while (!reader.AtEnd() && reader.ReadRecord(record)) {
        places.push_back({record.Locality, record.State, record.Postcode});
    }
    return NearestForLookUp(places, criteria.LocalityText,
                            criteria.MatchMode == LocalityMatchMode::Contains, criteria.StateText,
                            criteria.PostcodeText);
}

}  // namespace

std::optional<SearchCriteria> ShapeCriteria(const FindOptions& options, std::string& error) {
    SearchCriteria criteria;
    if (!TypeInto(options.postcode, txtPostCode_KeyPress, "postcode", criteria.PostcodeText,
                  error) ||
        !TypeInto(options.state, cboState_KeyPress, "state", criteria.StateText, error) ||
        !TypeInto(options.locality, txtLocality_KeyPress, "locality", criteria.LocalityText,
                  error)) {
        return std::nullopt;
    }
    criteria.MatchMode =
        options.contains ? LocalityMatchMode::Contains : LocalityMatchMode::BeginsWith;
    return criteria;
}

bool OpenDataFile(const std::string& data_file, PostcodeFileReader& reader, std::string& path,
                  Output& err) {
    std::string folder;
    if (data_file.empty()) {
        folder = ProgramFolder();
        path = PostcodeFilePath(folder);
    } else {
        path = data_file;
    }
    switch (reader.Open(path)) {
        case PostcodeFileReader::OpenResult::Opened:
            return true;
        case PostcodeFileReader::OpenResult::NotFound:
            if (data_file.empty()) {
                // Two or more files that differ from the name only in letter
                // case: none is taken, and the message says so.
                const std::vector<std::string> alike = NamesDifferingInCase(folder);
                if (alike.size() > 1) {
                    std::string names;
                    for (const std::string& name : alike) {
                        names += (names.empty() ? "" : ", ") + name;
                    }
                    err.Write(std::string(kProgram) + "No postcodes.csv in the " + folder +
                              " folder, but " + std::to_string(alike.size()) +
                              " files whose names differ from it only in letter case (" + names +
                              "): keep one of them, or name one with --data.\n");
                    return false;
                }
                err.Write(std::string(kProgram) + "Postcodes.CSV file missing from " + folder +
                          " folder.\n");
                return false;
            }
            break;
        case PostcodeFileReader::OpenResult::OtherFailure:
            break;
    }
    err.Write(std::string(kProgram) + "Cannot open the postcode file " + path + ": " +
              DescribeFailure(reader.LastFailure()) + "\n");
    return false;
}

void ReportReadFailure(const std::string& path, const PostcodeFileReader& reader, Output& err) {
    err.Write(std::string(kProgram) + "Cannot read the postcode file " + path + ": " +
              DescribeFailure(reader.LastFailure()) + "\n");
}

int RunFind(const CliOptions& options, Output& out, Output& err) {
    std::string error;
    const std::optional<SearchCriteria> criteria = ShapeCriteria(options.find, error);
    if (!criteria) {
        err.Write(std::string(kProgram) + error + "\n");
        return 2;
    }
    PostcodeFileReader reader;
    std::string path;
    if (!OpenDataFile(options.data_file, reader, path, err)) {
        return 2;
    }
    const std::unique_ptr<RowWriter> writer = MakeRowWriter(options.find.format, out);
    // Sorted rows wait in the window's own row store until the file is read.
    const bool sorted = options.find.sort_column.has_value();
    ResultRowStore store;
    if (sorted) {
        store.SetSort(*options.find.sort_column, options.find.descending ? 1 : 0);
    }
    PostcodeRecord record;
    RowFields fields;
    std::size_t found = 0;
    // The header line names the columns; it is read and never looked at. A
    // file without one gets no output at all.
    bool ok = reader.ReadRecord(record);
    const bool began = ok;
    bool written = !began || writer->Begin();
    while (ok && !reader.AtEnd() && written) {
        ok = reader.ReadRecord(record);
        if (ok && RecordMatches(record, *criteria)) {
            ++found;
            if (sorted) {
                store.Append(record);
            } else {
                FillFields(record, fields);
                written = writer->Row(fields);
            }
        }
    }
    if (sorted && written) {
        store.PromotePending();
        for (std::size_t row = 0; row < store.Visible() && written; ++row) {
            for (int i = 0; i < PostcodeRecord::kFieldCount; ++i) {
                fields[static_cast<std::size_t>(i)] = store.Cell(row, i);
            }
            written = writer->Row(fields);
        }
    }
    // Rows found before a failure are written whole, a JSON array closed.
    written = written && (!began || writer->End());
    if (!written) {
        // A reader that has gone (`| head`) wants no message.
        if (!out.ReaderGone()) {
            err.Write(std::string(kProgram) + "cannot write the output (is the disk full?)\n");
        }
        return 2;
    }
    if (!ok) {
        ReportReadFailure(path, reader, err);
        return 2;
    }
    if (found == 0) {
        std::string message = NothingFound(*criteria);
        // A postcode kept as a number (800 for 0800): its four digits, when
        // they find something.
        const std::string padded = PaddedPostcode(criteria->PostcodeText);
        if (!padded.empty() && CountWithPostcode(path, *criteria, padded) > 0) {
            message += " Did you mean " + padded + "? A postcode has four digits.";
        } else if (!criteria->LocalityText.empty()) {
            const std::vector<Place> nearest = NearestPlaces(path, *criteria);
            if (!nearest.empty()) {
                message += " Did you mean " + JoinPlaces(nearest, " or ") + "?";
            }
        }
        // Not an error: a plain sentence, as a person would say it.
        err.Write(message + "\n");
        return 1;
    }
    return 0;
}

bool OpenList(const std::string& path, ReadOnlyFile& file, Output& err) {
    const ReadOnlyFile::Status status = file.Open(path);
    if (status == ReadOnlyFile::Status::Opened) {
        return true;
    }
    err.Write(std::string(kProgram) + "Cannot open the list " + path + ": " +
              DescribeOpenFailure(status, file) + "\n");
    return false;
}

}  // namespace korvallestin
