// The Program Manager side of the group page: the command texts, the walk
// over the group-list reply, the connection and the paced command sequence,
// over the DDE operations and the few things the page's window does.
#ifndef CRATEWISE_GROUP_LOGIC_H
#define CRATEWISE_GROUP_LOGIC_H

#include <stdint.h>

#include "../manifest/manifest.h"
#include "../manifest/registry.h"
#include "../manifest/wizard.h"
#include "../platform/dde_port.h"

enum {
    GroupFieldLimit = GroupNameSize - 1,  // the combo's own text limit
    GroupFieldSize = GroupFieldLimit,     // what the field gives: 39 characters and the zero
    ItemTextSize = 80,                    // a list item's text as it is painted
    ItemImage = 19,
    CommandTimeout = 5000,
    ClosingTimeout = 1000,
    CommandPause = 1000,
    ConfirmTimer = 3,
    ConfirmDelay = 3000,
    ShowGroupNormal = 1,
    ShowGroupShow = 5,
    ShowGroupMinimize = 6
};

extern const char ConnectFailedText[];
extern const char ShortcutsFailedText[];
extern const char ShortcutsCreatedText[];
extern const char EmptyGroupText[];
extern const char QuotedGroupText[];
extern const char DdeErrorText[];

// The command texts, formatted into output of capacity bytes. Each returns
// its length, or -1 (output empty) when it would not fit.
int32_t FormatCreateGroup(char* output, int32_t capacity, const char* group);
int32_t FormatAddItem(char* output, int32_t capacity, const char* directory, const char* fileName,
                      const char* caption);
int32_t FormatShowGroup(char* output, int32_t capacity, const char* group, int32_t show);

// What the page's work needs of its window. Its Pause dispatches the page's
// own messages: a press of the page's buttons may run inside.
class GroupView : public PausePort {
public:
    // One name for the group list.
    virtual void AddGroup(const char* name) = 0;
    // Zero-filled scratch of size bytes, or 0.
    virtual char* AllocateWork(uint32_t size) = 0;
    virtual void FreeWork(char* work) = 0;
    virtual void MarkStep(int32_t value) = 0;
    // The group field's text, at most capacity - 1 characters, terminated.
    virtual void ReadField(char* output, int32_t capacity) = 0;
    virtual void Warn(const char* text) = 0;
    virtual void ShowError(const char* text) = 0;
    // The abort notice, then the page ends with its 0.
    virtual void Abort() = 0;

protected:
    ~GroupView() {}
};

// Lists every name of a group-list reply that a carriage return ends, the
// line feed after it dropped. Reads no further than size bytes or the first
// zero byte, and writes no further than workSize bytes of work, which must
// come zero-filled. Returns the number of names listed.
int32_t WalkGroupReply(const char* reply, uint32_t size, char* work, uint32_t workSize,
                       GroupView& view);

// 1 when Program Manager answered the group-list request, -1 when not; the
// list is filled on the way.
int32_t ListGroups(DdePort& dde, GroupView& view);

// 1 when a conversation is open (the list then filled), -1 otherwise; what
// OpenProgramManager leaves in the link is for the teardown.
int32_t ConnectProgramManager(DdePort& dde, GroupView& view);

// Where the shortcuts go and what they point at.
struct ShortcutTarget {
    char* GroupName;  // GroupNameSize bytes; written by an accepted Continue
    const char* InstallDir;
    const char* WindowsDir;
    const PayloadEntry* Rows;
    int32_t Count;
};

// The page's progress through Continue: no second sequence while one is being
// sent, and nothing more once the page has ended.
struct GroupSession {
    int32_t Sending;
    int32_t Ended;
};

// The page's opening: connects, and on failure tells the user and aborts.
// Returns ConnectProgramManager's result.
int32_t OpenGroupPage(DdePort& dde, GroupView& view, GroupSession& session);

// The field's name, checked: 1 and the name in groupName, or -1 after a
// warning (groupName unchanged).
int32_t ReadGroup(GroupView& view, char* groupName);

// Creates the group and its items, one paced command at a time, and starts
// the last command asynchronously. 1 when every command went through and the
// last was started; -1 otherwise, or as soon as the page ended in a pause.
int32_t CreateShortcuts(DdePort& dde, GroupView& view, GroupSession& session,
                        const ShortcutTarget& target);

// Continue: the whole handling of one press.
void ContinueGroup(DdePort& dde, GroupView& view, GroupSession& session,
                   const ShortcutTarget& target);

// Cancel (Escape): the abort notice; the page ends with 0.
void CancelGroup(GroupView& view, GroupSession& session);

// The confirmation timer: 1 when the page is to end with the success box now,
// 0 when a sequence is still being sent (its own completion will confirm) or
// the page has already ended.
int32_t ConfirmGroup(GroupSession& session);

#endif
