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

// Runs artgen with `arguments` in a fresh folder holding good.art, bad.art,
// big.art and out.bmp. A failed run must leave out.bmp as it was and nothing
// beside it.
void ExpectRun(const std::string& arguments, int exitCode, const std::string& message) {
  SCOPED_TRACE(arguments);
  const fs::path dir = fs::path(ARTGEN_TEST_SCRATCH) / "cli";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "good.art") << kGood;
  std::ofstream(dir / "bad.art") << "bitmap 4 2 4\npalette\n  vga\nend\nfil red\n";
  std::ofstream(dir / "big.art") << kGood + std::string(1 << 20, '\n');
  std::ofstream(dir / "out.bmp") << "previous";
  const std::string command = "cd '" + dir.string() + "' && '" ARTGEN_EXE "' " + arguments + " 2>stderr";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), exitCode);
  EXPECT_EQ(ReadText(dir / "stderr"), message);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 5);
  artgen::Artwork art;
  std::string error;
  ASSERT_TRUE(artgen::CompileArtwork(kGood, "good.art", &art, &error));
  const std::vector<uint8_t> encoded = artgen::EncodeArtwork(art);
  EXPECT_EQ(ReadText(dir / "out.bmp"), exitCode ? "previous" : std::string(encoded.begin(), encoded.end()));
}

TEST(CommandLine, WritesTheEncodedFileOrFailsWithACodeAndAMessage) {
  const std::string usage = "usage: artgen <source> <output>\n";
  ExpectRun("good.art out.bmp", 0, "");
  ExpectRun("bad.art out.bmp", 1, "bad.art:5: unknown command 'fil'\n");
  ExpectRun("", 2, usage);
  ExpectRun("good.art out.bmp extra", 2, usage);
  ExpectRun("missing.art out.bmp", 2, "artgen: cannot open 'missing.art': No such file or directory\n");
  ExpectRun(". out.bmp", 2, "artgen: cannot read '.'\n");
  ExpectRun("big.art out.bmp", 2, "artgen: 'big.art' is larger than 1 MiB\n");
  ExpectRun("good.art none/x.bmp", 2, "artgen: cannot create 'none/x.bmp.part': No such file or directory\n");
}

}  // namespace
