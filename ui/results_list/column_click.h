#pragma once

#include <string>

namespace korvallestin {

// The results list as the column-click rule sees it. Headers are numbered
// from 1; SortKey counts columns from 0; SortOrder is 0 ascending, 1
// descending. Writing SortKey or SortOrder re-orders the rows at once.
class SortableList {
  public:
    virtual ~SortableList() = default;
    virtual int SortKey() const = 0;
    virtual void SetSortKey(int key) = 0;
    virtual int SortOrder() const = 0;
    virtual void SetSortOrder(int order) = 0;
    virtual std::string HeaderText(int header) const = 0;
    virtual void SetHeaderText(int header, const std::string& text) = 0;
    // 0 for no mark; otherwise image 1 (up, ascending) or 2 (down, descending).
    virtual void SetHeaderIcon(int header, int icon) = 0;
};

// A click on the header numbered `header` (1 to 9): clicking the sort column
// again reverses the direction, clicking another column makes it the sort
// column in the same direction; the mark moves to the sort column.
void lvwResults_ColumnClick(SortableList& list, int header);

}  // namespace korvallestin
