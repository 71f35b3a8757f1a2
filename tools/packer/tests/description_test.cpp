// Every rule a product is checked against: the good description of
// test_support with one change that breaks the rule, and the finding the
// packer must give for it, at its line, before anything is written.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "description.h"
#include "pack.h"
#include "test_support.h"

namespace {

using namespace packer_test;

struct BadCase {
    std::string from;  // every occurrence in the good description becomes `to`
    std::string to;
    int line;          // of the finding
    std::string rule;  // a part of its message
    std::function<void(const std::string&)> files = nullptr;  // changes to the product's files
};

// Files of a size no test should write out.
void Sparse(const std::string& path, const char* size) {
    ASSERT_EQ(Shell("truncate -s " + std::string(size) + " '" + path + "'"), 0) << "no sparse file of " << size;
}

const char kComment[] = "# A product for the tests";
const char kExtraRows[] =
    "Row: E1.txt | E1 | One | plain | read_me.txt\nRow: E2.txt | E2 | Two | plain | read_me.txt\n";

const BadCase kCases[] = {
    // The table's shape.
    {"ShortcutCount: 4", std::string(kExtraRows) + "ShortcutCount: 4", 21,
     "a 6th row: the payload table holds at most 5 rows"},
    {"ShortcutCount: 4", "ShortcutCount: 5", 20, "ShortcutCount 5 is more than the 4 rows (FileCount)"},
    {"Row: Read_me", "# Row: Read_me", 18, "the payload has 3 rows; it needs at least 4"},
    {"Row:", "# Row:", 20, "no payload rows"},
    {"ShortcutCount: 4", "ShortcutCount: four", 20, "ShortcutCount 'four' is not a whole number"},
    {"ShortcutCount: 4", "ShortcutCount: -1", 20, "is not a whole number from 0 to 5"},

    // Widths of the fields.
    {"Quodpost.exe", "Quodpost12345678.exe", 17,
     "FileName 'Quodpost12345678.exe' has 20 characters; the field holds 19"},
    {"Program |", "Program1234567890123 |", 17,
     "ResourceName 'Program1234567890123' has 20 characters; the field holds 19"},
    {"| Pellomark |", "| " + std::string(40, 'C') + " |", 17, "has 40 characters; the field holds 39"},
    {"Version: 1.01", "Version: 1.01 (the long-awaited update", 4,
     "the title 'Pellomark v1.01 (the long-awaited update' (ProductName, \" v\", Version) has 40 characters; "
     "its buffer holds 39"},
    {"Tagline: Software updates made easy!", "Tagline: " + std::string(68, 't'), 3,
     "the tagline text (ProductName, \" - \", Tagline) has 80 characters; its buffer holds 79"},

    // Templates.
    {"Programs\\%s\\%s", "%s", 5, "RegistryKeyTemplate needs exactly 2 %s"},
    {"Programs\\%s\\%s", "%s\\%s\\%s", 5, "it has 3 %s"},
    {"Programs\\%s\\%s", "%s\\%d\\%s", 5, "and no other '%'; it has a '%' that is not part of a %s"},
    {"Template: Shareware", "Template: \\Shareware", 5, "no backslash at its start or end"},
    {"Programs\\", std::string(230, 'k') + "\\", 5, "does not fit the installer's 256-byte key buffer"},
    {"Dornwick\\%s", "Dornwick", 6,
     "DefaultFolderTemplate needs exactly 1 %s (the product name) and no other '%'; it has 0 %s"},
    {"Dornwick\\%s", "100%%\\%s", 6, "it has a '%' that is not part of a %s"},
    {"C:\\Dornwick\\%s", "Dornwick\\%s", 6, "must start with a drive"},
    {"Dornwick\\%s", "Dorn*wick\\%s", 6, "may not hold '*' after its drive"},
    {"Dornwick\\%s", std::string(120, 'f') + "\\%s", 6,
     "is too long: the stored copies, installed files and read-me command"},

    // Characters that would break what is generated or shown.
    {"Software updates", "Software\tupdates", 3, "Tagline: the 9th character (0x09) is not printable ASCII"},
    {"ProductName: Pellomark", "ProductName: Pell\xC3\xB6mark", 2,
     "ProductName: the 5th character (0xC3) is not printable ASCII"},
    {"ProductName: Pellomark", "ProductName: Pello\\mark", 2, "ProductName may not hold '\\'"},
    {"ProductName: Pellomark", "ProductName: Pello\"mark", 2, "ProductName may not hold '\"'"},
    {"| Pellomark |", "| The \"best\" |", 17, "Caption may not hold '\"'"},
    {"example/", "example/\x7F", 11, "Notice: the 29th character (0x7F) is not printable ASCII"},
    {"Tagline: Software updates made easy!", "Tagline:", 3, "Tagline is empty"},

    // Names.
    {"Row: Quodpost.hlp", "Row: ", 18, "the installed file name is empty"},
    {"Quodpost.hlp", "Quod:post.hlp", 18, "FileName 'Quod:post.hlp' may not hold any of"},
    {"Quodpost.hlp", "Quodpost.hl_", 18, "ends in '_': its stored copy"},
    {"Quodpost.hlp", "Quodpost.hl~", 18, "ends in '~': its stored copy or the file it is expanded into"},
    {"Quodpost.hlp", "Quodpost.", 18, "may not end in '.' or a blank"},
    {"Quodpost.hlp", "nul.hlp", 18, "FileName 'nul.hlp' is a Windows device name"},
    {"Quodpost.hlp", "CON .hlp", 18, "FileName 'CON .hlp' is a Windows device name"},
    {"Quodpost.hlp", "conin$", 18, "FileName 'conin$' is a Windows device name"},
    {"Quodpost.hlp", "CONOUT$.hlp", 18, "FileName 'CONOUT$.hlp' is a Windows device name"},
    {"Quodpost.hlp", "Clock$.hlp", 18, "FileName 'Clock$.hlp' is a Windows device name"},
    {"ProductName: Pellomark", "ProductName: Con", 2, "ProductName 'Con' is a Windows device name"},
    {"ProductName: Pellomark", "ProductName: ..", 2, "ProductName '..' is made of dots"},
    {"Dornwick\\%s", "Dornwick\\%s\\..\\..", 6,
     "the default folder 'C:\\Dornwick\\Pellomark\\..\\..' resolves to a drive root"},
    {"", "", 19, "source 'read_me.txt' begins with the SZDD signature: stored plain",
     [](const std::string& folder) { WriteFile(folder + "/read_me.txt", "SZDD\x88\xF0\x27\x33" "A"); }},
    {"Quodpost.hlp", "QUODPOST.EXE", 18, "FileName 'QUODPOST.EXE' is already row 1's"},
    {"Quodpost.hlp", "Quodpost.exf", 18,
     "the stored copy of 'Quodpost.exf' would be 'Quodpost.ex_', the same as that of row 1's"},
    {"HelpFile", "PROGRAM", 18,
     "ResourceName 'PROGRAM' is already row 1's (line 17); resource names match without regard to case"},
    {"HelpFile", "agreement", 18, "is the agreement text's resource"},
    {"HelpFile", "Help-File", 18, "ResourceName 'Help-File' may hold only letters, digits and '_'"},
    {"HelpFile", "", 18, "the resource name is empty"},
    {"| Help |", "|  |", 18, "the caption is empty"},

    // The rows with a role.
    {"Quodgone.exe", "Quodgone.com", 16, "row 0 is the uninstaller, a program: its file name must end in .exe"},
    {"@uninstaller", "help.txt", 16, "source 'help.txt' of row 0 is not a Windows program"},
    {"Read_me.txt", "Read_me.wri", 19,
     "row 3 is the read-me the installer opens in Notepad: its file name must end in .txt"},

    // Row fields and sources.
    {"| compressed | help.txt", "| help.txt", 18, "a row has five fields separated by '|'"},
    {"compressed | help.txt", "zipped | help.txt", 18, "the stored form 'zipped' is neither 'compressed' nor 'plain'"},
    {"| help.txt", "| helps.txt", 18, "source 'helps.txt' does not exist (looked for "},
    {"| help.txt", "| art", 18, "source 'art' is not a file"},
    {"| help.txt", "| ", 18, "the row names no source file"},
    {"| help.txt", "| @help", 18, "unknown source '@help'"},
    {"program.exe", "@target:quodpost", 17,
     "needs the file of the build target 'quodpost', which the packer was not given"},
    {"", "", 18, "source 'help.txt' has 4294967296 bytes; sizes are 32-bit",
     [](const std::string& folder) { Sparse(folder + "/help.txt", "4G"); }},
    {"", "", 19, "the rows' files add up to",
     [](const std::string& folder) {
         Sparse(folder + "/program.exe", "1152M");
         Sparse(folder + "/help.txt", "1152M");
     }},

    // Keys and lines.
    {kComment, "Publisher: Dornwick", 1, "unknown key 'Publisher'"},
    {"Version:", "version:", 4, "unknown key 'version'"},
    {kComment, "InstallerName: Boxer", 1, "InstallerName is always \"Cratewise\""},
    {"Version: 1.01", "Version: 1.01\nVersion: 1.02", 5, "Version is given twice (first on line 4)"},
    {"Tagline:", "# Tagline:", 20, "missing 'Tagline: ...'"},
    {kComment, "ProductName Pellomark", 1, "expected 'Key: value'"},
    {"Notice: http", "Notice: 2\nNotice: 3\nNotice: http", 13, "the notice has at most 3 lines"},
    {"Notice: Stop by our home page now and then", "Notice: " + std::string(49, 'n'), 10,
     "a Notice line has at most 48 characters"},
    {"support@dornwick.example", "support at dornwick", 7,
     "SupportAddress 'support at dornwick' is not an e-mail address"},
    {"support@dornwick.example", std::string(95, 's') + "@d.example", 7,
     "SupportAddress has 105 characters; at most 100"},

    // The other files, and the pictures.
    {"agreement.txt", "licence.txt", 9, "the agreement 'licence.txt' does not exist"},
    {"", "", 9, "is empty", [](const std::string& folder) { WriteFile(folder + "/agreement.txt", ""); }},
    {"", "", 9, "the agreement has 70000 bytes; the agreement page shows at most 65535",
     [](const std::string& folder) { WriteFile(folder + "/agreement.txt", std::string(70000, 'a')); }},
    {"product.ico", "product.png", 12, "Icon 'art/product.png' must be an icon (.ico)"},
    {"PageBitmap: art/page.png", "PageBitmap: art/page.ico", 13,
     "PageBitmap 'art/page.ico' must be a PNG (.png) or bitmap (.bmp) image"},
    {"header.bmp", "none.bmp", 15, "the picture 'art/none.bmp' does not exist"},
    {"GroupBitmap: art/page.png", "GroupBitmap: art/group.bmp", 14, "is not a Windows bitmap (.bmp)",
     [](const std::string& folder) { WriteFile(folder + "/art/group.bmp", "just some text, not a picture"); }},
    {"GroupBitmap: art/page.png", "GroupBitmap: art/group.png", 14, "is not a PNG image (.png)",
     [](const std::string& folder) { WriteFile(folder + "/art/group.png", "GIF89a, not a PNG"); }},
    {"product.ico", "broken.ico", 12, "is not a Windows icon (.ico)",
     [](const std::string& folder) { WriteFile(folder + "/art/broken.ico", std::string("\0\0\1\0\2\0", 6)); }},
    // Read, but of the wrong size.
    {"HeaderBitmap: art/header.bmp", "HeaderBitmap: art/page.png", 15,
     "'art/page.png' is 120 x 168; HeaderBitmap (bitmap 202) must be 130 x 31"},
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.rule; }

class Refusal : public ::testing::TestWithParam<BadCase> {};

TEST_P(Refusal, NamesTheFileTheLineAndTheRule) {
    const BadCase& c = GetParam();
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    if (c.files) c.files(folder);
    std::string text = Join(BaseDescription());
    for (size_t at = 0; !c.from.empty() && (at = text.find(c.from, at)) != std::string::npos; at += c.to.size())
        text.replace(at, c.from.size(), c.to);

    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    packer::Package package;
    if (Read(folder, text, &d, &problems)) {
        EXPECT_FALSE(packer::PackProduct(d, folder + "/out", &package, &problems));
    }
    bool found = false;
    std::string all;
    for (const auto& problem : problems) {
        all += "\n  " + packer::FormatDiagnostic(problem);
        if (problem.line == c.line && problem.message.find(c.rule) != std::string::npos) {
            found = true;
            EXPECT_EQ(packer::FormatDiagnostic(problem).find(folder + "/p.product:"), 0u);
        }
    }
    EXPECT_TRUE(found) << "wanted line " << c.line << ": " << c.rule << "\ngot:" << all;
}

INSTANTIATE_TEST_SUITE_P(EveryRule, Refusal, ::testing::ValuesIn(kCases));

TEST(Description, ASourceThatCannotBeOpenedIsNamed) {
    // A link to itself cannot be read even by root, who reads every mode.
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    Shell("cd '" + folder + "' && rm help.txt && ln -s help.txt help.txt");
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    EXPECT_FALSE(Read(folder, Join(BaseDescription()), &d, &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].message.find("source 'help.txt' cannot be read"), std::string::npos);
}

TEST(StoredName, ReplacesTheLastCharacter) {
    EXPECT_EQ(packer::StoredName("Quodpost.exe"), "Quodpost.ex_");
    EXPECT_EQ(packer::StoredName("README"), "READM_");
    EXPECT_EQ(packer::StoredName("a"), "_");
}

}  // namespace
