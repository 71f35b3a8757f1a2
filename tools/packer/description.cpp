#include "description.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "files.h"
#include "manifest/manifest.h"
#include "manifest/paths.h"
#include "manifest/registry.h"
#include "manifest/folders.h"
#include "manifest/text.h"
#include "manifest/titles.h"

namespace packer {

std::string FormatDiagnostic(const Diagnostic& diagnostic)
{
    return diagnostic.file + ":" + std::to_string(diagnostic.line) + ": " + diagnostic.message;
}

std::string StoredName(const std::string& fileName)
{
    if (fileName.empty())
        return fileName;
    std::string stored = fileName;
    stored.back() = '_';
    return stored;
}

std::string UpperCase(const std::string& text)
{
    std::string upper = text;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return upper;
}

namespace {

const char UninstallerSource[] = "@uninstaller";
const char TargetSource[] = "@target:";
const char UninstallerTarget[] = "uninstaller";
// What the registry key's second placeholder receives (the version key).

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string Trim(const std::string& text)
{
    size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return "";
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

std::string LowerCase(const std::string& text)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

bool EndsWithNoCase(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() &&
           LowerCase(text.substr(text.size() - tail.size())) == LowerCase(tail);
}

std::string Ordinal(size_t n)
{
    const char* suffix = "th";
    if (n % 100 < 11 || n % 100 > 13) {
        if (n % 10 == 1)
            suffix = "st";
        else if (n % 10 == 2)
            suffix = "nd";
        else if (n % 10 == 3)
            suffix = "rd";
    }
    return std::to_string(n) + suffix;
}

std::string Hex(unsigned char c)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(c));
    return text;
}

// The installer shows 8-bit ANSI text; only printable ASCII means the same
// in every code page and in every generated source.
bool PrintableAscii(const std::string& field, const std::string& value, std::string* rule)
{
    for (size_t i = 0; i < value.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(value[i]);
        if (c < 0x20 || c > 0x7E) {
            *rule = field + ": the " + Ordinal(i + 1) + " character (" + Hex(c) +
                    ") is not printable ASCII; write the text in plain ASCII";
            return false;
        }
    }
    return true;
}

// Characters that no Windows file or folder name may hold.
const char NameForbidden[] = "\\/:*?\"<>|";

// Windows reads "CON .txt" as CON too: blanks before the extension do not count.
bool IsDeviceName(const std::string& fileName)
{
    std::string base = UpperCase(fileName.substr(0, fileName.find('.')));
    base.erase(base.find_last_not_of(' ') + 1);
    static const char* const devices[] = {"CON",    "PRN",     "AUX",   "NUL",
                                          "CONIN$", "CONOUT$", "CLOCK$"};
    for (const char* device : devices)
        if (base == device)
            return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

enum class KeyKind { Text, Path, Notice, Art, Count, Row };

struct KeyInfo {
    const char* name;
    KeyKind kind;
    bool required;
};

const KeyInfo Keys[] = {
    {"ProductName", KeyKind::Text, true},
    {"Tagline", KeyKind::Text, true},
    {"Version", KeyKind::Text, true},
    {"RegistryKeyTemplate", KeyKind::Text, true},
    {"DefaultFolderTemplate", KeyKind::Text, true},
    {"SupportAddress", KeyKind::Text, true},
    {"Agreement", KeyKind::Path, true},
    {"Notice", KeyKind::Notice, true},
    {"Icon", KeyKind::Art, true},
    {"PageBitmap", KeyKind::Art, true},
    {"GroupBitmap", KeyKind::Art, true},
    {"HeaderBitmap", KeyKind::Art, true},
    {"ShortcutCount", KeyKind::Count, true},
    {"Row", KeyKind::Row, true},
};

std::string KeyList()
{
    std::string list;
    for (const KeyInfo& key : Keys)
        list += (list.empty() ? "" : ", ") + std::string(key.name);
    return list;
}

class Reader {
public:
    Reader(const std::string& file, const TargetFiles& targets, ProductDescription* description,
           std::vector<Diagnostic>* problems)
        : targets_(targets), d_(*description), problems_(*problems)
    {
        d_ = ProductDescription();
        d_.file = file;
        d_.folder = AbsoluteFolderOf(file);
    }

    void Read(const std::string& text)
    {
        ReadLines(text);
        if (!problems_.empty())
            return;  // the rest would only repeat them
        CheckRequired();
        if (!problems_.empty())
            return;
        CheckTexts();
        CheckRows();
        CheckFiles();
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    }

private:
    void Problem(int line, const std::string& message)
    {
        problems_.push_back({d_.file, line, message});
    }

    // Lines and keys.

    void ReadLines(const std::string& text)
    {
        size_t at = 0;
        int number = 0;
        if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            at = 3;  // an editor's byte-order mark
        while (at < text.size()) {
            size_t end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            std::string line = text.substr(at, end - at);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            ReadLine(++number, line);
            at = end + 1;
        }
        d_.lastLine = std::max(number, 1);
    }

    void ReadLine(int number, const std::string& raw)
    {
        std::string line = Trim(raw);
        if (line.empty() || line[0] == '#')
            return;
        size_t colon = line.find(':');
        std::string key = Trim(line.substr(0, colon == std::string::npos ? line.size() : colon));
        bool word = !key.empty() && std::all_of(key.begin(), key.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        });
        if (colon == std::string::npos || !word) {
            Problem(number, "expected 'Key: value' (or a comment starting with '#'), found " +
                                Quoted(line));
            return;
        }
        std::string value = Trim(line.substr(colon + 1));
        if (key == "InstallerName") {
            Problem(number,
                    "InstallerName is always \"Cratewise\" and cannot be set; remove the line");
            return;
        }
        const KeyInfo* info = nullptr;
        for (const KeyInfo& candidate : Keys)
            if (key == candidate.name)
                info = &candidate;
        if (!info) {
            Problem(number, "unknown key " + Quoted(key) + " (the keys are " + KeyList() +
                                "; names are case-sensitive)");
            return;
        }
        bool repeats = info->kind == KeyKind::Notice || info->kind == KeyKind::Row;
        auto seen = keyLines_.find(key);
        if (seen != keyLines_.end() && !repeats) {
            Problem(number,
                    key + " is given twice (first on line " + std::to_string(seen->second) + ")");
            return;
        }
        keyLines_.emplace(key, number);
        lines_[key].push_back(number);

        switch (info->kind) {
        case KeyKind::Text:
            TextField(key) = value;
            break;
        case KeyKind::Path:
            ReadAgreement(number, value);
            break;
        case KeyKind::Notice:
            ReadNotice(number, value);
            break;
        case KeyKind::Art:
            ReadArt(number, key, value);
            break;
        case KeyKind::Count:
            ReadCount(number, value);
            break;
        case KeyKind::Row:
            ReadRow(number, value);
            break;
        }
    }

    std::string& TextField(const std::string& key)
    {
        if (key == "ProductName")
            return d_.productName;
        if (key == "Tagline")
            return d_.tagline;
        if (key == "Version")
            return d_.version;
        if (key == "RegistryKeyTemplate")
            return d_.registryKeyTemplate;
        if (key == "DefaultFolderTemplate")
            return d_.defaultFolderTemplate;
        return d_.supportAddress;
    }

    int LineOf(const std::string& key) const
    {
        auto found = keyLines_.find(key);
        return found == keyLines_.end() ? d_.lastLine : found->second;
    }

    void ReadAgreement(int number, const std::string& value)
    {
        d_.agreementLine = number;
        if (value.empty())
            Problem(number, "Agreement names no file");
        else
            d_.agreementPath = Resolve(value);
        agreementWritten_ = value;
    }

    void ReadNotice(int number, const std::string& value)
    {
        if (d_.notice.size() == size_t(MaxNoticeLines)) {
            Problem(number, "the notice has at most " + std::to_string(MaxNoticeLines) +
                                " lines (the copy page's box shows no more)");
            return;
        }
        std::string rule;
        if (!PrintableAscii("Notice", value, &rule))
            Problem(number, rule);
        else if (value.size() > MaxNoticeLineLength)
            Problem(number,
                    "a Notice line has at most " + std::to_string(MaxNoticeLineLength) +
                        " characters (longer ones wrap out of the copy page's box); this one has " +
                        std::to_string(value.size()));
        d_.notice.push_back(value);
    }

    void ReadArt(int number, const std::string& key, const std::string& value)
    {
        ArtSlot slot = key == "Icon"          ? IconArt
                       : key == "PageBitmap"  ? PageArt
                       : key == "GroupBitmap" ? GroupArt
                                              : HeaderArt;
        ArtEntry& entry = d_.art[slot];
        entry.line = number;
        if (value.empty()) {
            Problem(number, key + " names no file");
            return;
        }
        entry.shown = value;
        entry.path = Resolve(value);
        bool icon = slot == IconArt;
        if (icon && EndsWithNoCase(value, ".ico")) {
            entry.format = ArtFormat::Icon;
        } else if (!icon && EndsWithNoCase(value, ".bmp")) {
            entry.format = ArtFormat::Bitmap;
        } else if (!icon && EndsWithNoCase(value, ".png")) {
            entry.format = ArtFormat::Png;
        } else {
            Problem(number, key + " " + Quoted(value) + " must be " +
                                (icon ? "an icon (.ico)" : "a PNG (.png) or bitmap (.bmp) image"));
        }
    }

    void ReadCount(int number, const std::string& value)
    {
        bool digits = !value.empty() && value.size() <= 4 &&
                      std::all_of(value.begin(), value.end(),
                                  [](char c) { return c >= '0' && c <= '9'; });
        if (!digits) {
            Problem(number, "ShortcutCount " + Quoted(value) + " is not a whole number from 0 to " +
                                std::to_string(MaxRows));
            return;
        }
        d_.shortcutCount = std::stoi(value);
    }

    void ReadRow(int number, const std::string& value)
    {
        if (d_.rows.size() == size_t(MaxRows)) {
            if (!tooManyRows_)
                Problem(number, "a " + Ordinal(MaxRows + 1) +
                                    " row: the payload table holds at most " +
                                    std::to_string(MaxRows) + " rows");
            tooManyRows_ = true;
            return;
        }
        std::vector<std::string> fields;
        size_t at = 0;
        for (;;) {
            size_t bar = value.find('|', at);
            fields.push_back(
                Trim(value.substr(at, bar == std::string::npos ? std::string::npos : bar - at)));
            if (bar == std::string::npos)
                break;
            at = bar + 1;
        }
        if (fields.size() != 5) {
            Problem(number,
                    "a row has five fields separated by '|' (installed file name | resource name | "
                    "caption | compressed or plain | source); found " +
                        std::to_string(fields.size()));
            return;
        }
        PayloadRow row;
        row.line = number;
        row.fileName = fields[0];
        row.resourceName = fields[1];
        row.caption = fields[2];
        if (fields[3] == "compressed") {
            row.form = StoredForm::Compressed;
        } else if (fields[3] == "plain") {
            row.form = StoredForm::Plain;
        } else {
            Problem(number, "the stored form " + Quoted(fields[3]) +
                                " is neither 'compressed' nor 'plain'");
            return;
        }
        row.source = fields[4];
        if (ResolveSource(number, &row))
            d_.rows.push_back(row);
    }

    bool ResolveSource(int number, PayloadRow* row)
    {
        const std::string& source = row->source;
        if (source.empty()) {
            Problem(number, "the row names no source file");
            return false;
        }
        if (source[0] != '@') {
            row->sourcePath = Resolve(source);
            return true;
        }
        std::string target;
        if (source == UninstallerSource)
            target = UninstallerTarget;
        else if (source.compare(0, std::strlen(TargetSource), TargetSource) == 0)
            target = source.substr(std::strlen(TargetSource));
        else {
            Problem(number, "unknown source " + Quoted(source) +
                                " (a path, '@uninstaller' or '@target:NAME')");
            return false;
        }
        auto found = targets_.find(target);
        if (!target.empty() && found == targets_.end() && targets_.count(AnyTarget)) {
            row->sourcePath.clear();  // not built yet: only the names are wanted
            return true;
        }
        if (target.empty() || found == targets_.end()) {
            Problem(number, "source " + Quoted(source) + " needs the file of the build target " +
                                Quoted(target) +
                                ", which the packer was not given (cratewise_product "
                                "passes it; by hand: --target " +
                                target + "=FILE)");
            return false;
        }
        row->sourcePath = found->second;
        return true;
    }

    void CheckRequired()
    {
        for (const KeyInfo& key : Keys) {
            if (!key.required || keyLines_.count(key.name))
                continue;
            if (key.kind == KeyKind::Row)
                Problem(d_.lastLine,
                        "no payload rows: add 'Row: installed name | resource name | caption | "
                        "compressed or plain | source' lines");
            else
                Problem(d_.lastLine, "missing '" + std::string(key.name) + ": ...'");
        }
    }

    // Texts.

    void CheckTexts()
    {
        const char* texts[] = {
            "ProductName",           "Tagline",       "Version", "RegistryKeyTemplate",
            "DefaultFolderTemplate", "SupportAddress"};
        bool clean = true;
        for (const char* key : texts) {
            std::string rule;
            const std::string& value = TextField(key);
            if (value.empty()) {
                Problem(LineOf(key), std::string(key) + " is empty");
                clean = false;
            } else if (!PrintableAscii(key, value, &rule)) {
                Problem(LineOf(key), rule);
                clean = false;
            }
        }
        if (!clean)
            return;
        textsClean_ = true;
        CheckProductName();
        CheckBanner();
        CheckRegistryKey();
        CheckSupportAddress();
    }

    void CheckProductName()
    {
        const std::string& name = d_.productName;
        size_t bad = name.find_first_of(NameForbidden);
        if (bad != std::string::npos)
            Problem(LineOf("ProductName"),
                    "ProductName may not hold " + Quoted(name.substr(bad, 1)) +
                        ": it names the default folder, the program group and a "
                        "registry key");
        else if (IsDeviceName(name))
            Problem(LineOf("ProductName"),
                    "ProductName " + Quoted(name) +
                        " is a Windows device name: it names the default folder");
        else if (!name.empty() && name.find_first_not_of('.') == std::string::npos)
            Problem(LineOf("ProductName"),
                    "ProductName " + Quoted(name) +
                        " is made of dots: as the default folder's name it would "
                        "lead to another folder");
    }

    void CheckBanner()
    {
        char title[TitleTextSize];
        if (FormatTitleText(title, d_.productName.c_str(), d_.version.c_str()) < 0) {
            size_t length = d_.productName.size() + 2 + d_.version.size();
            Problem(std::max(LineOf("ProductName"), LineOf("Version")),
                    "the title " + Quoted(d_.productName + " v" + d_.version) +
                        " (ProductName, \" v\", Version) has " + std::to_string(length) +
                        " characters; its buffer holds " + std::to_string(TitleTextSize - 1));
        }
        char tagline[TaglineTextSize];
        if (FormatTaglineText(tagline, d_.productName.c_str(), d_.tagline.c_str()) < 0) {
            size_t length = d_.productName.size() + 3 + d_.tagline.size();
            Problem(std::max(LineOf("ProductName"), LineOf("Tagline")),
                    "the tagline text (ProductName, \" - \", Tagline) has " +
                        std::to_string(length) + " characters; its buffer holds " +
                        std::to_string(TaglineTextSize - 1));
        }
    }

    bool Placeholders(const std::string& key, const std::string& value, int32_t wanted,
                      const std::string& meaning)
    {
        int32_t count = CountPlaceholders(value.c_str());
        if (count == wanted)
            return true;
        std::string found = count < 0 ? "a '%' that is not part of a %s"
                                      : std::to_string(count) + " %s";
        Problem(LineOf(key), key + " needs exactly " + std::to_string(wanted) + " %s (" + meaning +
                                 ") and no other '%'; it has " + found);
        return false;
    }

    void CheckRegistryKey()
    {
        const std::string& key = d_.registryKeyTemplate;
        if (Placeholders("RegistryKeyTemplate", key, 2,
                         "first the product name, then the sub-key")) {
            char path[RegistryTextSize];
            if (TextFormat(path, sizeof path, key.c_str(), d_.productName.c_str(), VersionKeyName) <
                0)
                Problem(LineOf("RegistryKeyTemplate"),
                        "RegistryKeyTemplate with the product name and \"" +
                            std::string(VersionKeyName) + "\" does not fit the installer's " +
                            std::to_string(RegistryTextSize) + "-byte key buffer");
        }
        if (key.front() == '\\' || key.back() == '\\' || key.find("\\\\") != std::string::npos)
            Problem(LineOf("RegistryKeyTemplate"), "RegistryKeyTemplate is a key path below "
                                                   "HKEY_LOCAL_MACHINE: no backslash at its start "
                                                   "or end, and no two in a row");
        if (key.find('/') != std::string::npos)
            Problem(LineOf("RegistryKeyTemplate"),
                    "RegistryKeyTemplate separates its keys with '\\', not '/'");
    }

    void CheckDefaultFolder()
    {
        const std::string& folder = d_.defaultFolderTemplate;
        int line = LineOf("DefaultFolderTemplate");
        if (!Placeholders("DefaultFolderTemplate", folder, 1, "the product name"))
            return;
        bool drive = folder.size() >= 3 && std::isalpha(static_cast<unsigned char>(folder[0])) &&
                     folder[1] == ':' && folder[2] == '\\';
        if (!drive) {
            Problem(line, "DefaultFolderTemplate must start with a drive, as in C:\\Vendor\\%s");
            return;
        }
        size_t bad = folder.find_first_of("/:*?\"<>|", 2);
        if (bad != std::string::npos) {
            Problem(line, "DefaultFolderTemplate may not hold " + Quoted(folder.substr(bad, 1)) +
                              " after its drive");
            return;
        }
        char path[FullPathSize];
        if (ReplaceFirstPlaceholder(path, sizeof path, folder.c_str(), d_.productName.c_str()) <
            0) {
            Problem(line, "the default folder does not fit in " + std::to_string(FullPathSize) +
                              " bytes");
            return;
        }
        char resolved[FullPathSize];
        if (NormalizeFolder(resolved, sizeof resolved, path) < 0) {
            Problem(line, "the default folder " + Quoted(path) +
                              " resolves to a drive root, which the "
                              "folder page refuses");
            return;
        }
        // The folder page refuses a folder that some later path would not
        // fit; the default must not be one of them.
        InstallManifest product = {};
        for (size_t i = 0; i < d_.rows.size() && i < size_t(PayloadSlots); ++i)
            TextCopy(product.Payload[i].FileName, FileNameWidth, d_.rows[i].fileName.c_str());
        product.FileCount = int32_t(std::min(d_.rows.size(), size_t(PayloadSlots)));
        if (product.FileCount > ReadMeRow && !DestinationFits(path, product))
            Problem(line, "the default folder " + Quoted(path) +
                              " is too long: the stored copies, "
                              "installed files and read-me command built from it would not fit "
                              "(a folder of about 100 characters at most)");
    }

    void CheckSupportAddress()
    {
        const std::string& address = d_.supportAddress;
        int line = LineOf("SupportAddress");
        size_t at = address.find('@');
        if (address.find_first_of(" \"") != std::string::npos || at == std::string::npos ||
            at == 0 || at + 1 == address.size() || address.find('@', at + 1) != std::string::npos) {
            Problem(line, "SupportAddress " + Quoted(address) +
                              " is not an e-mail address (name@domain, no blanks)");
            return;
        }
        char text[AbortNoticeSize];
        if (address.size() > MaxSupportAddressLength ||
            FormatAbortNotice(text, address.c_str()) < 0)
            Problem(line, "SupportAddress has " + std::to_string(address.size()) +
                              " characters; at most " + std::to_string(MaxSupportAddressLength) +
                              " fit the abort notice");
    }

    // Rows.

    void CheckRows()
    {
        int rows = int(d_.rows.size());
        int lastRowLine = lines_["Row"].back();
        if (rows < MinRows && !tooManyRows_)
            Problem(lastRowLine, "the payload has " + std::to_string(rows) +
                                     " rows; it needs at least " + std::to_string(MinRows) +
                                     ": row 0 is the uninstaller and row 3 the "
                                     "read-me the installer offers to open");
        if (d_.shortcutCount > rows)
            Problem(LineOf("ShortcutCount"), "ShortcutCount " + std::to_string(d_.shortcutCount) +
                                                 " is more than the " + std::to_string(rows) +
                                                 " rows (FileCount)");
        for (size_t i = 0; i < d_.rows.size(); ++i)
            CheckRow(i);
        if (textsClean_)
            CheckDefaultFolder();
        CheckUnique();
    }

    void CheckRow(size_t index)
    {
        const PayloadRow& row = d_.rows[index];
        CheckFileName(row);
        CheckResourceName(row);
        std::string rule;
        if (row.caption.empty())
            Problem(row.line, "the caption is empty");
        else if (!PrintableAscii("Caption", row.caption, &rule))
            Problem(row.line, rule);
        else if (row.caption.size() > size_t(CaptionWidth - 1))
            Problem(row.line, "Caption " + Quoted(row.caption) + " has " +
                                  std::to_string(row.caption.size()) +
                                  " characters; the field holds " +
                                  std::to_string(CaptionWidth - 1));
        else if (row.caption.find('"') != std::string::npos)
            Problem(row.line,
                    "Caption may not hold '\"': it is sent to Program Manager in double quotes");

        if (index == size_t(UninstallerRow) && !EndsWithNoCase(row.fileName, ".exe"))
            Problem(row.line,
                    "row 0 is the uninstaller, a program: its file name must end in .exe");
        if (index == size_t(ReadMeRow) && !EndsWithNoCase(row.fileName, ".txt"))
            Problem(row.line, "row 3 is the read-me the installer opens in Notepad: its file name "
                              "must end in .txt");
    }

    void CheckFileName(const PayloadRow& row)
    {
        const std::string& name = row.fileName;
        std::string rule;
        if (name.empty()) {
            Problem(row.line, "the installed file name is empty");
        } else if (!PrintableAscii("FileName", name, &rule)) {
            Problem(row.line, rule);
        } else if (name.size() > size_t(FileNameWidth - 1)) {
            Problem(row.line, "FileName " + Quoted(name) + " has " + std::to_string(name.size()) +
                                  " characters; the field holds " +
                                  std::to_string(FileNameWidth - 1));
        } else if (name.find_first_of(NameForbidden) != std::string::npos) {
            Problem(row.line, "FileName " + Quoted(name) + " may not hold any of " + NameForbidden);
        } else if (name.back() == '_' || name.back() == '~') {
            Problem(row.line,
                    "FileName " + Quoted(name) + " ends in '" + name.back() +
                        "': its stored copy or the file it is expanded into (the name with the "
                        "last character made '_' or '~') would be the file itself");
        } else if (name.back() == '.' || name.back() == ' ') {
            Problem(row.line, "FileName " + Quoted(name) + " may not end in '.' or a blank");
        } else if (IsDeviceName(name)) {
            Problem(row.line, "FileName " + Quoted(name) + " is a Windows device name");
        }
    }

    void CheckResourceName(const PayloadRow& row)
    {
        const std::string& name = row.resourceName;
        bool word = std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '_';
        });
        if (name.empty())
            Problem(row.line, "the resource name is empty");
        else if (name.size() > size_t(ResourceNameWidth - 1))
            Problem(row.line, "ResourceName " + Quoted(name) + " has " +
                                  std::to_string(name.size()) + " characters; the field holds " +
                                  std::to_string(ResourceNameWidth - 1));
        else if (!word)
            Problem(row.line,
                    "ResourceName " + Quoted(name) + " may hold only letters, digits and '_'");
        else if (UpperCase(name) == "AGREEMENT")
            Problem(row.line, "ResourceName " + Quoted(name) +
                                  " is the agreement text's resource "
                                  "(resource names match without regard to case)");
    }

    void CheckUnique()
    {
        for (size_t i = 0; i < d_.rows.size(); ++i) {
            const PayloadRow& row = d_.rows[i];
            for (size_t j = 0; j < i; ++j) {
                const PayloadRow& earlier = d_.rows[j];
                std::string where = " (line " + std::to_string(earlier.line) + ")";
                if (!row.resourceName.empty() &&
                    UpperCase(row.resourceName) == UpperCase(earlier.resourceName))
                    Problem(row.line, "ResourceName " + Quoted(row.resourceName) +
                                          " is already row " + std::to_string(j) + "'s" + where +
                                          "; resource names match without regard to case");
                if (row.fileName.empty())
                    continue;
                if (LowerCase(row.fileName) == LowerCase(earlier.fileName))
                    Problem(row.line, "FileName " + Quoted(row.fileName) + " is already row " +
                                          std::to_string(j) + "'s" + where +
                                          "; Windows ignores case in names");
                else if (LowerCase(StoredName(row.fileName)) ==
                         LowerCase(StoredName(earlier.fileName)))
                    Problem(row.line, "the stored copy of " + Quoted(row.fileName) + " would be " +
                                          Quoted(StoredName(row.fileName)) +
                                          ", the same as that of row " + std::to_string(j) + "'s " +
                                          Quoted(earlier.fileName) + where);
            }
        }
    }

    // Files.

    void CheckFiles()
    {
        uint64_t agreementSize = 0;
        if (!d_.agreementPath.empty() &&
            CheckReadable(LineOf("Agreement"), "the agreement", d_.agreementPath, &agreementSize,
                          agreementWritten_)) {
            if (agreementSize == 0)
                Problem(LineOf("Agreement"),
                        "the agreement " + Quoted(agreementWritten_) + " is empty");
            else if (agreementSize > MaxAgreementSize)
                Problem(LineOf("Agreement"), "the agreement has " + std::to_string(agreementSize) +
                                                 " bytes; the agreement page shows at most " +
                                                 std::to_string(MaxAgreementSize));
        }
        for (const ArtEntry& entry : d_.art)
            CheckArt(entry);

        uint64_t total = 0;
        for (size_t i = 0; i < d_.rows.size(); ++i) {
            PayloadRow& row = d_.rows[i];
            if (row.sourcePath.empty())
                continue;
            if (!CheckReadable(row.line, "source", row.sourcePath, &row.sourceSize, row.source))
                continue;
            if (row.sourceSize > UINT32_MAX) {
                Problem(row.line,
                        "source " + Quoted(row.source) + " has " + std::to_string(row.sourceSize) +
                            " bytes; sizes are 32-bit, at most " + std::to_string(UINT32_MAX));
                continue;
            }
            total += row.sourceSize;
            if (row.form == StoredForm::Plain && StartsWith(row.sourcePath, "SZDD\x88\xF0\x27\x33"))
                Problem(row.line, "source " + Quoted(row.source) +
                                      " begins with the SZDD signature: stored "
                                      "plain, the installer's LZ library would expand it and every "
                                      "installation would abort; store the row compressed");
            if (i == size_t(UninstallerRow) && !StartsWith(row.sourcePath, "MZ"))
                Problem(row.line, "source " + Quoted(row.source) +
                                      " of row 0 is not a Windows program "
                                      "(it must be the uninstaller)");
        }
        if (total > uint64_t(INT32_MAX))
            Problem(lines_["Row"].back(),
                    "the rows' files add up to " + std::to_string(total) +
                        " bytes; the installer counts them in 32 signed bits, at most " +
                        std::to_string(INT32_MAX));
    }

    void CheckArt(const ArtEntry& entry)
    {
        if (entry.path.empty())
            return;
        uint64_t size = 0;
        if (!CheckReadable(entry.line, "the picture", entry.path, &size, entry.shown))
            return;
        std::vector<uint8_t> head;
        std::string error;
        if (!ReadFilePrefix(entry.path, 26, &head, &error)) {
            Problem(entry.line, error);
            return;
        }
        if (entry.format == ArtFormat::Bitmap) {
            uint32_t info = head.size() >= 18
                                ? uint32_t(head[14]) | uint32_t(head[15]) << 8 |
                                      uint32_t(head[16]) << 16 | uint32_t(head[17]) << 24
                                : 0;
            bool known = info == 12 || info == 40 || info == 52 || info == 56 || info == 108 ||
                         info == 124;
            if (head.size() < 26 || head[0] != 'B' || head[1] != 'M' || !known)
                Problem(entry.line, Quoted(entry.shown) + " is not a Windows bitmap (.bmp)");
        } else if (entry.format == ArtFormat::Png) {
            if (head.size() < 8 || std::memcmp(head.data(), "\x89PNG\r\n\x1A\n", 8) != 0)
                Problem(entry.line, Quoted(entry.shown) + " is not a PNG image (.png)");
        } else if (entry.format == ArtFormat::Icon) {
            uint32_t count = head.size() >= 6 ? uint32_t(head[4]) | uint32_t(head[5]) << 8 : 0;
            if (head.size() < 6 || head[0] || head[1] || head[2] != 1 || head[3] || count == 0 ||
                size < 6 + 16 * uint64_t(count))
                Problem(entry.line, Quoted(entry.shown) + " is not a Windows icon (.ico)");
        }
    }

    bool StartsWith(const std::string& path, const char* magic)
    {
        std::vector<uint8_t> head;
        std::string error;
        size_t length = std::strlen(magic);
        return ReadFilePrefix(path, length, &head, &error) && head.size() == length &&
               std::memcmp(head.data(), magic, length) == 0;
    }

    bool CheckReadable(int line, const std::string& what, const std::string& path, uint64_t* size,
                       const std::string& shown)
    {
        std::string error;
        FileStatus status = ProbeFile(path, size, &error);
        switch (status) {
        case FileStatus::Readable:
            return true;
        case FileStatus::Missing:
            Problem(line, what + " " + Quoted(shown) + " does not exist (looked for " + path + ")");
            break;
        case FileStatus::NotAFile:
            Problem(line, what + " " + Quoted(shown) + " is not a file (" + path + ")");
            break;
        case FileStatus::Unreadable:
            Problem(line, what + " " + Quoted(shown) + " cannot be read: " + error);
            break;
        }
        return false;
    }

    // Paths.

    std::string Resolve(const std::string& path) const
    {
        return !path.empty() && path[0] == '/' ? path : d_.folder + "/" + path;
    }

    const TargetFiles& targets_;
    ProductDescription& d_;
    std::vector<Diagnostic>& problems_;
    std::map<std::string, int> keyLines_;            // first line of each key
    std::map<std::string, std::vector<int>> lines_;  // every line of each key
    bool tooManyRows_ = false;
    bool textsClean_ = false;
    std::string agreementWritten_;
};

}  // namespace

bool ReadDescriptionText(const std::string& text, const std::string& file,
                         const TargetFiles& targets, ProductDescription* description,
                         std::vector<Diagnostic>* problems)
{
    problems->clear();
    Reader reader(file, targets, description, problems);
    reader.Read(text);
    return problems->empty();
}

bool ReadDescriptionFile(const std::string& file, const TargetFiles& targets,
                         ProductDescription* description, std::vector<Diagnostic>* problems)
{
    problems->clear();
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(file, MaxDescriptionSize, &bytes, &error)) {
        problems->push_back({file, 1, error});
        return false;
    }
    return ReadDescriptionText(std::string(bytes.begin(), bytes.end()), file, targets, description,
                               problems);
}

}  // namespace packer
