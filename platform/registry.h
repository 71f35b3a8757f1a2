// The registry port carried out with the registry functions.
#ifndef CRATEWISE_REGISTRY_WINDOWS_H
#define CRATEWISE_REGISTRY_WINDOWS_H

#include "win32.h"
#include "registry_port.h"

class WindowsRegistry : public RegistryPort {
public:
    bool CreateKey(RegistryKey parent, const char* name, RegistryKey* opened) override;
    bool OpenKey(RegistryKey parent, const char* name, RegistryKey* opened) override;
    bool QueryValue(RegistryKey key, const char* name, char* data, uint32_t capacity,
                    uint32_t* size) override;
    void DeleteValue(RegistryKey key, const char* name) override;
    void SetValue(RegistryKey key, const char* name, const char* text) override;
    void CloseKey(RegistryKey key) override;
};

#endif
