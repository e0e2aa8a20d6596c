// fotello-samples OUTDIR: draws the sample pictures installed with Fotello, one
// or more of every kind it reads, at sizes from 48 to 1600 pixels.

#include <cmath>
#include <cstdio>
#include <numbers>

#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>

#include "tools/picture_makers.h"

namespace {

using namespace fotello::makers;

QImage Canvas(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(Qt::transparent);
    return image;
}

QImage Landscape(int w, int h) {
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h * 0.6);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(250, 200, 150));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(w * 0.7, h * 0.35, h * 0.12);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(1, QColor(255, 170, 60, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(w * 0.7, h * 0.35), h * 0.12, h * 0.12);
    const QColor hills[] = {QColor(110, 120, 150), QColor(70, 110, 80), QColor(40, 80, 50)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path(QPointF(0, h));
        for (int x = 0; x <= w; x += std::max(1, w / 80)) {
            const double y = h * (0.45 + 0.12 * layer) -
                             h * 0.08 * std::sin(x * (0.004 + 0.003 * layer) + layer * 1.7);
            path.lineTo(x, y);
        }
        path.lineTo(w, h);
        p.setBrush(hills[layer]);
        p.drawPath(path);
    }
    QLinearGradient lake(0, h * 0.8, 0, h);
    lake.setColorAt(0, QColor(90, 150, 200));
    lake.setColorAt(1, QColor(30, 70, 120));
    p.setBrush(lake);
    p.drawEllipse(QRectF(w * 0.1, h * 0.8, w * 0.6, h * 0.3));
    return image;
}

QImage Sunflower(int side) {
    QImage image = Canvas(side, side);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, side, side);
    back.setColorAt(0, QColor(140, 200, 240));
    back.setColorAt(1, QColor(200, 235, 250));
    p.fillRect(image.rect(), back);
    p.translate(side / 2.0, side / 2.0);
    p.setPen(QPen(QColor(180, 120, 0), side / 200.0 + 1));
    p.setBrush(QColor(250, 200, 20));
    for (int i = 0; i < 24; ++i) {
        p.save();
        p.rotate(i * 15);
        p.drawEllipse(QRectF(side * 0.12, -side * 0.05, side * 0.32, side * 0.1));
        p.restore();
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 300; ++i) {
        const double r = side * 0.14 * std::sqrt(i / 300.0);
        const double a = i * 2.39996; // the golden angle
        p.setBrush(QColor(90 - i / 6, 50, 10));
        p.drawEllipse(QPointF(r * std::cos(a), r * std::sin(a)), side * 0.008, side * 0.008);
    }
    return image;
}

QImage Rainbow(int w, int h) {
    QImage image = Canvas(w, h);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = QColor::fromHsv(x * 359 / std::max(1, w - 1), 255 - y * 200 / h, 255).rgb();
    }
    return image;
}

QImage Tiles(int side) {
    QImage image = Canvas(side, side);
    QPainter p(&image);
    const int n = 8, cell = side / n;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
            p.fillRect(x * cell, y * cell, cell, cell,
                       QColor::fromHsv((x * 40 + y * 25) % 360, 150 + (x + y) * 6, 230));
    return image;
}

// A lighthouse, portrait; stored turned a quarter to the left with EXIF
// orientation 6 so that viewers turn it back.
QImage Lighthouse(int w, int h) {
    QImage image = Canvas(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(20, 30, 80));
    sky.setColorAt(1, QColor(240, 140, 90));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 110));
    p.drawRect(QRectF(0, h * 0.8, w, h * 0.2));
    const QPolygonF tower{
        {w * 0.42, h * 0.8}, {w * 0.58, h * 0.8}, {w * 0.54, h * 0.3}, {w * 0.46, h * 0.3}};
    p.setBrush(Qt::white);
    p.drawPolygon(tower);
    p.setBrush(QColor(200, 30, 40));
    for (int band = 0; band < 3; ++band)
        p.drawRect(QRectF(w * 0.44, h * (0.38 + band * 0.14), w * 0.12, h * 0.05));
    p.setBrush(QColor(255, 240, 150));
    p.drawEllipse(QPointF(w * 0.5, h * 0.27), w * 0.05, w * 0.05);
    return image;
}

QList<QImage> ClockFrames(int side, int count) {
    QList<QImage> frames;
    for (int i = 0; i < count; ++i) {
        QImage image = Canvas(side, side);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(image.rect(), QColor(245, 240, 225));
        p.translate(side / 2.0, side / 2.0);
        p.setPen(QPen(QColor(60, 60, 60), side / 30.0));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(0, 0), side * 0.42, side * 0.42);
        for (int mark = 0; mark < 12; ++mark) {
            const double a = mark * std::numbers::pi / 6;
            p.drawLine(QPointF(std::sin(a) * side * 0.34, -std::cos(a) * side * 0.34),
                       QPointF(std::sin(a) * side * 0.39, -std::cos(a) * side * 0.39));
        }
        const double a = i * 2 * std::numbers::pi / count;
        p.setPen(QPen(QColor(200, 40, 40), side / 40.0, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(0, 0), QPointF(std::sin(a) * side * 0.33, -std::cos(a) * side * 0.33));
        frames << image;
    }
    return frames;
}

QImage Star(int side) {
    QImage image = Canvas(side, side, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = side * (i % 2 == 0 ? 0.48 : 0.2);
        const double a = i * std::numbers::pi / 5 - std::numbers::pi / 2;
        star << QPointF(side / 2.0 + r * std::cos(a), side / 2.0 + r * std::sin(a));
    }
    p.setPen(QPen(QColor(160, 100, 0), std::max(1.0, side / 24.0)));
    p.setBrush(QColor(255, 200, 40));
    p.drawPolygon(star);
    return image;
}

QImage Arrow(int side) {
    QImage image = Canvas(side, side, QImage::Format_ARGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = side / 32.0;
    const QPolygonF arrow{{1 * s, 1 * s},   {1 * s, 24 * s},  {7 * s, 18 * s}, {12 * s, 29 * s},
                          {16 * s, 27 * s}, {11 * s, 17 * s}, {19 * s, 17 * s}};
    p.setPen(QPen(Qt::white, s * 1.5));
    p.setBrush(Qt::black);
    p.drawPolygon(arrow);
    return image;
}

QByteArray House() {
    WmfWriter wmf(480, 360, 96);
    wmf.setNoPen();
    wmf.setBrush(QColor(170, 215, 245));
    wmf.rectangle(QRect(0, 0, 480, 360));
    wmf.setBrush(QColor(110, 180, 90));
    wmf.rectangle(QRect(0, 280, 480, 80));
    // libwmf's raster device leaves filled ellipses empty: the sun is a polygon
    // inside a ring.
    QList<QPoint> sun;
    for (int i = 0; i < 36; ++i)
        sun << QPoint(405 + int(std::lround(38 * std::cos(i * std::numbers::pi / 18))),
                      65 + int(std::lround(38 * std::sin(i * std::numbers::pi / 18))));
    wmf.setBrush(QColor(255, 220, 60));
    wmf.polygon(sun);
    wmf.setPen(QColor(255, 170, 40), 4);
    wmf.ellipse(QRect(365, 25, 80, 80));
    wmf.setNoPen();
    wmf.setPen(QColor(90, 50, 30), 3);
    wmf.setBrush(QColor(240, 230, 200));
    wmf.rectangle(QRect(120, 170, 200, 130));
    wmf.setBrush(QColor(190, 60, 50));
    wmf.polygon({{100, 175}, {220, 80}, {340, 175}});
    wmf.setBrush(QColor(130, 80, 40));
    wmf.rectangle(QRect(200, 220, 45, 80));
    wmf.setBrush(QColor(150, 200, 240));
    wmf.rectangle(QRect(140, 195, 45, 40));
    wmf.rectangle(QRect(260, 195, 45, 40));
    return wmf.finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fotello-samples OUTDIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(out.path())) {
        std::fprintf(stderr, "fotello-samples: cannot make %s\n", argv[1]);
        return 1;
    }
    const QImage lighthouse = Lighthouse(600, 900);
    const QList<QImage> clock = ClockFrames(160, 12);
    const std::pair<const char*, QByteArray> files[] = {
        {"paisagem.jpg", EncodeJpeg(Landscape(1600, 1067), 88)},
        {"farol.jpg", EncodeJpeg(lighthouse.transformed(QTransform().rotate(-90)), 88, 6)},
        {"por-do-sol.jpg", EncodeJpeg(Landscape(800, 600).mirrored(true, false), 85)},
        {"girassol.bmp", EncodeBmp(Sunflower(400))},
        {"arco-íris.bmp", EncodeBmp(Rainbow(640, 200))},
        {"mosaico.bmp", EncodeBmp(Tiles(256))},
        {"relogio.gif", EncodeGif(clock, QList<int>(clock.size(), 25))},
        {"estrela.ico", EncodeIco({Star(48), Star(32), Star(16)})},
        {"seta.cur", EncodeCur(Arrow(32), QPoint(1, 1))},
        {"casa.wmf", House()},
    };
    for (const auto& [name, bytes] : files) {
        const QString path = out.filePath(QString::fromUtf8(name));
        if (bytes.isEmpty() || !WriteFile(path, bytes)) {
            std::fprintf(stderr, "fotello-samples: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
