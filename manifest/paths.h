// The path rules every page composes file paths and command lines with.
#ifndef CRATEWISE_PATHS_H
#define CRATEWISE_PATHS_H

#include <stdint.h>

enum { FullPathSize = 260, PagePathSize = 256, QuotedPathSize = 256, CommandLineSize = 260 };

// "X:\\" before a folder's first component.
enum { RootLength = 3 };

enum PathQuoting { Unquoted, Quoted };

// directory + separator + name, optionally in double quotes, followed by two
// zero bytes. Returns 1, or -1 (and an empty output) when it would not fit.
int32_t JoinPath(char* output, int32_t capacity, const char* directory, const char* name,
                 PathQuoting quoted);

// The still-compressed copy of a payload file: the name's last character
// becomes '_', as SZDD tools name their output. Returns 1 or -1 as above.
int32_t StoredPath(char* output, int32_t capacity, const char* directory, const char* name);

// The same path with its last character made mark: the expansion's
// temporary file beside the destination takes '~'.
int32_t MarkedPath(char* output, int32_t capacity, const char* directory, const char* name,
                   char mark);
enum { StoredMark = '_', ExpandingMark = '~' };

// The folder text names, as the system resolves it: '/' read as '\\', empty
// and "." components dropped, ".." taking back the component before it, no
// backslash at the end. -1 (output empty) when text does not start with a
// drive's "X:\\" and something after it, resolves to a drive root, or does
// not fit.
int32_t NormalizeFolder(char* output, int32_t capacity, const char* text);

// Bytes JoinPath needs for these parts, both terminators included.
int32_t JoinedSize(const char* directory, const char* name, PathQuoting quoted);

// The quoted read-me path and Notepad's command line "Notepad.exe <path>".
// 1, or -1 (outputs empty) when either would not fit.
int32_t ReadMeCommand(char* commandLine, int32_t lineCapacity, char* quotedPath,
                      int32_t pathCapacity, const char* installDir, const char* readMeName);

#endif
