#pragma once
// Reads folders' subfolders on worker threads for the folder tree and hands
// each answer back on the owner's thread, tagged with the generation scan()
// returned. Answers to dropped requests never arrive.

#include <atomic>
#include <cstdint>
#include <memory>

#include <QByteArray>
#include <QObject>
#include <QThreadPool>

#include "shell/folder_scan.h"

namespace fotello {

class FolderScanner : public QObject {
    Q_OBJECT
public:
    explicit FolderScanner(QObject* parent = nullptr);
    ~FolderScanner() override; // waits for the folders being read

    std::uint64_t scan(const QByteArray& folder);
    // Every request made so far is dropped; folders not yet started are never read.
    void dropAll();

signals:
    void scanned(const fotello::SubfolderScan& result);

private:
    QThreadPool pool_;
    std::uint64_t last_ = 0;
    // Requests at or below this generation are dropped.
    std::shared_ptr<std::atomic<std::uint64_t>> droppedUpTo_;
};

} // namespace fotello
