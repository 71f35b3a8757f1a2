// Scratch folders and a complete, valid product laid out in one, for the
// packer's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace packer_test {

// An empty folder for the running test, under the build tree (left behind
// for inspection; emptied when the test runs again).
std::string ScratchFolder();

void WriteFile(const std::string& path, const std::string& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);
bool Exists(const std::string& path);
void RemoveTree(const std::string& path);

// Runs a shell command; returns its exit status (-1 when it did not run).
int Shell(const std::string& command);

// The lines of a description that reads cleanly against the files that
// MakeProductFiles lays out.
std::vector<std::string> BaseDescription();
std::string Join(const std::vector<std::string>& lines);

// Agreement, artwork sources, row sources and a stand-in uninstaller.
void MakeProductFiles(const std::string& folder);
std::string StandIn(const std::string& folder);  // the uninstaller's file

}  // namespace packer_test
