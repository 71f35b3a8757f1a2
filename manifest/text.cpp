#include "text.h"

int32_t TextLength(const char* text)
{
    int32_t length = 0;
    while (text[length])
        ++length;
    return length;
}

int32_t TextCompare(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (int32_t)(unsigned char)*a - (int32_t)(unsigned char)*b;
}

int32_t TextCopyPart(char* output, int32_t capacity, const char* text, int32_t count)
{
    if (capacity <= 0)
        return -1;
    int32_t i = 0;
    while (i < count && text[i] && i < capacity - 1) {
        output[i] = text[i];
        ++i;
    }
    output[i] = 0;
    return (i < count && text[i]) ? -1 : 1;
}

int32_t TextCopy(char* output, int32_t capacity, const char* text)
{
    return TextCopyPart(output, capacity, text, 0x7fffffff);
}

namespace {

struct Writer {
    char* output;
    int32_t capacity;
    int32_t at;
    bool full;

    void Put(char c)
    {
        if (at < capacity - 1)
            output[at++] = c;
        else
            full = true;
    }
    void PutText(const char* text)
    {
        while (*text && !full)
            Put(*text++);
    }
    void PutNumber(int32_t value)
    {
        char digits[12];
        int32_t count = 0;
        uint32_t magnitude = value < 0 ? 0u - (uint32_t)value : (uint32_t)value;
        do {
            digits[count++] = (char)('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude);
        if (value < 0)
            Put('-');
        while (count)
            Put(digits[--count]);
    }
};

}  // namespace

int32_t TextFormatList(char* output, int32_t capacity, const char* format, va_list args)
{
    if (capacity <= 0)
        return -1;
    Writer w = {output, capacity, 0, false};
    for (const char* p = format; *p && !w.full; ++p) {
        if (*p != '%') {
            w.Put(*p);
            continue;
        }
        ++p;
        if (*p == 's')
            w.PutText(va_arg(args, const char*));
        else if (*p == 'i' || *p == 'd')
            w.PutNumber(va_arg(args, int32_t));
        else if (*p == '%')
            w.Put('%');
        else {
            // An unknown directive is a programming fault; show it, read nothing.
            w.Put('%');
            if (!*p)
                break;
            w.Put(*p);
        }
    }
    if (w.full) {
        output[0] = 0;
        return -1;
    }
    output[w.at] = 0;
    return w.at;
}

int32_t TextFormat(char* output, int32_t capacity, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int32_t result = TextFormatList(output, capacity, format, args);
    va_end(args);
    return result;
}

int32_t ReplaceFirstPlaceholder(char* output, int32_t capacity, const char* text, const char* value)
{
    if (capacity <= 0)
        return -1;
    Writer w = {output, capacity, 0, false};
    bool replaced = false;
    for (const char* p = text; *p && !w.full; ++p) {
        if (!replaced && p[0] == '%' && p[1] == 's') {
            w.PutText(value);
            replaced = true;
            ++p;
        } else {
            w.Put(*p);
        }
    }
    output[w.at] = 0;
    return w.full ? -1 : 1;
}

int32_t CountPlaceholders(const char* format)
{
    int32_t count = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (p[1] == 's') {
            ++count;
            ++p;
        } else {
            return -1;
        }
    }
    return count;
}
