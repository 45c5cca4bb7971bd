#include "sure_fix.h"

#include <algorithm>

#include "name_distance.h"

namespace korvallestin {

namespace {

bool IsCapital(char c) {
    return c >= 'A' && c <= 'Z';
}

// "TAM O'SHANTER" as "Tam O'Shanter": a capital after a letter becomes small.
std::string WordCapitals(std::string_view name) {
    std::string out(name);
    for (std::size_t i = 1; i < out.size(); ++i) {
        const char before = out[i - 1];
        if (IsCapital(out[i]) && (IsCapital(before) || (before >= 'a' && before <= 'z'))) {
            out[i] = static_cast<char>(out[i] + 32);
        }
    }
    return out;
}

// The one locality the name surely means at that state and postcode.
std::optional<std::string> SureName(const LocalityIndex& index, std::string_view locality,
                                    std::string_view state, std::string_view postcode) {
    const std::vector<std::pair<int, std::string>> near =
        index.NamesNear(locality, state, postcode);
    if (near.empty()) {
        return std::nullopt;
    }
    const int distance = near.front().first;
    const bool alone = near.size() == 1;
    if (distance == 0 && (alone || near[1].first > 0)) {
        return near.front().second;
    }
    if (distance == 1 && alone && CodePoints(NameForSuggestions(locality)).size() >= 4) {
        return near.front().second;
    }
    return std::nullopt;
}

void Note(std::string_view what, std::string_view was, std::string& before) {
    before += before.empty() ? "" : "; ";
    before += std::string(what) + " was " + std::string(was);
}

}  // namespace

std::string RespelledLocality(std::string_view given, const std::string& name) {
    std::string plain = PlainPunctuation(given);
    if (NormalisedField(plain) == name) {
        return plain;
    }
    const bool small =
        std::any_of(given.begin(), given.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return small ? WordCapitals(name) : name;
}

std::string ChangesNote(std::string_view postcode_before, std::string_view locality_before,
                        std::string_view state_before, std::string_view postcode,
                        std::string_view locality, std::string_view state) {
    std::string before;
    if (postcode != postcode_before) {
        Note("postcode", postcode_before, before);
    }
    if (locality != locality_before) {
        Note("locality", locality_before, before);
    }
    if (state != state_before) {
        Note("state", state_before, before);
    }
    return before;
}

std::optional<SureFix> FindSureFix(const LocalityIndex& index, std::string_view postcode,
                                   std::string_view locality, std::string_view state,
                                   const CheckResult& result) {
    SureFix fix{std::string(postcode), std::string(locality), std::string(state), {}};
    CheckResult row = result;
    if (result.verdict == Verdict::PostcodeAsNumber) {
        fix.postcode = PaddedPostcode(NormalisedField(postcode));
        row = index.Check(fix.postcode, locality, state);
    }
    if (row.verdict == Verdict::WrongState && row.suggestions.size() == 1 && row.left_out == 0) {
        fix.state = row.suggestions.front().state;
    } else if (row.verdict == Verdict::UnknownLocality) {
        const std::optional<std::string> name = SureName(index, locality, state, fix.postcode);
        if (!name) {
            return std::nullopt;
        }
        fix.locality = RespelledLocality(locality, *name);
    } else if (row.verdict != Verdict::Ok || result.verdict == Verdict::Ok) {
        return std::nullopt;
    }
    // Whatever the rule found, the row it makes must be right.
    if (index.Check(fix.postcode, fix.locality, fix.state).verdict != Verdict::Ok) {
        return std::nullopt;
    }
    fix.before = ChangesNote(postcode, locality, state, fix.postcode, fix.locality, fix.state);
    return fix;
}

}  // namespace korvallestin
