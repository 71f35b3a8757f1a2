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

#include "new_file.h"
#include "szdd.h"
#include "szdd_verify.h"

namespace {

const char UsageText[] = "usage: szdd <input> <output> [--name FILENAME]\n"
                         "  Compresses <input> to SZDD. The header's lost character is the last\n"
                         "  character of FILENAME (the installed name), else of <input>'s name.\n";

struct Options {
    std::string input;
    std::string output;
    std::string name;
    bool haveName = false;
};

bool Fail(const std::string& message)
{
    std::fprintf(stderr, "szdd: %s\n", message.c_str());
    return false;
}

using hostfiles::SystemError;

int ParseArgs(int argc, char** argv, Options* options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::fputs(UsageText, stdout);
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
            for (++i; i < argc; ++i)
                positional.push_back(argv[i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            Fail("unknown option '" + arg + "'");
            return 2;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        Fail("expected an input and an output file");
        std::fputs(UsageText, stderr);
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

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* data)
{
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Fail(SystemError("cannot open", path));
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
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::string message = SystemError("cannot read", path);
            close(fd);
            return Fail(message);
        }
        if (n == 0)
            break;
        data->insert(data->end(), buffer, buffer + n);
    }
    close(fd);
    return true;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteAtomically(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::string temp, error;
    if (!hostfiles::WriteTemporary(path, DirName(path) + "/." + BaseName(path) + ".XXXXXX", bytes,
                                   true, &temp, &error))
        return Fail(error);
    if (rename(temp.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot rename the temporary file to", path);
        unlink(temp.c_str());
        return Fail(error);
    }
    return true;
}

bool Run(const Options& options)
{
    std::vector<uint8_t> original;
    if (!ReadWholeFile(options.input, &original))
        return false;

    const std::string name = options.haveName ? options.name : BaseName(options.input);
    std::vector<uint8_t> packed = SzddCompress(original.data(), original.size(),
                                               SzddLostChar(name));

    std::string error;
    if (!SzddVerifyWithMspack(packed, original, &error))
        return Fail("check of the compressed '" + options.input +
                    "' failed, nothing written: " + error);
    return WriteAtomically(options.output, packed);
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    int parsed = ParseArgs(argc, argv, &options);
    if (parsed == 1)
        return 0;
    if (parsed != 0)
        return 2;
    try {
        return Run(options) ? 0 : 1;
    } catch (const std::bad_alloc&) {
        Fail("out of memory compressing '" + options.input + "'");
    } catch (const std::exception& e) {
        Fail("'" + options.input + "': " + e.what());
    }
    return 1;
}
