// The generated resource script compiled by windres together with the
// installer's own (cratewise.rc, pages.rc): every resource lands under its
// number or its name in capitals, with exactly the packed bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "description.h"
#include "generate.h"
#include "pack.h"
#include "test_support.h"

namespace {

using namespace packer_test;

enum { RtBitmap = 2, RtDialog = 5, RtRcdata = 10, RtGroupIcon = 14 };

using ResourceKey = std::pair<int, std::string>;  // the type, and the name or a number's digits

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b.at(at + size_t(i));
    return value;
}

// A name or number field of a .res entry header.
std::string IdAt(const std::vector<uint8_t>& b, size_t* at) {
    std::string id;
    if (Le(b, *at, 2) == 0xFFFF) {
        id = std::to_string(Le(b, *at + 2, 2));
        *at += 2;
    } else {
        for (uint32_t c; (c = Le(b, *at, 2)) != 0; *at += 2) id += char(c);
    }
    *at += 2;
    return id;
}

std::map<ResourceKey, std::vector<uint8_t>> ParseRes(const std::vector<uint8_t>& b) {
    std::map<ResourceKey, std::vector<uint8_t>> resources;
    for (size_t at = 0; at + 32 <= b.size();) {
        size_t size = Le(b, at, 4), data = at + Le(b, at + 4, 4), field = at + 8;
        std::string type = IdAt(b, &field);
        std::string name = IdAt(b, &field);
        if (size) resources[{std::stoi(type), name}].assign(b.begin() + long(data), b.begin() + long(data + size));
        at = (data + size + 3) & ~size_t(3);
    }
    return resources;
}

TEST(ResourceScript, WindresBuildsEveryResourceFromIt) {
    if (std::string(PACKER_WINDRES).empty()) GTEST_SKIP() << "no windres on this machine";
    std::string scratch = ScratchFolder();
    // Blanks and double quotes in the output folder must survive the script.
    std::string out = scratch + "/out \"packed\"";
    WriteFile(scratch + "/gone.exe", "MZ stand-in for the uninstaller");
    packer::ProductDescription d = Tiny(scratch + "/gone.exe");
    packer::Package package;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::PackProduct(d, out, &package, &problems));
    std::string error;
    ASSERT_TRUE(packer::WriteOutputs(out, package.files, &error)) << error;

    // windres hands its include folders to the preprocessor through a shell,
    // so they get a plain name; the script itself names the files in `out`.
    ASSERT_EQ(Shell("ln -s 'out \"packed\"' '" + scratch + "/include'"), 0);
    std::string res = scratch + "/setup.res";
    ASSERT_EQ(Shell(std::string("'") + PACKER_WINDRES + "' -I '" + scratch + "/include' -I '" + PACKER_RESOURCES +
                    "' -O res -o '" + res + "' '" + PACKER_RESOURCES + "/cratewise.rc' 2>'" + scratch + "/log'"),
              0) << ReadText(scratch + "/log");
    auto resources = ParseRes(ReadBytes(res));

    std::vector<std::pair<ResourceKey, std::vector<uint8_t>>> expected = {
        {{RtRcdata, "AGREEMENT"}, ReadBytes(out + "/agreement.txt")}};
    for (size_t i = 0; i < d.rows.size(); ++i)
        expected.push_back({{RtRcdata, packer::UpperCase(d.rows[i].resourceName)},
                            ReadBytes(out + "/" + packer::PayloadFileName(d.rows[i]))});
    // A bitmap resource is its file without the 14-byte file header.
    const char* bitmaps[][2] = {{"200", "page.bmp"}, {"201", "group.bmp"}, {"202", "header.bmp"}};
    for (auto& bitmap : bitmaps) {
        std::vector<uint8_t> file = ReadBytes(out + "/" + bitmap[1]);
        expected.push_back({{RtBitmap, bitmap[0]}, std::vector<uint8_t>(file.begin() + 14, file.end())});
    }
    for (const auto& want : expected) {
        ASSERT_TRUE(resources.count(want.first)) << want.first.first << " " << want.first.second;
        EXPECT_EQ(resources[want.first], want.second) << want.first.second;
    }
    EXPECT_TRUE(resources.count({RtGroupIcon, "100"}));

    std::vector<uint8_t> notice;  // as the copy page's dialog holds it: UTF-16
    for (size_t i = 0; i < d.notice.size(); ++i)
        for (char c : (i ? "\n" : "") + d.notice[i]) notice.insert(notice.end(), {uint8_t(c), 0});
    const std::vector<uint8_t>& page = resources[{RtDialog, "1004"}];
    EXPECT_NE(std::search(page.begin(), page.end(), notice.begin(), notice.end()), page.end())
        << "the copy page lacks the notice";
}

TEST(ResourceScript, RefusesAFileNameNoLiteralCanCarry) {
    packer::ResourceFiles files;
    files.agreement = "/out/agree\nment.txt";
    const std::string standIn = ScratchFolder() + "/gone.exe";
    WriteFile(standIn, "MZ stand-in");
    packer::ProductDescription d = Tiny(standIn);
    files.payload.assign(d.rows.size(), "/out/payload.bin");
    std::string script, error;
    EXPECT_FALSE(packer::ResourceScript(d, files, &script, &error));
    EXPECT_NE(error.find("control character"), std::string::npos) << error;
}

}  // namespace
