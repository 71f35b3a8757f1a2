// The packer's rules, each a row: the good description below, which sits at
// every limit, with one change, and the finding the packer must give at its
// line before anything is written. Then its pictures, the texts it
// generates, the packer as the build runs it, and the tiny product as the
// build packed it.
#include <Magick++.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>

#include "host_test.h"
#include "manifest/crc32.h"
#include "manifest/manifest.h"
#include "pack.h"
#include "picture.h"
#include "szdd.h"
#include "szdd_verify.h"

namespace {

using Bytes = std::vector<uint8_t>;

// `text` with every `from` made `to`.
std::string Edit(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = 0; !from.empty() && (at = text.find(from, at)) != std::string::npos;
         at += to.size())
        text.replace(at, from.size(), to);
    return text;
}
const std::string kTiny = Edit(PACKER_TINY_PRODUCT, "/tiny.product", ""), kArt = kTiny + "/art/";

// A folder for the running test, left behind for inspection: the tiny
// product's pictures (a PNG, a run-length encoded BMP named in capitals, a
// 24-bit BMP, an icon of PNGs) and files, an agreement with both line ends,
// and an uninstaller; then `more` is run there.
std::string ProductFolder(const std::string& more = "")
{
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string at = std::string(PACKER_SCRATCH "/") + test->test_suite_name() + "." + test->name();
    Shell("rm -rf '" + at + "' && mkdir -p '" + at + "' && cd '" + kTiny +
          "' && cp -r art tally.dat tally.ini readme.txt '" + at + "' && cd '" + at +
          "' && mv art/header.bmp art/HEADER.BMP && printf 'MZ the uninstaller' >uninstaller.exe" +
          " && printf 'TERMS\\n\\nUse it kindly.\\r\\n' >agreement.txt; " + more);
    return at;
}

// The shown texts and the row fields as long as they may be, a device-like
// name that is not one, no shortcuts, an absolute source, a BOM, CR LF,
// blanks and comments; "{}" is the product's folder.
const char kGood[] =
    "\xEF\xBB\xBF# Tests\r\nProductName: Pellomark\r\n"
    "Tagline: Software updates made easy, for every PC in the office and at home!\r\n"
    "  Version :  1.01 (the long-awaited fix!)  \r\n"
    "RegistryKeyTemplate: Shareware\\Dornwick\\Programs\\%s\\%s\n"
    "DefaultFolderTemplate: C:\\Dornwick\\%s\n"
    "SupportAddress: "
    "support.desks.for.pellomark.and.every.other.programs.from.the.dornwick.company@help.dornwick."
    "example\n   # blanks, then a comment\nAgreement: agreement.txt\n"
    "Notice: Stop by our home page now and then for the news!\n"
    "Notice: http://www.dornwick.example/\nIcon: art/product.ico\nPageBitmap: art/page.png\n"
    "GroupBitmap: art/group.bmp\nHeaderBitmap: art/HEADER.BMP\n"
    "Row: Quodgone.exe | Purgeset | Uninstall | compressed | @uninstaller\n"
    "Row: Quodpostmanager.exe | QuodpostMainProgram | Pellomark, updates for every PC at home | "
    "compressed | tally.dat\nRow: com0.hlp | HelpFile | Help | compressed | readme.txt\n"
    "Row: Read_me.txt | ReadMe | Read Me | plain | {}/tally.ini\nShortcutCount: 0\n";

struct Case {
    std::string from, to;                  // every `from` in kGood becomes `to`
    int line;                              // of the finding; 0 when it reads and packs
    std::string rule;                      // a part of the finding
    std::string files = "";                // a command run first in the product's folder
    void (*spoil)(Bytes& szdd) = nullptr;  // a faulty compressor's change to its streams
};

const Case kCases[] = {
    {"", "", 0, ""},  // as it is
    // One over each limit.
    {"at home!", "at home!!", 3, "Tagline) has 80 characters; its buffer holds 79"},
    {"@help", "@helps", 7, "SupportAddress has 101 characters; at most 100"},
    {"the news!", "the news!!", 10, "a Notice line has at most 48 characters"},
    {"Quodpostmanager.exe", "Quodpostmanager1.exe", 17, "has 20 characters; the field holds 19"},
    {"QuodpostMainProgram", "QuodpostMainProgram1", 17, "'QuodpostMainProgram1' has 20 char"},
    {"at home |", "at home! |", 17, "has 40 characters; the field holds 39"},
    {"Row: Read_me", "Row: A|A|A|plain|x\nRow: B|B|B|plain|x\nRow: Read_me", 21, "a 6th row"},
    {"Notice: http", "Notice: 2\nNotice: 3\nNotice: http", 13, "the notice has at most 3 lines"},
    {"ShortcutCount: 0", "ShortcutCount: 00004", 20, "'00004' is not a whole number"},
    {"Programs\\", std::string(230, 'k') + "\\", 5, "does not fit the installer's 256-byte key"},
    {"Dornwick\\%s", std::string(120, 'f') + "\\%s", 6, "is too long: the stored copies"},
    // The table's shape and the templates.
    {"Row: Read_me", "# Row: Read_me", 18, "the payload has 3 rows; it needs at least 4"},
    {"Row:", "# Row:", 20, "no payload rows"},
    {"ShortcutCount: 0", "ShortcutCount: -1", 20, "'-1' is not a whole number from 0 to 5"},
    {"Programs\\%s\\%s", "%s", 5, "RegistryKeyTemplate needs exactly 2 %s"},
    {"Programs\\%s\\%s", "%s\\%d\\%s", 5, "it has a '%' that is not part of a %s"},
    {"Template: Shareware", "Template: \\Shareware", 5, "no backslash at its start or end"},
    {"Dornwick\\%s", "Dornwick", 6, "exactly 1 %s (the product name) and no other '%'; it has 0"},
    {"C:\\Dornwick\\%s", "Dornwick\\%s", 6, "must start with a drive"},
    {"Dornwick\\%s", "Dorn*wick\\%s", 6, "may not hold '*' after its drive"},
    {"Dornwick\\%s", "Dornwick\\%s\\..\\..", 6, "Pellomark\\..\\..' resolves to a drive root"},
    // Characters that would break what is generated or shown.
    {"Software updates", "Software upd\tates", 3, "Tagline: the 13th character (0x09)"},
    {"example/", "example/\x7F", 11, "Notice: the 29th character (0x7F) is not printable ASCII"},
    {"ProductName: Pellomark", "ProductName: Pello\"mark", 2, "ProductName may not hold '\"'"},
    {"ProductName: Pellomark", "ProductName:", 2, "ProductName is empty"},
    {"Pellomark, updates", "Pello\"mark updates", 17, "Caption may not hold '\"'"},
    // Names.
    {"Row: com0.hlp", "Row: ", 18, "the installed file name is empty"},
    {"com0.hlp", "Quod:post.hlp", 18, "FileName 'Quod:post.hlp' may not hold any of"},
    {"com0.hlp", "com0.hl_", 18, "ends in '_': its stored copy"},
    {"com0.hlp", "com0.hl~", 18, "ends in '~': its stored copy or the file it is expanded into"},
    {"com0.hlp", "com0.", 18, "may not end in '.' or a blank"},
    {"com0.hlp", "CON .hlp", 18, "FileName 'CON .hlp' is a Windows device name"},
    {"com0.hlp", "Lpt9.hlp", 18, "FileName 'Lpt9.hlp' is a Windows device name"},
    {"ProductName: Pellomark", "ProductName: Con", 2, "ProductName 'Con' is a Windows device name"},
    {"ProductName: Pellomark", "ProductName: ..", 2, "ProductName '..' is made of dots"},
    {"com0.hlp", "QUODPOSTMANAGER.EXE", 18, "'QUODPOSTMANAGER.EXE' is already row 1's"},
    {"com0.hlp", "Quodpostmanager.exf", 18, "'Quodpostmanager.ex_', the same as that of row 1's"},
    {"HelpFile", "quodpostmainprogram", 18, "'quodpostmainprogram' is already row 1's (line 17)"},
    {"HelpFile", "agreement", 18, "is the agreement text's resource"},
    {"HelpFile", "Help-File", 18, "'Help-File' may hold only letters, digits and '_'"},
    {"HelpFile", "", 18, "the resource name is empty"},
    {"| Help |", "|  |", 18, "the caption is empty"},
    // The rows with a role.
    {"Quodgone.exe", "Quodgone.com", 16, "row 0 is the uninstaller, a program"},
    {"@uninstaller", "readme.txt", 16, "source 'readme.txt' of row 0 is not a Windows program"},
    {"Read_me.txt", "Read_me.wri", 19, "opens in Notepad: its file name must end in .txt"},
    // Row fields and sources.
    {"readme.txt", "readme.txt | x", 18, "a row has five fields separated by '|'"},
    {"compressed | readme.txt", "zipped | readme.txt", 18, "the stored form 'zipped' is neither"},
    {"| readme.txt", "| art", 18, "source 'art' is not a file"},
    {"| readme.txt", "| ", 18, "the row names no source file"},
    {"| readme.txt", "| @help", 18, "unknown source '@help'"},
    {"tally.dat", "@target:quodpost", 17, "target 'quodpost', which the packer was not given"},
    {"", "", 19, "begins with the SZDD signature", "printf 'SZDD\\210\\360\\047\\063' >tally.ini"},
    // A link to itself cannot be read even by root, who reads every mode.
    {"", "", 18, "'readme.txt' cannot be read", "rm readme.txt; ln -s readme.txt readme.txt"},
    {"", "", 18, "has 4294967296 bytes; sizes are 32-bit", "truncate -s 4G readme.txt"},
    {"", "", 19, "the rows' files add up to", "truncate -s 1152M tally.dat readme.txt"},
    // Keys and lines.
    {"# Tests", "Publisher: Dornwick", 1, "unknown key 'Publisher'"},
    {"Version :", "version:", 4, "unknown key 'version'"},
    {"# Tests", "InstallerName: Boxer", 1, "InstallerName is always \"Cratewise\""},
    {"Version :", "Version: 1.02\nVersion:", 5, "Version is given twice (first on line 4)"},
    {"Tagline:", "# Tagline:", 20, "missing 'Tagline: ...'"},
    {"# Tests", "ProductName Pellomark", 1, "expected 'Key: value'"},
    {"@help", " at help", 7, "is not an e-mail address"},
    // The other files, and the pictures.
    {"agreement.txt", "licence.txt", 9, "the agreement 'licence.txt' does not exist"},
    {"", "", 9, "the agreement 'agreement.txt' is empty", ": >agreement.txt"},
    {"", "", 9, "has 65536 bytes; the agreement page shows", "truncate -s 64K agreement.txt"},
    {"product.ico", "product.png", 12, "Icon 'art/product.png' must be an icon (.ico)"},
    {"page.png", "page.ico", 13, "'art/page.ico' must be a PNG (.png) or bitmap (.bmp) image"},
    {"HEADER.BMP", "none.bmp", 15, "the picture 'art/none.bmp' does not exist"},
    {"group.bmp", "g.bmp", 14, "'art/g.bmp' is not a Windows bitmap", "echo just text >art/g.bmp"},
    {"group.bmp", "g.png", 14, "'art/g.png' is not a PNG image (.png)", "echo GIF89a >art/g.png"},
    {"product.ico", "g.ico", 12, "is not a Windows icon", "printf '\\0\\0\\1\\0\\2\\0' >art/g.ico"},
    // A faulty compressor.
    {"", "", 17, "written: it does not expand back", "", [](Bytes& s) { s.pop_back(); }},
    {"", "", 17, "the last character of 'Quodpostmanager.exe'", "", [](Bytes& s) { s[9]++; }},
    {"", "", 17, "written: too long", "", [](Bytes&) { throw std::length_error("too long"); }},
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.to << " " << c.rule; }

class Description : public ::testing::TestWithParam<Case> {};

TEST_P(Description, IsRefusedAtItsLineOrPackedWhole)
{
    const Case& c = GetParam();
    std::string folder = ProductFolder(c.files), all, agreement,
                at = folder + "/p.product:" + std::to_string(c.line) + ": ";
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    packer::Package package;
    auto compress = [&c](const uint8_t* data, size_t size, uint8_t lost) {
        Bytes szdd = SzddCompress(data, size, lost);
        return c.spoil ? c.spoil(szdd), szdd : szdd;
    };
    bool packed = packer::ReadDescriptionText(
                      Edit(Edit(kGood, c.from, c.to), "{}", folder), folder + "/p.product",
                      {{"uninstaller", folder + "/uninstaller.exe"}}, &d, &problems) &&
                  packer::PackProduct(d, folder + "/out", &package, &problems, compress);
    bool found = false;
    for (const auto& problem : problems) {
        std::string said = packer::FormatDiagnostic(problem);
        found |= said.find(at) == 0 && said.find(c.rule) != std::string::npos;
        all += "\n" + said;
    }
    ASSERT_EQ(packed, !c.line) << all;
    EXPECT_TRUE(found || !c.line) << "wanted " << at << c.rule << "\ngot:" << all;
    if (c.line)
        return;
    EXPECT_EQ(package.files.back().name, "manifest.cpp");  // what names the others goes last
    for (const auto& file : package.files)
        if (file.name == "agreement.txt")
            agreement.assign(file.bytes.begin(), file.bytes.end());
    EXPECT_EQ(agreement, "TERMS\r\n\r\nUse it kindly.\r\n");  // CR LF, never CR CR LF
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
    const auto* data = static_cast<const uint8_t*>(blob.data());
    return Bytes(data, data + blob.length());
}

enum Touch { Untouched, Cleared, Blurred };

// One of the tiny product's images cut or grown to `size`, with the colour
// of its top left corner made clear, or blurred into many colours.
Magick::Image Art(const std::string& name, const char* size = nullptr, Touch touch = Untouched)
{
    Magick::Image image(kArt + name);
    if (size)
        image.extent(Magick::Geometry(size));
    if (touch == Cleared)
        image.transparent(image.pixelColor(0, 0));
    if (touch == Blurred)
        image.blur(0, 4);
    return image;
}

// Every frame by its width: each pixel 0xFFRRGGBB (read as BGRA on this
// little-endian host), or 0 where clear, top row first. ImageMagick knows
// icons by their name only.
std::map<size_t, std::vector<uint32_t>> Frames(const Bytes& file, bool icon)
{
    Magick::ReadOptions options;
    if (icon)
        std::strcpy(options.imageInfo()->magick, "ICO");
    std::vector<Magick::Image> images;
    Magick::readImages(&images, Magick::Blob(file.data(), file.size()), options);
    std::map<size_t, std::vector<uint32_t>> frames;
    for (Magick::Image& image : images) {
        std::vector<uint32_t>& frame = frames[image.columns()];
        frame.resize(image.columns() * image.rows());
        image.write(0, 0, image.columns(), image.rows(), "BGRA", Magick::CharPixel, frame.data());
        for (uint32_t& pixel : frame)
            pixel = image.matte() && pixel >> 24 < 128 ? 0 : pixel | 0xFF000000u;
    }
    return frames;
}

TEST(Image, BecomesWhatTheInstallerDraws)
{
    using packer::IconArt, packer::PageArt, packer::GroupArt, packer::HeaderArt;
    const Bytes png = ReadFile<Bytes>(kArt + "page.png");
    const Magick::Image big = Art("product.ico[0]"), small = Art("product.ico[1]");
    const std::tuple<const char*, packer::ArtSlot, Bytes, const char*> cases[] = {
        {"an 8-bit run-length BMP", HeaderArt, ReadFile<Bytes>(kArt + "header.bmp"), ""},
        {"a PNG with alpha", HeaderArt, Blob({Art("page.png", "130x31", Cleared)}, "PNG32"), ""},
        {"a BMP with alpha", GroupArt, Blob({Art("group.bmp", nullptr, Cleared)}, "BMP"), ""},
        {"many colours", HeaderArt, Blob({Art("group.bmp", "130x31", Blurred)}, "PNG24"), ""},
        {"an icon of PNGs", IconArt, ReadFile<Bytes>(kArt + "product.ico"), ""},
        {"among others", IconArt, Blob({Art("product.ico[0]", "48x48"), small, big}, "ICO"), ""},
        {"no 16 x 16", IconArt, Blob({big}, "ICO"),
         "'x' has no 16 x 16 image (it has 32 x 32); Icon (icon 100) must"},
        {"a GIF", GroupArt, Blob({Art("page.png")}, "GIF"), "'x' is not a PNG or BMP image"},
        {"a PNG cut short", PageArt, Bytes(png.begin(), png.begin() + 400),
         "'x' cannot be read as PNG: "},
    };
    for (const auto& [what, slot, input, refusal] : cases) {
        SCOPED_TRACE(what);
        Bytes out;
        std::string error;
        EXPECT_EQ(packer::ConvertPicture(slot, input, "x", &out, &error), !*refusal) << error;
        EXPECT_EQ(error.find(refusal), 0u) << error;
        if (*refusal)
            continue;
        bool icon = slot == IconArt, reduced = std::string(what) == "many colours";
        auto want = Frames(input, icon), got = Frames(out, icon);
        auto le32 = [&](size_t at) {
            return int32_t(out.at(at + 3) << 24 | out[at + 2] << 16 | out[at + 1] << 8 | out[at]);
        };
        EXPECT_EQ(got.size(), icon ? 2u : 1u);
        for (size_t i = 0; i < (icon ? 2u : 1u); ++i) {
            const auto& form = icon ? packer::IconForms[i] : packer::PictureForms[slot];
            // Bottom-up (an icon's height counts its mask), uncompressed, with the full colour table;
            // an icon's 32 x 32 image before its 16 x 16.
            size_t header = icon ? le32(18 + 16 * i) : 14;
            EXPECT_EQ(le32(header + 8), form.height * (icon ? 2 : 1));
            EXPECT_TRUE(icon || le32(10) == 54 + (4 << form.bits));  // where the rows start
            EXPECT_EQ(out[header + 14] << 8 | le32(header + 16) | le32(header + 32),
                      form.bits << 8);
            const auto &a = want[form.width], &b = got[form.width];
            EXPECT_EQ(a.size(), b.size());
            int differing = 0, worst = 0;
            for (size_t p = 0; p < a.size() && p < b.size(); ++p) {
                // Clear shows the ground.
                uint32_t x = a[p] || icon ? a[p] : 0xFF000000u | form.ground;
                differing += x != b[p];
                for (int s : {16, 8, 0})
                    worst = std::max(worst, std::abs(int(x >> s & 255) - int(b[p] >> s & 255)));
            }
            EXPECT_EQ(differing > 0, reduced);  // the reduction reduced; nothing else changed
            EXPECT_LE(worst, reduced ? 32 : 0);
        }
    }
}

TEST(Generate, LiteralsAndPathsEscapedForEachReader)
{
    const char* const cases[][3] = {
        // text, C++, resource script
        {"C:\\Dornwick\\%s", "\"C:\\\\Dornwick\\\\%s\"", "\"C:\\\\Dornwick\\\\%s\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\"", "\"say \"\"hi\"\"\""},
        {"what?\?!", "\"what\\?\\?!\"", "\"what?\?!\""},  // no trigraph in either
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
    // No art, and an agreement whose path breaks a line.
    EXPECT_FALSE(packer::ResourceScript({}, {{}, "/out/agree\nment.txt", {}}, &rc, &error));
    EXPECT_NE(error.find("control character"), std::string::npos) << error;
    // The dependency list survives make and ninja.
    ASSERT_TRUE(packer::Depfile("/b/m.cpp", {"/src/a b.txt", "/src/c#d", "/src/$e"}, &rc, &error));
    EXPECT_EQ(rc, "/b/m.cpp: \\\n  /src/a\\ b.txt \\\n  /src/c\\#d \\\n  /src/$$e\n");
    EXPECT_FALSE(packer::Depfile("/b/m.cpp", {"/src/a\nb"}, &rc, &error));
}

TEST(Files, AFailureLeavesTheEarlierOutputsAndNoTemporaryFiles)
{
    std::string folder = ProductFolder() + "/new", error;
    ASSERT_TRUE(packer::WriteOutputs(folder, {{"manifest.cpp", {'o', 'l', 'd'}}}, &error)) << error;
    // The second file cannot be created: its folder does not exist.
    EXPECT_FALSE(packer::WriteOutputs(folder, {{"manifest.cpp", {'n'}}, {"none/product.rc", {'x'}}},
                                      &error));
    EXPECT_NE(error.find("none/product.rc"), std::string::npos) << error;
    EXPECT_EQ(ReadFile(folder + "/manifest.cpp"), "old");
    EXPECT_EQ(Shell("test $(ls -A '" + folder + "' | wc -l) -eq 1"), 0) << "a temporary file left";
    EXPECT_FALSE(packer::WriteOutputs(folder + "/manifest.cpp", {{"a.txt", {'A'}}}, &error));
    EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
    Bytes bytes;  // a file that grows while it is read: its size says 0
    EXPECT_FALSE(packer::ReadWholeFile("/proc/self/maps", 10, &bytes, &error));
    EXPECT_NE(error.find("grew past 10 bytes"), std::string::npos) << error;
}

// "{}" stands for the product's folder. A check packs too. A faulty
// description writes nothing, not even the folder, and leaves what an
// earlier run wrote; its findings come in line order.
TEST(PackerCli, ExitsAndSaysAsTheBuildExpects)
{
    std::string at = ProductFolder(), log = at + "/log", kept, good = Edit(kGood, "{}", at);
    std::ofstream(at + "/good.product") << good;
    std::ofstream(at + "/bad.product")
        << Edit(Edit(Edit(good, "fix!)", "fix!!)"), "Count: 0", "Count: 5"),
                "home | compressed | tally.dat", "home\" | compressed | x");
    std::ofstream(at + "/wrong.product") << Edit(good, "HEADER.BMP", "page.png");
    std::ofstream(at + "/gone.product") << Edit(good, "| readme.txt", "| readme.tx");
    const std::string u = " --target uninstaller={}/uninstaller.exe ", out = "--out {}/out" + u;
    const std::tuple<std::string, int, std::string> cases[] = {
        {"--check" + u + "--target quodpost={}/tally.dat SAMPLE", 0, ""},
        {"SAMPLE", 2, "--out is needed"},
        {"--target nothing x.product", 2, ""},
        {"--frobnicate x", 2, ""},
        {"--check {}/none.product", 1, "{}/none.product:1: '{}/none.product' does not exist"},
        {"--check" + u + "{}/wrong.product", 1, "is 120 x 168; HeaderBitmap (bitmap 202) must be"},
        // Names alone need no built target, but a missing plain file is still a fault.
        {"--names {}/names.cpp {}/gone.product", 1, "source 'readme.tx' does not exist"},
        {"--names {}/names.cpp SAMPLE", 0, ""},
        {out + "{}/bad.product", 1, ""},
        {out + "{}/good.product", 0, ""},
        {out + "{}/bad.product", 1, "packer: 4 problems in {}/bad.product; nothing was written"},
    };
    for (const auto& [arguments, status, said] : cases) {
        std::string line = Edit(Edit(arguments, "{}", at), "SAMPLE", PACKER_SAMPLE_PRODUCT);
        EXPECT_EQ(Shell("'" PACKER_EXE "' " + line + " 2>'" + log + "'"), status) << line;
        EXPECT_NE(Edit(ReadFile(log), at, "{}").find(said), std::string::npos) << ReadFile(log);
        if (!status && arguments.find("--out") == 0)
            kept = ReadFile(at + "/out/manifest.cpp") + ReadFile(at + "/out/product.rc");
        EXPECT_EQ(ReadFile(at + "/out/manifest.cpp") + ReadFile(at + "/out/product.rc"), kept);
        EXPECT_EQ(Shell("test -e '" + at + "/out'"), kept.empty());
    }
    std::string lines = "grep -o '^[^ ]*:[0-9]*:' '" + log + "' | cut -d: -f2 | xargs";
    EXPECT_EQ(Shell("test \"$(" + lines + ")\" = '4 17 17 20'"), 0) << ReadFile(log);
    // The sizes wait for the build.
    EXPECT_NE(ReadFile(at + "/names.cpp")
                  .find("\"Read Me\", 0u, 0u},\n        {\"\", \"\", \"\", 0u, 0u}"),
              std::string::npos);
}

// The tiny product as the build packed it: its generated manifest, compiled
// in, against its description and the files the packer wrote beside it.
TEST(TinyProduct, ItsManifestCarriesTheDescriptionAndTheRealFiles)
{
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::ReadDescriptionFile(PACKER_TINY_PRODUCT, {{"uninstaller", PACKER_STAND_IN}},
                                            &d, &problems));
    // Its tagline holds a '"' and its key template a '\'.
    const std::vector<std::string> texts = {
        Manifest.InstallerName, Manifest.ProductName,         Manifest.Tagline,
        Manifest.Version,       Manifest.RegistryKeyTemplate, Manifest.DefaultFolderTemplate,
        SupportAddress};
    EXPECT_EQ(texts, std::vector<std::string>({"Cratewise", d.productName, d.tagline, d.version,
                                               d.registryKeyTemplate, d.defaultFolderTemplate,
                                               d.supportAddress}));
    EXPECT_EQ(Manifest.FileCount * 10 + Manifest.ShortcutCount,
              int32_t(d.rows.size()) * 10 + d.shortcutCount);
    for (size_t i = 0; i < d.rows.size(); ++i) {
        const PayloadEntry& entry = Manifest.Payload[i];
        const packer::PayloadRow& row = d.rows[i];
        SCOPED_TRACE(row.fileName);
        EXPECT_EQ(entry.FileName + std::string("|") + entry.ResourceName + "|" + entry.Caption,
                  row.fileName + "|" + row.resourceName + "|" + row.caption);
        Bytes source = ReadFile<Bytes>(row.sourcePath),
              stored = ReadFile<Bytes>(PACKER_TINY_PACKED "/" + packer::PayloadFileName(row)),
              expanded = stored;
        EXPECT_EQ(entry.ExpandedSize, source.size());
        EXPECT_EQ(entry.StoredSize, stored.size());
        EXPECT_EQ(PayloadCrc[i], Crc32(stored.data(), uint32_t(stored.size())));
        std::string error;
        if (row.form == packer::StoredForm::Compressed) {
            // The character the stored name lost.
            EXPECT_EQ(stored.at(9), uint8_t(row.fileName.back()));
            EXPECT_TRUE(SzddExpandWithMspack(stored, &expanded, &error)) << error;
        }
        EXPECT_EQ(expanded, source);
    }
    std::string depfile = ReadFile(PACKER_TINY_PACKED "/packer.d");
    EXPECT_EQ(depfile.find(PACKER_TINY_PACKED "/manifest.cpp:"), 0u) << depfile;
    for (const char* input :
         {PACKER_TINY_PRODUCT, PACKER_STAND_IN, "/tiny/art/header.bmp", "/tiny/tally.ini"})
        EXPECT_NE(depfile.find(input), std::string::npos) << input << " in " << depfile;
}

}  // namespace
