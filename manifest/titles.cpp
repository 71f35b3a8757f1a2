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

int32_t FormatAbortNotice(char* output, const char* supportAddress)
{
    static const char Headline[] = "Installation Aborted!";
    if (TextFormat(output, AbortNoticeSize,
                   "%s\n\nIf you need assistance you can email\nsupport at - %s!", Headline,
                   supportAddress) >= 0)
        return 1;
    TextCopy(output, AbortNoticeSize, Headline);
    return -1;
}
