// The sample product's manifest as the uninstaller sees it, for its tests.
#ifndef UNINSTALL_PRODUCT_H
#define UNINSTALL_PRODUCT_H

#include "manifest/manifest.h"

inline InstallManifest SampleProduct()
{
    return InstallManifest{
        "Cratewise",
        "Shareware\\Dornwick\\Programs\\%s\\%s",
        "Pellomark",
        "Software updates made easy!",
        "1.01",
        "C:\\Dornwick\\%s",
        {
            {"Quodgone.exe", "Purgeset", "Uninstall", 0, 0},
            {"Quodpost.exe", "Program", "Pellomark", 0, 0},
            {"Quodpost.hlp", "HelpFile", "Help", 0, 0},
            {"Read_me.txt", "ReadMe", "Read Me", 0, 0},
            {"", "", "", 0, 0},
        },
        4,
        4,
    };
}

#endif
