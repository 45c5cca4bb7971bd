#include "locality_index.h"

#include <algorithm>
#include <tuple>
#include <unordered_map>

#include "name_distance.h"

namespace korvallestin {

namespace {

std::uint64_t Hash(std::string_view text) {
    // FNV-1a: a collision only adds a candidate, which the distance then
    // turns away.
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    return hash;
}

// The hashes of `text` with every choice of up to two letters deleted.
void AddDeletions(std::string_view text, std::vector<std::uint64_t>& out) {
    out.clear();
    out.push_back(Hash(text));
    std::string once;
    std::string twice;
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

// A candidate place and what ranks it: the given postcode first, then the
// given state, then the fewest edits, then the most letters kept of what was
// typed, then the shorter and earlier name.
struct Ranked {
    int rank;
    int distance;
    int common;
    Place place;

    bool operator<(const Ranked& other) const {
        return std::forward_as_tuple(rank, distance, other.common, place.locality.size(),
                                     place.locality, place.state, place.postcode) <
               std::forward_as_tuple(other.rank, other.distance, common,
                                     other.place.locality.size(), other.place.locality,
                                     other.place.state, other.place.postcode);
    }
};

int RankOf(const Place& place, bool has_postcode, const std::string& state) {
    if (has_postcode) {
        return 0;
    }
    return place.state == state ? 1 : 2;
}

std::vector<Place> Best(std::vector<Ranked>& ranked, std::size_t most) {
    std::sort(ranked.begin(), ranked.end());
    std::vector<Place> out;
    for (std::size_t i = 0; i < ranked.size() && out.size() < most; ++i) {
        // A locality in a state once, with the postcode that ranked first.
        const Place& place = ranked[i].place;
        if (std::none_of(out.begin(), out.end(), [&](const Place& taken) {
                return taken.locality == place.locality && taken.state == place.state;
            })) {
            out.push_back(std::move(ranked[i].place));
        }
    }
    return out;
}

}  // namespace

std::string_view VerdictWord(Verdict verdict) {
    switch (verdict) {
        case Verdict::Ok:
            return "ok";
        case Verdict::WrongPostcode:
            return "wrong-postcode";
        case Verdict::WrongState:
            return "wrong-state";
        case Verdict::UnknownLocality:
            return "unknown-locality";
        case Verdict::UnknownPostcode:
            return "unknown-postcode";
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
    by_name_.ForEach(Hash(name), [&](std::uint32_t n) {
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
    std::uint32_t number = NameNumber(locality);
    if (number == kNoName) {
        number = static_cast<std::uint32_t>(names_.size());
        by_name_.Insert(Hash(locality), number);
        names_.push_back({std::move(locality), {}});
    }
    Name& name = names_[number];
    for (const std::uint32_t e : name.entries) {
        if (entries_[e].state == state && entries_[e].postcode == postcode) {
            return;  // the same place again, under another delivery office
        }
    }
    name.entries.push_back(static_cast<std::uint32_t>(entries_.size()));
    if (IsPostcode(postcode)) {
        postcodes_[static_cast<std::size_t>(std::stoi(postcode))] = true;
    }
    entries_.push_back({number, std::move(state), std::move(postcode)});
}

void LocalityIndex::Finish() {
    std::unordered_map<std::string, std::uint32_t> by_canonical;
    by_canonical.reserve(names_.size());
    for (std::uint32_t n = 0; n < names_.size(); ++n) {
        std::string canonical = CanonicalName(names_[n].text);
        const auto [it, added] =
            by_canonical.try_emplace(canonical, static_cast<std::uint32_t>(canonical_.size()));
        if (added) {
            canonical_.push_back(std::move(canonical));
            canonical_names_.emplace_back();
        }
        canonical_names_[it->second].push_back(n);
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

std::vector<std::uint32_t> LocalityIndex::Candidates(const std::string& canonical) const {
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

std::vector<Place> LocalityIndex::Nearest(const std::string& locality, const std::string& state,
                                          const std::string& postcode) const {
    const std::string query = CanonicalName(NormalisedField(locality));
    const std::string wanted_state = NormalisedField(state);
    const std::string wanted_postcode = NormalisedField(postcode);
    std::vector<Ranked> ranked;
    for (const std::uint32_t c : Candidates(query)) {
        const int distance = NameDistance(query, canonical_[c], kMostEdits);
        if (distance > kMostEdits) {
            continue;
        }
        const int common = CommonLetters(query, canonical_[c]);
        for (const std::uint32_t n : canonical_names_[c]) {
            // One place a state: the given postcode if the name has it there,
            // else the state's first in the file.
            std::vector<Ranked> by_state;
            for (const std::uint32_t e : names_[n].entries) {
                const Entry& entry = entries_[e];
                const bool has_postcode = entry.postcode == wanted_postcode;
                auto same = std::find_if(by_state.begin(), by_state.end(), [&](const Ranked& r) {
                    return r.place.state == entry.state;
                });
                Ranked candidate{
                    0, distance, common, {names_[n].text, entry.state, entry.postcode}};
                candidate.rank = RankOf(candidate.place, has_postcode, wanted_state);
                if (same == by_state.end()) {
                    by_state.push_back(std::move(candidate));
                } else if (has_postcode) {
                    *same = std::move(candidate);
                }
            }
            ranked.insert(ranked.end(), by_state.begin(), by_state.end());
        }
    }
    return Best(ranked, kMostSuggestions);
}

CheckResult LocalityIndex::Check(std::string_view postcode, std::string_view locality,
                                 std::string_view state) const {
    const std::string p = NormalisedField(postcode);
    const std::string l = NormalisedField(locality);
    const std::string s = NormalisedField(state);
    CheckResult result;
    if (p.empty() || l.empty() || s.empty() || !IsPostcode(p)) {
        result.verdict = Verdict::Incomplete;
        return result;
    }
    const std::uint32_t name = NameNumber(l);
    if (name != kNoName) {
        const std::vector<std::uint32_t>& entries = names_[name].entries;
        std::vector<Place> in_state;
        std::vector<Place> with_postcode;
        for (const std::uint32_t e : entries) {
            const Entry& entry = entries_[e];
            if (entry.state == s && entry.postcode == p) {
                return result;  // ok
            }
            if (entry.state == s) {
                in_state.push_back({l, entry.state, entry.postcode});
            } else if (entry.postcode == p) {
                with_postcode.push_back({l, entry.state, entry.postcode});
            }
        }
        if (!in_state.empty()) {
            result.verdict = Verdict::WrongPostcode;
            result.suggestions = std::move(in_state);
            return result;
        }
        if (!with_postcode.empty()) {
            result.verdict = Verdict::WrongState;
            result.suggestions = std::move(with_postcode);
            return result;
        }
    }
    result.verdict = postcodes_[static_cast<std::size_t>(std::stoi(p))] ? Verdict::UnknownLocality
                                                                        : Verdict::UnknownPostcode;
    result.suggestions = Nearest(l, s, p);
    return result;
}

std::vector<Place> NearestForLookUp(const std::vector<Place>& places, const std::string& locality,
                                    bool contains, const std::string& state,
                                    const std::string& postcode) {
    const std::string query = CanonicalName(NormalisedField(locality));
    std::vector<Ranked> ranked;
    std::string last_name;
    std::string last_canonical;
    for (const Place& place : places) {
        if (place.locality != last_name) {
            last_name = place.locality;
            last_canonical = CanonicalName(NormalisedField(place.locality));
        }
        const int distance = contains
                                 ? InfixDistance(query, last_canonical, LocalityIndex::kMostEdits)
                                 : PrefixDistance(query, last_canonical, LocalityIndex::kMostEdits);
        if (distance > LocalityIndex::kMostEdits) {
            continue;
        }
        // The letters kept, within the part of the name the query stands for.
        const std::string_view part =
            contains ? std::string_view(last_canonical)
                     : std::string_view(last_canonical)
                           .substr(0, query.size() + static_cast<std::size_t>(distance));
        Ranked candidate{0, distance, CommonLetters(query, part), place};
        candidate.rank = RankOf(place, place.postcode == postcode, state);
        ranked.push_back(std::move(candidate));
    }
    return Best(ranked, LocalityIndex::kMostSuggestions);
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
