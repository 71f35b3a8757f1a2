#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "manifest/crc32.h"

namespace {

// A plain bit-at-a-time CRC-32 to hold the table-driven one against.
uint32_t BitwiseCrc32(const std::string& bytes)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

struct CrcCase {
    std::string bytes;
    uint32_t crc;
};

class KnownCrcs : public ::testing::TestWithParam<CrcCase> {};

TEST_P(KnownCrcs, MatchTheStandardCheckValues)
{
    const CrcCase& c = GetParam();
    EXPECT_EQ(Crc32(c.bytes.data(), (uint32_t)c.bytes.size()), c.crc);
}

INSTANTIATE_TEST_SUITE_P(Values, KnownCrcs, ::testing::Values(
    CrcCase{"", 0x00000000u},
    CrcCase{"123456789", 0xCBF43926u},
    CrcCase{"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    CrcCase{std::string(1, '\0'), 0xD202EF8Du}));

TEST(Crc32, AgreesWithTheBitwiseFormOnEveryByteValueAndFindsAnyFlippedBit)
{
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += (char)(i * 131 + 7);
    uint32_t whole = Crc32(bytes.data(), (uint32_t)bytes.size());
    EXPECT_EQ(whole, BitwiseCrc32(bytes));
    for (size_t at : {size_t(0), size_t(499), bytes.size() - 1}) {
        for (int bit = 0; bit < 8; ++bit) {
            std::string damaged = bytes;
            damaged[at] ^= (char)(1 << bit);
            EXPECT_NE(Crc32(damaged.data(), (uint32_t)damaged.size()), whole) << at << " " << bit;
        }
    }
}

} // namespace
