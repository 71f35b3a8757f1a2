// CRC-32 (the IEEE polynomial, as zip and PNG use it): the packer records
// one for every payload resource and the copy page checks it, since SZDD
// itself carries no check and a damaged executable would install damaged
// files.
#ifndef CRATEWISE_CRC32_H
#define CRATEWISE_CRC32_H

#include <stdint.h>

uint32_t Crc32(const void* data, uint32_t size);

#endif
