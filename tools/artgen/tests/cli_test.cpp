// The artgen command line: exit codes, messages, and what is left on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "artwork.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using artgen_test::Quoted;
using artgen_test::ReadBytes;
using artgen_test::RunArtgen;
using artgen_test::WriteText;

const char kGood[] = "bitmap 4 2 4\npalette\n  vga\nend\nfill red\ndot 0 0 white\n";

TEST(CommandLine, WritesTheSameFileAsTheLibraryEncodes) {
  const fs::path dir = artgen_test::ScratchDir();
  WriteText(dir / "a.art", kGood);
  const auto run = RunArtgen(Quoted(dir / "a.art") + " " + Quoted(dir / "a.bmp"), dir);
  EXPECT_EQ(run.exitCode, 0) << run.errors;
  EXPECT_EQ(run.errors, "");
  artgen::Artwork art;
  std::string error;
  ASSERT_TRUE(artgen::CompileArtwork(kGood, "a.art", &art, &error)) << error;
  EXPECT_EQ(ReadBytes(dir / "a.bmp"), artgen::EncodeArtwork(art));
  EXPECT_FALSE(fs::exists(dir / "a.bmp.part"));
}

TEST(CommandLine, ABadSourceNamesFileAndLineAndLeavesTheOldOutput) {
  const fs::path dir = artgen_test::ScratchDir();
  WriteText(dir / "bad.art", "bitmap 4 2 4\npalette\n  vga\nend\nfil red\n");
  WriteText(dir / "out.bmp", "previous");
  const auto run = RunArtgen(Quoted(dir / "bad.art") + " " + Quoted(dir / "out.bmp"), dir);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.errors, (dir / "bad.art").string() + ":5: unknown command 'fil'\n");
  EXPECT_EQ(artgen_test::ReadText(dir / "out.bmp"), "previous");
  EXPECT_FALSE(fs::exists(dir / "out.bmp.part"));
}

struct Failure {
  const char* name;
  const char* arguments;  // %D stands for the scratch folder
  int exitCode;
  const char* message;
  friend void PrintTo(const Failure& c, std::ostream* os) { *os << c.name; }
};

class CommandLineFails : public testing::TestWithParam<Failure> {};

TEST_P(CommandLineFails, WithACodeAndAMessage) {
  const fs::path dir = artgen_test::ScratchDir();
  WriteText(dir / "good.art", kGood);
  std::string arguments = GetParam().arguments;
  for (size_t at; (at = arguments.find("%D")) != std::string::npos;) {
    arguments.replace(at, 2, dir.string());
  }
  const auto run = RunArtgen(arguments, dir);
  EXPECT_EQ(run.exitCode, GetParam().exitCode);
  EXPECT_NE(run.errors.find(GetParam().message), std::string::npos) << run.errors;
  EXPECT_FALSE(fs::exists(dir / "none" / "x.bmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineFails,
    testing::Values(
        Failure{"NoArguments", "", 2, "usage: artgen <source> <output>"},
        Failure{"OneArgument", "'%D/good.art'", 2, "usage: artgen <source> <output>"},
        Failure{"ThreeArguments", "'%D/good.art' '%D/a.bmp' extra", 2, "usage:"},
        Failure{"MissingSource", "'%D/missing.art' '%D/x.bmp'", 2,
                "artgen: cannot open '"},
        Failure{"SourceIsAFolder", "'%D' '%D/x.bmp'", 2, "artgen: cannot read '"},
        Failure{"NoOutputFolder", "'%D/good.art' '%D/none/x.bmp'", 2,
                "artgen: cannot create '"}),
    [](const testing::TestParamInfo<Failure>& info) { return info.param.name; });

TEST(CommandLine, RefusesASourceOverOneMebibyte) {
  const fs::path dir = artgen_test::ScratchDir();
  std::string big = kGood;
  big += std::string(1 << 20, '\n');
  WriteText(dir / "big.art", big);
  const auto run = RunArtgen(Quoted(dir / "big.art") + " " + Quoted(dir / "big.bmp"), dir);
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_NE(run.errors.find("is larger than 1 MiB"), std::string::npos) << run.errors;
  EXPECT_FALSE(fs::exists(dir / "big.bmp"));
}

}  // namespace
