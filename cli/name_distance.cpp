#include "name_distance.h"

#include <algorithm>
#include <vector>

namespace korvallestin {

namespace {

// Optimal string alignment over rows of the table, three rows kept. With
// `free_start` a match may begin anywhere in `b`; with `free_end` it may end
// anywhere.
int Align(std::string_view a, std::string_view b, int limit, bool free_start, bool free_end) {
    const std::size_t n = b.size();
    thread_local std::vector<int> before;
    thread_local std::vector<int> previous;
    thread_local std::vector<int> current;
    before.assign(n + 1, 0);
    previous.resize(n + 1);
    current.resize(n + 1);
    for (std::size_t j = 0; j <= n; ++j) {
        previous[j] = free_start ? 0 : static_cast<int>(j);
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = static_cast<int>(i);
        int row_min = current[0];
        for (std::size_t j = 1; j <= n; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int best = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                best = std::min(best, before[j - 2] + 1);
            }
            current[j] = best;
            row_min = std::min(row_min, best);
        }
        if (row_min > limit) {
            return limit + 1;
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    const int result = free_end ? *std::min_element(previous.begin(), previous.end()) : previous[n];
    return std::min(result, limit + 1);
}

}  // namespace

int NameDistance(std::string_view a, std::string_view b, int limit) {
    const auto length_gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (length_gap > static_cast<std::size_t>(limit)) {
        return limit + 1;
    }
    return Align(a, b, limit, false, false);
}

int PrefixDistance(std::string_view query, std::string_view name, int limit) {
    return Align(query, name, limit, false, true);
}

int InfixDistance(std::string_view query, std::string_view name, int limit) {
    return Align(query, name, limit, true, true);
}

int CommonLetters(std::string_view a, std::string_view b) {
    std::vector<int> previous(b.size() + 1, 0);
    std::vector<int> current(b.size() + 1, 0);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            current[j] =
                a[i - 1] == b[j - 1] ? previous[j - 1] + 1 : std::max(previous[j], current[j - 1]);
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

std::string NormalisedField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool space = false;
    for (const char c : text) {
        if (c == ' ') {
            space = !out.empty();
            continue;
        }
        if (space) {
            out += ' ';
            space = false;
        }
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

std::string CanonicalName(std::string_view normalised) {
    std::string out;
    out.reserve(normalised.size());
    std::size_t start = 0;
    while (start <= normalised.size()) {
        std::size_t end = normalised.find(' ', start);
        if (end == std::string_view::npos) {
            end = normalised.size();
        }
        const std::string_view word = normalised.substr(start, end - start);
        if (!out.empty() || start > 0) {
            out += ' ';
        }
        if (word == "MOUNT") {
            out += "MT";
        } else if (word == "SAINT") {
            out += "ST";
        } else {
            out += word;
        }
        start = end + 1;
    }
    return out;
}

}  // namespace korvallestin
