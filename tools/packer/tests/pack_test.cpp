// Packing: the tiny product's files made in memory and checked against
// their sources, the compressor's faults caught, the pictures drawn or
// copied, and outputs put in place whole or not at all.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "artwork.h"
#include "pack.h"
#include "szdd.h"
#include "szdd_verify.h"
#include "test_support.h"

namespace {

using namespace packer_test;

const packer::OutputFile* Find(const packer::Package& package, const std::string& name) {
    for (const auto& file : package.files)
        if (file.name == name) return &file;
    return nullptr;
}

uint32_t Le32(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 | uint32_t(bytes[at + 2]) << 16 |
           uint32_t(bytes[at + 3]) << 24;
}

bool ReadTiny(const std::string& scratch, packer::ProductDescription* description) {
    // Varied bytes, so that any change to the compressed form shows.
    std::string program = "MZ";
    uint32_t seed = 12345;
    for (int i = 0; i < 9000; ++i) {
        seed = seed * 1103515245u + 12345u;
        program += char(' ' + (seed >> 16) % 90);
    }
    WriteFile(scratch + "/uninstaller.exe", program);
    std::vector<packer::Diagnostic> problems;
    bool ok = packer::ReadDescriptionFile(PACKER_TINY_PRODUCT, {{"uninstaller", scratch + "/uninstaller.exe"}},
                                          description, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    return ok;
}

TEST(Pack, TheTinyProductsFilesMatchTheirSources) {
    std::string scratch = ScratchFolder();
    packer::ProductDescription d;
    ASSERT_TRUE(ReadTiny(scratch, &d));
    packer::Package package;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::PackProduct(d, scratch + "/out", &package, &problems));

    std::vector<std::string> names;
    for (const auto& file : package.files) names.push_back(file.name);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "product.ico", "page.bmp", "group.bmp", "header.bmp", "agreement.txt",
                         "payload-REMOVER.bin", "payload-TALLYDATA.bin", "payload-SETTINGS.bin",
                         "payload-README.bin", "payload-LICENCE.bin", "notice.h", "product.rc", "manifest.cpp"}));

    ASSERT_EQ(package.sizes.size(), d.rows.size());
    for (size_t i = 0; i < d.rows.size(); ++i) {
        const packer::PayloadRow& row = d.rows[i];
        std::vector<uint8_t> source = ReadBytes(row.sourcePath);
        const packer::OutputFile* stored = Find(package, packer::PayloadFileName(row));
        ASSERT_NE(stored, nullptr) << row.fileName;
        EXPECT_EQ(package.sizes[i].expanded, source.size()) << row.fileName;
        EXPECT_EQ(package.sizes[i].stored, stored->bytes.size()) << row.fileName;
        if (row.form == packer::StoredForm::Plain) {
            EXPECT_EQ(stored->bytes, source) << row.fileName;
            continue;
        }
        ASSERT_GE(stored->bytes.size(), kSzddHeaderSize);
        EXPECT_EQ(std::string(stored->bytes.begin(), stored->bytes.begin() + 9), "SZDD\x88\xF0\x27\x33\x41");
        EXPECT_EQ(stored->bytes[9], uint8_t(row.fileName.back())) << row.fileName;
        EXPECT_EQ(Le32(stored->bytes, 10), source.size()) << row.fileName;
        std::vector<uint8_t> expanded;
        std::string error;
        ASSERT_TRUE(SzddExpandWithMspack(stored->bytes, &expanded, &error)) << error;
        EXPECT_EQ(expanded, source) << row.fileName;
    }

    // The tiny agreement is written with bare line feeds; the page needs CR LF.
    std::vector<uint8_t> agreement = ReadBytes(d.agreementPath);
    const packer::OutputFile* shown = Find(package, "agreement.txt");
    ASSERT_NE(shown, nullptr);
    size_t feeds = 0;
    for (size_t i = 0; i < shown->bytes.size(); ++i) {
        if (shown->bytes[i] != '\n') continue;
        ++feeds;
        EXPECT_TRUE(i > 0 && shown->bytes[i - 1] == '\r') << "a bare line feed at " << i;
    }
    EXPECT_GT(feeds, 0u);
    EXPECT_EQ(shown->bytes.size(), agreement.size() + feeds);

    EXPECT_EQ(Find(package, "page.bmp")->bytes[0], 'B');
    EXPECT_EQ(Le32(Find(package, "product.ico")->bytes, 0), 0x00010000u);
    EXPECT_EQ(package.inputs.front(), std::string(PACKER_TINY_PRODUCT));
    EXPECT_EQ(package.inputs.size(), 1u + 4u + 1u + d.rows.size());
}

TEST(Pack, CrLfLeavesExistingPairsAlone) {
    const std::string in = "a\nb\r\nc\n\n";
    std::vector<uint8_t> out = packer::WithCrLf(std::vector<uint8_t>(in.begin(), in.end()));
    EXPECT_EQ(std::string(out.begin(), out.end()), "a\r\nb\r\nc\r\n\r\n");
}

struct CompressorFault {
    const char* name;
    packer::Compressor compress;
    const char* rule;
};

std::vector<uint8_t> Good(const uint8_t* data, size_t size, uint8_t lost) { return SzddCompress(data, size, lost); }

const CompressorFault kFaults[] = {
    {"cut_short",
     [](const uint8_t* d, size_t n, uint8_t l) {
         auto out = Good(d, n, l);
         out.resize(out.size() - 3);
         return out;
     },
     "does not expand back to its source through libmspack"},
    {"wrong_length",
     [](const uint8_t* d, size_t n, uint8_t l) {
         auto out = Good(d, n, l);
         out[10] ^= 1;
         return out;
     },
     "does not expand back to its source through libmspack"},
    {"wrong_lost_character",
     [](const uint8_t* d, size_t n, uint8_t) { return Good(d, n, 'x'); },
     "its header does not carry the last character of"},
    {"one_byte_changed",
     [](const uint8_t* d, size_t n, uint8_t l) {
         auto out = Good(d, n, l);
         out[out.size() / 2] ^= 0x40;
         return out;
     },
     "does not expand back to its source through libmspack"},
    {"throws",
     [](const uint8_t*, size_t, uint8_t) -> std::vector<uint8_t> { throw std::length_error("too long"); },
     "too long"},
};

TEST(Pack, AFaultyCompressionStopsThePackAtItsRow) {
    std::string scratch = ScratchFolder();
    packer::ProductDescription d;
    ASSERT_TRUE(ReadTiny(scratch, &d));
    for (const CompressorFault& fault : kFaults) {
        packer::Package package;
        std::vector<packer::Diagnostic> problems;
        EXPECT_FALSE(packer::PackProduct(d, scratch + "/out", &package, &problems, fault.compress)) << fault.name;
        // The compressed rows: 0, 1 and 3.
        ASSERT_EQ(problems.size(), 3u) << fault.name;
        EXPECT_EQ(problems[0].line, d.rows[0].line);
        EXPECT_NE(problems[0].message.find("compressing '@uninstaller' failed, nothing was written: "),
                  std::string::npos) << problems[0].message;
        EXPECT_NE(problems[1].message.find(fault.rule), std::string::npos) << fault.name << ": "
                                                                           << problems[1].message;
    }
}

packer::ProductDescription Base(const std::string& folder, std::vector<std::string> lines) {
    MakeProductFiles(folder);
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    bool ok = packer::ReadDescriptionText(Join(lines), folder + "/p.product", {{"uninstaller", StandIn(folder)}},
                                          &d, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    EXPECT_TRUE(ok);
    return d;
}

TEST(Pack, APictureThatDoesNotDrawIsReportedAtItsKey) {
    std::string folder = ScratchFolder();
    std::vector<std::string> lines = BaseDescription();
    lines[13] = "GroupBitmap: art/broken.art";
    MakeProductFiles(folder);
    WriteFile(folder + "/art/broken.art", "bitmap 8 8 4\npalette\n  vga\nend\nfill teal\n");
    packer::ProductDescription d = Base(folder, lines);
    packer::Package package;
    std::vector<packer::Diagnostic> problems;
    EXPECT_FALSE(packer::PackProduct(d, folder + "/out", &package, &problems));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].line, 14);
    EXPECT_NE(problems[0].message.find("the picture does not draw: " + folder + "/art/broken.art:5: "),
              std::string::npos) << problems[0].message;
}

TEST(Pack, APictureOfTheWrongKindIsRefused) {
    std::string folder = ScratchFolder();
    std::vector<std::string> lines = BaseDescription();
    lines[12] = "PageBitmap: art/icon.art";
    lines[11] = "Icon: art/page.art";
    packer::ProductDescription d = Base(folder, lines);
    packer::Package package;
    std::vector<packer::Diagnostic> problems;
    EXPECT_FALSE(packer::PackProduct(d, folder + "/out", &package, &problems));
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].message, "'art/page.art' draws a bitmap, not an icon");
    EXPECT_EQ(problems[1].message, "'art/icon.art' draws an icon, not a bitmap");
}

TEST(Pack, ReadyMadePicturesAreTakenAsTheyAre) {
    std::string folder = ScratchFolder();
    MakeProductFiles(folder);
    std::string error;
    artgen::Artwork art;
    ASSERT_TRUE(artgen::CompileArtwork("icon\npalette\n  vga\nend\nimage 32 32 4\nfill blue\n", "x", &art, &error));
    std::vector<uint8_t> ico = artgen::EncodeArtwork(art);
    ASSERT_TRUE(artgen::CompileArtwork("bitmap 30 20 8\npalette\n  vga\nend\nfill red\n", "x", &art, &error));
    std::vector<uint8_t> bmp = artgen::EncodeArtwork(art);
    WriteFile(folder + "/art/ready.ico", std::string(ico.begin(), ico.end()));
    WriteFile(folder + "/art/ready.bmp", std::string(bmp.begin(), bmp.end()));
    std::vector<std::string> lines = BaseDescription();
    lines[11] = "Icon: art/ready.ico";
    lines[14] = "HeaderBitmap: art/READY.BMP";
    Shell("cp '" + folder + "/art/ready.bmp' '" + folder + "/art/READY.BMP'");
    packer::ProductDescription d = Base(folder, lines);
    packer::Package package;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::PackProduct(d, folder + "/out", &package, &problems));
    EXPECT_EQ(Find(package, "product.ico")->bytes, ico);
    EXPECT_EQ(Find(package, "header.bmp")->bytes, bmp);
}

TEST(WriteOutputs, PutsEveryFileInPlace) {
    std::string folder = ScratchFolder() + "/new/deeper";
    std::string error;
    ASSERT_TRUE(packer::WriteOutputs(folder, {{"a.txt", {'A'}}, {"b.txt", {'B', 'B'}}}, &error)) << error;
    EXPECT_EQ(ReadBytes(folder + "/a.txt"), (std::vector<uint8_t>{'A'}));
    EXPECT_EQ(ReadBytes(folder + "/b.txt"), (std::vector<uint8_t>{'B', 'B'}));
}

TEST(WriteOutputs, AFailureLeavesTheEarlierOutputsAndNoTemporaryFiles) {
    std::string folder = ScratchFolder();
    std::string error;
    ASSERT_TRUE(packer::WriteOutputs(folder, {{"manifest.cpp", {'o', 'l', 'd'}}}, &error));
    // The second file cannot be created: its folder does not exist.
    EXPECT_FALSE(packer::WriteOutputs(folder, {{"manifest.cpp", {'n', 'e', 'w'}}, {"none/product.rc", {'x'}}},
                                      &error));
    EXPECT_NE(error.find("none/product.rc"), std::string::npos) << error;
    EXPECT_EQ(ReadBytes(folder + "/manifest.cpp"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(Shell("test $(ls -A '" + folder + "' | wc -l) -eq 1"), 0) << "a temporary file was left";

    WriteFile(folder + "/plain-file", "x");
    EXPECT_FALSE(packer::WriteOutputs(folder + "/plain-file", {{"a.txt", {'A'}}}, &error));
    EXPECT_NE(error.find("is not a folder"), std::string::npos) << error;
}

}  // namespace
