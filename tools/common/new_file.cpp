#include "new_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace hostfiles {

namespace {

bool WriteAll(int fd, const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

std::string SystemError(const std::string& what, const std::string& path)
{
    return what + " '" + path + "': " + std::strerror(errno);
}

bool WriteTemporary(const std::string& path, const std::string& pattern,
                    const std::vector<uint8_t>& bytes, bool durable, std::string* temp,
                    std::string* error)
{
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int fd = mkstemp(name.data());
    if (fd < 0) {
        *error = SystemError("cannot create a temporary file for", path);
        return false;
    }
    *temp = name.data();
    mode_t mask = umask(0);
    umask(mask);
    bool ok = fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, bytes) && (!durable || fsync(fd) == 0);
    if (!ok)
        *error = SystemError("cannot write", *temp);
    if (close(fd) != 0 && ok) {
        ok = false;
        *error = SystemError("cannot write", *temp);
    }
    if (!ok)
        unlink(temp->c_str());
    return ok;
}

}  // namespace hostfiles
