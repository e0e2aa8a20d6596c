// Saving over a file on a filesystem that refuses the new one. A process of
// its own: the mount namespace needs a single thread.
#include <filesystem>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

#include <QFile>
#include <QImage>

#include "effects/effects_save.h"

namespace fotello {
namespace {

namespace fs = std::filesystem;

QByteArray Read(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class RefusingDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char name[] = "/tmp/effects_save_XXXXXX";
        ASSERT_NE(::mkdtemp(name), nullptr);
        dir = name;
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            GTEST_SKIP() << "no private mount namespace here";
        if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here";
        mounted = true;
        target = QString::fromStdString(dir + "/foto.bmp");
        QFile f(target);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    void TearDown() override {
        if (mounted)
            ::umount(dir.c_str());
        fs::remove_all(dir);
    }
    static QImage Picture(int side) {
        QImage img(side, side, QImage::Format_RGB32);
        img.fill(QColor(10, 20, 30));
        return img;
    }
    std::string dir;
    QString target;
    bool mounted = false;
    const QByteArray old = "the picture as it was";
};

TEST_F(RefusingDisk, AFullDiskKeepsTheOldFileWhole) {
    EXPECT_FALSE(SaveEffectsPicture(Picture(200), QFile::encodeName(target), EffectsSaveKind::Bmp));
    EXPECT_EQ(Read(target), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
    // A picture that fits is written.
    EXPECT_TRUE(SaveEffectsPicture(Picture(20), QFile::encodeName(target), EffectsSaveKind::Bmp));
    EXPECT_TRUE(Read(target).startsWith("BM"));
}

TEST_F(RefusingDisk, AReadOnlyFolderKeepsTheOldFile) {
    ASSERT_EQ(::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    EXPECT_FALSE(SaveEffectsPicture(Picture(20), QFile::encodeName(target), EffectsSaveKind::Bmp));
    EXPECT_EQ(Read(target), old);
}

} // namespace
} // namespace fotello
