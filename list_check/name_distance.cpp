#include "name_distance.h"

#include <algorithm>
#include <vector>

#include "letter_case.h"

namespace korvallestin {

namespace {

// Optimal string alignment over rows of the table, three rows kept. With
// `free_start` a match may begin anywhere in `b`; with `free_end` it may end
// anywhere. A row whose every cell is past `limit` ends the count, so a long
// `a` costs at most about (|b| + limit) rows.
int Align(std::u32string_view a, std::u32string_view b, int limit, bool free_start, bool free_end) {
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

std::u32string CodePoints(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        char32_t code = length == 1 ? lead : lead & (0x3FU >> (length - 1));
        bool valid = lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4 && at + length <= utf8.size());
        for (std::size_t i = 1; valid && i < length; ++i) {
            const auto next = static_cast<unsigned char>(utf8[at + i]);
            valid = (next & 0xC0U) == 0x80;
            code = (code << 6U) | (next & 0x3FU);
        }
        if (valid) {
            out.push_back(code);
            at += length;
        } else {
            out.push_back(0x110000 + lead);
            ++at;
        }
    }
    return out;
}

int NameDistance(std::u32string_view a, std::u32string_view b, int limit) {
    const auto length_gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    if (length_gap > static_cast<std::size_t>(limit)) {
        return limit + 1;
    }
    return Align(a, b, limit, false, false);
}

int NameDistance(std::string_view a, std::string_view b, int limit) {
    return NameDistance(CodePoints(a), CodePoints(b), limit);
}

int PrefixDistance(std::u32string_view query, std::u32string_view name, int limit) {
    return Align(query, name, limit, false, true);
}

int InfixDistance(std::u32string_view query, std::u32string_view name, int limit) {
    return Align(query, name, limit, true, true);
}

int PrefixDistance(std::string_view query, std::string_view name, int limit) {
    return PrefixDistance(CodePoints(query), CodePoints(name), limit);
}

int InfixDistance(std::string_view query, std::string_view name, int limit) {
    return InfixDistance(CodePoints(query), CodePoints(name), limit);
}

int CommonLetters(std::u32string_view a, std::u32string_view b) {
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

int CommonLetters(std::string_view a, std::string_view b) {
    return CommonLetters(CodePoints(a), CodePoints(b));
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
        out += UpperAsciiLetter(c);
    }
    return out;
}

std::string PlainPunctuation(std::string_view text) {
    struct Plain {
        std::string_view typographic;
        char plain;
    };
    static constexpr Plain kPlain[] = {
        {"\u2018", '\''}, {"\u2019", '\''}, {"\u201A", '\''}, {"\u201B", '\''}, {"\u2032", '\''},
        {"\u02BC", '\''}, {"\u00B4", '\''}, {"\u201C", '"'},  {"\u201D", '"'},  {"\u201E", '"'},
        {"\u201F", '"'},  {"\u2033", '"'},  {"\u2010", '-'},  {"\u2011", '-'},  {"\u2012", '-'},
        {"\u2013", '-'},  {"\u2014", '-'},  {"\u2015", '-'},  {"\u2212", '-'},  {"\u00A0", ' '},
        {"\u2007", ' '},  {"\u202F", ' '},
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        const Plain* found = nullptr;
        if (byte >= 0xC2) {
            for (const Plain& p : kPlain) {
                if (text.substr(at, p.typographic.size()) == p.typographic) {
                    found = &p;
                    break;
                }
            }
        }
        if (found != nullptr) {
            out += found->plain;
            at += found->typographic.size();
        } else {
            out += text[at];
            ++at;
        }
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

std::string NameForSuggestions(std::string_view text) {
    return CanonicalName(NormalisedField(PlainPunctuation(text)));
}

}  // namespace korvallestin
