#pragma once
// Rules of the shared thumbnail cache of the desktop (the freedesktop
// thumbnail managing standard): where it lives, which size serves a cell, the
// file URI its entries are named after, and when an entry still describes
// its file.

#include <string>
#include <string_view>

namespace fotello {

enum class ThumbFlavour { None, Normal, Large };

// The longest side of a cached thumbnail: 128 (normal), 256 (large), 0.
int FlavourSide(ThumbFlavour f);
// Its folder under the cache's root.
const char* FlavourFolder(ThumbFlavour f);

// The flavour a cell reduces from when its picture is drawn at most
// boxPixels device pixels on a side: the smallest that is not enlarged.
// None above 256 (the cell reads the file itself).
ThumbFlavour FlavourFor(int boxPixels);

// $XDG_CACHE_HOME/thumbnails when that is an absolute path, otherwise
// $HOME/.cache/thumbnails; empty when neither is known.
std::string ThumbCacheRoot(const char* xdgCacheHome, const char* home);

// An absolute path with doubled "/", "." and ".." taken out, byte by byte
// (names need not be UTF-8); empty for a relative path.
std::string CleanAbsolutePath(std::string_view path);

// "file://" and the path, escaped byte by byte as GLib's g_filename_to_uri
// does: file managers name their entries after the same text.
std::string FileUri(std::string_view absolutePath);

struct ThumbPixels {
    int w = 0;
    int h = 0;
    bool operator==(const ThumbPixels&) const = default;
};
// A cached thumbnail of a w x h picture: the longer side down to `side`
// (rounded halves to even), never enlarged, no side under one pixel.
ThumbPixels CachedThumbSize(int w, int h, int side);

// The keys of an entry, as read (absent ones empty).
struct ThumbKeys {
    std::string uri;   // Thumb::URI
    std::string mtime; // Thumb::MTime, seconds
    std::string size;  // Thumb::Size, bytes: optional
};
// Whether the entry describes the file as it is now.
bool EntryIsFresh(const ThumbKeys& keys, std::string_view uri, long long mtime, long long size);

} // namespace fotello
