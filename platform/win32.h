// The one place the Windows headers are taken in, with the same settings for
// every module of the installer.
#ifndef CRATEWISE_WIN32_H
#define CRATEWISE_WIN32_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// The common controls, the shell and the LZ library are reached through
// platform/syslibs.cpp, which loads them from the system folder only; their
// functions are declared as plain functions so that ours are the ones called.
#ifndef _COMCTL32_
#define _COMCTL32_
#endif
#ifndef _SHELL32_
#define _SHELL32_
#endif
#include <windows.h>
#include <stdint.h>
#include <commctrl.h>
#include <ddeml.h>
#include <lzexpand.h>
#include <shellapi.h>

#endif
