// artgen <source> <output>: compiles an artwork source into a .bmp or .ico.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "artwork.h"

namespace {

constexpr long kMaxSourceBytes = 1 << 20;

bool ReadSource(const char* path, std::string* text, std::string* error) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) {
    *error = std::string("cannot open '") + path + "': " + std::strerror(errno);
    return false;
  }
  text->clear();
  char buffer[8192];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
    text->append(buffer, got);
    if (text->size() > static_cast<size_t>(kMaxSourceBytes)) {
      std::fclose(f);
      *error = std::string("'") + path + "' is larger than 1 MiB";
      return false;
    }
  }
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    *error = std::string("cannot read '") + path + "'";
    return false;
  }
  return true;
}

// Writes beside the output and renames over it, so a failed run never
// leaves a half-written file under the output's name.
bool WriteOutput(const std::string& path, const std::vector<uint8_t>& bytes,
                 std::string* error) {
  const std::string temp = path + ".part";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    *error = "cannot create '" + temp + "': " + std::strerror(errno);
    return false;
  }
  const bool written =
      std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed) {
    *error = "cannot write '" + temp + "'";
    std::remove(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    *error = "cannot rename '" + temp + "' to '" + path + "': " +
             std::strerror(errno);
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: artgen <source> <output>\n");
    return 2;
  }
  std::string text;
  std::string error;
  if (!ReadSource(argv[1], &text, &error)) {
    std::fprintf(stderr, "artgen: %s\n", error.c_str());
    return 2;
  }
  artgen::Artwork art;
  if (!artgen::CompileArtwork(text, argv[1], &art, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (!WriteOutput(argv[2], artgen::EncodeArtwork(art), &error)) {
    std::fprintf(stderr, "artgen: %s\n", error.c_str());
    return 2;
  }
  return 0;
}
