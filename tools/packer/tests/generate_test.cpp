// The generated texts: literals that survive both compilers, and a manifest,
// resource script and notice laid out as the installer expects them.
#include <gtest/gtest.h>

#include <string>

#include "generate.h"

namespace {

struct LiteralCase {
    std::string text;
    std::string cpp;
    std::string rc;
};

const LiteralCase kLiterals[] = {
    {"Pellomark", "\"Pellomark\"", "\"Pellomark\""},
    {"C:\\Dornwick\\%s", "\"C:\\\\Dornwick\\\\%s\"", "\"C:\\\\Dornwick\\\\%s\""},
    {"say \"hi\"", "\"say \\\"hi\\\"\"", "\"say \"\"hi\"\"\""},
    {"what?" "?!", "\"what\\?\\?!\"", "\"what?" "?!\""},
    {"two\nlines", "\"two\\012lines\"", "\"two\\nlines\""},
    {"/path with/\xC3\xA9", "\"/path with/\\303\\251\"", "\"/path with/\xC3\xA9\""},
    {"", "\"\"", "\"\""},
};

TEST(Literals, EscapeForEachLanguage) {
    for (const LiteralCase& c : kLiterals) {
        EXPECT_EQ(packer::CppString(c.text), c.cpp) << c.text;
        std::string rc;
        EXPECT_TRUE(packer::RcString(c.text, &rc)) << c.text;
        EXPECT_EQ(rc, c.rc) << c.text;
    }
}

TEST(Literals, AResourceScriptRefusesOtherControlCharacters) {
    for (const char* text : {"tab\there", "cr\rhere", "del\x7fhere", "bell\ahere"}) {
        std::string rc;
        EXPECT_FALSE(packer::RcString(text, &rc)) << text;
    }
}

packer::ProductDescription Sample() {
    packer::ProductDescription d;
    d.file = "/somewhere/pellomark.product";
    d.productName = "Pellomark";
    d.tagline = "Software updates made easy!";
    d.version = "1.01";
    d.registryKeyTemplate = "Shareware\\Dornwick\\Programs\\%s\\%s";
    d.defaultFolderTemplate = "C:\\Dornwick\\%s";
    d.supportAddress = "support@dornwick.example";
    d.notice = {"Stop by our home page now and then", "so that you always have the latest version:",
                "http://www.dornwick.example/"};
    const char* rows[][3] = {{"Quodgone.exe", "Purgeset", "Uninstall"},
                             {"Quodpost.exe", "Program", "Pellomark"},
                             {"Quodpost.hlp", "HelpFile", "Help"},
                             {"Read_me.txt", "ReadMe", "Read Me"}};
    for (auto& row : rows) {
        packer::PayloadRow r;
        r.fileName = row[0];
        r.resourceName = row[1];
        r.caption = row[2];
        d.rows.push_back(r);
    }
    d.shortcutCount = 3;
    return d;
}

TEST(ManifestSource, HoldsEveryFieldInOrderWithTheRealSizes) {
    std::vector<packer::RowSizes> sizes = {{36864, 19894, 0x0123ABCDu}, {371712, 209925, 0xFFFFFFFFu},
                                           {15821, 9359, 0}, {3850, 3850, 0x80000000u}};
    std::string source = packer::ManifestSource(Sample(), sizes);
    const char* expected =
        "const InstallManifest Manifest = {\n"
        "    \"Cratewise\",\n"
        "    \"Shareware\\\\Dornwick\\\\Programs\\\\%s\\\\%s\",\n"
        "    \"Pellomark\",\n"
        "    \"Software updates made easy!\",\n"
        "    \"1.01\",\n"
        "    \"C:\\\\Dornwick\\\\%s\",\n"
        "    {\n"
        "        {\"Quodgone.exe\", \"Purgeset\", \"Uninstall\", 36864u, 19894u},\n"
        "        {\"Quodpost.exe\", \"Program\", \"Pellomark\", 371712u, 209925u},\n"
        "        {\"Quodpost.hlp\", \"HelpFile\", \"Help\", 15821u, 9359u},\n"
        "        {\"Read_me.txt\", \"ReadMe\", \"Read Me\", 3850u, 3850u},\n"
        "        {\"\", \"\", \"\", 0u, 0u},\n"
        "    },\n"
        "    4,\n"
        "    3,\n"
        "};\n\n"
        "const char SupportAddress[] = \"support@dornwick.example\";\n\n"
        "const uint32_t PayloadCrc[PayloadSlots] = {\n"
        "    0x0123ABCDu,\n"
        "    0xFFFFFFFFu,\n"
        "    0x00000000u,\n"
        "    0x80000000u,\n"
        "    0x00000000u,\n"
        "};\n";
    EXPECT_NE(source.find(expected), std::string::npos) << source;
    EXPECT_NE(source.find("from pellomark.product;"), std::string::npos);
}

TEST(NoticeHeader, JoinsTheLinesWithLineFeeds) {
    EXPECT_NE(packer::NoticeHeader(Sample()).find(
                  "#define PRODUCT_NOTICE \"Stop by our home page now and then\\nso that you always have the "
                  "latest version:\\nhttp://www.dornwick.example/\"\n"),
              std::string::npos);
}

TEST(ResourceScript, NamesEveryResourceItsNumberOrName) {
    packer::ProductDescription d = Sample();
    packer::ResourceFiles files;
    for (int i = 0; i < packer::ArtSlotCount; ++i) files.art[i] = "/out/" + std::string(packer::kArtNames[i]);
    files.agreement = "/out dir/agreement.txt";
    for (const auto& row : d.rows) files.payload.push_back("/out/" + packer::PayloadFileName(row));
    std::string script, error;
    ASSERT_TRUE(packer::ResourceScript(d, files, &script, &error)) << error;
    for (const char* line : {"IDI_PRODUCT ICON \"/out/product.ico\"\n", "IDB_PAGE BITMAP \"/out/page.bmp\"\n",
                             "IDB_GROUP BITMAP \"/out/group.bmp\"\n", "IDB_HEADER BITMAP \"/out/header.bmp\"\n",
                             "Agreement RCDATA \"/out dir/agreement.txt\"\n",
                             "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
                             "\"PURGESET\" RCDATA \"/out/payload-PURGESET.bin\"\n",
                             "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n"
                             "\"README\" RCDATA \"/out/payload-README.bin\"\n"})
        EXPECT_NE(script.find(line), std::string::npos) << line << "\nin:\n" << script;

    files.payload[2] = "/out/new\nline";
    EXPECT_FALSE(packer::ResourceScript(d, files, &script, &error));
    EXPECT_NE(error.find("control character"), std::string::npos);
}

TEST(Depfile, EscapesWhatMakeAndNinjaWouldSplit) {
    std::string text, error;
    ASSERT_TRUE(packer::Depfile("/b/manifest.cpp", {"/src/a b.txt", "/src/c#d", "/src/$e"}, &text, &error));
    EXPECT_EQ(text, "/b/manifest.cpp: \\\n  /src/a\\ b.txt \\\n  /src/c\\#d \\\n  /src/$$e\n");
    EXPECT_FALSE(packer::Depfile("/b/manifest.cpp", {"/src/a\nb"}, &text, &error));
}

}  // namespace
