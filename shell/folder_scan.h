#pragma once
// What the folder tree needs to show a folder's subfolders, read in one go so
// that it can be read away from the window.

#include <cstdint>
#include <string>
#include <vector>

namespace fotello {

struct SubfolderEntry {
    std::string name;           // as the file system spells it
    bool hasSubfolders = false; // gets an expand mark
};

struct SubfolderScan {
    std::uint64_t generation = 0; // of the request it answers
    bool ok = false;
    int error = 0;                       // errno when !ok
    std::vector<SubfolderEntry> entries; // in ListSubfolders' order
};

// The subfolders of folder (a path ending in "/"), each with whether it holds
// a subfolder of its own.
SubfolderScan ScanSubfolders(const std::string& folder, std::uint64_t generation);

} // namespace fotello
