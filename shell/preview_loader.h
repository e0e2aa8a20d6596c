#pragma once
// Reads the preview's pictures on worker threads. The picture asked for last
// is the only one answered: a request replaces the one before it, and a result
// of an older request is never handed out. The list's neighbours of the
// current picture are read ahead into a cache of a few entries.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>
#include <QThreadPool>
#include <QVector>

#include "platform/picture_reader.h"

namespace fotello {

struct PreviewJob {
    QString full;     // the path as lblPath shows it
    QByteArray local; // as the file system spells it
    bool gif = false; // shown animated: its checked bytes come back too
    // The fitted view of the preview; an invalid host asks for the full picture.
    QSize host;
    QSize pane;
    // Screen pixels per window pixel: the fitted view is read in screen pixels.
    qreal pixelRatio = 1;
};

// The file as it was when read: a cached picture is handed out again only
// while its file is unchanged.
struct FileStamp {
    bool ok = false;
    qint64 size = 0;
    quint64 device = 0, inode = 0;
    qint64 modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

struct PreviewPicture {
    std::uint64_t generation = 0; // of the request it answers
    QString full;
    QByteArray local;
    // Fitted view: the image is at most the fitted size (a JPEG is decoded
    // reduced); naturalSize is the picture's own size.
    PictureResult picture;
    QString sizeText;    // the file's length in bytes, a space and "bytes"
    QByteArray gifBytes; // checked bytes for the animated-picture control
    FileStamp stamp;
};

class PreviewLoader : public QObject {
    Q_OBJECT
public:
    explicit PreviewLoader(QObject* parent = nullptr);
    ~PreviewLoader() override; // waits for the pictures being read

    // Asks for a picture; ready() answers it unless another request comes first.
    std::uint64_t request(const PreviewJob& job);
    // Drops the request waiting for its answer, if any.
    void cancel();
    bool waiting() const { return waiting_; }

    // Pictures to read ahead, most wanted first; the cache keeps these and the
    // current request's picture and forgets the rest.
    void prefetch(const QVector<PreviewJob>& jobs);

    // Whether a picture is in the cache, read and ready to hand out.
    bool holds(const PreviewJob& job) const;
    // No file is being read.
    bool idle() const;

    // Entries the cache may hold: the current picture and two neighbours.
    static constexpr int kCacheEntries = 3;
    // A reading larger than this (a full picture, a big GIF's frame and bytes)
    // is handed out but not kept, nor read ahead again.
    static constexpr qint64 kMaxCachedBytes = qint64(64) << 20;

    // Reads one picture as a worker does (exposed for tests and benchmarks);
    // `stop` abandons it half way. A job for a GIF brings its bytes only
    // when the file is a GIF: anything else comes as a fitted still.
    static PreviewPicture Read(const PreviewJob& job, const std::function<bool()>& stop = {});

signals:
    void ready(const fotello::PreviewPicture& picture);

private:
    using Picture = std::shared_ptr<const PreviewPicture>;
    using Key = QString;
    struct Entry {
        Picture picture; // the last one read, if any
        // While a worker reads the file: whether anyone still wants it. A task
        // that is no longer wanted when it starts skips the file.
        std::shared_ptr<std::atomic<bool>> reading;
    };
    static Key keyOf(const PreviewJob& job);

    void launch(const PreviewJob& job, bool ahead);
    void land(const Key& key, bool ahead, Picture picture);
    bool wanted(const Key& key) const;
    void issuePrefetch();
    void forgetUnwanted();

    QThreadPool pool_;
    std::uint64_t generation_ = 0;
    bool waiting_ = false;
    PreviewJob currentJob_;
    Key currentKey_;
    QHash<Key, Entry> cache_;
    QVector<PreviewJob> ahead_; // the neighbours, most wanted first
    bool prefetching_ = false;  // one read ahead at a time
};

} // namespace fotello
