// The generated resource script compiled by windres together with the
// installer's own (cratewise.rc, pages.rc): every resource lands under its
// number or its name in capitals, with exactly the packed bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "description.h"
#include "files.h"
#include "pack.h"
#include "test_support.h"

namespace {

using namespace packer_test;

enum { RtBitmap = 2, RtDialog = 5, RtRcdata = 10, RtGroupIcon = 14 };

struct ResourceKey {
    int type;
    std::string name;  // a number's digits, or the name
    bool operator<(const ResourceKey& other) const {
        return type != other.type ? type < other.type : name < other.name;
    }
};

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b.at(at + size_t(i));
    return value;
}

// A name or number field of a .res entry header.
std::string IdAt(const std::vector<uint8_t>& b, size_t* at) {
    if (Le(b, *at, 2) == 0xFFFF) {
        std::string id = std::to_string(Le(b, *at + 2, 2));
        *at += 4;
        return id;
    }
    std::string name;
    for (uint32_t c; (c = Le(b, *at, 2)) != 0; *at += 2) name += char(c);
    *at += 2;
    return name;
}

int TypeNumber(const std::string& id) { return std::atoi(id.c_str()); }

std::map<ResourceKey, std::vector<uint8_t>> ParseRes(const std::vector<uint8_t>& b) {
    std::map<ResourceKey, std::vector<uint8_t>> resources;
    size_t at = 0;
    while (at + 32 <= b.size()) {
        uint32_t dataSize = Le(b, at, 4), headerSize = Le(b, at + 4, 4);
        size_t field = at + 8;
        std::string type = IdAt(b, &field);
        std::string name = IdAt(b, &field);
        size_t data = at + headerSize;
        if (dataSize) resources[{TypeNumber(type), name}] =
            std::vector<uint8_t>(b.begin() + long(data), b.begin() + long(data + dataSize));
        at = (data + dataSize + 3) & ~size_t(3);
    }
    return resources;
}

std::vector<uint8_t> Utf16(const std::string& text) {
    std::vector<uint8_t> wide;
    for (char c : text) {
        wide.push_back(uint8_t(c));
        wide.push_back(0);
    }
    return wide;
}

bool Contains(const std::vector<uint8_t>& haystack, const std::vector<uint8_t>& needle) {
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

TEST(ResourceScript, WindresBuildsEveryResourceFromIt) {
    if (std::string(PACKER_WINDRES).empty()) GTEST_SKIP() << "no windres on this machine";
    std::string scratch = ScratchFolder();
    // Blanks and double quotes in the output folder must survive the script.
    std::string out = scratch + "/out \"packed\"";
    WriteFile(scratch + "/gone.exe", "MZ stand-in for the uninstaller");
    packer::ProductDescription d;
    std::vector<packer::Diagnostic> problems;
    ASSERT_TRUE(packer::ReadDescriptionFile(PACKER_TINY_PRODUCT, {{"uninstaller", scratch + "/gone.exe"}}, &d,
                                            &problems));
    packer::Package package;
    ASSERT_TRUE(packer::PackProduct(d, out, &package, &problems));
    std::string error;
    ASSERT_TRUE(packer::WriteOutputs(out, package.files, &error)) << error;

    // windres hands its include folders to the preprocessor through a shell,
    // so they get a plain name; the script itself names the files in `out`.
    ASSERT_EQ(Shell("ln -s 'out \"packed\"' '" + scratch + "/include'"), 0);
    std::string res = scratch + "/setup.res";
    std::string command = std::string("'") + PACKER_WINDRES + "' -I '" + scratch + "/include' -I '" +
                          PACKER_RESOURCES + "' -O res -o '" + res + "' '" + PACKER_RESOURCES +
                          "/cratewise.rc' 2>'" + scratch + "/log'";
    ASSERT_EQ(Shell(command), 0) << ReadBytes(scratch + "/log").size() << " bytes of complaints in "
                               << scratch << "/log";
    auto resources = ParseRes(ReadBytes(res));

    for (size_t i = 0; i < d.rows.size(); ++i) {
        auto found = resources.find({RtRcdata, packer::UpperCase(d.rows[i].resourceName)});
        ASSERT_NE(found, resources.end()) << d.rows[i].resourceName;
        EXPECT_EQ(found->second, ReadBytes(out + "/" + packer::PayloadFileName(d.rows[i])));
        EXPECT_EQ(found->second.size(), package.sizes[i].stored);
    }
    const ResourceKey agreement = {RtRcdata, "AGREEMENT"};
    ASSERT_TRUE(resources.count(agreement));
    EXPECT_EQ(resources[agreement], ReadBytes(out + "/agreement.txt"));
    EXPECT_TRUE(resources.count({RtGroupIcon, "100"}));
    const char* bitmaps[][2] = {{"200", "page.bmp"}, {"201", "group.bmp"}, {"202", "header.bmp"}};
    for (auto& bitmap : bitmaps) {
        std::vector<uint8_t> file = ReadBytes(out + "/" + bitmap[1]);
        const ResourceKey key = {RtBitmap, bitmap[0]};
        ASSERT_TRUE(resources.count(key)) << bitmap[0];
        EXPECT_EQ(resources[key], std::vector<uint8_t>(file.begin() + 14, file.end()));
    }
    const ResourceKey copyPage = {RtDialog, "1004"};
    ASSERT_TRUE(resources.count(copyPage));
    std::string notice;
    for (size_t i = 0; i < d.notice.size(); ++i) notice += (i ? "\n" : "") + d.notice[i];
    EXPECT_TRUE(Contains(resources[copyPage], Utf16(notice))) << "the copy page lacks the notice";
}

}  // namespace
