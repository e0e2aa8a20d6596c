#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "controls.h"

using fotello::test::Control;
#include "controls/file_list_box.h"
#include "controls/picture_box.h"
#include "shell/main_window.h"
#include "shell/thumb_texts.h"
#include "shell/thumbnail_builder.h"
#include "shell/thumbnail_strip.h"
#include "tests/platform/log_capture.h"
#include "thumb_files.h"

namespace fotello {
namespace {

bool MessageBoxShown() {
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<QMessageBox*>(top))
            return true;
    return false;
}

// What the window shows each time a file is done, seen right after it:
// "percent|status|count".
std::shared_ptr<QStringList> Watch(TestWindow& tw) {
    auto seen = std::make_shared<QStringList>();
    QObject::connect(tw.builder(), &ThumbnailBuilder::entryDone, tw.w.get(),
                     [&tw, seen](int, const QString&, int percent) {
                         *seen << QString("%1|%2|%3")
                                      .arg(percent)
                                      .arg(Control<QLabel>(*tw.w, "lblStat")->text(),
                                           Control<QLabel>(*tw.w, "lblCount")->text());
                     });
    return seen;
}

TEST(ThumbnailBuild, CorruptMiddleFileGetsNoCellAndNoGap) {
    QTemporaryDir dir;
    QImage halfClear(40, 30, QImage::Format_ARGB32); // red, the right half transparent
    halfClear.fill(Qt::transparent);
    QPainter(&halfClear).fillRect(0, 0, 20, 30, Qt::red);
    QImage stripes(640, 480, QImage::Format_RGB32); // one-pixel columns, black and grey
    for (int x = 0; x < 640; ++x)
        for (int y = 0; y < 480; ++y)
            stripes.setPixel(x, y, x % 2 ? qRgb(200, 200, 200) : qRgb(0, 0, 0));
    WritePicture(dir.filePath("a.ico"), halfClear);
    WriteBytes(dir.filePath("b.jpg"), "this is no picture");
    WritePicture(dir.filePath("c.bmp"), stripes);
    TestWindow tw(100, 100, 64);
    const auto seen = Watch(tw);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    FrmFotello& w = *tw.w;
    // "Abrindo:  42 %" while it runs, then empty at 100.
    EXPECT_EQ(*seen, (QStringList{"33|Abrindo:  33 %|Imagens: 3", "67|Abrindo:  67 %|Imagens: 3",
                                  "100||Imagens: 3"}));

    ThumbnailStrip* strip = Control<ThumbnailStrip>(w, "picFrame");
    ASSERT_EQ(strip->cellCount(), 2);
    EXPECT_EQ(strip->cellTag(0), "a.ico");
    EXPECT_EQ(strip->cellTag(1), "c.bmp");
    // 40 x 30 keeps its size at (12, 17), framed at (x - 1, y - 1); the frame's
    // placement itself is the geometry rule's.
    const QImage first = strip->cellPicture(0), second = strip->cellPicture(1);
    ASSERT_EQ(first.size(), QSize(64, 64));
    const QRgb back = first.pixel(5, 5);
    EXPECT_EQ(first.pixel(11, 16), qRgb(0, 0, 0));
    EXPECT_EQ(first.pixel(12 + 5, 17 + 15), qRgb(255, 0, 0));
    EXPECT_EQ(first.pixel(12 + 35, 17 + 15), back); // transparent shows the box colour
    // Area-averaged: the fine stripes become their mean grey rather than aliasing.
    EXPECT_NEAR(qRed(second.pixel(31, 29)), 100, 12);

    // Built: strip shown and laid out, progress hidden, texts cleared, pointer back.
    EXPECT_TRUE(strip->stripVisible());
    EXPECT_EQ(strip->cellRect(1), QRect(100, 0, 100, 100));
    EXPECT_FALSE(Control<PictureBox>(w, "picProgress")->isVisibleTo(&w));
    EXPECT_EQ(Control<QLabel>(w, "lblCount")->text(), "");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(Control<QLabel>(w, "lblPath")->text(), dir.path());
    EXPECT_FALSE(MessageBoxShown());
}

TEST(ThumbnailBuild, EmptyTruncatedAndZeroByteFiles) {
    QTemporaryDir dir;
    WriteBytes(dir.filePath("a.jpg"), {});
    WriteBytes(dir.filePath("b.jpg"), TruncatedJpeg());
    TestWindow tw;
    const auto seen = Watch(tw);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    EXPECT_EQ(*seen, (QStringList{"50|Abrindo:  50 %|Imagens: 2", "100||Imagens: 2"}));
    ThumbnailStrip* strip = Control<ThumbnailStrip>(*tw.w, "picFrame");
    EXPECT_EQ(strip->cellCount(), 1);
    EXPECT_FALSE(strip->cellVisible(0));
    EXPECT_EQ(strip->cellTag(0), "");
    EXPECT_FALSE(MessageBoxShown());

    // A folder with nothing to list: only the hidden cell 0, one row high.
    QTemporaryDir empty;
    ASSERT_TRUE(tw.buildFolder(empty.path()));
    EXPECT_EQ(strip->cellCount(), 1);
    EXPECT_EQ(strip->stripSize().height(), 100);
    EXPECT_EQ(Control<QLabel>(*tw.w, "lblCount")->text(), "");
}

TEST(ThumbnailBuild, LongNamesAreShortenedInTheStripFont) {
    QTemporaryDir dir;
    const QString longName = "uma fotografia de férias com um nome muito comprido.jpg";
    for (const QString& name : {longName, QStringLiteral("curto.jpg")})
        WritePicture(dir.filePath(name), TestPicture(30, 30, Qt::gray));
    TestWindow tw(100, 100, 80);
    ASSERT_TRUE(tw.buildFolder(dir.path()));
    ThumbnailStrip* strip = Control<ThumbnailStrip>(*tw.w, "picFrame");
    ASSERT_EQ(strip->cellCount(), 2);
    EXPECT_EQ(strip->cellCaption(0), "curto.jpg");
    EXPECT_EQ(strip->cellTag(1), longName);
    // The longest start of the name that fits beside "..." in 100 - 15 pixels.
    const QString caption = strip->cellCaption(1);
    ASSERT_TRUE(caption.endsWith("...")) << caption.toStdString();
    const QString kept = caption.chopped(3);
    const QFontMetrics fm(strip->stripFont());
    EXPECT_GT(fm.horizontalAdvance(longName.left(kept.size() + 1)),
              100 - 15 - fm.horizontalAdvance("..."));
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
    // The builder's log tells which files its workers took up, and which results it dropped.
    testing::LogCapture log("fotello.thumbs.debug=true");
    QStringList names;
    QObject::connect(builder, &ThumbnailBuilder::entryDone, &w,
                     [&](int, const QString& name) { names << name; });
    QSignalSpy finished(builder, &ThumbnailBuilder::finished);

    ASSERT_TRUE(Control<FileListBox>(w, "File1")->setPathQuietly(big.path()));
    w.ResetThumbnails();
    const std::uint64_t first = builder->generation();
    // Let a few of the first build's pictures land, then switch folders.
    QSignalSpy some(builder, &ThumbnailBuilder::entryDone);
    ASSERT_TRUE(some.wait(10000));
    ASSERT_TRUE(builder->running());
    const qsizetype before = names.size();
    ASSERT_TRUE(Control<FileListBox>(w, "File1")->setPathQuietly(small.path()));
    w.ResetThumbnails();
    ASSERT_TRUE(finished.wait(30000));
    // Wait until every file of the first build a worker took up has come back or was
    // skipped: anything late from it would show by then.
    const QString tag = QString("build %1 ").arg(first);
    const auto firstBuildSettled = [&] {
        QSet<QString> open;
        for (const auto& line : log.lines("fotello.thumbs")) {
            if (!line.text.startsWith(tag))
                continue;
            const QStringList words = line.text.mid(tag.size()).split(QRegularExpression("[ :]"));
            if (words.size() < 2)
                continue;
            if (words[0] == "reading")
                open << words[1];
            else if (words[0] == "skipping" || words[0] == "got" || words[0] == "dropping")
                open.remove(words[1]);
        }
        return open.isEmpty();
    };
    EXPECT_TRUE(QTest::qWaitFor(firstBuildSettled, 30000));

    EXPECT_EQ(finished.count(), 1); // the replaced build never finishes
    EXPECT_EQ(names.mid(before), (QStringList{"x.jpg", "y.bmp", "z.jpg"}));
    ASSERT_EQ(Control<ThumbnailStrip>(w, "picFrame")->cellCount(), 3);
    for (int i = 0; i < 3; ++i) {
        // Its picture: a late result of the first build would bring its own.
        const QImage cell = Control<ThumbnailStrip>(w, "picFrame")->cellPicture(i);
        const QRgb middle = cell.pixel(cell.width() / 2, cell.height() / 2);
        EXPECT_TRUE(qRed(middle) > 200 && qGreen(middle) > 200 && qBlue(middle) < 80) << i;
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // one hourglass, restored once
    EXPECT_EQ(Control<QLabel>(w, "lblStat")->text(), "");
}

// While the user picks pictures the strip reads no new file; it goes on after.
TEST(ThumbnailBuild, APausedBuildReadsNothingUntilResumed) {
    QTemporaryDir folder;
    QVector<ThumbnailBuilder::Entry> entries;
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"}) {
        WritePicture(folder.filePath(n), TestPicture(64, 48, Qt::green));
        entries.push_back({n, QFile::encodeName(folder.filePath(n))});
    }
    testing::LogCapture log("fotello.thumbs.debug=true");
    const auto reads = [&log] {
        int n = 0;
        for (const auto& line : log.lines("fotello.thumbs"))
            n += line.text.contains(" reading ");
        return n;
    };
    {
        ThumbnailBuilder paused;
        paused.setPaused(true);
        paused.start(entries, {40, qRgb(0, 0, 0)});
        EXPECT_TRUE(paused.running());
    } // joins its workers: any file they took up has logged by now
    EXPECT_EQ(reads(), 0);

    ThumbnailBuilder builder;
    QSignalSpy finished(&builder, &ThumbnailBuilder::finished);
    builder.setPaused(true);
    builder.start(entries, {40, qRgb(0, 0, 0)});
    builder.setPaused(false);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(reads(), 3);
}

TEST(ThumbnailBuild, ClosingTheWindowMidBuildIsSafe) {
    QTemporaryDir big;
    for (int i = 0; i < 12; ++i)
        WritePicture(big.filePath(QString("p%1.jpg").arg(i)), TestPicture(1600, 1200, Qt::cyan));
    auto tw = std::make_unique<TestWindow>();
    ASSERT_TRUE(Control<FileListBox>(*tw->w, "File1")->setPathQuietly(big.path()));
    tw->w->ResetThumbnails();
    QSignalSpy some(tw->builder(), &ThumbnailBuilder::entryDone);
    ASSERT_TRUE(some.wait(10000));
    tw.reset(); // waits for the files being read; their results go nowhere
    // Whatever the workers posted before they were joined is in the queue now.
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(ThumbnailTexts, CountGroupedByTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_EQ(ImageCountText(10000), "Imagens: 10.000");
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ImageCountText(1234), "Imagens: 1,234");
    QLocale::setDefault(saved);
}

TEST(ThumbnailProgress, BarFillsAndStatusReads) {
    TestWindow tw;
    FrmFotello& w = *tw.w;
    Control<PictureBox>(w, "picProgress")->setGeometry(0, 0, 200, 20);
    w.InitProgress();
    EXPECT_EQ(Control<PictureBox>(w, "picProgressSlide")->geometry(), QRect(0, 0, 1, 20));
    w.UpdateProgress(42, "foto.jpg");
    EXPECT_EQ(Control<PictureBox>(w, "picProgressSlide")->width(), 84);
    // The name in both colours: some pixels differ from each box's background.
    for (PictureBox* box :
         {Control<PictureBox>(w, "picProgress"), Control<PictureBox>(w, "picProgressSlide")}) {
        QImage blank(box->drawing().size(), box->drawing().format());
        blank.fill(box->backColor());
        EXPECT_NE(box->drawing(), blank) << box->objectName().toStdString();
    }
}

TEST(ThumbnailBuild, FolderRemovedDuringTheBuild) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("fotos");
    QDir().mkpath(folder);
    for (int i = 0; i < 40; ++i)
        WritePicture(folder + QString("/f%1.jpg").arg(i, 2, 10, QChar('0')),
                     TestPicture(400, 300, Qt::blue));
    TestWindow tw;
    bool removed = false;
    QObject::connect(tw.builder(), &ThumbnailBuilder::entryDone, tw.w.get(), [&](int index) {
        if (index == 2 && !removed)
            removed = QDir(folder).removeRecursively();
    });
    ASSERT_TRUE(tw.buildFolder(folder));
    EXPECT_TRUE(removed);
    const int cells = Control<ThumbnailStrip>(*tw.w, "picFrame")->cellCount();
    EXPECT_GE(cells, 3) << "pictures read before the folder went keep their cells";
    EXPECT_LT(cells, 40);
    EXPECT_FALSE(MessageBoxShown());
    EXPECT_EQ(Control<QLabel>(*tw.w, "lblCount")->text(), "");
}

} // namespace
} // namespace fotello
