// The uninstaller's side of the system: boxes, files, the registry, Program
// Manager and the removal of its own file.
#ifndef CRATEWISE_UNINSTALL_SYSTEM_H
#define CRATEWISE_UNINSTALL_SYSTEM_H

#include "../platform/win32.h"
#include "../platform/dde.h"
#include "uninstall_logic.h"

class WindowsPort : public UninstallPort {
public:
    explicit WindowsPort(const InstallManifest& product) : Product(product), Link() {}

    int32_t Standing(const char* folder) override;
    ReadOutcome ReadEntryValue(const char* product, const char* value, char* data,
                               uint32_t capacity, uint32_t* size, uint32_t* type) override;
    bool Ask(const char* text) override;
    void Tell(const char* text, BoxKind kind) override;
    RemovalOutcome RemoveFile(const char* path) override;
    RemovalOutcome RemoveFolder(const char* path) override;
    void AllowDdeReplies() override;
    bool OpenProgramManager() override;
    GroupOutcome SendGroupCommand(const char* command) override;
    void CloseProgramManager() override;
    bool GroupHoldsOthers(const char* group) override;
    RemovalOutcome RemoveEntry(const char* product) override;
    RemovalOutcome RemoveValue(const char* key, const char* value) override;
    RemovalOutcome RemoveKeyIfEmpty(const char* key) override;
    SelfOutcome RemoveSelf(const char* fileName) override;

private:
    const InstallManifest& Product;
    DdeLink Link;
};

// A file of that name in the Windows directory; -1 when it does not fit.
int32_t InWindowsFolder(char* output, int32_t capacity, const char* fileName);

// Run by the copy in the temporary folder: once the uninstaller's process
// has ended, deletes its file (if the product's entry is gone) and marks the
// copy itself for deletion when Windows restarts.
void FinishRemoval(uint32_t handleValue, const InstallManifest& product);

#endif
