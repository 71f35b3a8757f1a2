#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "pages/completion_logic.h"

namespace {

const std::string Uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string VersionKey = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const std::string Entry = Uninstall + "\\Pellomark";

std::string Text(const std::string& text) { return text + '\0'; }

// A registry below HKEY_LOCAL_MACHINE in memory that logs each call; one key
// can be refused, as if missing or closed to us.
class MemoryRegistry : public RegistryPort {
public:
    std::string refused, log;
    std::map<std::string, std::map<std::string, std::string>> values;  // raw bytes

    using Key = RegistryKey;
    bool CreateKey(Key a, const char* n, Key* k) override { return Open("create ", a, n, k); }
    bool OpenKey(Key a, const char* n, Key* k) override { return Open("open ", a, n, k); }
    bool QueryValue(Key k, const char* n, char* data, uint32_t capacity, uint32_t* size) override
    {
        std::string& value = values[keys.at(k)][n];
        *size = (uint32_t)value.copy(data, capacity);
        return !value.empty() && value.size() <= capacity;
    }
    void DeleteValue(Key k, const char* n) override
    {
        log += "delete " + std::string(n) + "; ", values[keys.at(k)].erase(n);
    }
    void SetValue(Key k, const char* n, const char* t) override { values[keys.at(k)][n] = Text(t); }
    void CloseKey(Key k) override { log += "close " + keys.at(k) + "; "; }

    bool Open(const char* action, Key parent, const char* name, Key* opened)
    {
        std::string path = parent == MachineKey ? name : keys.at(parent) + "\\" + name;
        log += action + path + "; ";
        return path != refused && (keys[*opened = keys.size()] = path, true);
    }
    std::map<Key, std::string> keys = {{MachineKey, ""}};
};

// The version is kept, and the values an older one left cleared; the entry is
// written where its key can be made and each text fits.
TEST(RegistryPlan, WritesWhatFitsAndCanBeMadeAndClearsOnlyForAnotherVersion)
{
    const std::string Version = "create " + VersionKey + "; ",
                      Closed = "close " + VersionKey + "; ", Opened = "open " + Uninstall + "; ",
                      Made = "create " + Entry + "; ",
                      Clears = "delete winC; delete winD; delete winL; delete winF; ";
    const std::string Whole = Version + Closed + Opened + Made + "close " + Entry + "; close " +
                              Uninstall + "; ",
                      Template = "Shareware\\Dornwick\\Programs\\%s\\%s", Win = "C:\\windows";
    // The version stored, the key template, the Windows folder, the key refused; the calls.
    const std::tuple<std::string, std::string, std::string, std::string, std::string> cases[] = {
        {"1.01", Template, Win, "", Whole},
        {"1.00", Template, Win, "", Version + Clears + Whole.substr(Version.size())},
        {std::string(RegistryTextSize + 1, 'v'), Template, Win, "", Whole},
        {"", std::string(240, 'k') + "\\%s\\%s", Win, "",
         Whole.substr(Version.size() + Closed.size())},
        {"", "Shareware\\%d\\%s\\%s", Win, "", Whole.substr(Version.size() + Closed.size())},
        {"", Template, Win, Uninstall, Version + Closed + Opened},
        {"", Template, Win, Entry, Version + Closed + Opened + Made + "close " + Uninstall + "; "},
        // Folder, backslash, "Quodgone.exe" and the join's two zeros in 256 bytes.
        {"", Template, "C:\\" + std::string(238, 'w'), "", Whole},
        {"", Template, "C:\\" + std::string(239, 'w'), "", Version + Closed},
    };
    for (const auto& [stored, key, windows, refused, log] : cases) {
        MemoryRegistry registry;
        registry.refused = refused;
        for (const char* name : {"winC", "winD", "winL", "winF", "other"})
            registry.values[VersionKey][name] = Text("kept?");
        registry.values[VersionKey]["Program Version"] = stored;
        WriteRegistry(registry, RegistryInputs{key.c_str(), "Pellomark", "1.01", "D:\\",
                                               windows.c_str(), "Tools", "Quodgone.exe"});
        EXPECT_EQ(registry.log, log) << stored << key << windows.size();
        if (log != Whole)
            continue;
        EXPECT_EQ(registry.values[VersionKey]["Program Version"], Text("1.01"));
        EXPECT_EQ(registry.values[Entry], (std::map<std::string, std::string>{
                                              {"DisplayName", Text("Pellomark Uninstall")},
                                              {"UninstallString", Text(windows + "\\Quodgone.exe")},
                                              {"Program Path", Text("D:\\")},
                                              {"Program Group", Text("Tools")}}));
    }
}

TEST(VersionDiffers, ComparesOnlyTheTextReadBackWithCase)
{
    const std::pair<std::string, bool> cases[] = {
        {Text("1.01"), false}, {Text("1.01a"), true},
        {Text("1.0"), true},   {std::string("1.01\0zz", 7), false},
        {"1.011", true},       {Text("1.01A"), true},
    };
    for (const auto& [stored, differs] : cases)
        EXPECT_EQ(VersionDiffers(stored.data(), (uint32_t)stored.size(), "1.01"), differs)
            << stored;
}

TEST(ReadMe, NotepadByItsFullSystemPathOnTheQuotedReadMe)
{
    // "Notepad.exe ", the quotes, the folder, "\\Read_me.txt" and the zero in 260.
    for (size_t length : {230u, 231u}) {
        std::string folder = "C:\\" + std::string(length, 'r');
        char line[CommandLineSize], path[QuotedPathSize];
        EXPECT_EQ(
            ReadMeCommand(line, sizeof line, path, sizeof path, folder.c_str(), "Read_me.txt"),
            length == 230 ? 1 : -1);
        EXPECT_EQ(line, length == 230 ? "Notepad.exe \"" + folder + "\\Read_me.txt\"" : "");
    }
    char notepad[FullPathSize];
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, "C:\\windows\\system32"), 1);
    EXPECT_STREQ(notepad, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, ""), -1);
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, ("C:\\" + std::string(250, 's')).c_str()), -1);
    EXPECT_STREQ(notepad, "");
}

}  // namespace
