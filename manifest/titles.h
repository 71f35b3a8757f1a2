// The backdrop's title and tagline and the abort notice as they are made from
// the product's texts; the packer refuses a description whose texts would not
// fit.
#ifndef CRATEWISE_TITLES_H
#define CRATEWISE_TITLES_H

#include <stdint.h>

enum { TitleTextSize = 40, TaglineTextSize = 80, AbortNoticeSize = 256 };

// "%s v%s" and "%s - %s" of the product's texts, bounded to their buffers.
int32_t FormatTitleText(char* output, const char* product, const char* version);
int32_t FormatTaglineText(char* output, const char* product, const char* tagline);

// The abort notice with the vendor's address, in AbortNoticeSize bytes. 1, or
// -1 when the address does not fit: the notice then says only that the
// installation was aborted, so the box is never empty.
int32_t FormatAbortNotice(char* output, const char* supportAddress);

#endif
