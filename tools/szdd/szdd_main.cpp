// szdd <input> <output> [--name FILENAME]
//
// Compresses <input> into an SZDD file, checks it through libmspack, and only
// then puts it in place of <output> (temporary file + rename), so a failed
// run never leaves a partial or unchecked output behind.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "szdd.h"
#include "szdd_verify.h"

namespace {

const char kUsage[] =
    "usage: szdd <input> <output> [--name FILENAME]\n"
    "  Compresses <input> to SZDD. The header's lost character is the last\n"
    "  character of FILENAME (the installed name), else of <input>'s name.\n";

struct Options {
    std::string input;
    std::string output;
    std::string name;
    bool haveName = false;
};

bool Fail(const std::string& message) {
    std::fprintf(stderr, "szdd: %s\n", message.c_str());
    return false;
}

std::string SystemError(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

// 0 on success, 2 on a usage error (message printed), 1 for help shown.
int ParseArgs(int argc, char** argv, Options* options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsage, stdout);
            return 1;
        }
        if (arg == "--name") {
            if (i + 1 >= argc) {
                Fail("--name needs a file name");
                return 2;
            }
            options->name = argv[++i];
            options->haveName = true;
        } else if (arg.rfind("--name=", 0) == 0) {
            options->name = arg.substr(7);
            options->haveName = true;
        } else if (arg == "--") {
            for (++i; i < argc; ++i) positional.push_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            Fail("unknown option '" + arg + "'");
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        Fail("expected an input and an output file");
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options->haveName && options->name.empty()) {
        Fail("--name must not be empty");
        return 2;
    }
    options->input = positional[0];
    options->output = positional[1];
    return 0;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(SystemError("cannot open", path));
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return Fail("'" + path + "' is not a regular file");
    }
    data->clear();
    data->reserve(size_t(st.st_size));
    uint8_t buffer[1 << 16];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            std::string message = SystemError("cannot read", path);
            close(fd);
            return Fail(message);
        }
        if (n == 0) break;
        data->insert(data->end(), buffer, buffer + n);
    }
    close(fd);
    return true;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

bool WriteAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp = DirName(path) + "/." + BaseName(path) + ".XXXXXX";
    std::vector<char> pattern(temp.begin(), temp.end());
    pattern.push_back('\0');
    int fd = mkstemp(pattern.data());
    if (fd < 0) return Fail(SystemError("cannot create a temporary file for", path));
    temp = pattern.data();

    mode_t mask = umask(0);
    umask(mask);
    bool ok = fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    std::string message = ok ? "" : SystemError("cannot write", temp);
    if (close(fd) != 0 && ok) {
        ok = false;
        message = SystemError("cannot write", temp);
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        message = SystemError("cannot rename the temporary file to", path);
    }
    if (!ok) {
        unlink(temp.c_str());
        return Fail(message);
    }
    return true;
}

bool Run(const Options& options) {
    std::vector<uint8_t> original;
    if (!ReadWholeFile(options.input, &original)) return false;

    const std::string name = options.haveName ? options.name : BaseName(options.input);
    std::vector<uint8_t> packed = SzddCompress(original.data(), original.size(), SzddLostChar(name));

    std::string error;
    if (!SzddVerifyWithMspack(packed, original, &error))
        return Fail("check of the compressed '" + options.input + "' failed, nothing written: " + error);
    return WriteAtomically(options.output, packed);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int parsed = ParseArgs(argc, argv, &options);
    if (parsed == 1) return 0;
    if (parsed != 0) return 2;
    try {
        return Run(options) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        Fail("out of memory compressing '" + options.input + "'");
    } catch (const std::exception& e) {
        Fail("'" + options.input + "': " + e.what());
    }
    return 1;
}
