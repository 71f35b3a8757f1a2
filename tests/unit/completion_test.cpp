#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "pages/completion_logic.h"

namespace {

using Log = std::vector<std::string>;

const char VersionKeyPath[] = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";
const char UninstallPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char ProductEntryPath[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pellomark";

// A registry below HKEY_LOCAL_MACHINE held in memory: keys by path, values
// by key and name, as raw bytes. It carries out the plan's operations the
// way the platform does and logs each one.
class MemoryRegistry {
public:
    std::set<std::string> keys = {UninstallPath};
    std::map<std::string, std::map<std::string, std::string>> values;
    std::set<std::string> refusedKeys;   // creating these fails
    Log log;

    void Run(const RegistryInputs& inputs)
    {
        RegistryPlan plan;
        StartRegistryPlan(&plan, inputs);
        RegistryOutcome outcome = {1, nullptr, 0};
        for (int guard = 0; guard < 100; ++guard) {
            RegistryOp op = NextRegistryOp(&plan, outcome);
            if (op.Action == RegistryDone)
                return;
            outcome = Carry(op);
        }
        ADD_FAILURE() << "the plan never finished";
    }

private:
    RegistryOutcome Carry(const RegistryOp& op)
    {
        RegistryOutcome outcome = {1, nullptr, 0};
        std::string key = open_[op.Key];
        switch (op.Action) {
        case RegistryCreateKey:
        case RegistryOpenKey: {
            std::string path = key.empty() ? op.Name : key + "\\" + op.Name;
            bool create = op.Action == RegistryCreateKey;
            log.push_back(std::string(create ? "create " : "open ") + path);
            bool exists = keys.count(path) != 0;
            if ((create && refusedKeys.count(path)) || (!create && !exists)) {
                outcome.Status = -1;
                break;
            }
            keys.insert(path);
            open_[op.Opened] = path;
            break;
        }
        case RegistryQueryValue: {
            log.push_back("query " + std::string(op.Name));
            auto found = values[key].find(op.Name);
            // Fails when missing or larger than the buffer, as the platform does.
            if (found == values[key].end() || found->second.size() > RegistryTextSize) {
                outcome.Status = -1;
                break;
            }
            queried_ = found->second;
            outcome.Data = queried_.data();
            outcome.Size = (uint32_t)queried_.size();
            break;
        }
        case RegistryDeleteValue:
            log.push_back("delete " + std::string(op.Name));
            values[key].erase(op.Name);
            break;
        case RegistrySetValue:
            log.push_back("set " + std::string(op.Name));
            values[key][op.Name] = std::string(op.Data, op.Size);
            break;
        case RegistryCloseKey:
            log.push_back("close " + key);
            open_.erase(op.Key);
            break;
        default:
            ADD_FAILURE() << "unknown operation " << op.Action;
        }
        return outcome;
    }

    std::map<int32_t, std::string> open_ = {{MachineKey, ""}};
    std::string queried_;
};

struct Install {
    std::string version = "1.01";
    std::string installDir = "C:\\Dornwick\\Pellomark";
    std::string windowsDir = "C:\\windows";
    std::string groupName = "Pellomark";
    std::string keyTemplate = "Shareware\\Dornwick\\Programs\\%s\\%s";

    RegistryInputs Inputs() const
    {
        return RegistryInputs{keyTemplate.c_str(), "Pellomark", version.c_str(),
                              installDir.c_str(), windowsDir.c_str(), groupName.c_str(),
                              "Quodgone.exe"};
    }
};

std::string Text(const char* text) { return std::string(text, strlen(text) + 1); }

const Log EntryWrites = {
    "open " + std::string(UninstallPath),
    "create " + std::string(ProductEntryPath),
    "set DisplayName", "set UninstallString", "set Program Path", "set Program Group",
    "close " + std::string(ProductEntryPath),
    "close " + std::string(UninstallPath)};

Log Then(Log first, const Log& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

void SeedProductValues(MemoryRegistry& registry, const std::string& stored)
{
    registry.keys.insert(VersionKeyPath);
    auto& values = registry.values[VersionKeyPath];
    values["Program Version"] = stored;
    for (const char* name : {"winC", "winD", "winL", "winF", "other"})
        values[name] = Text("kept?");
}

TEST(RegistryPlan, FirstInstallWritesTheVersionAndTheUninstallEntryWithTerminators)
{
    MemoryRegistry registry;
    registry.Run(Install().Inputs());
    EXPECT_EQ(registry.log, Then({"create " + std::string(VersionKeyPath), "query Program Version",
                                  "set Program Version", "close " + std::string(VersionKeyPath)},
                                 EntryWrites));
    EXPECT_EQ(registry.values[VersionKeyPath],
              (std::map<std::string, std::string>{{"Program Version", Text("1.01")}}));
    EXPECT_EQ(registry.values[ProductEntryPath], (std::map<std::string, std::string>{
        {"DisplayName", Text("Pellomark Uninstall")},
        {"UninstallString", Text("C:\\windows\\Quodgone.exe")},
        {"Program Path", Text("C:\\Dornwick\\Pellomark")},
        {"Program Group", Text("Pellomark")}}));
}

struct VersionCase {
    const char* name;
    std::string installing;
    std::string stored;         // the bytes read back
    bool cleared;
};

class StoredVersions : public ::testing::TestWithParam<VersionCase> {};

TEST_P(StoredVersions, TheProductsValuesGoOnlyWhenTheStoredVersionIsAnotherText)
{
    const VersionCase& c = GetParam();
    MemoryRegistry registry;
    SeedProductValues(registry, c.stored);
    Install install;
    install.version = c.installing;
    registry.Run(install.Inputs());
    Log deletes = c.cleared ? Log{"delete winC", "delete winD", "delete winL", "delete winF"}
                            : Log{};
    Log expected = {"create " + std::string(VersionKeyPath), "query Program Version"};
    expected = Then(Then(expected, deletes), {"set Program Version",
                                              "close " + std::string(VersionKeyPath)});
    EXPECT_EQ(registry.log, Then(expected, EntryWrites));
    auto& values = registry.values[VersionKeyPath];
    EXPECT_EQ(values["Program Version"], Text(c.installing.c_str()));
    EXPECT_EQ(values.count("winC") + values.count("winD") + values.count("winL") +
                  values.count("winF"),
              c.cleared ? 0u : 4u);
    EXPECT_EQ(values.count("other"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Versions, StoredVersions, ::testing::Values(
    VersionCase{"same", "1.01", Text("1.01"), false},
    VersionCase{"other", "1.01", Text("1.00"), true},
    VersionCase{"only_case", "2.0 Beta", Text("2.0 beta"), true},
    VersionCase{"longer", "1.01", Text("1.01a"), true},
    VersionCase{"shorter", "1.01", Text("1.0"), true},
    VersionCase{"empty", "1.01", Text(""), true},
    // Read back without a terminator, or with bytes after it: only the text counts.
    VersionCase{"unterminated_same", "1.01", std::string("1.01"), false},
    VersionCase{"bytes_after_the_text", "1.01", std::string("1.01\0zz", 7), false},
    VersionCase{"unterminated_other", "1.01", std::string("1.011"), true},
    VersionCase{"full_buffer", "1.01", std::string(RegistryTextSize, 'v'), true},
    // Too large for the buffer: the query fails and nothing is deleted.
    VersionCase{"too_large", "1.01", std::string(RegistryTextSize + 1, 'v'), false}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

TEST(RegistryPlan, WithoutTheUninstallKeyNoEntryIsWrittenAndTheKeyIsNotMade)
{
    MemoryRegistry registry;
    registry.keys.clear();
    registry.Run(Install().Inputs());
    EXPECT_EQ(registry.log, (Log{"create " + std::string(VersionKeyPath), "query Program Version",
                                 "set Program Version", "close " + std::string(VersionKeyPath),
                                 "open " + std::string(UninstallPath)}));
    EXPECT_EQ(registry.keys.count(UninstallPath), 0u);
    EXPECT_EQ(registry.values.count(ProductEntryPath), 0u);
}

TEST(RegistryPlan, AVersionKeyThatCannotBeMadeStillLeavesTheUninstallEntry)
{
    MemoryRegistry registry;
    registry.refusedKeys.insert(VersionKeyPath);
    registry.Run(Install().Inputs());
    EXPECT_EQ(registry.log, Then({"create " + std::string(VersionKeyPath)}, EntryWrites));
}

TEST(RegistryPlan, AProductEntryThatCannotBeMadeClosesTheUninstallKeyOnly)
{
    MemoryRegistry registry;
    registry.refusedKeys.insert(ProductEntryPath);
    registry.Run(Install().Inputs());
    Log tail(registry.log.end() - 3, registry.log.end());
    EXPECT_EQ(tail, (Log{"open " + std::string(UninstallPath),
                         "create " + std::string(ProductEntryPath),
                         "close " + std::string(UninstallPath)}));
    EXPECT_EQ(registry.values.count(ProductEntryPath), 0u);
}

TEST(RegistryPlan, FoldersEndingWithABackslashAreStoredAsTheyAre)
{
    MemoryRegistry registry;
    Install install;
    install.installDir = "D:\\";
    install.windowsDir = "C:\\WINDOWS\\";
    install.groupName = "Tools, Games";
    registry.Run(install.Inputs());
    auto& entry = registry.values[ProductEntryPath];
    EXPECT_EQ(entry["UninstallString"], Text("C:\\WINDOWS\\Quodgone.exe"));
    EXPECT_EQ(entry["Program Path"], Text("D:\\"));
    EXPECT_EQ(entry["Program Group"], Text("Tools, Games"));
}

TEST(RegistryPlan, AnUninstallCommandTooLongForItsBufferLeavesOutTheWholeEntry)
{
    for (size_t length : {240u, 241u, 242u, 259u}) {
        MemoryRegistry registry;
        Install install;
        // Folder, backslash, "Quodgone.exe" and the two zero bytes of the join.
        install.windowsDir = "C:\\" + std::string(length - 3, 'w');
        registry.Run(install.Inputs());
        bool fits = length + 1 + 12 + 2 <= RegistryTextSize;
        EXPECT_EQ(registry.values.count(ProductEntryPath), fits ? 1u : 0u) << length;
        EXPECT_EQ(registry.log.size(), fits ? 12u : 4u) << length;
        if (fits) {
            EXPECT_EQ(registry.values[ProductEntryPath]["UninstallString"],
                      Text((install.windowsDir + "\\Quodgone.exe").c_str()));
        }
        EXPECT_EQ(registry.values[VersionKeyPath]["Program Version"], Text("1.01"));
    }
}

TEST(RegistryPlan, AKeyPathTooLongForItsBufferSkipsTheVersionKey)
{
    MemoryRegistry registry;
    Install install;
    install.keyTemplate = std::string(240, 'k') + "\\%s\\%s";
    registry.Run(install.Inputs());
    EXPECT_EQ(registry.log, EntryWrites);
}

// ---- the read-me -------------------------------------------------------------------

struct ReadMeCase {
    std::string installDir;
    int32_t result;
    std::string commandLine;
};

class ReadMeCommands : public ::testing::TestWithParam<ReadMeCase> {};

TEST_P(ReadMeCommands, QuoteTheWholePathAfterNotepadsName)
{
    const ReadMeCase& c = GetParam();
    char line[CommandLineSize];
    char quoted[QuotedPathSize];
    EXPECT_EQ(ReadMeCommand(line, sizeof line, quoted, sizeof quoted, c.installDir.c_str(),
                            "Read_me.txt"),
              c.result);
    EXPECT_EQ(std::string(line), c.commandLine);
    if (c.result == 1) {
        EXPECT_EQ("Notepad.exe " + std::string(quoted), c.commandLine);
    }
}

// "Notepad.exe " (12), the quotes (2), the folder, the backslash and the name
// (11) must leave room for the zero: folders of up to 233 characters.
INSTANTIATE_TEST_SUITE_P(Folders, ReadMeCommands, ::testing::Values(
    ReadMeCase{"C:\\Dornwick\\Pellomark", 1,
               "Notepad.exe \"C:\\Dornwick\\Pellomark\\Read_me.txt\""},
    ReadMeCase{"C:\\Program Files\\Dornwick Pellomark", 1,
               "Notepad.exe \"C:\\Program Files\\Dornwick Pellomark\\Read_me.txt\""},
    ReadMeCase{"D:\\", 1, "Notepad.exe \"D:\\Read_me.txt\""},
    ReadMeCase{"C:\\Dornwick\\Pellomark\\", 1,
               "Notepad.exe \"C:\\Dornwick\\Pellomark\\Read_me.txt\""},
    ReadMeCase{"C:\\" + std::string(230, 'r'), 1,
               "Notepad.exe \"C:\\" + std::string(230, 'r') + "\\Read_me.txt\""},
    ReadMeCase{"C:\\" + std::string(231, 'r'), -1, ""},
    ReadMeCase{"C:\\" + std::string(256, 'r'), -1, ""}));

TEST(ReadMe, NotepadIsNamedByItsFullPathInTheSystemFolder)
{
    char path[260];
    EXPECT_EQ(NotepadPath(path, sizeof path, "C:\\windows\\system32"), 1);
    EXPECT_STREQ(path, "C:\\windows\\system32\\notepad.exe");
    EXPECT_EQ(NotepadPath(path, sizeof path, "C:\\"), 1);
    EXPECT_STREQ(path, "C:\\notepad.exe");
    // Without the system folder there is no Notepad to start.
    EXPECT_EQ(NotepadPath(path, sizeof path, ""), -1);
    EXPECT_EQ(NotepadPath(path, sizeof path, ("C:\\" + std::string(250, 's')).c_str()), -1);
    EXPECT_STREQ(path, "");
}

TEST(ClosingTexts, TheProductNameGoesIntoBothAndTooSmallABufferGivesNothing)
{
    char text[MessageSize];
    ASSERT_GT(FormatReadMeQuestion(text, sizeof text, "Pellomark"), 0);
    EXPECT_STREQ(text,
                 "Pellomark was successfully Installed.\n\n"
                 "Would you like to view the Read Me file now?");
    ASSERT_GT(FormatThanks(text, sizeof text, "Pellomark", "support@dornwick.example"), 0);
    EXPECT_STREQ(text,
                 "Before you begin exploring, I would like to\r\n"
                 "Thank You for taking the time to evaluate my\r\n"
                 "product Pellomark. If you have any questions you\r\n"
                 "can email me at support@dornwick.example!");
    char small[40];
    EXPECT_EQ(FormatThanks(small, sizeof small, "Pellomark", "x"), -1);
    EXPECT_STREQ(small, "");
}

} // namespace
