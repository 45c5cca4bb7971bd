#pragma once

#include <cstddef>
#include <string>

namespace korvallestin::bench {

// What an address list made by GenerateAddressList holds.
struct AddressListCounts {
    std::size_t rows = 0;
    std::size_t right = 0;           // locality, state and postcode agree
    std::size_t wrong_postcode = 0;  // the locality is in its state under other postcodes
    std::size_t misspelled = 0;      // one letter of the locality wrong, missing, extra or swapped
    std::size_t dropped_zero = 0;    // the postcode kept as a number: 800 for 0800
    std::size_t typographic = 0;     // the locality's apostrophes and dashes typographic
    std::string error;               // why nothing was written, when not empty
};

// Writes `path`: an address list in CSV (a header "Name,Street,Suburb,State,
// Postcode", then `rows` rows, UTF-8, CR LF) made from the records of the
// postcode file `source`. Of every 20 rows, 18 are right, one has a postcode
// of its state that the locality does not have anywhere, and one has its
// locality misspelled by one edit into a name that is no locality anywhere.
// Half the rows write the locality in capitals, half as a person types it
// ("Mount Isa"). When `misspelled_path` is not empty, the misspelled rows
// are also written there alone, under the same header. The same arguments
// always give the same files.
AddressListCounts GenerateAddressList(const std::string& source, const std::string& path,
                                      std::size_t rows, const std::string& misspelled_path);

// Writes `path` in the same shape: a list of `rows` rows of which every tenth
// bears the damage a spreadsheet does, half of those a postcode with its
// leading zero dropped (800 for 0800), half a locality with its apostrophes
// and dashes made typographic (’ and –); the other rows are right.
AddressListCounts GenerateDamagedList(const std::string& source, const std::string& path,
                                      std::size_t rows);

}  // namespace korvallestin::bench
