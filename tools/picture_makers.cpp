#include "tools/picture_makers.h"

#include <algorithm>
#include <vector>

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImageWriter>

namespace fotello::makers {
namespace {

void Put16(QByteArray& out, quint32 v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
void Put32(QByteArray& out, quint32 v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutBe16(QByteArray& out, quint32 v) {
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}

QByteArray WithQt(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

// Packs GIF codes least significant bit first into 255-byte sub-blocks.
class GifBits {
public:
    explicit GifBits(QByteArray& out) : out_(out) {}
    void put(int code, int width) {
        bits_ |= quint32(code) << count_;
        count_ += width;
        while (count_ >= 8) {
            byte(char(bits_ & 0xFF));
            bits_ >>= 8;
            count_ -= 8;
        }
    }
    void finish() {
        if (count_ > 0)
            byte(char(bits_ & 0xFF));
        flush();
        out_.append('\0');
    }

private:
    void byte(char b) {
        block_.append(b);
        if (block_.size() == 255)
            flush();
    }
    void flush() {
        if (block_.isEmpty())
            return;
        out_.append(char(block_.size()));
        out_.append(block_);
        block_.clear();
    }
    QByteArray& out_;
    QByteArray block_;
    quint32 bits_ = 0;
    int count_ = 0;
};

void GifLzw(QByteArray& out, const QImage& indexed, int minCode) {
    out.append(char(minCode));
    GifBits bits(out);
    const int clear = 1 << minCode, end = clear + 1;
    std::vector<qint16> child(4096 * 256, -1); // code of (prefix code, next index)
    int next = end + 1, width = minCode + 1, prefix = -1;
    bits.put(clear, width);
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int c = row[x];
            if (prefix < 0) {
                prefix = c;
                continue;
            }
            const int found = child[std::size_t(prefix) * 256 + c];
            if (found >= 0) {
                prefix = found;
                continue;
            }
            bits.put(prefix, width);
            if (next < 4096) {
                if (next == (1 << width))
                    ++width;
                child[std::size_t(prefix) * 256 + c] = qint16(next++);
            } else {
                bits.put(clear, width);
                std::fill(child.begin(), child.end(), qint16(-1));
                next = end + 1;
                width = minCode + 1;
            }
            prefix = c;
        }
    }
    bits.put(prefix, width);
    bits.put(end, width);
    bits.finish();
}

// An exact palette when the frame has few colours (plus one for transparency),
// else Qt's quantiser; pixels with alpha below 128 take the transparent index.
QImage ToIndexed(const QImage& argb, int& transparent) {
    QHash<QRgb, int> index;
    bool clear = false, exact = true;
    for (int y = 0; y < argb.height() && exact; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width() && exact; ++x) {
            const QRgb colour = row[x] | 0xFF000000u;
            if (qAlpha(row[x]) < 128)
                clear = true;
            else if (index.contains(colour))
                continue;
            else if (index.size() == 255)
                exact = false;
            else
                index.insert(colour, int(index.size()));
        }
    }
    QImage out;
    if (exact) {
        out = QImage(argb.size(), QImage::Format_Indexed8);
        QList<QRgb> table(index.size());
        for (auto it = index.cbegin(); it != index.cend(); ++it)
            table[it.value()] = it.key();
        out.setColorTable(table);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* dst = out.scanLine(y);
            for (int x = 0; x < argb.width(); ++x)
                dst[x] =
                    uchar(qAlpha(row[x]) < 128 ? table.size() : index.value(row[x] | 0xFF000000u));
        }
    } else {
        out = argb.convertToFormat(QImage::Format_RGB32)
                  .convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither | Qt::PreferDither);
    }
    QList<QRgb> table = out.colorTable();
    transparent = -1;
    if (clear) {
        transparent = int(std::min<qsizetype>(table.size(), 255));
        table.resize(transparent + 1);
        table[transparent] = 0;
        out.setColorTable(table);
        for (int y = 0; y < argb.height(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            uchar* dst = out.scanLine(y);
            for (int x = 0; x < argb.width(); ++x)
                if (qAlpha(row[x]) < 128)
                    dst[x] = uchar(transparent);
        }
    }
    return out;
}

QByteArray IconFile(const QList<QImage>& images, int type, QPoint hotSpot) {
    QByteArray head, data;
    Put16(head, 0);
    Put16(head, quint32(type));
    Put16(head, quint32(images.size()));
    qsizetype offset = 6 + 16 * images.size();
    for (const QImage& source : images) {
        const QImage image = source.convertToFormat(QImage::Format_ARGB32);
        const int w = image.width(), h = image.height();
        const int maskRow = (w + 31) / 32 * 4;
        QByteArray entry;
        Put32(entry, 40);
        Put32(entry, quint32(w));
        Put32(entry, quint32(h * 2)); // colour rows, then the mask's
        Put16(entry, 1);
        Put16(entry, 32);
        Put32(entry, 0);
        Put32(entry, quint32(w * h * 4 + maskRow * h));
        entry.append(16, '\0');
        for (int y = h - 1; y >= 0; --y)
            entry.append(reinterpret_cast<const char*>(image.constScanLine(y)), w * 4);
        for (int y = h - 1; y >= 0; --y) {
            QByteArray row(maskRow, '\0');
            for (int x = 0; x < w; ++x)
                if (qAlpha(image.pixel(x, y)) == 0)
                    row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
            entry.append(row);
        }
        head.append(char(w >= 256 ? 0 : w));
        head.append(char(h >= 256 ? 0 : h));
        head.append(2, '\0');
        Put16(head, type == 2 ? quint32(hotSpot.x()) : 1);
        Put16(head, type == 2 ? quint32(hotSpot.y()) : 32);
        Put32(head, quint32(entry.size()));
        Put32(head, quint32(offset));
        offset += entry.size();
        data.append(entry);
    }
    return head + data;
}

QList<qint16> ColourRef(const QColor& c) {
    return {qint16(c.red() | (c.green() << 8)), qint16(c.blue())};
}

} // namespace

QByteArray EncodeBmp(const QImage& image) {
    return WithQt(image, "bmp");
}
QByteArray EncodePng(const QImage& image) {
    return WithQt(image, "png");
}

QByteArray EncodeJpeg(const QImage& image, int quality, int exifOrientation) {
    QByteArray jpeg = WithQt(image.convertToFormat(QImage::Format_RGB32), "jpeg", quality);
    if (jpeg.isEmpty() || exifOrientation == 0)
        return jpeg;
    // APP1 "Exif": a little-endian TIFF header and one IFD with the orientation.
    QByteArray exif("Exif\0\0II*\0", 10);
    Put32(exif, 8);
    Put16(exif, 1);
    Put16(exif, 0x0112);
    Put16(exif, 3);
    Put32(exif, 1);
    Put16(exif, quint32(exifOrientation));
    Put16(exif, 0);
    Put32(exif, 0);
    QByteArray segment("\xFF\xE1", 2);
    PutBe16(segment, quint32(exif.size() + 2));
    return jpeg.left(2) + segment + exif + jpeg.mid(2);
}

QByteArray EncodeGif(const QList<QImage>& frames, const QList<int>& delays, int loops) {
    if (frames.isEmpty())
        return {};
    const QSize size = frames.first().size();
    QByteArray out("GIF89a");
    Put16(out, quint32(size.width()));
    Put16(out, quint32(size.height()));
    out.append(char(0x70)); // no global table: every frame has its own
    out.append(2, '\0');
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
    Put16(out, quint32(loops));
    out.append('\0');
    for (qsizetype i = 0; i < frames.size(); ++i) {
        int transparent = -1;
        const QImage indexed =
            ToIndexed(frames[i].convertToFormat(QImage::Format_ARGB32).scaled(size), transparent);
        const bool clear = transparent >= 0;
        QList<QRgb> table = indexed.colorTable();
        int bits = 1;
        while ((1 << bits) < table.size())
            ++bits;
        table.resize(1 << bits, qRgb(0, 0, 0));
        out.append("\x21\xF9\x04", 3);
        out.append(char((1 << 2) | (clear ? 1 : 0))); // keep the frame, maybe transparent
        Put16(out, quint32(i < delays.size() ? delays[i] : 10));
        out.append(char(clear ? transparent : 0));
        out.append('\0');
        out.append(char(0x2C));
        Put32(out, 0);
        Put16(out, quint32(size.width()));
        Put16(out, quint32(size.height()));
        out.append(char(0x80 | (bits - 1)));
        for (QRgb c : table) {
            out.append(char(qRed(c)));
            out.append(char(qGreen(c)));
            out.append(char(qBlue(c)));
        }
        GifLzw(out, indexed, std::max(2, bits));
    }
    out.append(char(0x3B));
    return out;
}

QByteArray EncodeIco(const QList<QImage>& images) {
    return IconFile(images, 1, {});
}
QByteArray EncodeCur(const QImage& image, QPoint hotSpot) {
    return IconFile({image}, 2, hotSpot);
}

WmfWriter::WmfWriter(int width, int height, int unitsPerInch)
    : width_(width), height_(height), unitsPerInch_(unitsPerInch) {
    record(0x020B, {0, 0});                          // window origin (y, x)
    record(0x020C, {qint16(height), qint16(width)}); // window extent (y, x)
}

void WmfWriter::record(quint16 function, const QList<qint16>& words) {
    const quint32 size = 3 + quint32(words.size());
    Put32(records_, size);
    Put16(records_, function);
    for (qint16 w : words)
        Put16(records_, quint16(w));
    largestRecordWords_ = std::max(largestRecordWords_, size);
}

int WmfWriter::createObject(quint16 function, const QList<qint16>& words) {
    const int slot = int(std::find(slots_.begin(), slots_.end(), false) - slots_.begin());
    if (slot == slots_.size())
        slots_.append(true);
    else
        slots_[slot] = true;
    record(function, words);
    return slot;
}

void WmfWriter::selectReplacing(int& current, int created) {
    record(0x012D, {qint16(created)});
    if (current >= 0) {
        record(0x01F0, {qint16(current)});
        slots_[current] = false;
    }
    current = created;
}

void WmfWriter::setPen(const QColor& colour, int width) {
    selectReplacing(pen_,
                    createObject(0x02FA, QList<qint16>{0, qint16(width), 0} + ColourRef(colour)));
}

void WmfWriter::setNoPen() {
    selectReplacing(pen_, createObject(0x02FA, QList<qint16>{5, 0, 0} + ColourRef(Qt::black)));
}

void WmfWriter::setBrush(const QColor& colour) {
    selectReplacing(brush_,
                    createObject(0x02FC, QList<qint16>{0} + ColourRef(colour) + QList<qint16>{0}));
}

void WmfWriter::setPatternBrush(QSize size, const QColor& colour) {
    QByteArray dib;
    const int rowBytes = (size.width() * 3 + 3) / 4 * 4;
    for (quint32 v : {40u, quint32(size.width()), quint32(size.height())})
        Put32(dib, v);
    Put16(dib, 1);  // planes
    Put16(dib, 24); // bits per pixel
    for (quint32 v : {0u, quint32(rowBytes * size.height()), 0u, 0u, 0u, 0u})
        Put32(dib, v);
    QByteArray row(rowBytes, '\0');
    for (int x = 0; x < size.width(); ++x) {
        row[x * 3] = char(colour.blue());
        row[x * 3 + 1] = char(colour.green());
        row[x * 3 + 2] = char(colour.red());
    }
    for (int y = 0; y < size.height(); ++y)
        dib += row;
    QList<qint16> words{5, 0}; // a DIB pattern, its colours as RGB
    for (qsizetype i = 0; i < dib.size(); i += 2)
        words << qint16(uchar(dib[i]) | (uchar(dib[i + 1]) << 8));
    selectReplacing(brush_, createObject(0x0142, words));
}

void WmfWriter::rectangle(const QRect& r) {
    record(0x041B,
           {qint16(r.bottom() + 1), qint16(r.right() + 1), qint16(r.top()), qint16(r.left())});
}

void WmfWriter::ellipse(const QRect& r) {
    record(0x0418,
           {qint16(r.bottom() + 1), qint16(r.right() + 1), qint16(r.top()), qint16(r.left())});
}

void WmfWriter::polygon(const QList<QPoint>& points) {
    QList<qint16> words{qint16(points.size())};
    for (QPoint p : points)
        words << qint16(p.x()) << qint16(p.y());
    record(0x0324, words);
}

QByteArray WmfWriter::finish() const {
    QByteArray placeable;
    Put32(placeable, 0x9AC6CDD7u);
    Put16(placeable, 0);
    for (int v : {0, 0, width_, height_})
        Put16(placeable, quint32(v));
    Put16(placeable, quint32(unitsPerInch_));
    Put32(placeable, 0);
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= quint16(uchar(placeable[i]) | (uchar(placeable[i + 1]) << 8));
    Put16(placeable, checksum);
    const QByteArray end("\x03\0\0\0\0\0", 6);
    QByteArray header;
    Put16(header, 1);     // in memory
    Put16(header, 9);     // header words
    Put16(header, 0x300); // version
    Put32(header, quint32(9 + (records_.size() + end.size()) / 2));
    Put16(header, quint32(slots_.size()));
    Put32(header, largestRecordWords_);
    Put16(header, 0);
    return placeable + header + records_ + end;
}

QByteArray TruncatedCopy(const QByteArray& file, qsizetype bytes) {
    return file.left(bytes);
}

QByteArray BombBmp() {
    QByteArray out("BM");
    Put32(out, 54 + 16);
    Put32(out, 0);
    Put32(out, 54);
    Put32(out, 40);
    Put32(out, 65535);
    Put32(out, 65535);
    Put16(out, 1);
    Put16(out, 24);
    out.append(24, '\0');
    out.append(16, '\x7F');
    return out;
}

QByteArray BombGif() {
    QByteArray out("GIF89a");
    Put16(out, 65535);
    Put16(out, 65535);
    out.append("\x80\0\0", 3);
    out.append("\0\0\0\xFF\xFF\xFF", 6);
    out.append(char(0x2C));
    Put32(out, 0);
    Put16(out, 65535);
    Put16(out, 65535);
    out.append('\0');
    out.append("\x02\x02\x4C\x01\x00\x3B", 6); // codes: clear, 0, end; then the trailer
    return out;
}

QByteArray BombJpeg() {
    QByteArray jpeg = EncodeJpeg(QImage(16, 16, QImage::Format_RGB32), 75);
    for (qsizetype i = 2; i + 9 < jpeg.size(); ++i) {
        if (uchar(jpeg[i]) == 0xFF && uchar(jpeg[i + 1]) == 0xC0) {
            jpeg.replace(i + 5, 4, QByteArray("\xFF\xFF\xFF\xFF", 4)); // height, width
            break;
        }
    }
    return jpeg;
}

QByteArray BombIco() {
    QImage small(4, 4, QImage::Format_ARGB32);
    small.fill(Qt::red);
    QByteArray ico = EncodeIco({small});
    QByteArray header;
    Put32(header, 65535);
    Put32(header, 65535 * 2);
    ico.replace(6 + 16 + 4, 8, header);
    return ico;
}

namespace {

quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (char c : bytes) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void PutBe32(QByteArray& out, quint32 v) {
    PutBe16(out, v >> 16);
    PutBe16(out, v & 0xFFFF);
}

} // namespace

QByteArray ProgressiveJpegBomb(int width, int height, bool colour, int scans, bool fullChroma) {
    QImage image(16, 16, colour ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
    image.fill(Qt::gray);
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.write(image);
    }
    QByteArray head;
    QList<QByteArray> found;
    qsizetype pos = 2;
    while (pos + 4 <= jpeg.size()) {
        const uchar marker = uchar(jpeg[pos + 1]);
        if (marker == 0xD9)
            break;
        const qsizetype length = (uchar(jpeg[pos + 2]) << 8) | uchar(jpeg[pos + 3]);
        qsizetype end = pos + 2 + length;
        if (marker == 0xDA) {
            while (end + 1 < jpeg.size() &&
                   !(uchar(jpeg[end]) == 0xFF && uchar(jpeg[end + 1]) != 0 &&
                     (uchar(jpeg[end + 1]) < 0xD0 || uchar(jpeg[end + 1]) > 0xD7)))
                ++end;
            found.append(jpeg.mid(pos, end - pos));
        } else {
            QByteArray segment = jpeg.mid(pos, end - pos);
            if (marker == 0xC2) {
                segment[5] = char(height >> 8);
                segment[6] = char(height);
                segment[7] = char(width >> 8);
                segment[8] = char(width);
                for (int c = 0; fullChroma && c < uchar(segment[9]); ++c)
                    segment[11 + 3 * c] = 0x11;
            }
            head += segment;
        }
        pos = end;
    }
    QByteArray out = jpeg.left(2) + head;
    for (int i = 0; i < scans && !found.isEmpty(); ++i)
        out += found[std::min<qsizetype>(i, found.size() - 1)];
    return out + QByteArray("\xFF\xD9", 2);
}

QByteArray PngBomb(int width, int height) {
    QImage row(1, 1, QImage::Format_ARGB32);
    row.fill(Qt::red);
    QByteArray png = EncodePng(row);
    // The header chunk follows the 8-byte signature: length, type, then the sides.
    QByteArray sides;
    PutBe32(sides, quint32(width));
    PutBe32(sides, quint32(height));
    png.replace(16, 8, sides);
    QByteArray crc;
    PutBe32(crc, Crc32(png.mid(12, 17)));
    png.replace(29, 4, crc);
    return png;
}

QByteArray IcoHoldingPng(const QByteArray& png) {
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, 1);
    out.append(4, '\0'); // 256 x 256 as far as the directory says, no palette
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, quint32(png.size()));
    Put32(out, 22);
    return out + png;
}

QByteArray RleBmpBomb(int width, int height) {
    QByteArray out("BM");
    const quint32 start = 14 + 40 + 8, stream = 2;
    Put32(out, start + stream);
    Put32(out, 0);
    Put32(out, start);
    Put32(out, 40);
    Put32(out, quint32(width));
    Put32(out, quint32(height));
    Put16(out, 1);
    Put16(out, 8);
    Put32(out, 1); // run-length coded, 8 bits
    Put32(out, 0); // data size left out, as many writers do
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 2);
    Put32(out, 0);
    out.append("\0\0\0\0\xFF\xFF\xFF\0", 8);
    return out.append("\0\1", 2); // the end of the picture
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace fotello::makers
