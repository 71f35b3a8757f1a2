// The backdrop's title and tagline as they are made from the product's texts;
// the packer refuses a description whose texts would not fit.
#ifndef CRATEWISE_TITLES_H
#define CRATEWISE_TITLES_H

#include <stdint.h>

enum { TitleTextSize = 40, TaglineTextSize = 80 };

// "%s v%s" and "%s - %s" of the product's texts, bounded to their buffers.
int32_t FormatTitleText(char* output, const char* product, const char* version);
int32_t FormatTaglineText(char* output, const char* product, const char* tagline);

#endif
