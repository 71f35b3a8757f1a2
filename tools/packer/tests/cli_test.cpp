// The packer as the build runs it: exit status, messages, and outputs that
// are either all new or all untouched. (Packing the tiny product is a step
// of the build; its outputs are checked in manifest_test.cpp.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "test_support.h"

namespace {

using namespace packer_test;

int Packer(const std::string& arguments, const std::string& log) {
    return Shell(std::string("'") + PACKER_EXE + "' " + arguments + " 2>'" + log + "'");
}

TEST(PackerCli, ABadDescriptionWritesNothingAndSaysWhy) {
    std::string scratch = ScratchFolder();
    MakeProductFiles(scratch);
    std::string out = scratch + "/out", log = scratch + "/log", description = scratch + "/p.product";
    std::string arguments = "--out '" + out + "' --target uninstaller='" + StandIn(scratch) + "' '" + description + "'";
    std::vector<std::string> lines = BaseDescription();
    lines[3] = "Version: 1.01 (the long-awaited update)";
    lines[16] = "Row: Quodpost.exe | Program | The \"best\" | compressed | missing.exe";
    lines[19] = "ShortcutCount: 5";
    WriteFile(description, Join(lines));
    EXPECT_EQ(Packer(arguments, log), 1);
    EXPECT_NE(Shell("test -e '" + out + "'"), 0) << "a bad description made the output folder";

    WriteFile(description, Join(BaseDescription()));
    ASSERT_EQ(Packer(arguments, log), 0) << ReadText(log);
    std::string manifest = ReadText(out + "/manifest.cpp");
    std::string script = ReadText(out + "/product.rc");
    WriteFile(description, Join(lines));
    EXPECT_EQ(Packer(arguments, log), 1);
    // Every finding, in line order, each on a line of its own.
    std::string said = ReadText(log), lineNumbers;
    for (size_t at = 0; (at = said.find(description + ":", at)) != std::string::npos; at = said.find('\n', at))
        lineNumbers += " " + std::to_string(std::atoi(said.c_str() + at + description.size() + 1));
    EXPECT_EQ(lineNumbers, " 4 17 17 20") << said;
    EXPECT_NE(said.find("packer: 4 problems in " + description + "; nothing was written"), std::string::npos) << said;
    EXPECT_EQ(ReadText(out + "/manifest.cpp"), manifest);
    EXPECT_EQ(ReadText(out + "/product.rc"), script);
}

TEST(PackerCli, ChecksTheSampleAndTellsUsageErrors) {
    std::string scratch = ScratchFolder();
    std::string log = scratch + "/log", sample = std::string("'") + PACKER_SAMPLE_PRODUCT + "'";
    WriteFile(scratch + "/gone.exe", "MZ stand-in");
    WriteFile(scratch + "/post.exe", "MZ stand-in");
    EXPECT_EQ(Packer("--check --target uninstaller='" + scratch + "/gone.exe' --target quodpost='" + scratch +
                         "/post.exe' " + sample, log),
              0) << ReadText(log);
    EXPECT_EQ(Packer(sample, log), 2);
    EXPECT_NE(ReadText(log).find("--out is needed"), std::string::npos);
    for (const char* arguments : {"--target nothing x.product", "--check", "--frobnicate x"})
        EXPECT_EQ(Packer(arguments, log), 2) << arguments;
    const std::string none = scratch + "/none.product";
    EXPECT_EQ(Packer("--check '" + none + "'", log), 1);
    EXPECT_NE(ReadText(log).find(none + ":1: '" + none + "' does not exist"), std::string::npos) << ReadText(log);
    // A check packs too: a picture of the wrong size is found, nothing written.
    MakeProductFiles(scratch);
    WriteFile(scratch + "/p.product", Join(BaseDescription()));
    Shell("cd '" + scratch + "/art' && convert page.png -crop 100x100+0+0 +repage page.png");
    EXPECT_EQ(Packer("--check --target uninstaller='" + scratch + "/gone.exe' '" + scratch + "/p.product'", log), 1);
    EXPECT_NE(ReadText(log).find("'art/page.png' is 100 x 100"), std::string::npos) << ReadText(log);
}

TEST(PackerCli, NamesOnlyNeedsNoBuiltTargetsAndRecordsNoSizes) {
    std::string scratch = ScratchFolder();
    std::string names = scratch + "/names.cpp", log = scratch + "/log";
    // The sample names its uninstaller and its program as build targets;
    // neither exists yet when the uninstaller itself is to be built.
    ASSERT_EQ(Packer("--names '" + names + "' '" + PACKER_SAMPLE_PRODUCT + "'", log), 0) << ReadText(log);
    std::string text = ReadText(names);
    EXPECT_NE(text.find("{\"Quodgone.exe\", \"Purgeset\", \"Uninstall\", 0u, 0u}"), std::string::npos) << text;
    EXPECT_NE(text.find("{\"Read_me.txt\", \"ReadMe\", \"Read Me\", 0u, 0u}"), std::string::npos) << text;
    EXPECT_NE(text.find("\"Pellomark\""), std::string::npos);

    // A plain file that is missing is still a fault of the description.
    WriteFile(scratch + "/p.product", Join(BaseDescription()));
    EXPECT_EQ(Packer("--names '" + names + "' '" + scratch + "/p.product'", log), 1);
}

}  // namespace
