#include "shell/preview_loader.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <sys/stat.h>

#include <QThread>

#include "shell/layout_rules.h"

namespace fotello {

namespace {

FileStamp StampOf(const QByteArray& local) {
    struct stat st {};
    FileStamp s;
    if (::stat(local.constData(), &st) != 0)
        return s;
    s.ok = true;
    s.size = qint64(st.st_size);
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.changedNs = qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return s;
}

// In screen pixels, never more than the picture has.
QSize FittedSize(QSize natural, const PreviewJob& job) {
    const Fit f =
        FitPicture({natural.width(), natural.height()}, {job.host.width(), job.host.height()},
                   {job.pane.width(), job.pane.height()});
    const qreal ratio = job.pixelRatio > 1 ? job.pixelRatio : 1;
    return QSize(int(std::ceil(f.size.width * ratio)), int(std::ceil(f.size.height * ratio)))
        .boundedTo(natural);
}

// The picture no larger than the size it is shown at: the UI thread then
// paints it as it is instead of scaling a photo on every selection.
void ShrinkTo(QImage& image, QSize fitted) {
    if (fitted.isEmpty() || (image.width() <= fitted.width() && image.height() <= fitted.height()))
        return;
    const QImage::Format format = image.format();
    image = image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (image.format() != format)
        image.convertTo(format);
}

} // namespace

PreviewLoader::PreviewLoader(QObject* parent) : QObject(parent) {
    setObjectName("previewLoader");
    pool_.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 2));
    pool_.setExpiryTimeout(10000);
}

PreviewLoader::~PreviewLoader() {
    for (Entry& e : cache_)
        if (e.reading)
            e.reading->store(false);
    pool_.clear();
    pool_.waitForDone();
}

PreviewPicture PreviewLoader::Read(const PreviewJob& job, const std::function<bool()>& stop) {
    PreviewPicture out;
    out.full = job.full;
    out.local = job.local;
    out.stamp = StampOf(job.local);
    out.sizeText = QString::number(out.stamp.ok ? out.stamp.size : 0) + " bytes";
    std::optional<CheckedPictureBytes> checked;
    if (job.gif) {
        // The control plays the checked bytes on the UI thread: only a GIF's, so
        // that another kind named .gif is decoded here, as a still.
        checked = ReadCheckedPictureBytesLocal(job.local);
        if (checked->error != PictureError::None) {
            out.picture.error = checked->error;
            out.picture.detail = checked->detail;
            out.picture.kind = checked->probe.kind;
            return out;
        }
        if (checked->probe.kind == PictureKind::Gif) {
            // The first frame gives the size.
            PictureReadOptions first;
            first.stop = stop;
            out.picture = DecodeCheckedPicture(job.local, *checked, first);
            if (out.picture.ok())
                out.gifBytes = std::move(checked->bytes);
            return out;
        }
    }
    // Bytes already read and checked (a .gif that is no GIF) are not read twice.
    auto read = [&](const PictureReadOptions& options) {
        return checked ? DecodeCheckedPicture(job.local, *checked, options)
                       : ReadPictureLocal(job.local, options);
    };
    PictureReadOptions options;
    options.stop = stop;
    if (!job.host.isValid()) {
        out.picture = read(options);
        return out;
    }
    options.coverFor = [&job](QSize natural) { return FittedSize(natural, job); };
    out.picture = read(options);
    if (out.picture.ok())
        ShrinkTo(out.picture.image, FittedSize(out.picture.naturalSize, job));
    return out;
}

PreviewLoader::Key PreviewLoader::keyOf(const PreviewJob& job) {
    // The size belongs to the key: a picture fitted to another pane is another picture.
    return QString::fromLatin1(job.local.toHex()) + QStringLiteral("|%1|%2x%3|%4x%5|%6")
                                                        .arg(job.gif)
                                                        .arg(job.host.width())
                                                        .arg(job.host.height())
                                                        .arg(job.pane.width())
                                                        .arg(job.pane.height())
                                                        .arg(job.pixelRatio);
}

std::uint64_t PreviewLoader::request(const PreviewJob& job) {
    ++generation_;
    waiting_ = true;
    currentJob_ = job;
    currentKey_ = keyOf(job);
    // A read for the picture asked for before is dropped unless it is a neighbour.
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (it->reading)
            it->reading->store(wanted(it.key()));
    const auto it = cache_.constFind(currentKey_);
    if (it == cache_.constEnd() || !it->reading)
        launch(job, false); // also for a cached picture: its file may have changed
    return generation_;
}

void PreviewLoader::cancel() {
    ++generation_;
    waiting_ = false;
    currentKey_.clear();
    currentJob_ = {};
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (it->reading)
            it->reading->store(wanted(it.key()));
}

void PreviewLoader::prefetch(const QVector<PreviewJob>& jobs) {
    ahead_ = jobs.mid(0, kCacheEntries - 1);
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
        if (it->reading)
            it->reading->store(wanted(it.key()));
    forgetUnwanted();
    issuePrefetch();
}

bool PreviewLoader::holds(const PreviewJob& job) const {
    const auto it = cache_.constFind(keyOf(job));
    return it != cache_.constEnd() && it->picture;
}

bool PreviewLoader::idle() const {
    return std::none_of(cache_.begin(), cache_.end(),
                        [](const Entry& e) { return bool(e.reading); });
}

bool PreviewLoader::wanted(const Key& key) const {
    if (waiting_ && key == currentKey_)
        return true;
    return std::any_of(ahead_.begin(), ahead_.end(),
                       [&key](const PreviewJob& j) { return keyOf(j) == key; });
}

void PreviewLoader::launch(const PreviewJob& job, bool ahead) {
    const Key key = keyOf(job);
    Entry& entry = cache_[key];
    auto reading = std::make_shared<std::atomic<bool>>(true);
    entry.reading = reading;
    const Picture cached = entry.picture;
    if (ahead)
        prefetching_ = true;
    // What the user waits for goes before what is read ahead.
    pool_.start(
        [this, job, key, ahead, reading, cached] {
            Picture picture;
            if (reading->load()) {
                if (cached && cached->stamp.ok && cached->stamp == StampOf(job.local))
                    picture = cached;
                else
                    picture = std::make_shared<const PreviewPicture>(
                        Read(job, [&reading] { return !reading->load(); }));
                if (!reading->load())
                    picture.reset(); // abandoned half way: nothing to keep
            }
            QMetaObject::invokeMethod(
                this, [this, key, ahead, picture] { land(key, ahead, picture); },
                Qt::QueuedConnection);
        },
        ahead ? 0 : 1);
}

void PreviewLoader::land(const Key& key, bool ahead, Picture picture) {
    if (ahead)
        prefetching_ = false;
    const auto it = cache_.find(key);
    if (it != cache_.end()) {
        it->reading.reset();
        if (picture)
            it->picture = picture;
        if (it->picture && it->picture->picture.image.sizeInBytes() + it->picture->gifBytes.size() >
                               kMaxCachedBytes) {
            it->picture.reset();
            ahead_.removeIf([&key](const PreviewJob& j) { return keyOf(j) == key; });
        }
    }
    const bool answers = waiting_ && key == currentKey_;
    if (answers && !picture) {
        launch(currentJob_, false); // skipped just before it was asked for again
    } else if (answers) {
        waiting_ = false;
        PreviewPicture answer = *picture;
        answer.generation = generation_;
        forgetUnwanted();
        emit ready(answer);
        return; // a slot may have asked for more; it also read ahead
    }
    forgetUnwanted();
    issuePrefetch();
}

void PreviewLoader::issuePrefetch() {
    if (prefetching_ || waiting_)
        return; // the current picture first
    for (const PreviewJob& job : std::as_const(ahead_)) {
        const auto it = cache_.constFind(keyOf(job));
        if (it != cache_.constEnd() && (it->picture || it->reading))
            continue;
        launch(job, true);
        return;
    }
}

void PreviewLoader::forgetUnwanted() {
    for (auto it = cache_.begin(); it != cache_.end();) {
        // The picture on show stays too: going back to it costs nothing.
        if (!it->reading && !it->picture)
            it = cache_.erase(it);
        else if (!it->reading && it.key() != currentKey_ && !wanted(it.key()))
            it = cache_.erase(it);
        else
            ++it;
    }
}

} // namespace fotello
