#include "NearestWord.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr std::size_t MostEdits = 2;

// Edits from `a` to `b`, counting a swap of two neighbours as one
// (optimal string alignment distance).
std::size_t Edits(const std::string& a, const std::string& b)
{
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i)
        d[i][0] = i;
    for (std::size_t j = 0; j <= b.size(); ++j)
        d[0][j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::string NearestWord(const std::string& typed, const std::vector<std::string>& candidates)
{
    // A long slip costs time, not correctness: nothing longer is compared.
    constexpr std::size_t LongestWord = 64;
    if (typed.size() > LongestWord)
        return {};
    std::string nearest;
    std::size_t fewest = MostEdits + 1;
    for (const std::string& candidate : candidates) {
        const std::size_t edits = Edits(typed, candidate);
        if (edits < fewest && edits * 2 < candidate.size()) {
            fewest = edits;
            nearest = candidate;
        }
    }
    return nearest;
}
