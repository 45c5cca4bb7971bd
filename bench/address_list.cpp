#include "address_list.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "data_file.h"
#include "letter_case.h"

namespace korvallestin::bench {

namespace {

// A fixed generator (splitmix64), so that every machine makes the same list.
class Random {
  public:
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31U);
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

  private:
    std::uint64_t state_ = 20261207;
};

constexpr const char* kStreets[] = {"High Street",   "Station Road", "Main Street",
                                    "Church Street", "Park Avenue",  "Railway Parade",
                                    "Victoria Road", "King Street"};
constexpr const char* kNames[] = {"A. Nguyen", "B. Smith",    "C. Papadopoulos", "D. O'Brien",
                                  "E. Wilson", "F. Kowalski", "G. Singh",        "H. Taylor"};

// A locality as the checker compares it: words of letters, "MT" and "ST" as
// "MOUNT" and "SAINT".
std::string Key(std::string_view locality) {
    std::string key;
    std::size_t i = 0;
    while (i < locality.size()) {
        while (i < locality.size() && locality[i] == ' ') {
            ++i;
        }
        std::size_t end = locality.find(' ', i);
        if (end == std::string_view::npos) {
            end = locality.size();
        }
        if (end > i) {
            std::string_view word = locality.substr(i, end - i);
            if (word == "MT") {
                word = "MOUNT";
            } else if (word == "ST") {
                word = "SAINT";
            }
            if (!key.empty()) {
                key += ' ';
            }
            key += word;
        }
        i = end;
    }
    return key;
}

// "MOUNT ISA" as a person types it: "Mount Isa".
std::string AsTyped(const std::string& locality) {
    std::string out = locality;
    bool word_start = true;
    for (char& c : out) {
        if (!word_start) {
            c = LowerAsciiLetter(c);
        }
        word_start = !IsUpperAsciiLetter(c) && !IsLowerAsciiLetter(c);
    }
    return out;
}

// One edit of a letter: replaced, left out, doubled by another, or swapped
// with the next one. Empty when the name has no letter to edit.
std::string Misspell(const std::string& locality, Random& random) {
    std::vector<std::size_t> letters;
    for (std::size_t i = 0; i < locality.size(); ++i) {
        if (IsUpperAsciiLetter(locality[i])) {
            letters.push_back(i);
        }
    }
    if (letters.size() < 3) {
        return {};
    }
    const std::size_t at = letters[random.Below(letters.size())];
    const char other = static_cast<char>('A' + random.Below(26));
    std::string out = locality;
    switch (random.Below(4)) {
        case 0:
            out[at] = other;
            break;
        case 1:
            out.erase(at, 1);
            break;
        case 2:
            out.insert(at, 1, other);
            break;
        default:
            if (at + 1 < out.size() && IsUpperAsciiLetter(out[at + 1])) {
                std::swap(out[at], out[at + 1]);
            }
            break;
    }
    return out;
}

struct Place {
    std::string postcode;
    std::string locality;
    std::string state;
};

// The records of a postcode file that addresses are made from, and what
// tells a right address from a wrong one.
struct Data {
    std::vector<Place> places;
    std::set<std::string> localities;                       // every locality's key
    std::set<std::string> pairs;                            // "KEY|postcode", any state
    std::map<std::string, std::vector<std::string>> codes;  // state -> its postcodes
};

// Reads `source` into `data`; the reason when it cannot.
std::string Load(const std::string& source, Data& data) {
    PostcodeFileReader reader;
    if (reader.Open(source) != PostcodeFileReader::OpenResult::Opened) {
        return "cannot open " + source;
    }
    PostcodeRecord record;
    bool header = true;
    while (!reader.AtEnd()) {
        if (!reader.ReadRecord(record)) {
            return source + ": " + DescribeFailure(reader.LastFailure());
        }
        if (std::exchange(header, false)) {
            continue;
        }
        if (record.Postcode.size() != 4 || record.Locality.empty() || record.State.empty()) {
            continue;
        }
        const std::string key = Key(record.Locality);
        data.localities.insert(key);
        data.pairs.insert(key + "|" + record.Postcode);
        data.codes[record.State].push_back(record.Postcode);
        data.places.push_back({record.Postcode, record.Locality, record.State});
    }
    if (data.places.empty()) {
        return source + " holds no record to make addresses from";
    }
    return {};
}

// A locality as a word processor types it: ’ for ', – for -.
std::string Marked(const std::string& locality) {
    std::string marked;
    for (const char c : locality) {
        marked += c == '\'' ? "\u2019" : c == '-' ? "\u2013" : std::string(1, c);
    }
    return marked;
}

// A row of an address list, CR LF at its end.
void AppendRow(std::size_t row, const std::string& locality, const std::string& state,
               const std::string& postcode, std::string& line) {
    line.clear();
    line += kNames[row % 8];
    line += ',';
    line += std::to_string(1 + row % 97);
    line += ' ';
    line += kStreets[(row / 8) % 8];
    line += ',';
    line += row % 2 == 0 ? locality : AsTyped(locality);
    line += ',';
    line += state;
    line += ',';
    line += postcode;
    line += "\r\n";
}

}  // namespace

AddressListCounts GenerateAddressList(const std::string& source, const std::string& path,
                                      std::size_t rows, const std::string& misspelled_path) {
    AddressListCounts counts;
    Data data;
    counts.error = Load(source, data);
    if (!counts.error.empty()) {
        return counts;
    }
    const std::vector<Place>& places = data.places;
    const std::set<std::string>& localities = data.localities;
    const std::set<std::string>& pairs = data.pairs;
    std::map<std::string, std::vector<std::string>>& codes = data.codes;

    using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    File out(std::fopen(path.c_str(), "wb"), &std::fclose);
    File misspelled(misspelled_path.empty() ? nullptr : std::fopen(misspelled_path.c_str(), "wb"),
                    &std::fclose);
    if (!out || (!misspelled_path.empty() && !misspelled)) {
        counts.error = "cannot write " + (out ? misspelled_path : path);
        return counts;
    }
    const char* const header_line = "Name,Street,Suburb,State,Postcode\r\n";
    std::fputs(header_line, out.get());
    if (misspelled) {
        std::fputs(header_line, misspelled.get());
    }

    Random random;
    std::string line;
    for (std::size_t row = 0; row < rows; ++row) {
        const Place& place = places[random.Below(places.size())];
        std::string locality = place.locality;
        std::string postcode = place.postcode;
        const std::size_t kind = row % 20;
        if (kind == 0) {
            // A postcode of the same state that this locality has nowhere.
            const std::vector<std::string>& state_codes = codes[place.state];
            for (int attempt = 0; attempt < 100; ++attempt) {
                const std::string& candidate = state_codes[random.Below(state_codes.size())];
                if (pairs.count(Key(locality) + "|" + candidate) == 0) {
                    postcode = candidate;
                    break;
                }
            }
        } else if (kind == 1) {
            // A name that is no locality anywhere (under the checker's rules).
            for (int attempt = 0; attempt < 100; ++attempt) {
                std::string candidate = Misspell(place.locality, random);
                if (!candidate.empty() && localities.count(Key(candidate)) == 0) {
                    locality = std::move(candidate);
                    break;
                }
            }
        }
        const bool changed = postcode != place.postcode || locality != place.locality;
        if (kind == 0 && changed) {
            ++counts.wrong_postcode;
        } else if (kind == 1 && changed) {
            ++counts.misspelled;
        } else {
            ++counts.right;
        }
        AppendRow(row, locality, place.state, postcode, line);
        std::fwrite(line.data(), 1, line.size(), out.get());
        if (misspelled && kind == 1 && changed) {
            std::fwrite(line.data(), 1, line.size(), misspelled.get());
        }
    }
    counts.rows = rows;
    if (std::fflush(out.get()) != 0 || (misspelled && std::fflush(misspelled.get()) != 0)) {
        counts.error = "cannot write " + path;
    }
    return counts;
}

AddressListCounts GenerateDamagedList(const std::string& source, const std::string& path,
                                      std::size_t rows) {
    AddressListCounts counts;
    Data data;
    counts.error = Load(source, data);
    if (!counts.error.empty()) {
        return counts;
    }
    // The places each kind of damage can be done to.
    std::vector<const Place*> zeros;
    std::vector<const Place*> marks;
    for (const Place& place : data.places) {
        if (place.postcode[0] == '0') {
            zeros.push_back(&place);
        }
        // Not a name the data itself writes with typographic marks.
        if (place.locality.find_first_of("'-") != std::string::npos &&
            std::all_of(place.locality.begin(), place.locality.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x80; }) &&
            data.localities.count(Key(Marked(place.locality))) == 0) {
            marks.push_back(&place);
        }
    }
    if (zeros.empty() || marks.empty()) {
        counts.error = source +
                       " has no postcode with a leading zero or no locality with an "
                       "apostrophe or a dash";
        return counts;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"),
                                                        &std::fclose);
    if (!out) {
        counts.error = "cannot write " + path;
        return counts;
    }
    std::fputs("Name,Street,Suburb,State,Postcode\r\n", out.get());
    Random random;
    std::string line;
    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t kind = row % 20;
        const Place& place = kind == 0    ? *zeros[random.Below(zeros.size())]
                             : kind == 10 ? *marks[random.Below(marks.size())]
                                          : data.places[random.Below(data.places.size())];
        std::string locality = place.locality;
        std::string postcode = place.postcode;
        if (kind == 0) {
            postcode.erase(0, postcode.find_first_not_of('0'));
            ++counts.dropped_zero;
        } else if (kind == 10) {
            locality = Marked(locality);
            ++counts.typographic;
        } else {
            ++counts.right;
        }
        AppendRow(row, locality, place.state, postcode, line);
        std::fwrite(line.data(), 1, line.size(), out.get());
    }
    counts.rows = rows;
    if (std::fflush(out.get()) != 0) {
        counts.error = "cannot write " + path;
    }
    return counts;
}

}  // namespace korvallestin::bench
