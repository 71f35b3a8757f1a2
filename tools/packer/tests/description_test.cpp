// Every rule a description is checked against: one good description, and
// for each rule a change that breaks it and the finding it must give.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "description.h"
#include "test_support.h"

namespace {

using namespace packer_test;

struct Edit {
    std::string prefix;  // the first line starting with it is replaced; empty: append
    std::string text;    // the new line; empty: the line is removed
};

struct BadCase {
    const char* name;
    std::vector<Edit> edits;
    std::string rule;       // a part of the finding's message
    std::string lineOf;     // the line reported: "" the last edited line, "$" the last line,
                            // else the first line starting with this
    std::function<void(const std::string&)> files = nullptr;  // extra files in the product folder
};

std::string Repeat(char c, size_t n) { return std::string(n, c); }

void Sparse(const std::string& path, off_t size) {
    int fd = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, size), 0) << "the file system takes no sparse file of " << size;
    close(fd);
}

const char kRow0[] = "Row: Quodgone.exe";
const char kRow1[] = "Row: Quodpost.exe";
const char kRow2[] = "Row: Quodpost.hlp";
const char kRow3[] = "Row: Read_me.txt";

const BadCase kCases[] = {
    // The table's shape.
    {"six_rows", {{"", "Row: Extra1.txt | Extra1 | One | plain | read_me.txt"},
                  {"", "Row: Extra2.txt | Extra2 | Two | plain | read_me.txt"}},
     "a 6th row: the payload table holds at most 5 rows", "Row: Extra2.txt"},
    {"shortcuts_above_file_count", {{"ShortcutCount:", "ShortcutCount: 5"}},
     "ShortcutCount 5 is more than the 4 rows (FileCount)", ""},
    {"three_rows", {{kRow3, ""}, {"ShortcutCount:", "ShortcutCount: 3"}},
     "the payload has 3 rows; it needs at least 4", kRow2},
    {"no_rows", {{kRow0, ""}, {kRow1, ""}, {kRow2, ""}, {kRow3, ""}, {"ShortcutCount:", "ShortcutCount: 0"}},
     "no payload rows", "$"},
    {"shortcut_count_not_a_number", {{"ShortcutCount:", "ShortcutCount: four"}},
     "ShortcutCount 'four' is not a whole number", ""},
    {"shortcut_count_negative", {{"ShortcutCount:", "ShortcutCount: -1"}},
     "is not a whole number from 0 to 5", ""},

    // Widths of the fields.
    {"file_name_too_wide", {{kRow1, "Row: Quodpost12345678.exe | Program | Pellomark | compressed | program.exe"}},
     "FileName 'Quodpost12345678.exe' has 20 characters; the field holds 19", "", nullptr},
    {"resource_name_too_wide", {{kRow1, "Row: Quodpost.exe | Program1234567890123 | Pellomark | compressed | program.exe"}},
     "ResourceName 'Program1234567890123' has 20 characters; the field holds 19", ""},
    {"caption_too_wide", {{kRow1, "Row: Quodpost.exe | Program | " + Repeat('C', 40) + " | compressed | program.exe"}},
     "has 40 characters; the field holds 39", ""},
    {"title_too_long", {{"Version:", "Version: 1.01 (the long-awaited update"}},
     "the title 'Pellomark v1.01 (the long-awaited update' (ProductName, \" v\", Version) has 40 characters; "
     "its buffer holds 39", ""},
    {"tagline_too_long", {{"Tagline:", "Tagline: " + Repeat('t', 68)}},
     "the tagline text (ProductName, \" - \", Tagline) has 80 characters; its buffer holds 79", ""},

    // Templates.
    {"registry_key_one_placeholder", {{"RegistryKeyTemplate:", "RegistryKeyTemplate: Shareware\\Dornwick\\%s"}},
     "RegistryKeyTemplate needs exactly 2 %s", ""},
    {"registry_key_three_placeholders", {{"RegistryKeyTemplate:", "RegistryKeyTemplate: S\\%s\\%s\\%s"}},
     "it has 3 %s", ""},
    {"registry_key_other_directive", {{"RegistryKeyTemplate:", "RegistryKeyTemplate: S\\%s\\%d\\%s"}},
     "and no other '%'; it has a '%' that is not part of a %s", ""},
    {"registry_key_leading_backslash", {{"RegistryKeyTemplate:", "RegistryKeyTemplate: \\Shareware\\%s\\%s"}},
     "no backslash at its start or end", ""},
    {"registry_key_too_long", {{"RegistryKeyTemplate:", "RegistryKeyTemplate: " + Repeat('k', 230) + "\\%s\\%s"}},
     "does not fit the installer's 256-byte key buffer", ""},
    {"folder_without_placeholder", {{"DefaultFolderTemplate:", "DefaultFolderTemplate: C:\\Dornwick"}},
     "DefaultFolderTemplate needs exactly 1 %s (the product name) and no other '%'; it has 0 %s", ""},
    {"folder_with_percent", {{"DefaultFolderTemplate:", "DefaultFolderTemplate: C:\\100%%\\%s"}},
     "it has a '%' that is not part of a %s", ""},
    {"folder_without_drive", {{"DefaultFolderTemplate:", "DefaultFolderTemplate: Dornwick\\%s"}},
     "must start with a drive", ""},
    {"folder_bad_character", {{"DefaultFolderTemplate:", "DefaultFolderTemplate: C:\\Dorn*wick\\%s"}},
     "may not hold '*' after its drive", ""},
    {"folder_too_long", {{"DefaultFolderTemplate:", "DefaultFolderTemplate: C:\\" + Repeat('f', 120) + "\\%s"}},
     "is too long: the stored copies, installed files and read-me command", ""},

    // Characters that would break what is generated or shown.
    {"tab_in_tagline", {{"Tagline:", "Tagline: Software\tupdates"}},
     "Tagline: the 9th character (0x09) is not printable ASCII", ""},
    {"non_ascii_product_name", {{"ProductName:", "ProductName: Pell\xC3\xB6mark"}},
     "ProductName: the 5th character (0xC3) is not printable ASCII", ""},
    {"backslash_in_product_name", {{"ProductName:", "ProductName: Pello\\mark"}},
     "ProductName may not hold '\\'", ""},
    {"quote_in_product_name", {{"ProductName:", "ProductName: Pello\"mark"}},
     "ProductName may not hold '\"'", ""},
    {"quote_in_caption", {{kRow1, "Row: Quodpost.exe | Program | The \"best\" | compressed | program.exe"}},
     "Caption may not hold '\"'", ""},
    {"control_character_in_notice", {{"Notice: http", "Notice: http://www.dornwick.example/\x7F"}},
     "Notice: the 29th character (0x7F) is not printable ASCII", ""},
    {"empty_tagline", {{"Tagline:", "Tagline:"}}, "Tagline is empty", ""},

    // Names.
    {"empty_file_name", {{kRow2, "Row:  | HelpFile | Help | compressed | help.txt"}},
     "the installed file name is empty", ""},
    {"file_name_with_colon", {{kRow2, "Row: Quod:post.hlp | HelpFile | Help | compressed | help.txt"}},
     "FileName 'Quod:post.hlp' may not hold any of", ""},
    {"file_name_ends_in_underscore", {{kRow2, "Row: Quodpost.hl_ | HelpFile | Help | compressed | help.txt"}},
     "ends in '_': its stored copy", ""},
    {"file_name_ends_in_dot", {{kRow2, "Row: Quodpost. | HelpFile | Help | compressed | help.txt"}},
     "may not end in '.' or a blank", ""},
    {"device_file_name", {{kRow2, "Row: nul.hlp | HelpFile | Help | compressed | help.txt"}},
     "FileName 'nul.hlp' is a Windows device name", ""},
    {"same_file_name", {{kRow2, "Row: QUODPOST.EXE | HelpFile | Help | compressed | help.txt"}},
     "FileName 'QUODPOST.EXE' is already row 1's", ""},
    {"same_stored_name", {{kRow2, "Row: Quodpost.exf | HelpFile | Help | compressed | help.txt"}},
     "the stored copy of 'Quodpost.exf' would be 'Quodpost.ex_', the same as that of row 1's", ""},
    {"resource_name_twice", {{kRow2, "Row: Quodpost.hlp | PROGRAM | Help | compressed | help.txt"}},
     "ResourceName 'PROGRAM' is already row 1's (line 17); resource names match without regard to case", ""},
    {"resource_name_agreement", {{kRow2, "Row: Quodpost.hlp | agreement | Help | compressed | help.txt"}},
     "is the agreement text's resource", ""},
    {"resource_name_punctuation", {{kRow2, "Row: Quodpost.hlp | Help-File | Help | compressed | help.txt"}},
     "ResourceName 'Help-File' may hold only letters, digits and '_'", ""},
    {"empty_resource_name", {{kRow2, "Row: Quodpost.hlp |  | Help | compressed | help.txt"}},
     "the resource name is empty", ""},
    {"empty_caption", {{kRow2, "Row: Quodpost.hlp | HelpFile |  | compressed | help.txt"}},
     "the caption is empty", ""},

    // The rows with a role.
    {"uninstaller_not_exe", {{kRow0, "Row: Quodgone.com | Purgeset | Uninstall | compressed | @uninstaller"}},
     "row 0 is the uninstaller, a program: its file name must end in .exe", ""},
    {"uninstaller_not_a_program", {{kRow0, "Row: Quodgone.exe | Purgeset | Uninstall | compressed | help.txt"}},
     "source 'help.txt' of row 0 is not a Windows program", ""},
    {"read_me_not_text", {{kRow3, "Row: Read_me.wri | ReadMe | Read Me | plain | read_me.txt"}},
     "row 3 is the read-me the installer opens in Notepad: its file name must end in .txt", ""},

    // Row fields and sources.
    {"four_fields", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | help.txt"}},
     "a row has five fields separated by '|'", ""},
    {"unknown_stored_form", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | zipped | help.txt"}},
     "the stored form 'zipped' is neither 'compressed' nor 'plain'", ""},
    {"missing_source", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | compressed | helps.txt"}},
     "source 'helps.txt' does not exist (looked for ", ""},
    {"source_is_a_folder", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | compressed | art"}},
     "source 'art' is not a file", ""},
    {"empty_source", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | compressed | "}},
     "the row names no source file", ""},
    {"unknown_at_source", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | compressed | @help"}},
     "unknown source '@help'", ""},
    {"target_not_given", {{kRow1, "Row: Quodpost.exe | Program | Pellomark | compressed | @target:quodpost"}},
     "needs the file of the build target 'quodpost', which the packer was not given", ""},
    {"source_above_32_bits", {{kRow2, "Row: Quodpost.hlp | HelpFile | Help | compressed | huge.bin"}},
     "source 'huge.bin' has 4294967296 bytes; sizes are 32-bit", "",
     [](const std::string& folder) { Sparse(folder + "/huge.bin", off_t(1) << 32); }},
    {"total_above_signed_32_bits", {{kRow1, "Row: Quodpost.exe | Program | Pellomark | plain | big1.bin"},
                                    {kRow2, "Row: Quodpost.hlp | HelpFile | Help | plain | big2.bin"}},
     "the rows' files add up to", kRow3,
     [](const std::string& folder) {
         Sparse(folder + "/big1.bin", off_t(0x48000000));
         Sparse(folder + "/big2.bin", off_t(0x48000000));
     }},

    // Keys and lines.
    {"unknown_key", {{"", "Publisher: Dornwick"}}, "unknown key 'Publisher'", ""},
    {"key_in_other_case", {{"Version:", "version: 1.01"}}, "unknown key 'version'", ""},
    {"installer_name", {{"", "InstallerName: Boxer"}}, "InstallerName is always \"Cratewise\"", ""},
    {"key_twice", {{"", "Version: 1.02"}}, "Version is given twice (first on line 4)", ""},
    {"missing_key", {{"Tagline:", ""}}, "missing 'Tagline: ...'", "$"},
    {"line_without_colon", {{"", "ProductName Pellomark"}}, "expected 'Key: value'", ""},
    {"four_notice_lines", {{"", "Notice: one"}, {"", "Notice: two"}},
     "the notice has at most 3 lines", "Notice: two"},
    {"notice_line_too_long", {{"Notice: Stop", "Notice: " + Repeat('n', 49)}},
     "a Notice line has at most 48 characters", ""},
    {"support_address_not_an_address", {{"SupportAddress:", "SupportAddress: support at dornwick"}},
     "SupportAddress 'support at dornwick' is not an e-mail address", ""},
    {"support_address_too_long", {{"SupportAddress:", "SupportAddress: " + Repeat('s', 95) + "@d.example"}},
     "SupportAddress has 105 characters; at most 100", ""},

    // The other files.
    {"missing_agreement", {{"Agreement:", "Agreement: licence.txt"}},
     "the agreement 'licence.txt' does not exist", ""},
    {"empty_agreement", {{"Agreement:", "Agreement: empty.txt"}}, "is empty", "",
     [](const std::string& folder) { WriteFile(folder + "/empty.txt", ""); }},
    {"agreement_too_large", {{"Agreement:", "Agreement: long.txt"}},
     "the agreement has 70000 bytes; the agreement page shows at most 65535", "",
     [](const std::string& folder) { WriteFile(folder + "/long.txt", Repeat('a', 70000)); }},
    {"icon_as_bitmap", {{"Icon:", "Icon: art/icon.bmp"}},
     "Icon 'art/icon.bmp' must be an artwork source (.art) or an icon (.ico)", ""},
    {"bitmap_as_icon", {{"PageBitmap:", "PageBitmap: art/page.ico"}},
     "PageBitmap 'art/page.ico' must be an artwork source (.art) or a bitmap (.bmp)", ""},
    {"missing_picture", {{"HeaderBitmap:", "HeaderBitmap: art/header.art"}},
     "the picture 'art/header.art' does not exist", ""},
    {"bitmap_that_is_not_one", {{"GroupBitmap:", "GroupBitmap: art/group.bmp"}},
     "is not a Windows bitmap (.bmp)", "",
     [](const std::string& folder) { WriteFile(folder + "/art/group.bmp", "just some text, not a picture"); }},
    {"icon_that_is_not_one", {{"Icon:", "Icon: art/product.ico"}},
     "is not a Windows icon (.ico)", "",
     [](const std::string& folder) { WriteFile(folder + "/art/product.ico", std::string("\0\0\1\0\2\0", 6)); }},
};

void PrintTo(const BadCase& c, std::ostream* os) { *os << c.name; }

class DescriptionRules : public ::testing::TestWithParam<BadCase> {};

std::string Apply(const std::vector<Edit>& edits, std::string* lastEdited) {
    std::vector<std::string> lines = BaseDescription();
    for (const Edit& edit : edits) {
        *lastEdited = edit.text;
        if (edit.prefix.empty()) {
            lines.push_back(edit.text);
            continue;
        }
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].compare(0, edit.prefix.size(), edit.prefix) != 0) continue;
            if (edit.text.empty()) lines.erase(lines.begin() + long(i));
            else lines[i] = edit.text;
            break;
        }
    }
    return Join(lines);
}

int LineNumber(const std::string& text, const std::string& lineOf, const std::string& lastEdited) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    if (lineOf == "$") return int(lines.size());
    const std::string& want = lineOf.empty() ? lastEdited : lineOf;
    for (size_t i = 0; i < lines.size(); ++i)
        if (!want.empty() && lines[i].compare(0, want.size(), want) == 0) return int(i) + 1;
    return -1;
}

TEST(Description, TheBaseReadsCleanly) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    bool ok = packer::ReadDescriptionText(Join(BaseDescription()), folder + "/test.product",
                                          {{"uninstaller", StandIn(folder)}}, &description, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    ASSERT_TRUE(ok);
    EXPECT_EQ(description.productName, "Pellomark");
    EXPECT_EQ(description.registryKeyTemplate, "Shareware\\Dornwick\\Programs\\%s\\%s");
    ASSERT_EQ(description.rows.size(), 4u);
    EXPECT_EQ(description.rows[0].sourcePath, StandIn(folder));
    EXPECT_EQ(description.rows[2].sourcePath, folder + "/help.txt");
    EXPECT_EQ(description.rows[3].form, packer::StoredForm::Plain);
    EXPECT_EQ(description.rows[3].caption, "Read Me");
    EXPECT_EQ(description.rows[2].sourceSize, ReadBytes(folder + "/help.txt").size());
    EXPECT_EQ(description.shortcutCount, 4);
    ASSERT_EQ(description.notice.size(), 2u);
    EXPECT_EQ(description.art[packer::IconArt].path, folder + "/art/icon.art");
}

TEST_P(DescriptionRules, BreakingTheRuleGivesItsFinding) {
    const BadCase& c = GetParam();
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    if (c.files) c.files(folder);
    std::string lastEdited;
    std::string text = Apply(c.edits, &lastEdited);
    int line = LineNumber(text, c.lineOf, lastEdited);
    ASSERT_GT(line, 0) << "the case names no line of its description";

    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    std::string file = folder + "/test.product";
    EXPECT_FALSE(packer::ReadDescriptionText(text, file, {{"uninstaller", StandIn(folder)}}, &description,
                                             &problems));
    bool found = false;
    std::string all;
    for (const auto& problem : problems) {
        all += "\n  " + packer::FormatDiagnostic(problem);
        if (problem.line == line && problem.message.find(c.rule) != std::string::npos) {
            found = true;
            EXPECT_EQ(packer::FormatDiagnostic(problem).compare(0, file.size() + 1, file + ":"), 0);
        }
    }
    EXPECT_TRUE(found) << "wanted line " << line << ": " << c.rule << "\ngot:" << all;
}

INSTANTIATE_TEST_SUITE_P(EveryRule, DescriptionRules, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BadCase>& info) { return info.param.name; });

TEST(Description, EveryLimitIsInclusive) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    std::vector<std::string> lines = BaseDescription();
    lines[2] = "Tagline: " + Repeat('t', 67);                     // "Pellomark - " and 67: 79
    lines[3] = "Version: " + Repeat('9', 28);                     // "Pellomark v" and 28: 39
    lines[6] = "SupportAddress: " + Repeat('s', 90) + "@d.example";  // 100
    lines[9] = "Notice: " + Repeat('n', 48);
    lines[16] = "Row: Quodpost1234567.exe | " + Repeat('R', 19) + " | " + Repeat('C', 39) + " | compressed | program.exe";
    lines[19] = "ShortcutCount: 0";
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    bool ok = packer::ReadDescriptionText(Join(lines), folder + "/p.product", {{"uninstaller", StandIn(folder)}},
                                          &description, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    EXPECT_TRUE(ok);
    EXPECT_EQ(description.rows[1].fileName.size(), 19u);
}

TEST(Description, ReportsEveryFindingInLineOrder) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    std::vector<std::string> lines = BaseDescription();
    lines[3] = "Version: 1.01 (the long-awaited update)";
    lines[16] = "Row: Quodpost.exe | Program | The \"best\" | compressed | missing.exe";
    lines[19] = "ShortcutCount: 5";
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    packer::ReadDescriptionText(Join(lines), folder + "/p.product", {{"uninstaller", StandIn(folder)}},
                                &description, &problems);
    std::vector<int> found;
    for (const auto& problem : problems) found.push_back(problem.line);
    EXPECT_EQ(found, (std::vector<int>{4, 17, 17, 20}));
}

TEST(Description, AcceptsCommentsCrLfAndAByteOrderMark) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    std::string text = "\xEF\xBB\xBF";
    for (const std::string& line : BaseDescription()) text += "   " + line + "  \r\n  # a comment\r\n\r\n";
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    EXPECT_TRUE(packer::ReadDescriptionText(text, folder + "/p.product", {{"uninstaller", StandIn(folder)}},
                                            &description, &problems));
    EXPECT_EQ(description.productName, "Pellomark");
    EXPECT_EQ(description.rows[1].fileName, "Quodpost.exe");
}

TEST(Description, NamesTheFileItCannotRead) {
    std::string folder = ScratchFolder();
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    EXPECT_FALSE(packer::ReadDescriptionFile(folder + "/none.product", {}, &description, &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(packer::FormatDiagnostic(problems[0]),
              folder + "/none.product:1: '" + folder + "/none.product' does not exist");
}

TEST(Description, ASourceThatCannotBeOpenedIsNamed) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    Shell("chmod 000 '" + folder + "/help.txt'");
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    EXPECT_FALSE(packer::ReadDescriptionText(Join(BaseDescription()), folder + "/p.product",
                                             {{"uninstaller", StandIn(folder)}}, &description, &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].message.find("source 'help.txt' cannot be read"), std::string::npos);
}

TEST(Description, RelativePathsStartAtTheDescriptionsFolder) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder + "/vendor");
    std::vector<std::string> lines = BaseDescription();
    lines[17] = "Row: Quodpost.hlp | HelpFile | Help | compressed | " + folder + "/vendor/help.txt";
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::ReadDescriptionText(Join(lines), folder + "/vendor/p.product",
                                            {{"uninstaller", StandIn(folder + "/vendor")}}, &description,
                                            &problems));
    EXPECT_EQ(description.agreementPath, folder + "/vendor/agreement.txt");
    EXPECT_EQ(description.rows[2].sourcePath, folder + "/vendor/help.txt");
}

TEST(StoredName, ReplacesTheLastCharacter) {
    EXPECT_EQ(packer::StoredName("Quodpost.exe"), "Quodpost.ex_");
    EXPECT_EQ(packer::StoredName("README"), "READM_");
    EXPECT_EQ(packer::StoredName("a"), "_");
}

}  // namespace
