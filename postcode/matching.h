#pragma once

#include <string>

#include "data_file.h"

namespace korvallestin {

enum class LocalityMatchMode { BeginsWith, Contains };

// What the user asked for. An empty text imposes no condition.
struct SearchCriteria {
    std::string PostcodeText;
    std::string StateText;
    std::string LocalityText;
    LocalityMatchMode MatchMode = LocalityMatchMode::BeginsWith;
};

// The four controls the criteria are typed into, as the search reads them.
class CriteriaControls {
  public:
    virtual ~CriteriaControls() = default;
    virtual std::string PostCodeText() const = 0;  // txtPostCode
    virtual std::string StateText() const = 0;     // cboState
    virtual std::string LocalityText() const = 0;  // txtLocality
    virtual int SearchTypeIndex() const = 0;       // cboSearchType, -1 when none selected
};

// Takes the criteria as the controls hold them now; changes nothing.
SearchCriteria ReadCriteria(const CriteriaControls& controls);

// True when the record satisfies every non-empty criterion. Comparisons are
// exact: letter case and spaces at either end count.
bool RecordMatches(const PostcodeRecord& record, const SearchCriteria& criteria);

// Keystroke filters: each takes the code of one typed character and returns
// the code the box takes; 0 discards the keystroke.
int txtLocality_KeyPress(int KeyAscii);  // a to z become capitals
int cboState_KeyPress(int KeyAscii);     // a to z become capitals
int txtPostCode_KeyPress(int KeyAscii);  // digits, backspace and full stop only

}  // namespace korvallestin
