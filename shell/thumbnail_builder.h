#pragma once
// Builds the thumbnails of a list of files on worker threads (at most two)
// and hands them back on the owner's thread, one per file, in list order.
// A build started while one runs replaces it: the old one's results are
// dropped and its files not yet started are never read. With a cache, its
// entries are read and written on the workers too.

#include <atomic>
#include <cstdint>
#include <memory>

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QVector>

#include "shell/thumb_order.h"
#include "shell/thumb_render.h"

namespace fotello {

class ThumbnailBuilder : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString name;         // as the file list shows it
        QByteArray localPath; // as the file system spells it
    };

    explicit ThumbnailBuilder(QObject* parent = nullptr);
    ~ThumbnailBuilder() override; // waits for the files being read

    // With no entries the build finishes at once (finished() inside start()).
    void start(QVector<Entry> entries, const ThumbRequest& request);
    // The shared thumbnail cache the next builds use; null: none.
    void setCache(std::shared_ptr<const ThumbCache> cache) { cache_ = std::move(cache); }
    // Drops the running build, if any; finished() is not emitted for it.
    void cancel();
    bool running() const { return running_; }
    // Paused, it starts no new file (those being read finish): a picture the
    // user is waiting for gets the cores. Kept across builds until resumed.
    void setPaused(bool paused);
    bool paused() const { return paused_; }
    std::uint64_t generation() const { return generation_; }

    // Files read at once plus results waiting for their turn.
    static constexpr int kWindow = 6;

signals:
    // One per entry, in list order, also for a file that could not be read.
    void entryDone(int index, const QString& name, int percent,
                   const fotello::RenderedThumb& thumb);
    void finished();

private:
    void issueMore();
    void accept(std::uint64_t generation, int index, RenderedThumb thumb);

    QThreadPool pool_;
    // The build the workers serve; a worker whose build is gone skips its file.
    std::shared_ptr<std::atomic<std::uint64_t>> current_;
    std::uint64_t generation_ = 0;
    ThumbOrder<RenderedThumb> order_;
    QVector<Entry> entries_;
    ThumbRequest request_;
    std::shared_ptr<const ThumbCache> cache_;
    bool running_ = false;
    bool paused_ = false;
};

} // namespace fotello
