// Writing a file so that nobody ever sees it half written: the bytes go to a
// new temporary file beside it, which the caller renames into place.
#ifndef CRATEWISE_NEW_FILE_H
#define CRATEWISE_NEW_FILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace hostfiles {

// "<what> '<path>': <the system's reason>", from errno.
std::string SystemError(const std::string& what, const std::string& path);

// Makes a new file from `pattern` (ending in XXXXXX) with the mode a plain
// creation would give it, writes all of `bytes` (through to the disk if
// `durable`) and closes it; its name goes to *temp. On failure nothing is
// left behind and *error names `path`, the file it was meant to become.
bool WriteTemporary(const std::string& path, const std::string& pattern,
                    const std::vector<uint8_t>& bytes, bool durable, std::string* temp,
                    std::string* error);

}  // namespace hostfiles

#endif
