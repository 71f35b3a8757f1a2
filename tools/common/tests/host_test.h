// What the tools' tests do with the host: run a command, read a file back.
#ifndef CRATEWISE_HOST_TEST_H
#define CRATEWISE_HOST_TEST_H

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

// The command's exit status, run by the shell.
inline int Shell(const std::string& command) { return WEXITSTATUS(std::system(command.c_str())); }

// The file's bytes, as text or as a byte vector; empty when it cannot be read.
template <typename T = std::string>
T ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return T(std::istreambuf_iterator<char>(in), {});
}

#endif
