// bench/bench_zoom: the preview's picture host (scroll box and image control)
// as the main window uses them, offscreen, with a 6000 x 4000 JPEG decoded in
// full: fitted, then ten zoom steps in and ten out, each repainted at once,
// and a pan across the picture at the deepest step. Prints each step's time
// and the memory the process holds at fit and at the deepest step.
// Targets: every step and pan frame under 50 ms; no growth of memory with the
// zoom (no scaled copy of the whole picture).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QWindow>

#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "view/zoom_rules.h"

namespace {

using namespace fotello;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double ResidentMb() {
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const long pages = QString::fromLatin1(f.readAll()).section(' ', 1, 1).toLong();
    return pages * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
}

QImage Photo() {
    QImage img(6000, 4000, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 6000, 4000);
    g.setColorAt(0, Qt::darkBlue);
    g.setColorAt(0.5, Qt::yellow);
    g.setColorAt(1, Qt::darkRed);
    p.fillRect(img.rect(), g);
    for (int i = 0; i < 400; ++i)
        p.fillRect((i * 7919) % 6000, (i * 104729) % 4000, 60, 40,
                   QColor::fromHsv(i % 360, 200, 200));
    p.end();
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    img.save(&jpeg, "JPEG", 90);
    jpeg.close();
    jpeg.open(QIODevice::ReadOnly);
    QImageReader reader(&jpeg, "JPEG");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.resize(672, 480);
    auto* host = new ScrollBox("ssScroll1", &window);
    host->setGeometry(window.rect());
    auto* image = new ImageControl("Image1", host->canvas());
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);

    const QImage photo = Photo();
    int painted = 0;
    const Size pane{window.width(), window.height()};
    auto place = [&](SizeF s) {
        const Size r = Rounded(s);
        image->setStretch(true);
        image->resize(r.width, r.height);
        const ZoomPlace at = PlaceZoomed(r, pane);
        image->move(at.position.x, at.position.y);
        host->setScrollMode(at.scrollMode);
        host->viewport()->repaint();
        painted += image->isVisible();
    };

    image->setPicture(photo);
    const Fit fit = FitPicture({6000, 4000}, pane, pane);
    SizeF size{float(fit.size.width), float(fit.size.height)};
    place(size);
    place(size);
    const double atFit = ResidentMb();
    std::printf("fitted %dx%d, resident %.1f MB\n", fit.size.width, fit.size.height, atFit);

    double worst = 0;
    double deepest = 0;
    for (int step = 1; step <= 20; ++step) {
        const bool in = step <= 10;
        size = ZoomStep(size, in ? kZoomFactor : 1 / kZoomFactor);
        const auto t0 = Clock::now();
        place(size);
        const double ms = Ms(Clock::now() - t0);
        worst = std::max(worst, ms);
        if (step == 10)
            deepest = ResidentMb();
        std::printf("step %2d %-3s %6.0f x %-6.0f %6.1f ms\n", step, in ? "in" : "out", size.width,
                    size.height, ms);
        if (step == 10) {
            // Pan across the deepest step: 60 frames left to right, top to bottom.
            QScrollBar* hb = host->horizontalScrollBar();
            QScrollBar* vb = host->verticalScrollBar();
            double panWorst = 0, panSum = 0;
            const int frames = 60;
            for (int i = 0; i <= frames; ++i) {
                const auto p0 = Clock::now();
                hb->setValue(hb->maximum() * i / frames);
                vb->setValue(vb->maximum() * i / frames);
                host->viewport()->repaint();
                const double pm = Ms(Clock::now() - p0);
                panWorst = std::max(panWorst, pm);
                panSum += pm;
            }
            std::printf("pan at %.0f x %.0f: %d frames, mean %.1f ms, worst %.1f ms\n", size.width,
                        size.height, frames + 1, panSum / (frames + 1), panWorst);
            worst = std::max(worst, panWorst);
        }
    }
    std::printf("resident at fit %.1f MB, at the deepest step %.1f MB (%+.1f MB)\n", atFit, deepest,
                deepest - atFit);
    std::printf("worst step or frame %.1f ms (target under 50 ms)\n", worst);
    return worst < 50 ? 0 : 1;
}
