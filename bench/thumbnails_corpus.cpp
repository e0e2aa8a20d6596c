#include "thumbnails_corpus.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include "platform/picture_reader.h"

namespace fotello::bench {

namespace {

// Smooth value noise: a random grid of the given cell size, bilinear between.
class ValueNoise {
public:
    ValueNoise(int w, int h, int cell, std::mt19937& rng) : cell_(cell), gw_(w / cell + 2) {
        std::uniform_real_distribution<float> d(-1.f, 1.f);
        grid_.resize(std::size_t(gw_) * std::size_t(h / cell + 2));
        for (auto& v : grid_)
            v = d(rng);
    }
    float at(int x, int y) const {
        const float fx = float(x % cell_) / cell_, fy = float(y % cell_) / cell_;
        const std::size_t i = std::size_t(y / cell_) * gw_ + std::size_t(x / cell_);
        const float a = grid_[i], b = grid_[i + 1], c = grid_[i + gw_], d = grid_[i + gw_ + 1];
        return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
    }

private:
    int cell_;
    std::size_t gw_;
    std::vector<float> grid_;
};

// A landscape-like picture: sky and ground gradients, shapes at several
// scales and sensor grain, so the JPEG's entropy resembles a photo's.
QImage PhotoLike(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    const ValueNoise large(w, h, 400, rng), medium(w, h, 60, rng), fine(w, h, 9, rng);
    std::normal_distribution<float> grain(0.f, 5.f);
    QImage image(w, h, QImage::Format_RGB32);
    const float hue = float(seed % 7) / 7.f;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const float sky = float(y) / h;
        for (int x = 0; x < w; ++x) {
            const float shape = 70 * large.at(x, y) + 35 * medium.at(x, y) + 14 * fine.at(x, y);
            const float g = grain(rng);
            const float r = 90 + 80 * sky + shape * (0.6f + hue) + g;
            const float gr = 110 + 40 * std::sin(sky * 3 + hue) + shape + g;
            const float b = 170 - 90 * sky + shape * 0.8f + g;
            line[x] = qRgb(std::clamp(int(r), 0, 255), std::clamp(int(gr), 0, 255),
                           std::clamp(int(b), 0, 255));
        }
    }
    return image;
}

void WriteJpeg(const QImage& image, const QString& path, int quality) {
    const QString part = path + ".part";
    QImageWriter writer(part, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image) || !QFile::rename(part, path))
        qFatal("cannot write %s: %s", qPrintable(path), qPrintable(writer.errorString()));
}

// Makes the numbered files of a folder on two threads, unless it is complete.
template <class Make> QString Folder(const QString& name, int count, Make make) {
    const QString folder = CacheFolder() + "/" + name;
    if (QFile::exists(folder + "/.complete"))
        return folder;
    QDir().mkpath(folder);
    std::fprintf(stderr, "making %d pictures in %s (once)...\n", count, qPrintable(folder));
    std::vector<std::thread> workers;
    for (int t = 0; t < 2; ++t)
        workers.emplace_back([&, t] {
            for (int i = t; i < count; i += 2)
                make(folder, i);
        });
    for (auto& w : workers)
        w.join();
    QFile done(folder + "/.complete");
    done.open(QIODevice::WriteOnly);
    return folder;
}

void Link(const QString& from, const QString& to) {
    if (QFile::exists(to))
        return;
    if (::link(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0 &&
        !QFile::link(from, to))
        qFatal("cannot link %s", qPrintable(to));
}

} // namespace

QString CacheFolder() {
    const QString env = qEnvironmentVariable("FOTELLO_BENCH_CACHE");
    return env.isEmpty() ? QDir::homePath() + "/.cache/fotello-bench" : env;
}

QString PhotoFolder() {
    return Folder("photos-4000x3000", 200, [](const QString& folder, int i) {
        const QString path = QString("%1/foto%2.jpg").arg(folder).arg(i, 3, 10, QChar('0'));
        if (!QFile::exists(path))
            WriteJpeg(PhotoLike(4000, 3000, unsigned(i + 1)), path, 90);
    });
}

QString ThousandPhotosFolder() {
    const QString photos = PhotoFolder();
    return Folder("photos-1000", 1000, [&](const QString& folder, int i) {
        Link(QString("%1/foto%2.jpg").arg(photos).arg(i % 200, 3, 10, QChar('0')),
             QString("%1/foto%2.jpg").arg(folder).arg(i, 4, 10, QChar('0')));
    });
}

QString ManyPhotosFolder() {
    const QString photos = PhotoFolder();
    return Folder("photos-2000", 2000, [&](const QString& folder, int i) {
        Link(QString("%1/foto%2.jpg").arg(photos).arg(i % 200, 3, 10, QChar('0')),
             QString("%1/foto%2.jpg").arg(folder).arg(i, 4, 10, QChar('0')));
    });
}

QString SmallPicturesFolder() {
    const QString originals = Folder("small-originals", 100, [](const QString& folder, int i) {
        const QString path = QString("%1/p%2.jpg").arg(folder).arg(i, 3, 10, QChar('0'));
        if (!QFile::exists(path))
            WriteJpeg(PhotoLike(240 + (i % 5) * 40, 240 - (i % 3) * 30, unsigned(1000 + i)), path,
                      85);
    });
    return Folder("small-10000", 10000, [&](const QString& folder, int i) {
        Link(QString("%1/p%2.jpg").arg(originals).arg(i % 100, 3, 10, QChar('0')),
             QString("%1/pequena%2.jpg").arg(folder).arg(i, 5, 10, QChar('0')));
    });
}

QString BigPhotoFile() {
    const QString folder = Folder("photo-6000x4000", 1, [](const QString& folder, int) {
        const QString path = folder + "/grande.jpg";
        if (!QFile::exists(path))
            WriteJpeg(PhotoLike(6000, 4000, 6000), path, 90);
    });
    return folder + "/grande.jpg";
}

QStringList JpegFiles(const QString& folder) {
    QStringList files;
    for (const QString& name : QDir(folder).entryList({"*.jpg"}, QDir::Files, QDir::Name))
        files << folder + "/" + name;
    return files;
}

void DefaultToOffscreen() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void UseBuildHelpers() {
    const QString bin = QCoreApplication::applicationDirPath() + "/../bin";
    if (QDir(bin).exists())
        SetHelperFolder(QDir(bin).canonicalPath());
}

} // namespace fotello::bench
