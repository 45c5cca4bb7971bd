#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "locality_index.h"

namespace korvallestin {

// A checked row's postcode, locality and state after a sure correction, and
// what was there before ("postcode was 800; locality was Tam O’Shanter").
struct SureFix {
    std::string postcode;
    std::string locality;
    std::string state;
    std::string before;
};

// The correction of a row when it is sure, else nothing. `result` is the
// index's verdict on the row's fields as given. Sure is:
//  - a postcode written as a number whose four-digit form is the row's
//    (800 for 0800, 2000.0 for 2000), and then, with that postcode:
//  - a locality that is, with plain quotes and dashes and MT for MOUNT, the
//    name of the one locality with that state and postcode (Tam O’Shanter);
//  - a locality of at least four characters one edit from the one locality
//    with that state and postcode that is at most two edits from it;
//  - a locality whose postcode is right in exactly one other state: that state.
// A corrected locality keeps the row's way of writing: its own characters
// with plain punctuation, else the data's name, in word capitals when the
// row wrote small letters. The corrected row is always ok.
// What a correction changed, as the sure fix says it: "postcode was 800;
// locality was Tam O’Shanter", each of the three only when it differs.
std::string ChangesNote(std::string_view postcode_before, std::string_view locality_before,
                        std::string_view state_before, std::string_view postcode,
                        std::string_view locality, std::string_view state);

// The data's locality `name` written the way the row wrote `given`: its own
// characters with plain punctuation when they are the name, else the name in
// word capitals when the row wrote small letters.
std::string RespelledLocality(std::string_view given, const std::string& name);

std::optional<SureFix> FindSureFix(const LocalityIndex& index, std::string_view postcode,
                                   std::string_view locality, std::string_view state,
                                   const CheckResult& result);

}  // namespace korvallestin
