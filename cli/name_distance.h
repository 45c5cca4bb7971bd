#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvallestin {

// Edit distance between two texts, counting a letter wrong, missing or extra,
// or two neighbours swapped, as one edit each (no letter edited twice).
// Counting stops past `limit`: any distance above it is given as limit + 1.
int NameDistance(std::string_view a, std::string_view b, int limit);

// The fewest edits that make `query` the beginning of `name` (for a look-up
// by "begins with"), or a part of it anywhere (for "contains"), capped the
// same way.
int PrefixDistance(std::string_view query, std::string_view name, int limit);
int InfixDistance(std::string_view query, std::string_view name, int limit);

// How many letters the two texts share in the same order (the length of the
// longest common subsequence): of two names as many edits away, the one
// that keeps more of what was typed is the likelier meant.
int CommonLetters(std::string_view a, std::string_view b);

// A field as the check compares it: spaces at either end dropped, runs of
// spaces made one, letters a to z upper-cased as the window's boxes do.
std::string NormalisedField(std::string_view text);

// A normalised name with the words MOUNT and SAINT written MT and ST, so that
// the long and short forms are the same name to the distance.
std::string CanonicalName(std::string_view normalised);

}  // namespace korvallestin
