// The program's skeleton: main window, step marker and the wizard's steps.
#ifndef CRATEWISE_SHELL_H
#define CRATEWISE_SHELL_H

#include "../platform/win32.h"

// The main window's timer that starts the wizard.
enum { StartTimer = 1 };

ATOM RegisterMainClass(HINSTANCE instance);
HWND CreateMainWindow(HINSTANCE instance, int showCommand);
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CreateDrawKit(HWND window);
void DestroyMainWindow();

// Runs the wizard from its first step; returns when the main window is gone.
void RunWizard(HWND mainWindow);

#endif
