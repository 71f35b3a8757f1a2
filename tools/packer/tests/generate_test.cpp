// The literals of the generated texts survive both compilers, and the
// dependency list survives make and ninja.
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
    for (const char* text : {"tab\there", "cr\rhere", "del\x7fhere", "bell\ahere"}) {
        std::string rc;
        EXPECT_FALSE(packer::RcString(text, &rc)) << "a resource script takes no " << text;
    }
}

TEST(Depfile, EscapesWhatMakeAndNinjaWouldSplit) {
    std::string text, error;
    ASSERT_TRUE(packer::Depfile("/b/manifest.cpp", {"/src/a b.txt", "/src/c#d", "/src/$e"}, &text, &error));
    EXPECT_EQ(text, "/b/manifest.cpp: \\\n  /src/a\\ b.txt \\\n  /src/c\\#d \\\n  /src/$$e\n");
    EXPECT_FALSE(packer::Depfile("/b/manifest.cpp", {"/src/a\nb"}, &text, &error));
}

}  // namespace
