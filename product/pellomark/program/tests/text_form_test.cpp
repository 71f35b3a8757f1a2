// The product's texts are shown by an edit control and by Notepad, which
// need CR LF line ends and short lines; editors and checkouts tend to
// break exactly that.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

const std::size_t MaxLine = 78;

struct TextFile {
    const char* Name;
    bool EndsWithEmptyLine;
};

bool ReadAll(const std::string& path, std::string& out) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char chunk[4096];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out.append(chunk, n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

void PrintTo(const TextFile& f, std::ostream* os) { *os << f.Name; }

class TextForm : public ::testing::TestWithParam<TextFile> {};

TEST_P(TextForm, IsPrintableAsciiWithCrLfAndShortLines) {
    const TextFile& file = GetParam();
    std::string text;
    ASSERT_TRUE(ReadAll(std::string(PELLOMARK_TEXT_DIR) + "/" + file.Name, text)) << file.Name;
    ASSERT_FALSE(text.empty()) << file.Name;

    std::size_t line = 1;
    std::size_t column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n')
                << file.Name << ": lone CR on line " << line;
            ++i;
            ++line;
            column = 0;
            continue;
        }
        ASSERT_NE(c, '\n') << file.Name << ": LF without CR on line " << line;
        ASSERT_TRUE(c >= 0x20 && c < 0x7f)
            << file.Name << ": byte " << static_cast<int>(c) << " on line " << line;
        ++column;
        ASSERT_LE(column, MaxLine) << file.Name << ": line " << line << " is too long";
    }
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << file.Name << " must end its last line";
    const bool emptyLast = text.size() >= 4 && text.substr(text.size() - 4) == "\r\n\r\n";
    EXPECT_EQ(emptyLast, file.EndsWithEmptyLine) << file.Name;
    const bool twoEmpty = text.size() >= 6 && text.compare(text.size() - 6, 6, "\r\n\r\n\r\n") == 0;
    EXPECT_FALSE(twoEmpty) << file.Name << " must end with at most one empty line";
}

const TextFile Files[] = {
    {"agreement.txt", true},
    {"read_me.txt", false},
    {"help.txt", false},
};

INSTANTIATE_TEST_SUITE_P(Product, TextForm, ::testing::ValuesIn(Files));

TEST(Agreement, NamesTheRefuseButton) {
    std::string text;
    ASSERT_TRUE(ReadAll(std::string(PELLOMARK_TEXT_DIR) + "/agreement.txt", text));
    EXPECT_NE(text.find("\"I Disagree\""), std::string::npos);
}

}  // namespace
