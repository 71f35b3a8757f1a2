// Checks an SZDD stream against the original through libmspack's decoder.
#ifndef CRATEWISE_SZDD_VERIFY_H
#define CRATEWISE_SZDD_VERIFY_H

#include <cstdint>
#include <string>
#include <vector>

// Expands `szddBytes` with libmspack's SZDD decompressor, in memory.
bool SzddExpandWithMspack(const std::vector<uint8_t>& szddBytes, std::vector<uint8_t>* expanded,
                          std::string* error);

// True when the header is well formed, its length field equals the
// original's size, and libmspack expands the stream to exactly `original`.
// Otherwise false, with the reason (first differing offset, lengths) in
// `error`. The decoders ignore the length field and stop where the data
// ends, so only this comparison shows a wrong length or a cut-off stream.
bool SzddVerifyWithMspack(const std::vector<uint8_t>& szddBytes,
                          const std::vector<uint8_t>& original, std::string* error);

#endif
