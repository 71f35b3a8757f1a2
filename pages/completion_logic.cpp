#include "completion_logic.h"

#include "../manifest/paths.h"
#include "../manifest/text.h"

namespace {

// The installed product's values that another version makes stale.
const char* const StaleValues[] = {"winC", "winD", "winL", "winF"};

}  // namespace

void StartRegistryPlan(RegistryPlan* plan, const RegistryInputs& inputs)
{
    plan->Inputs = inputs;
    plan->KeyPathFits = CountPlaceholders(inputs.KeyTemplate) == 2 &&
                        TextFormat(plan->KeyPath, sizeof plan->KeyPath, inputs.KeyTemplate,
                                   inputs.ProductName, VersionKeyName) >= 0;
    // An entry that could not name its uninstaller is worse than none.
    plan->EntryFits = TextFormat(plan->DisplayName, sizeof plan->DisplayName, "%s Uninstall",
                                 inputs.ProductName) >= 0 &&
                      JoinPath(plan->UninstallCommand, sizeof plan->UninstallCommand,
                               inputs.WindowsDir, inputs.UninstallerName, Unquoted) == 1;
}

void WriteRegistry(RegistryPort& registry, const RegistryInputs& inputs)
{
    RegistryPlan plan;
    StartRegistryPlan(&plan, inputs);
    RegistryKey version;
    if (plan.KeyPathFits && registry.CreateKey(MachineKey, plan.KeyPath, &version)) {
        char stored[RegistryTextSize];
        uint32_t size = 0;
        if (registry.QueryValue(version, ProgramVersionValue, stored, sizeof stored, &size) &&
            VersionDiffers(stored, size, inputs.Version))
            for (const char* stale : StaleValues)
                registry.DeleteValue(version, stale);
        registry.SetValue(version, ProgramVersionValue, inputs.Version);
        registry.CloseKey(version);
    }
    // The uninstall key is only opened: where there is none, no entry is made.
    RegistryKey uninstall, entry;
    if (!plan.EntryFits || !registry.OpenKey(MachineKey, UninstallKeyPath, &uninstall))
        return;
    if (registry.CreateKey(uninstall, inputs.ProductName, &entry)) {
        registry.SetValue(entry, "DisplayName", plan.DisplayName);
        registry.SetValue(entry, "UninstallString", plan.UninstallCommand);
        registry.SetValue(entry, ProgramPathValue, inputs.InstallDir);
        registry.SetValue(entry, ProgramGroupValue, inputs.GroupName);
        registry.CloseKey(entry);
    }
    registry.CloseKey(uninstall);
}

bool VersionDiffers(const char* stored, uint32_t size, const char* version)
{
    uint32_t at = 0;
    for (; at < size && stored[at]; ++at)
        if (version[at] != stored[at])
            return true;
    return version[at] != 0;
}

int32_t NotepadPath(char* output, int32_t capacity, const char* systemDir)
{
    if (systemDir[0] == 0) {
        output[0] = 0;
        return -1;
    }
    return JoinPath(output, capacity, systemDir, "notepad.exe", Unquoted);
}

int32_t FormatReadMeQuestion(char* output, int32_t capacity, const char* productName)
{
    return TextFormat(output, capacity,
                      "%s was successfully Installed.\n\n"
                      "Would you like to view the Read Me file now?",
                      productName);
}

int32_t FormatThanks(char* output, int32_t capacity, const char* productName,
                     const char* supportAddress)
{
    return TextFormat(output, capacity,
                      "Before you begin exploring, I would like to\r\n"
                      "Thank You for taking the time to evaluate my\r\n"
                      "product %s. If you have any questions you\r\n"
                      "can email me at %s!",
                      productName, supportAddress);
}
