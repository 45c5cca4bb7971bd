#pragma once

#include <string>
#include <vector>

#include "data_file.h"

namespace korvallestin {

// Where an installed postcode file goes and where the one it replaces is
// kept.
struct InstallPlaces {
    std::string data;      // the file the programs read, links followed
    std::string previous;  // postcodes.previous.csv beside it
    bool had_data = false;
};

// The places for the data file of the programs in `folder`: its
// postcodes.csv (by the programs' own rule), followed through links, so
// that a packaged system's link to /etc/korvallestin/postcodes.csv keeps
// pointing at the new file; the previous file beside the real one.
InstallPlaces InstallPlacesFor(const std::string& folder);

// Puts `records` in place of the data file: the current file is first copied
// to `previous` (replacing an older copy), then the new file is written under
// a temporary name beside it and renamed into its place. Until that last
// step the data file is untouched. False, with the reason, when a step fails.
bool InstallPostcodeFile(const InstallPlaces& places, const std::vector<PostcodeRecord>& records,
                         std::string& error);

}  // namespace korvallestin
