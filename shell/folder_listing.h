#pragma once
// Listing a folder as the file list and the folder tree show it.

#include <string>
#include <vector>

namespace fotello {

// "*.bmp;*.jpg" -> {"*.bmp", "*.jpg"}.
std::vector<std::string> SplitPatterns(const std::string& patterns);

// Glob match with "*" and "?", ASCII letters compared without regard to case
// (cameras write .JPG).
bool MatchesPattern(const std::string& name, const std::string& pattern);

// Orders names without regard to ASCII case; names equal but for case keep a
// stable order by their bytes.
bool NameLess(const std::string& a, const std::string& b);

struct FolderListing {
    bool ok = false;
    int error = 0;                  // errno when !ok
    std::vector<std::string> names; // bare names, as the filesystem spells them
};

// Regular files (links followed) matching any pattern, hidden (dot) files
// left out, sorted by NameLess. FIFOs, sockets, devices and folders never appear.
FolderListing ListMatchingFiles(const std::string& folder,
                                const std::vector<std::string>& patterns);

// Subfolders (links followed; loops and dangling links left out), hidden
// ones left out, sorted by NameLess.
FolderListing ListSubfolders(const std::string& folder);

// Whether the folder holds at least one subfolder that ListSubfolders would
// list; stops at the first one.
bool HasSubfolder(const std::string& folder);

// Whether the entry `name` of the open folder dirFd is a subfolder, given the
// type its reader reported (a DT_ value of <dirent.h>). Links, and entries of
// filesystems that report DT_UNKNOWN, are looked up; other types are trusted.
bool IsSubfolderEntry(int dirFd, const char* name, unsigned char type);

} // namespace fotello
