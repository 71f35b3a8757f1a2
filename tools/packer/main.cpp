// packer [options] DESCRIPTION
//
// Reads a product description, checks it, and writes what the product's
// setup executable is built from. Any finding is printed as file:line: rule
// and nothing is written.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "description.h"
#include "files.h"
#include "generate.h"
#include "pack.h"

namespace {

const char UsageText[] =
    "usage: packer [options] DESCRIPTION\n"
    "  --out FOLDER        write manifest.cpp, product.rc, notice.h and the\n"
    "                      resources they name into FOLDER\n"
    "  --target NAME=FILE  FILE is the output of build target NAME, for rows\n"
    "                      whose source is @target:NAME (@uninstaller: NAME\n"
    "                      uninstaller)\n"
    "  --depfile FILE      also list every file read, as the dependencies of\n"
    "                      FOLDER/manifest.cpp\n"
    "  --check             read, check and pack the description in memory;\n"
    "                      write nothing\n"
    "  --names FILE        only write FILE, a manifest with the product's names\n"
    "                      and texts and no sizes, for building its uninstaller\n";

struct Options {
    std::string description;
    std::string out;
    std::string depfile;
    std::string names;
    packer::TargetFiles targets;
    bool check = false;
};

int Usage(const std::string& message)
{
    std::fprintf(stderr, "packer: %s\n%s", message.c_str(), UsageText);
    return 2;
}

// 0 to go on, else the exit status.
int ParseArgs(int argc, char** argv, Options* options)
{
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&](std::string* into) {
            if (i + 1 >= argc)
                return false;
            *into = argv[++i];
            return true;
        };
        if (arg == "-h" || arg == "--help") {
            std::fputs(UsageText, stdout);
            return -1;
        } else if (arg == "--check") {
            options->check = true;
        } else if (arg == "--out") {
            if (!value(&options->out))
                return Usage("--out needs a folder");
        } else if (arg == "--depfile") {
            if (!value(&options->depfile))
                return Usage("--depfile needs a file");
        } else if (arg == "--names") {
            if (!value(&options->names))
                return Usage("--names needs a file");
        } else if (arg == "--target") {
            std::string pair;
            if (!value(&pair))
                return Usage("--target needs NAME=FILE");
            size_t equals = pair.find('=');
            if (equals == 0 || equals == std::string::npos || equals + 1 == pair.size())
                return Usage("--target needs NAME=FILE, got '" + pair + "'");
            options->targets[pair.substr(0, equals)] = packer::AbsolutePath(
                pair.substr(equals + 1));
        } else if (arg.size() > 1 && arg[0] == '-') {
            return Usage("unknown option '" + arg + "'");
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1)
        return Usage("expected one description");
    if (options->out.empty() && !options->check && options->names.empty())
        return Usage("--out is needed unless --check or --names is given");
    options->description = positional[0];
    return 0;
}

int Report(const std::vector<packer::Diagnostic>& problems, const std::string& description)
{
    for (const packer::Diagnostic& problem : problems)
        std::fprintf(stderr, "%s\n", packer::FormatDiagnostic(problem).c_str());
    std::fprintf(stderr, "packer: %zu problem%s in %s; nothing was written\n", problems.size(),
                 problems.size() == 1 ? "" : "s", description.c_str());
    return 1;
}

// The names-only manifest: the uninstaller needs the product's names, and
// cannot wait for the sizes, its own among them.
int WriteNames(const Options& options)
{
    packer::TargetFiles targets = options.targets;
    targets[packer::AnyTarget] = "";
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    if (!packer::ReadDescriptionFile(options.description, targets, &description, &problems))
        return Report(problems, options.description);
    std::vector<packer::RowSizes> sizes(packer::MaxRows);
    std::string text = packer::ManifestSource(description, sizes);
    std::string file = packer::AbsolutePath(options.names);
    size_t slash = file.find_last_of('/');
    std::vector<packer::OutputFile> list = {
        {file.substr(slash + 1), std::vector<uint8_t>(text.begin(), text.end())}};
    std::string error;
    if (!packer::WriteOutputs(slash == 0 ? "/" : file.substr(0, slash), list, &error)) {
        std::fprintf(stderr, "packer: %s\n", error.c_str());
        return 2;
    }
    return 0;
}

int Run(const Options& options)
{
    if (!options.names.empty())
        return WriteNames(options);
    packer::ProductDescription description;
    std::vector<packer::Diagnostic> problems;
    if (!packer::ReadDescriptionFile(options.description, options.targets, &description, &problems))
        return Report(problems, options.description);

    // A check packs too, in memory: a picture of the wrong size or a row
    // that does not compress back is as much a fault as a bad line.
    std::string folder = packer::AbsolutePath(options.check ? "." : options.out);
    packer::Package package;
    if (!packer::PackProduct(description, folder, &package, &problems))
        return Report(problems, options.description);
    if (options.check)
        return 0;

    std::string error;
    std::string dependencies;
    if (!options.depfile.empty() && !packer::Depfile(folder + "/" + packer::ManifestName,
                                                     package.inputs, &dependencies, &error)) {
        std::fprintf(stderr, "packer: %s; nothing was written\n", error.c_str());
        return 2;
    }
    if (!packer::WriteOutputs(folder, package.files, &error)) {
        std::fprintf(stderr, "packer: %s\n", error.c_str());
        return 2;
    }
    if (!options.depfile.empty()) {
        std::string depfile = packer::AbsolutePath(options.depfile);
        size_t slash = depfile.find_last_of('/');
        std::vector<packer::OutputFile> list = {
            {depfile.substr(slash + 1),
             std::vector<uint8_t>(dependencies.begin(), dependencies.end())}};
        if (!packer::WriteOutputs(slash == 0 ? "/" : depfile.substr(0, slash), list, &error)) {
            std::fprintf(stderr, "packer: %s\n", error.c_str());
            return 2;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    int parsed = ParseArgs(argc, argv, &options);
    if (parsed)
        return parsed < 0 ? 0 : parsed;
    try {
        return Run(options);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "packer: out of memory packing %s; nothing was written\n",
                     options.description.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "packer: %s; nothing was written\n", e.what());
    }
    return 2;
}
