#include "group_logic.h"

#include "../manifest/text.h"

const char ConnectFailedText[] = "Unable to connect with Windows Explorer to create shortcuts!";
const char ShortcutsFailedText[] = "Unable To Create Shortcuts!";
const char ShortcutsCreatedText[] = "Shortcuts Created Successfully!";
const char EmptyGroupText[] = "Group may not be empty!";
const char QuotedGroupText[] = "Group may not contain quotes!";
const char DdeErrorText[] = "A DDE error has occured.";

int32_t FormatCreateGroup(char* output, int32_t capacity, const char* group)
{
    return TextFormat(output, capacity, "[CreateGroup(\"%s\")]", group);
}

int32_t FormatAddItem(char* output, int32_t capacity, const char* directory, const char* fileName,
                      const char* caption)
{
    return TextFormat(output, capacity, "[AddItem(\"%s\\%s\",\"%s\")]", directory, fileName,
                      caption);
}

int32_t FormatShowGroup(char* output, int32_t capacity, const char* group, int32_t show)
{
    return TextFormat(output, capacity, "[ShowGroup(\"%s\",%i)]", group, show);
}

int32_t WalkGroupReply(const char* reply, uint32_t size, char* work, uint32_t workSize,
                       GroupView& view)
{
    uint32_t read = 0;
    uint32_t write = 0;
    uint32_t name = 0;
    int32_t listed = 0;
    // The byte just copied is never tested itself; only the one after it is
    // looked at for the carriage return that ends a name.
    while (read < size && reply[read] != 0 && write + 1 < workSize) {
        work[write++] = reply[read++];
        if (read < size && reply[read] == '\r') {
            work[write++] = 0;
            view.AddGroup(work + name);
            ++listed;
            ++read;
            // The line feed lands in the byte before the next name.
            name = write + 1;
        }
    }
    return listed;
}

int32_t ListGroups(DdePort& dde, GroupView& view)
{
    uint32_t size = 0;
    const char* reply = dde.Request(CommandTimeout, &size);
    if (!reply)
        return -1;
    if (size <= 0xFFFFFFFFu - 2) {
        char* work = view.AllocateWork(size + 2);
        if (work) {
            WalkGroupReply(reply, size, work, size + 2, view);
            view.FreeWork(work);
        }
    }
    dde.ReleaseReply();
    return 1;
}

int32_t ConnectProgramManager(DdePort& dde, GroupView& view)
{
    dde.Forget();
    dde.AllowReplies();
    if (!OpenProgramManager(dde, view))
        return -1;
    ListGroups(dde, view);
    return 1;
}

int32_t OpenGroupPage(DdePort& dde, GroupView& view, GroupSession& session)
{
    session.Sending = 0;
    session.Ended = 0;
    int32_t connected = ConnectProgramManager(dde, view);
    if (connected != 1) {
        view.ShowError(ConnectFailedText);
        CancelGroup(view, session);
    }
    return connected;
}

namespace {

bool HasQuote(const char* text)
{
    for (; *text; ++text)
        if (*text == '"')
            return true;
    return false;
}

// One command, formatted already; one that did not fit is never sent.
bool Send(DdePort& dde, const char* command, int32_t length, uint32_t timeout)
{
    return length >= 0 && dde.Execute(command, timeout);
}

// A synchronous command and, when it went through, the pause after it; a
// failure only marks the result, the sequence goes on.
void SendPaced(DdePort& dde, GroupView& view, const char* command, int32_t length, int32_t* result)
{
    if (Send(dde, command, length, CommandTimeout))
        view.Pause(CommandPause);
    else
        *result = -1;
}

}  // namespace

int32_t ReadGroup(GroupView& view, char* groupName)
{
    char field[GroupFieldSize];
    view.ReadField(field, sizeof field);
    if (field[0] == 0) {
        view.Warn(EmptyGroupText);
        return -1;
    }
    // A quote would end the command's argument and let the rest of the name
    // run as commands of its own.
    if (HasQuote(field)) {
        view.Warn(QuotedGroupText);
        return -1;
    }
    TextCopy(groupName, GroupFieldSize, field);
    return 1;
}

int32_t CreateShortcuts(DdePort& dde, GroupView& view, GroupSession& session,
                        const ShortcutTarget& target)
{
    char command[CommandSize];
    int32_t result = 1;
    int32_t length = FormatCreateGroup(command, sizeof command, target.GroupName);
    SendPaced(dde, view, command, length, &result);
    if (session.Ended)
        return -1;
    // Without the group there is nothing to add items to.
    int32_t rows = result == 1 ? target.Count : 0;
    for (int32_t row = 0; row < rows; ++row) {
        const PayloadEntry& entry = target.Rows[row];
        const char* directory = row == UninstallerRow ? target.WindowsDir : target.InstallDir;
        length = FormatAddItem(command, sizeof command, directory, entry.FileName, entry.Caption);
        SendPaced(dde, view, command, length, &result);
        if (session.Ended)
            return -1;
        length = FormatShowGroup(command, sizeof command, target.GroupName, ShowGroupShow);
        SendPaced(dde, view, command, length, &result);
        if (session.Ended)
            return -1;
    }
    view.Pause(CommandPause);
    if (session.Ended || result != 1)
        return -1;
    length = FormatShowGroup(command, sizeof command, target.GroupName, ShowGroupMinimize);
    return Send(dde, command, length, AsyncTimeout) ? 1 : -1;
}

void ContinueGroup(DdePort& dde, GroupView& view, GroupSession& session,
                   const ShortcutTarget& target)
{
    // A press that one of the pauses dispatched: the running sequence goes on.
    if (session.Sending || session.Ended)
        return;
    view.MarkStep(StepSending);
    if (ReadGroup(view, target.GroupName) != 1)
        return;
    session.Sending = 1;
    int32_t created = CreateShortcuts(dde, view, session, target);
    session.Sending = 0;
    if (created == 1 || session.Ended)
        return;
    view.ShowError(ShortcutsFailedText);
    CancelGroup(view, session);
}

void CancelGroup(GroupView& view, GroupSession& session)
{
    // Marked first: the notice's own loop may deliver the confirmation timer.
    session.Ended = 1;
    view.Abort();
}

int32_t ConfirmGroup(GroupSession& session)
{
    if (session.Sending || session.Ended)
        return 0;
    session.Ended = 1;
    return 1;
}
