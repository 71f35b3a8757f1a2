// Program Manager's group-list reply, any bytes of any size, walked into
// names as the group page does. The reply and the work buffer are heap blocks
// of exactly their sizes, so a read past the reply or a write past the work
// is reported at once. The names must be exactly those of a plain reading of
// the rule: each run of bytes that a carriage return ends, the byte after
// that carriage return belonging to no name.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "pages/group_logic.h"

namespace {

void Require(bool holds)
{
    if (!holds)
        abort();
}

struct Listed {
    uint32_t offset;  // where the name starts in the work buffer
    std::string name;
};

// The reply through the request, the rest of the conversation unused.
class ReplyOnly : public DdePort {
public:
    ReplyOnly(const char* reply, uint32_t size) : reply_(reply), size_(size) {}

    void Forget() override {}
    int32_t Initialize() override { return -1; }
    int32_t MakeName(DdeNameSlot, const char*) override { return -1; }
    int32_t Connect() override { return -1; }
    const char* Request(uint32_t, uint32_t* size) override
    {
        Require(!requested);
        requested = true;
        *size = size_;
        return reply_;
    }
    void ReleaseReply() override
    {
        Require(requested && !released);
        released = true;
    }
    int32_t Execute(const char*, uint32_t) override { return -1; }
    bool HasConversation() override { return false; }
    bool HasInstance() override { return false; }
    bool HasName(DdeNameSlot) override { return false; }
    void Disconnect() override {}
    void FreeName(DdeNameSlot) override {}
    void Uninitialize() override {}

    bool requested = false;
    bool released = false;

private:
    const char* reply_;
    uint32_t size_;
};

// Collects the names and hands out the work buffer, exactly sized.
class NameList : public GroupView {
public:
    void AddGroup(const char* name) override
    {
        Require(work != nullptr && name >= work && name < work + workSize);
        uint32_t offset = (uint32_t)(name - work);
        // The name ends inside the work buffer.
        Require(memchr(name, 0, workSize - offset) != nullptr);
        names.push_back({offset, name});
    }
    char* AllocateWork(uint32_t size) override
    {
        Require(work == nullptr);
        work = (char*)calloc(size ? size : 1, 1);
        workSize = size;
        return work;
    }
    void FreeWork(char* block) override
    {
        Require(block == work);
        free(work);
        work = nullptr;
        freed = true;
    }
    void Pause(uint32_t) override {}
    void MarkStep(int32_t) override {}
    void ReadField(char* output, int32_t) override { output[0] = 0; }
    void Warn(const char*) override {}
    void ShowError(const char*) override {}
    void Abort() override {}

    char* work = nullptr;
    uint32_t workSize = 0;
    bool freed = false;
    std::vector<Listed> names;
};

// The rule, read plainly: a name runs from its start to the carriage return
// after it; the byte after that return is skipped; the first byte of each
// name is taken as it is. Only the bytes before the first zero count.
std::vector<Listed> Expected(const uint8_t* reply, uint32_t size)
{
    std::vector<Listed> names;
    uint32_t start = 0;
    uint32_t at = 0;
    while (at < size && reply[at] != 0) {
        ++at;
        if (at < size && reply[at] == '\r') {
            names.push_back({start, std::string((const char*)reply + start, at - start)});
            ++at;
            start = at + 1;
        }
    }
    return names;
}

bool SameNames(const std::vector<Listed>& a, const std::vector<Listed>& b, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        if (a[i].offset != b[i].offset || a[i].name != b[i].name)
            return false;
    return true;
}

void CheckProperties(const uint8_t* reply, uint32_t size, const std::vector<Listed>& names)
{
    uint32_t returns = 0;
    for (uint32_t i = 0; i < size && reply[i]; ++i)
        returns += reply[i] == '\r';
    Require(names.size() <= returns);
    uint32_t previousEnd = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const Listed& listed = names[i];
        size_t length = listed.name.size();
        // Each name is the reply's own bytes at its place, a return after it.
        Require(listed.offset + length < size);
        Require(memcmp(reply + listed.offset, listed.name.data(), length) == 0);
        Require(reply[listed.offset + length] == '\r');
        // Names follow each other and never share a byte.
        Require(i == 0 || listed.offset > previousEnd);
        previousEnd = listed.offset + (uint32_t)length;
        // A carriage return inside a name only as the reply's untested first byte.
        const char* inner = (const char*)memchr(listed.name.data(), '\r', length);
        Require(inner == nullptr || (listed.offset == 0 && inner == listed.name.data()));
    }
}

// The walk with a work buffer of workSize bytes, as any caller may give it:
// what fits is a leading part of the whole list.
void WalkWithin(const char* reply, uint32_t size, uint32_t workSize,
                const std::vector<Listed>& whole)
{
    NameList view;
    char* work = view.AllocateWork(workSize);
    int32_t listed = WalkGroupReply(reply, size, work, workSize, view);
    Require(listed >= 0 && (size_t)listed == view.names.size());
    Require(view.names.size() <= whole.size() && SameNames(view.names, whole, view.names.size()));
    if (workSize >= size + 2)
        Require(view.names.size() == whole.size());
    view.FreeWork(work);
}

void CheckReply(const uint8_t* bytes, uint32_t size)
{
    // Exactly the reply's bytes: malloc(0) still gives a block to overrun.
    char* reply = (char*)malloc(size ? size : 1);
    if (size)
        memcpy(reply, bytes, size);
    std::vector<Listed> expected = Expected(bytes, size);
    CheckProperties(bytes, size, expected);

    ReplyOnly dde(reply, size);
    NameList view;
    Require(ListGroups(dde, view) == 1);
    Require(dde.requested && dde.released && view.freed);
    Require(view.workSize == size + 2);
    Require(view.names.size() == expected.size() && SameNames(view.names, expected, expected.size()));

    // Smaller work buffers: none, one byte, cut anywhere, and just too small.
    uint32_t cuts[] = {0, 1, 2, size / 2, size, size + 1, (uint32_t)(size * 7 / 11) + 3};
    for (uint32_t cut : cuts)
        if (cut <= size + 2)
            WalkWithin(reply, size, cut, expected);
    free(reply);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    CheckReply(data, (uint32_t)size);
    // The library usually hands the text over with its terminator.
    std::vector<uint8_t> terminated(data, data + size);
    terminated.push_back(0);
    CheckReply(terminated.data(), (uint32_t)terminated.size());
    return 0;
}
