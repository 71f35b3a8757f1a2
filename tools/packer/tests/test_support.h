// Scratch folders and a complete, valid product laid out in one, for the
// packer's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "description.h"

namespace packer_test {

// An empty folder for the running test, under the build tree (left behind
// for inspection; emptied when the test runs again).
std::string ScratchFolder();

void WriteFile(const std::string& path, const std::string& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);

// Runs a shell command; returns its exit status (-1 when it did not run).
int Shell(const std::string& command);

// The lines of a description that reads cleanly against the files that
// MakeProductFiles lays out, and the stand-in uninstaller it lays out.
std::vector<std::string> BaseDescription();
std::string Join(const std::vector<std::string>& lines);
void MakeProductFiles(const std::string& folder);
std::string StandIn(const std::string& folder);

// Reads `text` as `folder`/p.product, with StandIn(folder) as the uninstaller.
bool Read(const std::string& folder, const std::string& text, packer::ProductDescription* description,
          std::vector<packer::Diagnostic>* problems);

// The tiny product's description, read with `standIn` as its uninstaller.
packer::ProductDescription Tiny(const std::string& standIn);

}  // namespace packer_test
