#pragma once

#include <string>
#include <vector>

#include "postcode_import.h"

namespace korvallestin {

class Output;

// What an import did, for a person to check before the file is used.
struct ImportReport {
    std::string source;  // the list read
    const ImportResult* result = nullptr;
    std::string written_to;     // the file written; empty when none was
    std::string previous;       // where the file replaced was kept; empty if none
    std::string compared_with;  // the file the list was compared with; empty if none
    long compared_records = 0;
    std::string not_compared;  // why no comparison was made, when none was
    std::vector<PlaceChange> changes;
};

// The report as text: the counts first, then every record left out or
// changed, then every locality added, retired or moved.
std::string ImportReportText(const ImportReport& report);

// The report as CSV (UTF-8, CR LF, RFC 4180), one line for each record left
// out or changed and each place that changed, under the heading
// kind,where,postcode,locality,state,was,detail.
bool WriteImportReportCsv(const ImportReport& report, Output& out);

}  // namespace korvallestin
