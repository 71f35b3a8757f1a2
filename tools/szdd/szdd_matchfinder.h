// Exact longest-match search over the SZDD window.
#ifndef CRATEWISE_SZDD_MATCHFINDER_H
#define CRATEWISE_SZDD_MATCHFINDER_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace szdd {

constexpr size_t WindowSize = 4096;
constexpr size_t WriteStart = 4080;  // ring position of the first output byte
constexpr size_t MinMatch = 3;
constexpr size_t MaxMatch = 18;
constexpr size_t DefaultBlockSize = size_t(1) << 14;  // keeps a block's sort in cache

// Longest match at one input position. `length` is the longest run the window
// repeats, capped at MaxMatch and at the bytes left; 0 when it is shorter
// than MinMatch. Every length from MinMatch to `length` is available at the
// same `distance` (1..WindowSize, counted back through the decoder's history
// of 4096 spaces followed by the output).
struct Match {
    uint8_t length = 0;
    uint16_t distance = 0;
};

// Hands out the longest match for input positions 0, 1, 2, ... in order.
//
// Why this structure: an exact hash-chain search must walk each chain to its
// end unless it reaches MaxMatch, and a window full of strings sharing a
// short prefix makes that up to 4096 steps per byte; a binary tree ordered by
// age degenerates the same way on slowly rising data such as gradients.
// Instead each block of positions, with the 4096 before it, is sorted by its
// first MaxMatch bytes (radix sort, at most MaxMatch passes); a position's
// longest match is then with its nearest neighbour in that order among the
// positions inside the window, found in a 64-way bit tree over the sorted
// ranks. Exact by construction (the longest common prefix with a member of a
// sorted set is reached at a neighbour), and the work per byte is bounded
// whatever the data.
class LongestMatchFinder {
public:
    // `blockSize` only trades memory for re-sorting the window at each block
    // start; the matches found do not depend on it.
    LongestMatchFinder(const uint8_t* data, size_t size, size_t blockSize = DefaultBlockSize);

    Match Next();

private:
    // 64-way bit tree: an ordered set of ranks with predecessor/successor.
    class RankSet {
    public:
        void Reset(size_t universe);
        void Insert(size_t r);
        void Erase(size_t r);
        // Largest member below r / smallest above r, or SIZE_MAX.
        size_t Below(size_t r) const;
        size_t Above(size_t r) const;

    private:
        std::vector<std::vector<uint64_t>> levels_;
    };

    // Sorts the positions [first - 4096, first + blockSize) by their keys.
    void PrepareBlock(size_t first);
    Match TreeMatch(size_t q);
    Match BruteMatch(size_t q) const;
    size_t CommonLength(size_t a, size_t b, size_t limit) const;

    std::vector<uint8_t> ext_;  // 4096 spaces, the input, then padding
    size_t end_;                // end of the input in ext_
    size_t treeEnd_;            // first position with fewer than MaxMatch bytes left
    size_t blockSize_;
    size_t next_;                // next position to answer, in ext_
    size_t blockBase_ = 0;       // ext_ position of rank universe index 0
    size_t blockEnd_ = 0;        // first position past the prepared block
    uint16_t lastDistance_ = 0;  // distance of the previous position's match
    std::vector<uint32_t> scratch_;
    std::vector<uint32_t> bucketStart_;
    std::vector<uint32_t> bucketFill_;
    std::vector<uint32_t> rankOf_;  // block index -> rank
    std::vector<uint32_t> indexOfRank_;
    RankSet window_;
};

}  // namespace szdd

#endif
