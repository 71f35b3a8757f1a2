// The compressor against two independent decoders (libmspack in process,
// msexpand as a subprocess) and a brute-force optimal parse, and the
// command-line tool.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "szdd.h"
#include "szdd_verify.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A fresh directory of its own, removed with its files on destruction.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "szdd-test-XXXXXX").string();
        path = mkdtemp(name.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// Expands through the msexpand program (stdin to stdout); empty with a
// failure recorded if it fails.
Bytes ExpandWithMsexpand(const Bytes& szdd) {
    TempDir dir;
    WriteFile(dir.File("in"), szdd);
    const std::string command =
        SZDD_MSEXPAND " <'" + dir.File("in") + "' >'" + dir.File("out") + "' 2>/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0) << "msexpand failed";
    return ReadFile(dir.File("out"));
}

template <typename F>
Bytes Generate(size_t size, F byteAt) {
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) out[i] = uint8_t(byteAt(i));
    return out;
}

Bytes FromString(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
Bytes RandomBytes(std::mt19937& rng, size_t size) { return Generate(size, [&](size_t) { return rng(); }); }

Bytes Text(std::mt19937& rng, size_t size) {
    static const char* const kWords[] = {"the ", "setup ", "file ", "folder ", "copy ", "group ", "is ",
                                         "a ", "window ", "\r\n", "Setup.", "program ", "      ", "data, "};
    std::string s;
    while (s.size() < size) s += kWords[rng() % std::size(kWords)];
    return FromString(s.substr(0, size));
}

// Runs, words, random stretches and repeats of earlier pieces (some from
// just beyond the window), mixed.
Bytes Mixture(std::mt19937& rng, size_t size) {
    Bytes out;
    while (out.size() < size) {
        const size_t piece = 1 + rng() % 600, kind = rng() % 5;
        if (kind == 0) out.insert(out.end(), piece, uint8_t(rng() % 4 == 0 ? ' ' : rng()));
        if (kind == 1) out = Concat({out, Text(rng, piece)});
        if (kind == 2) out = Concat({out, RandomBytes(rng, piece)});
        if (kind > 2 && !out.empty()) {
            const size_t from = out.size() - 1 - rng() % std::min(out.size(), size_t(4096 + 64));
            for (size_t i = 0; i < piece; ++i) out.push_back(out[from + i]);
        }
    }
    out.resize(size);
    return out;
}

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
        {"three spaces", FromString("   ")},
        {"17 bytes", FromString("abcabcabcabcabcab")},
        {"18 bytes", FromString("abcabcabcabcabcabc")},
        {"19 bytes", FromString("abcdefghijklmnopqrs")},
        {"starts with spaces", Concat({Bytes(40, ' '), FromString("text after the blanks  x ")})},
        {"long zero run", Bytes(300000, 0)},
        {"alternating run", Generate(100000, [](size_t i) { return "ab"[i % 2]; })},
        {"random", RandomBytes(rng, 100000)},
        {"repeat at distance 4096", Concat({block4096, block4096, block4096})},
        {"repeat at distance 4097", Concat({block4097, block4097, block4097})},
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
    for (const Bytes& data :
         {FromString("abcdefgh"), RandomBytes(rng, 64), Concat({FromString("abcdef"), Bytes(19, 'z')})}) {
        const SzddParseStats stats = ExpectRoundTrip(data);
        EXPECT_EQ((stats.literals + stats.matches) % 8, 0u) << data.size();
    }
}

// Longest match at every position, found by trying every distance against
// 4096 spaces followed by the data; then the fewest bits any parse can take.
uint64_t BruteForceOptimalBits(const Bytes& data) {
    const Bytes history = Concat({Bytes(4096, ' '), data});
    std::vector<uint64_t> best(data.size() + 1, 0);  // bits to code data[i..]
    for (size_t i = data.size(); i-- > 0;) {
        const size_t limit = std::min<size_t>(18, data.size() - i), at = 4096 + i;
        size_t longest = 0;
        for (size_t d = 1; d <= 4096; ++d) {
            size_t n = 0;
            while (n < limit && history[at + n] == history[at - d + n]) ++n;
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
        Concat({block, Bytes(block.begin(), block.begin() + 40)}),
        Concat({block, Bytes(block.begin() + 1, block.begin() + 40)}),
        Concat({block, FromString("!"), Bytes(block.begin(), block.begin() + 40)}),
        Generate(3000, [](size_t i) { return i / 24; }),
        Generate(3000, [](size_t i) { return i % 18 < 16 ? 0 : i % 18 == 16 ? i / 18 >> 3 : i / 18 * 7; }),
        Generate(3000, [&](size_t i) { return i % 8 < 5 ? "QRSTU"[i % 8] : char(rng()); }),
        Generate(2000, [&](size_t) { return 'a' + rng() % 2; }),
    };
    for (int round = 0; round < 8; ++round) {
        const Bytes spaces(round % 3 ? 0 : rng() % 20, ' ');
        inputs.push_back(Concat({spaces, Mixture(rng, rng() % 2000)}));
    }
    for (const Bytes& in : inputs) {
        SCOPED_TRACE(testing::Message() << "input " << &in - inputs.data());
        ExpectRoundTrip(in);  // the stream's size follows from its parse
        const uint64_t bestBits = BruteForceOptimalBits(in);
        for (size_t blockSize : {size_t(3), size_t(1000), size_t(0)}) {
            SzddParseStats stats;
            SzddCompressWithStats(in.data(), in.size(), 'e', &stats, blockSize);
            EXPECT_EQ(9 * stats.literals + 17 * stats.matches, bestBits) << "block " << blockSize;
        }
    }
}

// The build trusts this check to catch what the decoders let through.
TEST(SzddVerify, RejectsEveryWayAStreamCanBeWrong) {
    std::mt19937 rng(3);
    const Bytes data = Mixture(rng, 20000), good = SzddCompress(data.data(), data.size(), 'e');
    const auto changed = [](Bytes b, size_t at, uint8_t value) {
        b.at(at) = value;
        return b;
    };
    const std::tuple<Bytes, Bytes, const char*> cases[] = {
        {good, data, ""},
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

// "@" stands for a folder holding in.exe and an earlier out.ex_. A good run
// writes the stream of the installed name's lost character over out.ex_; a
// failed one leaves it and adds nothing but its stderr.
TEST(SzddCli, WritesTheStreamOrFailsAndWritesNothing) {
    std::mt19937 rng(5);
    const Bytes data = Mixture(rng, 50000);
    const std::tuple<const char*, int, const char*, uint8_t> cases[] = {
        {"@/in.exe @/out.ex_", 0, "", 'e'},
        {"@/in.exe @/out.ex_ --name Quodpost.hlp", 0, "", 'p'},
        {"@/in.exe @/out.ex_ --name=ARCHIVE.EX_", 0, "", '_'},
        {"@/in.exe @/out.ex_ --name=README", 0, "", 'E'},
        {"@/absent.exe @/out.ex_", 1, "cannot open", 0},
        {"@ @/out.ex_", 1, "not a regular file", 0},
        {"@/in.exe @/nowhere/out.ex_", 1, "temporary file", 0},
        {"", 2, "expected an input and an output", 0},
        {"@/in.exe @/out.ex_ --name", 2, "--name needs", 0},
        {"@/in.exe @/out.ex_ --name=", 2, "must not be empty", 0},
        {"@/in.exe @/out.ex_ --fast", 2, "unknown option", 0},
    };
    for (const auto& [args, status, message, lost] : cases) {
        SCOPED_TRACE(args);
        TempDir dir;
        WriteFile(dir.File("in.exe"), data);
        WriteFile(dir.File("out.ex_"), FromString("previous"));
        std::string command = args;
        for (size_t at; (at = command.find('@')) != std::string::npos;) {
            command.replace(at, 1, dir.path.string());
        }
        const int raw = std::system((SZDD_CLI " " + command + " 2>'" + dir.File("stderr") + "'").c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status);
        const Bytes errors = ReadFile(dir.File("stderr"));
        EXPECT_NE(std::string(errors.begin(), errors.end()).find(message), std::string::npos);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 3) << "a stray file";
        const Bytes out = ReadFile(dir.File("out.ex_"));
        EXPECT_TRUE(out == (status ? FromString("previous") : SzddCompress(data.data(), data.size(), lost)));
        EXPECT_TRUE(status != 0 || ExpandWithMsexpand(out) == data);
    }
}

}  // namespace
