// Resource and control identifiers of the Pellomark dialog.
#ifndef PELLOMARK_RESOURCE_H
#define PELLOMARK_RESOURCE_H

#define IDD_MAIN 100

#define IDC_SOURCE        1001
#define IDC_BROWSE_SOURCE 1002
#define IDC_TARGET        1003
#define IDC_BROWSE_TARGET 1004
#define IDC_LIST          1005
#define IDC_STATUS        1006
#define IDC_COMPARE       1007
#define IDC_UPDATE        1008
#define IDC_SHOWHELP      1009

#define MAIN_CAPTION "Pellomark - Software updates made easy!"

#endif
