// What the uninstaller decides, apart from the system it runs on: which
// recorded installation it trusts, what it removes and in which order, and
// what it tells the user. The program supplies the system through
// UninstallPort.
#ifndef CRATEWISE_UNINSTALL_LOGIC_H
#define CRATEWISE_UNINSTALL_LOGIC_H

#include <stdint.h>

#include "../manifest/manifest.h"
#include "../manifest/paths.h"
#include "../manifest/registry.h"
#include "../manifest/folders.h"
#include "../platform/dde_port.h"

enum {
    RecordedPathSize = FullPathSize,  // "Program Path", its zero included
    PlanFileSlots = 2 * PayloadSlots,
    PlanFolderSlots = FullPathSize / 2,  // a full path has no more backslashes
    MessageSize = 2048,
    RegistryText = 1  // REG_SZ
};

// ---- the recorded folder -------------------------------------------------

// What an uninstall removes, in order: the payload files (rows 1 to
// FileCount - 1; row 0 is the running uninstaller), then the stored copies
// an unfinished installation left (every row's), then the folders, deepest
// first: the install folder, then each parent on the way up that is also a
// folder of the product's default folder chain. The installer does not
// record which folders it created; those of the default chain are the ones
// it creates unasked, and the others were named by the user, who may have
// had them before.
struct RemovalPlan {
    char Folder[FullPathSize];
    int32_t FileCount;
    int32_t PayloadCount;  // the first PayloadCount files are payload files
    char Files[PlanFileSlots][FullPathSize];
    int32_t FolderCount;
    int32_t FolderEnds[PlanFolderSlots];  // each folder is Folder cut at this length
};

// 1 with the plan, or -1 when programPath is not a folder the installer
// could have installed into: one the folder page refuses, or one that
// resolves to a drive root.
int32_t PlanRemoval(RemovalPlan* plan, const InstallManifest& product, const char* programPath);

// Folder number index of the plan into output; -1 (output empty) when there
// is no such folder.
int32_t PlanFolder(const RemovalPlan& plan, int32_t index, char* output, int32_t capacity);

// ---- the registry ----------------------------------------------------------

// 1 when size bytes read from the registry as a value of this type are a
// text with its zero within them, and within capacity; -1 otherwise.
int32_t RegistryTextValid(const char* data, uint32_t size, uint32_t type, uint32_t capacity);

// The version key (the template with ProductName and "Current Version").
int32_t VersionKeyPath(char* output, int32_t capacity, const InstallManifest& product);

// The length of the key path's parent within its first length characters,
// or 0 when that key has no parent below the root.
int32_t ParentKeyLength(const char* key, int32_t length);

// ---- the program group -----------------------------------------------------

enum GroupState {
    GroupUsable = 1,
    GroupNone = 0,         // not recorded, or recorded empty
    GroupUnreadable = -1,  // not a text that fits the installer's group name
    GroupUnsendable = -2   // a double quote, a control character or its length would
                           // break the command
};

// Which GroupState a recorded name (read as a terminated text) is in.
int32_t CheckGroupName(const char* name);

// `[DeleteGroup("name")]`; its length, or -1 (output empty) when it does not fit.
int32_t FormatDeleteGroup(char* output, int32_t capacity, const char* group);

// ---- the finishing run -----------------------------------------------------

// The command line of the copy that removes the uninstaller once it has
// exited: "/finish" and the decimal value of an inherited handle to the
// uninstaller's process. 1 with the value for such a line, 0 for any other.
int32_t ParseFinishLine(const char* line, uint32_t* handleValue);
extern const char FinishSwitch[];

// ---- the run ---------------------------------------------------------------

enum RemovalOutcome { Removed = 1, Missing = 0, Kept = -1 };
enum GroupOutcome { GroupDeleted = 1, GroupRefused = 0, GroupUnreachable = -1 };  // of a command
enum SelfOutcome { SelfAfterExit = 2, SelfAtRestart = 1, SelfMissing = 0, SelfKept = -1 };
enum BoxKind { BoxWarning, BoxError, BoxQuestion, BoxInformation };
enum ReadOutcome { ReadDone = 1, ReadMissing = 0, ReadFailed = -1 };

// What the uninstaller needs of the system. Registry keys are below
// HKEY_LOCAL_MACHINE.
class UninstallPort : public FolderProbe {
public:
    // Value name of the product's uninstall entry, raw, at most capacity
    // bytes, with its size and type.
    virtual ReadOutcome ReadEntryValue(const char* product, const char* value, char* data,
                                       uint32_t capacity, uint32_t* size, uint32_t* type) = 0;
    // A question box with Yes and No; true for Yes.
    virtual bool Ask(const char* text) = 0;
    virtual void Tell(const char* text, BoxKind kind) = 0;
    // A folder is removed only when empty.
    virtual RemovalOutcome RemoveFile(const char* path) = 0;
    virtual RemovalOutcome RemoveFolder(const char* path) = 0;
    // Lets Program Manager's replies through to an elevated program; before
    // the conversation is opened.
    virtual void AllowDdeReplies() = 0;
    // One conversation with Program Manager: true when open. Each command is
    // GroupDeleted when accepted, GroupRefused when not.
    virtual bool OpenProgramManager() = 0;
    virtual GroupOutcome SendGroupCommand(const char* command) = 0;
    virtual void CloseProgramManager() = 0;
    // Whether the group still holds anything, once the product's own items
    // are gone: shortcuts of other programs.
    virtual bool GroupHoldsOthers(const char* group) = 0;
    virtual RemovalOutcome RemoveEntry(const char* product) = 0;
    virtual RemovalOutcome RemoveValue(const char* key, const char* value) = 0;
    virtual RemovalOutcome RemoveKeyIfEmpty(const char* key) = 0;
    // The uninstaller's own file in the Windows directory.
    virtual SelfOutcome RemoveSelf(const char* fileName) = 0;

protected:
    ~UninstallPort() {}
};

// What was done, for the closing box.
struct UninstallReport {
    int32_t FilesRemoved;
    int32_t CopiesRemoved;
    int32_t Folder;  // RemovalOutcome of the install folder
    int32_t ParentsRemoved;
    char OuterParent[FullPathSize];  // the last parent removed
    int32_t Group;                   // GroupReport
    int32_t Entry;                   // RemovalOutcome
    int32_t Version;                 // RemovalOutcome of the "Program Version" value
    int32_t Self;                    // SelfOutcome; SelfKept when not tried
};
enum GroupReport {
    GroupWasDeleted,
    GroupWasNone,
    GroupWasUnreadable,
    GroupWasUnsendable,
    GroupWasUnreachable,
    GroupWasRefused,
    GroupWasShared  // its items removed; the group kept for what else it holds
};

enum RunResult {
    RunNotInstalled = 0,
    RunDeclined = 1,
    RunFilesKept = 2,  // a file could not be removed; nothing after the files was done
    RunDone = 3,
    RunFolderDistrusted = 4  // another user's folder, or a link: nothing was changed
};

// The whole uninstall, in order: read the entry, confirm, files, folders,
// group, registry, the uninstaller itself, the closing box.
int32_t RunUninstall(UninstallPort& port, const InstallManifest& product);

// The texts of the boxes, exposed for the tests.
int32_t FormatSummary(char* output, int32_t capacity, const UninstallReport& report,
                      const InstallManifest& product, const char* folder, const char* group);
extern const char NotInstalledText[];
extern const char DistrustedFolderText[];
extern const char ConfirmText[];
extern const char FileKeptText[];
extern const char GroupUnreachableText[];
extern const char GroupUnsendableText[];
extern const char GroupUnreadableText[];

#endif
