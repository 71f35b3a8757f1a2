// DLLs planted beside a downloaded installer must not run inside it.
#include "../pilot/pilot.h"

using namespace pilot;

SCENARIO_BY_HAND(planted_dlls_are_not_loaded, 800, 600)
{
    const std::string planted = "Z:" + values["planted"];
    const char* const names[] = {"lz32", "comctl32", "uxtheme"};
    const std::string downloads = "C:\\users\\Public\\Downloads";
    REQUIRE(MakeFolders(downloads));
    std::string setupCopy = downloads + "\\setup.exe";
    REQUIRE(CopyFileA(values["setup"].c_str(), setupCopy.c_str(), FALSE));
    for (std::string name : names)
        REQUIRE(CopyFileA((planted + "\\" + name + ".dll").c_str(),
                          (downloads + "\\" + name + ".dll").c_str(), FALSE));
    // The harness starts Wine preferring the DLL beside the program for these
    // two, as Windows treats a DLL that is not a known system DLL; by default
    // Wine would take its own and the scenario could not fail. The window
    // manager loads uxtheme by name once the program runs: only the
    // program's own limit on where libraries are looked for keeps a planted
    // one out. Wine is told to prefer a planted one the same way.
    HKEY overrides;
    REQUIRE(!RegCreateKeyExA(HKEY_CURRENT_USER,
                             "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides", 0, nullptr, 0,
                             KEY_SET_VALUE | SetupView(), nullptr, &overrides, nullptr) &&
            !RegSetValueExA(overrides, "uxtheme", 0, REG_SZ, (const BYTE*)"native,builtin", 15));
    RegCloseKey(overrides);

    Process setup = Launch(setupCopy, "", downloads);
    Install(setup);
    // A planted DLL that runs leaves C:\planted-<name>.txt.
    for (std::string name : names)
        CHECK(!Exists("C:\\planted-" + name + ".txt"));
}
