#pragma once

#include <cstddef>
#include <string>

namespace korvallestin::bench {

// Writes `folder`/postcodes.csv with `records` data records made from the
// records of `source` (a postcode file), repeated in order. Each repetition
// after the first gives the localities a different word or number, before
// or after the name, so that sorting by locality has real work. The same
// arguments always give the same file. Returns false when the source cannot
// be read or the file cannot be written.
bool GenerateDataFile(const std::string& source, const std::string& folder, std::size_t records);

}  // namespace korvallestin::bench
