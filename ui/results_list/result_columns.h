#pragma once

namespace korvallestin {

struct HeaderImageList;
class ResultListModel;
class ResultsView;

// The results list's nine columns: gives `model` its captions afresh and
// `view` each column's default width, at `logical_dpi`.
void SetResultColumns(ResultListModel& model, ResultsView& view, double logical_dpi);

// Loads the sort marks into `icons` and gives `view`'s column headings the
// button face the marks are drawn for.
void LoadSortMarks(HeaderImageList& icons, ResultsView& view);

}  // namespace korvallestin
