// Scratch folders, files, and a complete, valid product laid out in one,
// for the packer's tests.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "description.h"

namespace packer_test {

// Runs a shell command; returns its exit status (-1 when it did not run).
inline int Shell(const std::string& command) {
    int status = std::system(command.c_str());
    return status == -1 || !WIFEXITED(status) ? -1 : WEXITSTATUS(status);
}

// An empty folder for the running test, under the build tree (left behind
// for inspection; emptied when the test runs again).
inline std::string ScratchFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string folder = std::string(PACKER_SCRATCH) + "/" + info->test_suite_name() + "." + info->name();
    Shell("rm -rf '" + folder + "' && mkdir -p '" + folder + "'");
    return folder;
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string ReadText(const std::string& path) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The lines of a description that reads cleanly against the files that
// MakeProductFiles lays out.
inline std::vector<std::string> BaseDescription() {
    return {
        "# A product for the tests",
        "ProductName: Pellomark",
        "Tagline: Software updates made easy!",
        "Version: 1.01",
        "RegistryKeyTemplate: Shareware\\Dornwick\\Programs\\%s\\%s",
        "DefaultFolderTemplate: C:\\Dornwick\\%s",
        "SupportAddress: support@dornwick.example",
        "",
        "Agreement: agreement.txt",
        "Notice: Stop by our home page now and then",
        "Notice: http://www.dornwick.example/",
        "Icon: art/product.ico",
        "PageBitmap: art/page.png",
        "GroupBitmap: art/page.png",
        "HeaderBitmap: art/header.bmp",
        "Row: Quodgone.exe | Purgeset | Uninstall | compressed | @uninstaller",
        "Row: Quodpost.exe | Program | Pellomark | compressed | program.exe",
        "Row: Quodpost.hlp | HelpFile | Help | compressed | help.txt",
        "Row: Read_me.txt | ReadMe | Read Me | plain | read_me.txt",
        "ShortcutCount: 4",
    };
}

inline std::string Join(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The stand-in uninstaller MakeProductFiles lays out.
inline std::string StandIn(const std::string& folder) { return folder + "/uninstaller.exe"; }

inline void MakeProductFiles(const std::string& folder) {
    // The tiny product's pictures: a PNG, a run-length encoded BMP and an
    // icon of PNG images.
    std::string tiny = PACKER_TINY_PRODUCT;
    tiny.erase(tiny.rfind('/'));
    Shell("mkdir -p '" + folder + "/art' && cp '" + tiny + "'/art/page.png '" + tiny + "'/art/header.bmp '" + tiny +
          "'/art/product.ico '" + folder + "/art/'");
    WriteFile(folder + "/agreement.txt", "TERMS\n\nUse it kindly.\r\n");
    // Varied bytes, so that any change to the compressed form shows.
    std::string program = "MZ";
    for (uint32_t i = 0, seed = 12345; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        program += char(' ' + (seed >> 16) % 90);
    }
    WriteFile(folder + "/program.exe", program);
    WriteFile(StandIn(folder), "MZ the uninstaller");
    std::string help;
    for (int i = 0; i < 300; ++i) help += "Help line " + std::to_string(i) + "\r\n";
    WriteFile(folder + "/help.txt", help);
    WriteFile(folder + "/read_me.txt", "Read me first.\r\n");
}

// Reads `text` as `folder`/p.product, with StandIn(folder) as the uninstaller.
inline bool Read(const std::string& folder, const std::string& text, packer::ProductDescription* description,
          std::vector<packer::Diagnostic>* problems) {
    return packer::ReadDescriptionText(text, folder + "/p.product", {{"uninstaller", StandIn(folder)}},
                                       description, problems);
}

// The tiny product's description, read with `standIn` as its uninstaller.
inline packer::ProductDescription Tiny(const std::string& standIn) {
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    bool ok = packer::ReadDescriptionFile(PACKER_TINY_PRODUCT, {{"uninstaller", standIn}}, &d, &problems);
    for (const auto& problem : problems) ADD_FAILURE() << packer::FormatDiagnostic(problem);
    EXPECT_TRUE(ok);
    return d;
}

}  // namespace packer_test
