#include "matching.h"

#include "letter_case.h"

namespace korvallestin {

namespace {

constexpr int kBackspace = 8;

// A typed key's code in capitals; codes past ASCII stay as they are.
int UpperCaseLetter(int code) {
    return (code >= 0 && code < 128) ? UpperAsciiLetter(static_cast<char>(code)) : code;
}

}  // namespace

SearchCriteria ReadCriteria(const CriteriaControls& controls) {
    SearchCriteria criteria;
    criteria.PostcodeText = controls.PostCodeText();
    criteria.StateText = controls.StateText();
    criteria.LocalityText = controls.LocalityText();
    criteria.MatchMode = controls.SearchTypeIndex() == 0 ? LocalityMatchMode::BeginsWith
                                                         : LocalityMatchMode::Contains;
    return criteria;
}

bool RecordMatches(const PostcodeRecord& record, const SearchCriteria& criteria) {
    if (!criteria.PostcodeText.empty() && criteria.PostcodeText != record.Postcode) {
        return false;
    }
    if (!criteria.StateText.empty() && criteria.StateText != record.State) {
        return false;
    }
    if (!criteria.LocalityText.empty()) {
        if (criteria.MatchMode == LocalityMatchMode::BeginsWith) {
            return record.Locality.starts_with(criteria.LocalityText);
        }
        return record.Locality.find(criteria.LocalityText) != std::string::npos;
    }
    return true;
}

int txtLocality_KeyPress(int KeyAscii) {
    return UpperCaseLetter(KeyAscii);
}

int cboState_KeyPress(int KeyAscii) {
    return UpperCaseLetter(KeyAscii);
}

int txtPostCode_KeyPress(int KeyAscii) {
    if ((KeyAscii >= '0' && KeyAscii <= '9') || KeyAscii == kBackspace || KeyAscii == '.') {
        return KeyAscii;
    }
    return 0;
}

}  // namespace korvallestin
