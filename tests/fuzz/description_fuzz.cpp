// A product description of any text, read as the packer reads it, against a
// scratch folder of real files (a few broken ones among them) so that paths
// resolve. Reading must never fail on its own, and a description it accepts
// must fit every buffer the installer keeps its texts in.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "description.h"
#include "manifest/folders.h"
#include "manifest/text.h"
#include "pages/completion_logic.h"
#include "pages/group_logic.h"

namespace {

void Require(bool holds) { return holds ? void() : abort(); }

// In the folder the fuzzer runs in.
const std::string scratch = "description-scratch";

void MakeScratch()
{
    for (const char* folder : {"", "/art", "/folder.txt"})
        mkdir((scratch + folder).c_str(), 0755);
    std::vector<std::pair<std::string, std::string>> files = {
        {"empty.txt", ""},
        {"huge.txt", std::string(70000, 'a')},
        {"art/product.ico", std::string("\0\0\1\0\1\0", 6) + std::string(16, '\0')},
        // A bitmap's file header and its info header's size, little-endian.
        {"art/page.bmp",
         std::string("BM>\0\0\0\0\0\0\0\x1A\0\0\0(\0\0\0", 18) + std::string(40, '\0')},
        {"art/page.png", std::string("\x89PNG\r\n\x1A\n", 8) + std::string(32, '\0')},
        {"art/short.bmp", "BM"},
        {"art/broken.ico", std::string("\0\0\2\0", 4)},
        {"gone.exe", "MZ stands in for the uninstaller\n"},
        {"quodpost.exe", "MZ stands in for the program\n"},
        {"notaprogram.exe", "ZM\n"},
    };
    // The reader does not look into these.
    for (const char* name : {"agreement.txt", "help.txt", "read_me.txt", "readme.txt", "tally.dat",
                             "tally.ini", "art/product.art"})
        files.push_back({name, "Any text.\n"});
    for (const auto& [name, bytes] : files) {
        FILE* out = fopen((scratch + "/" + name).c_str(), "wb");
        Require(out && fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() && !fclose(out));
    }
}

// What the installer does with the texts, run on its own buffers.
void CheckInstallerFits(const packer::ProductDescription& d)
{
    int32_t rows = (int32_t)d.rows.size();
    // The rows' own limits are the packer's tests'; these are the installer's buffers.
    Require(rows <= PayloadSlots);
    InstallManifest m = {"Cratewise",           d.registryKeyTemplate.c_str(),
                         d.productName.c_str(), d.tagline.c_str(),
                         d.version.c_str(),     d.defaultFolderTemplate.c_str(),
                         /* rows, below */ {},  rows,
                         d.shortcutCount};
    auto fits = [](char* field, int32_t width, const std::string& text) {
        return text.size() < (size_t)width && TextCopy(field, width, text.c_str()) == 1;
    };
    for (int32_t i = 0; i < rows; ++i) {
        PayloadEntry& entry = m.Payload[i];
        Require(fits(entry.FileName, FileNameWidth, d.rows[i].fileName) &&
                fits(entry.ResourceName, ResourceNameWidth, d.rows[i].resourceName) &&
                fits(entry.Caption, CaptionWidth, d.rows[i].caption));
    }

    // The folder page starts at the default folder, and Continue takes it
    // (and with it every path built from it).
    char folder[PagePathSize];
    Require(TextFormat(folder, sizeof folder, m.DefaultFolderTemplate, m.ProductName) > 0);
    Require(FolderRefusal(folder, TextLength(folder), m) == 0);

    // The group page's field starts with the product's name, whole.
    Require(d.productName.size() < (size_t)GroupFieldSize);

    // The registry entries and the closing boxes.
    RegistryPlan plan;
    StartRegistryPlan(&plan, RegistryInputs{m.RegistryKeyTemplate, m.ProductName, m.Version, folder,
                                            "C:\\WINDOWS", m.ProductName,
                                            m.Payload[UninstallerRow].FileName});
    Require(plan.KeyPathFits == 1 && plan.EntryFits == 1);
    char message[ClosingTextSize];
    Require(FormatReadMeQuestion(message, sizeof message, m.ProductName) >= 0 &&
            FormatThanks(message, sizeof message, m.ProductName, d.supportAddress.c_str()) >= 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) { return MakeScratch(), 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text((const char*)data, size);
    // As a setup build reads it, and as the uninstaller's names-only read.
    const packer::TargetFiles built = {{"uninstaller", scratch + "/gone.exe"},
                                       {"quodpost", scratch + "/quodpost.exe"}};
    const packer::TargetFiles namesOnly = {{packer::AnyTarget, ""}};
    for (const packer::TargetFiles* targets : {&built, &namesOnly}) {
        packer::ProductDescription description;
        std::vector<packer::Diagnostic> problems;
        if (packer::ReadDescriptionText(text, scratch + "/fuzz.product", *targets, &description,
                                        &problems))
            CheckInstallerFits(description);
        else
            Require(!problems.empty());
    }
    return 0;
}
