#include "pages.h"
#include "pagekit.h"
#include "completion_logic.h"
#include "group_logic.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../platform/dde.h"

namespace {

// Carries out one operation of the plan on the keys opened so far.
RegistryOutcome RunRegistryOp(const RegistryOp& op, HKEY* keys, char* queried,
                              DWORD queriedSize)
{
    RegistryOutcome outcome = {-1, 0, 0};
    LONG status = ERROR_SUCCESS;
    DWORD size = queriedSize;
    switch (op.Action) {
    case RegistryCreateKey:
        status = RegCreateKeyExA(keys[op.Key], op.Name, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE,
                                 KEY_ALL_ACCESS, 0, &keys[op.Opened], 0);
        break;
    case RegistryOpenKey:
        status = RegOpenKeyExA(keys[op.Key], op.Name, 0, KEY_ALL_ACCESS, &keys[op.Opened]);
        break;
    case RegistryQueryValue:
        status = RegQueryValueExA(keys[op.Key], op.Name, 0, 0, (LPBYTE)queried, &size);
        outcome.Data = queried;
        outcome.Size = status == ERROR_SUCCESS ? size : 0;
        break;
    case RegistryDeleteValue:
        RegDeleteValueA(keys[op.Key], op.Name);
        break;
    case RegistrySetValue:
        RegSetValueExA(keys[op.Key], op.Name, 0, REG_SZ, (const BYTE*)op.Data, op.Size);
        break;
    case RegistryCloseKey:
        RegCloseKey(keys[op.Key]);
        keys[op.Key] = 0;
        break;
    }
    outcome.Status = status == ERROR_SUCCESS ? 1 : -1;
    return outcome;
}

void RegisterInstall()
{
    RegistryInputs inputs = {Manifest.RegistryKeyTemplate, Manifest.ProductName,
                             Manifest.Version, State.InstallDir, State.WindowsDir,
                             State.GroupName, Manifest.Payload[UninstallerRow].FileName};
    RegistryPlan plan;
    StartRegistryPlan(&plan, inputs);
    HKEY keys[RegistryKeySlots] = {HKEY_LOCAL_MACHINE, 0, 0, 0};
    char queried[RegistryTextSize];
    RegistryOutcome outcome = {1, 0, 0};
    for (;;) {
        RegistryOp op = NextRegistryOp(&plan, outcome);
        if (op.Action == RegistryDone)
            break;
        outcome = RunRegistryOp(op, keys, queried, sizeof queried);
    }
}

void ViewReadMe(HWND mainWindow)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    ShowWindow(mainWindow, SW_MINIMIZE);
    char quoted[QuotedPathSize];
    char commandLine[CommandLineSize];
    char systemDir[FullPathSize];
    char notepad[FullPathSize];
    UINT systemLength = GetSystemDirectoryA(systemDir, sizeof systemDir);
    if (systemLength == 0 || systemLength >= sizeof systemDir)
        systemDir[0] = 0;
    PROCESS_INFORMATION started;
    if (ReadMeCommand(commandLine, sizeof commandLine, quoted, sizeof quoted, State.InstallDir,
                      Manifest.Payload[ReadMeRow].FileName) == 1 &&
        NotepadPath(notepad, sizeof notepad, systemDir) == 1 &&
        CreateProcessA(notepad, commandLine, 0, 0, FALSE, 0, 0, State.InstallDir, &startup,
                       &started)) {
        WaitForSingleObject(started.hProcess, INFINITE);
        CloseHandle(started.hProcess);
        CloseHandle(started.hThread);
    }
    ShowWindow(mainWindow, SW_RESTORE);
}

void ShowGroupOnceMore()
{
    char command[CommandSize];
    int32_t length = FormatShowGroup(command, sizeof command, State.GroupName, ShowGroupNormal);
    WindowsDde dde(State.DdeLink, 0);
    if (length >= 0)
        dde.Execute(command, ClosingTimeout);
}

} // namespace

void CompletionStep(HWND mainWindow)
{
    char text[MessageSize];
    RegisterInstall();
    MarkStep(StepRegistered);
    FormatReadMeQuestion(text, sizeof text, Manifest.ProductName);
    if (MessageBoxA(mainWindow, text, Manifest.InstallerName, MB_YESNO | MB_ICONQUESTION) ==
        IDYES)
        ViewReadMe(mainWindow);
    MarkStep(StepFinished);
    FormatThanks(text, sizeof text, Manifest.ProductName, SupportAddress);
    MessageBoxA(mainWindow, text, Manifest.InstallerName, MB_OK | MB_ICONINFORMATION);
    ShowGroupOnceMore();
    PumpFor(mainWindow, ClosingPause);
    DestroyWindow(mainWindow);
}
