#include <cstdint>
#include <vector>

#include "artwork.h"

namespace artgen {
namespace {

constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

uint32_t Stride(int width, int bpp) {
  return ((static_cast<uint32_t>(width) * bpp + 31) / 32) * 4;
}

uint32_t ColourCount(int bpp) { return 1u << bpp; }

uint32_t PixelRowsSize(const ArtImage& image) {
  return Stride(image.canvas.Width(), image.bpp) * image.canvas.Height();
}

void PutInfoHeader(std::vector<uint8_t>& out, const ArtImage& image,
                   int heightFactor, uint32_t imageSize) {
  Put32(out, kInfoHeaderSize);
  Put32(out, static_cast<uint32_t>(image.canvas.Width()));
  // Positive height: the rows are stored bottom-up.
  Put32(out, static_cast<uint32_t>(image.canvas.Height() * heightFactor));
  Put16(out, 1);  // planes
  Put16(out, static_cast<uint32_t>(image.bpp));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageSize);
  Put32(out, 0);  // horizontal resolution
  Put32(out, 0);  // vertical resolution
  Put32(out, 0);  // colours used: 0 means the full table of 1 << bpp
  Put32(out, 0);  // colours important
}

void PutColourTable(std::vector<uint8_t>& out, const Artwork& art, int bpp) {
  for (uint32_t i = 0; i < ColourCount(bpp); ++i) {
    const Rgb rgb = i < art.palette.size() ? art.palette[i] : Rgb{0, 0, 0};
    out.push_back(rgb.b);
    out.push_back(rgb.g);
    out.push_back(rgb.r);
    out.push_back(0);
  }
}

// Transparent pixels are written as index 0 (black), so that with their
// AND mask bit set they leave the screen beneath them unchanged.
void PutPixelRows(std::vector<uint8_t>& out, const ArtImage& image) {
  const Canvas& c = image.canvas;
  const uint32_t stride = Stride(c.Width(), image.bpp);
  const int perByte = 8 / image.bpp;
  for (int y = c.Height() - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < c.Width(); ++x) {
      const Pixel p = c.At(x, y);
      const uint32_t index = p == kClear ? 0 : static_cast<uint32_t>(p);
      // The leftmost pixel takes the byte's high bits.
      const int shift = (perByte - 1 - x % perByte) * image.bpp;
      row[static_cast<size_t>(x / perByte)] |=
          static_cast<uint8_t>(index << shift);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

void PutAndMask(std::vector<uint8_t>& out, const ArtImage& image) {
  const Canvas& c = image.canvas;
  const uint32_t stride = Stride(c.Width(), 1);
  for (int y = c.Height() - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < c.Width(); ++x) {
      if (c.At(x, y) == kClear) {
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

std::vector<uint8_t> EncodeBitmap(const Artwork& art) {
  const ArtImage& image = art.images.at(0);
  const uint32_t table = 4 * ColourCount(image.bpp);
  const uint32_t rows = PixelRowsSize(image);
  const uint32_t bitsOffset = kFileHeaderSize + kInfoHeaderSize + table;
  std::vector<uint8_t> out;
  out.reserve(bitsOffset + rows);
  out.push_back('B');
  out.push_back('M');
  Put32(out, bitsOffset + rows);
  Put32(out, 0);  // two reserved words
  Put32(out, bitsOffset);
  PutInfoHeader(out, image, 1, rows);
  PutColourTable(out, art, image.bpp);
  PutPixelRows(out, image);
  return out;
}

std::vector<uint8_t> EncodeIcon(const Artwork& art) {
  std::vector<std::vector<uint8_t>> blobs;
  for (const ArtImage& image : art.images) {
    std::vector<uint8_t> blob;
    const uint32_t rows = PixelRowsSize(image);
    const uint32_t mask = Stride(image.canvas.Width(), 1) * image.canvas.Height();
    // The height counts the colour rows and the mask rows together.
    PutInfoHeader(blob, image, 2, rows + mask);
    PutColourTable(blob, art, image.bpp);
    PutPixelRows(blob, image);
    PutAndMask(blob, image);
    blobs.push_back(blob);
  }
  std::vector<uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // resource type: icon
  Put16(out, static_cast<uint32_t>(blobs.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(blobs.size());
  for (size_t i = 0; i < blobs.size(); ++i) {
    const ArtImage& image = art.images[i];
    // A side of 256 is written as 0, and so is a colour count of 256.
    out.push_back(static_cast<uint8_t>(image.canvas.Width() & 0xFF));
    out.push_back(static_cast<uint8_t>(image.canvas.Height() & 0xFF));
    out.push_back(static_cast<uint8_t>(ColourCount(image.bpp) & 0xFF));
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, static_cast<uint32_t>(image.bpp));
    Put32(out, static_cast<uint32_t>(blobs[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(blobs[i].size());
  }
  for (const auto& blob : blobs) out.insert(out.end(), blob.begin(), blob.end());
  return out;
}

}  // namespace

std::vector<uint8_t> EncodeArtwork(const Artwork& art) {
  return art.kind == ArtKind::kIcon ? EncodeIcon(art) : EncodeBitmap(art);
}

}  // namespace artgen
