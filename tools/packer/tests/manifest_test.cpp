// The tiny product's manifest as the build generated and compiled it,
// against its description and the files the packer wrote beside it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description.h"
#include "generate.h"
#include "manifest/crc32.h"
#include "manifest/manifest.h"
#include "test_support.h"

namespace {

packer::ProductDescription Tiny() {
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    bool ok = packer::ReadDescriptionFile(PACKER_TINY_PRODUCT, {{"uninstaller", PACKER_STAND_IN}}, &d, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    EXPECT_TRUE(ok);
    return d;
}

TEST(GeneratedManifest, CarriesTheDescriptionsTexts) {
    packer::ProductDescription d = Tiny();
    EXPECT_STREQ(Manifest.InstallerName, "Cratewise");
    EXPECT_EQ(Manifest.ProductName, d.productName);
    EXPECT_EQ(Manifest.Tagline, d.tagline);
    EXPECT_EQ(Manifest.Version, d.version);
    EXPECT_EQ(Manifest.RegistryKeyTemplate, d.registryKeyTemplate);
    EXPECT_EQ(Manifest.DefaultFolderTemplate, d.defaultFolderTemplate);
    EXPECT_EQ(SupportAddress, d.supportAddress);
    EXPECT_EQ(Manifest.FileCount, int32_t(d.rows.size()));
    EXPECT_EQ(Manifest.ShortcutCount, d.shortcutCount);
    // The tiny product's texts hold what needs escaping.
    EXPECT_NE(std::string(Manifest.Tagline).find('"'), std::string::npos);
    EXPECT_NE(std::string(Manifest.RegistryKeyTemplate).find('\\'), std::string::npos);
}

TEST(GeneratedManifest, RowsMatchTheFilesTheyCameFrom) {
    packer::ProductDescription d = Tiny();
    ASSERT_LE(d.rows.size(), size_t(PayloadSlots));
    for (size_t i = 0; i < size_t(PayloadSlots); ++i) {
        const PayloadEntry& entry = Manifest.Payload[i];
        if (i >= d.rows.size()) {
            EXPECT_STREQ(entry.FileName, "");
            EXPECT_EQ(entry.ExpandedSize, 0u);
            EXPECT_EQ(entry.StoredSize, 0u);
            EXPECT_EQ(PayloadCrc[i], 0u);
            continue;
        }
        const packer::PayloadRow& row = d.rows[i];
        EXPECT_EQ(entry.FileName, row.fileName);
        EXPECT_EQ(entry.ResourceName, row.resourceName);
        EXPECT_EQ(entry.Caption, row.caption);
        std::vector<uint8_t> source = packer_test::ReadBytes(row.sourcePath);
        std::vector<uint8_t> stored =
            packer_test::ReadBytes(std::string(PACKER_TINY_PACKED) + "/" + packer::PayloadFileName(row));
        EXPECT_EQ(entry.ExpandedSize, source.size()) << row.fileName;
        EXPECT_EQ(entry.StoredSize, stored.size()) << row.fileName;
        EXPECT_EQ(PayloadCrc[i], Crc32(stored.data(), uint32_t(stored.size()))) << row.fileName;
        if (row.form == packer::StoredForm::Plain) {
            EXPECT_EQ(stored, source) << row.fileName;
        } else {
            ASSERT_GE(stored.size(), 14u);
            uint32_t length = uint32_t(stored[10]) | uint32_t(stored[11]) << 8 | uint32_t(stored[12]) << 16 |
                              uint32_t(stored[13]) << 24;
            EXPECT_EQ(length, entry.ExpandedSize) << row.fileName;
        }
    }
}

}  // namespace
