// The product's texts are shown by an edit control and by Notepad, which
// need CR LF line ends and short lines; editors and checkouts tend to
// break exactly that.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace {

struct TextFile {
    const char* Name;
    bool EndsWithEmptyLine;
    const char* MustHold;
};

void PrintTo(const TextFile& f, std::ostream* os) { *os << f.Name; }

class TextForm : public ::testing::TestWithParam<TextFile> {};

TEST_P(TextForm, IsPrintableAsciiWithCrLfAndShortLines) {
    const TextFile& file = GetParam();
    std::ifstream in(std::string(PELLOMARK_TEXT_DIR) + "/" + file.Name, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_GE(text.size(), 2u) << file.Name;
    std::size_t line = 1, column = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            ASSERT_EQ(text.compare(i, 2, "\r\n"), 0) << file.Name << ": lone CR on line " << line;
            ++i;
            ++line;
            column = 0;
            continue;
        }
        ASSERT_TRUE(c >= 0x20 && c < 0x7f) << file.Name << ": byte " << int(c) << " on line " << line;
        ASSERT_LE(++column, 78u) << file.Name << ": line " << line << " is too long";
    }
    EXPECT_EQ(text.compare(text.size() - 2, 2, "\r\n"), 0) << file.Name << " must end its last line";
    const bool emptyLast = text.size() >= 4 && text.compare(text.size() - 4, 4, "\r\n\r\n") == 0;
    EXPECT_EQ(emptyLast, file.EndsWithEmptyLine) << file.Name;
    const bool twoEmpty = text.size() >= 6 && text.compare(text.size() - 6, 6, "\r\n\r\n\r\n") == 0;
    EXPECT_FALSE(twoEmpty) << file.Name << " must end with at most one empty line";
    EXPECT_NE(text.find(file.MustHold), std::string::npos) << file.Name;
}

const TextFile Files[] = {
    {"agreement.txt", true, "\"I Disagree\""},  // the refuse button, named in the text
    {"read_me.txt", false, ""},
    {"help.txt", false, ""},
};

INSTANTIATE_TEST_SUITE_P(Product, TextForm, ::testing::ValuesIn(Files));

}  // namespace
