// fotello-fuzz-seeds OUTDIR: writes the fuzz targets' seed corpora, tiny valid
// inputs of every kind: OUTDIR/pictures (probe and reader: every picture kind
// and its variants), OUTDIR/wmf (metafiles) and OUTDIR/filter (every filter of
// the effects menu with its parameter over a small picture).

#include <cstdio>

#include <QDir>
#include <QImage>

#include "effects/filter_table.h"
#include "tools/picture_makers.h"

namespace {

using namespace fotello::makers;

// A few colours and a transparent corner: every palette and mask has work.
QImage Tiny(int w, int h, QImage::Format format = QImage::Format_ARGB32) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgba(40 * x, 60 * y, 200 - 30 * x, x + y == 0 ? 0 : 255));
    return image.convertToFormat(format);
}

QByteArray Metafile() {
    WmfWriter wmf(64, 32, 96);
    wmf.setPen(Qt::black, 2);
    wmf.setBrush(QColor(0, 128, 0));
    wmf.rectangle(QRect(0, 0, 64, 32));
    wmf.setNoPen();
    wmf.setBrush(Qt::yellow);
    wmf.ellipse(QRect(4, 4, 20, 20));
    wmf.polygon({{40, 2}, {60, 30}, {30, 30}});
    return wmf.finish();
}

bool Write(const QDir& dir, const QString& name, const QByteArray& bytes) {
    const bool ok = !bytes.isEmpty() && WriteFile(dir.filePath(name), bytes);
    if (!ok)
        std::fprintf(stderr, "cannot write %s\n", qPrintable(dir.filePath(name)));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const auto folder = [&out](const char* sub) {
        out.mkpath(QLatin1String(sub));
        return QDir(out.filePath(QLatin1String(sub)));
    };
    const QDir pictures = folder("pictures"), wmf = folder("wmf"), filter = folder("filter");

    const QList<std::pair<QString, QByteArray>> seeds = {
        {"rgb.bmp", EncodeBmp(Tiny(3, 2, QImage::Format_RGB32))},
        {"indexed.bmp", EncodeBmp(Tiny(5, 3, QImage::Format_Indexed8))},
        {"mono.bmp", EncodeBmp(Tiny(9, 2, QImage::Format_Mono))},
        {"rgb.jpg", EncodeJpeg(Tiny(9, 7, QImage::Format_RGB32))},
        {"turned.jpg", EncodeJpeg(Tiny(4, 3, QImage::Format_RGB32), 50, 6)},
        {"grey.jpg", EncodeJpeg(Tiny(8, 8, QImage::Format_Grayscale8))},
        {"progressive.jpg", ProgressiveJpegBomb(16, 16, true, 10)}, // declares its own size
        {"rgb.png", EncodePng(Tiny(3, 2, QImage::Format_RGB32))},
        {"alpha.png", EncodePng(Tiny(3, 3))},
        {"grey.png", EncodePng(Tiny(4, 2, QImage::Format_Grayscale8))},
        {"indexed.png", EncodePng(Tiny(3, 2, QImage::Format_Indexed8))},
        {"deep.png", EncodePng(Tiny(2, 2, QImage::Format_RGBA64))},
        {"animated.gif", EncodeGif({Tiny(2, 2), Tiny(2, 2).mirrored()}, {5, 5}, 2)},
        {"two.ico", EncodeIco({Tiny(2, 2), Tiny(5, 5)})},
        {"arrow.cur", EncodeCur(Tiny(3, 3), QPoint(1, 1))},
        {"placeable.wmf", Metafile()},
        {"plain.wmf", Metafile().mid(22)}, // without the placeable header
    };
    bool ok = true;
    for (const auto& [name, bytes] : seeds)
        if (!Write(pictures, name, bytes) || (name.endsWith(".wmf") && !Write(wmf, name, bytes)))
            ok = false;

    // The filter target's layout: number, parameter, width, height, threads and band, pixels.
    int row = 0;
    for (const fotello::FilterMenuEntry& entry : fotello::FilterTable()) {
        QByteArray input;
        input.append(char(entry.number));
        for (int shift = 0; shift < 32; shift += 8)
            input.append(char(std::uint32_t(entry.parameter) >> shift));
        input.append(char(5 + row % 3)).append(char(4 + row % 2)).append(char(row % 7));
        for (int i = 0; i < 24; ++i)
            input.append(char(i * 37 + row * 11));
        const QString name = QStringLiteral("%1-%2").arg(++row, 2, 10, QLatin1Char('0'));
        ok = Write(filter, name.arg(entry.number), input) && ok;
    }
    return ok ? 0 : 1;
}
