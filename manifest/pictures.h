// The backdrop's pictures as the packer makes them and the backdrop shows
// them: their sizes and the colours they are keyed to.
#ifndef CRATEWISE_PICTURES_H
#define CRATEWISE_PICTURES_H

#include <stdint.h>

enum {
    BoxPictureWidth = 120,
    BoxPictureHeight = 168,
    HeaderPictureWidth = 130,
    HeaderPictureHeight = 31
};

// COLORREF values (0x00BBGGRR).
const uint32_t StripeColor = 0x680820;
// The background of the box picture; the part of it outside the drawing is
// flooded with the stripe colour.
const uint32_t BoxKeyColor = 0x808000;

#endif
