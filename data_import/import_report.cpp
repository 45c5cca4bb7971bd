#include "import_report.h"

#include <algorithm>
#include <array>

#include "output.h"

namespace korvallestin {

namespace {

std::string Plural(std::size_t count, const std::string& one, const std::string& many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Place(const PostcodeRecord& r) {
    return r.Postcode + " " + r.Locality + " " + r.State;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string_view KindName(PlaceChange::Kind kind) {
    switch (kind) {
        case PlaceChange::Kind::Added:
            return "added";
        case PlaceChange::Kind::Retired:
            return "retired";
        case PlaceChange::Kind::Moved:
            return "moved";
    }
    return {};
}

}  // namespace

std::string ImportReportText(const ImportReport& report) {
    const ImportResult& r = *report.result;
    std::string text = "Read " + Plural(static_cast<std::size_t>(r.read), "record", "records") +
                       " from " + report.source + " (" + r.KindName() + ").\n";
    text +=
        "Left out " + std::to_string(r.left_out.size()) + (r.left_out.empty() ? "." : ":") + "\n";
    for (int i = 0; i < kLeaveOutReasons; ++i) {
        const auto reason = static_cast<LeaveOutReason>(i);
        const std::size_t count = r.LeftOutFor(reason);
        if (count > 0) {
            text += "  " + std::to_string(count) + " " + std::string(ReasonWords(reason)) + "\n";
        }
    }
    if (!r.changed.empty()) {
        text += "Written with a change: " + std::to_string(r.changed.size()) + ".\n";
    }
    text += r.newest_change.empty()
                ? "No change date in the records' status.\n"
                : "Newest change date in the records' status: " + r.newest_change + ".\n";
    if (report.written_to.empty()) {
        text += "Nothing written (give --output FILE, or --install): " +
                Plural(r.records.size(), "record", "records") + " would be.\n";
    } else {
        text += "Wrote " + Plural(r.records.size(), "record", "records") + " to " +
                report.written_to + ".\n";
    }
    if (!report.previous.empty()) {
        text += "The file it replaced is kept as " + report.previous + ".\n";
    }
    std::array<std::size_t, 3> counts{};
    for (const PlaceChange& change : report.changes) {
        ++counts[static_cast<std::size_t>(change.kind)];
    }
    if (!report.compared_with.empty()) {
        text += "Compared with " + report.compared_with + " (" +
                Plural(static_cast<std::size_t>(report.compared_records), "record", "records") +
                "): " + Plural(counts[0], "locality", "localities") + " added, " +
                std::to_string(counts[1]) + " retired, " + std::to_string(counts[2]) +
                " with another postcode or state.\n";
    } else if (!report.not_compared.empty()) {
        text += "Not compared with a file in use: " + report.not_compared + "\n";
    }
    if (!r.left_out.empty()) {
        text += "\nLeft out:\n";
        for (const ImportNote& note : r.left_out) {
            text += "  " + note.where + ": " + Place(note.record) + ": " +
                    std::string(ReasonName(note.reason)) +
                    (note.detail.empty() ? std::string() : " (" + note.detail + ")") + "\n";
        }
    }
    if (!r.changed.empty()) {
        text += "\nWritten with a change:\n";
        for (const ImportNote& note : r.changed) {
            text += "  " + note.where + ": " + Place(note.record) + ": " + note.detail + "\n";
        }
    }
    static constexpr std::array<std::string_view, 3> kTitles{
        "Added", "Retired", "With another postcode or state (now, was)"};
    for (std::size_t kind = 0; kind < kTitles.size(); ++kind) {
        if (counts[kind] == 0) {
            continue;
        }
        text += '\n';
        text.append(kTitles[kind]);
        text += ":\n";
        for (const PlaceChange& change : report.changes) {
            if (static_cast<std::size_t>(change.kind) != kind) {
                continue;
            }
            text += "  " + change.locality + " ";
            switch (change.kind) {
                case PlaceChange::Kind::Added:
                    text += change.now;
                    break;
                case PlaceChange::Kind::Retired:
                    text += change.was;
                    break;
                case PlaceChange::Kind::Moved:
                    text += change.now + ", was " + change.was;
                    break;
            }
            text += "\n";
        }
    }
    return text;
}

bool WriteImportReportCsv(const ImportReport& report, Output& out) {
    bool ok = out.Write("kind,where,postcode,locality,state,was,detail\r\n");
    auto line = [&](std::initializer_list<std::string> fields) {
        std::string text;
        bool first = true;
        for (const std::string& field : fields) {
            if (!first) {
                text += ',';
            }
            text += CsvField(field);
            first = false;
        }
        ok = ok && out.Write(text + "\r\n");
    };
    const ImportResult& r = *report.result;
    for (const ImportNote& note : r.left_out) {
        line({std::string(ReasonName(note.reason)), note.where, note.record.Postcode,
              note.record.Locality, note.record.State, "", note.detail});
    }
    for (const ImportNote& note : r.changed) {
        line({"changed", note.where, note.record.Postcode, note.record.Locality, note.record.State,
              "", note.detail});
    }
    for (const PlaceChange& change : report.changes) {
        // One line for each state: "QLD 4314 4315; NSW 2000" is two.
        const std::string& places =
            change.kind == PlaceChange::Kind::Retired ? change.was : change.now;
        for (std::size_t at = 0; at < places.size();) {
            std::size_t end = places.find("; ", at);
            end = end == std::string::npos ? places.size() : end;
            const std::string part = places.substr(at, end - at);
            const std::size_t space = std::min(part.find(' '), part.size());
            line({std::string(KindName(change.kind)), "",
                  space < part.size() ? part.substr(space + 1) : "", change.locality,
                  part.substr(0, space), change.kind == PlaceChange::Kind::Moved ? change.was : "",
                  ""});
            at = end + 2;
        }
    }
    return ok;
}

}  // namespace korvallestin
