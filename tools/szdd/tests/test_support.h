// Shared helpers for the szdd tests: files, the msexpand subprocess and
// generated inputs.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A fresh directory of its own, removed with its files on destruction.
struct TempDir {
    std::filesystem::path path;
    TempDir() {
        std::string name = (std::filesystem::temp_directory_path() / "szdd-test-XXXXXX").string();
        path = mkdtemp(name.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

inline Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

// Exit status of a shell command, -1 if it did not exit.
inline int RunCommand(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Expands through the msexpand program (stdin to stdout); empty with a
// failure recorded if it fails.
inline Bytes ExpandWithMsexpand(const Bytes& szdd) {
    TempDir dir;
    WriteFile(dir.File("in"), szdd);
    const int status = RunCommand(SZDD_MSEXPAND " <'" + dir.File("in") + "' >'" + dir.File("out") + "' 2>/dev/null");
    EXPECT_EQ(status, 0) << "msexpand failed";
    return ReadFile(dir.File("out"));
}

template <typename F>
Bytes Generate(size_t size, F byteAt) {
    Bytes out(size);
    for (size_t i = 0; i < size; ++i) out[i] = uint8_t(byteAt(i));
    return out;
}

inline Bytes FromString(const std::string& s) { return Bytes(s.begin(), s.end()); }
inline Bytes Repeat(const Bytes& piece, size_t times) {
    return Generate(piece.size() * times, [&](size_t i) { return piece[i % piece.size()]; });
}
inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}
inline Bytes RandomBytes(std::mt19937& rng, size_t size) {
    return Generate(size, [&](size_t) { return rng(); });
}

inline Bytes Text(std::mt19937& rng, size_t size) {
    static const char* const kWords[] = {"the ", "setup ", "file ", "folder ", "copy ", "group ", "is ",
                                         "a ", "window ", "\r\n", "Setup.", "program ", "      ", "data, "};
    std::string s;
    while (s.size() < size) s += kWords[rng() % std::size(kWords)];
    return FromString(s.substr(0, size));
}

// Runs, words, random stretches and repeats of earlier pieces (some from
// just beyond the window), mixed.
inline Bytes Mixture(std::mt19937& rng, size_t size) {
    Bytes out;
    while (out.size() < size) {
        const size_t piece = 1 + rng() % 600, kind = rng() % 5;
        if (kind == 0) out.insert(out.end(), piece, uint8_t(rng() % 4 == 0 ? ' ' : rng()));
        if (kind == 1) out = Concat({out, Text(rng, piece)});
        if (kind == 2) out = Concat({out, RandomBytes(rng, piece)});
        if (kind > 2 && !out.empty()) {
            const size_t from = out.size() - 1 - rng() % std::min(out.size(), size_t(4096 + 64));
            for (size_t i = 0; i < piece; ++i) out.push_back(out[from + i]);
        }
    }
    out.resize(size);
    return out;
}
