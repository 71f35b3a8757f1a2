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
#include <windows.h>
#include <stdint.h>
#include <commctrl.h>
#include <ddeml.h>
#include <lzexpand.h>
#include <shellapi.h>

#endif
