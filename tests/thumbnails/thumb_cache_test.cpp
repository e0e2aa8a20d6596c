// The shared thumbnail cache as the strip uses it.
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include "controls.h"
#include "shell/main_window.h"
#include "shell/thumb_cache.h"
#include "shell/thumbnail_builder.h"
#include "shell/thumbnail_strip.h"
#include "tests/platform/log_capture.h"
#include "thumb_files.h"

namespace fotello {
namespace {

using test::Control;

// Each test has a cache of its own, where the window finds it.
class ThumbCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", home_.path().toUtf8());
        cache_ = ThumbCache::ForUser();
    }
    void TearDown() override { qputenv("XDG_CACHE_HOME", previous_); }

    QString root() const { return QString::fromUtf8(cache_->root()); }
    QString entry(const QString& file, const char* folder = "normal") const {
        return root() + "/" + folder + "/" +
               QString::fromLatin1(cache_->describe(QFile::encodeName(file)).entryName);
    }
    // A blue entry for the file as it is now.
    bool storeBlue(const QString& file) const {
        return cache_->store(cache_->describe(QFile::encodeName(file)), ThumbFlavour::Normal,
                             TestPicture(128, 96, Qt::blue), QSize(400, 300));
    }
    // Builds the folder's strip; the cells, and how many came from the cache.
    struct Built {
        QList<QImage> cells;
        int fromCache = 0;
    };
    Built build(const QString& folder, int side = 80) {
        TestWindow tw(side + 20, side + 20, side);
        Built b;
        QObject::connect(
            tw.builder(), &ThumbnailBuilder::entryDone, tw.w.get(),
            [&b](int, const QString&, int, const RenderedThumb& t) { b.fromCache += t.fromCache; });
        EXPECT_TRUE(tw.buildFolder(folder));
        auto* strip = Control<ThumbnailStrip>(*tw.w, "picFrame");
        for (int i = 0; i < strip->cellCount(); ++i)
            if (strip->cellVisible(i))
                b.cells << strip->cellPicture(i);
        return b;
    }

    QTemporaryDir home_, pictures_;
    QByteArray previous_;
    std::shared_ptr<const ThumbCache> cache_;
};

QImage Photo(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, (x * y) % 251, (x ^ y) & 0xFF));
    return image;
}

QImage HalfClear(int side) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(0, 0, side / 2, side, QColor(200, 30, 90));
    return image;
}

QRgb Middle(const QImage& cell) {
    return cell.pixel(cell.width() / 2, cell.height() / 2);
}

// Whichever way a cell's picture arrives, it looks the same; the entry
// written follows the standard.
TEST_F(ThumbCacheTest, CellsAreTheSameFromTheCacheAndFromTheFile) {
    WritePicture(pictures_.filePath("a.jpg"), Photo(640, 480));
    WritePicture(pictures_.filePath("b.bmp"), Photo(300, 500));
    WritePicture(pictures_.filePath("c.ico"), HalfClear(48));
    WritePicture(pictures_.filePath("d.bmp"), Photo(40, 30));
    const struct {
        int side;
        const char* folder; // nullptr: no cache at this size
    } sizes[] = {{150, "large"}, {300, nullptr}};
    for (const auto& s : sizes) {
        QDir(root()).removeRecursively();
        const Built first = build(pictures_.path(), s.side);
        const Built second = build(pictures_.path(), s.side);
        ASSERT_EQ(first.cells.size(), 4) << s.side;
        EXPECT_EQ(first.fromCache, 0) << s.side;
        EXPECT_EQ(second.fromCache, s.folder ? 4 : 0) << s.side;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(first.cells[i], second.cells[i]) << s.side << " cell " << i;
        if (!s.folder) {
            EXPECT_FALSE(QDir(root()).exists()) << "nothing written above 256 pixels";
            continue;
        }
        EXPECT_EQ(QDir(root() + "/" + s.folder).entryList(QDir::Files).size(), 4)
            << "no temporary file left";
        const QString file = pictures_.filePath("a.jpg");
        const QString path = entry(file, s.folder);
        QFile png(path);
        ASSERT_TRUE(png.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = png.readAll();
        const ThumbCache::Source source = cache_->describe(QFile::encodeName(file));
        EXPECT_TRUE(bytes.contains(QByteArray("tEXtThumb::URI\0", 15) + source.uri));
        EXPECT_TRUE(bytes.contains(QByteArray("tEXtThumb::MTime\0", 17) +
                                   QByteArray::number(source.mtime)));
        EXPECT_EQ(QImage::fromData(bytes).size(), QSize(256, 192));
        struct stat st {};
        ASSERT_EQ(::stat(QFile::encodeName(path), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
    }
}

// The file is red; what the cell shows tells where its picture came from.
TEST_F(ThumbCacheTest, OnlyAFreshEntryOfTheSameFileStandsInForIt) {
    const QString red = pictures_.filePath("a.jpg");
    WritePicture(red, TestPicture(400, 300, Qt::red));
    WritePicture(pictures_.filePath("b.bmp"), TestPicture(400, 300, Qt::green));
    const struct {
        const char* name;
        std::function<void()> spoil; // the blue entry stored for the red file
        bool fromCache;              // the red file's cell
    } cases[] = {
        {"fresh entry: the file is not read", [] {}, true},
        {"file changed since",
         [&] {
             struct stat st {};
             ASSERT_EQ(::stat(QFile::encodeName(red), &st), 0);
             const timespec times[2] = {st.st_atim, {st.st_mtim.tv_sec + 10, 0}};
             ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(red), times, 0), 0);
         },
         false},
        {"corrupt entry",
         [&] {
             QFile f(entry(red));
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.seek(f.size() - 60); // the pixels, past the keys
             f.write(QByteArray(40, '\x5A'));
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root()).removeRecursively();
        ASSERT_TRUE(storeBlue(red));
        c.spoil();
        const Built b = build(pictures_.path());
        ASSERT_EQ(b.cells.size(), 2);
        EXPECT_EQ(b.fromCache, c.fromCache ? 1 : 0);
        const QRgb seen = Middle(b.cells[0]);
        EXPECT_EQ(qBlue(seen) > 200, c.fromCache) << std::hex << seen;
        EXPECT_EQ(qRed(seen) > 200, !c.fromCache) << std::hex << seen;
        // A refused entry is written again from the file.
        const auto renewed =
            cache_->find(cache_->describe(QFile::encodeName(red)), ThumbFlavour::Normal);
        ASSERT_TRUE(renewed.has_value());
        EXPECT_EQ(qBlue(Middle(renewed->thumb)) > 200, c.fromCache);
    }
}

// A file that cannot be read is recorded, and not read again until it changes.
TEST_F(ThumbCacheTest, AFailureIsRecordedAndNotTriedAgain) {
    const QString broken = pictures_.filePath("broken.jpg");
    WriteBytes(broken, TruncatedJpeg());
    WritePicture(pictures_.filePath("good.bmp"), TestPicture(40, 30, Qt::green));
    auto refusals = [](const testing::LogCapture& log) {
        int n = 0;
        for (const auto& l : log.lines("fotello.picture"))
            n += l.text.contains("broken.jpg");
        return n;
    };
    {
        testing::LogCapture log("fotello.picture.warning=true");
        EXPECT_EQ(build(pictures_.path()).cells.size(), 1);
        EXPECT_EQ(refusals(log), 1);
    }
    EXPECT_TRUE(QFile::exists(entry(broken, "fail/fotello-" FOTELLO_TEST_VERSION)));
    testing::LogCapture log("fotello.picture.warning=true");
    EXPECT_EQ(build(pictures_.path()).cells.size(), 1);
    EXPECT_EQ(refusals(log), 0);
}

// A cache that cannot be written only costs speed.
TEST_F(ThumbCacheTest, AnUnwritableCacheStillGivesEveryCell) {
    const QString a = pictures_.filePath("a.jpg"), b = pictures_.filePath("b.jpg");
    WritePicture(a, TestPicture(400, 300, Qt::red));
    WritePicture(b, TestPicture(400, 300, Qt::red));
    const bool root = ::geteuid() == 0; // root writes into read-only folders
    if (root) {
        QDir().mkpath(this->root());
        WriteBytes(this->root() + "/normal", "not a folder");
    } else {
        ASSERT_TRUE(storeBlue(a));
        ASSERT_EQ(::chmod(QFile::encodeName(this->root() + "/normal"), 0500), 0);
    }
    testing::LogCapture log("fotello.thumbs.warning=true");
    const Built built = build(pictures_.path());
    ASSERT_EQ(built.cells.size(), 2);
    EXPECT_EQ(built.fromCache, root ? 0 : 1);
    EXPECT_EQ(qBlue(Middle(built.cells[0])) > 200, !root);
    EXPECT_TRUE(qRed(Middle(built.cells[1])) > 200);
    bool logged = false;
    for (const auto& l : log.lines("fotello.thumbs"))
        logged = logged || l.text.contains("not written");
    EXPECT_TRUE(logged);
    if (!root) {
        EXPECT_EQ(QDir(this->root() + "/normal").entryList(QDir::Files).size(), 1);
        ::chmod(QFile::encodeName(this->root() + "/normal"), 0700);
    }
}

} // namespace
} // namespace fotello
