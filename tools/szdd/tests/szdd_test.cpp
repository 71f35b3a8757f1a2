// The compressor against two independent decoders (libmspack in process,
// msexpand as a subprocess) and a brute-force optimal parse; the check the
// build trusts; and the command-line tool.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <random>

#include "host_test.h"
#include "szdd.h"
#include "szdd_verify.h"

namespace {

using Bytes = std::vector<uint8_t>;
std::mt19937 rng(7);

std::string NewFolder()
{
    char name[] = "/tmp/szdd-test-XXXXXX";
    return mkdtemp(name);
}
Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
template <typename F>
Bytes Make(size_t size, F byteAt)
{
    Bytes out(size);
    for (size_t i = 0; i < size; ++i)
        out[i] = uint8_t(byteAt(i));
    return out;
}
Bytes Random(size_t size)
{
    return Make(size, [](size_t) { return rng(); });
}

// Runs, random stretches and repeats of earlier pieces (some from just
// beyond the window), mixed.
Bytes Mixture(size_t size)
{
    Bytes out;
    while (out.size() < size) {
        const size_t piece = 1 + rng() % 600, kind = rng() % 4;
        if (kind == 0)
            out.insert(out.end(), piece, uint8_t(rng() % 4 == 0 ? ' ' : rng()));
        if (kind == 1)
            out = out + Random(piece);
        if (kind > 1 && !out.empty())
            for (size_t i = 0, from = out.size() - 1 - rng() % std::min(out.size(), size_t(4160));
                 i < piece; ++i)
                out.push_back(out[from + i]);
    }
    return out.resize(size), out;
}

// The fewest bits any parse can take: the longest match at every position,
// tried at every distance into 4096 spaces followed by the data.
uint64_t BruteForceOptimalBits(const Bytes& data)
{
    const Bytes history = Bytes(4096, ' ') + data;
    std::vector<uint64_t> best(data.size() + 1, 0);  // bits to code data[i..]
    std::vector<uint8_t> run(4097, 0);  // at each distance, the match from data[i + 1], at most 18
    for (size_t i = data.size(); i-- > 0;) {
        uint8_t longest = 0;
        for (size_t d = 1; d <= 4096; ++d)
            longest = std::max(longest, run[d] = history[4096 + i] == history[4096 + i - d]
                                                     ? std::min(run[d] + 1, 18)
                                                     : 0);
        best[i] = best[i + 1] + 9;
        for (size_t len = 3; len <= longest; ++len)
            best[i] = std::min(best[i], best[i + len] + 17);
    }
    return best[0];
}

// The installed name's lost character, the same bytes back from both
// decoders (libmspack's check also reads the rest of the header), a stream
// as long as its parse says, and for small inputs the shortest parse in any
// block size. Among them: streams whose last flag byte is full; matches of 18;
// repeats at the window's edge and just beyond it; and with "bcd...s" and
// "abc" in the window, "abcd...s", best a literal and an 18-byte match (26
// bits), not "abc" and another match.
TEST(Szdd, RoundTripsThroughBothDecodersWithTheShortestParse)
{
    const Bytes block = Random(4096), edge(block.begin(), block.begin() + 40);
    auto inputs = std::vector<Bytes>(
        {Bytes(), Text("   "), Text("abcabcabcabcabcab"), Text("abcabcabcabcabcabc"),
         Text("abcdefgh"), Text("bcdefghijklmnopqrs1abc2abcdefghijklmnopqrs"), block + edge,
         block + Bytes(edge.begin() + 1, edge.end()), block + Text("!") + edge, Bytes(300000, 0),
         Random(100000), Mixture(70000), ReadFile<Bytes>(SZDD_MSEXPAND)});
    inputs.push_back(Make(7000, [](size_t i) {
        return i % 18 < 16 ? 0 : i % 18 == 16 ? i / 18 >> 3 : i / 18 * 7;
    }));
    inputs.push_back(Make(7000, [](size_t i) { return i % 8 < 5 ? "QRSTU"[i % 8] : char(rng()); }));
    inputs.push_back(Make(5000, [](size_t) { return 'a' + rng() % 2; }));
    for (int round = 0; round < 12; ++round)
        inputs.push_back(Bytes(round % 3 ? 0 : rng() % 20, ' ') + Mixture(rng() % 5000));
    const std::string folder = NewFolder(), file = folder + "/s";
    for (const Bytes& data : inputs) {
        SCOPED_TRACE(testing::Message() << "input " << &data - inputs.data());
        SzddParseStats stats;
        const Bytes szdd = SzddCompressWithStats(data.data(), data.size(), 'e', &stats);
        EXPECT_EQ(szdd.at(9), 'e');
        EXPECT_EQ(szdd.size(), 14 + (9 * stats.literals + 17 * stats.matches + 7) / 8);
        std::string error;
        EXPECT_TRUE(SzddVerifyWithMspack(szdd, data, &error)) << error;
        std::ofstream(file, std::ios::binary) << std::string(szdd.begin(), szdd.end());
        EXPECT_EQ(Shell(SZDD_MSEXPAND " <'" + file + "' >'" + file + ".out' 2>/dev/null"), 0);
        EXPECT_TRUE(ReadFile<Bytes>(file + ".out") == data) << "msexpand differs";
        if (data.size() <= 7000) {  // the brute force is slow beyond
            const uint64_t best = BruteForceOptimalBits(data);
            for (int blockSize : {data.size() < 1500 ? 3 : 61, 1000, 0}) {  // 3 is slow too
                SzddCompressWithStats(data.data(), data.size(), 'e', &stats, blockSize);
                EXPECT_EQ(9 * stats.literals + 17 * stats.matches, best) << "block " << blockSize;
            }
        }
    }
    Shell("rm -rf '" + folder + "'");
}

TEST(Szdd, TheCheckRejectsEveryWayAStreamCanBeWrong)
{
    const Bytes data = Mixture(20000), good = SzddCompress(data.data(), data.size(), 'e');
    const auto changed = [](Bytes b, size_t at, uint8_t value) { return b.at(at) = value, b; };
    const std::tuple<Bytes, Bytes, const char*> cases[] = {
        {good, data, ""},
        {Bytes(good.begin(), good.begin() + 9), data, "shorter than the 14-byte header"},
        {Bytes(good.begin(), good.end() - 40), data, "one is a prefix of the other"},
        {good, data + Text("x"), "header says"},
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

// Each run in a folder of its own holding in.exe and an earlier out.ex_. A
// good run writes the stream of the installed name's lost character over
// out.ex_; a failed one leaves it and adds nothing but its stderr.
TEST(Szdd, TheToolWritesTheStreamOrFailsAndWritesNothing)
{
    const Bytes data = ReadFile<Bytes>(SZDD_MSEXPAND);
    const std::tuple<const char*, int, const char*, uint8_t> cases[] = {
        {"in.exe out.ex_", 0, "", 'e'},
        {"in.exe out.ex_ --name Quodpost.hlp", 0, "", 'p'},
        {"in.exe out.ex_ --name=ARCHIVE.EX_", 0, "", '_'},
        {"absent.exe out.ex_", 1, "cannot open", 0},
        {". out.ex_", 1, "not a regular file", 0},
        {"in.exe nowhere/out.ex_", 1, "temporary file", 0},
        {"", 2, "expected an input and an output", 0},
        {"in.exe out.ex_ --name", 2, "--name needs", 0},
        {"in.exe out.ex_ --name=", 2, "must not be empty", 0},
        {"in.exe out.ex_ --fast", 2, "unknown option", 0},
    };
    const std::string run = "cp " SZDD_MSEXPAND " in.exe && echo previous >out.ex_ && " SZDD_CLI
                            " ";
    for (const auto& [args, status, message, lost] : cases) {
        SCOPED_TRACE(args);
        const std::string folder = NewFolder();
        EXPECT_EQ(Shell("cd " + folder + " && " + run + args + " 2>stderr"), status);
        EXPECT_NE(ReadFile(folder + "/stderr").find(message), std::string::npos);
        EXPECT_EQ(Shell("test $(ls -A '" + folder + "' | wc -l) -eq 3"), 0) << "a stray file";
        EXPECT_TRUE(ReadFile<Bytes>(folder + "/out.ex_") ==
                    (status ? Text("previous\n") : SzddCompress(data.data(), data.size(), lost)));
        Shell("rm -rf '" + folder + "'");
    }
}

}  // namespace
