#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data_file.h"

namespace korvallestin {

enum class Verdict { Ok, WrongPostcode, WrongState, UnknownLocality, UnknownPostcode, Incomplete };
inline constexpr int kVerdictCount = 6;

// The verdict's word in the output: ok, wrong-postcode, ...
std::string_view VerdictWord(Verdict verdict);

// A locality in a state, shown with one of its postcodes: "SUNNYBANK (QLD 4109)".
struct Place {
    std::string locality;
    std::string state;
    std::string postcode;
    std::string Text() const { return locality + " (" + state + " " + postcode + ")"; }
};

struct CheckResult {
    Verdict verdict = Verdict::Ok;
    std::vector<Place> suggestions;
};

// The postcode file held as an index for checking addresses: localities by
// name and state, postcodes, and every name's near spellings, built once.
class LocalityIndex {
  public:
    static constexpr int kMostEdits = 2;
    static constexpr std::size_t kMostSuggestions = 3;

    // One data record; letters and spaces are normalised as a checked row's are.
    void Add(const PostcodeRecord& record);
    // Builds the near-spelling index; call once, after the last Add.
    void Finish();

    // The verdict for one address, its fields as given (they are normalised
    // here), and what to suggest.
    CheckResult Check(std::string_view postcode, std::string_view locality,
                      std::string_view state) const;

    // The nearest localities to a name not in the data: at most two edits
    // away, those with the given postcode, then those in the given state,
    // first; then the fewest edits; at most three.
    std::vector<Place> Nearest(const std::string& locality, const std::string& state,
                               const std::string& postcode) const;

    std::size_t Names() const { return names_.size(); }

  private:
    struct Entry {
        std::uint32_t name;
        std::string state;
        std::string postcode;
    };
    struct Name {
        std::string text;
        std::vector<std::uint32_t> entries;
    };

    // An open-addressing table from 64-bit hashes to numbers; one hash may
    // stand for several numbers (the caller tells them apart).
    class HashTable {
      public:
        void Reserve(std::size_t count);
        void Insert(std::uint64_t key, std::uint32_t value);
        template <typename Visit>
        void ForEach(std::uint64_t key, Visit visit) const {
            if (values_.empty()) {
                return;
            }
            for (std::size_t i = key & mask_; values_[i] != kNone; i = (i + 1) & mask_) {
                if (keys_[i] == key) {
                    visit(values_[i]);
                }
            }
        }

      private:
        static constexpr std::uint32_t kNone = 0xFFFFFFFF;
        std::vector<std::uint64_t> keys_;
        std::vector<std::uint32_t> values_;
        std::size_t mask_ = 0;
        std::size_t count_ = 0;
    };

    std::vector<std::uint32_t> Candidates(const std::string& canonical) const;
    std::uint32_t NameNumber(const std::string& name) const;  // kNoName when none

    static constexpr std::uint32_t kNoName = 0xFFFFFFFF;
    std::vector<Name> names_;
    std::vector<Entry> entries_;
    HashTable by_name_;
    // The four-digit postcodes that some record has.
    std::vector<bool> postcodes_ = std::vector<bool>(10000);
    // Canonical spellings (see CanonicalName) and the names that have them.
    std::vector<std::string> canonical_;
    std::vector<std::vector<std::uint32_t>> canonical_names_;
    // Each canonical spelling with up to kMostEdits letters deleted, hashed,
    // with the spelling's number; sorted. Two spellings within kMostEdits
    // edits of each other share at least one such deletion. The table finds
    // the first of each hash.
    std::vector<std::pair<std::uint64_t, std::uint32_t>> deletions_;
    HashTable deletion_starts_;
};

// The places for the nearest names to a locality typed into `find` that
// found nothing: names that begin with it (or contain it) after at most two
// edits, ranked as LocalityIndex::Nearest ranks them.
std::vector<Place> NearestForLookUp(const std::vector<Place>& places, const std::string& locality,
                                    bool contains, const std::string& state,
                                    const std::string& postcode);

// "A (QLD 4109)", "A (QLD 4109) or B (NSW 2000)", "A, B or C".
std::string JoinPlaces(const std::vector<Place>& places, std::string_view last_joiner);

}  // namespace korvallestin
