#pragma once
// The desktop's shared thumbnail cache, as the thumbnail builder uses it on
// its workers: entries are looked up, read and written here, never on the UI
// thread. A cache that cannot be read or written only costs speed: every
// failure is logged (lcThumbs) and the picture is read from its file.

#include <memory>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QSize>

#include "shell/thumb_cache_rules.h"

namespace fotello {

class ThumbCache {
public:
    // root: the cache's folder (".../thumbnails"); empty: no cache.
    explicit ThumbCache(QByteArray root);
    // The user's cache, from the environment ($XDG_CACHE_HOME, $HOME).
    static std::shared_ptr<const ThumbCache> ForUser();
    const QByteArray& root() const { return root_; }

    // One file as the cache knows it.
    struct Source {
        QByteArray uri;
        QByteArray entryName; // MD5 of the URI in hex, ".png"
        long long mtime = 0;  // seconds
        long long size = 0;
        bool ok = false; // a regular file outside the cache, whose entry may be used
    };
    Source describe(const QByteArray& localPath) const;

    struct Entry {
        QImage thumb;  // RGB32, or ARGB32 where the picture has transparency
        QSize natural; // the picture's own size
    };
    // A fresh entry of that flavour; none when missing, stale, of another
    // file or unreadable.
    std::optional<Entry> find(const Source& source, ThumbFlavour flavour) const;
    // Whether this program failed to read the file as it is now.
    bool failedBefore(const Source& source) const;

    // Written to a temporary name, mode 0600, then renamed over the entry.
    bool store(const Source& source, ThumbFlavour flavour, const QImage& thumb,
               QSize natural) const;
    bool storeFailure(const Source& source) const;

    // The folder of this program's failures, under the root.
    static QByteArray FailFolder();

private:
    bool write(const QByteArray& folder, const QByteArray& name, const QByteArray& png) const;
    QByteArray root_;
};

} // namespace fotello
