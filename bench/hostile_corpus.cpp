// bench/bench_hostile_corpus [FOLDER]: writes the tests' hostile corpus and
// 100 MP photos (into FOLDER, kept, or a temporary folder), then reads each file
// as the browser does, a thumbnail and the whole picture, in a child process
// of its own, and prints the slowest file and the largest in peak resident
// memory with their figures, and the photos'.

#include "tests/hardening/hostile_corpus.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "platform/picture_reader.h"
#include "tools/picture_makers.h"

namespace {

using namespace fotello;
using Clock = std::chrono::steady_clock;

struct Figures {
    double ms = 0;
    double peakMb = 0;
    bool ok = false; // the child read it as the corpus expects
};

// Runs `work` in a child process; its wall time and peak resident memory.
template <typename Work> Figures InChild(Work work) {
    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(work() ? 0 : 1);
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    Figures f;
    f.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    f.peakMb = double(usage.ru_maxrss) / 1024.0;
    f.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return f;
}

bool ReadsAsExpected(const QByteArray& path, const testing::CorpusFile& file) {
    PictureReadOptions thumbnail;
    thumbnail.coverBox = QSize(160, 120);
    for (const PictureReadOptions& options : {thumbnail, PictureReadOptions{}}) {
        const PictureResult r = ReadPictureLocal(path, options);
        if (file.accepted ? !(r.ok() || r.error == PictureError::NoFonts)
                          : (r.ok() || !file.errors.contains(r.error)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    SetHelperFolder(QString::fromLocal8Bit(
        qEnvironmentVariable("FOTELLO_BIN_DIR", FOTELLO_BIN_DIR_DEFAULT).toLocal8Bit()));
    QTemporaryDir temporary;
    const QByteArray folder = argc > 1 ? QByteArray(argv[1]) : QFile::encodeName(temporary.path());
    const std::vector<testing::CorpusFile> corpus = testing::MakeHostileCorpus(folder);
    // Two 100 MP photos: a JPEG, and a PNG that no decoder can read reduced.
    const QByteArray photoPaths[] = {folder + "/photo-100mp.jpg", folder + "/photo-100mp.png"};
    for (const QByteArray& path : photoPaths)
        InChild([&] {
            QImage photo(12240, 8160, QImage::Format_RGB32);
            photo.fill(qRgb(90, 140, 200));
            const bool png = path.endsWith(".png");
            return makers::WriteFile(QFile::decodeName(path), png ? makers::EncodePng(photo)
                                                                  : makers::EncodeJpeg(photo, 80));
        });

    Figures slowest, largest;
    QByteArray slowestName, largestName;
    int wrong = 0;
    for (const testing::CorpusFile& file : corpus) {
        const QByteArray path = folder + '/' + file.name;
        const Figures f = InChild([&] { return ReadsAsExpected(path, file); });
        if (!f.ok) {
            ++wrong;
            std::printf("not as expected: %s\n", file.name.constData());
        }
        if (f.ms > slowest.ms)
            slowest = f, slowestName = file.name;
        if (f.peakMb > largest.peakMb)
            largest = f, largestName = file.name;
    }
    Figures photos[2];
    for (int i = 0; i < 2; ++i)
        photos[i] = InChild([&] {
            const PictureResult r = ReadPictureLocal(photoPaths[i]);
            return r.ok() && r.image.width() == 12240;
        });
    if (argc <= 1) {
        testing::RemoveCorpus(folder);
    }
    std::printf("%zu files, %d not as expected\n", corpus.size(), wrong);
    std::printf("slowest: %s %.0f ms, peak %.0f MB\n", slowestName.constData(), slowest.ms,
                slowest.peakMb);
    std::printf("largest: %s %.0f ms, peak %.0f MB\n", largestName.constData(), largest.ms,
                largest.peakMb);
    // The browser's readers at once: two thumbnail workers and two preview
    // workers going through the whole folder, photos first.
    const Figures together = InChild([&] {
        std::atomic<int> next{0};
        auto worker = [&] {
            for (int i; (i = next++) < int(corpus.size()) + 2;) {
                const QByteArray path = i < 2 ? photoPaths[i] : folder + '/' + corpus[i - 2].name;
                PictureReadOptions options;
                if (i % 2 == 0)
                    options.coverBox = QSize(160, 120);
                ReadPictureLocal(path, options);
            }
        };
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t)
            threads.emplace_back(worker);
        for (std::thread& t : threads)
            t.join();
        return true;
    });
    std::printf("four readers over the whole folder at once: %.0f ms, peak %.0f MB\n", together.ms,
                together.peakMb);
    for (int i = 0; i < 2; ++i)
        std::printf("%s: %s, %.0f ms, peak %.0f MB\n", photoPaths[i].constData(),
                    photos[i].ok ? "opens" : "REFUSED", photos[i].ms, photos[i].peakMb);
    return wrong == 0 && photos[0].ok && photos[1].ok ? 0 : 1;
}
