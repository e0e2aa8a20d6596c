#include "shell/folder_scanner.h"

#include <algorithm>

#include <QThread>

namespace fotello {

FolderScanner::FolderScanner(QObject* parent)
    : QObject(parent), droppedUpTo_(std::make_shared<std::atomic<std::uint64_t>>(0)) {
    setObjectName("folderScanner");
    pool_.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 2));
    pool_.setExpiryTimeout(5000);
}

FolderScanner::~FolderScanner() {
    dropAll();
    pool_.waitForDone();
}

std::uint64_t FolderScanner::scan(const QByteArray& folder) {
    const std::uint64_t gen = ++last_;
    auto dropped = droppedUpTo_;
    pool_.start([this, dropped, gen, path = folder.toStdString()] {
        if (gen <= dropped->load())
            return;
        SubfolderScan result = ScanSubfolders(path, gen);
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result)] {
                if (result.generation > droppedUpTo_->load())
                    emit scanned(result);
            },
            Qt::QueuedConnection);
    });
    return gen;
}

void FolderScanner::dropAll() {
    droppedUpTo_->store(last_);
    pool_.clear();
}

} // namespace fotello
