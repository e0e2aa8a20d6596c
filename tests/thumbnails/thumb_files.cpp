#include "thumb_files.h"

#include <QBuffer>
#include <QFile>
#include <QSignalSpy>

#include "controls.h"

using fotello::test::Control;
#include "controls/file_list_box.h"
#include "shell/main_window.h"
#include "shell/thumbnail_builder.h"
#include "shell/thumbnail_strip.h"

namespace fotello {

QImage TestPicture(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void WritePicture(const QString& path, const QImage& image, int quality) {
    if (!image.save(path, nullptr, quality))
        qFatal("cannot write %s", qPrintable(path));
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray TruncatedJpeg() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage noise(300, 200, QImage::Format_RGB32); // busy, so the cut lands in the scan data
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7 + y * 13) % 256, (x * y) % 256, (x ^ y) % 256));
    noise.save(&buffer, "JPEG", 90);
    return bytes.left(bytes.size() / 2);
}

TestWindow::TestWindow(int cellHeight, int cellWidth, int side) {
    w = std::make_unique<FrmFotello>(programFolder.path());
    Control<QLineEdit>(*w, "Text1")->setText(QString::number(cellHeight));
    Control<QLineEdit>(*w, "Text2")->setText(QString::number(cellWidth));
    Control<QLineEdit>(*w, "Text3")->setText(QString::number(side));
    w->ApplySettings();
    Control<ThumbnailStrip>(*w, "picFrame")->resize(520, 300);
}

TestWindow::~TestWindow() = default;

ThumbnailBuilder* TestWindow::builder() const {
    return w->findChild<ThumbnailBuilder*>("thumbnailBuilder");
}

bool TestWindow::buildFolder(const QString& folder) {
    if (!Control<FileListBox>(*w, "File1")->setPathQuietly(folder))
        return false;
    QSignalSpy finished(builder(), &ThumbnailBuilder::finished);
    w->ResetThumbnails();
    return finished.count() > 0 || finished.wait(30000);
}

} // namespace fotello
