#include "completion_logic.h"

#include "../manifest/paths.h"
#include "../manifest/text.h"


namespace {

// When a step runs; otherwise the plan goes on at the step's SkipTo.
enum StepCondition { Always, LastSucceeded, KeyPathFits, EntryFits, StoredVersionDiffers };

// Where a step's name and data come from.
enum StepText {
    NoText, KeyPathText, ProgramVersionText, WinCText, WinDText, WinLText, WinFText,
    UninstallKeyText, ProductNameText, DisplayNameText, UninstallStringText, ProgramPathText,
    ProgramGroupText, VersionData, DisplayNameData, UninstallCommandData, InstallDirData,
    GroupNameData
};

struct PlanStep {
    uint8_t Action;
    uint8_t Key;
    uint8_t Opened;
    uint8_t Condition;
    uint8_t SkipTo;
    uint8_t Name;
    uint8_t Data;
};

enum { SetVersionStep = 6, OpenUninstallStep = 8, CloseUninstallStep = 15, FinishedStep = 16 };

const PlanStep Steps[FinishedStep] = {
    {RegistryCreateKey, MachineKey, VersionKey, KeyPathFits, OpenUninstallStep, KeyPathText, NoText},
    {RegistryQueryValue, VersionKey, 0, LastSucceeded, OpenUninstallStep, ProgramVersionText, NoText},
    // The installed product's values that another version makes stale.
    {RegistryDeleteValue, VersionKey, 0, StoredVersionDiffers, SetVersionStep, WinCText, NoText},
    {RegistryDeleteValue, VersionKey, 0, Always, 0, WinDText, NoText},
    {RegistryDeleteValue, VersionKey, 0, Always, 0, WinLText, NoText},
    {RegistryDeleteValue, VersionKey, 0, Always, 0, WinFText, NoText},
    {RegistrySetValue, VersionKey, 0, Always, 0, ProgramVersionText, VersionData},
    {RegistryCloseKey, VersionKey, 0, Always, 0, NoText, NoText},
    // The uninstall key is only opened: where there is none, no entry is made.
    {RegistryOpenKey, MachineKey, UninstallKey, EntryFits, FinishedStep, UninstallKeyText, NoText},
    {RegistryCreateKey, UninstallKey, ProductKey, LastSucceeded, FinishedStep, ProductNameText,
     NoText},
    {RegistrySetValue, ProductKey, 0, LastSucceeded, CloseUninstallStep, DisplayNameText,
     DisplayNameData},
    {RegistrySetValue, ProductKey, 0, Always, 0, UninstallStringText, UninstallCommandData},
    {RegistrySetValue, ProductKey, 0, Always, 0, ProgramPathText, InstallDirData},
    {RegistrySetValue, ProductKey, 0, Always, 0, ProgramGroupText, GroupNameData},
    {RegistryCloseKey, ProductKey, 0, Always, 0, NoText, NoText},
    {RegistryCloseKey, UninstallKey, 0, Always, 0, NoText, NoText},
};

const char* PlanText(const RegistryPlan* plan, int32_t text)
{
    const RegistryInputs& in = plan->Inputs;
    switch (text) {
    case KeyPathText: return plan->KeyPath;
    case ProgramVersionText: return ProgramVersionValue;
    case WinCText: return "winC";
    case WinDText: return "winD";
    case WinLText: return "winL";
    case WinFText: return "winF";
    case UninstallKeyText: return UninstallKeyPath;
    case ProductNameText: return in.ProductName;
    case DisplayNameText: return "DisplayName";
    case UninstallStringText: return "UninstallString";
    case ProgramPathText: return ProgramPathValue;
    case ProgramGroupText: return ProgramGroupValue;
    case VersionData: return in.Version;
    case DisplayNameData: return plan->DisplayName;
    case UninstallCommandData: return plan->UninstallCommand;
    case InstallDirData: return in.InstallDir;
    case GroupNameData: return in.GroupName;
    }
    return 0;
}

bool Holds(const RegistryPlan* plan, int32_t condition, const RegistryOutcome& last)
{
    switch (condition) {
    case LastSucceeded: return last.Status == 1;
    case KeyPathFits: return plan->KeyPathFits != 0;
    case EntryFits: return plan->EntryFits != 0;
    case StoredVersionDiffers:
        return last.Status == 1 && VersionDiffers(last.Data, last.Size, plan->Inputs.Version);
    }
    return true;
}

} // namespace

void StartRegistryPlan(RegistryPlan* plan, const RegistryInputs& inputs)
{
    plan->Inputs = inputs;
    plan->Step = 0;
    plan->KeyPathFits = CountPlaceholders(inputs.KeyTemplate) == 2 &&
                        TextFormat(plan->KeyPath, sizeof plan->KeyPath, inputs.KeyTemplate,
                                   inputs.ProductName, "Current Version") >= 0;
    // An entry that could not name its uninstaller is worse than none.
    plan->EntryFits =
        TextFormat(plan->DisplayName, sizeof plan->DisplayName, "%s Uninstall",
                   inputs.ProductName) >= 0 &&
        JoinPath(plan->UninstallCommand, sizeof plan->UninstallCommand, inputs.WindowsDir,
                 inputs.UninstallerName, 0) == 1;
}

RegistryOp NextRegistryOp(RegistryPlan* plan, const RegistryOutcome& last)
{
    RegistryOp op = {RegistryDone, MachineKey, MachineKey, 0, 0, 0};
    while (plan->Step < FinishedStep) {
        const PlanStep& step = Steps[plan->Step];
        if (!Holds(plan, step.Condition, last)) {
            plan->Step = step.SkipTo;
            continue;
        }
        ++plan->Step;
        op.Action = step.Action;
        op.Key = step.Key;
        op.Opened = step.Opened;
        op.Name = PlanText(plan, step.Name);
        op.Data = PlanText(plan, step.Data);
        op.Size = op.Data ? (uint32_t)TextLength(op.Data) + 1 : 0;
        return op;
    }
    return op;
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
    return JoinPath(output, capacity, systemDir, "notepad.exe", 0);
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
