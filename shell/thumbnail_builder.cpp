#include "shell/thumbnail_builder.h"

#include <algorithm>

#include <QFile>
#include <QThread>

#include "platform/log.h"
#include "shell/thumb_cache.h"
#include "shell/thumb_geometry.h"

namespace fotello {

ThumbnailBuilder::ThumbnailBuilder(QObject* parent)
    : QObject(parent), current_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    setObjectName("thumbnailBuilder");
    pool_.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 2));
    pool_.setExpiryTimeout(5000);
}

ThumbnailBuilder::~ThumbnailBuilder() {
    cancel();
    pool_.waitForDone();
}

void ThumbnailBuilder::cancel() {
    if (running_)
        qCDebug(lcThumbs) << "build" << generation_ << "cancelled";
    ++generation_;
    current_->store(generation_);
    pool_.clear();
    order_.reset(0, kWindow);
    entries_.clear();
    running_ = false;
}

void ThumbnailBuilder::start(QVector<Entry> entries, const ThumbRequest& request) {
    cancel();
    entries_ = std::move(entries);
    request_ = request;
    order_.reset(static_cast<int>(entries_.size()), kWindow);
    running_ = true;
    qCDebug(lcThumbs) << "build" << generation_ << "of" << entries_.size() << "files, side"
                      << request.side << "ratio" << request.pixelRatio;
    if (order_.done()) {
        running_ = false;
        emit finished();
        return;
    }
    issueMore();
}

void ThumbnailBuilder::setPaused(bool paused) {
    paused_ = paused;
    if (!paused_ && running_)
        issueMore();
}

void ThumbnailBuilder::issueMore() {
    while (!paused_ && order_.canIssue()) {
        const int index = order_.issue();
        const std::uint64_t gen = generation_;
        const QByteArray path = entries_[index].localPath;
        const ThumbRequest request = request_;
        auto current = current_;
        auto cache = cache_;
        pool_.start([this, current, cache, gen, index, path, request] {
            // Said before reading: a file that hangs its reader is the last one named.
            qCDebug(lcThumbs).nospace().noquote()
                << "build " << gen << " reading " << index << ": " << QFile::decodeName(path);
            if (current->load() != gen) {
                qCDebug(lcThumbs).nospace() << "build " << gen << " skipping " << index;
                return; // replaced before it started: its result would be dropped
            }
            const RenderedThumb thumb = RenderThumb(path, request, cache.get());
            QMetaObject::invokeMethod(
                this, [this, gen, index, thumb] { accept(gen, index, thumb); },
                Qt::QueuedConnection);
        });
    }
}

void ThumbnailBuilder::accept(std::uint64_t generation, int index, RenderedThumb thumb) {
    const bool replaced = generation != generation_ || !running_;
    qCDebug(lcThumbs).nospace() << "build " << generation << (replaced ? " dropping " : " got ")
                                << index;
    if (replaced)
        return; // a result of a build that was replaced
    order_.put(index, std::move(thumb));
    const int count = order_.count();
    while (auto next = order_.takeNext()) {
        const int i = next->first;
        const QString name = entries_[i].name; // a slot may replace the list
        emit entryDone(i, name, ProgressPercent(i, count), next->second);
        if (generation != generation_)
            return; // a slot started another build
    }
    if (order_.done()) {
        qCDebug(lcThumbs) << "build" << generation_ << "finished";
        running_ = false;
        entries_.clear();
        emit finished();
        return;
    }
    issueMore();
}

} // namespace fotello
