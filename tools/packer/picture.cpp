#include "picture.h"

#include <Magick++.h>

#include <algorithm>
#include <cstring>
#include <exception>

#include "resources/resource.h"
#include "manifest/pictures.h"

namespace packer {

namespace {

constexpr uint32_t Rgb(uint32_t colorref)
{
    return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF);
}

constexpr uint32_t LightGrey = 0xC0C0C0;  // the page's face, around its picture
constexpr int MaxSide = 4096;             // no decoding of anything larger

}  // namespace

const uint32_t VgaColours[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

const PictureForm PictureForms[ArtSlotCount] = {
    {"icon 100", 32, 32, 4, 0},
    {"bitmap 200", BoxPictureWidth, BoxPictureHeight, 4, LightGrey},
    {"bitmap 201", BoxPictureWidth, BoxPictureHeight, 4, Rgb(BoxKeyColor)},
    {"bitmap 202", HeaderPictureWidth, HeaderPictureHeight, 8, Rgb(StripeColor)},
};

const PictureForm IconForms[2] = {{"icon 100", 32, 32, 4, 0}, {"icon 100", 16, 16, 4, 0}};

namespace {

static_assert(IDI_PRODUCT == 100 && IDB_PAGE == 200 && IDB_GROUP == 201 && IDB_HEADER == 202,
              "the forms' messages name the resources");

const char* const Keys[ArtSlotCount] = {"Icon", "PageBitmap", "GroupBitmap", "HeaderBitmap"};
constexpr uint32_t Transparent = 0xFF000000;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string Size(size_t width, size_t height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

uint32_t Stride(int width, int bits) { return (uint32_t(width) * bits + 31) / 32 * 4; }

void InitialiseOnce()
{
    static bool done = false;
    if (done)
        return;
    Magick::InitializeMagick(nullptr);
    // One thread: frugal, and the same colours from every run.
    Magick::ResourceLimits::thread(1);
    Magick::ResourceLimits::width(MaxSide);
    Magick::ResourceLimits::height(MaxSide);
    done = true;
}

// One decoded image: 0x00RRGGBB per pixel, or Transparent, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> colours;
};

Pixels Export(Magick::Image& image)
{
    Pixels p;
    p.width = int(image.columns());
    p.height = int(image.rows());
    // Without an alpha channel the alpha ImageMagick exports is not always
    // set (run-length encoded BMPs): such an image is opaque throughout.
    bool alpha = image.matte();
    size_t channels = alpha ? 4 : 3;
    std::vector<uint8_t> pixels(size_t(p.width) * p.height * channels);
    image.write(0, 0, p.width, p.height, alpha ? "RGBA" : "RGB", Magick::CharPixel, pixels.data());
    p.colours.resize(size_t(p.width) * p.height);
    for (size_t i = 0; i < p.colours.size(); ++i) {
        const uint8_t* q = &pixels[channels * i];
        p.colours[i] = alpha && q[3] < 128 ? Transparent
                                           : uint32_t(q[0]) << 16 | uint32_t(q[1]) << 8 | q[2];
    }
    return p;
}

enum class Format { Png, Bmp, Ico, Unknown };

Format Sniff(const std::vector<uint8_t>& file)
{
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() >= 8 && std::memcmp(file.data(), png, 8) == 0)
        return Format::Png;
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M')
        return Format::Bmp;
    if (file.size() >= 4 && !file[0] && !file[1] && file[2] == 1 && !file[3])
        return Format::Ico;
    return Format::Unknown;
}

// Every frame of the file, decoded by the coder its first bytes name (never
// by one ImageMagick guesses).
bool Decode(const std::vector<uint8_t>& file, Format format, const std::string& shown,
            std::vector<Pixels>* frames, std::string* error)
{
    static const char* const coders[] = {"PNG", "BMP", "ICO"};
    const char* coder = coders[int(format)];
    try {
        Magick::ReadOptions options;
        options.quiet(true);
        std::strncpy(options.imageInfo()->magick, coder, MaxTextExtent - 1);
        std::vector<Magick::Image> images;
        Magick::readImages(&images, Magick::Blob(file.data(), file.size()), options);
        for (Magick::Image& image : images)
            frames->push_back(Export(image));
    } catch (const std::exception& e) {
        // "packer: improper image header `' @ error/bmp.c/...": the reason alone.
        std::string reason = e.what();
        size_t at = reason.find(": ");
        if (at != std::string::npos)
            reason.erase(0, at + 2);
        at = reason.find(" `");
        if (at != std::string::npos)
            reason.erase(at);
        *error = Quoted(shown) + " cannot be read as " + coder + ": " + reason;
        return false;
    }
    if (frames->empty()) {
        *error = Quoted(shown) + " cannot be read as " + coder + ": no image in it";
        return false;
    }
    return true;
}

int NearestVga(uint32_t colour)
{
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 16; ++i) {
        long distance = 0;
        for (int shift : {16, 8, 0}) {
            long d = long(colour >> shift & 0xFF) - long(VgaColours[i] >> shift & 0xFF);
            distance += d * d;
        }
        if (bestDistance < 0 || distance < bestDistance)
            best = i, bestDistance = distance;
    }
    return best;
}

// Up to 256 colours: the image's own when it has no more, else ImageMagick's
// reduction of them (without dithering). Sorted, so the table is the same
// whatever order the pixels come in.
bool OwnPalette(Pixels* p, std::vector<uint32_t>* palette, std::string* error)
{
    std::vector<uint32_t> distinct = p->colours;
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    if (distinct.size() > 256) {
        std::vector<uint8_t> rgb;
        rgb.reserve(p->colours.size() * 3);
        for (uint32_t c : p->colours)
            for (int shift : {16, 8, 0})
                rgb.push_back(uint8_t(c >> shift));
        try {
            Magick::Image image;
            image.read(size_t(p->width), size_t(p->height), "RGB", Magick::CharPixel, rgb.data());
            image.quantizeDither(false);
            image.quantizeColors(256);
            image.quantize();
            *p = Export(image);
        } catch (const std::exception& e) {
            *error = std::string("reducing its colours to 256 failed: ") + e.what();
            return false;
        }
        distinct = p->colours;
        std::sort(distinct.begin(), distinct.end());
        distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
        if (distinct.size() > 256) {
            *error = "its colours did not reduce to 256";
            return false;
        }
    }
    *palette = distinct;
    return true;
}

// The colour rows (bottom-up) of an image in `palette`: each pixel its own
// entry when the table has it, else the nearest of the 16.
std::vector<uint8_t> Rows(const Pixels& p, int bits, const std::vector<uint32_t>& palette)
{
    uint32_t stride = Stride(p.width, bits);
    std::vector<uint8_t> rows(size_t(stride) * p.height, 0);
    int perByte = 8 / bits;
    for (int y = 0; y < p.height; ++y) {
        uint8_t* row = &rows[size_t(stride) * (p.height - 1 - y)];
        for (int x = 0; x < p.width; ++x) {
            uint32_t colour = p.colours[size_t(y) * p.width + x];
            uint32_t index = 0;  // a masked icon pixel: black under its mask bit
            if (colour != Transparent) {
                if (bits == 4)
                    index = uint32_t(NearestVga(colour));
                else
                    index = uint32_t(std::lower_bound(palette.begin(), palette.end(), colour) -
                                     palette.begin());
            }
            row[x / perByte] |= uint8_t(index << (perByte - 1 - x % perByte) * bits);
        }
    }
    return rows;
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageSize)
{
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));  // positive: bottom-up
    Put16(out, 1);
    Put16(out, uint32_t(bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, imageSize);
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);  // colours used: the full table
    Put32(out, 0);
}

void PutTable(std::vector<uint8_t>& out, int bits, const std::vector<uint32_t>& palette)
{
    for (size_t i = 0; i < size_t(1) << bits; ++i) {
        uint32_t c = i < palette.size() ? palette[i] : 0;
        out.push_back(uint8_t(c));
        out.push_back(uint8_t(c >> 8));
        out.push_back(uint8_t(c >> 16));
        out.push_back(0);
    }
}

std::vector<uint8_t> BitmapFile(Pixels p, const PictureForm& form,
                                const std::vector<uint32_t>& palette)
{
    std::vector<uint8_t> rows = Rows(p, form.bits, palette);
    uint32_t offset = 14 + 40 + 4 * (uint32_t(1) << form.bits);
    std::vector<uint8_t> out = {'B', 'M'};
    Put32(out, offset + uint32_t(rows.size()));
    Put32(out, 0);
    Put32(out, offset);
    PutInfoHeader(out, p.width, p.height, form.bits, uint32_t(rows.size()));
    PutTable(out, form.bits, palette);
    out.insert(out.end(), rows.begin(), rows.end());
    return out;
}

std::vector<uint8_t> IconImage(const Pixels& p)
{
    std::vector<uint32_t> vga(VgaColours, VgaColours + 16);
    std::vector<uint8_t> rows = Rows(p, 4, vga);
    uint32_t maskStride = Stride(p.width, 1);
    std::vector<uint8_t> mask(size_t(maskStride) * p.height, 0);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.colours[size_t(y) * p.width + x] == Transparent)
                mask[size_t(maskStride) * (p.height - 1 - y) + x / 8] |= uint8_t(0x80 >> x % 8);
    std::vector<uint8_t> out;
    // The height counts the colour rows and the mask's together.
    PutInfoHeader(out, p.width, 2 * p.height, 4, uint32_t(rows.size() + mask.size()));
    PutTable(out, 4, vga);
    out.insert(out.end(), rows.begin(), rows.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}

std::vector<uint8_t> IconFile(const Pixels* images[2])
{
    std::vector<uint8_t> blobs[2] = {IconImage(*images[0]), IconImage(*images[1])};
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);  // an icon
    Put16(out, 2);
    uint32_t offset = 6 + 16 * 2;
    for (int i = 0; i < 2; ++i) {
        out.push_back(uint8_t(images[i]->width));
        out.push_back(uint8_t(images[i]->height));
        out.push_back(16);  // colours
        out.push_back(0);
        Put16(out, 1);  // planes
        Put16(out, 4);  // bits
        Put32(out, uint32_t(blobs[i].size()));
        Put32(out, offset);
        offset += uint32_t(blobs[i].size());
    }
    for (const auto& blob : blobs)
        out.insert(out.end(), blob.begin(), blob.end());
    return out;
}

}  // namespace

bool ConvertPicture(ArtSlot slot, const std::vector<uint8_t>& file, const std::string& shown,
                    std::vector<uint8_t>* out, std::string* error)
{
    InitialiseOnce();
    const PictureForm& form = PictureForms[slot];
    Format format = Sniff(file);
    bool icon = slot == IconArt;
    if (icon ? format != Format::Ico : format != Format::Png && format != Format::Bmp) {
        *error = Quoted(shown) + (icon ? " is not an icon (.ico)" : " is not a PNG or BMP image");
        return false;
    }
    std::vector<Pixels> frames;
    if (!Decode(file, format, shown, &frames, error))
        return false;

    if (icon) {
        const Pixels* chosen[2] = {nullptr, nullptr};
        std::string sizes;
        for (const Pixels& frame : frames) {
            sizes += (sizes.empty() ? "" : ", ") + Size(frame.width, frame.height);
            for (int i = 0; i < 2; ++i)
                if (!chosen[i] && frame.width == IconForms[i].width &&
                    frame.height == IconForms[i].height)
                    chosen[i] = &frame;
        }
        for (int i = 0; i < 2; ++i)
            if (!chosen[i]) {
                *error = Quoted(shown) + " has no " +
                         Size(IconForms[i].width, IconForms[i].height) + " image (it has " + sizes +
                         "); Icon (icon 100) must have one of " +
                         Size(IconForms[0].width, IconForms[0].height) + " and one of " +
                         Size(IconForms[1].width, IconForms[1].height);
                return false;
            }
        *out = IconFile(chosen);
        return true;
    }

    Pixels& p = frames.front();
    if (p.width != form.width || p.height != form.height) {
        *error = Quoted(shown) + " is " + Size(p.width, p.height) + "; " + Keys[slot] + " (" +
                 form.resource + ") must be " + Size(form.width, form.height);
        return false;
    }
    for (uint32_t& colour : p.colours)
        if (colour == Transparent)
            colour = form.ground;
    std::vector<uint32_t> palette(VgaColours, VgaColours + 16);
    if (form.bits == 8 && !OwnPalette(&p, &palette, error)) {
        *error = Quoted(shown) + ": " + *error;
        return false;
    }
    *out = BitmapFile(p, form, palette);
    return true;
}

}  // namespace packer
