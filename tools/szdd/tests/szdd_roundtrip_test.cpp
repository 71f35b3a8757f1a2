// Round trips through the two independent decoders (libmspack in process,
// msexpand as a subprocess), with the header and the stream's size checked.
#include <gtest/gtest.h>

#include <random>

#include "szdd.h"
#include "szdd_verify.h"
#include "test_support.h"

namespace {

struct Case {
    std::string name;
    Bytes data;
};

uint32_t HeaderLength(const Bytes& szdd) {
    return uint32_t(szdd[10]) | uint32_t(szdd[11]) << 8 | uint32_t(szdd[12]) << 16 | uint32_t(szdd[13]) << 24;
}

// Compresses, then demands the same bytes back from both decoders, a correct
// header, and a stream exactly as long as its items say.
void ExpectRoundTrip(const Bytes& data, uint8_t lostChar = 'e') {
    SzddParseStats stats;
    const Bytes szdd = SzddCompressWithStats(data.data(), data.size(), lostChar, &stats);

    ASSERT_GE(szdd.size(), kSzddHeaderSize);
    const Bytes magic = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'};
    EXPECT_TRUE(std::equal(magic.begin(), magic.end(), szdd.begin()));
    EXPECT_EQ(szdd[9], lostChar);
    EXPECT_EQ(HeaderLength(szdd), data.size());

    SzddParseStats counted;
    std::string error;
    ASSERT_TRUE(CountItems(szdd, &counted, &error)) << error;
    EXPECT_EQ(counted.literals, stats.literals);
    EXPECT_EQ(counted.matches, stats.matches);
    EXPECT_EQ(szdd.size(), SzddStreamSize(stats));

    Bytes viaMspack;
    ASSERT_TRUE(SzddExpandWithMspack(szdd, &viaMspack, &error)) << error;
    EXPECT_TRUE(viaMspack == data) << "libmspack gave " << viaMspack.size() << " bytes for " << data.size();
    EXPECT_TRUE(SzddVerifyWithMspack(szdd, data, &error)) << error;

    Bytes viaMsexpand;
    ASSERT_TRUE(ExpandWithMsexpand(szdd, &viaMsexpand, &error)) << error;
    EXPECT_TRUE(viaMsexpand == data) << "msexpand gave " << viaMsexpand.size() << " bytes for " << data.size();
}

std::vector<Case> EdgeCases() {
    std::mt19937 rng(7);
    const Bytes block4096 = RandomBytes(rng, 4096), block4097 = RandomBytes(rng, 4097);
    return {
        {"empty", {}},
        {"one byte", FromString("Q")},
        {"two bytes", FromString("QQ")},
        {"three equal bytes", FromString("QQQ")},
        {"three spaces", FromString("   ")},
        {"17 bytes", FromString("abcabcabcabcabcab")},
        {"18 bytes", FromString("abcabcabcabcabcabc")},
        {"19 bytes", FromString("abcabcabcabcabcabca")},
        {"19 distinct bytes", FromString("abcdefghijklmnopqrs")},
        {"spaces only", Bytes(5000, ' ')},
        {"starts with spaces", Concat({Bytes(40, ' '), FromString("text after the blanks  x ")})},
        {"spaces then a run", Concat({Bytes(17, ' '), Bytes(3, 'a'), Bytes(20, ' ')})},
        {"long zero run", Bytes(300000, 0)},
        {"alternating run", Repeat(FromString("ab"), 50000)},
        {"random", RandomBytes(rng, 100000)},
        {"text", Text(rng, 60000)},
        {"repeat at distance 4096", Repeat(block4096, 3)},
        {"repeat at distance 4097", Repeat(block4097, 3)},
        {"eight literals, one full flag byte", FromString("abcdefgh")},
        {"16 literals", FromString("abcdefghijklmnop")},
        {"mixture past many ring wraps", Mixture(rng, 70000)},
    };
}

TEST(SzddRoundTrip, EdgeCases) {
    for (const Case& c : EdgeCases()) {
        SCOPED_TRACE(c.name);
        ExpectRoundTrip(c.data);
    }
}

// Inputs whose item count is a multiple of 8: the last flag byte is full and
// no partial group follows.
TEST(SzddRoundTrip, StreamEndingExactlyOnAFlagGroup) {
    std::mt19937 rng(11);
    const std::vector<Bytes> inputs = {RandomBytes(rng, 8), RandomBytes(rng, 64),
                                       Concat({FromString("abcdef"), Bytes(19, 'z')}),
                                       Concat({RandomBytes(rng, 6), FromString("   "), RandomBytes(rng, 1)})};
    for (const Bytes& data : inputs) {
        SCOPED_TRACE(data.size());
        SzddParseStats stats;
        SzddCompressWithStats(data.data(), data.size(), 'e', &stats);
        ASSERT_EQ((stats.literals + stats.matches) % 8, 0u) << "input does not end on a flag group";
        ExpectRoundTrip(data);
    }
}

TEST(SzddRoundTrip, RealBinaries) {
    const std::vector<std::string> candidates = {
        "/usr/bin/msexpand",
        "/bin/ls",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/lz32.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/notepad.exe",
    };
    int tried = 0;
    for (const std::string& path : candidates) {
        Bytes data;
        if (!ReadFile(path, &data)) continue;
        SCOPED_TRACE(path);
        ++tried;
        ExpectRoundTrip(data);
    }
    EXPECT_GE(tried, 4) << "too few of the sample binaries exist on this machine";
}

TEST(SzddRoundTrip, SeededRandomInputs) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 120; ++round) {
        const size_t size = rng() % 4 == 0 ? rng() % 40 : rng() % 30000;
        Bytes data;
        switch (round % 4) {
            case 0: data = Mixture(rng, size); break;
            case 1: data = Text(rng, size); break;
            case 2: data = Concat({Bytes(rng() % 30, ' '), Mixture(rng, size)}); break;
            default: data = Concat({Mixture(rng, size / 2), RandomBytes(rng, size / 4), Mixture(rng, size / 4)});
        }
        SCOPED_TRACE("round " + std::to_string(round) + ", " + std::to_string(data.size()) + " bytes");
        ExpectRoundTrip(data, uint8_t('a' + round % 26));
        if (HasFatalFailure()) return;
    }
}

TEST(SzddHeader, LostCharacterComesFromTheInstalledName) {
    const struct {
        const char* name;
        uint8_t expected;
    } cases[] = {
        {"Quodgone.exe", 'e'}, {"Quodpost.hlp", 'p'}, {"ARCHIVE.EX_", '_'},
        {"README", 'E'},       {"x", 'x'},           {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const uint8_t lost = SzddLostChar(c.name);
        EXPECT_EQ(lost, c.expected);
        const Bytes data = FromString("some file contents, some file contents");
        const Bytes szdd = SzddCompress(data.data(), data.size(), lost);
        EXPECT_EQ(szdd[9], c.expected);
        std::string error;
        EXPECT_TRUE(SzddVerifyWithMspack(szdd, data, &error)) << error;
    }
}

}  // namespace
