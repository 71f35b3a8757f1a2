// Images in the forms vendors have, each made into what the installer draws:
// one row per form, read back through ImageMagick and compared pixel by
// pixel with what the vendor's image shows; and the images refused.
#include <gtest/gtest.h>

#include <Magick++.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "picture.h"
#include "test_support.h"

namespace {

using namespace packer_test;
using Bytes = std::vector<uint8_t>;

std::string Tiny(const char* name) {
    std::string folder = PACKER_TINY_PRODUCT;
    return folder.substr(0, folder.rfind('/')) + "/art/" + name;
}

uint32_t Le32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

Bytes Write(Magick::Image image, const char* coder, std::function<void(Magick::Image&)> change = nullptr) {
    if (change) change(image);
    Magick::Blob blob;
    image.write(&blob, coder);
    const uint8_t* data = static_cast<const uint8_t*>(blob.data());
    return Bytes(data, data + blob.length());
}

// Every frame as 0xAARRGGBB, top row first, alpha 0 or 255.
struct Frame {
    size_t width, height;
    std::vector<uint32_t> pixels;
};

// ImageMagick knows icons by their name only.
std::vector<Frame> Frames(const Bytes& file, bool icon) {
    Magick::ReadOptions options;
    if (icon) std::strcpy(options.imageInfo()->magick, "ICO");
    std::vector<Magick::Image> images;
    Magick::readImages(&images, Magick::Blob(file.data(), file.size()), options);
    std::vector<Frame> frames;
    for (Magick::Image& image : images) {
        Frame f{image.columns(), image.rows(), {}};
        std::vector<uint8_t> rgba(f.width * f.height * 4);
        image.write(0, 0, f.width, f.height, "RGBA", Magick::CharPixel, rgba.data());
        for (size_t i = 0; i < f.width * f.height; ++i) {
            const uint8_t* q = &rgba[4 * i];
            bool clear = image.matte() && q[3] < 128;
            f.pixels.push_back(clear ? 0 : 0xFF000000u | q[0] << 16 | q[1] << 8 | q[2]);
        }
        frames.push_back(f);
    }
    return frames;
}

// The rows of a bottom-up BMP turned top-down, as some tools write them.
Bytes TopDown(Bytes bmp) {
    uint32_t offset = Le32(bmp, 10), width = Le32(bmp, 18), height = Le32(bmp, 22), bits = bmp[28];
    size_t stride = (width * bits + 31) / 32 * 4;
    for (uint32_t y = 0; y < height / 2; ++y)
        std::swap_ranges(bmp.begin() + offset + y * stride, bmp.begin() + offset + (y + 1) * stride,
                         bmp.begin() + offset + (height - 1 - y) * stride);
    uint32_t negative = uint32_t(-int32_t(height));
    for (int i = 0; i < 4; ++i) bmp[22 + i] = uint8_t(negative >> 8 * i);
    return bmp;
}

// A 4-bit run-length encoded BMP of a 16-colour image (runs of one colour).
Bytes Rle4(const Magick::Image& image) {
    Bytes plain = Write(image, "BMP3", [](Magick::Image& i) { i.type(Magick::PaletteType); });
    EXPECT_EQ(plain[28], 4);
    uint32_t offset = Le32(plain, 10), width = Le32(plain, 18), height = Le32(plain, 22);
    size_t stride = (width * 4 + 31) / 32 * 4;
    Bytes rle;
    for (uint32_t y = 0; y < height; ++y) {
        auto at = [&](uint32_t x) { return plain[offset + y * stride + x / 2] >> (x % 2 ? 0 : 4) & 15; };
        for (uint32_t x = 0; x < width;) {
            uint32_t n = 1;
            while (x + n < width && n < 255 && at(x + n) == at(x)) ++n;
            rle.push_back(uint8_t(n));
            rle.push_back(uint8_t(at(x) * 17));
            x += n;
        }
        rle.insert(rle.end(), {0, y + 1 == height ? uint8_t(1) : uint8_t(0)});
    }
    Bytes out(plain.begin(), plain.begin() + offset);
    out.insert(out.end(), rle.begin(), rle.end());
    out[30] = 2;  // BI_RLE4
    for (int i = 0; i < 4; ++i) out[34 + i] = uint8_t(rle.size() >> 8 * i);
    for (int i = 0; i < 4; ++i) out[2 + i] = uint8_t(out.size() >> 8 * i);
    return out;
}

// Transparent pixels in the top left corner.
void ClearCorner(Magick::Image& image) {
    image.type(Magick::TrueColorMatteType);
    image.matte(true);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) image.pixelColor(x, y, Magick::Color("transparent"));
}

// An icon file holding the given images, each stored as PNG.
Bytes IconOfPngs(const std::vector<Magick::Image>& images) {
    Bytes out = {0, 0, 1, 0, uint8_t(images.size()), 0};
    std::vector<Bytes> pngs;
    for (const Magick::Image& image : images) pngs.push_back(Write(image, "PNG32"));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        Bytes entry = {uint8_t(images[i].columns()), uint8_t(images[i].rows()), 0, 0, 1, 0, 32, 0};
        for (uint32_t v : {uint32_t(pngs[i].size()), offset})
            for (int k = 0; k < 4; ++k) entry.push_back(uint8_t(v >> 8 * k));
        out.insert(out.end(), entry.begin(), entry.end());
        offset += uint32_t(pngs[i].size());
    }
    for (const Bytes& png : pngs) out.insert(out.end(), png.begin(), png.end());
    return out;
}

Magick::Image Load(const std::string& path) {
    Magick::Image image;
    image.read(path);
    return image;
}

Magick::Image Frame0(const std::string& path, const char* which) {
    Magick::Image image;
    image.read(path + which);
    return image;
}

struct ImageCase {
    const char* form;
    packer::ArtSlot slot;
    std::function<Bytes()> make;
    const char* refusal;  // nullptr: converted, and shows what the input shows
};

const ImageCase kImages[] = {
    {"png", packer::PageArt, [] { return ReadBytes(Tiny("page.png")); }, nullptr},
    {"bmp_1_bit", packer::PageArt,
     [] { return Write(Load(Tiny("page.png")), "BMP3", [](Magick::Image& i) { i.type(Magick::BilevelType); }); },
     nullptr},
    {"bmp_4_bit", packer::GroupArt,
     [] { return Write(Load(Tiny("page.png")), "BMP3", [](Magick::Image& i) { i.type(Magick::PaletteType); }); },
     nullptr},
    {"bmp_4_bit_run_length", packer::GroupArt, [] { return Rle4(Load(Tiny("page.png"))); }, nullptr},
    {"bmp_8_bit_run_length", packer::HeaderArt, [] { return ReadBytes(Tiny("header.bmp")); }, nullptr},
    {"bmp_24_bit", packer::GroupArt, [] { return ReadBytes(Tiny("group.bmp")); }, nullptr},
    {"bmp_24_bit_top_down", packer::PageArt, [] { return TopDown(ReadBytes(Tiny("group.bmp"))); }, nullptr},
    {"bmp_32_bit_with_alpha", packer::GroupArt, [] { return Write(Load(Tiny("group.bmp")), "BMP", ClearCorner); },
     nullptr},
    {"png_with_alpha", packer::HeaderArt,
     [] {
         return Write(Load(Tiny("page.png")), "PNG32", [](Magick::Image& i) {
             i.extent(Magick::Geometry(130, 31));
             ClearCorner(i);
         });
     },
     nullptr},
    {"png_of_many_colours", packer::HeaderArt,
     [] {
         Magick::Image image;
         image.read("gradient:#ff0000-#0000ff");
         image.resize(Magick::Geometry("130x31!"));
         image.addNoise(Magick::GaussianNoise);
         return Write(image, "PNG24");
     },
     nullptr},
    {"ico_of_bitmaps", packer::IconArt, [] { return ReadBytes(std::string(PACKER_SAMPLE_ART) + "/product.ico"); },
     nullptr},
    {"ico_of_pngs_among_others", packer::IconArt,
     [] {
         Magick::Image big = Frame0(Tiny("product.ico"), "[0]");
         big.resize(Magick::Geometry("48x48"));
         return IconOfPngs({big, Frame0(Tiny("product.ico"), "[1]"), Frame0(Tiny("product.ico"), "[0]")});
     },
     nullptr},

    {"wrong_width", packer::PageArt,
     [] { return Write(Load(Tiny("page.png")), "PNG", [](Magick::Image& i) { i.extent(Magick::Geometry(121, 168)); }); },
     "'x' is 121 x 168; PageBitmap (bitmap 200) must be 120 x 168"},
    {"icon_without_16", packer::IconArt, [] { return IconOfPngs({Frame0(Tiny("product.ico"), "[0]")}); },
     "'x' has no 16 x 16 image (it has 32 x 32); Icon (icon 100) must have one of 32 x 32 and one of 16 x 16"},
    {"gif", packer::GroupArt, [] { return Write(Load(Tiny("page.png")), "GIF"); }, "'x' is not a PNG or BMP image"},
    {"png_cut_short", packer::PageArt,
     [] {
         Bytes png = ReadBytes(Tiny("page.png"));
         png.resize(png.size() / 2);
         return png;
     },
     "'x' cannot be read as PNG: "},
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.form; }

class Image : public ::testing::TestWithParam<ImageCase> {};

// What the installer shows of one input pixel.
uint32_t Shown(uint32_t pixel, const packer::PictureForm& form) {
    return pixel >> 24 ? pixel & 0xFFFFFF : form.ground;
}

TEST_P(Image, BecomesWhatTheInstallerDraws) {
    const ImageCase& c = GetParam();
    Bytes input = c.make();
    Bytes out;
    std::string error;
    bool converted = packer::ConvertPicture(c.slot, input, "x", &out, &error);
    if (c.refusal) {
        EXPECT_FALSE(converted);
        EXPECT_EQ(error.find(c.refusal), 0u) << error;
        return;
    }
    ASSERT_TRUE(converted) << error;
    bool icon = c.slot == packer::IconArt;
    std::vector<Frame> want = Frames(input, icon), got = Frames(out, icon);

    if (icon) {
        // Two images, 32 x 32 then 16 x 16, 4 bits each, with their masks.
        ASSERT_EQ(out[4], 2);
        ASSERT_EQ(got.size(), 2u);
        for (int i = 0; i < 2; ++i) {
            const packer::PictureForm& form = packer::IconForms[i];
            EXPECT_EQ(out[6 + 16 * i], form.width);
            EXPECT_EQ(out[6 + 16 * i + 6], form.bits);
            auto same = std::find_if(want.begin(), want.end(), [&](const Frame& f) {
                return int(f.width) == form.width && int(f.height) == form.height;
            });
            ASSERT_NE(same, want.end());
            EXPECT_EQ(got[i].pixels, same->pixels) << "image " << i;
        }
        return;
    }
    // A packed DIB the backdrop and the pages draw: bottom-up, uncompressed,
    // the full colour table.
    const packer::PictureForm& form = packer::PictureForms[c.slot];
    EXPECT_EQ(int32_t(Le32(out, 18)), form.width);
    EXPECT_EQ(int32_t(Le32(out, 22)), form.height);
    EXPECT_EQ(out[28], form.bits);
    EXPECT_EQ(Le32(out, 30), 0u);  // BI_RGB
    EXPECT_EQ(Le32(out, 46), 0u);  // the table has 1 << bits entries
    EXPECT_EQ(out.size(), 14 + 40 + 4 * (size_t(1) << form.bits) +
                              size_t((form.width * form.bits + 31) / 32 * 4) * form.height);
    ASSERT_EQ(got.size(), 1u);
    ASSERT_EQ(got[0].pixels.size(), want[0].pixels.size());
    int differing = 0, worst = 0;
    for (size_t i = 0; i < want[0].pixels.size(); ++i) {
        uint32_t a = Shown(want[0].pixels[i], form), b = got[0].pixels[i] & 0xFFFFFF;
        differing += a != b;
        for (int shift : {16, 8, 0}) worst = std::max(worst, std::abs(int(a >> shift & 255) - int(b >> shift & 255)));
    }
    if (std::string(c.form) == "png_of_many_colours") {
        EXPECT_GT(differing, 0);   // so the reduction did reduce
        EXPECT_LE(worst, 32);
    } else {
        EXPECT_EQ(differing, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryForm, Image, ::testing::ValuesIn(kImages),
                         [](const ::testing::TestParamInfo<ImageCase>& info) { return info.param.form; });

}  // namespace
