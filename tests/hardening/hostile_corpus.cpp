#include "tests/hardening/hostile_corpus.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>

#include "tools/picture_makers.h"

namespace fotello::testing {
namespace {

using namespace makers;

QImage Drawing(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(Qt::transparent);
    QPainter paint(&image);
    paint.fillRect(0, 0, w / 2, h, Qt::red);
    paint.fillRect(w / 2, 0, w - w / 2, h / 2, Qt::blue);
    return image;
}

// By the name's bytes: std::ofstream takes them as they are, where Qt cannot spell some.
bool Write(const QByteArray& path, const QByteArray& bytes) {
    std::ofstream out(path.constData(), std::ios::binary | std::ios::trunc);
    return bool(out.write(bytes.constData(), bytes.size()).flush());
}

// `head` and then zeros to kSparseBytes, without writing them.
bool WriteSparse(const QByteArray& path, const QByteArray& head) {
    return Write(path, head) && ::truncate(path.constData(), kSparseBytes) == 0;
}

// A baseline JPEG's header up to its scan's data: what follows may be anything.
QByteArray JpegUpToScanData(const QByteArray& jpeg) {
    const qsizetype sos = jpeg.indexOf("\xFF\xDA");
    const int length = (uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]);
    return jpeg.left(sos + 2 + length);
}

} // namespace

std::vector<CorpusFile> MakeHostileCorpus(const QByteArray& folder) {
    std::vector<CorpusFile> out;
    const auto at = [&folder](const QByteArray& name) { return folder + '/' + name; };
    const auto accept = [&](const QByteArray& name, const QByteArray& bytes, QSize size) {
        if (Write(at(name), bytes))
            out.push_back({name, true, size, {}, {}});
    };
    const auto refuse = [&](const QByteArray& name, const QByteArray& bytes,
                            QList<PictureError> errors, const QString& detail = {}) {
        if (Write(at(name), bytes))
            out.push_back({name, false, {}, errors, detail});
    };

    // Whole files of every kind, and each cut at many offsets.
    const QImage photo = Drawing(61, 35), icon = Drawing(32, 24, QImage::Format_ARGB32);
    WmfWriter wmf(120, 80);
    wmf.setBrush(Qt::red);
    wmf.rectangle(QRect(10, 10, 50, 40));
    const struct {
        const char* kind;
        QByteArray bytes;
        QSize size;
    } wholes[] = {
        {"bmp", EncodeBmp(photo), photo.size()},
        {"jpg", EncodeJpeg(photo, 85), photo.size()},
        {"jpg", ProgressiveJpegBomb(16, 16, true, 10), QSize(16, 16)},
        {"gif", EncodeGif({photo, photo.mirrored()}, {10, 10}), photo.size()},
        {"ico", EncodeIco({icon, icon.scaled(48, 36)}), QSize(48, 36)},
        {"cur", EncodeCur(icon, QPoint(2, 3)), icon.size()},
        {"png", EncodePng(photo), photo.size()},
        {"wmf", wmf.finish(), QSize()},
        {"bmp", RleBmpBomb(40, 30), QSize(40, 30)},
    };
    int n = 0;
    for (const auto& w : wholes) {
        const QByteArray stem = "whole" + QByteArray::number(++n);
        accept(stem + '.' + w.kind, w.bytes, w.size);
        // Every offset for the first bytes (the headers), then a spread over the data.
        const qsizetype step = std::max<qsizetype>(1, w.bytes.size() / 48);
        for (qsizetype cut = 0; cut < w.bytes.size(); cut += cut < 64 ? 1 : step)
            refuse(stem + "-cut" + QByteArray::number(cut) + '.' + w.kind,
                   TruncatedCopy(w.bytes, cut), {PictureError::Truncated, PictureError::Invalid});
    }

    // Bombs: sizes over the cap, decoders' allocations over the budget, work over the bound.
    const QList<PictureError> tooLarge{PictureError::TooLarge};
    const QString overBudget = QStringLiteral("needs more memory than allowed");
    refuse("bomb-header.bmp", BombBmp(), tooLarge, QStringLiteral("picture too large"));
    refuse("bomb-header.gif", BombGif(), tooLarge, QStringLiteral("picture too large"));
    refuse("bomb-header.jpg", BombJpeg(), tooLarge, QStringLiteral("picture too large"));
    refuse("bomb-header.ico", BombIco(), tooLarge, QStringLiteral("picture too large"));
    refuse("bomb-coefficients.jpg", ProgressiveJpegBomb(16384, 16384, true, 10, true), tooLarge,
           overBudget);
    refuse("bomb-png.png", PngBomb(16384, 16384), tooLarge, overBudget);
    refuse("bomb-png-in-icon.ico", IcoHoldingPng(PngBomb(16384, 16384)), tooLarge, overBudget);
    refuse("bomb-rle.bmp", RleBmpBomb(16384, 16384), tooLarge, overBudget);
    accept("rle-within-budget.bmp", RleBmpBomb(3000, 2000), QSize(3000, 2000));
    const QList<PictureError> invalid{PictureError::Invalid};
    const QString scans = QStringLiteral("too many scans");
    refuse("bomb-scans.jpg", ProgressiveJpegBomb(16384, 16384, false, 2000), invalid, scans);
    refuse("bomb-scans-photo.jpg", ProgressiveJpegBomb(6000, 4000, true, 2080), invalid, scans);
    refuse("bomb-scan-work.jpg", ProgressiveJpegBomb(16384, 16384, false, 99), invalid, scans);

    // A gibibyte that starts like a JPEG: refused from its first bytes, or
    // once it holds more than its header can need.
    // Files not written by refuse(): listed when they could be made.
    const auto made = [&](const char* name, bool ok, PictureError error, const QString& detail) {
        if (ok)
            out.push_back({name, false, {}, {error}, detail});
    };
    const QByteArray small = EncodeJpeg(photo, 85);
    made("sparse-zeros.jpg", WriteSparse(at("sparse-zeros.jpg"), small.left(3)),
         PictureError::Invalid, {});
    made("sparse-scan.jpg", WriteSparse(at("sparse-scan.jpg"), JpegUpToScanData(small)),
         PictureError::Invalid, QStringLiteral("more data than the picture can hold"));

    // Special files named like pictures.
    made("fifo.jpg", ::mkfifo(at("fifo.jpg").constData(), 0600) == 0, PictureError::NotAFile, {});
    made("device-link.jpg", ::symlink("/dev/null", at("device-link.jpg").constData()) == 0,
         PictureError::NotAFile, {});
    made("x.jpg", ::mkdir(at("x.jpg").constData(), 0700) == 0, PictureError::NotAFile, {});
    made("dangling.jpg", ::symlink("nowhere.jpg", at("dangling.jpg").constData()) == 0,
         PictureError::Unreadable, {});
    refuse("empty.jpg", {}, invalid);

    // Odd names holding good pictures.
    for (const QByteArray& name :
         {QByteArray("*a.jpg"), QByteArray("?.jpg"), QByteArray("\xFF\xFE.jpg"),
          QByteArray("line\nbreak.jpg"), QByteArray("-dash.jpg"), QByteArray(" space .jpg"),
          QByteArray("back\\slash.jpg"), QByteArray(240, 'n') + ".jpg"})
        accept(name, small, photo.size());
    return out;
}

void RemoveCorpus(const QByteArray& folder) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(folder.constData(), ignored))
        std::filesystem::remove(entry.path(), ignored); // links themselves, never their targets
}

} // namespace fotello::testing
