#include "search_run.h"

#include "matching.h"

namespace korvallestin {

SearchRun::SearchRun(const SearchWindow& window) : window_(window) {}

void SearchRun::cmdFind_Click() {
    SearchWindow& w = window_;
    w.sbBar.SetVisible(true);
    w.frmMain.SetOuterHeight(kSearchHeight);
    // Stop is enabled before Find is disabled, so the keyboard focus that
    // leaves Find has somewhere to go.
    w.cmdStop.SetEnabled(true);
    w.cmdFind.SetEnabled(false);
    w.sbBar.SetSimpleText(std::string(kFoundPrefix) + "0");
    w.lvwResults.ClearRows();
    blnStopSearch = false;
    if (w.aniSearch.IsEnabled()) {
        w.aniSearch.Play();
    }

    const std::string folder = w.program.ProgramFolder();
    const std::string path = PostcodeFilePath(folder);
    PostcodeFileReader reader;
    switch (reader.Open(path)) {
        case PostcodeFileReader::OpenResult::Opened:
            break;
        case PostcodeFileReader::OpenResult::NotFound:
            w.messages.ShowExclamation("Postcodes.CSV file missing from\r\n" + folder + " folder.",
                                       "Error");
            Finish();
            return;
        case PostcodeFileReader::OpenResult::OtherFailure:
            ReportFailure("Cannot open the postcode file", path, reader, 0);
            Finish();
            return;
    }

    PostcodeRecord record;
    std::int32_t lngFound = 0;
    // The header line names the columns; it is read and never looked at.
    bool ok = reader.ReadRecord(record);
    // A file that holds only its header has no records to list.
    while (ok && !reader.AtEnd()) {
        const std::uint64_t resets_before = resets_;
        w.events.Yield();
        if (resets_ != resets_before) {
            break;
        }
        ok = reader.ReadRecord(record);
        if (!ok) {
            break;
        }
        if (RecordMatches(record, ReadCriteria(w.criteria))) {
            ++lngFound;
            w.lvwResults.AddRow(record);
            w.sbBar.SetSimpleText(kFoundPrefix + std::to_string(lngFound));
            w.lvwResults.Refresh();
        }
        if (blnStopSearch) {
            break;
        }
    }
    reader.Close();
    if (!ok) {
        ReportFailure("Cannot read the postcode file", path, reader, lngFound);
    }
    Finish();
}

void SearchRun::Finish() {
    if (window_.aniSearch.IsEnabled()) {
        window_.aniSearch.Stop();
    }
    window_.cmdStop.SetEnabled(false);
    window_.cmdFind.SetEnabled(true);
}

void SearchRun::ReportFailure(const std::string& action, const std::string& path,
                              const PostcodeFileReader& reader, std::int32_t found) {
    std::string text = action + "\r\n" + path + "\r\n" + DescribeFailure(reader.LastFailure());
    if (found > 0) {
        text += "\r\nThe " + std::to_string(found) +
                (found == 1 ? " record found before it stays" : " records found before it stay") +
                " listed.";
    }
    window_.messages.ShowExclamation(text, "Error");
}

void SearchRun::cmdStop_Click() {
    blnStopSearch = true;
}

void SearchRun::cmdNew_Click() {
    blnStopSearch = true;
    ++resets_;
    window_.startup.Form_Load();
}

void SearchRun::Form_Unload(bool& Cancel) const {
    if (window_.cmdStop.IsEnabled()) {
        Cancel = true;
    }
}

}  // namespace korvallestin
