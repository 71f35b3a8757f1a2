#include "files.h"

#include "new_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace packer {

namespace {

using hostfiles::SystemError;

bool MakeFolders(const std::string& folder, std::string* error)
{
    for (size_t at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        std::string part = folder.substr(0, at);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            *error = SystemError("cannot create the folder", part);
            return false;
        }
    }
    struct stat st;
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = "'" + folder + "' is not a folder";
        return false;
    }
    return true;
}

}  // namespace

FileStatus ProbeFile(const std::string& path, uint64_t* size, std::string* error)
{
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        *error = std::strerror(errno);
        return errno == ENOENT || errno == ENOTDIR ? FileStatus::Missing : FileStatus::Unreadable;
    }
    if (!S_ISREG(st.st_mode))
        return FileStatus::NotAFile;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = std::strerror(errno);
        return FileStatus::Unreadable;
    }
    close(fd);
    *size = uint64_t(st.st_size);
    return FileStatus::Readable;
}

bool ReadFilePrefix(const std::string& path, size_t count, std::vector<uint8_t>* bytes,
                    std::string* error)
{
    bytes->clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = SystemError("cannot open", path);
        return false;
    }
    uint8_t buffer[1 << 16];
    while (bytes->size() < count) {
        size_t want = std::min(sizeof buffer, count - bytes->size());
        ssize_t n = read(fd, buffer, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            *error = SystemError("cannot read", path);
            close(fd);
            return false;
        }
        if (n == 0)
            break;
        bytes->insert(bytes->end(), buffer, buffer + n);
    }
    close(fd);
    return true;
}

bool ReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>* bytes,
                   std::string* error)
{
    uint64_t size = 0;
    switch (ProbeFile(path, &size, error)) {
    case FileStatus::Readable:
        break;
    case FileStatus::Missing:
        *error = "'" + path + "' does not exist";
        return false;
    case FileStatus::NotAFile:
        *error = "'" + path + "' is not a file";
        return false;
    case FileStatus::Unreadable:
        *error = "cannot read '" + path + "': " + *error;
        return false;
    }
    if (size > limit) {
        *error = "'" + path + "' has " + std::to_string(size) + " bytes, more than the " +
                 std::to_string(limit) + " allowed";
        return false;
    }
    // One byte past the limit shows a file that grew since it was probed.
    if (!ReadFilePrefix(path, size_t(limit) + 1, bytes, error))
        return false;
    if (bytes->size() > limit) {
        *error = "'" + path + "' grew past " + std::to_string(limit) + " bytes while it was read";
        return false;
    }
    return true;
}

std::string AbsolutePath(const std::string& path)
{
    if (!path.empty() && path[0] == '/')
        return path;
    std::vector<char> buffer(4096);
    while (!getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return path;
        buffer.resize(buffer.size() * 2);
    }
    std::string folder = buffer.data();
    if (path.empty() || path == ".")
        return folder;
    std::string relative = path.compare(0, 2, "./") == 0 ? path.substr(2) : path;
    return folder == "/" ? "/" + relative : folder + "/" + relative;
}

std::string AbsoluteFolderOf(const std::string& file)
{
    std::string absolute = AbsolutePath(file);
    size_t slash = absolute.find_last_of('/');
    return slash == 0 ? "/" : absolute.substr(0, slash);
}

bool WriteOutputs(const std::string& folder, const std::vector<OutputFile>& files,
                  std::string* error)
{
    if (!MakeFolders(folder, error))
        return false;
    std::vector<std::string> temps;
    bool ok = true;
    for (const OutputFile& file : files) {
        std::string path = folder + "/" + file.name, temp;
        if (!hostfiles::WriteTemporary(path, path + ".XXXXXX", file.bytes, false, &temp, error)) {
            ok = false;
            break;
        }
        temps.push_back(temp);
    }
    for (size_t i = 0; ok && i < temps.size(); ++i) {
        std::string path = folder + "/" + files[i].name;
        if (rename(temps[i].c_str(), path.c_str()) != 0) {
            *error = SystemError("cannot rename the temporary file to", path);
            ok = false;
        } else {
            temps[i].clear();
        }
    }
    for (const std::string& temp : temps)
        if (!temp.empty())
            unlink(temp.c_str());
    return ok;
}

}  // namespace packer
