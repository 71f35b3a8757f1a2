#include "stateprobe.h"

#include <stddef.h>

namespace pilot {

namespace {

bool Writable(const MEMORY_BASIC_INFORMATION& region)
{
    DWORD writable = PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READWRITE |
                     PAGE_EXECUTE_WRITECOPY;
    return region.State == MEM_COMMIT && region.Type == MEM_IMAGE && (region.Protect & writable) &&
           !(region.Protect & PAGE_GUARD);
}

// Where the folder text sits in bytes, padded with zeros to its buffer's end.
std::vector<size_t> Matches(const std::vector<char>& bytes, const std::string& folder)
{
    std::vector<size_t> found;
    if (folder.size() >= (size_t)FullPathSize || bytes.size() < (size_t)FullPathSize)
        return found;
    for (size_t at = 0; at + FullPathSize <= bytes.size(); ++at) {
        if (memcmp(bytes.data() + at, folder.data(), folder.size()) != 0)
            continue;
        bool padded = true;
        for (size_t i = folder.size(); i < (size_t)FullPathSize && padded; ++i)
            padded = bytes[at + i] == 0;
        if (padded)
            found.push_back(at);
    }
    return found;
}

} // namespace

bool StateProbe::Find(const Process& setup, int32_t stepMask, const std::string& installDir)
{
    process_ = setup.handle;
    address_ = 0;
    int candidates = 0;
    MEMORY_BASIC_INFORMATION region;
    for (uintptr_t at = 0x10000;
         VirtualQueryEx(process_, (LPCVOID)at, &region, sizeof region) == sizeof region;
         at = (uintptr_t)region.BaseAddress + region.RegionSize) {
        if (!Writable(region))
            continue;
        std::vector<char> bytes(region.RegionSize);
        SIZE_T read = 0;
        if (!ReadProcessMemory(process_, region.BaseAddress, bytes.data(), bytes.size(), &read))
            continue;
        bytes.resize(read);
        for (size_t offset : Matches(bytes, installDir)) {
            uintptr_t base = (uintptr_t)region.BaseAddress + offset -
                             offsetof(InstallState, InstallDir);
            InstallState state;
            if (!ReadProcessMemory(process_, (LPCVOID)base, &state, sizeof state, &read) ||
                read != sizeof state)
                continue;
            if (state.StepMask != stepMask || state.MainWindow == nullptr)
                continue;
            address_ = base;
            ++candidates;
        }
    }
    if (candidates != 1) {
        Log("state record for \"%s\" found %d times", installDir.c_str(), candidates);
        address_ = 0;
        return false;
    }
    return true;
}

bool StateProbe::Read(InstallState* state) const
{
    SIZE_T read = 0;
    return address_ && ReadProcessMemory(process_, (LPCVOID)address_, state, sizeof *state, &read) &&
           read == sizeof *state;
}

std::string StateProbe::InstallDir() const
{
    InstallState state;
    if (!Read(&state))
        return "<unreadable>";
    return std::string(state.InstallDir, strnlen(state.InstallDir, sizeof state.InstallDir));
}

} // namespace pilot
