#include "state.h"

// Zero, so that it takes no room in the executable; the few fields that
// start otherwise are set before anything runs.
InstallState State;

void StartInstallState()
{
    State.InstallDir[0] = '.';
    State.WindowsDir[0] = '.';
    State.GroupName[0] = '.';
    State.MeterState.MeterColor = 0x000080;
}
