#include "pack.h"

#include <cstdint>
#include <exception>
#include <new>

#include "picture.h"
#include "szdd.h"
#include "szdd_verify.h"
#include "manifest/crc32.h"

namespace packer {

namespace {

constexpr uint64_t MaxArtFileSize = 16 << 20;

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

class Packer {
public:
    Packer(const ProductDescription& description, Package* package,
           std::vector<Diagnostic>* problems, const Compressor& compress)
        : d_(description), package_(*package), problems_(*problems), compress_(compress)
    {
    }

    bool Pack(const std::string& folder)
    {
        package_ = Package();
        problems_.clear();
        package_.inputs.push_back(AbsolutePath(d_.file));

        ResourceFiles resources;
        for (int slot = 0; slot < ArtSlotCount; ++slot) {
            Picture(ArtSlot(slot));
            resources.art[slot] = folder + "/" + ArtNames[slot];
        }
        Agreement();
        resources.agreement = folder + "/" + AgreementName;
        for (const PayloadRow& row : d_.rows) {
            Row(row);
            resources.payload.push_back(folder + "/" + PayloadFileName(row));
        }
        if (!problems_.empty())
            return false;

        std::string script, error;
        if (!ResourceScript(d_, resources, &script, &error)) {
            Problem(1, error);
            return false;
        }
        Add(NoticeHeaderName, NoticeHeader(d_));
        Add(ResourceScriptName, script);
        Add(ManifestName, ManifestSource(d_, package_.sizes));
        return true;
    }

private:
    void Problem(int line, const std::string& message)
    {
        problems_.push_back({d_.file, line, message});
    }

    void Add(const std::string& name, std::vector<uint8_t> bytes)
    {
        package_.files.push_back({name, std::move(bytes)});
    }
    void Add(const std::string& name, const std::string& text)
    {
        Add(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

    bool Read(int line, const std::string& path, uint64_t limit, std::vector<uint8_t>* bytes)
    {
        std::string error;
        if (!ReadWholeFile(path, limit, bytes, &error)) {
            Problem(line, error);
            return false;
        }
        package_.inputs.push_back(path);
        return true;
    }

    void Picture(ArtSlot slot)
    {
        const ArtEntry& entry = d_.art[slot];
        std::vector<uint8_t> image, picture;
        std::string error;
        if (!Read(entry.line, entry.path, MaxArtFileSize, &image))
            return;
        if (!ConvertPicture(slot, image, entry.shown, &picture, &error)) {
            Problem(entry.line, error);
            return;
        }
        Add(ArtNames[slot], std::move(picture));
    }

    void Agreement()
    {
        int line = d_.agreementLine;
        std::vector<uint8_t> text;
        if (!Read(line, d_.agreementPath, MaxAgreementSize, &text))
            return;
        text = WithCrLf(text);
        if (text.size() > MaxAgreementSize) {
            Problem(line, "the agreement has " + std::to_string(text.size()) +
                              " bytes with CR LF line ends; "
                              "the agreement page shows at most " +
                              std::to_string(MaxAgreementSize));
            return;
        }
        Add(AgreementName, std::move(text));
    }

    void Row(const PayloadRow& row)
    {
        std::vector<uint8_t> source;
        if (!Read(row.line, row.sourcePath, UINT32_MAX, &source)) {
            package_.sizes.push_back({});
            return;
        }
        RowSizes sizes;
        sizes.expanded = uint32_t(source.size());
        if (row.form == StoredForm::Plain) {
            sizes.stored = sizes.expanded;
            sizes.crc = Crc32(source.data(), sizes.stored);
            package_.sizes.push_back(sizes);
            Add(PayloadFileName(row), std::move(source));
            return;
        }
        std::vector<uint8_t> packed;
        std::string error;
        try {
            uint8_t lost = SzddLostChar(row.fileName);
            packed = compress_ ? compress_(source.data(), source.size(), lost)
                               : SzddCompress(source.data(), source.size(), lost);
        } catch (const std::bad_alloc&) {
            error = "out of memory";
        } catch (const std::exception& e) {
            error = e.what();
        }
        if (error.empty() && !SzddVerifyWithMspack(packed, source, &error))
            error = "it does not expand back to its source through libmspack: " + error;
        else if (error.empty() && packed.size() > UINT32_MAX)
            error = "the compressed form has more than " + std::to_string(UINT32_MAX) + " bytes";
        else if (error.empty() && packed[9] != SzddLostChar(row.fileName))
            error = "its header does not carry the last character of " + Quoted(row.fileName);
        if (!error.empty()) {
            Problem(row.line,
                    "compressing " + Quoted(row.source) + " failed, nothing was written: " + error);
            package_.sizes.push_back({});
            return;
        }
        sizes.stored = uint32_t(packed.size());
        sizes.crc = Crc32(packed.data(), sizes.stored);
        package_.sizes.push_back(sizes);
        Add(PayloadFileName(row), std::move(packed));
    }

    const ProductDescription& d_;
    Package& package_;
    std::vector<Diagnostic>& problems_;
    const Compressor& compress_;
};

}  // namespace

std::vector<uint8_t> WithCrLf(const std::vector<uint8_t>& text)
{
    std::vector<uint8_t> out;
    out.reserve(text.size() + text.size() / 32);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))
            out.push_back('\r');
        out.push_back(text[i]);
    }
    return out;
}

bool PackProduct(const ProductDescription& description, const std::string& folder, Package* package,
                 std::vector<Diagnostic>* problems, const Compressor& compress)
{
    Packer packer(description, package, problems, compress);
    return packer.Pack(folder);
}

}  // namespace packer
