// Edit distance between two character sequences (insertions, deletions and substitutions cost one each), for
// the line accuracy of the engine's tests: 1 - distance / expected length.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace sw::scribeng::testing {

inline size_t editDistance(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t next =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

}  // namespace sw::scribeng::testing
