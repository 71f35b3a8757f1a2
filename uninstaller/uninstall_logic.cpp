#include "uninstall_logic.h"

#include <stdarg.h>

#include "../manifest/text.h"
#include "../manifest/folders.h"

const char FinishSwitch[] = "/finish";

const char NotInstalledText[] = "%s is not installed on this computer.\nNothing was changed.";
const char DistrustedFolderText[] =
    "%s is not removed: its folder\n%s\nbelongs to another user, or is, or lies below, a "
    "link, so files deleted there might not be its own.\nNothing was changed.";
const char ConfirmText[] =
    "This removes %s from the folder\n%s\n\n"
    "Its program files, its program group and its registry entries are deleted. "
    "Files that you added to the folder are kept.\n\nRemove %s now?";
const char FileKeptText[] =
    "Unable to remove %s!\n\nIt may be in use. Close %s and uninstall it again to remove "
    "the rest.";
const char GroupUnreachableText[] =
    "Unable to connect with Windows Explorer to remove the program group \"%s\"!\n"
    "The rest of %s is removed all the same.";
const char GroupUnsendableText[] =
    "The program group \"%s\" has a name that cannot be sent to Windows Explorer, so it is "
    "left in place.";
const char GroupUnreadableText[] =
    "The program group recorded for %s cannot be read, so it is left in place.";

namespace {

const char DeleteGroupFormat[] = "[DeleteGroup(\"%s\")]";
// Shown minimised and not activated: it is only made the current group.
const char ShowGroupFormat[] = "[ShowGroup(\"%s\",7)]";
const char DeleteItemFormat[] = "[DeleteItem(\"%s\")]";

char Folded(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

void Empty(char* output, int32_t capacity)
{
    if (capacity > 0)
        output[0] = 0;
}

// Whether the first length characters of folder name a folder of the
// default chain: the default folder itself or one above it. Letter case is
// ignored as the file system ignores it (for ASCII letters; other letters
// must match exactly, which at worst keeps a folder).
bool OnDefaultChain(const char* folder, int32_t length, const char* defaultFolder)
{
    for (int32_t i = 0; i < length; ++i)
        if (!defaultFolder[i] || Folded(folder[i]) != Folded(defaultFolder[i]))
            return false;
    return defaultFolder[length] == 0 || defaultFolder[length] == '\\';
}

// A bounded text that grows piece by piece; once a piece does not fit,
// nothing more is added and the text ends with "...".
struct Appender {
    char* output;
    int32_t capacity;
    int32_t at;
    bool full;

    void Add(const char* format, ...)
    {
        if (full)
            return;
        va_list args;
        va_start(args, format);
        int32_t length = TextFormatList(output + at, capacity - at, format, args);
        va_end(args);
        if (length < 0) {
            full = true;
            const char cut[] = "\n...";
            if (at + (int32_t)sizeof cut <= capacity) {
                TextCopy(output + at, capacity - at, cut);
                at += (int32_t)sizeof cut - 1;
            }
            return;
        }
        at += length;
    }
};

// One value of the product's uninstall entry as a terminated text.
int32_t ReadRecorded(UninstallPort& port, const InstallManifest& product, const char* value,
                     char* output, uint32_t capacity)
{
    uint32_t size = 0, type = 0;
    int32_t read = port.ReadEntryValue(product.ProductName, value, output, capacity, &size, &type);
    if (read == ReadDone && RegistryTextValid(output, size, type, capacity) == 1)
        return ReadDone;
    output[0] = 0;
    return read == ReadMissing ? ReadMissing : ReadFailed;
}

int32_t ReadGroup(UninstallPort& port, const InstallManifest& product, char* group)
{
    int32_t read = ReadRecorded(port, product, ProgramGroupValue, group, GroupNameSize);
    if (read == ReadMissing)
        return GroupNone;
    if (read != ReadDone)
        return GroupUnreadable;
    return CheckGroupName(group);
}

void Say(UninstallPort& port, BoxKind kind, const char* format, ...)
{
    char text[MessageSize];
    va_list args;
    va_start(args, format);
    int32_t length = TextFormatList(text, sizeof text, format, args);
    va_end(args);
    // Every text here fits; should one not, the box still says something.
    port.Tell(length < 0 ? format : text, kind);
}

// The files: all of them are tried; the first one that stays is returned.
int32_t RemoveFiles(UninstallPort& port, const RemovalPlan& plan, UninstallReport& report)
{
    int32_t firstKept = -1;
    for (int32_t i = 0; i < plan.FileCount; ++i) {
        int32_t outcome = port.RemoveFile(plan.Files[i]);
        if (outcome == Removed)
            ++(i < plan.PayloadCount ? report.FilesRemoved : report.CopiesRemoved);
        else if (outcome == Kept && firstKept < 0)
            firstKept = i;
    }
    return firstKept;
}

// Deepest first; a folder that stays keeps every folder above it.
void RemoveFolders(UninstallPort& port, const RemovalPlan& plan, UninstallReport& report)
{
    char folder[FullPathSize];
    for (int32_t i = 0; i < plan.FolderCount; ++i) {
        if (PlanFolder(plan, i, folder, sizeof folder) < 0)
            break;
        int32_t outcome = port.RemoveFolder(folder);
        if (i == 0) {
            report.Folder = outcome;
        } else if (outcome == Removed) {
            ++report.ParentsRemoved;
            TextCopy(report.OuterParent, sizeof report.OuterParent, folder);
        }
        if (outcome == Kept)
            break;
    }
}

void RemoveGroup(UninstallPort& port, const InstallManifest& product, int32_t state,
                 const char* group, UninstallReport& report)
{
    if (state == GroupNone) {
        report.Group = GroupWasNone;
        return;
    }
    if (state == GroupUnreadable) {
        report.Group = GroupWasUnreadable;
        Say(port, BoxWarning, GroupUnreadableText, product.ProductName);
        return;
    }
    char command[CommandSize];
    if (state == GroupUnsendable || FormatDeleteGroup(command, sizeof command, group) < 0) {
        report.Group = GroupWasUnsendable;
        Say(port, BoxWarning, GroupUnsendableText, group);
        return;
    }
    port.AllowDdeReplies();
    if (!port.OpenProgramManager()) {
        report.Group = GroupWasUnreachable;
        Say(port, BoxError, GroupUnreachableText, group, product.ProductName);
        return;
    }
    // The group's own items, each named by the caption the installer gave
    // it, go from the group that ShowGroup makes the current one; the group
    // goes only when nothing else is left in it.
    char step[CommandSize];
    report.Group = GroupWasRefused;
    if (TextFormat(step, sizeof step, ShowGroupFormat, group) > 0 &&
        port.SendGroupCommand(step) == GroupDeleted) {
        int32_t items = product.ShortcutCount < product.FileCount ? product.ShortcutCount
                                                                  : product.FileCount;
        for (int32_t row = 0; row < items && row < PayloadSlots; ++row)
            if (TextFormat(step, sizeof step, DeleteItemFormat, product.Payload[row].Caption) > 0)
                port.SendGroupCommand(step);
        if (port.GroupHoldsOthers(group))
            report.Group = GroupWasShared;
        else if (port.SendGroupCommand(command) == GroupDeleted)
            report.Group = GroupWasDeleted;
    }
    port.CloseProgramManager();
}

// The uninstall entry, then the version value and, while they are empty, the
// version key and the keys above it that the template names.
void RemoveRegistry(UninstallPort& port, const InstallManifest& product, UninstallReport& report)
{
    report.Entry = port.RemoveEntry(product.ProductName);
    char key[RegistryTextSize];
    if (VersionKeyPath(key, sizeof key, product) < 0) {
        report.Version = Missing;
        return;
    }
    report.Version = port.RemoveValue(key, ProgramVersionValue);
    for (int32_t length = TextLength(key); length > 0; length = ParentKeyLength(key, length)) {
        key[length] = 0;
        if (port.RemoveKeyIfEmpty(key) == Kept)
            break;
    }
}

const char* Plural(int32_t count, const char* one, const char* many)
{
    return count == 1 ? one : many;
}

}  // namespace

int32_t PlanRemoval(RemovalPlan* plan, const InstallManifest& product, const char* programPath)
{
    plan->FileCount = 0;
    plan->PayloadCount = 0;
    plan->FolderCount = 0;
    plan->Folder[0] = 0;
    // The folder page's own rules, so that what it accepts can be removed.
    if (FolderRefusal(programPath, TextLength(programPath), product) ||
        NormalizeFolder(plan->Folder, sizeof plan->Folder, programPath) < 0)
        return -1;
    int32_t rows = product.FileCount;
    if (rows < 0)
        rows = 0;
    if (rows > PayloadSlots)
        rows = PayloadSlots;

    for (int32_t row = UninstallerRow + 1; row < rows; ++row) {
        const char* name = product.Payload[row].FileName;
        if (!name[0])
            continue;
        if (JoinPath(plan->Files[plan->FileCount], FullPathSize, plan->Folder, name, Unquoted) < 0)
            return -1;
        ++plan->FileCount;
    }
    plan->PayloadCount = plan->FileCount;
    for (int32_t row = 0; row < rows; ++row) {
        const char* name = product.Payload[row].FileName;
        if (!name[0])
            continue;
        if (StoredPath(plan->Files[plan->FileCount], FullPathSize, plan->Folder, name) < 0)
            return -1;
        ++plan->FileCount;
    }

    char defaultFolder[FullPathSize];
    char formatted[FullPathSize];
    int32_t haveDefault = ReplaceFirstPlaceholder(formatted, sizeof formatted,
                                                  product.DefaultFolderTemplate,
                                                  product.ProductName) == 1 &&
                          NormalizeFolder(defaultFolder, sizeof defaultFolder, formatted) == 1;

    int32_t length = TextLength(plan->Folder);
    plan->FolderEnds[plan->FolderCount++] = length;
    for (int32_t i = length - 1; haveDefault && i > RootLength - 1; --i) {
        if (plan->Folder[i] != '\\')
            continue;
        if (!OnDefaultChain(plan->Folder, i, defaultFolder) || plan->FolderCount >= PlanFolderSlots)
            break;
        plan->FolderEnds[plan->FolderCount++] = i;
    }
    return 1;
}

int32_t PlanFolder(const RemovalPlan& plan, int32_t index, char* output, int32_t capacity)
{
    if (index < 0 || index >= plan.FolderCount) {
        Empty(output, capacity);
        return -1;
    }
    if (TextCopyPart(output, capacity, plan.Folder, plan.FolderEnds[index]) < 0) {
        Empty(output, capacity);
        return -1;
    }
    return 1;
}

int32_t RegistryTextValid(const char* data, uint32_t size, uint32_t type, uint32_t capacity)
{
    if (type != RegistryText || size == 0 || size > capacity)
        return -1;
    for (uint32_t i = 0; i < size; ++i)
        if (data[i] == 0)
            return 1;
    return -1;
}

int32_t VersionKeyPath(char* output, int32_t capacity, const InstallManifest& product)
{
    if (CountPlaceholders(product.RegistryKeyTemplate) != 2)
        return -1;
    return TextFormat(output, capacity, product.RegistryKeyTemplate, product.ProductName,
                      VersionKeyName) < 0
               ? -1
               : 1;
}

int32_t ParentKeyLength(const char* key, int32_t length)
{
    for (int32_t i = length - 1; i > 0; --i)
        if (key[i] == '\\')
            return i;
    return 0;
}

int32_t CheckGroupName(const char* name)
{
    if (!name[0])
        return GroupNone;
    int32_t length = 0;
    for (const char* p = name; *p; ++p, ++length)
        if (*p == '"' || (unsigned char)*p < 0x20)
            return GroupUnsendable;
    return length < GroupNameSize ? GroupUsable : GroupUnsendable;
}

int32_t FormatDeleteGroup(char* output, int32_t capacity, const char* group)
{
    return TextFormat(output, capacity, DeleteGroupFormat, group);
}

int32_t ParseFinishLine(const char* line, uint32_t* handleValue)
{
    const char* p = line;
    while (*p == ' ')
        ++p;
    for (const char* s = FinishSwitch; *s; ++s, ++p)
        if (Folded(*p) != *s)
            return 0;
    if (*p != ' ')
        return 0;
    while (*p == ' ')
        ++p;
    uint64_t value = 0;
    int32_t digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
        value = value * 10 + (uint64_t)(*p - '0');
        if (value > 0xFFFFFFFFu)
            return 0;
    }
    while (*p == ' ')
        ++p;
    if (!digits || *p || value == 0)
        return 0;
    *handleValue = (uint32_t)value;
    return 1;
}

int32_t FormatSummary(char* output, int32_t capacity, const UninstallReport& report,
                      const InstallManifest& product, const char* folder, const char* group)
{
    if (capacity <= 0)
        return -1;
    output[0] = 0;
    Appender text = {output, capacity, 0, false};
    const char* self = product.Payload[UninstallerRow].FileName;
    text.Add("%s has been uninstalled.", product.ProductName);

    text.Add("\n\nRemoved:");
    int32_t headingEnd = text.at;
    if (report.FilesRemoved > 0)
        text.Add("\n- %i program %s from %s", report.FilesRemoved,
                 Plural(report.FilesRemoved, "file", "files"), folder);
    if (report.CopiesRemoved > 0)
        text.Add("\n- %i %s left by an unfinished installation", report.CopiesRemoved,
                 Plural(report.CopiesRemoved, "stored copy", "stored copies"));
    if (report.Folder == Removed)
        text.Add("\n- the folder %s", folder);
    if (report.ParentsRemoved == 1)
        text.Add("\n- its parent folder %s", report.OuterParent);
    else if (report.ParentsRemoved > 1)
        text.Add("\n- %i parent folders, up to %s", report.ParentsRemoved, report.OuterParent);
    if (report.Group == GroupWasDeleted)
        text.Add("\n- the program group \"%s\"", group);
    else if (report.Group == GroupWasShared)
        text.Add("\n- its shortcuts from the program group \"%s\"", group);
    if (report.Entry == Removed)
        text.Add("\n- its entries in the registry");
    if (report.Self == SelfAfterExit)
        text.Add("\n- the uninstaller %s, once this box is closed", self);
    else if (report.Self == SelfAtRestart)
        text.Add("\n- the uninstaller %s, when Windows restarts", self);
    if (text.at == headingEnd && !text.full) {
        text.at -= (int32_t)sizeof "\n\nRemoved:" - 1;
        output[text.at] = 0;
    }

    text.Add("\n\nLeft in place:");
    headingEnd = text.at;
    if (report.Folder == Kept)
        text.Add("\n- the folder %s, which holds files that %s did not install", folder,
                 product.ProductName);
    if (report.Group == GroupWasUnreadable)
        text.Add("\n- the program group recorded for it");
    else if (report.Group == GroupWasUnsendable || report.Group == GroupWasUnreachable)
        text.Add("\n- the program group \"%s\"", group);
    else if (report.Group == GroupWasShared)
        text.Add("\n- the program group \"%s\", which holds shortcuts of other programs", group);
    else if (report.Group == GroupWasRefused)
        text.Add("\n- the program group \"%s\", if it is still there: Windows Explorer did "
                 "not delete it",
                 group);
    if (report.Entry == Kept)
        text.Add("\n- its uninstall entry in the registry, and the uninstaller %s", self);
    if (report.Version == Kept)
        text.Add("\n- its version entry in the registry");
    if (report.Entry != Kept && report.Self == SelfKept)
        text.Add("\n- the uninstaller %s", self);
    if (text.at == headingEnd && !text.full) {
        text.at -= (int32_t)sizeof "\n\nLeft in place:" - 1;
        output[text.at] = 0;
    }
    return text.full ? -1 : text.at;
}

int32_t RunUninstall(UninstallPort& port, const InstallManifest& product)
{
    // Kept off the stack, which grows a page at a time without probes.
    static RemovalPlan plan;
    static char question[MessageSize];
    static char summary[MessageSize];
    char path[RecordedPathSize];
    if (ReadRecorded(port, product, ProgramPathValue, path, sizeof path) != ReadDone ||
        PlanRemoval(&plan, product, path) != 1) {
        Say(port, BoxWarning, NotInstalledText, product.ProductName);
        return RunNotInstalled;
    }
    if (FolderTrustRefusal(plan.Folder, port)) {
        Say(port, BoxWarning, DistrustedFolderText, product.ProductName, plan.Folder);
        return RunFolderDistrusted;
    }
    char group[GroupNameSize];
    int32_t groupState = ReadGroup(port, product, group);

    if (TextFormat(question, sizeof question, ConfirmText, product.ProductName, plan.Folder,
                   product.ProductName) < 0 ||
        !port.Ask(question))
        return RunDeclined;

    UninstallReport report = {};
    report.Self = SelfKept;
    int32_t kept = RemoveFiles(port, plan, report);
    if (kept >= 0) {
        // The entry and the uninstaller stay, so that the rest can be removed
        // once the file is free.
        Say(port, BoxError, FileKeptText, plan.Files[kept], product.ProductName);
        return RunFilesKept;
    }
    RemoveFolders(port, plan, report);
    RemoveGroup(port, product, groupState, group, report);
    RemoveRegistry(port, product, report);
    if (report.Entry != Kept)
        report.Self = port.RemoveSelf(product.Payload[UninstallerRow].FileName);

    FormatSummary(summary, sizeof summary, report, product, plan.Folder, group);
    port.Tell(summary, BoxInformation);
    return RunDone;
}
