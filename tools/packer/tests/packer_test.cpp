// The packer's rules, each a row: the good description below with one change,
// and either the finding the packer must give at its line before anything is
// written, or a product at that rule's limit read and packed whole. Then its
// pictures, the texts it generates, and the packer as the build runs it.
#include <Magick++.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "description.h"
#include "generate.h"
#include "pack.h"
#include "picture.h"
#include "szdd.h"

namespace {

using Bytes = std::vector<uint8_t>;

int Shell(const std::string& command)
{
    int status = std::system(command.c_str());
    return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}
void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
// `text` with every `from` made `to`.
std::string Edit(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
         at += to.size())
        text.replace(at, from.size(), to);
    return text;
}
Bytes File(const std::string& path)
{
    std::string text = ReadText(path);
    return Bytes(text.begin(), text.end());
}
const std::string kArt = Edit(PACKER_TINY_PRODUCT, "tiny.product", "art/");

// A folder for the running test, left behind for inspection, holding the
// tiny product's pictures (a PNG, a run-length encoded BMP, an icon of PNGs)
// and files of varied bytes, so that any change to a stored form shows.
std::string ProductFolder()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = PACKER_SCRATCH "/" + std::string(test->test_suite_name()) + "." +
                         test->name(),
                program = "MZ", help;
    Shell("rm -rf '" + folder + "' && mkdir -p '" + folder + "/art' && cd '" + kArt +
          "' && cp page.png header.bmp product.ico '" + folder + "/art'");
    for (uint32_t i = 0, seed = 12345; i < 2000; ++i)
        program += char(' ' + ((seed = seed * 1103515245u + 12345u) >> 16) % 90);
    for (int i = 0; i < 300; ++i)
        help += "Help line " + std::to_string(i) + "\r\n";
    for (auto [name, bytes] : {std::pair{"agreement.txt", "TERMS\n\nUse it kindly.\r\n"},
                               {"uninstaller.exe", "MZ the uninstaller"},
                               {"program.exe", program.c_str()},
                               {"help.txt", help.c_str()},
                               {"read_me.txt", "Read me first.\r\n"}})
        WriteFile(folder + "/" + name, bytes);
    return folder;
}

// Reads cleanly against what ProductFolder lays out.
const char kGood[] =
    "# A product for the tests\nProductName: Pellomark\nTagline: Software updates made "
    "easy!\nVersion: 1.01\n"
    "RegistryKeyTemplate: Shareware\\Dornwick\\Programs\\%s\\%s\nDefaultFolderTemplate: "
    "C:\\Dornwick\\%s\n"
    "SupportAddress: support@dornwick.example\n\nAgreement: agreement.txt\nNotice: Stop by our "
    "home page now and then\n"
    "Notice: http://www.dornwick.example/\nIcon: art/product.ico\nPageBitmap: "
    "art/page.png\nGroupBitmap: art/page.png\n"
    "HeaderBitmap: art/header.bmp\nRow: Quodgone.exe | Purgeset | Uninstall | compressed | "
    "@uninstaller\n"
    "Row: Quodpost.exe | Program | Pellomark | compressed | program.exe\nRow: Quodpost.hlp | "
    "HelpFile | Help | compressed | help.txt\n"
    "Row: Read_me.txt | ReadMe | Read Me | plain | read_me.txt\nShortcutCount: 4\n";

struct Case {
    std::string
        from;  // every occurrence in kGood becomes `to`, in which "{}" is the product's folder
    std::string to;
    int line;          // of the finding; 0 when it reads and packs
    std::string rule;  // a part of the finding
    std::function<void(const std::string&)> files = nullptr;  // changes to the product's files
    void (*spoil)(Bytes& szdd) = nullptr;  // a faulty compressor's change to its streams
};

// Files of a size no test should write out.
void Sparse(const std::string& path, const char* size)
{
    Shell("truncate -s " + std::string(size) + " '" + path + "'");
}

const char kTop[] = "# A product for the tests";
const char kFailed[] = "compressing 'program.exe' failed, nothing was written: ";

const Case kCases[] = {
    // At the limits: fields full, pictures named in capitals, BOM, CR LF, blanks and comments around the lines.
    {"Software updates made easy!", std::string(67, 't'), 0, ""},  // "Pellomark - " and 67: 79
    {"1.01", std::string(28, '9'), 0, ""},                         // "Pellomark v" and 28: 39
    {"support@dornwick", std::string(90, 's') + "@d", 0, ""},      // 100
    {"Stop by our home page now and then", std::string(48, 'n'), 0, ""},
    {"Quodpost.exe | Program | Pellomark",
     "Quodpost1234567.exe | " + std::string(19, 'R') + " | " + std::string(39, 'C'), 0, ""},
    {"header.bmp", "HEADER.BMP", 0, "",
     [](auto& f) { Shell("cd '" + f + "/art' && mv header.bmp HEADER.BMP"); }},
    {"ShortcutCount: 4", "ShortcutCount: 0", 0, ""},
    {"Quodpost.hlp", "com0.hlp", 0, ""},
    {"| help.txt", "| {}/help.txt", 0, ""},
    {kTop, "\xEF\xBB\xBF" + std::string(kTop), 0, ""},
    {"\n", "  \r\n  # a comment\r\n\r\n   ", 0, ""},
    // The table's shape.
    {"ShortcutCount: 4",
     "Row: E1.txt | E1 | One | plain | read_me.txt\nRow: E2.txt | E2 | Two | plain | "
     "read_me.txt\nShortcutCount: 4",
     21, "a 6th row: the payload table holds at most 5 rows"},
    {"ShortcutCount: 4", "ShortcutCount: 5", 20,
     "ShortcutCount 5 is more than the 4 rows (FileCount)"},
    {"Row: Read_me", "# Row: Read_me", 18, "the payload has 3 rows; it needs at least 4"},
    {"Row:", "# Row:", 20, "no payload rows"},
    {"ShortcutCount: 4", "ShortcutCount: -1", 20,
     "ShortcutCount '-1' is not a whole number from 0 to 5"},
    {"ShortcutCount: 4", "ShortcutCount: 00004", 20, "ShortcutCount '00004' is not a whole number"},
    // Widths of the fields.
    {"Quodpost.exe", "Quodpost12345678.exe", 17,
     "FileName 'Quodpost12345678.exe' has 20 characters; the field holds 19"},
    {"Program |", "Program1234567890123 |", 17,
     "ResourceName 'Program1234567890123' has 20 characters; the field holds 19"},
    {"| Pellomark |", "| " + std::string(40, 'C') + " |", 17,
     "has 40 characters; the field holds 39"},
    {"Version: 1.01", "Version: 1.01 (the long-awaited update", 4,
     "the title 'Pellomark v1.01 (the long-awaited update' (ProductName, \" v\", Version) has 40 "
     "characters; its buffer holds 39"},
    {"Tagline: Software updates made easy!", "Tagline: " + std::string(68, 't'), 3,
     "the tagline text (ProductName, \" - \", Tagline) has 80 characters; its buffer holds 79"},
    // Templates.
    {"Programs\\%s\\%s", "%s", 5, "RegistryKeyTemplate needs exactly 2 %s"},
    {"Programs\\%s\\%s", "%s\\%s\\%s", 5, "it has 3 %s"},
    {"Programs\\%s\\%s", "%s\\%d\\%s", 5,
     "and no other '%'; it has a '%' that is not part of a %s"},
    {"Template: Shareware", "Template: \\Shareware", 5, "no backslash at its start or end"},
    {"Programs\\", std::string(230, 'k') + "\\", 5,
     "does not fit the installer's 256-byte key buffer"},
    {"Dornwick\\%s", "Dornwick", 6,
     "DefaultFolderTemplate needs exactly 1 %s (the product name) and no other '%'; it has 0 %s"},
    {"Dornwick\\%s", "100%%\\%s", 6, "it has a '%' that is not part of a %s"},
    {"C:\\Dornwick\\%s", "Dornwick\\%s", 6, "must start with a drive"},
    {"Dornwick\\%s", "Dorn*wick\\%s", 6, "may not hold '*' after its drive"},
    {"Dornwick\\%s", std::string(120, 'f') + "\\%s", 6,
     "is too long: the stored copies, installed files and read-me command"},
    {"Dornwick\\%s", "Dornwick\\%s\\..\\..", 6,
     "the default folder 'C:\\Dornwick\\Pellomark\\..\\..' resolves to a drive root"},
    // Characters that would break what is generated or shown.
    {"Software updates", "Software upd\tates", 3,
     "Tagline: the 13th character (0x09) is not printable ASCII"},
    {"ProductName: Pellomark", "ProductName: Pell\xC3\xB6mark", 2,
     "ProductName: the 5th character (0xC3) is not printable ASCII"},
    {"example/", "example/\x7F", 11, "Notice: the 29th character (0x7F) is not printable ASCII"},
    {"ProductName: Pellomark", "ProductName: Pello\"mark", 2, "ProductName may not hold '\"'"},
    {"| Pellomark |", "| The \"best\" |", 17, "Caption may not hold '\"'"},
    {"Tagline: Software updates made easy!", "Tagline:", 3, "Tagline is empty"},
    // Names.
    {"Row: Quodpost.hlp", "Row: ", 18, "the installed file name is empty"},
    {"Quodpost.hlp", "Quod:post.hlp", 18, "FileName 'Quod:post.hlp' may not hold any of"},
    {"Quodpost.hlp", "Quodpost.hl_", 18, "ends in '_': its stored copy"},
    {"Quodpost.hlp", "Quodpost.hl~", 18,
     "ends in '~': its stored copy or the file it is expanded into"},
    {"Quodpost.hlp", "Quodpost.", 18, "may not end in '.' or a blank"},
    {"Quodpost.hlp", "CON .hlp", 18, "FileName 'CON .hlp' is a Windows device name"},
    {"Quodpost.hlp", "Lpt9.hlp", 18, "FileName 'Lpt9.hlp' is a Windows device name"},
    {"ProductName: Pellomark", "ProductName: Con", 2, "ProductName 'Con' is a Windows device name"},
    {"ProductName: Pellomark", "ProductName: ..", 2, "ProductName '..' is made of dots"},
    {"Quodpost.hlp", "QUODPOST.EXE", 18, "FileName 'QUODPOST.EXE' is already row 1's"},
    {"Quodpost.hlp", "Quodpost.exf", 18,
     "the stored copy of 'Quodpost.exf' would be 'Quodpost.ex_', the same as that of row 1's"},
    {"HelpFile", "PROGRAM", 18,
     "ResourceName 'PROGRAM' is already row 1's (line 17); resource names match without regard to "
     "case"},
    {"HelpFile", "agreement", 18, "is the agreement text's resource"},
    {"HelpFile", "Help-File", 18, "ResourceName 'Help-File' may hold only letters, digits and '_'"},
    {"HelpFile", "", 18, "the resource name is empty"},
    {"| Help |", "|  |", 18, "the caption is empty"},
    // The rows with a role.
    {"Quodgone.exe", "Quodgone.com", 16,
     "row 0 is the uninstaller, a program: its file name must end in .exe"},
    {"@uninstaller", "help.txt", 16, "source 'help.txt' of row 0 is not a Windows program"},
    {"Read_me.txt", "Read_me.wri", 19,
     "row 3 is the read-me the installer opens in Notepad: its file name must end in .txt"},
    // Row fields and sources.
    {"| compressed | help.txt", "| help.txt", 18, "a row has five fields separated by '|'"},
    {"| compressed | help.txt", "| compressed | help.txt | x", 18,
     "a row has five fields separated by '|'"},
    {"compressed | help.txt", "zipped | help.txt", 18,
     "the stored form 'zipped' is neither 'compressed' nor 'plain'"},
    {"| help.txt", "| helps.txt", 18, "source 'helps.txt' does not exist (looked for "},
    {"| help.txt", "| art", 18, "source 'art' is not a file"},
    {"| help.txt", "| ", 18, "the row names no source file"},
    {"| help.txt", "| @help", 18, "unknown source '@help'"},
    {"program.exe", "@target:quodpost", 17,
     "needs the file of the build target 'quodpost', which the packer was not given"},
    {"", "", 19, "source 'read_me.txt' begins with the SZDD signature: stored plain",
     [](auto& f) {
         WriteFile(f + "/read_me.txt", "SZDD\x88\xF0\x27\x33"
                                       "A");
     }},
    // A link to itself cannot be read even by root, who reads every mode.
    {"", "", 18, "source 'help.txt' cannot be read",
     [](auto& f) { Shell("cd '" + f + "' && rm help.txt && ln -s help.txt help.txt"); }},
    {"", "", 18, "source 'help.txt' has 4294967296 bytes; sizes are 32-bit",
     [](auto& f) { Sparse(f + "/help.txt", "4G"); }},
    {"", "", 19, "the rows' files add up to",
     [](auto& f) { Sparse(f + "/program.exe", "1152M"), Sparse(f + "/help.txt", "1152M"); }},
    // Keys and lines.
    {kTop, "Publisher: Dornwick", 1, "unknown key 'Publisher'"},
    {"Version:", "version:", 4, "unknown key 'version'"},
    {kTop, "InstallerName: Boxer", 1, "InstallerName is always \"Cratewise\""},
    {"Version: 1.01", "Version: 1.01\nVersion: 1.02", 5,
     "Version is given twice (first on line 4)"},
    {"Tagline:", "# Tagline:", 20, "missing 'Tagline: ...'"},
    {kTop, "ProductName Pellomark", 1, "expected 'Key: value'"},
    {"Notice: http", "Notice: 2\nNotice: 3\nNotice: http", 13, "the notice has at most 3 lines"},
    {"Notice: Stop by our home page now and then", "Notice: " + std::string(49, 'n'), 10,
     "a Notice line has at most 48 characters"},
    {"support@dornwick.example", "support at dornwick", 7,
     "SupportAddress 'support at dornwick' is not an e-mail address"},
    {"support@dornwick.example", std::string(95, 's') + "@d.example", 7,
     "SupportAddress has 105 characters; at most 100"},
    // The other files, and the pictures.
    {"agreement.txt", "licence.txt", 9, "the agreement 'licence.txt' does not exist"},
    {"", "", 9, "is empty", [](auto& f) { WriteFile(f + "/agreement.txt", ""); }},
    {"", "", 9, "the agreement has 65536 bytes; the agreement page shows at most 65535",
     [](auto& f) { WriteFile(f + "/agreement.txt", std::string(65536, 'a')); }},
    {"product.ico", "product.png", 12, "Icon 'art/product.png' must be an icon (.ico)"},
    {"PageBitmap: art/page.png", "PageBitmap: art/page.ico", 13,
     "PageBitmap 'art/page.ico' must be a PNG (.png) or bitmap (.bmp) image"},
    {"header.bmp", "none.bmp", 15, "the picture 'art/none.bmp' does not exist"},
    {"GroupBitmap: art/page.png", "GroupBitmap: art/g.bmp", 14, "is not a Windows bitmap (.bmp)",
     [](auto& f) { WriteFile(f + "/art/g.bmp", "just text"); }},
    {"GroupBitmap: art/page.png", "GroupBitmap: art/g.png", 14, "is not a PNG image (.png)",
     [](auto& f) { WriteFile(f + "/art/g.png", "GIF89a"); }},
    {"product.ico", "g.ico", 12, "is not a Windows icon (.ico)",
     [](auto& f) { WriteFile(f + "/art/g.ico", std::string("\0\0\1\0\2\0", 6)); }},
    {"HeaderBitmap: art/header.bmp", "HeaderBitmap: art/page.png", 15,
     "'art/page.png' is 120 x 168; HeaderBitmap (bitmap 202) must be 130 x 31"},
    // A faulty compressor.
    {"", "", 17, std::string(kFailed) + "it does not expand back", nullptr,
     [](Bytes& szdd) { szdd.resize(szdd.size() - 3); }},
    {"", "", 17, "does not expand back to its source through libmspack", nullptr,
     [](Bytes& szdd) { szdd[10] ^= 1; }},
    {"", "", 17, "does not expand back to its source through libmspack", nullptr,
     [](Bytes& szdd) { szdd[szdd.size() / 2] ^= 0x40; }},
    {"", "", 17, "its header does not carry the last character of 'Quodpost.exe'", nullptr,
     [](Bytes& szdd) { szdd[9] = 'x'; }},
    {"", "", 17, std::string(kFailed) + "too long", nullptr,
     [](Bytes&) { throw std::length_error("too long"); }},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.to << " " << c.rule; }

class Description : public ::testing::TestWithParam<Case> {};

TEST_P(Description, IsRefusedAtItsLineOrPackedWhole)
{
    const Case& c = GetParam();
    std::string folder = ProductFolder(), all,
                at = folder + "/p.product:" + std::to_string(c.line) + ": ";
    if (c.files)
        c.files(folder);
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    packer::Package package;
    auto compress = [&c](const uint8_t* data, size_t size, uint8_t lost) {
        Bytes szdd = SzddCompress(data, size, lost);
        return c.spoil ? c.spoil(szdd), szdd : szdd;
    };
    bool packed = packer::ReadDescriptionText(
                      Edit(kGood, c.from, Edit(c.to, "{}", folder)), folder + "/p.product",
                      {{"uninstaller", folder + "/uninstaller.exe"}}, &d, &problems) &&
                  packer::PackProduct(d, folder + "/out", &package, &problems, compress);
    bool found = false;
    for (const auto& problem : problems) {
        all += "\n" + packer::FormatDiagnostic(problem);
        found |= packer::FormatDiagnostic(problem).find(at) == 0 &&
                 problem.message.find(c.rule) != std::string::npos;
    }
    ASSERT_EQ(packed, !c.line) << all;
    EXPECT_TRUE(found || !c.line) << "wanted " << at << c.rule << "\ngot:" << all;
    if (c.line)
        return;
    EXPECT_EQ(d.agreementPath, folder + "/agreement.txt");  // relative to the description
    EXPECT_EQ(package.files.back().name,
              "manifest.cpp");  // what names the others goes in place last
    // The page needs CR LF; pairs already there stay single.
    auto agreement = std::find_if(package.files.begin(), package.files.end(),
                                  [](auto& f) { return f.name == "agreement.txt"; });
    ASSERT_NE(agreement, package.files.end());
    EXPECT_EQ(std::string(agreement->bytes.begin(), agreement->bytes.end()),
              "TERMS\r\n\r\nUse it kindly.\r\n");
}

INSTANTIATE_TEST_SUITE_P(EveryRule, Description, ::testing::ValuesIn(kCases));

// Images in the forms vendors have, each made into what the installer draws
// and read back, pixel for pixel what the vendor's image shows; and the
// images refused.
Bytes Blob(std::vector<Magick::Image> images, const char* coder)
{
    Magick::Blob blob;
    images[0].magick(coder);
    Magick::writeImages(images.begin(), images.end(), &blob, true);
    return Bytes(static_cast<const uint8_t*>(blob.data()),
                 static_cast<const uint8_t*>(blob.data()) + blob.length());
}

Magick::Image Art(const std::string& name, const char* size = nullptr, bool clearCorner = false)
{
    Magick::Image image(kArt + name);
    if (size)
        image.extent(Magick::Geometry(size));
    if (clearCorner)
        image.type(Magick::TrueColorMatteType), image.matte(true);
    for (int i = 0; clearCorner && i < 64; ++i)
        image.pixelColor(i % 8, i / 8, Magick::Color("transparent"));
    return image;
}

// Every frame: its width, and each pixel 0xFFRRGGBB or 0 where clear, top
// row first. ImageMagick knows icons by their name only.
std::vector<std::pair<size_t, std::vector<uint32_t>>> Frames(const Bytes& file, bool icon)
{
    Magick::ReadOptions options;
    if (icon)
        std::strcpy(options.imageInfo()->magick, "ICO");
    std::vector<Magick::Image> images;
    Magick::readImages(&images, Magick::Blob(file.data(), file.size()), options);
    std::vector<std::pair<size_t, std::vector<uint32_t>>> frames;
    for (Magick::Image& image : images) {
        Bytes rgba(image.columns() * image.rows() * 4);
        image.write(0, 0, image.columns(), image.rows(), "RGBA", Magick::CharPixel, rgba.data());
        frames.push_back({image.columns(), {}});
        for (size_t i = 0; i < rgba.size(); i += 4)
            frames.back().second.push_back(image.matte() && rgba[i + 3] < 128
                                               ? 0
                                               : 0xFF000000u | rgba[i] << 16 | rgba[i + 1] << 8 |
                                                     rgba[i + 2]);
    }
    return frames;
}

struct ImageCase {
    const char* form;
    packer::ArtSlot slot;
    std::function<Bytes()> make;
    const char* refusal = nullptr;  // else converted
};

const ImageCase kImages[] = {
    {"png", packer::PageArt, [] { return File(kArt + "page.png"); }},
    {"bmp_8_bit_run_length", packer::HeaderArt, [] { return File(kArt + "header.bmp"); }},
    {"bmp_24_bit", packer::GroupArt, [] { return File(kArt + "group.bmp"); }},
    {"png_with_alpha", packer::HeaderArt,
     [] { return Blob({Art("page.png", "130x31", true)}, "PNG32"); }},
    {"bmp_with_alpha", packer::GroupArt,
     [] { return Blob({Art("group.bmp", nullptr, true)}, "BMP"); }},
    {"png_of_many_colours", packer::HeaderArt,
     [] {
         Magick::Image image("gradient:#ff0000-#0000ff");
         image.resize(Magick::Geometry("130x31!"));
         image.addNoise(Magick::GaussianNoise);
         return Blob({image}, "PNG24");
     }},
    {"ico_of_pngs", packer::IconArt, [] { return File(kArt + "product.ico"); }},
    {"ico_among_others", packer::IconArt,
     [] {
         return Blob({Art("product.ico[0]", "48x48"), Art("product.ico[1]"), Art("product.ico[0]")},
                     "ICO");
     }},
    {"icon_without_16", packer::IconArt, [] { return Blob({Art("product.ico[0]")}, "ICO"); },
     "'x' has no 16 x 16 image (it has 32 x 32); Icon (icon 100) must have one of 32 x 32 and one "
     "of 16 x 16"},
    {"gif", packer::GroupArt, [] { return Blob({Art("page.png")}, "GIF"); },
     "'x' is not a PNG or BMP image"},
    {"png_cut_short", packer::PageArt,
     [] {
         Bytes png = File(kArt + "page.png");
         return png.resize(png.size() / 2), png;
     },
     "'x' cannot be read as PNG: "},
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.form; }

class Image : public ::testing::TestWithParam<ImageCase> {};

TEST_P(Image, BecomesWhatTheInstallerDraws)
{
    const ImageCase& c = GetParam();
    Bytes input = c.make(), out;
    std::string error;
    ASSERT_EQ(packer::ConvertPicture(c.slot, input, "x", &out, &error), !c.refusal) << error;
    EXPECT_EQ(error.find(c.refusal ? c.refusal : ""), 0u) << error;
    if (c.refusal)
        return;
    // Bitmaps bottom-up, uncompressed, with the full colour table; an icon's
    // two images, 32 x 32 then 16 x 16, each with its mask.
    bool icon = c.slot == packer::IconArt;
    auto want = Frames(input, icon), got = Frames(out, icon);
    auto le32 = [&](size_t at) {
        return int64_t(out.at(at) | out.at(at + 1) << 8 | out.at(at + 2) << 16 |
                       uint32_t(out.at(at + 3)) << 24);
    };
    ASSERT_EQ(got.size(), icon ? 2u : 1u);
    for (size_t i = 0; i < got.size(); ++i) {
        const packer::PictureForm& form = icon ? packer::IconForms[i]
                                               : packer::PictureForms[c.slot];
        size_t header = icon ? le32(6 + 16 * i + 12) : 14;
        EXPECT_EQ(le32(header + 4), form.width);
        EXPECT_EQ(le32(header + 8), form.height * (icon ? 2 : 1));  // an icon's counts its mask
        EXPECT_EQ(out[header + 14], form.bits);
        EXPECT_EQ(le32(header + 16) + le32(header + 32),
                  0);  // BI_RGB; the table has 1 << bits entries
        EXPECT_TRUE(icon ||
                    out.size() == 54 + 4 * (size_t(1) << form.bits) +
                                      size_t((form.width * form.bits + 31) / 32 * 4) * form.height);
        auto same = std::find_if(want.begin(), want.end(),
                                 [&](auto& frame) { return int(frame.first) == form.width; });
        ASSERT_TRUE(same != want.end() && same->second.size() == got[i].second.size());
        int differing = 0, worst = 0;
        for (size_t p = 0; p < got[i].second.size(); ++p) {
            uint32_t a = same->second[p], b = got[i].second[p];
            if (!icon)
                a = a >> 24 ? a & 0xFFFFFF : form.ground, b &= 0xFFFFFF;  // clear shows the ground
            differing += a != b;
            for (int shift : {16, 8, 0})
                worst = std::max(worst, std::abs(int(a >> shift & 255) - int(b >> shift & 255)));
        }
        bool reduced = std::string(c.form) == "png_of_many_colours";
        EXPECT_EQ(differing > 0, reduced);  // so the reduction did reduce, and nothing else changed
        EXPECT_LE(worst, reduced ? 32 : 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, Image, ::testing::ValuesIn(kImages),
                         [](const auto& info) { return info.param.form; });

TEST(Generate, LiteralsAndPathsEscapedForEachReader)
{
    const char* const cases[][3] = {
        // text, C++, resource script
        {"C:\\Dornwick\\%s", "\"C:\\\\Dornwick\\\\%s\"", "\"C:\\\\Dornwick\\\\%s\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\"", "\"say \"\"hi\"\"\""},
        {"what?"
         "?!",
         "\"what\\?\\?!\"",
         "\"what?"
         "?!\""},
        {"two\nlines", "\"two\\012lines\"", "\"two\\nlines\""},
        {"/path with/\xC3\xA9", "\"/path with/\\303\\251\"", "\"/path with/\xC3\xA9\""},
    };
    std::string rc, error;
    for (const auto& c : cases) {
        EXPECT_EQ(packer::CppString(c[0]), c[1]) << c[0];
        EXPECT_TRUE(packer::RcString(c[0], &rc) && rc == c[2]) << c[0] << " as " << rc;
    }
    for (const char* text : {"tab\there", "cr\rhere", "del\x7fhere"})
        EXPECT_FALSE(packer::RcString(text, &rc)) << text;
    packer::ResourceFiles files;
    files.agreement = "/out/agree\nment.txt";
    EXPECT_FALSE(packer::ResourceScript(packer::ProductDescription{}, files, &rc, &error));
    EXPECT_NE(error.find("control character"), std::string::npos) << error;
    // The dependency list survives make and ninja.
    ASSERT_TRUE(
        packer::Depfile("/b/manifest.cpp", {"/src/a b.txt", "/src/c#d", "/src/$e"}, &rc, &error));
    EXPECT_EQ(rc, "/b/manifest.cpp: \\\n  /src/a\\ b.txt \\\n  /src/c\\#d \\\n  /src/$$e\n");
    EXPECT_FALSE(packer::Depfile("/b/manifest.cpp", {"/src/a\nb"}, &rc, &error));
}

TEST(Files, AFailureLeavesTheEarlierOutputsAndNoTemporaryFiles)
{
    std::string folder = ProductFolder() + "/new", error;
    ASSERT_TRUE(packer::WriteOutputs(folder, {{"manifest.cpp", {'o', 'l', 'd'}}}, &error)) << error;
    // The second file cannot be created: its folder does not exist.
    EXPECT_FALSE(packer::WriteOutputs(folder, {{"manifest.cpp", {'n'}}, {"none/product.rc", {'x'}}},
                                      &error));
    EXPECT_NE(error.find("none/product.rc"), std::string::npos) << error;
    EXPECT_EQ(ReadText(folder + "/manifest.cpp"), "old");
    EXPECT_EQ(Shell("test $(ls -A '" + folder + "' | wc -l) -eq 1"), 0)
        << "a temporary file was left";
    EXPECT_FALSE(packer::WriteOutputs(folder + "/manifest.cpp", {{"a.txt", {'A'}}}, &error));
    EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
    Bytes bytes;  // a file that grows while it is read: its size says 0
    EXPECT_FALSE(packer::ReadWholeFile("/proc/self/maps", 10, &bytes, &error));
    EXPECT_NE(error.find("grew past 10 bytes"), std::string::npos) << error;
}

TEST(PackerCli, ExitsAndSaysAsTheBuildExpects)
{
    std::string at = ProductFolder(), log = at + "/log", description = at + "/p.product", kept;
    auto packer = [&](const std::string& arguments) {
        return Shell("'" PACKER_EXE "' " +
                     Edit(Edit(arguments, "{}", at), "SAMPLE", PACKER_SAMPLE_PRODUCT) + " 2>'" +
                     log + "'");
    };
    WriteFile(at + "/wrong.product",
              Edit(kGood, "HeaderBitmap: art/header.bmp", "HeaderBitmap: art/page.png"));
    WriteFile(at + "/gone.product", Edit(kGood, "| help.txt", "| helps.txt"));
    const std::string uninstaller = " --target uninstaller={}/uninstaller.exe ";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--check" + uninstaller + "--target quodpost={}/program.exe SAMPLE", 0,
         ""},  // its rows name build targets
        {"SAMPLE", 2, "--out is needed"},
        {"--target nothing x.product", 2, ""},
        {"--frobnicate x", 2, ""},
        {"--check {}/none.product", 1, "{}/none.product:1: '{}/none.product' does not exist"},
        {"--check" + uninstaller + "{}/wrong.product", 1,
         "'art/page.png' is 120 x 168"},  // a check packs too
        // Names alone need no built target, but a missing plain file is still a fault.
        {"--names {}/names.cpp {}/gone.product", 1, "source 'helps.txt' does not exist"},
        {"--names {}/names.cpp SAMPLE", 0, ""},
    };
    for (const auto& [arguments, status, said] : cases) {
        EXPECT_EQ(packer(arguments), status) << arguments << ReadText(log);
        EXPECT_NE(ReadText(log).find(Edit(said, "{}", at)), std::string::npos) << ReadText(log);
    }
    EXPECT_NE(
        ReadText(at + "/names.cpp").find("{\"Read_me.txt\", \"ReadMe\", \"Read Me\", 0u, 0u}"),
        std::string::npos);
    // A bad description writes nothing, not even the folder, and leaves what an earlier run wrote.
    std::string bad = Edit(Edit(Edit(kGood, "1.01", "1.01 (the long-awaited update)"),
                                "ShortcutCount: 4", "ShortcutCount: 5"),
                           "Pellomark | compressed | program.exe",
                           "The \"best\" | compressed | missing.exe");
    for (const std::string& text : {bad, std::string(kGood), bad}) {
        WriteFile(description, text);
        EXPECT_EQ(packer("--out {}/out" + uninstaller + "{}/p.product"), text == bad)
            << ReadText(log);
        if (text != bad)
            kept = ReadText(at + "/out/manifest.cpp") + ReadText(at + "/out/product.rc");
        EXPECT_EQ(ReadText(at + "/out/manifest.cpp") + ReadText(at + "/out/product.rc"), kept);
        EXPECT_EQ(Shell("test -e '" + at + "/out'"), kept.empty());
    }
    std::string said = ReadText(log), lines;  // every finding, in line order
    for (size_t i = 0; (i = said.find(description + ":", i)) != std::string::npos;
         i = said.find('\n', i))
        lines += " " + std::to_string(std::atoi(said.c_str() + i + description.size() + 1));
    EXPECT_EQ(lines, " 4 17 17 20") << said;
    EXPECT_NE(said.find("packer: 4 problems in " + description + "; nothing was written"),
              std::string::npos)
        << said;
}

}  // namespace
