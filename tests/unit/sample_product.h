// The sample product's manifest, as the tests build on it.
#ifndef SAMPLE_PRODUCT_H
#define SAMPLE_PRODUCT_H

#include "manifest/manifest.h"

const InstallManifest Sample = {
    "Cratewise",
    "Shareware\\Dornwick\\Programs\\%s\\%s",
    "Pellomark",
    "Software updates made easy!",
    "1.01",
    "C:\\Dornwick\\%s",
    {
        {"Quodgone.exe", "Purgeset", "Uninstall", 36864, 19894},
        {"Quodpost.exe", "Program", "Pellomark", 371712, 209925},
        {"Quodpost.hlp", "HelpFile", "Help", 15821, 9359},
        {"Read_me.txt", "ReadMe", "Read Me", 3850, 3850},
        {"", "", "", 99999, 99999},  // past the count: never used
    },
    4,
    4,
};

#endif
