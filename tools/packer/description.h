// A product description: the plain-text file in which a vendor names the
// texts, artwork and payload rows of one setup executable. Reading it checks
// every rule the installer relies on, so a description that reads cleanly
// always makes a sound manifest.
#ifndef CRATEWISE_PACKER_DESCRIPTION_H
#define CRATEWISE_PACKER_DESCRIPTION_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace packer {

// One finding, shown as "file:line: message".
struct Diagnostic {
    std::string file;
    int line = 0;
    std::string message;
};

std::string FormatDiagnostic(const Diagnostic& diagnostic);

enum class StoredForm { Compressed, Plain };

struct PayloadRow {
    int line = 0;
    std::string fileName;
    std::string resourceName;
    std::string caption;
    StoredForm form = StoredForm::Compressed;
    std::string source;      // as written
    std::string sourcePath;  // the file it names
    uint64_t sourceSize = 0;
};

// The four pictures, in the order of their keys.
enum ArtSlot { IconArt, PageArt, GroupArt, HeaderArt, ArtSlotCount };

enum class ArtFormat { Png, Bitmap, Icon };  // .png, .bmp, .ico

struct ArtEntry {
    int line = 0;
    std::string path;   // the file
    std::string shown;  // as written
    ArtFormat format = ArtFormat::Png;
};

struct ProductDescription {
    std::string file;    // as given, for messages
    std::string folder;  // absolute; relative paths start here
    int lastLine = 1;

    std::string productName;
    std::string tagline;
    std::string version;
    std::string registryKeyTemplate;
    std::string defaultFolderTemplate;
    std::string supportAddress;
    std::string agreementPath;
    int agreementLine = 0;
    std::vector<std::string> notice;
    ArtEntry art[ArtSlotCount];
    int32_t shortcutCount = 0;
    std::vector<PayloadRow> rows;
};

// The files of build targets that rows may name as their source:
// "@target:NAME" is the entry NAME, "@uninstaller" the entry "uninstaller".
using TargetFiles = std::map<std::string, std::string>;

// Given as a target's name, every build target is taken as not built yet:
// rows that name one get no source file, and the description's names and
// texts alone are read (for the uninstaller, which is itself row 0).
constexpr char AnyTarget[] = "*";

// Limits that come from the installer's buffers and screens rather than
// from the manifest's fields.
constexpr int MaxRows = 5;
constexpr int MinRows = 4;  // row 0 the uninstaller, row 3 the read-me
constexpr int MaxNoticeLines = 3;
constexpr size_t MaxNoticeLineLength = 48;  // wider lines wrap out of the box
constexpr size_t MaxSupportAddressLength = 100;
constexpr uint64_t MaxAgreementSize = 65535;  // what an edit control takes
constexpr uint64_t MaxDescriptionSize = 1 << 20;

// Reads and checks `text` as the description stored at `file` (relative
// paths start at its folder, and the files named must exist). Returns true
// when nothing is wrong; otherwise `problems` holds every finding in line
// order and `description` must not be used.
bool ReadDescriptionText(const std::string& text, const std::string& file,
                         const TargetFiles& targets, ProductDescription* description,
                         std::vector<Diagnostic>* problems);

// The same for the file itself.
bool ReadDescriptionFile(const std::string& file, const TargetFiles& targets,
                         ProductDescription* description, std::vector<Diagnostic>* problems);

// The name of a payload file's stored copy: its last character becomes '_'.
std::string StoredName(const std::string& fileName);

// The resource name as the executable's resource table holds it.
std::string UpperCase(const std::string& text);

}  // namespace packer

#endif
