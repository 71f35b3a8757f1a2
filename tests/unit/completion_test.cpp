#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>

#include "pages/completion_logic.h"

namespace {

const std::string Uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string VersionKey = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const std::string Entry = Uninstall + "\\Pellomark";

std::string Text(const std::string& text) { return text + '\0'; }

// A registry below HKEY_LOCAL_MACHINE in memory that logs each call, and
// fails the way the platform does.
class MemoryRegistry : public RegistryPort {
public:
    std::set<std::string> keys = {Uninstall}, refusedKeys;
    std::map<std::string, std::map<std::string, std::string>> values;  // raw bytes
    std::string log;

    bool CreateKey(RegistryKey parent, const char* name, RegistryKey* opened) override
    {
        return Open("create ", parent, name, opened, !refusedKeys.count(Path(parent, name)));
    }
    bool OpenKey(RegistryKey parent, const char* name, RegistryKey* opened) override
    {
        return Open("open ", parent, name, opened, keys.count(Path(parent, name)) != 0);
    }
    bool QueryValue(RegistryKey key, const char* name, char* data, uint32_t capacity,
                    uint32_t* size) override
    {
        std::string& value = values[open_.at(key)][name];
        *size = (uint32_t)value.copy(data, capacity);
        return !value.empty() && value.size() <= capacity;
    }
    void DeleteValue(RegistryKey key, const char* name) override
    {
        log += "delete " + std::string(name) + "; ";
        values[open_.at(key)].erase(name);
    }
    void SetValue(RegistryKey key, const char* name, const char* text) override
    {
        values[open_.at(key)][name] = Text(text);
    }
    void CloseKey(RegistryKey key) override { log += "close " + open_.at(key) + "; "; }

private:
    std::string Path(RegistryKey parent, const char* name)
    {
        return parent == MachineKey ? name : open_.at(parent) + "\\" + name;
    }
    bool Open(const char* action, RegistryKey parent, const char* name, RegistryKey* opened,
              bool can)
    {
        log += action + Path(parent, name) + "; ";
        if (can)
            open_[*opened = open_.size()] = Path(parent, name);
        return can;
    }
    std::map<RegistryKey, std::string> open_ = {{MachineKey, ""}};
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
                              Uninstall + "; ";
    const struct {
        std::string stored, keyTemplate, windows;
        std::function<void(MemoryRegistry&)> arrange;
        std::string log;
    } cases[] = {
        {"1.01", "", "", [](MemoryRegistry&) {}, Whole},
        {"1.00", "", "", [](MemoryRegistry&) {}, Version + Clears + Whole.substr(Version.size())},
        {std::string(RegistryTextSize + 1, 'v'), "", "", [](MemoryRegistry&) {}, Whole},
        {"", std::string(240, 'k') + "\\%s\\%s", "", [](MemoryRegistry&) {},
         Whole.substr(Version.size() + Closed.size())},
        {"", "", "", [](MemoryRegistry& r) { r.keys.clear(); }, Version + Closed + Opened},
        {"", "", "", [](MemoryRegistry& r) { r.refusedKeys.insert(Entry); },
         Version + Closed + Opened + Made + "close " + Uninstall + "; "},
        // Folder, backslash, "Quodgone.exe" and the join's two zeros in 256 bytes.
        {"", "", std::string(238, 'w'), [](MemoryRegistry&) {}, Whole},
        {"", "", std::string(239, 'w'), [](MemoryRegistry&) {}, Version + Closed},
    };
    for (const auto& c : cases) {
        MemoryRegistry registry;
        c.arrange(registry);
        for (const char* name : {"winC", "winD", "winL", "winF", "other"})
            registry.values[VersionKey][name] = Text("kept?");
        registry.values[VersionKey]["Program Version"] = c.stored;
        std::string windows = "C:\\" + (c.windows.empty() ? "windows" : c.windows);
        std::string key = c.keyTemplate.empty() ? "Shareware\\Dornwick\\Programs\\%s\\%s"
                                                : c.keyTemplate;
        WriteRegistry(registry, RegistryInputs{key.c_str(), "Pellomark", "1.01", "D:\\",
                                               windows.c_str(), "Tools", "Quodgone.exe"});
        EXPECT_EQ(registry.log, c.log) << c.stored << c.windows.size();
        if (c.log != Whole)
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
    const struct {
        std::string stored;
        bool differs;
    } cases[] = {
        {Text("1.01"), false}, {Text("1.01a"), true},
        {Text("1.0"), true},   {std::string("1.01\0zz", 7), false},
        {"1.011", true},       {Text("1.01A"), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionDiffers(c.stored.data(), (uint32_t)c.stored.size(), "1.01"), c.differs)
            << c.stored;
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
    char notepad[260];
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, "C:\\windows\\system32"), 1);
    EXPECT_STREQ(notepad, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, ""), -1);
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, ("C:\\" + std::string(250, 's')).c_str()), -1);
    EXPECT_STREQ(notepad, "");
}

}  // namespace
