// The one process-wide record of what the installer learns while it runs.
// Every page reads and writes it directly, on the user-interface thread.
#ifndef CRATEWISE_STATE_H
#define CRATEWISE_STATE_H

#include "win32.h"
#include "dde.h"
#include "../manifest/paths.h"
#include "../manifest/registry.h"
#include "../manifest/titles.h"

enum { IndentSlots = 500 };

struct DrawKit {
    int32_t ScreenWidth;
    int32_t ScreenHeight;
    char TitleText[TitleTextSize];
    char TaglineText[TaglineTextSize];
    HIMAGELIST SystemImageList;
    LOGFONTA TitleFont;
    LOGFONTA TaglineFont;
    LOGFONTA StepFont;
    LOGFONTA MeterFont;
    COLORREF TitleShades[4];
    COLORREF TaglineShades[3];
    COLORREF SelTextColor;
    COLORREF SelBackColor;
    COLORREF ItemTextColor;
    COLORREF ItemBackColor;
    COLORREF StepLitColor;
    COLORREF StepDimColor;
};

struct HeaderPicture {
    HGLOBAL PictureBlock;
    HPALETTE PicturePalette;
};

struct MeterState {
    COLORREF MeterColor;
    int32_t ExpandIndex;
    int32_t ReadsPerHalfPercent;
    int32_t ReadCount;
    int32_t Percent;
    int32_t TotalExpanded;
    float PercentExact;
};

struct MeterHook {
    HWND MeterWindow;
    WNDPROC PreviousProc;
};

struct InstallState {
    int32_t StepMask;
    HINSTANCE AppInstance;
    HWND MainWindow;
    char InstallDir[FullPathSize];
    char WindowsDir[FullPathSize];
    char GroupName[GroupNameSize];
    struct HeaderPicture HeaderPicture;
    struct DrawKit DrawKit;
    int32_t CurrentFolderItem;
    int32_t ListingDrives;
    int32_t IndentLevels[IndentSlots];
    struct MeterState MeterState;
    struct MeterHook MeterHook;
    struct DdeLink DdeLink;
};

extern InstallState State;

// Gives the state its initial values: "." for the three texts, the write
// phase's meter colour, zero or none for the rest. Called first at start.
void StartInstallState();

#endif
