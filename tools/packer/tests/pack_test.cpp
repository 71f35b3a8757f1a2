// Packing: a product at every limit of its description packed whole, the
// compressor's faults caught, and outputs put in place whole or not at all.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "pack.h"
#include "szdd.h"
#include "test_support.h"

namespace {

using namespace packer_test;

std::vector<uint8_t> Output(const packer::Package& package, const std::string& name) {
    for (const auto& file : package.files)
        if (file.name == name) return file.bytes;
    ADD_FAILURE() << "no output " << name;
    return {};
}

TEST(Pack, ADescriptionAtEveryLimitReadsAndPacks) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    // Pictures are taken whatever the case of their names.
    Shell("cd '" + folder + "/art' && mv product.ico ready.ico && mv header.bmp READY.BMP");
    std::vector<std::string> lines = BaseDescription();
    lines[2] = "Tagline: " + std::string(67, 't');                     // "Pellomark - " and 67: 79
    lines[3] = "Version: " + std::string(28, '9');                     // "Pellomark v" and 28: 39
    lines[6] = "SupportAddress: " + std::string(90, 's') + "@d.example";  // 100
    lines[9] = "Notice: " + std::string(48, 'n');
    lines[11] = "Icon: art/ready.ico";
    lines[14] = "HeaderBitmap: art/READY.BMP";
    lines[16] = "Row: Quodpost1234567.exe | " + std::string(19, 'R') + " | " + std::string(39, 'C') +
                " | compressed | program.exe";
    lines[17] = "Row: Quodpost.hlp | HelpFile | Help | compressed | " + folder + "/help.txt";
    lines[19] = "ShortcutCount: 0";
    // A byte order mark, CR LF, blanks around the lines and comments between them.
    std::string text = "\xEF\xBB\xBF";
    for (const std::string& line : lines) text += "   " + line + "  \r\n  # a comment\r\n\r\n";

    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    bool ok = Read(folder, text, &d, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    ASSERT_TRUE(ok);
    // Relative paths start at the description's folder.
    EXPECT_EQ(d.agreementPath, folder + "/agreement.txt");
    ASSERT_EQ(d.rows.size(), 4u);
    EXPECT_EQ(d.rows[1].fileName.size(), 19u);
    EXPECT_EQ(d.rows[2].sourcePath, folder + "/help.txt");
    EXPECT_EQ(d.rows[3].form, packer::StoredForm::Plain);
    EXPECT_EQ(d.shortcutCount, 0);
    packer::Package package;
    ASSERT_TRUE(packer::PackProduct(d, folder + "/out", &package, &problems));
    // The files that name the others are put in place last.
    EXPECT_EQ(package.files.back().name, "manifest.cpp");
    // The page needs CR LF; pairs already there stay single.
    std::vector<uint8_t> agreement = Output(package, "agreement.txt");
    EXPECT_EQ(std::string(agreement.begin(), agreement.end()), "TERMS\r\n\r\nUse it kindly.\r\n");
}

// What a faulty compressor could make of a row's good SZDD form.
struct CompressorFault {
    const char* name;
    void (*spoil)(std::vector<uint8_t>& szdd);
    const char* rule;
};

const char kNoRoundTrip[] = "does not expand back to its source through libmspack";

const CompressorFault kFaults[] = {
    {"cut_short", [](std::vector<uint8_t>& szdd) { szdd.resize(szdd.size() - 3); }, kNoRoundTrip},
    {"wrong_length", [](std::vector<uint8_t>& szdd) { szdd[10] ^= 1; }, kNoRoundTrip},
    {"one_byte_changed", [](std::vector<uint8_t>& szdd) { szdd[szdd.size() / 2] ^= 0x40; }, kNoRoundTrip},
    {"wrong_lost_character", [](std::vector<uint8_t>& szdd) { szdd[9] = 'x'; },
     "its header does not carry the last character of"},
    {"throws", [](std::vector<uint8_t>&) { throw std::length_error("too long"); }, "too long"},
};

TEST(Pack, AFaultyCompressionStopsThePackAtItsRow) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(Read(folder, Join(BaseDescription()), &d, &problems));
    for (const CompressorFault& fault : kFaults) {
        packer::Package package;
        problems.clear();
        auto compress = [&fault](const uint8_t* data, size_t size, uint8_t lost) {
            std::vector<uint8_t> szdd = SzddCompress(data, size, lost);
            fault.spoil(szdd);
            return szdd;
        };
        EXPECT_FALSE(packer::PackProduct(d, folder + "/out", &package, &problems, compress)) << fault.name;
        // The compressed rows: 0, 1 and 2.
        ASSERT_EQ(problems.size(), 3u) << fault.name;
        EXPECT_EQ(problems[1].line, d.rows[1].line);
        EXPECT_NE(problems[1].message.find("compressing 'program.exe' failed, nothing was written: "),
                  std::string::npos) << problems[1].message;
        EXPECT_NE(problems[1].message.find(fault.rule), std::string::npos) << fault.name << ": "
                                                                           << problems[1].message;
    }
}

TEST(WriteOutputs, AFailureLeavesTheEarlierOutputsAndNoTemporaryFiles) {
    std::string folder = ScratchFolder();
    std::string error;
    ASSERT_TRUE(packer::WriteOutputs(folder + "/new", {{"manifest.cpp", {'o', 'l', 'd'}}}, &error)) << error;
    // The second file cannot be created: its folder does not exist.
    EXPECT_FALSE(packer::WriteOutputs(folder + "/new", {{"manifest.cpp", {'n', 'e', 'w'}}, {"none/product.rc", {'x'}}},
                                      &error));
    EXPECT_NE(error.find("none/product.rc"), std::string::npos) << error;
    EXPECT_EQ(ReadText(folder + "/new/manifest.cpp"), "old");
    EXPECT_EQ(Shell("test $(ls -A '" + folder + "/new' | wc -l) -eq 1"), 0) << "a temporary file was left";

    WriteFile(folder + "/plain-file", "x");
    EXPECT_FALSE(packer::WriteOutputs(folder + "/plain-file", {{"a.txt", {'A'}}}, &error));
    EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
}

}  // namespace
