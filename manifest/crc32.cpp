#include "crc32.h"

namespace {

// Half a byte at a time: a 64-byte table instead of 1 KiB, fast enough for
// a payload checked once.
const uint32_t NibbleTable[16] = {
    0x00000000, 0x1DB71064, 0x3B6E20C8, 0x26D930AC, 0x76DC4190, 0x6B6B51F4, 0x4DB26158, 0x5005713C,
    0xEDB88320, 0xF00F9344, 0xD6D6A3E8, 0xCB61B38C, 0x9B64C2B0, 0x86D3D2D4, 0xA00AE278, 0xBDBDF21C,
};

}  // namespace

uint32_t Crc32(const void* data, uint32_t size)
{
    const unsigned char* bytes = (const unsigned char*)data;
    uint32_t crc = 0xFFFFFFFFu;
    for (uint32_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        crc = (crc >> 4) ^ NibbleTable[crc & 15];
        crc = (crc >> 4) ^ NibbleTable[crc & 15];
    }
    return crc ^ 0xFFFFFFFFu;
}
