#include "titles.h"

#include "text.h"

int32_t FormatTitleText(char* output, const char* product, const char* version)
{
    return TextFormat(output, TitleTextSize, "%s v%s", product, version);
}

int32_t FormatTaglineText(char* output, const char* product, const char* tagline)
{
    return TextFormat(output, TaglineTextSize, "%s - %s", product, tagline);
}
