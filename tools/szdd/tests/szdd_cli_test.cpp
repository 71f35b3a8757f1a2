// The command-line tool: what it writes, and that failures leave nothing behind.
#include <gtest/gtest.h>

#include <random>

#include "szdd.h"
#include "test_support.h"

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

int RunCli(const std::string& args, const TempDir& dir) {
    return RunCommand(std::string(SZDD_CLI) + " " + args + " >" + Quote(dir.File("stdout.txt")) + " 2>" +
                      Quote(dir.File("stderr.txt")));
}

std::string Stderr(const TempDir& dir) {
    Bytes text;
    ReadFile(dir.File("stderr.txt"), &text);
    return std::string(text.begin(), text.end());
}

TEST(SzddCli, CompressesWithTheLostCharacterOfTheName) {
    std::mt19937 rng(5);
    const Bytes data = Mixture(rng, 50000);
    const struct {
        const char* inputName;
        const char* extraArgs;
        uint8_t lost;
    } cases[] = {
        {"Quodpost.exe", "", 'e'},
        {"payload.bin", "--name Quodpost.hlp", 'p'},
        {"payload.bin", "--name=README", 'E'},
        {"Program", "", 'm'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.inputName) + " " + c.extraArgs);
        TempDir dir;
        ASSERT_TRUE(WriteFile(dir.File(c.inputName), data));
        const std::string out = dir.File("stored.ex_");
        ASSERT_EQ(RunCli(Quote(dir.File(c.inputName)) + " " + Quote(out) + " " + c.extraArgs, dir), 0)
            << Stderr(dir);
        Bytes szdd, expanded;
        ASSERT_TRUE(ReadFile(out, &szdd));
        ASSERT_GE(szdd.size(), kSzddHeaderSize);
        EXPECT_EQ(szdd[9], c.lost);
        EXPECT_TRUE(szdd == SzddCompress(data.data(), data.size(), c.lost));
        std::string error;
        ASSERT_TRUE(ExpandWithMsexpand(szdd, &expanded, &error)) << error;
        EXPECT_TRUE(expanded == data);
    }
}

TEST(SzddCli, FailuresExitNonZeroAndWriteNothing) {
    const struct {
        const char* name;
        std::string args;  // {in}, {out} and {dir} are replaced
        int status;
        const char* message;
    } cases[] = {
        {"missing input", "{dir}/absent.exe {out}", 1, "cannot open"},
        {"input is a directory", "{dir} {out}", 1, "not a regular file"},
        {"output folder missing", "{in} {dir}/nowhere/out.ex_", 1, "temporary file"},
        {"no arguments", "", 2, "expected an input and an output"},
        {"one argument", "{in}", 2, "expected an input and an output"},
        {"--name without value", "{in} {out} --name", 2, "--name needs"},
        {"empty --name", "{in} {out} --name=", 2, "must not be empty"},
        {"unknown option", "{in} {out} --fast", 2, "unknown option"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const Bytes previous = FromString("previous contents");
        ASSERT_TRUE(WriteFile(dir.File("in.exe"), FromString("input input input input")));
        ASSERT_TRUE(WriteFile(dir.File("out.ex_"), previous));
        std::string args = c.args;
        for (auto [key, value] : {std::pair<std::string, std::string>{"{in}", dir.File("in.exe")},
                                  {"{out}", dir.File("out.ex_")},
                                  {"{dir}", dir.path()}}) {
            for (size_t at; (at = args.find(key)) != std::string::npos;) args.replace(at, key.size(), value);
        }
        EXPECT_EQ(RunCli(args, dir), c.status);
        EXPECT_NE(Stderr(dir).find(c.message), std::string::npos) << Stderr(dir);
        Bytes now;
        ASSERT_TRUE(ReadFile(dir.File("out.ex_"), &now));
        EXPECT_TRUE(now == previous) << "the old output was touched";
        EXPECT_EQ(ListDir(dir.path()),
                  (std::vector<std::string>{"in.exe", "out.ex_", "stderr.txt", "stdout.txt"}))
            << "a stray file was left behind";
    }
}

TEST(SzddCli, ReplacesAnExistingOutput) {
    TempDir dir;
    const Bytes data = FromString("new contents, new contents, new contents");
    ASSERT_TRUE(WriteFile(dir.File("a.txt"), data));
    ASSERT_TRUE(WriteFile(dir.File("a.tx_"), FromString("old")));
    ASSERT_EQ(RunCli(Quote(dir.File("a.txt")) + " " + Quote(dir.File("a.tx_")), dir), 0) << Stderr(dir);
    Bytes szdd;
    ASSERT_TRUE(ReadFile(dir.File("a.tx_"), &szdd));
    EXPECT_TRUE(szdd == SzddCompress(data.data(), data.size(), 't'));
}

}  // namespace
