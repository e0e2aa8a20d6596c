#include "shell/folder_listing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {

std::vector<std::string> SplitPatterns(const std::string& patterns) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start <= patterns.size()) {
        const auto end = patterns.find(';', start);
        std::string p =
            patterns.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!p.empty())
            out.push_back(std::move(p));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return out;
}

static char fold(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool MatchesPattern(const std::string& name, const std::string& pattern) {
    // Iterative glob with single-star backtracking.
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        // The wildcard first: a name may hold a literal '*' too.
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || fold(pattern[p]) == fold(name[n]))) {
            ++n;
            ++p;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

bool NameLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const char x = fold(a[i]), y = fold(b[i]);
        if (x != y)
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

namespace {

template <typename Keep> FolderListing listFolder(const std::string& folder, Keep keep) {
    FolderListing out;
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0) {
        out.error = errno;
        return out;
    }
    DIR* dir = ::fdopendir(dfd);
    if (!dir) {
        out.error = errno;
        ::close(dfd);
        return out;
    }
    for (;;) {
        // readdir reports a failure only through errno, which fstatat below also sets.
        errno = 0;
        const dirent* e = ::readdir(dir);
        if (!e) {
            out.error = errno;
            break;
        }
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        struct stat st {};
        // Follows links; a dangling link or a loop fails here and is left out.
        if (::fstatat(dfd, e->d_name, &st, 0) != 0)
            continue;
        if (keep(name, st))
            out.names.push_back(name);
    }
    ::closedir(dir);
    if (out.error != 0) {
        // A folder that opens but cannot be read is as unreadable as one that does not open.
        out.names.clear();
        return out;
    }
    std::sort(out.names.begin(), out.names.end(), NameLess);
    out.ok = true;
    return out;
}

} // namespace

FolderListing ListMatchingFiles(const std::string& folder,
                                const std::vector<std::string>& patterns) {
    return listFolder(folder, [&](const std::string& name, const struct stat& st) {
        if (!S_ISREG(st.st_mode))
            return false;
        return std::any_of(patterns.begin(), patterns.end(),
                           [&](const std::string& p) { return MatchesPattern(name, p); });
    });
}

FolderListing ListSubfolders(const std::string& folder) {
    return listFolder(
        folder, [](const std::string&, const struct stat& st) { return S_ISDIR(st.st_mode); });
}

bool IsSubfolderEntry(int dirFd, const char* name, unsigned char type) {
    if (type == DT_DIR)
        return true;
    if (type != DT_LNK && type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::fstatat(dirFd, name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

bool HasSubfolder(const std::string& folder) {
    const int dfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd < 0)
        return false;
    DIR* dir = ::fdopendir(dfd);
    if (!dir) {
        ::close(dfd);
        return false;
    }
    bool found = false;
    while (!found) {
        const dirent* e = ::readdir(dir);
        if (!e)
            break;
        if (e->d_name[0] != '.')
            found = IsSubfolderEntry(dfd, e->d_name, e->d_type);
    }
    ::closedir(dir);
    return found;
}

} // namespace fotello
