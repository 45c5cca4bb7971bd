#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvallestin {

// Distances count characters, not bytes: texts are compared as code points
// (see CodePoints), so that an accented letter or a typographic apostrophe
// is one edit, not two or three.

// Edit distance between two texts, counting a letter wrong, missing or extra,
// or two neighbours swapped, as one edit each (no letter edited twice).
// Counting stops past `limit`: any distance above it is given as limit + 1.
int NameDistance(std::u32string_view a, std::u32string_view b, int limit);
int NameDistance(std::string_view a, std::string_view b, int limit);

// The fewest edits that make `query` the beginning of `name` (for a look-up
// by "begins with"), or a part of it anywhere (for "contains"), capped the
// same way.
int PrefixDistance(std::u32string_view query, std::u32string_view name, int limit);
int InfixDistance(std::u32string_view query, std::u32string_view name, int limit);
int PrefixDistance(std::string_view query, std::string_view name, int limit);
int InfixDistance(std::string_view query, std::string_view name, int limit);

// How many letters the two texts share in the same order (the length of the
// longest common subsequence): of two names as many edits away, the one
// that keeps more of what was typed is the likelier meant.
int CommonLetters(std::u32string_view a, std::u32string_view b);
int CommonLetters(std::string_view a, std::string_view b);

// UTF-8 text as code points. A byte that begins no valid character stands for
// itself, as a value above every code point, so it equals no character.
std::u32string CodePoints(std::string_view utf8);

// A field as the check compares it: spaces at either end dropped, runs of
// spaces made one, letters a to z upper-cased as the window's boxes do.
std::string NormalisedField(std::string_view text);

// Typographic quotes, apostrophes and dashes, as word processors and
// spreadsheets type them, written as their plain forms (' " -), and
// non-breaking spaces as spaces. For suggestions only: the verdict compares
// characters as they are.
std::string PlainPunctuation(std::string_view text);

// A normalised name with the words MOUNT and SAINT written MT and ST, so that
// the long and short forms are the same name to the distance.
std::string CanonicalName(std::string_view normalised);

// A field as the suggestions compare names: normalised, typographic
// punctuation plain, MOUNT and SAINT short.
std::string NameForSuggestions(std::string_view text);

}  // namespace korvallestin
