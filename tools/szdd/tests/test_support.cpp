#include "test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace {
constexpr size_t kWindow = 4096;
constexpr size_t kLongest = 18;
}  // namespace

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/szdd-test-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    for (const std::string& name : ListDir(path_)) unlink(File(name).c_str());
    rmdir(path_.c_str());
}

bool ReadFile(const std::string& path, Bytes* data) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    data->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool WriteFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    return bool(out.flush());
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int RunCommand(const std::string& command) {
    int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

bool ExpandWithMsexpand(const Bytes& szdd, Bytes* expanded, std::string* error) {
    TempDir dir;
    const std::string in = dir.File("in.bi_"), out = dir.File("out.bin");
    if (!WriteFile(in, szdd)) {
        *error = "cannot write " + in;
        return false;
    }
    int status = RunCommand(std::string(SZDD_MSEXPAND) + " < '" + in + "' > '" + out + "' 2>/dev/null");
    if (status != 0) {
        *error = "msexpand exited with " + std::to_string(status);
        return false;
    }
    if (!ReadFile(out, expanded)) {
        *error = "cannot read msexpand's output";
        return false;
    }
    return true;
}

Bytes RandomBytes(std::mt19937& rng, size_t size) {
    Bytes out(size);
    for (auto& b : out) b = uint8_t(rng());
    return out;
}

Bytes Text(std::mt19937& rng, size_t size) {
    static const char* const kWords[] = {"the ",   "setup ", "file ",   "folder ", "copy ",  "group ",
                                         "is ",    "a ",     "window ", "of ",     "and ",   "\r\n",
                                         "Setup.", "to ",    "program ", "      ", "data, ", "be "};
    std::string s;
    while (s.size() < size) s += kWords[rng() % (sizeof kWords / sizeof *kWords)];
    s.resize(size);
    return FromString(s);
}

Bytes Mixture(std::mt19937& rng, size_t size) {
    Bytes out;
    while (out.size() < size) {
        size_t piece = 1 + rng() % 600;
        switch (rng() % 5) {
            case 0: out.insert(out.end(), piece, uint8_t(rng() % 4 == 0 ? ' ' : rng())); break;
            case 1: {
                Bytes t = Text(rng, piece);
                out.insert(out.end(), t.begin(), t.end());
                break;
            }
            case 2: {
                Bytes r = RandomBytes(rng, piece);
                out.insert(out.end(), r.begin(), r.end());
                break;
            }
            default:
                if (out.empty()) break;
                // Copy an earlier stretch, sometimes from just beyond the window.
                size_t back = 1 + rng() % std::min(out.size(), kWindow + 64);
                size_t from = out.size() - back;
                for (size_t i = 0; i < piece; ++i) out.push_back(out[from + i]);
                break;
        }
    }
    out.resize(size);
    return out;
}

Bytes Repeat(const Bytes& piece, size_t times) {
    Bytes out;
    for (size_t i = 0; i < times; ++i) out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes FromString(const std::string& s) { return Bytes(s.begin(), s.end()); }

std::vector<size_t> BruteForceLongest(const Bytes& data) {
    Bytes history(kWindow, ' ');
    history.insert(history.end(), data.begin(), data.end());
    std::vector<size_t> longest(data.size(), 0);
    for (size_t i = 0; i < data.size(); ++i) {
        const size_t at = kWindow + i;
        const size_t limit = std::min(kLongest, data.size() - i);
        for (size_t d = 1; d <= kWindow; ++d) {
            size_t n = 0;
            while (n < limit && history[at + n] == history[at - d + n]) ++n;
            longest[i] = std::max(longest[i], n);
        }
    }
    return longest;
}

uint64_t BruteForceOptimalBits(const Bytes& data) {
    const std::vector<size_t> longest = BruteForceLongest(data);
    std::vector<uint64_t> best(data.size() + 1, 0);  // bits to code data[i..]
    for (size_t i = data.size(); i-- > 0;) {
        best[i] = best[i + 1] + 9;
        for (size_t len = 3; len <= longest[i]; ++len) best[i] = std::min(best[i], best[i + len] + 17);
    }
    return best[0];
}

bool CountItems(const Bytes& szdd, SzddParseStats* stats, std::string* error) {
    *stats = SzddParseStats{};
    size_t at = kSzddHeaderSize;
    while (at < szdd.size()) {
        const uint8_t flags = szdd[at++];
        if (at == szdd.size()) {
            *error = "flag byte at the end with no item after it";
            return false;
        }
        for (int bit = 0; bit < 8 && at < szdd.size(); ++bit) {
            size_t need = (flags >> bit) & 1 ? 1 : 2;
            if (at + need > szdd.size()) {
                *error = "stream ends inside an item at offset " + std::to_string(at);
                return false;
            }
            at += need;
            ++(need == 1 ? stats->literals : stats->matches);
        }
    }
    return true;
}
