// The sample product's names and texts, for its uninstaller. Removing a
// product needs no sizes, and the uninstaller cannot know its own: the
// installer's manifest records them, with the uninstaller as row 0.
#include "manifest/manifest.h"

const InstallManifest Manifest = {
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

const char SupportAddress[] = "support@dornwick.example";
