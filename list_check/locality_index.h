#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data_file.h"

namespace korvallestin {

enum class Verdict {
    Ok,
    WrongPostcode,
    WrongState,
    WrongStateAndPostcode,  // the locality is known, but not in that state nor with that postcode
    UnknownLocality,
    UnknownPostcode,
    PostcodeAsNumber,  // the postcode written as a number: 800 for 0800, 2000.0
    Incomplete,
    Fixed,  // corrected by check --fix
};
inline constexpr int kVerdictCount = 9;

// The verdict's word in the output: ok, wrong-postcode, ...
std::string_view VerdictWord(Verdict verdict);

// What mail a record's postcode is for, from its Comments field: street
// delivery (an empty field), post office boxes, or a large volume receiver
// (LVR: one firm's or office's bulk mail).
enum class Delivery : std::uint8_t { Street, PostOfficeBoxes, LargeVolumeReceiver };
Delivery DeliveryOf(std::string_view comments);

// A postcode written as a number, as spreadsheets keep it: one to three
// digits (800 for 0800), or up to four digits and a decimal point with only
// zeros after it (2000.0). The four-digit postcode it stands for, or empty.
std::string PaddedPostcode(std::string_view text);

// A locality in a state, shown with one of its postcodes: "SUNNYBANK (QLD
// 4109)", "SYDNEY (NSW 2001, PO boxes)".
struct Place {
    std::string locality;
    std::string state;
    std::string postcode;
    Delivery delivery = Delivery::Street;
    std::string Text() const;
};

struct CheckResult {
    Verdict verdict = Verdict::Ok;
    std::vector<Place> suggestions;
    std::size_t left_out = 0;  // places that would fit but are not named
};

// The suggestion column: "A; B; C", then "; and 4 more" when some are left out.
std::string SuggestionText(const CheckResult& result);

// A candidate place with what ranks it among the suggestions.
struct RankedPlace;

// The postcode file held as an index for checking addresses: localities by
// name and state, postcodes, and every name's near spellings, built once.
class LocalityIndex {
  public:
    static constexpr int kMostEdits = 2;
    // Nearest names named in a suggestion, and postcodes of one locality.
    static constexpr std::size_t kMostSuggestions = 3;
    static constexpr std::size_t kMostPlaces = 5;

    // One data record; letters and spaces are normalised as a checked row's are.
    void Add(const PostcodeRecord& record);
    // Builds the near-spelling index; call once, after the last Add.
    void Finish();

    // The verdict for one address, its fields as given (they are normalised
    // here), and what to suggest.
    CheckResult Check(std::string_view postcode, std::string_view locality,
                      std::string_view state) const;

    // The places to suggest for a name not in the data, or not in its state
    // nor with its postcode, at most three, into `result`: first the given
    // postcode's localities whose words are the given words in another order,
    // then those whose name is inside the given text or holds it; then names
    // at most two edits away (typographic quotes and dashes as plain ones),
    // the same name (MT for MOUNT, say) first, then those with the given
    // postcode, then those in the given state, then the fewest edits.
    void Suggest(const std::string& locality, const std::string& state, const std::string& postcode,
                 CheckResult& result) const;

    // The localities with that state and postcode whose names are at most
    // kMostEdits from the given one as Suggest compares names: each name
    // once, in the data's spelling, with its distance; the nearest first.
    std::vector<std::pair<int, std::string>> NamesNear(std::string_view locality,
                                                       std::string_view state,
                                                       std::string_view postcode) const;

    std::size_t Names() const { return names_.size(); }

  private:
    struct Entry {
        std::uint32_t name;
        std::string state;
        std::string postcode;
        Delivery delivery;
    };
    // The places of these entries, at most kMostPlaces, the rest counted.
    void PlacesOf(const std::vector<std::uint32_t>& entries, CheckResult& result) const;
    CheckResult CheckFourDigits(const std::string& p, const std::string& l,
                                const std::string& s) const;
    // Near names as ranked candidates of `query` (canonical, code points).
    void AddNear(const std::u32string& query, const std::string& state, const std::string& postcode,
                 std::vector<RankedPlace>& ranked) const;
    // The given postcode's localities whose words fit the query's words.
    void AddByWords(const std::string& query, const std::string& state, const std::string& postcode,
                    std::vector<RankedPlace>& ranked) const;
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

    std::vector<std::uint32_t> Candidates(const std::u32string& canonical) const;
    std::uint32_t NameNumber(const std::string& name) const;  // kNoName when none

    static constexpr std::uint32_t kNoName = 0xFFFFFFFF;
    std::vector<Name> names_;
    std::vector<Entry> entries_;
    HashTable by_name_;
    // The entries of each four-digit postcode.
    std::vector<std::vector<std::uint32_t>> by_postcode_ =
        std::vector<std::vector<std::uint32_t>>(10000);
    // Canonical spellings (see CanonicalName) as code points, and the names
    // that have them; each name's canonical spelling.
    std::vector<std::u32string> canonical_;
    std::vector<std::string> canonical_text_;  // the same in UTF-8
    std::vector<std::vector<std::uint32_t>> canonical_names_;
    std::vector<std::uint32_t> name_canonical_;
    std::size_t longest_canonical_ = 0;
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
