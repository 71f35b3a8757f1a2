// Program Manager's group-list reply, any bytes of any size, walked into
// names as the group page does. The reply and the work buffer are heap blocks
// of exactly their sizes, so a read past the reply or a write past the work
// is reported at once. The names must be those of a plain reading of the
// rule: each run of bytes that a carriage return ends, the byte after that
// return belonging to no name; a smaller work buffer gives a leading part.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "pages/group_logic.h"

namespace {

void Require(bool holds) { return holds ? void() : abort(); }

struct NameList : GroupView {
    // Read as the page reads them: a name left open runs past the work.
    void AddGroup(const char* name) { names.push_back(name); }
    char* AllocateWork(uint32_t) { return nullptr; }
    void FreeWork(char*) {}
    void Pause(uint32_t) {}
    void MarkStep(int32_t) {}
    void ReadField(char* output, int32_t) { output[0] = 0; }
    void Warn(const char*) {}
    void ShowError(const char*) {}
    void Abort() {}

    std::vector<std::string> names;
};

// Only the bytes before the first zero count.
std::vector<std::string> Expected(const uint8_t* reply, uint32_t size)
{
    std::vector<std::string> names;
    uint32_t start = 0;
    for (uint32_t at = 1; at < size && reply[at - 1] != 0; ++at)
        if (reply[at] == '\r') {
            names.emplace_back((const char*)reply + start, at - start);
            start = ++at + 1;  // past the byte after the return
        }
    return names;
}

void CheckReply(const uint8_t* bytes, uint32_t size)
{
    std::vector<char> reply(bytes, bytes + size);
    std::vector<std::string> expected = Expected(bytes, size);
    // The page's own size first, then none, one byte, cut anywhere, just too small.
    for (uint32_t cut : {size + 2, 0u, 1u, 2u, size / 2, size, size + 1, size * 7 / 11 + 3}) {
        cut = std::min(cut, size + 2);
        std::vector<char> work(cut, 0);
        NameList view;
        int32_t listed = WalkGroupReply(reply.data(), size, work.data(), cut, view);
        Require(listed >= 0 && (size_t)listed == view.names.size());
        Require(cut < size + 2 || view.names.size() == expected.size());
        // Read as a leading part of the plain reading.
        Require(view.names.size() <= expected.size() &&
                std::equal(view.names.begin(), view.names.end(), expected.begin()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckReply(data, (uint32_t)size);
    // The library usually hands the text over with its terminator.
    CheckReply((const uint8_t*)std::string((const char*)data, size).c_str(), (uint32_t)size + 1);
    return 0;
}
