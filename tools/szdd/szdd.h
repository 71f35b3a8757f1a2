// SZDD compression (the format the Windows LZ expansion library reads).
#ifndef CRATEWISE_SZDD_H
#define CRATEWISE_SZDD_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr size_t SzddHeaderSize = 14;
constexpr uint32_t SzddMaxInput = 0xFFFFFFFFu;  // the header holds 32 bits

// How the stream spends its items; the stream is
// ceil((9 * literals + 17 * matches) / 8) bytes after the header.
struct SzddParseStats {
    uint64_t literals = 0;
    uint64_t matches = 0;
};

// Compresses to the smallest stream the format allows: an optimal parse over
// exact longest matches. Throws std::length_error for inputs the header
// cannot describe (more than SzddMaxInput bytes), std::bad_alloc when
// memory runs out.
std::vector<uint8_t> SzddCompress(const uint8_t* data, size_t size, uint8_t lostChar);

// Same, also reporting the parse. `blockSize` only changes how the match
// search is cut up (tests use tiny blocks to cross many block edges).
std::vector<uint8_t> SzddCompressWithStats(const uint8_t* data, size_t size, uint8_t lostChar,
                                           SzddParseStats* stats, size_t blockSize = 0);

// The character the installed name loses to the '_' of the stored name: the
// last character of `fileName`, 0 for an empty name.
uint8_t SzddLostChar(const std::string& fileName);

// Size the stream takes for a given parse, header included.
uint64_t SzddStreamSize(const SzddParseStats& stats);

// Writes the 14-byte header.
void SzddWriteHeader(uint8_t* out, uint8_t lostChar, uint32_t expandedSize);

#endif
