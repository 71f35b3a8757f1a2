// The tiny product as the build packed it: its generated manifest, compiled
// in, against its description and the files the packer wrote beside it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description.h"
#include "generate.h"
#include "manifest/crc32.h"
#include "manifest/manifest.h"
#include "szdd_verify.h"
#include "test_support.h"

namespace {

using packer_test::ReadBytes;

TEST(GeneratedManifest, CarriesTheDescriptionAndTheRealFiles) {
    packer::ProductDescription d = packer_test::Tiny(PACKER_STAND_IN);
    EXPECT_STREQ(Manifest.InstallerName, "Cratewise");
    EXPECT_EQ(Manifest.ProductName, d.productName);
    // The tiny product's tagline holds a '"' and its key template a '\'.
    EXPECT_EQ(Manifest.Tagline, d.tagline);
    EXPECT_EQ(Manifest.Version, d.version);
    EXPECT_EQ(Manifest.RegistryKeyTemplate, d.registryKeyTemplate);
    EXPECT_EQ(Manifest.DefaultFolderTemplate, d.defaultFolderTemplate);
    EXPECT_EQ(SupportAddress, d.supportAddress);
    EXPECT_EQ(Manifest.FileCount, int32_t(d.rows.size()));
    EXPECT_EQ(Manifest.ShortcutCount, d.shortcutCount);

    // The rows, against the files they came from.
    ASSERT_LE(d.rows.size(), size_t(PayloadSlots));
    for (size_t i = d.rows.size(); i < size_t(PayloadSlots); ++i) {
        EXPECT_STREQ(Manifest.Payload[i].FileName, "");
        EXPECT_EQ(Manifest.Payload[i].ExpandedSize + Manifest.Payload[i].StoredSize + PayloadCrc[i], 0u);
    }
    for (size_t i = 0; i < d.rows.size(); ++i) {
        const PayloadEntry& entry = Manifest.Payload[i];
        const packer::PayloadRow& row = d.rows[i];
        EXPECT_EQ(entry.FileName, row.fileName);
        EXPECT_EQ(entry.ResourceName, row.resourceName);
        EXPECT_EQ(entry.Caption, row.caption);
        std::vector<uint8_t> source = ReadBytes(row.sourcePath);
        std::vector<uint8_t> stored = ReadBytes(std::string(PACKER_TINY_PACKED) + "/" + packer::PayloadFileName(row));
        EXPECT_EQ(entry.ExpandedSize, source.size()) << row.fileName;
        EXPECT_EQ(entry.StoredSize, stored.size()) << row.fileName;
        EXPECT_EQ(PayloadCrc[i], Crc32(stored.data(), uint32_t(stored.size()))) << row.fileName;
        if (row.form == packer::StoredForm::Plain) {
            EXPECT_EQ(stored, source) << row.fileName;
            continue;
        }
        ASSERT_GE(stored.size(), 14u);
        EXPECT_EQ(std::string(stored.begin(), stored.begin() + 9), "SZDD\x88\xF0\x27\x33\x41");
        EXPECT_EQ(stored[9], uint8_t(row.fileName.back())) << row.fileName;
        uint32_t length = stored[10] | stored[11] << 8 | stored[12] << 16 | uint32_t(stored[13]) << 24;
        EXPECT_EQ(length, entry.ExpandedSize) << row.fileName;
        std::vector<uint8_t> expanded;
        std::string error;
        ASSERT_TRUE(SzddExpandWithMspack(stored, &expanded, &error)) << error;
        EXPECT_EQ(expanded, source) << row.fileName;
    }
}

TEST(GeneratedManifest, ItsDependencyListNamesEveryInput) {
    std::vector<uint8_t> bytes = ReadBytes(std::string(PACKER_TINY_PACKED) + "/packer.d");
    std::string depfile(bytes.begin(), bytes.end());
    EXPECT_EQ(depfile.find(std::string(PACKER_TINY_PACKED) + "/manifest.cpp:"), 0u) << depfile;
    for (const char* input : {PACKER_TINY_PRODUCT, PACKER_STAND_IN, "/tiny/art/header.bmp", "/tiny/tally.ini"})
        EXPECT_NE(depfile.find(input), std::string::npos) << input << " in " << depfile;
}

}  // namespace
