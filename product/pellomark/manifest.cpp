// The sample product's manifest, written by hand until the packer makes it.
#include "../../manifest/manifest.h"

const InstallManifest Manifest = {
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
        {"", "", "", 0, 0},
    },
    4,
    4,
};

const char SupportAddress[] = "support@dornwick.example";
