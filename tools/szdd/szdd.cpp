#include "szdd.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "szdd_matchfinder.h"

namespace {

constexpr uint64_t LiteralBits = 9;
constexpr uint64_t MatchBits = 17;
constexpr uint64_t Unreached = std::numeric_limits<uint64_t>::max();
constexpr size_t CostRing = 32;  // > MaxMatch: a relaxation never lands on a live slot

// Parse of every position: the optimal last item ending there (1 = literal)
// and the match distance found starting there.
struct Parse {
    std::vector<uint8_t> lastItem;
    std::vector<uint16_t> distance;
};

// Shortest path where a literal costs 9 bits and a match 17 whatever its
// length, so every length up to the longest match is an edge. Returns the
// stream's bit count.
uint64_t ParseOptimally(const uint8_t* data, size_t size, size_t blockSize, Parse* parse)
{
    parse->lastItem.assign(size + 1, 0);
    parse->distance.assign(size, 0);
    uint64_t cost[CostRing];
    std::fill(cost, cost + CostRing, Unreached);
    cost[0] = 0;

    szdd::LongestMatchFinder finder(data, size, blockSize ? blockSize : szdd::DefaultBlockSize);
    uint8_t* lastItem = parse->lastItem.data();
    for (size_t i = 0; i < size; ++i) {
        const uint64_t here = cost[i % CostRing];
        cost[i % CostRing] = Unreached;
        const szdd::Match m = finder.Next();
        parse->distance[i] = m.distance;

        auto relax = [&](size_t length, uint64_t bits) {
            uint64_t& slot = cost[(i + length) % CostRing];
            if (here + bits < slot) {
                slot = here + bits;
                lastItem[i + length] = uint8_t(length);
            }
        };
        relax(1, LiteralBits);
        for (size_t length = szdd::MinMatch; length <= m.length; ++length)
            relax(length, MatchBits);
    }
    return cost[size % CostRing];
}

class StreamWriter {
public:
    explicit StreamWriter(std::vector<uint8_t>* out) : out_(out) {}

    void Literal(uint8_t byte)
    {
        Flag(true);
        out_->push_back(byte);
    }

    void Match(size_t ringPos, size_t length)
    {
        Flag(false);
        out_->push_back(uint8_t(ringPos & 0xFF));
        out_->push_back(uint8_t(((ringPos >> 4) & 0xF0) | (length - szdd::MinMatch)));
    }

private:
    void Flag(bool literal)
    {
        if (bit_ == 8) {
            flagAt_ = out_->size();
            out_->push_back(0);
            bit_ = 0;
        }
        if (literal)
            (*out_)[flagAt_] |= uint8_t(1u << bit_);
        ++bit_;
    }

    std::vector<uint8_t>* out_;
    size_t flagAt_ = 0;
    unsigned bit_ = 8;
};

}  // namespace

void SzddWriteHeader(uint8_t* out, uint8_t lostChar, uint32_t expandedSize)
{
    static const uint8_t Magic[9] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'};
    std::copy(Magic, Magic + 9, out);
    out[9] = lostChar;
    for (int i = 0; i < 4; ++i)
        out[10 + i] = uint8_t(expandedSize >> (8 * i));
}

uint64_t SzddStreamSize(const SzddParseStats& stats)
{
    return SzddHeaderSize + (LiteralBits * stats.literals + MatchBits * stats.matches + 7) / 8;
}

uint8_t SzddLostChar(const std::string& fileName)
{
    return fileName.empty() ? 0 : uint8_t(fileName.back());
}

std::vector<uint8_t> SzddCompressWithStats(const uint8_t* data, size_t size, uint8_t lostChar,
                                           SzddParseStats* stats, size_t blockSize)
{
    if (size > SzddMaxInput)
        throw std::length_error("input of " + std::to_string(size) +
                                " bytes is larger than the SZDD header can describe");

    Parse parse;
    const uint64_t bits = ParseOptimally(data, size, blockSize, &parse);

    std::vector<uint8_t> items;  // lengths, last item first
    for (size_t at = size; at > 0; at -= parse.lastItem[at])
        items.push_back(parse.lastItem[at]);

    std::vector<uint8_t> out(SzddHeaderSize);
    out.reserve(SzddHeaderSize + size_t((bits + 7) / 8));
    SzddWriteHeader(out.data(), lostChar, uint32_t(size));

    SzddParseStats counted;
    StreamWriter writer(&out);
    size_t at = 0;
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const size_t length = *it;
        if (length == 1) {
            writer.Literal(data[at]);
            ++counted.literals;
        } else {
            const size_t ringPos = (szdd::WriteStart + szdd::WindowSize + at - parse.distance[at]) %
                                   szdd::WindowSize;
            writer.Match(ringPos, length);
            ++counted.matches;
        }
        at += length;
    }
    if (stats)
        *stats = counted;
    return out;
}

std::vector<uint8_t> SzddCompress(const uint8_t* data, size_t size, uint8_t lostChar)
{
    return SzddCompressWithStats(data, size, lostChar, nullptr);
}
