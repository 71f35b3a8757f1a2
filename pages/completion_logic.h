// The closing of the installation apart from the calls that carry it out:
// the registry writes as a sequence of operations, the read-me's command line
// and the closing texts.
#ifndef CRATEWISE_COMPLETION_LOGIC_H
#define CRATEWISE_COMPLETION_LOGIC_H

#include <stdint.h>

#include "../manifest/paths.h"
#include "../manifest/registry.h"

enum {
    RegistryTextSize = 256,
    MessageSize = 1024,
    StepRegistered = 32,
    StepFinished = 64,
    ClosingPause = 1000
};


enum RegistryAction {
    RegistryCreateKey,
    RegistryOpenKey,
    RegistryQueryValue,
    RegistryDeleteValue,
    RegistrySetValue,
    RegistryCloseKey,
    RegistryDone
};

// The keys an operation names: the root, and the three the plan opens.
enum RegistryKeySlot { MachineKey, VersionKey, UninstallKey, ProductKey, RegistryKeySlots };

struct RegistryOp {
    int32_t Action;
    int32_t Key;        // the key worked on; for create and open, the parent
    int32_t Opened;     // create and open: the slot that receives the new key
    const char* Name;   // a sub-key's path or a value's name
    const char* Data;   // set: the value's bytes (text, as REG_SZ)
    uint32_t Size;      // set: their count, the terminating zero included
};

// How the operation before went: Status 1 or -1; a query's bytes.
struct RegistryOutcome {
    int32_t Status;
    const char* Data;
    uint32_t Size;
};

struct RegistryInputs {
    const char* KeyTemplate;    // two %s: the product, then the sub-key's name
    const char* ProductName;
    const char* Version;
    const char* InstallDir;
    const char* WindowsDir;
    const char* GroupName;
    const char* UninstallerName;
};

// Where the plan stands, with the texts it has formed. A text that would not
// fit its buffer leaves out the writes that need it.
struct RegistryPlan {
    RegistryInputs Inputs;
    int32_t Step;
    char KeyPath[RegistryTextSize];
    char DisplayName[RegistryTextSize];
    char UninstallCommand[RegistryTextSize];
    int32_t KeyPathFits;
    int32_t EntryFits;
};

void StartRegistryPlan(RegistryPlan* plan, const RegistryInputs& inputs);

// The next operation, given how the one before went (the first call's
// outcome is not looked at). RegistryDone once there is nothing more to do.
RegistryOp NextRegistryOp(RegistryPlan* plan, const RegistryOutcome& last);

// Whether a stored version, size bytes read back (a terminator optional),
// is another text than version; letter case counts.
bool VersionDiffers(const char* stored, uint32_t size, const char* version);


// Notepad in the system folder, so that no program of that name beside the
// installer is started in its place. 1, or -1 when it would not fit.
int32_t NotepadPath(char* output, int32_t capacity, const char* systemDir);

// The read-me question and the thanks. Length, or -1 when they would not fit.
int32_t FormatReadMeQuestion(char* output, int32_t capacity, const char* productName);
int32_t FormatThanks(char* output, int32_t capacity, const char* productName,
                     const char* supportAddress);

#endif
