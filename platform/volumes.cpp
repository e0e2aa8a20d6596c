#include "platform/volumes.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fotello {

namespace {

// mountinfo escapes blanks, tabs, newlines and backslashes as \ooo.
std::string unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() &&
            std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 3]))) {
            out.push_back(
                static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// by-label names escape with \xHH.
std::string unescapeHex(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x') {
            out.push_back(static_cast<char>(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16)));
            i += 3;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

const std::set<std::string, std::less<>> kNetworkFs = {"nfs",   "nfs4",       "cifs", "smb3",
                                                       "smbfs", "fuse.sshfs", "9p"};
const std::set<std::string, std::less<>> kNeverFs = {"squashfs", "proc",  "sysfs",
                                                     "devtmpfs", "tmpfs", "overlay"};

std::string realPath(const std::string& p) {
    char buf[PATH_MAX];
    return ::realpath(p.c_str(), buf) ? std::string(buf) : p;
}

std::string baseName(const std::string& p) {
    const auto slash = p.rfind('/');
    return slash == std::string::npos ? p : p.substr(slash + 1);
}

bool removableFlag(const std::string& device) {
    const std::string name = baseName(realPath(device));
    for (const std::string& dir :
         {"/sys/class/block/" + name, "/sys/class/block/" + name + "/.."}) {
        std::ifstream f(dir + "/removable");
        int v = 0;
        if (f >> v)
            return v == 1;
    }
    return false;
}

std::map<std::string, std::string> labelsByDevice() {
    std::map<std::string, std::string> out;
    const char* dir = "/dev/disk/by-label";
    DIR* d = ::opendir(dir);
    if (!d)
        return out;
    while (const dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.')
            continue;
        out[realPath(std::string(dir) + "/" + e->d_name)] = unescapeHex(e->d_name);
    }
    ::closedir(d);
    return out;
}

} // namespace

std::vector<MountEntry> ParseMountInfo(std::string_view text) {
    std::vector<MountEntry> out;
    std::istringstream in{std::string(text)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::vector<std::string> parts;
        std::string p;
        while (f >> p)
            parts.push_back(p);
        // id parent major:minor root mountpoint options [optional...] - fstype source superopts
        std::size_t dash = 0;
        for (std::size_t i = 6; i < parts.size(); ++i)
            if (parts[i] == "-") {
                dash = i;
                break;
            }
        if (dash == 0 || dash + 2 >= parts.size())
            continue;
        out.push_back(
            {unescape(parts[3]), unescape(parts[4]), parts[dash + 1], unescape(parts[dash + 2])});
    }
    return out;
}

bool IsUserVolume(const MountEntry& m) {
    if (m.root != "/" || kNeverFs.count(m.fsType))
        return false;
    for (const char* system : {"/proc", "/sys", "/dev", "/snap/"})
        if (m.mountPoint.rfind(system, 0) == 0)
            return false;
    if (kNetworkFs.count(m.fsType))
        return true;
    return m.source.rfind("/dev/", 0) == 0 && m.source.rfind("/dev/loop", 0) != 0;
}

VolumeKind KindOf(const MountEntry& m, bool removable) {
    const std::string dev = baseName(m.source);
    if (dev.rfind("sr", 0) == 0 || m.fsType == "iso9660" || m.fsType == "udf")
        return VolumeKind::CdRom;
    return removable ? VolumeKind::Removable : VolumeKind::Fixed;
}

std::vector<Volume> ListVolumes() {
    std::ifstream f("/proc/self/mountinfo");
    std::stringstream text;
    text << f.rdbuf();
    const auto labels = labelsByDevice();

    std::vector<Volume> out;
    out.push_back({"/", "", "/", VolumeKind::Fixed});
    std::set<std::string> seen{"/"};
    for (const MountEntry& m : ParseMountInfo(text.str())) {
        if (m.mountPoint == "/") {
            if (auto l = labels.find(realPath(m.source)); l != labels.end())
                out[0].label = out[0].text = l->second;
            continue;
        }
        if (!IsUserVolume(m))
            continue;
        // A dead server would hang a stat; shares are folders by nature.
        struct stat st {};
        if (!kNetworkFs.count(m.fsType) &&
            (::stat(m.mountPoint.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
            continue;
        const std::string key = m.mountPoint + "/";
        if (!seen.insert(key).second)
            continue;
        Volume v;
        v.key = key;
        if (auto l = labels.find(realPath(m.source)); l != labels.end())
            v.label = l->second;
        v.text = v.label.empty() ? m.mountPoint : v.label;
        v.kind = KindOf(m, removableFlag(m.source));
        out.push_back(std::move(v));
    }
    return out;
}

} // namespace fotello
