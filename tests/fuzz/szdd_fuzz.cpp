// Every input compresses, expands back to itself through libmspack, and is
// never larger than a stored copy in the format's worst case (all literals).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "szdd.h"
#include "szdd_verify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte picks a small block size now and then, so that block
    // edges of the match search are crossed with short inputs too.
    size_t block = (size && (data[0] & 1)) ? 32 + (data[0] >> 1) : 0;
    SzddParseStats stats;
    std::vector<uint8_t> packed = SzddCompressWithStats(data, size, 'e', &stats, block);
    size_t worst = SzddHeaderSize + (size * 9 + 7) / 8;
    std::string error;
    if (packed.size() > worst || packed.size() != SzddStreamSize(stats) ||
        !SzddVerifyWithMspack(packed, std::vector<uint8_t>(data, data + size), &error))
        abort();
    return 0;
}
