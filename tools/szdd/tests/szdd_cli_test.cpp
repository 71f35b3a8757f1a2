// The command-line tool: what it writes, and that failures leave nothing behind.
#include <gtest/gtest.h>

#include "szdd.h"
#include "test_support.h"

namespace {

// Runs the tool in a folder holding in.exe and an earlier out.ex_; "@" in
// `args` stands for the folder. Returns the exit status and stderr.
std::pair<int, std::string> RunCli(const TempDir& dir, std::string args) {
    for (size_t at; (at = args.find('@')) != std::string::npos;) args.replace(at, 1, dir.path.string());
    const int status = RunCommand(SZDD_CLI " " + args + " 2>'" + dir.File("stderr") + "'");
    const Bytes err = ReadFile(dir.File("stderr"));
    std::filesystem::remove(dir.File("stderr"));
    return {status, std::string(err.begin(), err.end())};
}

TEST(SzddCli, CompressesWithTheLostCharacterOfTheNameAndReplacesTheOutput) {
    std::mt19937 rng(5);
    const Bytes data = Mixture(rng, 50000);
    const std::pair<const char*, uint8_t> cases[] = {
        {"@/Quodpost.exe @/out.ex_", 'e'}, {"@/Quodpost.exe @/out.ex_ --name Quodpost.hlp", 'p'},
        {"@/Quodpost.exe @/out.ex_ --name=README", 'E'}, {"@/Program @/out.ex_", 'm'}};
    for (const auto& [args, lost] : cases) {
        TempDir dir;
        WriteFile(dir.File("Quodpost.exe"), data);
        WriteFile(dir.File("Program"), data);
        WriteFile(dir.File("out.ex_"), FromString("previous"));
        EXPECT_EQ(RunCli(dir, args), std::make_pair(0, std::string()));
        const Bytes szdd = ReadFile(dir.File("out.ex_"));
        EXPECT_TRUE(szdd == SzddCompress(data.data(), data.size(), lost)) << args;
        EXPECT_TRUE(ExpandWithMsexpand(szdd) == data) << args;
    }
}

TEST(SzddCli, FailuresExitNonZeroAndWriteNothing) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"@/absent.exe @/out.ex_", 1, "cannot open"},
        {"@ @/out.ex_", 1, "not a regular file"},
        {"@/in.exe @/nowhere/out.ex_", 1, "temporary file"},
        {"", 2, "expected an input and an output"},
        {"@/in.exe", 2, "expected an input and an output"},
        {"@/in.exe @/out.ex_ --name", 2, "--name needs"},
        {"@/in.exe @/out.ex_ --name=", 2, "must not be empty"},
        {"@/in.exe @/out.ex_ --fast", 2, "unknown option"},
    };
    for (const auto& [args, status, message] : cases) {
        TempDir dir;
        WriteFile(dir.File("in.exe"), FromString("input input input input"));
        WriteFile(dir.File("out.ex_"), FromString("previous"));
        const auto [exitStatus, errors] = RunCli(dir, args);
        EXPECT_EQ(exitStatus, status) << args;
        EXPECT_NE(errors.find(message), std::string::npos) << errors;
        EXPECT_TRUE(ReadFile(dir.File("out.ex_")) == FromString("previous")) << args;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 2) << "a stray file from " << args;
    }
}

}  // namespace
