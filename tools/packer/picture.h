// The product's pictures, made from the images vendors have (PNG, BMP in
// its usual forms, ICO with bitmap or PNG entries) into exactly what the
// installer draws. Images are read through ImageMagick; the sizes, colours
// and encodings of the results are ours.
#ifndef CRATEWISE_PACKER_PICTURE_H
#define CRATEWISE_PACKER_PICTURE_H

#include <cstdint>
#include <string>
#include <vector>

#include "description.h"

namespace packer {

// What one picture must be. `bits` 4 means the 16 standard VGA colours,
// 8 up to 256 of the image's own. A bitmap's transparent pixels take the
// colour it is shown on (`ground`, 0x00RRGGBB); an icon's are masked.
struct PictureForm {
    const char* resource;  // for messages: "bitmap 200"
    int width;
    int height;
    int bits;
    uint32_t ground;
};

// The bitmaps' forms by slot; the icon's two images are IconForms.
extern const PictureForm PictureForms[ArtSlotCount];
extern const PictureForm IconForms[2];

// The standard VGA colours in the order Windows numbers them, 0x00RRGGBB.
extern const uint32_t VgaColours[16];

// Converts an image file for `slot`: a bitmap becomes a .bmp file (full
// colour table, bottom-up rows, uncompressed), the icon an .ico file with
// its 32 x 32 and 16 x 16 images. `shown` names the file in messages. False
// with the reason in `error` (an image of the wrong size says the size it
// must have).
bool ConvertPicture(ArtSlot slot, const std::vector<uint8_t>& file, const std::string& shown,
                    std::vector<uint8_t>* out, std::string* error);

}  // namespace packer

#endif
