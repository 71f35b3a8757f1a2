// Bounded 8-bit text helpers shared by every page; no C runtime needed.
#ifndef CRATEWISE_TEXT_H
#define CRATEWISE_TEXT_H

#include <stdarg.h>
#include <stdint.h>

int32_t TextLength(const char* text);

// 0 when equal, as lstrcmpA's equality test (case-sensitive).
int32_t TextCompare(const char* a, const char* b);

// Copies text into output of capacity bytes. Returns 1, or -1 when the text
// had to be cut to fit (the output is still terminated).
int32_t TextCopy(char* output, int32_t capacity, const char* text);

// Copies at most count characters of text, terminated.
int32_t TextCopyPart(char* output, int32_t capacity, const char* text, int32_t count);

// printf-style formatting limited to %s, %i, %d and %%. Returns the length
// written, or -1 when the result would not fit (output then empty).
int32_t TextFormat(char* output, int32_t capacity, const char* format, ...);
int32_t TextFormatList(char* output, int32_t capacity, const char* format, va_list args);

// Replaces only the first "%s" of text by value; every other '%' stays as it
// is. Returns 1, or -1 when the result was cut to capacity - 1 characters.
int32_t ReplaceFirstPlaceholder(char* output, int32_t capacity, const char* text,
                                const char* value);

// Counts the "%s" placeholders of a template (any other '%' sequence counts
// as -1: such a template must not be used).
int32_t CountPlaceholders(const char* format);

#endif
