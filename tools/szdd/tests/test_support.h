// Shared helpers for the szdd tests: files, the msexpand subprocess,
// generated inputs and an independent brute-force optimal parse.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "szdd.h"

using Bytes = std::vector<uint8_t>;

// A fresh directory under $TMPDIR, removed with its files on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

bool ReadFile(const std::string& path, Bytes* data);
bool WriteFile(const std::string& path, const Bytes& data);
bool FileExists(const std::string& path);
std::vector<std::string> ListDir(const std::string& path);

// Runs a shell command; returns its exit status, or -1 if it did not exit.
int RunCommand(const std::string& command);

// Expands through the msexpand program (stdin to stdout), in a subprocess.
bool ExpandWithMsexpand(const Bytes& szdd, Bytes* expanded, std::string* error);

Bytes RandomBytes(std::mt19937& rng, size_t size);
Bytes Text(std::mt19937& rng, size_t size);
// Runs, words, random stretches and repeats of earlier pieces, mixed.
Bytes Mixture(std::mt19937& rng, size_t size);
Bytes Repeat(const Bytes& piece, size_t times);
Bytes Concat(std::initializer_list<Bytes> parts);
Bytes FromString(const std::string& s);

// Longest match at every position, found by trying every distance 1..4096
// against 4096 spaces followed by the data.
std::vector<size_t> BruteForceLongest(const Bytes& data);

// Fewest bits any parse can take (9 per literal, 17 per match).
uint64_t BruteForceOptimalBits(const Bytes& data);

// Walks the flag bytes of a stream (header skipped) and counts its items.
// Fails if the stream ends inside an item.
bool CountItems(const Bytes& szdd, SzddParseStats* stats, std::string* error);
