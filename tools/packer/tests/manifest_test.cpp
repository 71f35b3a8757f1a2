// The tiny product as the build packed it: its generated manifest, compiled
// in, against its description and the files the packer wrote beside it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "description.h"
#include "generate.h"
#include "manifest/crc32.h"
#include "manifest/manifest.h"
#include "szdd_verify.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Read(const std::string& path)
{
    std::ifstream in(path[0] == '/' ? path : PACKER_TINY_PACKED "/" + path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

TEST(TinyProduct, ItsManifestCarriesTheDescriptionAndTheRealFiles)
{
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::ReadDescriptionFile(PACKER_TINY_PRODUCT, {{"uninstaller", PACKER_STAND_IN}},
                                            &d, &problems));
    // The tiny product's tagline holds a '"' and its key template a '\'.
    EXPECT_EQ(std::string(Manifest.InstallerName) + "|" + Manifest.ProductName + "|" +
                  Manifest.Tagline + "|" + Manifest.Version + "|" + Manifest.RegistryKeyTemplate +
                  "|" + Manifest.DefaultFolderTemplate + "|" + SupportAddress,
              "Cratewise|" + d.productName + "|" + d.tagline + "|" + d.version + "|" +
                  d.registryKeyTemplate + "|" + d.defaultFolderTemplate + "|" + d.supportAddress);
    EXPECT_EQ(Manifest.FileCount * 10 + Manifest.ShortcutCount,
              int32_t(d.rows.size()) * 10 + d.shortcutCount);
    for (size_t i = d.rows.size(); i < size_t(PayloadSlots); ++i)
        EXPECT_EQ(Manifest.Payload[i].FileName[0] + Manifest.Payload[i].ExpandedSize +
                      Manifest.Payload[i].StoredSize + PayloadCrc[i],
                  0u);
    for (size_t i = 0; i < d.rows.size(); ++i) {
        const PayloadEntry& entry = Manifest.Payload[i];
        const packer::PayloadRow& row = d.rows[i];
        SCOPED_TRACE(row.fileName);
        EXPECT_EQ(entry.FileName + std::string("|") + entry.ResourceName + "|" + entry.Caption,
                  row.fileName + "|" + row.resourceName + "|" + row.caption);
        Bytes source = Read(row.sourcePath), stored = Read(packer::PayloadFileName(row)),
              expanded = stored;
        EXPECT_EQ(entry.ExpandedSize, source.size());
        EXPECT_EQ(entry.StoredSize, stored.size());
        EXPECT_EQ(PayloadCrc[i], Crc32(stored.data(), uint32_t(stored.size())));
        std::string error;
        if (row.form == packer::StoredForm::Compressed) {
            ASSERT_GE(stored.size(), 14u);
            EXPECT_EQ(stored[9],
                      uint8_t(row.fileName.back()));  // the character the stored name lost
            EXPECT_TRUE(SzddExpandWithMspack(stored, &expanded, &error)) << error;
        }
        EXPECT_EQ(expanded, source);
    }
    Bytes bytes = Read("packer.d");
    std::string depfile(bytes.begin(), bytes.end());
    EXPECT_EQ(depfile.find(PACKER_TINY_PACKED "/manifest.cpp:"), 0u) << depfile;
    for (const char* input :
         {PACKER_TINY_PRODUCT, PACKER_STAND_IN, "/tiny/art/header.bmp", "/tiny/tally.ini"})
        EXPECT_NE(depfile.find(input), std::string::npos) << input << " in " << depfile;
}

}  // namespace
