#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QLocale>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "controls/file_list_box.h"
#include "controls/picture_box.h"
#include "shell/main_window.h"
#include "shell/thumb_texts.h"
#include "shell/thumbnail_builder.h"
#include "shell/thumbnail_strip.h"
#include "thumb_files.h"

namespace fotello {
namespace {

// What the window shows each time a file is done, seen right after it.
struct Seen {
    QList<int> percents;
    QStringList status;
    QStringList counts;
};

void Watch(TestWindow& tw, Seen& seen) {
    QObject::connect(tw.builder(), &ThumbnailBuilder::entryDone, tw.w.get(),
                     [&](int, const QString&, int percent, const RenderedThumb&) {
                         seen.percents << percent;
                         seen.status << tw.w->lblStat->text();
                         seen.counts << tw.w->lblCount->text();
                     });
}

TEST(ThumbnailBuild, CorruptMiddleFileGetsNoCellAndNoGap) {
    QTemporaryDir dir;
    WritePicture(dir.filePath("a.jpg"), TestPicture(40, 30, Qt::red));
    WriteBytes(dir.filePath("b.jpg"), "this is no picture");
    WritePicture(dir.filePath("c.bmp"), TestPicture(640, 480, Qt::green));
    TestWindow tw(100, 100, 64);
    Seen seen;
    Watch(tw, seen);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    FrmFotello& w = *tw.w;

    EXPECT_EQ(seen.percents, (QList<int>{33, 67, 100}));
    // "Abrindo:  42 %" while it runs, then empty at 100.
    EXPECT_EQ(seen.status, (QStringList{"Abrindo:  33 %", "Abrindo:  67 %", ""}));
    EXPECT_EQ(seen.counts, (QStringList{"Imagens: 3", "Imagens: 3", "Imagens: 3"}));

    ThumbnailStrip* strip = w.picFrame;
    ASSERT_EQ(strip->cellCount(), 2);
    EXPECT_EQ(strip->cellTag(0), "a.jpg");
    EXPECT_EQ(strip->cellTag(1), "c.bmp");
    EXPECT_TRUE(strip->cellVisible(0));
    EXPECT_FALSE(strip->cellSelected(0));
    // The drawn square of each: its own size centred, or reduced to fill the frame.
    const QImage first = strip->cellPicture(0);
    ASSERT_EQ(first.size(), QSize(64, 64));
    EXPECT_EQ(first.pixel(11, 16), qRgb(0, 0, 0));
    EXPECT_EQ(first.pixel(52, 47), qRgb(0, 0, 0));
    const QImage second = strip->cellPicture(1);
    EXPECT_EQ(second.pixel(0, 8), qRgb(0, 0, 0));   // frame at (x - 1, y - 1) = (0, 8)
    EXPECT_EQ(second.pixel(63, 55), qRgb(0, 0, 0)); // (x + w, y + h) = (63, 55)

    // Built: strip shown and laid out, progress hidden, texts cleared, pointer back.
    EXPECT_TRUE(strip->stripVisible());
    EXPECT_EQ(strip->cellRect(1), QRect(100, 0, 100, 100));
    EXPECT_FALSE(w.picProgress->isVisibleTo(&w));
    EXPECT_EQ(w.lblStat->text(), "");
    EXPECT_EQ(w.lblCount->text(), "");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(w.lblPath->text(), dir.path());
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<QMessageBox*>(top), nullptr) << "no message box";
}

TEST(ThumbnailBuild, EmptyTruncatedAndZeroByteFiles) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("a.jpg"), {});
    WriteBytes(dir.filePath("b.jpg"), TruncatedJpeg());
    TestWindow tw;
    Seen seen;
    Watch(tw, seen);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    EXPECT_EQ(seen.percents, (QList<int>{50, 100}));
    ThumbnailStrip* strip = tw.w->picFrame;
    EXPECT_EQ(strip->cellCount(), 1);
    EXPECT_FALSE(strip->cellVisible(0));
    EXPECT_EQ(strip->cellTag(0), "");

    // A folder with nothing to list: only the hidden cell 0, one row high.
    QTemporaryDir empty;
    ASSERT_TRUE(tw.buildFolder(empty.path()));
    EXPECT_EQ(strip->cellCount(), 1);
    EXPECT_FALSE(strip->cellVisible(0));
    EXPECT_TRUE(strip->stripVisible());
    EXPECT_EQ(strip->stripSize().height(), 100);
    EXPECT_EQ(tw.w->lblCount->text(), "");
}

TEST(ThumbnailBuild, OnePictureJumpsStraightTo100) {
    QTemporaryDir dir;
    WritePicture(dir.filePath("only.bmp"), TestPicture(20, 20, Qt::blue));
    TestWindow tw;
    Seen seen;
    Watch(tw, seen);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    EXPECT_EQ(seen.percents, (QList<int>{100}));
    EXPECT_EQ(tw.w->lblStat->text(), "");
    EXPECT_EQ(tw.w->picFrame->cellTag(0), "only.bmp");
}

TEST(ThumbnailBuild, LongNamesAreShortenedInTheStripFont) {
    QTemporaryDir dir;
    const QString longName = "uma fotografia de férias com um nome muito comprido.jpg";
    WritePicture(dir.filePath(longName), TestPicture(30, 30, Qt::gray));
    WritePicture(dir.filePath("curto.jpg"), TestPicture(30, 30, Qt::gray));
    TestWindow tw(100, 100, 80);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    ThumbnailStrip* strip = tw.w->picFrame;
    ASSERT_EQ(strip->cellCount(), 2);
    const QFontMetrics fm(strip->stripFont());
    EXPECT_EQ(strip->cellCaption(0), "curto.jpg");
    const QString caption = strip->cellCaption(1);
    EXPECT_EQ(strip->cellTag(1), longName);
    EXPECT_TRUE(caption.endsWith("...")) << caption.toStdString();
    EXPECT_TRUE(longName.startsWith(caption.chopped(3)));
    EXPECT_LE(fm.horizontalAdvance(caption.chopped(3)), 100 - 15 - fm.horizontalAdvance("..."));
    // One character more would not have fitted.
    const QString oneMore = longName.left(caption.size() - 3 + 1);
    EXPECT_GT(fm.horizontalAdvance(oneMore), 100 - 15 - fm.horizontalAdvance("..."));
}

TEST(ThumbnailBuild, SecondBuildReplacesTheRunningOne) {
    QTemporaryDir big, small;
    // Enough work that the first build is still running when the second starts.
    for (int i = 0; i < 40; ++i)
        WritePicture(big.filePath(QString("big%1.jpg").arg(i, 2, 10, QChar('0'))),
                     TestPicture(1600, 1200, QColor(i * 6, 100, 50)));
    for (const char* n : {"x.jpg", "y.bmp", "z.jpg"})
        WritePicture(small.filePath(n), TestPicture(50, 40, Qt::yellow));

    TestWindow tw;
    FrmFotello& w = *tw.w;
    ThumbnailBuilder* builder = tw.builder();
    QStringList names;
    QObject::connect(builder, &ThumbnailBuilder::entryDone, &w,
                     [&](int, const QString& name) { names << name; });
    QSignalSpy finished(builder, &ThumbnailBuilder::finished);

    ASSERT_TRUE(w.File1->setPathQuietly(big.path()));
    w.ResetThumbnails();
    // Let a few of the first build's pictures land, then switch folders.
    QSignalSpy some(builder, &ThumbnailBuilder::entryDone);
    ASSERT_TRUE(some.wait(10000));
    ASSERT_TRUE(builder->running());
    const qsizetype before = names.size();
    ASSERT_TRUE(w.File1->setPathQuietly(small.path()));
    w.ResetThumbnails();
    ASSERT_TRUE(finished.wait(30000));
    QTest::qWait(300); // anything late from the first build would show now

    EXPECT_EQ(finished.count(), 1); // the replaced build never finishes
    EXPECT_EQ(names.mid(before), (QStringList{"x.jpg", "y.bmp", "z.jpg"}));
    ASSERT_EQ(w.picFrame->cellCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(w.picFrame->cellTag(i).startsWith("big")) << i;
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // one hourglass, restored once
    EXPECT_EQ(w.lblStat->text(), "");
}

TEST(ThumbnailBuild, ClosingTheWindowMidBuildIsSafe) {
    QTemporaryDir big;
    for (int i = 0; i < 12; ++i)
        WritePicture(big.filePath(QString("p%1.jpg").arg(i)), TestPicture(1600, 1200, Qt::cyan));
    auto tw = std::make_unique<TestWindow>();
    ASSERT_TRUE(tw->w->File1->setPathQuietly(big.path()));
    tw->w->ResetThumbnails();
    QSignalSpy some(tw->builder(), &ThumbnailBuilder::entryDone);
    ASSERT_TRUE(some.wait(10000));
    tw.reset(); // waits for the files being read; their results go nowhere
    QTest::qWait(100);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ThumbnailTexts, CountGroupedByTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_EQ(ImageCountText(3), "Imagens: 3");
    EXPECT_EQ(ImageCountText(1234), "Imagens: 1.234");
    EXPECT_EQ(ImageCountText(10000), "Imagens: 10.000");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ImageCountText(1234), "Imagens: 1,234");
    QLocale::setDefault(saved);
}

TEST(ThumbnailProgress, BarFillsAndStatusReads) {
    TestWindow tw;
    FrmFotello& w = *tw.w;
    w.picProgress->setGeometry(0, 0, 200, 20);
    w.InitProgress();
    EXPECT_EQ(w.picProgressSlide->geometry(), QRect(0, 0, 1, 20));
    EXPECT_TRUE(w.picProgress->isVisibleTo(&w));
    w.UpdateProgress(42, "foto.jpg");
    EXPECT_EQ(w.picProgressSlide->width(), 84);
    EXPECT_EQ(w.lblStat->text(), "Abrindo:  42 %");
    // The name in both colours: some pixels differ from each box's background.
    const QImage bar = w.picProgress->drawing();
    const QImage fill = w.picProgressSlide->drawing();
    auto inked = [](const QImage& img, QRgb back) {
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != back)
                    return true;
        return false;
    };
    EXPECT_TRUE(inked(bar, w.picProgress->backColor().rgb()));
    EXPECT_TRUE(inked(fill, w.picProgressSlide->backColor().rgb()));
    w.UpdateProgress(100, "foto.jpg");
    EXPECT_EQ(w.picProgressSlide->width(), 200);
    EXPECT_EQ(w.lblStat->text(), "");
}

} // namespace
} // namespace fotello
