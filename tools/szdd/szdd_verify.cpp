#include "szdd_verify.h"

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "szdd.h"

namespace {

// libmspack reaches files only through an mspack_system, so one that maps
// two fixed names onto memory keeps the check free of temporary files.
constexpr const char* InputName = "szdd-input";
constexpr const char* OutputName = "szdd-output";

struct MemorySystem {
    mspack_system sys;  // first, so libmspack's pointer converts back
    const std::vector<uint8_t>* input;
    std::vector<uint8_t>* output;
    bool outOfMemory;
};

struct MemoryFile {
    mspack_file base;
    MemorySystem* owner;
    bool writing;
    size_t pos;
};

mspack_file* MemOpen(mspack_system* self, const char* name, int mode)
{
    auto* system = reinterpret_cast<MemorySystem*>(self);
    bool writing;
    if (std::strcmp(name, InputName) == 0 && mode == MSPACK_SYS_OPEN_READ)
        writing = false;
    else if (std::strcmp(name, OutputName) == 0 && mode == MSPACK_SYS_OPEN_WRITE)
        writing = true;
    else
        return nullptr;
    auto* file = new (std::nothrow) MemoryFile{{0}, system, writing, 0};
    if (writing && file)
        system->output->clear();
    return reinterpret_cast<mspack_file*>(file);
}

void MemClose(mspack_file* file) { delete reinterpret_cast<MemoryFile*>(file); }

int MemRead(mspack_file* file, void* buffer, int bytes)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    if (f->writing || bytes < 0)
        return -1;
    const std::vector<uint8_t>& in = *f->owner->input;
    size_t n = std::min(size_t(bytes), in.size() - std::min(f->pos, in.size()));
    if (n)
        std::memcpy(buffer, in.data() + f->pos, n);
    f->pos += n;
    return int(n);
}

int MemWrite(mspack_file* file, void* buffer, int bytes)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    if (!f->writing || bytes < 0)
        return -1;
    std::vector<uint8_t>& out = *f->owner->output;
    try {
        const uint8_t* p = static_cast<const uint8_t*>(buffer);
        out.insert(out.end(), p, p + bytes);
    } catch (const std::bad_alloc&) {
        f->owner->outOfMemory = true;
        return -1;
    }
    return bytes;
}

int MemSeek(mspack_file* file, off_t offset, int mode)
{
    auto* f = reinterpret_cast<MemoryFile*>(file);
    const off_t size = off_t(f->writing ? f->owner->output->size() : f->owner->input->size());
    off_t base = 0;
    switch (mode) {
    case MSPACK_SYS_SEEK_START:
        base = 0;
        break;
    case MSPACK_SYS_SEEK_CUR:
        base = off_t(f->pos);
        break;
    case MSPACK_SYS_SEEK_END:
        base = size;
        break;
    default:
        return -1;
    }
    if (base + offset < 0 || base + offset > size)
        return -1;
    f->pos = size_t(base + offset);
    return 0;
}

off_t MemTell(mspack_file* file) { return off_t(reinterpret_cast<MemoryFile*>(file)->pos); }

void MemMessage(mspack_file*, const char*, ...) {}

void* MemAlloc(mspack_system*, size_t bytes) { return std::malloc(bytes); }

void MemFree(void* p) { std::free(p); }

void MemCopy(void* src, void* dest, size_t bytes) { std::memmove(dest, src, bytes); }

std::string MspackErrorText(int code)
{
    switch (code) {
    case MSPACK_ERR_ARGS:
        return "bad arguments";
    case MSPACK_ERR_OPEN:
        return "cannot open";
    case MSPACK_ERR_READ:
        return "read error";
    case MSPACK_ERR_WRITE:
        return "write error";
    case MSPACK_ERR_SEEK:
        return "seek error";
    case MSPACK_ERR_NOMEMORY:
        return "out of memory";
    case MSPACK_ERR_SIGNATURE:
        return "bad signature";
    case MSPACK_ERR_DATAFORMAT:
        return "bad data format";
    case MSPACK_ERR_CHECKSUM:
        return "checksum error";
    case MSPACK_ERR_CRUNCH:
        return "compression error";
    case MSPACK_ERR_DECRUNCH:
        return "decompression error";
    default:
        return "error " + std::to_string(code);
    }
}

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

}  // namespace

bool SzddExpandWithMspack(const std::vector<uint8_t>& szddBytes, std::vector<uint8_t>* expanded,
                          std::string* error)
{
    MemorySystem system{{MemOpen, MemClose, MemRead, MemWrite, MemSeek, MemTell, MemMessage,
                         MemAlloc, MemFree, MemCopy, nullptr},
                        &szddBytes,
                        expanded,
                        false};
    expanded->clear();
    // Saves regrowing the output; a stream expands at most 144/17 times.
    if (szddBytes.size() >= SzddHeaderSize) {
        uint64_t declared = 0;
        for (int i = 0; i < 4; ++i)
            declared |= uint64_t(szddBytes[10 + i]) << (8 * i);
        try {
            expanded->reserve(size_t(std::min<uint64_t>(declared, uint64_t(szddBytes.size()) * 9)));
        } catch (const std::bad_alloc&) {
        }
    }
    msszdd_decompressor* decoder = mspack_create_szdd_decompressor(&system.sys);
    if (!decoder) {
        SetError(error, "libmspack: cannot create the SZDD decompressor");
        return false;
    }
    int rc = decoder->decompress(decoder, InputName, OutputName);
    mspack_destroy_szdd_decompressor(decoder);
    if (system.outOfMemory)
        rc = MSPACK_ERR_NOMEMORY;
    if (rc != MSPACK_ERR_OK) {
        SetError(error, "libmspack refused the stream: " + MspackErrorText(rc));
        return false;
    }
    return true;
}

bool SzddVerifyWithMspack(const std::vector<uint8_t>& szddBytes,
                          const std::vector<uint8_t>& original, std::string* error)
{
    if (szddBytes.size() < SzddHeaderSize) {
        SetError(error, "stream is " + std::to_string(szddBytes.size()) +
                            " bytes, shorter than the " + std::to_string(SzddHeaderSize) +
                            "-byte header");
        return false;
    }
    static const uint8_t Magic[9] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A'};
    if (!std::equal(Magic, Magic + 8, szddBytes.begin())) {
        SetError(error, "no SZDD signature");
        return false;
    }
    if (szddBytes[8] != Magic[8]) {
        SetError(error, "compression mode is " + std::to_string(szddBytes[8]) + ", not 'A'");
        return false;
    }
    uint64_t declared = 0;
    for (int i = 0; i < 4; ++i)
        declared |= uint64_t(szddBytes[10 + i]) << (8 * i);
    if (declared != original.size()) {
        SetError(error, "header says " + std::to_string(declared) + " bytes, the original has " +
                            std::to_string(original.size()));
        return false;
    }

    std::vector<uint8_t> expanded;
    if (!SzddExpandWithMspack(szddBytes, &expanded, error))
        return false;

    auto diff = std::mismatch(expanded.begin(), expanded.end(), original.begin(), original.end());
    if (diff.first != expanded.end() || diff.second != original.end()) {
        size_t offset = size_t(diff.first - expanded.begin());
        std::string text = "libmspack expands to " + std::to_string(expanded.size()) +
                           " bytes, the original has " + std::to_string(original.size());
        if (diff.first != expanded.end() && diff.second != original.end())
            text += "; first difference at offset " + std::to_string(offset);
        else
            text += "; one is a prefix of the other, the shorter ends at offset " +
                    std::to_string(offset);
        SetError(error, text);
        return false;
    }
    return true;
}
