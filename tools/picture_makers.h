#pragma once
// Code that writes picture files, whole, in memory: the sample pictures and
// the tests' pictures (good and broken) are made with it. Qt writes BMP, JPEG
// and PNG; GIF, ICO, CUR and WMF are written here.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

namespace fotello::makers {

QByteArray EncodeBmp(const QImage& image);
QByteArray EncodePng(const QImage& image);
// exifOrientation 1..8 adds an EXIF block with that orientation tag (0: none).
QByteArray EncodeJpeg(const QImage& image, int quality = 90, int exifOrientation = 0);

// Animated GIF89a: one frame per image (all of the first one's size), delays
// in hundredths of a second, loops 0 = for ever. Pixels with alpha below 128
// are transparent. Each frame gets its own palette of at most 256 colours.
QByteArray EncodeGif(const QList<QImage>& frames, const QList<int>& delays, int loops = 0);

// Icons of up to 256 x 256, 32 bits per pixel with a transparency mask.
QByteArray EncodeIco(const QList<QImage>& images);
QByteArray EncodeCur(const QImage& image, QPoint hotSpot);

// A placeable Windows metafile drawn with pens, brushes and three shapes.
class WmfWriter {
public:
    // The picture's box in logical units, and how many of them make an inch.
    WmfWriter(int width, int height, int unitsPerInch = 96);
    void setPen(const QColor& colour, int width = 1);
    void setNoPen();
    void setBrush(const QColor& colour);
    // A brush tiling a 24-bit bitmap of one colour (any size, even empty).
    void setPatternBrush(QSize size, const QColor& colour);
    void rectangle(const QRect& box);
    void ellipse(const QRect& box);
    void polygon(const QList<QPoint>& points);
    QByteArray finish() const;

private:
    void record(quint16 function, const QList<qint16>& words);
    int createObject(quint16 function, const QList<qint16>& words);
    void selectReplacing(int& current, int created);

    int width_, height_, unitsPerInch_;
    QByteArray records_;
    quint32 largestRecordWords_ = 0;
    QList<bool> slots_;
    int pen_ = -1, brush_ = -1;
};

// Broken files.
QByteArray TruncatedCopy(const QByteArray& file, qsizetype bytes);
// Headers (with a few bytes of data) declaring 65,535 x 65,535 pixels.
QByteArray BombBmp();
QByteArray BombGif();
QByteArray BombJpeg();
QByteArray BombIco();

// Bombs whose decoders would allocate or work far beyond their few bytes.
// A progressive JPEG of 16 x 16 pixels declaring width x height, grey or
// colour (chroma halved both ways, or at full resolution: then its data no
// longer fits the header), with `scans` scans (the last one repeated as needed).
QByteArray ProgressiveJpegBomb(int width, int height, bool colour, int scans,
                               bool fullChroma = false);
// A PNG declaring width x height whose data stops after its first row.
QByteArray PngBomb(int width, int height);
// An icon whose only picture is this PNG.
QByteArray IcoHoldingPng(const QByteArray& png);
// An 8-bit run-length BMP declaring width x height whose stream ends at once.
QByteArray RleBmpBomb(int width, int height);

bool WriteFile(const QString& path, const QByteArray& bytes);

} // namespace fotello::makers
