// libFuzzer entry: any bytes as a source must compile or be refused, and a
// compiled artwork must encode, without a crash or an overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "artwork.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  artgen::Artwork art;
  std::string error;
  if (artgen::CompileArtwork(text, "fuzz.art", &art, &error)) {
    (void)artgen::EncodeArtwork(art);
  }
  return 0;
}
