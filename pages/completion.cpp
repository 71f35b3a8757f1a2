#include "pages.h"
#include "pagekit.h"
#include "completion_logic.h"
#include "group_logic.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../platform/dde.h"
#include "../platform/registry.h"

namespace {

void RegisterInstall()
{
    RegistryInputs inputs = {Manifest.RegistryKeyTemplate,
                             Manifest.ProductName,
                             Manifest.Version,
                             State.InstallDir,
                             State.WindowsDir,
                             State.GroupName,
                             Manifest.Payload[UninstallerRow].FileName};
    WindowsRegistry registry;
    WriteRegistry(registry, inputs);
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
    // The activation that Notepad's closing queued for the main window must
    // come before the thanks: taken inside the box's loop, it would raise the
    // main window over the box.
    PumpFor(mainWindow, RestorePause);
}

void ShowGroupOnceMore()
{
    char command[CommandSize];
    int32_t length = FormatShowGroup(command, sizeof command, State.GroupName, ShowGroupNormal);
    WindowsDde dde(State.DdeLink, 0);
    if (length >= 0)
        dde.Execute(command, ClosingTimeout);
}

}  // namespace

void CompletionStep(HWND mainWindow)
{
    char text[ClosingTextSize];
    RegisterInstall();
    MarkStep(StepRegistered);
    FormatReadMeQuestion(text, sizeof text, Manifest.ProductName);
    if (MessageBoxA(mainWindow, text, Manifest.InstallerName, MB_YESNO | MB_ICONQUESTION) == IDYES)
        ViewReadMe(mainWindow);
    MarkStep(StepFinished);
    FormatThanks(text, sizeof text, Manifest.ProductName, SupportAddress);
    MessageBoxA(mainWindow, text, Manifest.InstallerName, MB_OK | MB_ICONINFORMATION);
    ShowGroupOnceMore();
    PumpFor(mainWindow, ClosingPause);
    DestroyWindow(mainWindow);
}
