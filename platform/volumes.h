#pragma once
// The machine's volumes, as the folder tree's top level lists them: "/"
// first, then every real mounted filesystem.

#include <string>
#include <string_view>
#include <vector>

namespace fotello {

enum class VolumeKind { Removable, Fixed, CdRom };

struct MountEntry {
    std::string root;       // the part of the filesystem mounted ("/" unless a bind mount)
    std::string mountPoint; // unescaped
    std::string fsType;
    std::string source; // device or server
};

struct Volume {
    std::string key;   // mount path ending in "/"
    std::string label; // volume label; empty when it has none
    std::string text;  // what the tree shows: the label, or the mount path
    VolumeKind kind = VolumeKind::Fixed;
};

// Lines of /proc/self/mountinfo; malformed lines are skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

// Whether a mount is a volume a user browses: a whole filesystem (not a bind
// mount of part of one, nor a file) on a block device or a network share,
// and not one of the kernel's own.
bool IsUserVolume(const MountEntry& m);

// Kind by device name and filesystem; removable tells the block device's flag.
VolumeKind KindOf(const MountEntry& m, bool removable);

// Reads the running system: mountinfo, /sys/class/block, /dev/disk/by-label.
std::vector<Volume> ListVolumes();

} // namespace fotello
