// The libmspack check must catch every way a stream can be wrong.
#include <gtest/gtest.h>

#include <random>

#include "szdd.h"
#include "szdd_verify.h"
#include "test_support.h"

namespace {

Bytes Sample() {
    std::mt19937 rng(3);
    return Mixture(rng, 20000);
}

TEST(SzddVerify, AcceptsAGoodStream) {
    const Bytes data = Sample();
    const Bytes szdd = SzddCompress(data.data(), data.size(), 'e');
    std::string error = "untouched";
    EXPECT_TRUE(SzddVerifyWithMspack(szdd, data, &error));
    EXPECT_EQ(error, "untouched");
}

TEST(SzddVerify, RejectsDamagedStreams) {
    const Bytes data = Sample();
    const Bytes good = SzddCompress(data.data(), data.size(), 'e');


    const struct {
        const char* name;
        Bytes stream;
        Bytes original;
        const char* expectedText;
    } cases[] = {
        {"header only", Bytes(good.begin(), good.begin() + kSzddHeaderSize), data, "expands to 0 bytes"},
        {"shorter than a header", Bytes(good.begin(), good.begin() + 9), data, "shorter than the 14-byte header"},
        {"cut short", Bytes(good.begin(), good.end() - 40), data, "one is a prefix of the other"},
        {"length field one too small",
         [&] {
             Bytes s = good;
             --s[10];
             return s;
         }(),
         data, "header says"},
        {"original one byte longer", good, Concat({data, FromString("x")}), "header says"},
        {"bad signature",
         [&] {
             Bytes s = good;
             s[1] = 'X';
             return s;
         }(),
         data, "no SZDD signature"},
        {"mode not A",
         [&] {
             Bytes s = good;
             s[8] = 'B';
             return s;
         }(),
         data, "not 'A'"},
        {"different original", good,
         [&] {
             Bytes d = data;
             d[12345] ^= 1;
             return d;
         }(),
         "first difference at offset 12345"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(SzddVerifyWithMspack(c.stream, c.original, &error));
        EXPECT_NE(error.find(c.expectedText), std::string::npos) << error;
    }
}

// A corrupted literal must be reported at the offset it lands on.
TEST(SzddVerify, ReportsTheFirstDifferingOffset) {
    const Bytes data = FromString("0123456789abcdefghij");  // all literals
    Bytes szdd = SzddCompress(data.data(), data.size(), 'e');
    // Item 10 ('a') is the third literal after the second flag byte.
    const size_t at = kSzddHeaderSize + 1 + 8 + 1 + 2;
    ASSERT_EQ(szdd[at], 'a');
    szdd[at] = 'A';
    std::string error;
    EXPECT_FALSE(SzddVerifyWithMspack(szdd, data, &error));
    EXPECT_NE(error.find("first difference at offset 10"), std::string::npos) << error;
}

}  // namespace
