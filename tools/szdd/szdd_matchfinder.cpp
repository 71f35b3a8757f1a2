#include "szdd_matchfinder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace szdd {
namespace {

constexpr size_t None = SIZE_MAX;
constexpr size_t Padding = 16;  // lets CommonLength load 8 bytes at a time

uint64_t LoadBig64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return __builtin_bswap64(v);
}

uint64_t LoadLittle64(const uint8_t* p)
{
    uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}

// Bytes a and b have in common, up to limit; reads up to 7 bytes past it.
size_t CommonPrefix(const uint8_t* a, const uint8_t* b, size_t limit)
{
    size_t n = 0;
    while (n < limit) {
        uint64_t diff = LoadLittle64(a + n) ^ LoadLittle64(b + n);
        if (diff != 0) {
            n += size_t(__builtin_ctzll(diff)) / 8;
            break;
        }
        n += 8;
    }
    return std::min(n, limit);
}

// Order of the MaxMatch bytes at a and b (positions within `text`).
bool KeyLess(const uint8_t* text, uint32_t a, uint32_t b)
{
    uint64_t x = LoadBig64(text + a), y = LoadBig64(text + b);
    if (x != y)
        return x < y;
    x = LoadBig64(text + a + 8), y = LoadBig64(text + b + 8);
    if (x != y)
        return x < y;
    return (uint32_t(text[a + 16]) << 8 | text[a + 17]) <
           (uint32_t(text[b + 16]) << 8 | text[b + 17]);
}

// Radix passes pay 256 buckets each, so small groups are better off with
// comparisons, which settle up to 8 shared bytes at a time.
constexpr size_t RadixFrom = 128;
constexpr size_t InsertionBelow = 24;

// Most-significant-digit radix sort of positions by their MaxMatch bytes,
// one byte per level from `depth` on. Positions with equal keys end in any
// order; that is all the search needs.
void SortPositions(const uint8_t* text, uint32_t* pos, uint32_t* scratch, size_t n, unsigned depth)
{
    while (n >= RadixFrom && depth < MaxMatch) {
        const uint8_t* digits = text + depth;
        size_t count[256] = {};
        for (size_t i = 0; i < n; ++i)
            ++count[digits[pos[i]]];
        if (count[digits[pos[0]]] == n) {
            // A shared byte: skip every byte they all share (all of them in
            // a long run) without moving anything.
            size_t shared = MaxMatch;
            for (size_t i = 1; i < n && shared > depth; ++i)
                shared = std::min(shared, CommonPrefix(text + pos[0], text + pos[i], MaxMatch));
            depth = unsigned(std::max<size_t>(shared, depth + 1));
            continue;
        }
        size_t start[256];
        size_t sum = 0;
        for (unsigned b = 0; b < 256; ++b) {
            start[b] = sum;
            sum += count[b];
        }
        size_t fill[256];
        std::copy(start, start + 256, fill);
        for (size_t i = 0; i < n; ++i)
            scratch[fill[digits[pos[i]]]++] = pos[i];
        std::copy(scratch, scratch + n, pos);
        for (unsigned b = 0; b < 256; ++b) {
            if (count[b] > 1)
                SortPositions(text, pos + start[b], scratch, count[b], depth + 1);
        }
        return;
    }
    if (n >= InsertionBelow && depth < MaxMatch) {
        std::sort(pos, pos + n, [text](uint32_t a, uint32_t b) { return KeyLess(text, a, b); });
        return;
    }
    for (size_t i = 1; i < n; ++i) {
        uint32_t k = pos[i];
        size_t j = i;
        for (; j > 0 && KeyLess(text, k, pos[j - 1]); --j)
            pos[j] = pos[j - 1];
        pos[j] = k;
    }
}

}  // namespace

void LongestMatchFinder::RankSet::Reset(size_t universe)
{
    levels_.clear();
    size_t words = (universe + 63) / 64;
    for (;;) {
        levels_.emplace_back(std::max<size_t>(words, 1), 0);
        if (words <= 1)
            break;
        words = (words + 63) / 64;
    }
}

void LongestMatchFinder::RankSet::Insert(size_t r)
{
    for (auto& level : levels_) {
        uint64_t& word = level[r >> 6];
        bool wasEmpty = word == 0;
        word |= uint64_t(1) << (r & 63);
        if (!wasEmpty)
            return;
        r >>= 6;
    }
}

void LongestMatchFinder::RankSet::Erase(size_t r)
{
    for (auto& level : levels_) {
        uint64_t& word = level[r >> 6];
        word &= ~(uint64_t(1) << (r & 63));
        if (word != 0)
            return;
        r >>= 6;
    }
}

size_t LongestMatchFinder::RankSet::Above(size_t r) const
{
    // Climb until a word holds a member right of the path, then descend to
    // its leftmost leaf.
    size_t depth = 0;
    for (;; ++depth) {
        if (depth == levels_.size())
            return None;
        unsigned bit = r & 63;
        uint64_t word = levels_[depth][r >> 6];
        uint64_t right = bit == 63 ? 0 : word & (~uint64_t(0) << (bit + 1));
        if (right != 0) {
            r = (r & ~size_t(63)) | size_t(__builtin_ctzll(right));
            break;
        }
        r >>= 6;
    }
    while (depth-- > 0)
        r = (r << 6) | size_t(__builtin_ctzll(levels_[depth][r]));
    return r;
}

size_t LongestMatchFinder::RankSet::Below(size_t r) const
{
    size_t depth = 0;
    for (;; ++depth) {
        if (depth == levels_.size())
            return None;
        unsigned bit = r & 63;
        uint64_t word = levels_[depth][r >> 6];
        uint64_t left = word & ((uint64_t(1) << bit) - 1);
        if (left != 0) {
            r = (r & ~size_t(63)) | size_t(63 - __builtin_clzll(left));
            break;
        }
        r >>= 6;
    }
    while (depth-- > 0)
        r = (r << 6) | size_t(63 - __builtin_clzll(levels_[depth][r]));
    return r;
}

LongestMatchFinder::LongestMatchFinder(const uint8_t* data, size_t size, size_t blockSize)
    : ext_(WindowSize + size + Padding, ' '), end_(WindowSize + size),
      treeEnd_(size >= MaxMatch ? end_ - MaxMatch + 1 : WindowSize),
      blockSize_(std::clamp<size_t>(blockSize, 1, size_t(1) << 30)), next_(WindowSize)
{
    if (size != 0)
        std::memcpy(ext_.data() + WindowSize, data, size);
    std::memset(ext_.data() + end_, 0, Padding);
}

size_t LongestMatchFinder::CommonLength(size_t a, size_t b, size_t limit) const
{
    return CommonPrefix(ext_.data() + a, ext_.data() + b, limit);
}

void LongestMatchFinder::PrepareBlock(size_t first)
{
    blockBase_ = first - WindowSize;
    blockEnd_ = std::min(first + blockSize_, treeEnd_);
    const size_t count = blockEnd_ - blockBase_;
    const uint8_t* p = ext_.data() + blockBase_;

    // The first two bytes in one counting pass, the rest by SortPositions.
    indexOfRank_.resize(count);
    scratch_.resize(count);
    bucketStart_.assign(65537, 0);
    for (size_t i = 0; i < count; ++i)
        ++bucketStart_[(p[i] << 8 | p[i + 1]) + 1];
    for (size_t b = 1; b <= 65536; ++b)
        bucketStart_[b] += bucketStart_[b - 1];
    bucketFill_.assign(bucketStart_.begin(), bucketStart_.end() - 1);
    for (size_t i = 0; i < count; ++i)
        indexOfRank_[bucketFill_[p[i] << 8 | p[i + 1]]++] = uint32_t(i);
    for (size_t b = 0; b < 65536; ++b) {
        const size_t n = bucketStart_[b + 1] - bucketStart_[b];
        if (n > 1)
            SortPositions(p, indexOfRank_.data() + bucketStart_[b], scratch_.data(), n, 2);
    }
    rankOf_.resize(count);
    for (size_t r = 0; r < count; ++r)
        rankOf_[indexOfRank_[r]] = uint32_t(r);

    window_.Reset(count);
    for (size_t i = 0; i < WindowSize; ++i)
        window_.Insert(rankOf_[i]);
}

Match LongestMatchFinder::TreeMatch(size_t q)
{
    if (q == blockEnd_ || blockEnd_ == 0)
        PrepareBlock(q);
    const size_t index = q - blockBase_;
    const size_t rank = rankOf_[index];

    // Inside a long repeat the previous distance usually still gives the
    // longest possible match; only when it does not are the neighbours asked.
    Match best;
    size_t bestLength = 0;
    if (lastDistance_ != 0 && CommonLength(q, q - lastDistance_, MaxMatch) == MaxMatch) {
        bestLength = MaxMatch;
        best.distance = lastDistance_;
    } else {
        for (size_t neighbour : {window_.Below(rank), window_.Above(rank)}) {
            if (neighbour == None)
                continue;
            size_t from = blockBase_ + indexOfRank_[neighbour];
            size_t length = CommonLength(q, from, MaxMatch);
            if (length > bestLength) {
                bestLength = length;
                best.distance = uint16_t(q - from);
            }
        }
    }
    if (bestLength >= MinMatch)
        best.length = uint8_t(bestLength);
    else
        best = Match{};
    lastDistance_ = best.distance;

    window_.Insert(rank);
    window_.Erase(rankOf_[index - WindowSize]);
    return best;
}

// The last positions have fewer than MaxMatch bytes left, so they have no
// sort key; there are at most 17 of them and a full window scan is cheap.
Match LongestMatchFinder::BruteMatch(size_t q) const
{
    const size_t limit = std::min(MaxMatch, end_ - q);
    Match best;
    size_t bestLength = 0;
    for (size_t d = 1; d <= WindowSize && bestLength < limit; ++d) {
        size_t length = CommonLength(q, q - d, limit);
        if (length > bestLength) {
            bestLength = length;
            best.distance = uint16_t(d);
        }
    }
    if (bestLength >= MinMatch)
        best.length = uint8_t(bestLength);
    else
        best = Match{};
    return best;
}

Match LongestMatchFinder::Next()
{
    if (next_ >= end_)
        throw std::out_of_range("LongestMatchFinder: past the end of the input");
    size_t q = next_++;
    return q < treeEnd_ ? TreeMatch(q) : BruteMatch(q);
}

}  // namespace szdd
