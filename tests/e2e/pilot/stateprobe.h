// Reads the installer's own state record out of the running setup process,
// for what the screen does not show (the current folder item, the indent
// levels, the install folder once its page has closed). The pilot is built
// for the same target as the setup under test, so the record's layout is the
// same on both sides.
#ifndef PILOT_STATEPROBE_H
#define PILOT_STATEPROBE_H

#include "pilot.h"
#include "manifest/state.h"

#include <string>

namespace pilot {

class StateProbe {
public:
    // Finds the record while the given step is marked, by the install folder
    // it holds at that moment.
    bool Find(const Process& setup, int32_t stepMask, const std::string& installDir);
    bool Read(InstallState* state) const;
    std::string InstallDir() const;

private:
    HANDLE process_ = nullptr;
    uintptr_t address_ = 0;
};

} // namespace pilot

#endif
