#pragma once

namespace korvallestin {

struct HeaderImageList;
class ResultsItemModel;
class ResultsTableView;

// The results list's nine columns: gives `model` its captions afresh and
// `view` each column's default width, at `logical_dpi`.
void SetResultColumns(ResultsItemModel& model, ResultsTableView& view, double logical_dpi);

// Loads the sort marks into `icons` and gives `view`'s column headings the
// button face the marks are drawn for.
void LoadSortMarks(HeaderImageList& icons, ResultsTableView& view);

}  // namespace korvallestin
