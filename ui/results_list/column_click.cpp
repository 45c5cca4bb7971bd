#include "column_click.h"

namespace korvallestin {

namespace {

std::string TrimSpaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

void lvwResults_ColumnClick(SortableList& list, int header) {
    // The old mark goes before the sort column changes, and the test for a
    // repeated click compares with the old sort column.
    const int old_header = list.SortKey() + 1;
    list.SetHeaderIcon(old_header, 0);
    list.SetHeaderText(old_header, TrimSpaces(list.HeaderText(old_header)));
    if (header == list.SortKey() + 1) {
        list.SetSortOrder(list.SortOrder() == 0 ? 1 : 0);
    }
    list.SetSortKey(header - 1);
    list.SetHeaderIcon(list.SortKey() + 1, list.SortOrder() + 1);
}

}  // namespace korvallestin
