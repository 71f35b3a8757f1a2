#include "flows.h"

namespace pilot {

std::string Value(const std::string& name, const std::string& fallback)
{
    auto found = Opts().values.find(name);
    return found == Opts().values.end() ? fallback : found->second;
}

std::string WindowsPathOf(const std::string& linuxPath)
{
    std::string path = "Z:" + linuxPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string Product() { return Value("product", "Pellomark"); }

std::string AgreementCaption() { return Product() + " License Agreement"; }
std::string LocationCaption() { return Product() + " Program Location"; }
std::string CopyCaption() { return "Installing " + Product() + " Program Files"; }
std::string GroupCaption() { return Product() + " Program Group"; }

Process StartSetup()
{
    REQUIRE(!Opts().setup.empty());
    return Launch(Opts().setup);
}

HWND MainWindow(const Process& setup, bool visibleOnly)
{
    return WaitTop(Installer, Installer, 0, setup.pid, visibleOnly);
}

void ExpectAbortNotice(DWORD pid)
{
    Box box = WaitBox(Installer, 10000, pid);
    CHECK_EQ(box.text, std::string(AbortText));
    CHECK_EQ(box.icon, std::string("warning"));
    Answer(box, IDOK);
}

void ExpectExitZero(const Process& setup, DWORD milliseconds)
{
    DWORD code = 12345;
    bool ended = WaitExit(setup, milliseconds, &code);
    CHECK(ended);
    if (ended)
        CHECK_EQ(code, 0ul);
}

HWND ReachLocation()
{
    HWND agreement = WaitPage(AgreementCaption(), 20000);
    Press(agreement, IDOK);
    return WaitPage(LocationCaption());
}

HWND ReachCopy()
{
    HWND location = ReachLocation();
    Press(location, IDOK);
    return WaitPage(CopyCaption());
}

HWND ReachGroup()
{
    HWND location = ReachLocation();
    Press(location, IDOK);
    return WaitPage(GroupCaption(), 120000);
}

void Install(const Process& setup, const std::string& folder)
{
    HWND location = ReachLocation();
    if (!folder.empty())
        Type(location, 300, folder);
    Press(location, IDOK);
    Press(WaitPage(GroupCaption(), 120000), 2000);
    // The group's success box, captioned with the group; no read-me; the thanks.
    Answer(WaitBox(Product(), 60000, setup.pid), IDOK);
    Answer(WaitBox(Installer, 15000, setup.pid), IDNO);
    Answer(WaitBox(Installer, 15000, setup.pid), IDOK);
    ExpectExitZero(setup, 120000);
}

std::string SetupResource(LPCSTR name, LPCSTR type)
{
    HMODULE module = LoadLibraryExA(Opts().setup.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    REQUIRE(module != nullptr);
    std::string bytes;
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    if (const char* data = loaded ? (const char*)LockResource(loaded) : nullptr)
        bytes.assign(data, SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

void ExpectUnchanged(const Snapshot& before)
{
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    for (const std::string& difference : differences)
        Log("  %s", difference.c_str());
    CHECK(differences.empty());
}

} // namespace pilot
