#include "locality_index.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "name_distance.h"

namespace korvallestin {

namespace {

std::uint64_t Hash(std::u32string_view text) {
    // FNV-1a over code points: a collision only adds a candidate, which the
    // distance then turns away.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char32_t c : text) {
        hash = (hash ^ c) * 1099511628211ULL;
    }
    return hash;
}

std::uint64_t Hash(std::string_view text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

// The hashes of `text` with every choice of up to two characters deleted.
void AddDeletions(std::u32string_view text, std::vector<std::uint64_t>& out) {
    out.clear();
    out.push_back(Hash(text));
    std::u32string once;
    std::u32string twice;
    for (std::size_t i = 0; i < text.size(); ++i) {
        once.assign(text.substr(0, i));
        once.append(text.substr(i + 1));
        out.push_back(Hash(once));
        for (std::size_t j = i; j < once.size(); ++j) {
            twice.assign(once, 0, j);
            twice.append(once, j + 1);
            out.push_back(Hash(twice));
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

bool IsPostcode(std::string_view text) {
    return text.size() == 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The words of a text, into `words`.
void Words(std::string_view text, std::vector<std::string_view>& words) {
    words.clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(' ', start);
        end = end == std::string_view::npos ? text.size() : end;
        if (end > start) {
            words.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
}

// True when `inner`'s words stand together, in order, among `outer`'s.
// Linear in the length of `outer` for an `inner` of bounded length.
bool HoldsWords(const std::vector<std::string_view>& outer,
                const std::vector<std::string_view>& inner) {
    if (inner.empty() || inner.size() > outer.size()) {
        return false;
    }
    for (std::size_t at = 0; at + inner.size() <= outer.size(); ++at) {
        if (std::equal(inner.begin(), inner.end(), outer.begin() + static_cast<long>(at))) {
            return true;
        }
    }
    return false;
}

// The same words, in another order (each as often).
bool SameWordsReordered(const std::vector<std::string_view>& a,
                        const std::vector<std::string_view>& b) {
    if (a.size() != b.size() || a.size() < 2 || a == b) {
        return false;
    }
    return std::all_of(a.begin(), a.end(), [&](std::string_view word) {
        return std::count(a.begin(), a.end(), word) == std::count(b.begin(), b.end(), word);
    });
}

// Keeps the first `most` places, counting the rest as left out.
void Limit(std::vector<Place> places, std::size_t most, CheckResult& result) {
    result.left_out = places.size() > most ? places.size() - most : 0;
    places.resize(std::min(places.size(), most));
    result.suggestions = std::move(places);
}

}  // namespace

// What ranks a candidate, first to last: its tier (see TierOf); how it was
// found (0 the given postcode's locality with the given words reordered, 1
// one whose name is inside the given text or holds it, 2 by spelling); the
// given postcode, then the given state; the fewest edits, the most letters
// kept of what was typed, street delivery before boxes and bulk mail, the
// shorter and earlier name.
struct RankedPlace {
    int tier;
    int how;
    int where;
    int distance;
    int common;
    Place place;

    bool operator<(const RankedPlace& other) const {
        return std::forward_as_tuple(tier, how, where, distance, other.common, place.delivery,
                                     place.locality.size(), place.locality, place.state,
                                     place.postcode) <
               std::forward_as_tuple(other.tier, other.how, other.where, other.distance, common,
                                     other.place.delivery, other.place.locality.size(),
                                     other.place.locality, other.place.state, other.place.postcode);
    }
};

namespace {

// 0 the same name (typographic punctuation plain, MT for MOUNT) with the
// given postcode and state; 1 another name with both; 2 the same name
// elsewhere; 3 the rest. The postcode and state together outweigh the name,
// and the name outweighs either alone.
int TierOf(bool same_name, bool postcode_and_state) {
    if (postcode_and_state) {
        return same_name ? 0 : 1;
    }
    return same_name ? 2 : 3;
}

int WhereOf(const Place& place, bool has_postcode, const std::string& state) {
    if (has_postcode) {
        return 0;
    }
    return place.state == state ? 1 : 2;
}

void Best(std::vector<RankedPlace>& ranked, std::size_t most, CheckResult& result) {
    std::sort(ranked.begin(), ranked.end());
    std::vector<Place> out;
    for (RankedPlace& r : ranked) {
        // A locality in a state once, with the postcode that ranked first.
        const Place& place = r.place;
        if (std::none_of(out.begin(), out.end(), [&](const Place& taken) {
                return taken.locality == place.locality && taken.state == place.state;
            })) {
            out.push_back(std::move(r.place));
        }
    }
    Limit(std::move(out), most, result);
}

}  // namespace

Delivery DeliveryOf(std::string_view comments) {
    const std::string text = NormalisedField(comments);
    if (text == "LVR" || text.find("LARGE VOLUME") != std::string::npos) {
        return Delivery::LargeVolumeReceiver;
    }
    if (text.find("BOX") != std::string::npos) {
        return Delivery::PostOfficeBoxes;
    }
    return Delivery::Street;
}

std::string PaddedPostcode(std::string_view text) {
    const std::size_t point = std::min(text.find('.'), text.size());
    const std::string_view digits = text.substr(0, point);
    const std::string_view fraction = text.substr(std::min(point + 1, text.size()));
    if (digits.empty() || digits.size() > 4 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
        !std::all_of(fraction.begin(), fraction.end(), [](char c) { return c == '0'; }) ||
        (point == text.size() && digits.size() == 4)) {
        return {};
    }
    return std::string(4 - digits.size(), '0') + std::string(digits);
}

std::string Place::Text() const {
    const char* what = delivery == Delivery::PostOfficeBoxes       ? ", PO boxes"
                       : delivery == Delivery::LargeVolumeReceiver ? ", large volume receiver"
                                                                   : "";
    return locality + " (" + state + " " + postcode + what + ")";
}

std::string SuggestionText(const CheckResult& result) {
    std::string out;
    for (const Place& place : result.suggestions) {
        out += out.empty() ? "" : "; ";
        out += place.Text();
    }
    if (result.left_out > 0) {
        out += "; and " + std::to_string(result.left_out) + " more";
    }
    return out;
}

std::string_view VerdictWord(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok:
            return "ok";
        case Verdict::WrongPostcode:
            return "wrong-postcode";
        case Verdict::WrongState:
            return "wrong-state";
        case Verdict::WrongStateAndPostcode:
            return "wrong-state-and-postcode";
        case Verdict::UnknownLocality:
            return "unknown-locality";
        case Verdict::UnknownPostcode:
            return "unknown-postcode";
        case Verdict::PostcodeAsNumber:
            return "postcode-as-number";
        case Verdict::Fixed:
            return "fixed";
        case Verdict::Incomplete:
            break;
    }
    return "incomplete";
}

void LocalityIndex::HashTable::Reserve(std::size_t count) {
    std::size_t size = 16;
    while (size < 2 * count) {
        size *= 2;
    }
    keys_.assign(size, 0);
    values_.assign(size, kNone);
    mask_ = size - 1;
    count_ = 0;
}

void LocalityIndex::HashTable::Insert(std::uint64_t key, std::uint32_t value) {
    if (2 * (count_ + 1) > values_.size()) {
        // Grows by rebuilding at twice the room.
        std::vector<std::uint64_t> keys;
        std::vector<std::uint32_t> values;
        keys.swap(keys_);
        values.swap(values_);
        Reserve(std::max<std::size_t>(count_ + 1, values.size()));
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (values[i] != kNone) {
                Insert(keys[i], values[i]);
            }
        }
    }
    std::size_t i = key & mask_;
    while (values_[i] != kNone) {
        i = (i + 1) & mask_;
    }
    keys_[i] = key;
    values_[i] = value;
    ++count_;
}

std::uint32_t LocalityIndex::NameNumber(const std::string& name) const {
    std::uint32_t found = kNoName;
    by_name_.ForEach(Hash(std::string_view(name)), [&](std::uint32_t n) {
        if (names_[n].text == name) {
            found = n;
        }
    });
    return found;
}

void LocalityIndex::Add(const PostcodeRecord& record) {
    std::string locality = NormalisedField(record.Locality);
    if (locality.empty()) {
        return;
    }
    std::string state = NormalisedField(record.State);
    std::string postcode = NormalisedField(record.Postcode);
    const Delivery delivery = DeliveryOf(record.Comments);
    std::uint32_t number = NameNumber(locality);
    if (number == kNoName) {
        number = static_cast<std::uint32_t>(names_.size());
        by_name_.Insert(Hash(std::string_view(locality)), number);
        names_.push_back({std::move(locality), {}});
    }
    Name& name = names_[number];
    for (const std::uint32_t e : name.entries) {
        if (entries_[e].state == state && entries_[e].postcode == postcode) {
            // The same place again, under another delivery office: street
            // delivery if either record is.
            entries_[e].delivery = std::min(entries_[e].delivery, delivery);
            return;
        }
    }
    const auto entry = static_cast<std::uint32_t>(entries_.size());
    name.entries.push_back(entry);
    if (IsPostcode(postcode)) {
        by_postcode_[static_cast<std::size_t>(std::stoi(postcode))].push_back(entry);
    }
    entries_.push_back({number, std::move(state), std::move(postcode), delivery});
}

void LocalityIndex::Finish() {
    std::unordered_map<std::u32string, std::uint32_t> by_canonical;
    by_canonical.reserve(names_.size());
    name_canonical_.resize(names_.size());
    for (std::uint32_t n = 0; n < names_.size(); ++n) {
        std::string text = NameForSuggestions(names_[n].text);
        std::u32string canonical = CodePoints(text);
        longest_canonical_ = std::max(longest_canonical_, canonical.size());
        const auto [it, added] =
            by_canonical.try_emplace(canonical, static_cast<std::uint32_t>(canonical_.size()));
        if (added) {
            canonical_.push_back(std::move(canonical));
            canonical_text_.push_back(std::move(text));
            canonical_names_.emplace_back();
        }
        canonical_names_[it->second].push_back(n);
        name_canonical_[n] = it->second;
    }
    std::vector<std::uint64_t> hashes;
    for (std::uint32_t c = 0; c < canonical_.size(); ++c) {
        AddDeletions(canonical_[c], hashes);
        for (const std::uint64_t h : hashes) {
            deletions_.emplace_back(h, c);
        }
    }
    std::sort(deletions_.begin(), deletions_.end());
    deletion_starts_.Reserve(deletions_.size() / 2);
    for (std::size_t i = 0; i < deletions_.size(); ++i) {
        if (i == 0 || deletions_[i].first != deletions_[i - 1].first) {
            deletion_starts_.Insert(deletions_[i].first, static_cast<std::uint32_t>(i));
        }
    }
}

std::vector<std::uint32_t> LocalityIndex::Candidates(const std::u32string& canonical) const {
    std::vector<std::uint64_t> hashes;
    AddDeletions(canonical, hashes);
    std::vector<std::uint32_t> found;
    for (const std::uint64_t h : hashes) {
        deletion_starts_.ForEach(h, [&](std::uint32_t start) {
            for (std::size_t i = start; i < deletions_.size() && deletions_[i].first == h; ++i) {
                found.push_back(deletions_[i].second);
            }
        });
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

void LocalityIndex::AddNear(const std::u32string& query, const std::string& state,
                            const std::string& postcode, std::vector<RankedPlace>& ranked) const {
    // No name is longer than the longest by more than kMostEdits: a longer
    // text is near none, and is never broken into its deletions.
    if (query.size() > longest_canonical_ + kMostEdits) {
        return;
    }
    std::vector<std::uint32_t> chosen;
    for (const std::uint32_t c : Candidates(query)) {
        const int distance = NameDistance(query, canonical_[c], kMostEdits);
        if (distance > kMostEdits) {
            continue;
        }
        const int common = CommonLetters(query, canonical_[c]);
        for (const std::uint32_t n : canonical_names_[c]) {
            // One place a state: the given postcode if the name has it there,
            // else the state's first street delivery, else its first.
            chosen.clear();
            for (const std::uint32_t e : names_[n].entries) {
                const Entry& entry = entries_[e];
                auto same = std::find_if(chosen.begin(), chosen.end(), [&](std::uint32_t other) {
                    return entries_[other].state == entry.state;
                });
                if (same == chosen.end()) {
                    chosen.push_back(e);
                } else if (entries_[*same].postcode != postcode &&
                           (entry.postcode == postcode ||
                            entry.delivery < entries_[*same].delivery)) {
                    *same = e;
                }
            }
            for (const std::uint32_t e : chosen) {
                const Entry& entry = entries_[e];
                Place place{names_[n].text, entry.state, entry.postcode, entry.delivery};
                const int where = WhereOf(place, entry.postcode == postcode, state);
                const int tier =
                    TierOf(distance == 0, entry.postcode == postcode && entry.state == state);
                ranked.push_back({tier, 2, where, distance, common, std::move(place)});
            }
        }
    }
}

void LocalityIndex::AddByWords(const std::string& query, const std::string& state,
                               const std::string& postcode,
                               std::vector<RankedPlace>& ranked) const {
    if (!IsPostcode(postcode)) {
        return;
    }
    std::vector<std::string_view> words;
    Words(query, words);
    std::vector<std::string_view> name_words;
    for (const std::uint32_t e : by_postcode_[static_cast<std::size_t>(std::stoi(postcode))]) {
        const Entry& entry = entries_[e];
        const std::string& name_form = canonical_text_[name_canonical_[entry.name]];
        Words(name_form, name_words);
        int how = 0;
        int common = 0;
        if (SameWordsReordered(words, name_words)) {
            common = static_cast<int>(name_form.size());
        } else if (HoldsWords(words, name_words) && words != name_words) {
            how = 1;  // a known name inside the text: "SYDNEY CBD"
            common = static_cast<int>(name_form.size());
        } else if (HoldsWords(name_words, words) && words != name_words) {
            how = 1;  // the text inside a known name: "SURFERS"
            common = static_cast<int>(query.size());
        } else {
            continue;
        }
        Place place{names_[entry.name].text, entry.state, entry.postcode, entry.delivery};
        const int where = WhereOf(place, entry.state == state, state);
        ranked.push_back(
            {TierOf(false, entry.state == state), how, where, 0, common, std::move(place)});
    }
}

void LocalityIndex::Suggest(const std::string& locality, const std::string& state,
                            const std::string& postcode, CheckResult& result) const {
    const std::string query = NameForSuggestions(locality);
    const std::string wanted_state = NormalisedField(state);
    const std::string wanted_postcode = NormalisedField(postcode);
    std::vector<RankedPlace> ranked;
    AddByWords(query, wanted_state, wanted_postcode, ranked);
    // A character is at most four bytes: a text of more bytes than that is
    // near no name, and is not turned into code points.
    if (query.size() <= 4 * (longest_canonical_ + kMostEdits)) {
        AddNear(CodePoints(query), wanted_state, wanted_postcode, ranked);
    }
    Best(ranked, kMostSuggestions, result);
}

std::vector<std::pair<int, std::string>> LocalityIndex::NamesNear(std::string_view locality,
                                                                  std::string_view state,
                                                                  std::string_view postcode) const {
    std::vector<std::pair<int, std::string>> out;
    const std::string p = NormalisedField(postcode);
    const std::string s = NormalisedField(state);
    const std::u32string query = CodePoints(NameForSuggestions(locality));
    if (!IsPostcode(p) || query.size() > longest_canonical_ + kMostEdits) {
        return out;
    }
    for (const std::uint32_t e : by_postcode_[static_cast<std::size_t>(std::stoi(p))]) {
        const Entry& entry = entries_[e];
        const int distance =
            NameDistance(query, canonical_[name_canonical_[entry.name]], kMostEdits);
        if (entry.state == s && distance <= kMostEdits) {
            out.emplace_back(distance, names_[entry.name].text);
        }
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void LocalityIndex::PlacesOf(const std::vector<std::uint32_t>& entries, CheckResult& result) const {
    result.left_out = entries.size() > kMostPlaces ? entries.size() - kMostPlaces : 0;
    for (std::size_t i = 0; i < entries.size() && i < kMostPlaces; ++i) {
        const Entry& entry = entries_[entries[i]];
        result.suggestions.push_back(
            {names_[entry.name].text, entry.state, entry.postcode, entry.delivery});
    }
}

CheckResult LocalityIndex::CheckFourDigits(const std::string& p, const std::string& l,
                                           const std::string& s) const {
    CheckResult result;
    const std::uint32_t name = NameNumber(l);
    if (name != kNoName) {
        std::vector<std::uint32_t> in_state;
        std::vector<std::uint32_t> with_postcode;
        for (const std::uint32_t e : names_[name].entries) {
            const Entry& entry = entries_[e];
            if (entry.state == s && entry.postcode == p) {
                return result;  // ok
            }
            if (entry.state == s) {
                in_state.push_back(e);
            } else if (entry.postcode == p) {
                with_postcode.push_back(e);
            }
        }
        // Street delivery first, each kind in file order.
        const auto by_delivery = [this](std::uint32_t a, std::uint32_t b) {
            return entries_[a].delivery < entries_[b].delivery;
        };
        std::stable_sort(in_state.begin(), in_state.end(), by_delivery);
        std::stable_sort(with_postcode.begin(), with_postcode.end(), by_delivery);
        if (!in_state.empty()) {
            // The state's own postcodes; after the first, the locality that
            // the given postcode is in another state, for a state that may
            // be the wrong half.
            result.verdict = Verdict::WrongPostcode;
            in_state.insert(in_state.begin() + 1, with_postcode.begin(), with_postcode.end());
            PlacesOf(in_state, result);
            return result;
        }
        if (!with_postcode.empty()) {
            result.verdict = Verdict::WrongState;
            PlacesOf(with_postcode, result);
            return result;
        }
        // Known, but neither in that state nor with that postcode: its own
        // places rank first among the suggestions, as the same name.
        result.verdict = Verdict::WrongStateAndPostcode;
        Suggest(l, s, p, result);
        return result;
    }
    result.verdict = by_postcode_[static_cast<std::size_t>(std::stoi(p))].empty()
                         ? Verdict::UnknownPostcode
                         : Verdict::UnknownLocality;
    Suggest(l, s, p, result);
    return result;
}

CheckResult LocalityIndex::Check(std::string_view postcode, std::string_view locality,
                                 std::string_view state) const {
    const std::string p = NormalisedField(postcode);
    const std::string l = NormalisedField(locality);
    const std::string s = NormalisedField(state);
    if (p.empty() || l.empty() || s.empty()) {
        return {Verdict::Incomplete, {}, 0};
    }
    if (IsPostcode(p)) {
        return CheckFourDigits(p, l, s);
    }
    const std::string padded = PaddedPostcode(p);
    if (padded.empty()) {
        return {Verdict::Incomplete, {}, 0};
    }
    // A number for a postcode: what the four-digit postcode would make of
    // the row, the place itself when it is right.
    CheckResult result = CheckFourDigits(padded, l, s);
    if (result.verdict == Verdict::Ok) {
        for (const std::uint32_t e : names_[NameNumber(l)].entries) {
            const Entry& entry = entries_[e];
            if (entry.state == s && entry.postcode == padded) {
                result.suggestions.push_back({l, s, padded, entry.delivery});
            }
        }
    }
    result.verdict = Verdict::PostcodeAsNumber;
    return result;
}

std::vector<Place> NearestForLookUp(const std::vector<Place>& places, const std::string& locality,
                                    bool contains, const std::string& state,
                                    const std::string& postcode) {
    const std::u32string query = CodePoints(NameForSuggestions(locality));
    std::vector<RankedPlace> ranked;
    std::string last_name;
    std::u32string last_canonical;
    for (const Place& place : places) {
        if (place.locality != last_name) {
            last_name = place.locality;
            last_canonical = CodePoints(NameForSuggestions(place.locality));
        }
        const int distance = contains
                                 ? InfixDistance(query, last_canonical, LocalityIndex::kMostEdits)
                                 : PrefixDistance(query, last_canonical, LocalityIndex::kMostEdits);
        if (distance > LocalityIndex::kMostEdits) {
            continue;
        }
        // The letters kept, within the part of the name the query stands for.
        const std::u32string_view part =
            contains ? std::u32string_view(last_canonical)
                     : std::u32string_view(last_canonical)
                           .substr(0, query.size() + static_cast<std::size_t>(distance));
        RankedPlace candidate{3, 2, 0, distance, CommonLetters(query, part), place};
        candidate.where = WhereOf(place, place.postcode == postcode, state);
        ranked.push_back(std::move(candidate));
    }
    CheckResult best;
    Best(ranked, LocalityIndex::kMostSuggestions, best);
    return best.suggestions;
}

std::string JoinPlaces(const std::vector<Place>& places, std::string_view last_joiner) {
    std::string out;
    for (std::size_t i = 0; i < places.size(); ++i) {
        if (i > 0) {
            out += i + 1 == places.size() ? std::string(last_joiner) : ", ";
        }
        out += places[i].Text();
    }
    return out;
}

}  // namespace korvallestin
