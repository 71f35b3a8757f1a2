// The closing of the installation apart from the calls that carry it out:
// the registry writes over a registry port, the read-me's command line and
// the closing texts.
#ifndef CRATEWISE_COMPLETION_LOGIC_H
#define CRATEWISE_COMPLETION_LOGIC_H

#include <stdint.h>

#include "../manifest/paths.h"
#include "../manifest/registry.h"
#include "../manifest/wizard.h"
#include "../platform/registry_port.h"

enum {
    ClosingTextSize = 1024,  // the read-me question and the thanks
    ClosingPause = 1000,
    RestorePause = 300
};

struct RegistryInputs {
    const char* KeyTemplate;  // two %s: the product, then the sub-key's name
    const char* ProductName;
    const char* Version;
    const char* InstallDir;
    const char* WindowsDir;
    const char* GroupName;
    const char* UninstallerName;
};

// The texts the writes are formed from. A text that would not fit its
// buffer leaves out the writes that need it.
struct RegistryPlan {
    RegistryInputs Inputs;
    char KeyPath[RegistryTextSize];
    char DisplayName[RegistryTextSize];
    char UninstallCommand[RegistryTextSize];
    bool KeyPathFits;
    bool EntryFits;
};

void StartRegistryPlan(RegistryPlan* plan, const RegistryInputs& inputs);

// Records the installed version in the product's key, first clearing the
// values an installed other version left; then, where the uninstall key
// exists, the product's uninstall entry. What cannot be made is left out and
// the rest still written.
void WriteRegistry(RegistryPort& registry, const RegistryInputs& inputs);

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
