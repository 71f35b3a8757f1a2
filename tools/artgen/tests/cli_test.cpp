// The artgen command line: exit codes, messages, and what is left on disk.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "artwork.h"

namespace {

namespace fs = std::filesystem;

const char kGood[] = "bitmap 4 2 4\npalette\n  vga\nend\nfill red\ndot 0 0 white\n";

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs artgen with `arguments`, "%D" in them (and in the expected message)
// standing for a fresh folder holding good.art, bad.art, big.art and out.bmp.
// A failed run must leave out.bmp as it was and nothing beside it.
void ExpectRun(const std::string& arguments, int exitCode, const std::string& message) {
  SCOPED_TRACE(arguments);
  const fs::path dir = fs::path(ARTGEN_TEST_SCRATCH) / "cli";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "good.art") << kGood;
  std::ofstream(dir / "bad.art") << "bitmap 4 2 4\npalette\n  vga\nend\nfil red\n";
  std::ofstream(dir / "big.art") << kGood + std::string(1 << 20, '\n');
  std::ofstream(dir / "out.bmp") << "previous";
  const auto expand = [&](std::string s) {
    for (size_t at; (at = s.find("%D")) != std::string::npos;) s.replace(at, 2, dir.string());
    return s;
  };
  const int status = std::system((std::string(ARTGEN_EXE) + " " + expand(arguments) + " 2>" +
                                  (dir / "stderr").string()).c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), exitCode);
  EXPECT_EQ(ReadText(dir / "stderr"), expand(message));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 5);
  if (exitCode == 0) {
    artgen::Artwork art;
    std::string error;
    ASSERT_TRUE(artgen::CompileArtwork(kGood, "good.art", &art, &error));
    const std::vector<uint8_t> expected = artgen::EncodeArtwork(art);
    EXPECT_EQ(ReadText(dir / "out.bmp"), std::string(expected.begin(), expected.end()));
  } else {
    EXPECT_EQ(ReadText(dir / "out.bmp"), "previous");
  }
}

TEST(CommandLine, WritesTheEncodedFileOrFailsWithACodeAndAMessage) {
  const std::string usage = "usage: artgen <source> <output>\n";
  ExpectRun("%D/good.art %D/out.bmp", 0, "");
  ExpectRun("%D/bad.art %D/out.bmp", 1, "%D/bad.art:5: unknown command 'fil'\n");
  ExpectRun("", 2, usage);
  ExpectRun("%D/good.art %D/out.bmp extra", 2, usage);
  ExpectRun("%D/missing.art %D/out.bmp", 2, "artgen: cannot open '%D/missing.art': No such file or directory\n");
  ExpectRun("%D/big.art %D/out.bmp", 2, "artgen: '%D/big.art' is larger than 1 MiB\n");
  ExpectRun("%D/good.art %D/none/x.bmp", 2,
            "artgen: cannot create '%D/none/x.bmp.part': No such file or directory\n");
}

}  // namespace
