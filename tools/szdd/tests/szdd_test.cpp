// The compressor against two independent decoders (libmspack in process,
// msexpand as a subprocess) and against a brute-force optimal parse.
#include <gtest/gtest.h>

#include "szdd.h"
#include "szdd_verify.h"
#include "test_support.h"

namespace {

// Compresses and demands a correct header, the same bytes back from both
// decoders, and a stream exactly as long as its parse says.
SzddParseStats ExpectRoundTrip(const Bytes& data, uint8_t lostChar = 'e') {
    SzddParseStats stats;
    const Bytes szdd = SzddCompressWithStats(data.data(), data.size(), lostChar, &stats);
    const Bytes header = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', lostChar, uint8_t(data.size()),
                          uint8_t(data.size() >> 8), uint8_t(data.size() >> 16), uint8_t(data.size() >> 24)};
    EXPECT_TRUE(std::equal(header.begin(), header.end(), szdd.begin(), szdd.begin() + 14));
    EXPECT_EQ(szdd.size(), 14 + (9 * stats.literals + 17 * stats.matches + 7) / 8);
    std::string error;
    EXPECT_TRUE(SzddVerifyWithMspack(szdd, data, &error)) << error;  // the same bytes through libmspack
    EXPECT_TRUE(ExpandWithMsexpand(szdd) == data) << "msexpand differs";
    return stats;
}

TEST(SzddRoundTrip, EdgeCases) {
    std::mt19937 rng(7);
    const Bytes block4096 = RandomBytes(rng, 4096), block4097 = RandomBytes(rng, 4097);
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", {}},
        {"one byte", FromString("Q")},
        {"two bytes", FromString("QQ")},
        {"three equal bytes", FromString("QQQ")},
        {"three spaces", FromString("   ")},
        {"17 bytes", FromString("abcabcabcabcabcab")},
        {"18 bytes", FromString("abcabcabcabcabcabc")},
        {"19 bytes", FromString("abcdefghijklmnopqrs")},
        {"spaces only", Bytes(5000, ' ')},
        {"starts with spaces", Concat({Bytes(40, ' '), FromString("text after the blanks  x ")})},
        {"long zero run", Bytes(300000, 0)},
        {"alternating run", Repeat(FromString("ab"), 50000)},
        {"random", RandomBytes(rng, 100000)},
        {"repeat at distance 4096", Repeat(block4096, 3)},
        {"repeat at distance 4097", Repeat(block4097, 3)},
        {"mixture past many ring wraps", Mixture(rng, 70000)},
        {SZDD_MSEXPAND, ReadFile(SZDD_MSEXPAND)},
        {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll",
         ReadFile("/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll")},
    };
    for (const auto& [name, data] : cases) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(name[0] != '/' || data.size() > 10000) << "a sample binary is missing";
        ExpectRoundTrip(data);
    }
    // Streams whose last flag byte is full, with no partial group after it.
    for (const Bytes& data : {FromString("abcdefgh"), RandomBytes(rng, 64), Concat({FromString("abcdef"), Bytes(19, 'z')})}) {
        const SzddParseStats stats = ExpectRoundTrip(data);
        EXPECT_EQ((stats.literals + stats.matches) % 8, 0u) << data.size();
    }
}

TEST(SzddRoundTrip, SeededRandomInputs) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 120 && !HasFailure(); ++round) {
        const size_t size = rng() % 4 == 0 ? rng() % 40 : rng() % 30000;
        const Bytes data = round % 3 == 0 ? Text(rng, size)
                           : round % 3 == 1 ? Concat({Bytes(rng() % 30, ' '), Mixture(rng, size)})
                                            : Mixture(rng, size);
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectRoundTrip(data, uint8_t('a' + round % 26));
    }
}

TEST(SzddHeader, LostCharacterComesFromTheInstalledName) {
    const std::pair<const char*, uint8_t> cases[] = {
        {"Quodgone.exe", 'e'}, {"Quodpost.hlp", 'p'}, {"ARCHIVE.EX_", '_'}, {"README", 'E'}, {"", 0}};
    for (const auto& [name, lost] : cases) {
        EXPECT_EQ(SzddLostChar(name), lost) << name;
        ExpectRoundTrip(FromString("some file contents, some file contents"), SzddLostChar(name));
    }
}

// Longest match at every position, found by trying every distance against
// 4096 spaces followed by the data; then the fewest bits any parse can take.
uint64_t BruteForceOptimalBits(const Bytes& data) {
    const Bytes history = Concat({Bytes(4096, ' '), data});
    std::vector<uint64_t> best(data.size() + 1, 0);  // bits to code data[i..]
    for (size_t i = data.size(); i-- > 0;) {
        size_t longest = 0;
        for (size_t d = 1; d <= 4096; ++d) {
            size_t n = 0;
            while (n < std::min<size_t>(18, data.size() - i) && history[4096 + i + n] == history[4096 + i - d + n]) ++n;
            longest = std::max(longest, n);
        }
        best[i] = best[i + 1] + 9;
        for (size_t len = 3; len <= longest; ++len) best[i] = std::min(best[i], best[i + len] + 17);
    }
    return best[0];
}

// Inputs that drive the match search's key sort through its deeper paths, and
// one where taking the longest match first loses: with "bcd...s" and "abc" in
// the window, "abcd...s" is best a literal and an 18-byte match (26 bits),
// not "abc" and another match (34 bits).
TEST(SzddOptimalParse, MatchesAnExhaustiveShortestPath) {
    std::mt19937 rng(99);
    const Bytes block = RandomBytes(rng, 4096);
    std::vector<Bytes> inputs = {
        {},
        FromString("bcdefghijklmnopqrs1abc2abcdefghijklmnopqrs"),
        Concat({Bytes(25, ' '), Text(rng, 300)}),
        Concat({Bytes(100, 'a'), Bytes(37, 'b'), Bytes(5, 'a'), Bytes(200, 0)}),
        Concat({block, Bytes(block.begin(), block.begin() + 40)}),
        Concat({block, Bytes(block.begin() + 1, block.begin() + 40)}),
        Concat({block, FromString("!"), Bytes(block.begin(), block.begin() + 40)}),
        Generate(7000, [](size_t i) { return i / 24; }),
        Generate(7000, [](size_t i) { return i % 18 < 16 ? 0 : i % 18 == 16 ? i / 18 >> 3 : i / 18 * 7; }),
        Generate(7000, [&](size_t i) { return i % 8 < 5 ? "QRSTU"[i % 8] : char(rng()); }),
        Generate(5000, [&](size_t) { return 'a' + rng() % 2; }),
    };
    for (int round = 0; round < 40; ++round) {
        inputs.push_back(round % 3 ? Mixture(rng, rng() % 5000) : Concat({Bytes(rng() % 20, ' '), Mixture(rng, rng() % 1500)}));
    }
    for (size_t i = 0; i < inputs.size(); ++i) {
        const uint64_t bestBits = BruteForceOptimalBits(inputs[i]);
        for (size_t blockSize : {size_t(3), size_t(1000), size_t(0)}) {
            SzddParseStats stats;
            const Bytes szdd = SzddCompressWithStats(inputs[i].data(), inputs[i].size(), 'e', &stats, blockSize);
            EXPECT_EQ(9 * stats.literals + 17 * stats.matches, bestBits) << "input " << i << ", block " << blockSize;
            EXPECT_EQ(szdd.size(), 14 + (bestBits + 7) / 8) << "input " << i << ", block " << blockSize;
        }
    }
}

// The build trusts this check to catch what the decoders let through.
TEST(SzddVerify, RejectsEveryWayAStreamCanBeWrong) {
    std::mt19937 rng(3);
    const Bytes data = Mixture(rng, 20000), good = SzddCompress(data.data(), data.size(), 'e');
    const auto changed = [](Bytes b, size_t at, uint8_t value) { b.at(at) = value; return b; };
    const std::tuple<Bytes, Bytes, const char*> cases[] = {
        {good, data, ""},
        {Bytes(good.begin(), good.begin() + 14), data, "expands to 0 bytes"},
        {Bytes(good.begin(), good.begin() + 9), data, "shorter than the 14-byte header"},
        {Bytes(good.begin(), good.end() - 40), data, "one is a prefix of the other"},
        {good, Concat({data, FromString("x")}), "header says"},
        {changed(good, 1, 'X'), data, "no SZDD signature"},
        {changed(good, 8, 'B'), data, "not 'A'"},
        {good, changed(data, 12345, data[12345] ^ 1), "first difference at offset 12345"},
    };
    for (const auto& [stream, original, message] : cases) {
        std::string error;
        EXPECT_EQ(SzddVerifyWithMspack(stream, original, &error), !*message) << message;
        EXPECT_NE(error.find(message), std::string::npos) << error;
    }
}

}  // namespace
