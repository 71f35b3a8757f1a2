// The texts the packer writes: the manifest's C++ source, the resource
// script, the header with the copy page's notice, and the dependency list.
#ifndef CRATEWISE_PACKER_GENERATE_H
#define CRATEWISE_PACKER_GENERATE_H

#include <cstdint>
#include <string>
#include <vector>

#include "description.h"

namespace packer {

struct RowSizes {
    uint32_t expanded = 0;
    uint32_t stored = 0;
    uint32_t crc = 0;  // of the stored form, the resource's bytes
};

// The files product.rc names, by absolute path.
struct ResourceFiles {
    std::string art[ArtSlotCount];
    std::string agreement;
    std::vector<std::string> payload;  // one per row
};

// Output names inside the output folder.
extern const char ManifestName[];
extern const char ResourceScriptName[];
extern const char NoticeHeaderName[];
extern const char AgreementName[];
extern const char* const ArtNames[ArtSlotCount];
std::string PayloadFileName(const PayloadRow& row);

// A C++ string literal of `text`.
std::string CppString(const std::string& text);

// A resource-script string literal of `text` as windres reads it ('\'
// doubled, '"' written twice, line feeds as \n). False when the text holds
// another control character, which no literal can carry safely.
bool RcString(const std::string& text, std::string* literal);

std::string ManifestSource(const ProductDescription& description,
                           const std::vector<RowSizes>& sizes);
std::string NoticeHeader(const ProductDescription& description);
bool ResourceScript(const ProductDescription& description, const ResourceFiles& files,
                    std::string* script, std::string* error);

// A make-style dependency list: `target` depends on every input.
bool Depfile(const std::string& target, const std::vector<std::string>& inputs, std::string* text,
             std::string* error);

}  // namespace packer

#endif
