// A product description of any text, read as the packer reads it, against a
// scratch folder of real files (laid out like the sample's and the small
// product's folders, with a few broken ones beside them) so that paths
// resolve. Reading must never fail on its own; a description it accepts must
// fit every buffer the installer keeps its texts in, and the manifest source,
// notice header and resource script made from it must carry each text back
// exactly. The files are not read or compressed here.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "description.h"
#include "files.h"
#include "generate.h"
#include "manifest/manifest.h"
#include "manifest/paths.h"
#include "manifest/text.h"
#include "pages/completion_logic.h"
#include "pages/group_logic.h"
#include "pages/location_logic.h"
#include "shell/drawkit_logic.h"

namespace {

void Require(bool holds)
{
    if (!holds)
        abort();
}

std::string scratch;

void Write(const std::string& name, const std::string& bytes)
{
    FILE* file = fopen((scratch + "/" + name).c_str(), "wb");
    Require(file != nullptr);
    Require(fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    fclose(file);
}

std::string Le16(uint32_t v) { return std::string{char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string Le32(uint32_t v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

void MakeScratch()
{
    char here[4096];
    Require(getcwd(here, sizeof here) != nullptr);
    scratch = std::string(here) + "/description-scratch";
    mkdir(scratch.c_str(), 0755);
    mkdir((scratch + "/art").c_str(), 0755);
    mkdir((scratch + "/folder.txt").c_str(), 0755);
    Write("agreement.txt", "You may use this program.\nNo warranty.\n");
    Write("empty.txt", "");
    Write("huge.txt", std::string(70000, 'a'));
    for (const char* art : {"product", "page", "group", "header"})
        Write(std::string("art/") + art + ".art", "# artwork\n");
    Write("art/product.ico", std::string("\0\0\1\0\1\0", 6) + std::string(16, '\0'));
    Write("art/page.bmp", "BM" + Le32(62) + Le32(0) + Le32(26) + Le32(40) + std::string(40, '\0'));
    Write("art/short.bmp", "BM");
    Write("art/broken.ico", std::string("\0\0\2\0", 4));
    Write("help.txt", "Help.\n");
    Write("read_me.txt", "Read me.\n");
    Write("readme.txt", "Read me.\n");
    Write("tally.dat", std::string("\0\1\2\3", 4));
    Write("tally.ini", "[tally]\n");
    Write("gone.exe", "MZ stands in for the uninstaller\n");
    Write("quodpost.exe", "MZ stands in for the program\n");
    Write("notaprogram.exe", "ZM\n");
}

std::string Upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
    return text;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

bool Printable(const std::string& text)
{
    for (char c : text)
        if (c < 0x20 || c > 0x7E)
            return false;
    return true;
}

bool Fits(char* field, int32_t width, const std::string& text)
{
    return TextCopy(field, width, text.c_str()) == 1 && text.size() < (size_t)width;
}

// The string literals of a C++ source, decoded, outside its comments; false
// when the text is not plain ASCII, a literal is not one this source can
// hold, or a bracket is left open.
bool CppLiterals(const std::string& s, std::vector<std::string>* literals)
{
    int depth = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        if ((c < 0x20 || c > 0x7E) && c != '\n')
            return false;
        if (s.compare(i, 2, "//") == 0) {
            size_t end = s.find('\n', i);
            if (end == std::string::npos || s[end - 1] == '\\')
                return false;
            i = end;
        } else if (s.compare(i, 2, "/*") == 0) {
            size_t end = s.find("*/", i + 2);
            if (end == std::string::npos)
                return false;
            i = end + 1;
        } else if (c == '"') {
            std::string text;
            for (++i;; ++i) {
                if (i >= s.size() || s[i] == '\n')
                    return false;
                if (s[i] == '"')
                    break;
                if (s[i] == '?' && i + 1 < s.size() && s[i + 1] == '?')
                    return false;  // a trigraph's start
                if (s[i] != '\\') {
                    text += s[i];
                    continue;
                }
                char e = s[++i];
                if (e == '\\' || e == '"' || e == '?') {
                    text += e;
                } else if (e >= '0' && e <= '7') {
                    int value = 0;
                    int digits = 0;
                    for (; digits < 3 && s[i] >= '0' && s[i] <= '7'; ++digits, ++i)
                        value = value * 8 + (s[i] - '0');
                    --i;
                    if (value > 255 || value == 0)
                        return false;
                    text += (char)value;
                } else {
                    return false;
                }
            }
            literals->push_back(text);
        } else if (c == '{' || c == '(') {
            ++depth;
        } else if (c == '}' || c == ')') {
            if (--depth < 0)
                return false;
        } else if (c == '\'') {
            return false;
        }
    }
    return depth == 0;
}

// One resource-script string literal at the start of s: '\\', '""' and '\n'
// are its only escapes.
bool RcLiteral(const std::string& s, size_t* at, std::string* text)
{
    size_t i = *at;
    if (i >= s.size() || s[i] != '"')
        return false;
    text->clear();
    for (++i; i < s.size(); ++i) {
        char c = s[i];
        if (c < 0x20 || c > 0x7E)
            return false;
        if (c == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
                *text += '"';
                ++i;
                continue;
            }
            *at = i + 1;
            return true;
        }
        if (c == '\\') {
            char e = i + 1 < s.size() ? s[i + 1] : 0;
            if (e == '\\')
                *text += '\\';
            else if (e == 'n')
                *text += '\n';
            else
                return false;
            ++i;
            continue;
        }
        *text += c;
    }
    return false;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// The group page's field, holding what the page puts in it first.
class GroupField : public GroupView {
public:
    explicit GroupField(const char* text) : text_(text) {}
    void AddGroup(const char*) override {}
    char* AllocateWork(uint32_t) override { return nullptr; }
    void FreeWork(char*) override {}
    void Pause(uint32_t) override {}
    void MarkStep(int32_t) override {}
    void ReadField(char* output, int32_t capacity) override { TextCopy(output, capacity, text_); }
    void Warn(const char*) override { ++warnings; }
    void ShowError(const char*) override {}
    void Abort() override {}
    int warnings = 0;

private:
    const char* text_;
};

// What the installer does with the texts, run on its own buffers.
void CheckInstallerFits(const packer::ProductDescription& d)
{
    int32_t rows = (int32_t)d.rows.size();
    Require(rows >= packer::kMinRows && rows <= PayloadSlots);
    Require(d.shortcutCount >= 0 && d.shortcutCount <= rows);
    Require(d.notice.size() <= (size_t)packer::kMaxNoticeLines);
    for (const std::string& line : d.notice)
        Require(Printable(line) && line.size() <= packer::kMaxNoticeLineLength);
    for (const std::string* text : {&d.productName, &d.tagline, &d.version,
                                    &d.registryKeyTemplate, &d.defaultFolderTemplate,
                                    &d.supportAddress})
        Require(!text->empty() && Printable(*text));

    InstallManifest product = {};
    product.InstallerName = "Cratewise";
    product.RegistryKeyTemplate = d.registryKeyTemplate.c_str();
    product.ProductName = d.productName.c_str();
    product.Tagline = d.tagline.c_str();
    product.Version = d.version.c_str();
    product.DefaultFolderTemplate = d.defaultFolderTemplate.c_str();
    product.FileCount = rows;
    product.ShortcutCount = d.shortcutCount;
    for (int32_t i = 0; i < rows; ++i) {
        const packer::PayloadRow& row = d.rows[i];
        PayloadEntry& entry = product.Payload[i];
        Require(Fits(entry.FileName, FileNameWidth, row.fileName) && !row.fileName.empty());
        Require(Fits(entry.ResourceName, ResourceNameWidth, row.resourceName)
                && !row.resourceName.empty());
        Require(Fits(entry.Caption, CaptionWidth, row.caption) && !row.caption.empty());
        Require(Printable(row.fileName) && Printable(row.caption));
        Require(row.caption.find('"') == std::string::npos);
        Require(row.fileName.find_first_of("\\/:*?\"<>|") == std::string::npos);
        // No stored copy may be a payload file itself, or another's copy.
        Require(row.fileName.back() != '_');
        for (int32_t j = 0; j < i; ++j) {
            Require(Upper(row.resourceName) != Upper(d.rows[j].resourceName));
            Require(Lower(row.fileName) != Lower(d.rows[j].fileName));
            Require(Lower(packer::StoredName(row.fileName))
                    != Lower(packer::StoredName(d.rows[j].fileName)));
        }
        Require(Upper(row.resourceName) != "AGREEMENT");
        if (!row.sourcePath.empty()) {
            uint64_t size = 0;
            std::string error;
            Require(packer::ProbeFile(row.sourcePath, &size, &error) == packer::FileStatus::Readable);
            Require(size == row.sourceSize);
        }
    }

    // The backdrop's lettering.
    char title[TitleTextSize];
    char tagline[TaglineTextSize];
    Require(FormatTitleText(title, product.ProductName, product.Version) >= 0);
    Require(FormatTaglineText(tagline, product.ProductName, product.Tagline) >= 0);

    // The folder page starts at the default folder, and Continue takes it.
    char folder[PagePathSize];
    Require(TextFormat(folder, sizeof folder, product.DefaultFolderTemplate, product.ProductName) > 0);
    Require(FolderRefusal(folder, TextLength(folder), product) == 0);
    Require(DestinationFits(folder, product));

    // The group page's field starts with the product's name, whole, and takes it.
    char group[GroupFieldSize] = "";
    GroupField field(product.ProductName);
    Require(d.productName.size() < (size_t)GroupFieldSize);
    Require(ReadGroup(field, group) == 1 && field.warnings == 0
            && strcmp(group, product.ProductName) == 0);
    const char windows[] = "C:\\WINDOWS";
    char command[CommandSize];
    Require(FormatCreateGroup(command, sizeof command, group) > 0);
    Require(FormatShowGroup(command, sizeof command, group, ShowGroupMinimize) > 0);
    for (int32_t i = 0; i < product.ShortcutCount; ++i)
        Require(FormatAddItem(command, sizeof command, i == UninstallerRow ? windows : folder,
                              product.Payload[i].FileName, product.Payload[i].Caption) > 0);

    // The registry entries, the read-me, the closing boxes and the abort notice.
    RegistryPlan plan;
    StartRegistryPlan(&plan, RegistryInputs{product.RegistryKeyTemplate, product.ProductName,
                                            product.Version, folder, windows, group,
                                            product.Payload[UninstallerRow].FileName});
    Require(plan.KeyPathFits == 1 && plan.EntryFits == 1);
    char quoted[QuotedPathSize];
    char line[CommandLineSize];
    Require(ReadMeCommand(line, sizeof line, quoted, sizeof quoted, folder,
                          product.Payload[ReadMeRow].FileName) == 1);
    char message[MessageSize];
    Require(FormatReadMeQuestion(message, sizeof message, product.ProductName) >= 0);
    Require(FormatThanks(message, sizeof message, product.ProductName, d.supportAddress.c_str()) >= 0);
    char notice[256];
    Require(TextFormat(notice, sizeof notice,
                       "Installation Aborted!\n\nIf you need assistance you can email\n"
                       "support at - %s!", d.supportAddress.c_str()) >= 0);
}

void CheckManifestSource(const packer::ProductDescription& d)
{
    std::vector<packer::RowSizes> sizes;
    for (const packer::PayloadRow& row : d.rows)
        sizes.push_back({(uint32_t)row.sourceSize, (uint32_t)(row.sourceSize / 2 + 14)});
    std::string source = packer::ManifestSource(d, sizes);
    std::vector<std::string> literals;
    Require(CppLiterals(source, &literals));
    std::vector<std::string> expected = {"manifest/manifest.h", "Cratewise",
                                         d.registryKeyTemplate, d.productName, d.tagline,
                                         d.version, d.defaultFolderTemplate};
    for (size_t i = 0; i < (size_t)PayloadSlots; ++i) {
        bool used = i < d.rows.size();
        expected.push_back(used ? d.rows[i].fileName : "");
        expected.push_back(used ? d.rows[i].resourceName : "");
        expected.push_back(used ? d.rows[i].caption : "");
    }
    expected.push_back(d.supportAddress);
    Require(literals == expected);
    for (size_t i = 0; i < d.rows.size(); ++i)
        Require(source.find(", " + std::to_string(sizes[i].expanded) + "u, "
                            + std::to_string(sizes[i].stored) + "u},\n")
                != std::string::npos);
    Require(source.find("\n    },\n    " + std::to_string(d.rows.size()) + ",\n    "
                        + std::to_string(d.shortcutCount) + ",\n};\n")
            != std::string::npos);
}

void CheckNoticeHeader(const packer::ProductDescription& d)
{
    std::vector<std::string> lines = Lines(packer::NoticeHeader(d));
    Require(lines.size() == 2);
    Require(lines[0].compare(0, 2, "/*") == 0 && lines[0].find("*/") == lines[0].size() - 2);
    const std::string define = "#define PRODUCT_NOTICE ";
    Require(lines[1].compare(0, define.size(), define) == 0);
    size_t at = define.size();
    std::string text;
    Require(RcLiteral(lines[1], &at, &text) && at == lines[1].size());
    std::string joined;
    for (size_t i = 0; i < d.notice.size(); ++i)
        joined += (i ? "\n" : "") + d.notice[i];
    Require(text == joined);
}

void CheckResourceScript(const packer::ProductDescription& d)
{
    const std::string out = "/build/out folder/it's \"here\"";
    packer::ResourceFiles files;
    for (int slot = 0; slot < packer::ArtSlotCount; ++slot)
        files.art[slot] = out + "/" + packer::kArtNames[slot];
    files.agreement = out + "/" + packer::kAgreementName;
    for (const packer::PayloadRow& row : d.rows)
        files.payload.push_back(out + "/" + packer::PayloadFileName(row));
    std::string script;
    std::string error;
    Require(packer::ResourceScript(d, files, &script, &error));

    // Every file named once, in order, each by a literal that reads back.
    std::vector<std::string> named;
    std::vector<std::string> resources;
    for (const std::string& line : Lines(script)) {
        Require(Printable(line));
        size_t quote = line.find('"');
        if (line.compare(0, 2, "/*") == 0 || line.compare(0, 3, "   ") == 0
            || line.compare(0, 8, "#include") == 0 || line.compare(0, 9, "LANGUAGE ") == 0
            || line.empty())
            continue;
        Require(quote != std::string::npos);
        size_t at = quote;
        std::string text;
        Require(RcLiteral(line, &at, &text));
        if (quote == 0) {
            // A payload entry: its quoted name, then the file.
            const std::string kind = " RCDATA ";
            Require(line.compare(at, kind.size(), kind) == 0);
            resources.push_back(text);
            at += kind.size();
            Require(RcLiteral(line, &at, &text));
        }
        Require(at == line.size());
        named.push_back(text);
    }
    std::vector<std::string> expected(files.art, files.art + packer::ArtSlotCount);
    expected.push_back(files.agreement);
    expected.insert(expected.end(), files.payload.begin(), files.payload.end());
    Require(named == expected);
    Require(resources.size() == d.rows.size());
    for (size_t i = 0; i < d.rows.size(); ++i)
        Require(resources[i] == Upper(d.rows[i].resourceName));
}

void CheckAccepted(const packer::ProductDescription& d)
{
    CheckInstallerFits(d);
    CheckManifestSource(d);
    CheckNoticeHeader(d);
    CheckResourceScript(d);
}

void CheckRejected(const std::vector<packer::Diagnostic>& problems, int lastLine)
{
    Require(!problems.empty());
    int previous = 0;
    for (const packer::Diagnostic& problem : problems) {
        // Each finding names a line of the file, in line order, and says something.
        Require(problem.line >= 1 && problem.line <= lastLine && problem.line >= previous);
        Require(!problem.message.empty());
        previous = problem.line;
    }
}

int LineCount(const std::string& text)
{
    int lines = 1;
    for (size_t i = 0; i + 1 < text.size(); ++i)
        lines += text[i] == '\n';
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    MakeScratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text((const char*)data, size);
    const std::string file = scratch + "/fuzz.product";
    // As a setup build reads it, and as the uninstaller's names-only read.
    const packer::TargetFiles built = {{"uninstaller", scratch + "/gone.exe"},
                                       {"quodpost", scratch + "/quodpost.exe"}};
    const packer::TargetFiles namesOnly = {{packer::kAnyTarget, ""}};
    for (const packer::TargetFiles* targets : {&built, &namesOnly}) {
        packer::ProductDescription description;
        std::vector<packer::Diagnostic> problems;
        if (packer::ReadDescriptionText(text, file, *targets, &description, &problems)) {
            Require(problems.empty());
            CheckAccepted(description);
        } else {
            CheckRejected(problems, LineCount(text));
        }
    }
    return 0;
}
