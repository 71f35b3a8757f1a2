#include "hardening.h"
#include "win32.h"

#include <aclapi.h>
#include <dde.h>

#include "../manifest/folders.h"

namespace {

// Both functions are resolved at run time: older systems lack them.
const DWORD SearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
const DWORD AddToFilter = 1;                  // MSGFLT_ADD

typedef BOOL(WINAPI* SearchFunction)(DWORD);
typedef BOOL(WINAPI* FilterFunction)(UINT, DWORD);

FARPROC SystemFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    return module ? GetProcAddress(module, name) : 0;
}

}  // namespace

void LimitLibrarySearch()
{
    SearchFunction limit = (SearchFunction)(void*)SystemFunction("kernel32.dll",
                                                                 "SetDefaultDllDirectories");
    if (limit)
        limit(SearchSystemFolder);
}

void AllowDdeMessages()
{
    FilterFunction allow = (FilterFunction)(void*)SystemFunction("user32.dll",
                                                                 "ChangeWindowMessageFilter");
    for (UINT message = WM_DDE_FIRST; allow && message <= WM_DDE_LAST; ++message)
        allow(message, AddToFilter);
}

namespace {

// Whether owner is the user this program runs as: an administrator's own
// folder is no other user's to change.
bool IsRunningUser(PSID owner)
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    union {
        TOKEN_USER user;
        BYTE room[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } held;
    DWORD size = 0;
    bool same = GetTokenInformation(token, TokenUser, &held, sizeof held, &size) &&
                EqualSid(held.user.User.Sid, owner);
    CloseHandle(token);
    return same;
}

}  // namespace

int32_t ProbeFolder(const char* path)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FolderMissing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return FolderIsLink;
    PSID owner = 0;
    PSECURITY_DESCRIPTOR descriptor = 0;
    if (GetNamedSecurityInfoA(path, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, 0, 0, 0,
                              &descriptor) != ERROR_SUCCESS)
        return FolderOwnedByOthers;
    bool safe = owner && (IsWellKnownSid(owner, WinBuiltinAdministratorsSid) ||
                          IsWellKnownSid(owner, WinLocalSystemSid) || IsRunningUser(owner));
    LocalFree(descriptor);
    return safe ? FolderOwnedSafely : FolderOwnedByOthers;
}
