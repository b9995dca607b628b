// The word a typing slip most likely meant ("provison" for "provision",
// "--jsn" for "--json"), for a "did you mean" hint.
#pragma once

#include <string>
#include <vector>

// The candidate nearest to `typed` by edits (a letter added, dropped,
// changed, or two swapped), if it is near enough to be a slip: at most two
// edits, and fewer than half the word's letters. Empty when none is.
std::string NearestWord(const std::string& typed, const std::vector<std::string>& candidates);
