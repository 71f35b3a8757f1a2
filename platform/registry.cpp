#include "registry.h"
#include "../manifest/text.h"

namespace {

HKEY Handle(RegistryKey key) { return key == MachineKey ? HKEY_LOCAL_MACHINE : (HKEY)key; }

}  // namespace

bool WindowsRegistry::CreateKey(RegistryKey parent, const char* name, RegistryKey* opened)
{
    HKEY key;
    if (RegCreateKeyExA(Handle(parent), name, 0, (LPSTR) "", REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, 0, &key, 0) != ERROR_SUCCESS)
        return false;
    *opened = (RegistryKey)key;
    return true;
}

bool WindowsRegistry::OpenKey(RegistryKey parent, const char* name, RegistryKey* opened)
{
    HKEY key;
    if (RegOpenKeyExA(Handle(parent), name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    *opened = (RegistryKey)key;
    return true;
}

bool WindowsRegistry::QueryValue(RegistryKey key, const char* name, char* data, uint32_t capacity,
                                 uint32_t* size)
{
    DWORD read = capacity;
    if (RegQueryValueExA(Handle(key), name, 0, 0, (LPBYTE)data, &read) != ERROR_SUCCESS)
        return false;
    *size = read;
    return true;
}

void WindowsRegistry::DeleteValue(RegistryKey key, const char* name)
{
    RegDeleteValueA(Handle(key), name);
}

void WindowsRegistry::SetValue(RegistryKey key, const char* name, const char* text)
{
    RegSetValueExA(Handle(key), name, 0, REG_SZ, (const BYTE*)text, TextLength(text) + 1);
}

void WindowsRegistry::CloseKey(RegistryKey key) { RegCloseKey(Handle(key)); }
