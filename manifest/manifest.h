// The compile-time description of the product this setup program carries.
#ifndef CRATEWISE_MANIFEST_H
#define CRATEWISE_MANIFEST_H

#include <stdint.h>

enum {
    PayloadSlots = 5,
    FileNameWidth = 20,
    ResourceNameWidth = 20,
    CaptionWidth = 40,
    UninstallerRow = 0,
    ReadMeRow = 3
};

// Fixed widths and field order are part of the stored layout; keep them.
struct PayloadEntry {
    char FileName[FileNameWidth];
    char ResourceName[ResourceNameWidth];
    char Caption[CaptionWidth];
    uint32_t ExpandedSize;
    uint32_t StoredSize;
};

struct InstallManifest {
    const char* InstallerName;
    const char* RegistryKeyTemplate;
    const char* ProductName;
    const char* Tagline;
    const char* Version;
    const char* DefaultFolderTemplate;
    PayloadEntry Payload[PayloadSlots];
    int32_t FileCount;
    int32_t ShortcutCount;
};

// Supplied by the product being packaged (generated at build time).
extern const InstallManifest Manifest;

// The vendor's address that the abort notice and the thanks box give.
extern const char SupportAddress[];

// The CRC-32 of each row's resource, beside the manifest: the copy page
// checks every resource before it writes its stored copy.
extern const uint32_t PayloadCrc[PayloadSlots];

#endif
