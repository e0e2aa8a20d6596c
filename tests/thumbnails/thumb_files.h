#pragma once
// Picture folders for the thumbnail tests, and a window to build them in.

#include <memory>

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

namespace fotello {

class FrmFotello;
class ThumbnailBuilder;

// A picture of one flat colour.
QImage TestPicture(int w, int h, QColor colour);
// Writes a picture; the format comes from the name's extension.
void WritePicture(const QString& path, const QImage& image, int quality = 90);
void WriteBytes(const QString& path, const QByteArray& bytes);
// The first half of a real JPEG: the data ends early.
QByteArray TruncatedJpeg();

// A main window with the given thumbnail geometry, not started up: the
// tests point the file list themselves.
struct TestWindow {
    TestWindow(int cellHeight = 100, int cellWidth = 100, int side = 80);
    ~TestWindow();
    // Points the file list at a folder and builds its strip, waiting for the end.
    bool buildFolder(const QString& folder);
    ThumbnailBuilder* builder() const;

    QTemporaryDir programFolder;
    std::unique_ptr<FrmFotello> w;
};

} // namespace fotello
