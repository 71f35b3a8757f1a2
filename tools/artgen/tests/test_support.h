// Helpers shared by the artgen tests: little-endian reading, running the
// artgen executable, and a scratch folder per test.
#ifndef ARTGEN_TEST_SUPPORT_H
#define ARTGEN_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace artgen_test {

inline uint32_t U16(const std::vector<uint8_t>& b, size_t at) {
  return b.at(at) | (b.at(at + 1) << 8);
}

inline uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}

inline int32_t S32(const std::vector<uint8_t>& b, size_t at) {
  return static_cast<int32_t>(U32(b, at));
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// An empty folder of its own for the running test.
inline std::filesystem::path ScratchDir() {
  const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  const std::filesystem::path dir = std::filesystem::path(ARTGEN_TEST_SCRATCH) / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

struct RunResult {
  int exitCode = -1;
  std::string errors;
};

// Runs artgen with the given arguments (already quoted as needed) and
// collects its exit code and what it wrote to stderr.
inline RunResult RunArtgen(const std::string& arguments,
                           const std::filesystem::path& scratch) {
  const std::filesystem::path errors = scratch / "stderr.txt";
  const std::string command = std::string("'") + ARTGEN_EXE + "' " + arguments +
                              " 2>'" + errors.string() + "'";
  const int status = std::system(command.c_str());
  RunResult result;
  if (status != -1 && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  result.errors = ReadText(errors);
  return result;
}

inline std::string Quoted(const std::filesystem::path& path) {
  return "'" + path.string() + "'";
}

}  // namespace artgen_test

#endif
