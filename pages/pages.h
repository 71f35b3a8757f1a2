// The dialog procedures of the pages and the completion step.
#ifndef CRATEWISE_PAGES_H
#define CRATEWISE_PAGES_H

#include "../platform/win32.h"

INT_PTR CALLBACK SplashPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK LocationPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK CopyPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GroupPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
void CompletionStep(HWND mainWindow);

// Lets go of the Program Manager conversation and what came with it.
void CloseProgramManager();

#endif
