// The registry below the local machine, as the completion step writes it: an
// interface that the Windows side carries out and tests record. No Windows
// headers here.
#ifndef CRATEWISE_REGISTRY_PORT_H
#define CRATEWISE_REGISTRY_PORT_H

#include <stdint.h>

// An open key as the port hands it out.
typedef uintptr_t RegistryKey;

// The local machine's root key, open throughout.
const RegistryKey MachineKey = 0;

class RegistryPort {
public:
    // Creates (or opens) the sub-key name of parent; false when it cannot.
    virtual bool CreateKey(RegistryKey parent, const char* name, RegistryKey* opened) = 0;
    // Opens the existing sub-key name of parent; false when there is none.
    virtual bool OpenKey(RegistryKey parent, const char* name, RegistryKey* opened) = 0;
    // The value's bytes and their count; false when it is missing or larger
    // than capacity.
    virtual bool QueryValue(RegistryKey key, const char* name, char* data, uint32_t capacity,
                            uint32_t* size) = 0;
    virtual void DeleteValue(RegistryKey key, const char* name) = 0;
    // The text with its terminating zero, as a string value.
    virtual void SetValue(RegistryKey key, const char* name, const char* text) = 0;
    virtual void CloseKey(RegistryKey key) = 0;

protected:
    ~RegistryPort() {}
};

#endif
