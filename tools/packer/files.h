// The packer's file access: probing and reading inputs, and putting a set of
// outputs in place so that a failed run leaves none of them half written.
#ifndef CRATEWISE_PACKER_FILES_H
#define CRATEWISE_PACKER_FILES_H

#include <cstdint>
#include <string>
#include <vector>

namespace packer {

enum class FileStatus { Readable, Missing, NotAFile, Unreadable };

// Whether `path` is a regular file that can be opened for reading, and its size.
FileStatus ProbeFile(const std::string& path, uint64_t* size, std::string* error);

// Reads at most `count` bytes from the start of the file.
bool ReadFilePrefix(const std::string& path, size_t count, std::vector<uint8_t>* bytes,
                    std::string* error);

// Reads the whole file; refuses files larger than `limit` bytes.
bool ReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>* bytes,
                   std::string* error);

// The absolute path of `path` (relative to the working folder), and the
// absolute folder of a file.
std::string AbsolutePath(const std::string& path);
std::string AbsoluteFolderOf(const std::string& file);

struct OutputFile {
    std::string name;  // relative to the output folder
    std::vector<uint8_t> bytes;
};

// Writes every file under a temporary name beside its final one, and
// renames them into place, in the order given, only once all are written:
// a run that fails while writing changes none of the earlier outputs, and
// no output is ever half written. Put the files that name the others last.
bool WriteOutputs(const std::string& folder, const std::vector<OutputFile>& files,
                  std::string* error);

}  // namespace packer

#endif
