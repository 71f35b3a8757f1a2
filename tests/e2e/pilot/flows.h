// Steps through the sample installer that many scenarios share.
#ifndef PILOT_FLOWS_H
#define PILOT_FLOWS_H

#include "pilot.h"

namespace pilot {

// The product the setup executable under test carries (--set product=...).
std::string Product();

// Captions of the pages for that product.
std::string AgreementCaption();
std::string LocationCaption();
std::string CopyCaption();
std::string GroupCaption();

const char* const Installer = "Cratewise";
const char* const DefaultFolder = "C:\\Dornwick\\Pellomark";
const char* const AbortText =
    "Installation Aborted!\n\nIf you need assistance you can email\nsupport at - "
    "support@dornwick.example!";

Process StartSetup();
// The full-screen window of the installer (class "Cratewise"), visible or not.
HWND MainWindow(const Process& setup, bool visibleOnly = true);
// Waits for the abort notice, checks it and dismisses it.
void ExpectAbortNotice(DWORD pid);
// Waits for the installer to end and checks that its exit code is 0.
void ExpectExitZero(const Process& setup, DWORD milliseconds = 20000);

// Answers the pages up to the one named, with their defaults.
HWND ReachLocation();
HWND ReachCopy();
HWND ReachGroup();

// A --set value naming a Linux path, as the prefix's Z: drive sees it.
std::string WindowsPathOf(const std::string& linuxPath);
// The value of --set name=..., or the fallback.
std::string Value(const std::string& name, const std::string& fallback = "");

// A resource of the setup executable under test; empty when it has none.
std::string SetupResource(LPCSTR name, LPCSTR type = (LPCSTR)RT_RCDATA);
// Checks that nothing on the drive or in the registry changed since before.
void ExpectUnchanged(const Snapshot& before);

// Installs from the first page to the end with the default answers, into the
// folder given (the default folder when empty).
void Install(const Process& setup, const std::string& folder = "");

} // namespace pilot

#endif
