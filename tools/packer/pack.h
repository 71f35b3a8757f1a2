// Turning a checked description into the files a setup executable is built
// from: everything is made and checked in memory before anything is written.
#ifndef CRATEWISE_PACKER_PACK_H
#define CRATEWISE_PACKER_PACK_H

#include <functional>
#include <string>
#include <vector>

#include "description.h"
#include "files.h"
#include "generate.h"

namespace packer {

struct Package {
    std::vector<OutputFile> files;    // in the order they are to be put in place
    std::vector<RowSizes> sizes;      // one per row
    std::vector<std::string> inputs;  // every file read, absolute
};

// Makes a row's SZDD form; SzddCompress unless a test stands in for it.
using Compressor =
    std::function<std::vector<uint8_t>(const uint8_t* data, size_t size, uint8_t lostChar)>;

// Reads every file the description names, compresses the compressed rows
// (each expanded again through libmspack and compared with its source),
// draws the artwork and writes the texts, for the output folder `folder`
// (absolute). False with the findings in `problems` when any step fails.
bool PackProduct(const ProductDescription& description, const std::string& folder, Package* package,
                 std::vector<Diagnostic>* problems, const Compressor& compress = nullptr);

// The agreement as the agreement page shows it: every line ending CR LF.
std::vector<uint8_t> WithCrLf(const std::vector<uint8_t>& text);

}  // namespace packer

#endif
