// The match search against an exhaustive one, and the parse against an
// independent shortest-path over brute-force matches.
#include <gtest/gtest.h>

#include <random>

#include "szdd.h"
#include "szdd_matchfinder.h"
#include "test_support.h"

namespace {

struct Case {
    std::string name;
    Bytes data;
};

std::vector<Case> SmallInputs() {
    std::mt19937 rng(99);
    const Bytes block = RandomBytes(rng, 4096);
    return {
        {"empty", {}},
        {"two bytes", FromString("ab")},
        {"17 spaces", Bytes(17, ' ')},
        {"spaces then text", Concat({Bytes(25, ' '), Text(rng, 300)})},
        {"text", Text(rng, 3000)},
        {"random", RandomBytes(rng, 2000)},
        {"runs", Concat({Bytes(100, 'a'), Bytes(37, 'b'), Bytes(5, 'a'), Bytes(200, 0)})},
        {"period 3", Repeat(FromString("xyz"), 400)},
        {"block then its first bytes at distance 4096", Concat({block, Bytes(block.begin(), block.begin() + 40)})},
        {"block then its second byte onwards (distance 4095)", Concat({block, Bytes(block.begin() + 1, block.begin() + 40)})},
        {"block, one byte, then the block's start (distance 4097)",
         Concat({block, FromString("!"), Bytes(block.begin(), block.begin() + 40)})},
        // Inputs that drive the key sort through its deeper paths.
        {"slow ramp", [] {
             Bytes b(7000);
             for (size_t i = 0; i < b.size(); ++i) b[i] = uint8_t(i / 24);
             return b;
         }()},
        {"zero records with a counter", [] {
             Bytes b;
             for (int i = 0; b.size() < 7000; ++i) {
                 b.insert(b.end(), 16, 0);
                 b.push_back(uint8_t(i >> 3));
                 b.push_back(uint8_t(i * 7));
             }
             return b;
         }()},
        {"records sharing a five-byte head", [&] {
             Bytes b;
             while (b.size() < 7000) {
                 Bytes tail = RandomBytes(rng, 3);
                 b.insert(b.end(), {'Q', 'R', 'S', 'T', 'U', tail[0], tail[1], tail[2]});
             }
             return b;
         }()},
        {"two-letter random", [&] {
             Bytes b = RandomBytes(rng, 5000);
             for (auto& c : b) c = 'a' + (c & 1);
             return b;
         }()},
        {"mixture", Mixture(rng, 6000)},
        {"mixture 2", Mixture(rng, 5000)},
    };
}

// Every position's longest match, and that its distance really yields it.
TEST(SzddMatchFinder, FindsTheLongestMatchEverywhere) {
    for (const Case& c : SmallInputs()) {
        const std::vector<size_t> expected = BruteForceLongest(c.data);
        Bytes history(4096, ' ');
        history.insert(history.end(), c.data.begin(), c.data.end());
        for (size_t blockSize : {size_t(3), size_t(1000), szdd::kDefaultBlockSize}) {
            SCOPED_TRACE(c.name + ", block size " + std::to_string(blockSize));
            szdd::LongestMatchFinder finder(c.data.data(), c.data.size(), blockSize);
            size_t wrong = 0;
            for (size_t i = 0; i < c.data.size(); ++i) {
                const szdd::Match m = finder.Next();
                const size_t want = expected[i] >= 3 ? expected[i] : 0;
                if (m.length != want && wrong++ < 5)
                    ADD_FAILURE() << "position " << i << ": length " << int(m.length) << ", expected " << want;
                if (m.length == 0) continue;
                ASSERT_GE(m.distance, 1);
                ASSERT_LE(m.distance, 4096);
                const size_t at = 4096 + i;
                for (size_t k = 0; k < m.length; ++k)
                    ASSERT_EQ(history[at + k], history[at - m.distance + k]) << "position " << i;
            }
            EXPECT_EQ(wrong, 0u);
        }
    }
}

TEST(SzddOptimalParse, MatchesAnExhaustiveShortestPath) {
    for (const Case& c : SmallInputs()) {
        SCOPED_TRACE(c.name);
        const uint64_t bestBits = BruteForceOptimalBits(c.data);
        for (size_t blockSize : {size_t(5), szdd::kDefaultBlockSize}) {
            SzddParseStats stats;
            const Bytes szdd = SzddCompressWithStats(c.data.data(), c.data.size(), 'e', &stats, blockSize);
            EXPECT_EQ(9 * stats.literals + 17 * stats.matches, bestBits);
            EXPECT_EQ(szdd.size(), kSzddHeaderSize + (bestBits + 7) / 8);
        }
    }
}

TEST(SzddOptimalParse, SeededRandomInputsAreOptimal) {
    std::mt19937 rng(4711);
    for (int round = 0; round < 40; ++round) {
        const Bytes data = round % 3 == 0 ? Concat({Bytes(rng() % 20, ' '), Mixture(rng, rng() % 1500)})
                                          : Mixture(rng, rng() % 5000);
        SCOPED_TRACE("round " + std::to_string(round));
        SzddParseStats stats;
        const Bytes szdd = SzddCompressWithStats(data.data(), data.size(), 'p', &stats, 1 + rng() % 3000);
        EXPECT_EQ(9 * stats.literals + 17 * stats.matches, BruteForceOptimalBits(data));
        EXPECT_EQ(szdd.size(), SzddStreamSize(stats));
    }
}

// Longest-first parsing is not optimal here: with "bcd...s" and "abc" in the
// window, "abcd...s" is best coded as literal 'a' plus an 18-byte match (26
// bits), while taking "abc" first costs two matches (34 bits).
uint64_t GreedyBits(const Bytes& data) {
    const std::vector<size_t> longest = BruteForceLongest(data);
    uint64_t bits = 0;
    for (size_t i = 0; i < data.size();) {
        const bool match = longest[i] >= 3;
        bits += match ? 17 : 9;
        i += match ? longest[i] : 1;
    }
    return bits;
}

TEST(SzddOptimalParse, BeatsLongestFirstWhereItLoses) {
    const Bytes data = FromString("bcdefghijklmnopqrs1abc2abcdefghijklmnopqrs");
    SzddParseStats stats;
    SzddCompressWithStats(data.data(), data.size(), 'e', &stats);
    const uint64_t bits = 9 * stats.literals + 17 * stats.matches;
    EXPECT_EQ(bits, BruteForceOptimalBits(data));
    EXPECT_EQ(bits + 8, GreedyBits(data));
}

}  // namespace
