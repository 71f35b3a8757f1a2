#include "state.h"

// Everything not named here starts as zero or none.
InstallState State = {
    /* StepMask */ 0,
    /* AppInstance */ 0,
    /* MainWindow */ 0,
    /* InstallDir */ ".",
    /* WindowsDir */ ".",
    /* GroupName */ ".",
    /* HeaderPicture */ {0, 0},
    /* DrawKit */ {},
    /* CurrentFolderItem */ 0,
    /* ListingDrives */ 0,
    /* IndentLevels */ {},
    /* MeterState */ {0x000080, 0, 0, 0, 0, 0, 0.0f},
    /* MeterHook */ {0, 0},
    /* DdeLink */ {0, 0, 0, 0, 0},
};
