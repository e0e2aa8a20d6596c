// bench/bench_effects_window: the effects window over a 6000 x 4000 picture.
//   - opening on a picture the preview holds whole: window shown and painted;
//   - a point filter (Negative): from the engine's 100% to "Salvar" enabled
//     with the picture repainted;
//   - resident memory with the window open, in pictures of 96 MB.
// Targets: opening under 300 ms; the result under 100 ms; the picture, the
// untouched copy and the engine's copies, no more.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

#include "effects/frm_efeitos.h"
#include "shell/settings_rules.h"

namespace {

using Clock = std::chrono::steady_clock;

class Host : public fotello::MainWindowHost {
public:
    QString currentFolder() const override { return {}; }
    fotello::CurrentPicture currentPicture() const override { return picture; }
    void setStatus(const QString&) override {}
    void showMessage(const QString&) override {}
    void showInPreview(const QImage&) override {}
    void redrawPreview() override {}
    void rebuildThumbnail(const QString&) override {}
    void rebuildThumbnails() override {}
    const fotello::ConfigRecord* settingsRecord() const override { return nullptr; }
    const fotello::SettingsValues& settings() const override { return values; }
    void applySettings(std::optional<std::int32_t>) override {}
    QObject* control(const QString&) const override { return nullptr; }
    QWidget* hostWidget() override { return nullptr; }
    fotello::SettingsDb* settingsDatabase() const override { return nullptr; }
    fotello::CurrentPicture picture;
    fotello::SettingsValues values;
};

double ResidentMb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            double kb = 0;
            status >> kb;
            return kb / 1024;
        }
    }
    return 0;
}

// Serves events until done() holds (a benchmark, not the program: a local loop).
template <class F> void Until(F done) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
}

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QImage photo(6000, 4000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
    }
    const double pictureMb = photo.sizeInBytes() / 1048576.0;
    Host host;
    host.picture = {"/tmp/foto.bmp", "/tmp/foto.bmp", "foto.bmp", fotello::PictureKind::Unknown,
                    photo,           photo.size()};
    const double before = ResidentMb();

    const auto t0 = Clock::now();
    auto* w = new fotello::FrmEfeitos(host);
    w->OpenPicture("/tmp", host.picture);
    w->show();
    Until([&] { return w->windowHandle() && w->windowHandle()->isExposed(); });
    const auto t1 = Clock::now();
    std::printf("opening, picture held whole: %.1f ms (target 300)\n", Ms(t0, t1));

    std::atomic<long long> engineEnd{0};
    w->setProgressObserver([&](int percent) {
        if (percent == 100)
            engineEnd = Clock::now().time_since_epoch().count();
    });
    auto* save = w->findChild<QAction*>("mnuSave");
    for (int run = 0; run < 3; ++run) {
        w->findChild<QAction*>("mnuDesfaz")->trigger();
        const auto start = Clock::now();
        w->findChild<QAction*>("mnuNegative")->trigger();
        Until([&] { return save->isEnabled(); });
        const auto shown = Clock::now();
        const Clock::time_point end{Clock::duration(engineEnd.load())};
        std::printf("Negative: engine %.1f ms, result on screen %.1f ms after it (target 100)\n",
                    Ms(start, end), Ms(end, shown));
    }
    const double open = ResidentMb();
    std::printf("resident with the window open: +%.0f MB = %.2f pictures of %.0f MB "
                "(the host's own copy is shared)\n",
                open - before, (open - before) / pictureMb, pictureMb);
    w->findChild<QAction*>("mnuBlur")->trigger();
    Until([&] { return !w->busy(); });
    const double blurred = ResidentMb();
    std::printf("after Blur (engine copy held): +%.0f MB = %.2f pictures\n", blurred - before,
                (blurred - before) / pictureMb);
    w->close();
    Until([&] { return fotello::SharedFilterEngine().heldBytes() == 0; });
    std::printf("closed: engine holds %zu bytes\n", fotello::SharedFilterEngine().heldBytes());
    return 0;
}
