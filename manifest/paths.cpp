#include "paths.h"
#include "text.h"

namespace {

// Appends the directory and, unless it already ends with one, a backslash.
int32_t PutDirectory(char* output, int32_t at, const char* directory)
{
    int32_t length = TextLength(directory);
    for (int32_t i = 0; i < length; ++i)
        output[at++] = directory[i];
    if (at == 0 || output[at - 1] != '\\')
        output[at++] = '\\';
    return at;
}

int32_t SeparatorNeeded(const char* directory)
{
    int32_t length = TextLength(directory);
    return (length == 0 || directory[length - 1] != '\\') ? 1 : 0;
}

void Clear(char* output, int32_t capacity, int32_t terminators)
{
    for (int32_t i = 0; i < terminators && i < capacity; ++i)
        output[i] = 0;
}

bool Separator(char c) { return c == '\\' || c == '/'; }

}  // namespace

int32_t JoinedSize(const char* directory, const char* name, PathQuoting quoted)
{
    return (quoted ? 2 : 0) + TextLength(directory) + SeparatorNeeded(directory) +
           TextLength(name) + 2;
}

int32_t JoinPath(char* output, int32_t capacity, const char* directory, const char* name,
                 PathQuoting quoted)
{
    if (JoinedSize(directory, name, quoted) > capacity) {
        Clear(output, capacity, 2);
        return -1;
    }
    int32_t at = 0;
    if (quoted)
        output[at++] = '"';
    at = PutDirectory(output, at, directory);
    for (const char* p = name; *p; ++p)
        output[at++] = *p;
    if (quoted)
        output[at++] = '"';
    output[at++] = 0;
    output[at] = 0;
    return 1;
}

int32_t StoredPath(char* output, int32_t capacity, const char* directory, const char* name)
{
    return MarkedPath(output, capacity, directory, name, StoredMark);
}

int32_t MarkedPath(char* output, int32_t capacity, const char* directory, const char* name,
                   char mark)
{
    int32_t nameLength = TextLength(name);
    int32_t needed = TextLength(directory) + SeparatorNeeded(directory) + nameLength + 1;
    if (needed > capacity || nameLength == 0) {
        Clear(output, capacity, 1);
        return -1;
    }
    int32_t at = PutDirectory(output, 0, directory);
    for (int32_t i = 0; i < nameLength; ++i)
        output[at++] = name[i];
    output[at - 1] = mark;
    output[at] = 0;
    return 1;
}

int32_t NormalizeFolder(char* output, int32_t capacity, const char* text)
{
    Clear(output, capacity, 1);
    if (capacity < RootLength + 2 || !text[0] || text[1] != ':' || text[2] != '\\' ||
        !text[RootLength])
        return -1;
    output[0] = text[0];
    output[1] = ':';
    int32_t at = 2;  // what is kept so far, without the root's backslash
    const char* p = text + RootLength;
    while (*p) {
        const char* start = p;
        while (*p && !Separator(*p))
            ++p;
        int32_t length = (int32_t)(p - start);
        if (*p)
            ++p;
        if (length == 0 || (length == 1 && start[0] == '.'))
            continue;
        if (length == 2 && start[0] == '.' && start[1] == '.') {
            while (at > 2 && output[at - 1] != '\\')
                --at;
            if (at > 2)
                --at;
            continue;
        }
        if (at + 1 + length + 1 > capacity) {
            Clear(output, capacity, 1);
            return -1;
        }
        output[at++] = '\\';
        for (int32_t i = 0; i < length; ++i)
            output[at++] = start[i];
    }
    if (at == 2) {
        Clear(output, capacity, 1);
        return -1;
    }
    output[at] = 0;
    return 1;
}

int32_t ReadMeCommand(char* commandLine, int32_t lineCapacity, char* quotedPath,
                      int32_t pathCapacity, const char* installDir, const char* readMeName)
{
    if (JoinPath(quotedPath, pathCapacity, installDir, readMeName, Quoted) == 1 &&
        TextFormat(commandLine, lineCapacity, "Notepad.exe %s", quotedPath) >= 0)
        return 1;
    quotedPath[0] = 0;
    commandLine[0] = 0;
    return -1;
}
