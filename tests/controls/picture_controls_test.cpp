#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "controls/animated_picture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "tools/picture_makers.h"

using namespace fotello;

namespace {
QImage filled(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}
} // namespace

TEST(AnimatedPicture, PlayAloneShowsANewlyNamedFile) {
    QTemporaryDir dir;
    const QString red = dir.filePath("vermelho.gif"), blue = dir.filePath("azul.gif");
    const QImage r = filled(20, 10, Qt::red);
    ASSERT_TRUE(makers::WriteFile(red, makers::EncodeGif({r, r}, {5, 5})) &&
                makers::WriteFile(blue, makers::EncodeGif({filled(20, 10, Qt::blue)}, {5})));

    AnimatedPicture gif("mcGif");
    gif.resize(20, 10);
    gif.setFileName(red);
    gif.Prepare();
    gif.Play();
    EXPECT_TRUE(gif.isPlaying());
    EXPECT_EQ(gif.currentFrame().pixelColor(5, 5), QColor(Qt::red));

    // The full-screen view names a file and calls Play() without Prepare().
    gif.setFileName(blue);
    gif.Play();
    EXPECT_EQ(gif.frameCount(), 1);
    EXPECT_EQ(gif.currentFrame().pixelColor(5, 5), QColor(Qt::blue));
}

TEST(ImageControl, NaturalSizeUnlessStretched) {
    ImageControl img("Image1");
    img.setPicture(filled(30, 20, Qt::green));
    EXPECT_EQ(img.size(), QSize(30, 20));
    img.setStretch(true);
    img.resize(15, 10);
    img.setPicture(filled(60, 40, Qt::green));
    EXPECT_EQ(img.size(), QSize(15, 10)) << "stretched controls keep their size";
    img.setStretch(false);
    EXPECT_EQ(img.size(), QSize(60, 40));
    EXPECT_EQ(img.grab().toImage().pixelColor(30, 20), QColor(Qt::green));
}

TEST(ScrollBox, ModeZeroShowsWithoutScrollingModeFourScrollsOverAll) {
    ScrollBox box("ssScroll1");
    box.resize(200, 100);
    box.show();
    auto* pic = new ImageControl("Image1", box.canvas());
    pic->setPicture(filled(500, 300, Qt::white));
    pic->show();
    box.setScrollMode(4);
    EXPECT_TRUE(box.canvas()->width() >= 500 && box.canvas()->height() >= 300);
    EXPECT_EQ(box.horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    box.setScrollMode(0);
    EXPECT_EQ(box.canvas()->size(), box.viewport()->size());
    EXPECT_EQ(box.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);

    box.setBackColor(0x0000FF); // red in 0x00BBGGRR
    EXPECT_EQ(box.viewport()->palette().color(QPalette::Window), QColor(255, 0, 0));
}

TEST(FileListBox, ListsByPatternAndRaisesPathChangeOnlyOnChange) {
    QTemporaryDir dir;
    for (const char* n : {"b.JPG", "a.bmp", "c.txt", "d.gif"})
        makers::WriteFile(dir.filePath(n), "x");
    QDir(dir.path()).mkdir("sub");
    FileListBox list("File1");
    list.setPattern("*.bmp;*.jpg");
    int changes = 0;
    QObject::connect(&list, &FileListBox::PathChange, [&] { ++changes; });
    ASSERT_TRUE(list.setPath(dir.path()));
    EXPECT_EQ(changes, 1);
    ASSERT_EQ(list.listCount(), 2);
    EXPECT_EQ(QStringList({list.entry(0), list.entry(1)}), QStringList({"a.bmp", "b.JPG"}));
    EXPECT_TRUE(list.setPath(dir.path() + "/"));
    EXPECT_EQ(changes, 1) << "the same folder again is no change";
    EXPECT_FALSE(list.setPath(dir.filePath("nao-existe")));
    EXPECT_EQ(list.path(), QDir::cleanPath(dir.path()));
    ASSERT_TRUE(list.setPath(dir.filePath("sub")));
    EXPECT_EQ(list.listCount(), 0);
    EXPECT_EQ(changes, 2) << "a missing folder is no change either";
}
