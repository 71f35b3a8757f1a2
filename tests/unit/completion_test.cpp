#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "pages/completion_logic.h"

namespace {

const std::string VersionKeyPath = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const std::string UninstallPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string EntryPath = UninstallPath + "\\Pellomark";

std::string Text(const std::string& text) { return text + '\0'; }

// A registry below HKEY_LOCAL_MACHINE in memory that logs each call, and
// fails the way the platform does.
class MemoryRegistry : public RegistryPort {
public:
    std::set<std::string> keys = {UninstallPath}, refusedKeys;
    std::map<std::string, std::map<std::string, std::string>> values;  // raw bytes
    std::string log;

    void Run(const RegistryInputs& inputs) { WriteRegistry(*this, inputs); }

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
        log += "query " + std::string(name) + "; ";
        std::map<std::string, std::string>& here = values[open_.at(key)];
        if (!here.count(name) || here[name].size() > capacity)
            return false;
        here[name].copy(data, capacity);
        *size = (uint32_t)here[name].size();
        return true;
    }
    void DeleteValue(RegistryKey key, const char* name) override
    {
        log += "delete " + std::string(name) + "; ";
        values[open_.at(key)].erase(name);
    }
    void SetValue(RegistryKey key, const char* name, const char* text) override
    {
        log += "set " + std::string(name) + "; ";
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
        const std::string path = Path(parent, name);
        log += action + path + "; ";
        if (!can)
            return false;
        keys.insert(path);
        *opened = open_.size();
        open_[*opened] = path;
        return true;
    }
    std::map<RegistryKey, std::string> open_ = {{MachineKey, ""}};
};

struct Install {
    std::string version = "1.01", installDir = "C:\\Dornwick\\Pellomark";
    std::string windowsDir = "C:\\windows";
    std::string keyTemplate = "Shareware\\Dornwick\\Programs\\%s\\%s";

    RegistryInputs Inputs() const
    {
        return RegistryInputs{keyTemplate.c_str(), "Pellomark", version.c_str(), installDir.c_str(),
                              windowsDir.c_str(), "Pellomark", "Quodgone.exe"};
    }
};

const std::string VersionWrites = "create " + VersionKeyPath + "; query Program Version; ";
const std::string VersionSet = "set Program Version; close " + VersionKeyPath + "; ";
const std::string EntryWrites = "open " + UninstallPath + "; create " + EntryPath +
                                "; set DisplayName; set UninstallString; set Program Path; "
                                "set Program Group; close " + EntryPath + "; close " +
                                UninstallPath + "; ";

TEST(RegistryPlan, WritesTheVersionAndTheEntryWithTerminatorsAndClearsOnlyForAnotherVersion)
{
    MemoryRegistry registry;
    registry.Run(Install().Inputs());
    EXPECT_EQ(registry.log, VersionWrites + VersionSet + EntryWrites);
    EXPECT_EQ(registry.values[VersionKeyPath]["Program Version"], Text("1.01"));
    EXPECT_EQ(registry.values[EntryPath], (std::map<std::string, std::string>{
        {"DisplayName", Text("Pellomark Uninstall")},
        {"UninstallString", Text("C:\\windows\\Quodgone.exe")},
        {"Program Path", Text("C:\\Dornwick\\Pellomark")}, {"Program Group", Text("Pellomark")}}));
    for (const char* stored : {"1.01", "1.00"}) {
        MemoryRegistry again;
        for (const char* name : {"winC", "winD", "winL", "winF", "other"})
            again.values[VersionKeyPath][name] = Text("kept?");
        again.values[VersionKeyPath]["Program Version"] = Text(stored);
        again.Run(Install().Inputs());
        bool cleared = std::string(stored) != "1.01";
        std::string deletes = cleared ? "delete winC; delete winD; delete winL; delete winF; " : "";
        EXPECT_EQ(again.log, VersionWrites + deletes + VersionSet + EntryWrites);
        EXPECT_EQ(again.values[VersionKeyPath].size(), cleared ? 2u : 6u);
    }
}

TEST(VersionDiffers, ComparesOnlyTheTextReadBackWithCase)
{
    const struct { std::string stored; bool differs; } cases[] = {
        {Text("1.01"), false}, {Text("1.00"), true}, {Text("1.01a"), true}, {Text("1.0"), true},
        {"1.01", false}, {std::string("1.01\0zz", 7), false},
        {"1.011", true}, {std::string(RegistryTextSize, 'v'), true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionDiffers(c.stored.data(), (uint32_t)c.stored.size(), "1.01"), c.differs)
            << c.stored;
    EXPECT_TRUE(VersionDiffers(Text("2.0 beta").data(), 9, "2.0 Beta"));
}

TEST(RegistryPlan, WhatCannotBeOpenedMadeOrFittedIsLeftOutAndTheRestStillWritten)
{
    MemoryRegistry missing;
    missing.keys.clear();
    missing.Run(Install().Inputs());
    EXPECT_EQ(missing.log, VersionWrites + VersionSet + "open " + UninstallPath + "; ");
    EXPECT_EQ(missing.keys.count(UninstallPath), 0u);

    MemoryRegistry noEntry;
    noEntry.refusedKeys.insert(EntryPath);
    noEntry.Run(Install().Inputs());
    EXPECT_EQ(noEntry.log, VersionWrites + VersionSet + "open " + UninstallPath + "; create " +
                               EntryPath + "; close " + UninstallPath + "; ");

    MemoryRegistry tooLarge;  // the query fails and nothing is deleted
    tooLarge.values[VersionKeyPath]["Program Version"] = std::string(RegistryTextSize + 1, 'v');
    tooLarge.values[VersionKeyPath]["winC"] = "";
    tooLarge.Run(Install().Inputs());
    EXPECT_EQ(tooLarge.values[VersionKeyPath].count("winC"), 1u);

    Install longKey;
    longKey.keyTemplate = std::string(240, 'k') + "\\%s\\%s";
    MemoryRegistry skipped;
    skipped.Run(longKey.Inputs());
    EXPECT_EQ(skipped.log, EntryWrites);
}

TEST(RegistryPlan, FoldersAreStoredAsTheyAreAndATooLongUninstallCommandLeavesOutTheEntry)
{
    Install rooted;
    rooted.installDir = "D:\\";
    rooted.windowsDir = "C:\\WINDOWS\\";
    MemoryRegistry registry;
    registry.Run(rooted.Inputs());
    EXPECT_EQ(registry.values[EntryPath]["UninstallString"], Text("C:\\WINDOWS\\Quodgone.exe"));
    EXPECT_EQ(registry.values[EntryPath]["Program Path"], Text("D:\\"));
    // Folder, backslash, "Quodgone.exe" and the join's two zeros in 256 bytes.
    for (size_t length : {241u, 242u}) {
        Install install;
        install.windowsDir = "C:\\" + std::string(length - 3, 'w');
        MemoryRegistry long_;
        long_.Run(install.Inputs());
        EXPECT_EQ(long_.values.count(EntryPath), length == 241 ? 1u : 0u) << length;
        EXPECT_EQ(long_.values[VersionKeyPath]["Program Version"], Text("1.01"));
    }
}

TEST(ReadMe, NotepadByItsFullSystemPathOnTheQuotedReadMe)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Dornwick\\Pellomark\\", "\"C:\\Dornwick\\Pellomark\\Read_me.txt\""},
        // "Notepad.exe ", the quotes, the folder, "\\Read_me.txt" and the zero in 260.
        {"C:\\" + std::string(230, 'r'), "\"C:\\" + std::string(230, 'r') + "\\Read_me.txt\""},
        {"C:\\" + std::string(231, 'r'), ""},
    };
    for (const auto& [folder, quoted] : cases) {
        char line[CommandLineSize], path[QuotedPathSize];
        int32_t made = ReadMeCommand(line, sizeof line, path, sizeof path, folder.c_str(),
                                     "Read_me.txt");
        EXPECT_EQ(made, quoted.empty() ? -1 : 1);
        EXPECT_EQ(line, quoted.empty() ? "" : "Notepad.exe " + quoted);
    }
    char notepad[260];
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, "C:\\windows\\system32"), 1);
    EXPECT_STREQ(notepad, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, ""), -1);
    EXPECT_EQ(NotepadPath(notepad, sizeof notepad, ("C:\\" + std::string(250, 's')).c_str()), -1);
    EXPECT_STREQ(notepad, "");
}

} // namespace
