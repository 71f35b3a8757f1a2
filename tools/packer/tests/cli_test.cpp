// The packer as the build runs it: exit status, messages, and outputs that
// are either all new or all untouched.
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace {

using namespace packer_test;

std::string Packer(const std::string& arguments, const std::string& log) {
    return std::string("'") + PACKER_EXE + "' " + arguments + " 2>'" + log + "'";
}

std::string Text(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(PackerCli, PacksTheTinyProductAndListsWhatItRead) {
    std::string scratch = ScratchFolder();
    WriteFile(scratch + "/gone.exe", "MZ stand-in");
    std::string out = scratch + "/out";
    int status = Shell(Packer("--out '" + out + "' --depfile '" + out + "/packer.d' --target uninstaller='" +
                                scratch + "/gone.exe' '" + PACKER_TINY_PRODUCT + "'",
                            scratch + "/log"));
    EXPECT_EQ(status, 0) << Text(scratch + "/log");
    for (const char* name : {"manifest.cpp", "product.rc", "notice.h", "agreement.txt", "product.ico",
                             "page.bmp", "group.bmp", "header.bmp", "payload-REMOVER.bin", "payload-README.bin"})
        EXPECT_TRUE(Exists(out + "/" + name)) << name;
    std::string depfile = Text(out + "/packer.d");
    EXPECT_EQ(depfile.compare(0, out.size() + 14, out + "/manifest.cpp:"), 0) << depfile;
    EXPECT_NE(depfile.find(scratch + "/gone.exe"), std::string::npos) << depfile;
    EXPECT_NE(depfile.find("/tests/products/tiny/art/header.art"), std::string::npos) << depfile;
}

TEST(PackerCli, ABadDescriptionChangesNothingAndSaysWhy) {
    std::string scratch = ScratchFolder();
    MakeProductFiles(scratch);
    std::string out = scratch + "/out";
    std::string description = scratch + "/p.product";
    WriteFile(description, Join(BaseDescription()));
    std::string arguments = "--out '" + out + "' --target uninstaller='" + StandIn(scratch) + "' '" + description + "'";
    ASSERT_EQ(Shell(Packer(arguments, scratch + "/log")), 0) << Text(scratch + "/log");
    std::string manifest = Text(out + "/manifest.cpp");
    std::string script = Text(out + "/product.rc");

    std::vector<std::string> lines = BaseDescription();
    lines[19] = "ShortcutCount: 7";
    lines[1] = "ProductName: Pellomark the Magnificent Updater 2000";
    WriteFile(description, Join(lines));
    EXPECT_EQ(Shell(Packer(arguments, scratch + "/log")), 1);
    std::string log = Text(scratch + "/log");
    EXPECT_NE(log.find(description + ":4: the title "), std::string::npos) << log;
    EXPECT_NE(log.find(description + ":20: ShortcutCount 7 is more than the 4 rows"), std::string::npos) << log;
    EXPECT_NE(log.find("packer: 2 problems in " + description + "; nothing was written"), std::string::npos) << log;
    EXPECT_EQ(Text(out + "/manifest.cpp"), manifest);
    EXPECT_EQ(Text(out + "/product.rc"), script);
}

TEST(PackerCli, ABadDescriptionMakesNoOutputFolder) {
    std::string scratch = ScratchFolder();
    WriteFile(scratch + "/p.product", "ProductName: X\n");
    EXPECT_EQ(Shell(Packer("--out '" + scratch + "/out' '" + scratch + "/p.product'", scratch + "/log")), 1);
    EXPECT_FALSE(Exists(scratch + "/out"));
}

TEST(PackerCli, CheckOnlyReadsAndUsageErrorsAreTold) {
    std::string scratch = ScratchFolder();
    MakeProductFiles(scratch);
    WriteFile(scratch + "/p.product", Join(BaseDescription()));
    EXPECT_EQ(Shell(Packer("--check --target uninstaller='" + StandIn(scratch) + "' '" + scratch + "/p.product'",
                         scratch + "/log")),
              0) << Text(scratch + "/log");
    EXPECT_EQ(Shell(Packer("'" + scratch + "/p.product'", scratch + "/log")), 2);
    EXPECT_NE(Text(scratch + "/log").find("--out is needed"), std::string::npos);
    EXPECT_EQ(Shell(Packer("--target nothing '" + scratch + "/p.product'", scratch + "/log")), 2);
    EXPECT_EQ(Shell(Packer("--check", scratch + "/log")), 2);
    EXPECT_EQ(Shell(Packer("--frobnicate x", scratch + "/log")), 2);
}

TEST(PackerCli, TheSampleProductReadsCleanly) {
    std::string scratch = ScratchFolder();
    WriteFile(scratch + "/gone.exe", "MZ stand-in");
    WriteFile(scratch + "/post.exe", "MZ stand-in");
    EXPECT_EQ(Shell(Packer("--check --target uninstaller='" + scratch + "/gone.exe' --target quodpost='" + scratch +
                             "/post.exe' '" + PACKER_SAMPLE_PRODUCT + "'",
                         scratch + "/log")),
              0) << Text(scratch + "/log");
}

}  // namespace
