#include <QFileInfo>
#include <QScrollBar>
#include <QSignalSpy>

#include "browse_fixture.h"
#include "controls/animated_picture.h"
#include "controls/elided_label.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "shell/layout_rules.h"
#include "shell/thumbnail_builder.h"

using namespace fotello;
using namespace fotello::test;

class PreviewTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        jpg = makers::EncodeJpeg(picture(1600, 1200));
        write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30)));
        write("fotos/grande.jpg", jpg);
        write("fotos/anima.gif",
              makers::EncodeGif({picture(60, 40, Qt::red), picture(60, 40, Qt::blue)}, {10, 10}));
        write("fotos/enorme.gif", makers::EncodeGif({picture(3000, 20)}, {10}));
        write("fotos/cortada.jpg", makers::TruncatedCopy(jpg, jpg.size() / 2));
        write("fotos/texto.jpg", "isto não é uma imagem");
        makers::WmfWriter wmf(120, 80);
        wmf.setBrush(Qt::green);
        wmf.rectangle({10, 10, 100, 60});
        write("fotos/desenho.wmf", wmf.finish());
        startIn("fotos");
    }

    FileListBox* list() const { return w->findChild<FileListBox*>("File1"); }
    ImageControl* image() const { return w->findChild<ImageControl*>("Image1"); }
    AnimatedPicture* gif() const { return w->findChild<AnimatedPicture*>("mcGif"); }
    ScrollBox* host() const { return w->findChild<ScrollBox*>("ssScroll1"); }
    QWidget* pane() const { return w->findChild<QWidget*>("PictImagem"); }
    QString text(const char* label) const { return w->findChild<QLabel*>(label)->text(); }
    bool enabled(const char* name) const { return w->action(name)->isEnabled(); }
    QPoint centredIn(QWidget* pane, QSize size) const {
        return {CentredStart(pane->width(), size.width()),
                CentredStart(pane->height(), size.height())};
    }

    QByteArray jpg;
};

TEST_F(PreviewTest, StillPictureFillsTheLabelsAndEnablesCommands) {
    pick("casa.bmp");
    const QString full = dir + "/fotos/casa.bmp";
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(text("lblPath"), full);
    EXPECT_EQ(text("lblNome"), "casa.bmp");
    EXPECT_EQ(w->currentFileName, "casa.bmp");
    EXPECT_EQ(text("lbltamanho"), QString::number(QFileInfo(full).size()) + " bytes");
    EXPECT_TRUE(image()->isVisible());
    EXPECT_FALSE(gif()->isVisible());
    EXPECT_EQ(image()->size(), QSize(40, 30)) << "a small picture keeps its size";
    EXPECT_EQ(image()->pos(), QPoint((pane()->width() - 40) / 2, (pane()->height() - 30) / 2));
    EXPECT_EQ(host()->scrollMode(), 0);
    // Which commands a kind turns on is the command rules' business: one shows the wiring.
    EXPECT_TRUE(enabled("ctbRename"));
    EXPECT_FALSE(enabled("mnuCBmp"));

    pick("desenho.wmf");
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(image()->naturalSize(), QSize(120, 80));
}

TEST_F(PreviewTest, LargePicturesShrinkToTheHostFromAReducedReadingOnAWorker) {
    pick("grande.jpg");
    const Fit fit = FitPicture({1600, 1200}, {host()->width(), host()->height()},
                               {pane()->width(), pane()->height()});
    ASSERT_LT(fit.size.width, 800) << "the window is meant to be smaller than the photo";
    EXPECT_TRUE(image()->stretch());
    EXPECT_EQ(image()->size(), QSize(fit.size.width, fit.size.height));
    EXPECT_EQ(image()->pos(), QPoint(fit.position.x, fit.position.y));
    EXPECT_EQ(image()->picture().size(), image()->size()) << "no more pixels read than shown";

    // A JPEG named as a GIF: decoded by a worker, not by the animated-picture
    // control on the UI thread.
    write("outra/foto.gif", jpg);
    showFolder("outra");
    pick("foto.gif");
    EXPECT_FALSE(gif()->isVisible());
    EXPECT_TRUE(image()->isVisible());
    EXPECT_TRUE(image()->isReduced());
}

TEST_F(PreviewTest, GifsPlayCentredOrAtTheCornerAndFollowTheWindow) {
    pick("anima.gif");
    EXPECT_TRUE(gif()->isVisible());
    EXPECT_FALSE(image()->isVisible());
    EXPECT_EQ(gif()->size(), QSize(60, 40));
    EXPECT_EQ(gif()->pos(), centredIn(pane(), {60, 40}));
    EXPECT_TRUE(gif()->isPlaying());
    EXPECT_EQ(gif()->frameCount(), 2);

    w->resize(1100, 760);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return gif()->pos() == centredIn(pane(), {60, 40});
    })) << "centred again in the larger pane";

    pick("enorme.gif");
    EXPECT_EQ(gif()->pos(), QPoint(0, 0));
    EXPECT_EQ(host()->scrollMode(), 4);
    EXPECT_EQ(gif()->fileName(), dir + "/fotos/enorme.gif");
}

TEST_F(PreviewTest, FailuresShowTheirMessageAndEnableNothing) {
    pick("cortada.jpg");
    EXPECT_EQ(takeMessage(), "Arquivo Truncado: " + dir + "/fotos/cortada.jpg");
    EXPECT_EQ(text("lblNome"), "");
    EXPECT_FALSE(enabled("ctbRename"));

    pick("texto.jpg");
    EXPECT_EQ(takeMessage(), QString::fromUtf8("Arquivo Inválido !"));
    EXPECT_NE(w->currentFileName, "texto.jpg");

    // A machine without the metafile fonts: the file is not called invalid.
    const QString fakes = dir + "/ajudantes";
    QDir().mkpath(fakes);
    const QString fake =
        write("ajudantes/fotello-wmf", "#!/bin/sh\necho 'fotello-wmf: no fonts' >&2\nexit 5\n");
    QFile::setPermissions(fake, QFile::ReadOwner | QFile::ExeOwner);
    SetHelperFolder(fakes);
    pick("desenho.wmf");
    EXPECT_EQ(takeMessage(), QString::fromUtf8("Não é possível mostrar metarquivos (WMF) neste "
                                               "computador: faltam as fontes do pacote "
                                               "fonts-urw-base35."));
}

// What was on show stays as it was after a file that cannot be read.
TEST_F(PreviewTest, AFailureLeavesThePreviousPictureAsItWas) {
    for (const char* before : {"grande.jpg", "anima.gif"}) {
        SCOPED_TRACE(before);
        pick(before);
        const QRect stillAt = image()->geometry(), gifAt = gif()->geometry();
        const bool stillShown = image()->isVisible(), stretched = image()->stretch();
        pick("texto.jpg");
        EXPECT_NE(takeMessage(), "");
        EXPECT_EQ(image()->geometry(), stillAt);
        EXPECT_EQ(image()->isVisible(), stillShown);
        EXPECT_EQ(image()->stretch(), stretched);
        EXPECT_EQ(gif()->geometry(), gifAt);
        EXPECT_EQ(gif()->isPlaying(), !stillShown);
    }
}

// A click or another folder while a picture is read replaces it: only the last
// one shows, and what the first would have said is never said.
TEST_F(PreviewTest, ANewClickOrFolderReplacesThePictureBeingRead) {
    pick("desenho.wmf");
    QSignalSpy stills(image(), &ImageControl::pictureChanged);
    click("texto.jpg");
    click("casa.bmp");
    ASSERT_TRUE(Settled());
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(text("lblNome"), "casa.bmp");
    EXPECT_EQ(text("lblPath"), dir + "/fotos/casa.bmp");
    EXPECT_EQ(stills.count(), 1) << "one picture loaded, the last one's";
    EXPECT_EQ(image()->naturalSize(), QSize(40, 30));

    QDir(dir).mkpath("vazia");
    click("grande.jpg");
    showFolder("vazia");
    EXPECT_EQ(text("lblPath"), dir + "/vazia");
    EXPECT_NE(text("lblNome"), "grande.jpg");
    EXPECT_NE(image()->naturalSize(), QSize(1600, 1200));
    EXPECT_FALSE(enabled("ctbRename"));
    EXPECT_TRUE(enabled("button1_0")) << "the album stays";
    EXPECT_TRUE(enabled("ctbmail")) << "nothing here disables the mail button";
}

TEST_F(PreviewTest, KeysMovingTheSelectionAndThumbnailClicksShowThePicture) {
    list()->setFocus();
    list()->setCurrentRow(0);
    QTest::keyClick(list(), Qt::Key_Down);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(text("lblNome"), list()->entry(1));
    EXPECT_EQ(takeMessage(), "");
    // Back up: the neighbour read ahead is shown the same.
    QTest::keyClick(list(), Qt::Key_Up);
    ASSERT_TRUE(Settled());
    EXPECT_EQ(text("lblNome"), list()->entry(0));

    auto* strip = ctl<ThumbnailStrip>("picFrame");
    const int cell = cellOf("casa.bmp");
    ASSERT_GE(cell, 0);
    QTest::mouseClick(strip, Qt::LeftButton, {},
                      strip->cellRect(cell).center() + strip->stripPos());
    ASSERT_TRUE(Settled());
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(text("lblPath"), dir + "/fotos/casa.bmp");
    EXPECT_EQ(image()->size(), QSize(40, 30));
}

TEST_F(PreviewTest, ALongNameKeepsItsStartAndEndsWithDots) {
    const QString name = "um nome muito comprido para caber no rotulo do nome do arquivo "
                         "que fica na barra de ferramentas de cima.bmp";
    write("fotos/" + name, makers::EncodeBmp(picture(8, 8)));
    list()->refresh();
    pick(name);
    auto* label = w->findChild<QLabel*>("lblNome");
    EXPECT_EQ(label->text(), name) << "whoever reads the label gets the whole name";
    const QFontMetrics fm = label->fontMetrics();
    const QString shown = ElideRight(name, label->contentsRect().width(),
                                     [&fm](const QString& s) { return fm.horizontalAdvance(s); });
    ASSERT_TRUE(shown.startsWith("um nome") && shown.endsWith("...")) << shown.toStdString();
    ASSERT_LT(shown.size(), name.size());

    // The label paints exactly what a label holding the shortened text paints.
    QLabel expected(shown);
    expected.setFont(label->font());
    expected.setAlignment(label->alignment());
    expected.setPalette(label->palette());
    expected.resize(label->size());
    auto painted = [](QWidget* w) {
        return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_EQ(painted(label), painted(&expected));
}

// The picture waited for gets the cores: the strip reads no new file while
// the user picks, goes on a moment after, and at once in another folder.
TEST_F(PreviewTest, PickingHoldsTheStripUntilTheUserStops) {
    for (int i = 0; i < 12; ++i)
        write(QString("muitas/f%1.jpg").arg(i, 2, 10, QChar('0')), jpg);
    auto* strip = w->findChild<ThumbnailBuilder*>("thumbnailBuilder");
    ASSERT_TRUE(list()->setPath(dir + "/muitas"));
    ASSERT_TRUE(strip->running());
    click("f05.jpg");
    EXPECT_TRUE(strip->paused());
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("lblNome") == "f05.jpg"; }, kWaitMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !strip->paused(); }, kWaitMs)) << "goes on after";
    ASSERT_TRUE(Settled()); // the strip finishes

    ASSERT_TRUE(list()->setPath(dir + "/fotos"));
    click("grande.jpg");
    ASSERT_TRUE(strip->paused());
    ASSERT_TRUE(list()->setPath(dir + "/muitas"));
    EXPECT_FALSE(strip->paused()) << "another folder: its strip at once";
    ASSERT_TRUE(Settled());
}

TEST_F(PreviewTest, AnotherFolderListsFromTheTop) {
    for (const char* folder : {"muitas1", "muitas2"})
        for (int i = 0; i < 300; ++i)
            write(QString("%1/foto%2.bmp").arg(folder).arg(i, 3, 10, QChar('0')), "x");
    ASSERT_TRUE(list()->setPath(dir + "/muitas1"));
    QScrollBar* bar = list()->verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }, kWaitMs));
    bar->setValue(bar->maximum());
    showFolder("muitas2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar->maximum() > 0; }, kWaitMs));
    EXPECT_EQ(bar->value(), 0);
    EXPECT_EQ(list()->indexAt(QPoint(2, 2)).row(), 0);
}

// The reader behind the preview, without a window.
class PreviewLoaderTest : public BrowseFixture {
protected:
    PreviewJob job(const QString& name, QSize hostSize = {300, 200}) {
        const QString full = dir + "/" + name;
        return {full, QFile::encodeName(full), false, hostSize, hostSize};
    }
    PreviewPicture answer(PreviewLoader& loader, const PreviewJob& j) {
        QSignalSpy ready(&loader, &PreviewLoader::ready);
        const auto generation = loader.request(j);
        EXPECT_TRUE(ready.wait(kWaitMs));
        EXPECT_EQ(ready.count(), 1);
        const auto p = ready.isEmpty() ? PreviewPicture{} : ready[0][0].value<PreviewPicture>();
        EXPECT_EQ(p.generation, generation);
        return p;
    }
};

TEST_F(PreviewLoaderTest, FittedReadingsAreNoLargerThanShownAndFullOnesWhole) {
    write("foto.jpg", makers::EncodeJpeg(picture(1600, 1200)));
    write("foto.bmp", makers::EncodeBmp(picture(1600, 1200)));
    for (const char* name : {"foto.jpg", "foto.bmp"}) {
        SCOPED_TRACE(name);
        const PreviewPicture fitted = PreviewLoader::Read(job(name));
        ASSERT_TRUE(fitted.picture.ok());
        const Fit f = FitPicture({1600, 1200}, {300, 200}, {300, 200});
        EXPECT_EQ(fitted.picture.image.size(), QSize(f.size.width, f.size.height));
        EXPECT_EQ(fitted.picture.naturalSize, QSize(1600, 1200));
        EXPECT_NEAR(fitted.picture.image.pixelColor(10, 10).red(), 200, 6);
        const PreviewPicture whole = PreviewLoader::Read(job(name, {}));
        EXPECT_EQ(whole.picture.image.size(), QSize(1600, 1200));
    }
}

// The box to cover is asked for with the size the picture is shown at, turned
// as its EXIF orientation turns it; the reading then covers that box.
TEST_F(PreviewLoaderTest, TheBoxToCoverIsAskedForWithTheShownSize) {
    for (int orientation : {1, 6}) {
        SCOPED_TRACE(orientation);
        const QString path =
            write("turned.jpg", makers::EncodeJpeg(picture(1600, 1200), 90, orientation));
        const QSize shown = orientation == 6 ? QSize(1200, 1600) : QSize(1600, 1200);
        QSize asked;
        PictureReadOptions options;
        options.coverFor = [&asked](QSize natural) {
            asked = natural;
            return natural / 5;
        };
        const PictureResult r = ReadPicture(path, options);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(asked, shown);
        EXPECT_EQ(r.naturalSize, shown);
        EXPECT_EQ(r.image.size(), shown / 4) << "the smallest reduction covering a fifth";
    }
}

TEST_F(PreviewLoaderTest, OnlyTheLastRequestIsAnswered) {
    write("a.bmp", makers::EncodeBmp(picture(40, 30)));
    write("b.bmp", makers::EncodeBmp(picture(20, 10)));
    PreviewLoader loader;
    QSignalSpy ready(&loader, &PreviewLoader::ready);
    loader.request(job("a.bmp"));
    const auto last = loader.request(job("b.bmp"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ready.isEmpty() && loader.idle(); }, kWaitMs));
    ASSERT_EQ(ready.count(), 1);
    const auto p = ready[0][0].value<PreviewPicture>();
    EXPECT_EQ(p.generation, last);
    EXPECT_EQ(p.picture.naturalSize, QSize(20, 10));
    EXPECT_FALSE(loader.waiting());

    // A neighbour read ahead while another picture is awaited is not its answer.
    write("c.bmp", makers::EncodeBmp(picture(2400, 1800)));
    loader.prefetch({job("a.bmp")});
    EXPECT_EQ(answer(loader, job("c.bmp")).picture.naturalSize, QSize(2400, 1800));
}

TEST_F(PreviewLoaderTest, NeighboursReadAheadAreBoundedAndNeverStale) {
    for (const char* n : {"a.bmp", "b.bmp", "c.bmp", "d.bmp"})
        write(n, makers::EncodeBmp(picture(40, 30)));
    PreviewLoader loader;
    answer(loader, job("a.bmp"));
    loader.prefetch({job("b.bmp"), job("c.bmp"), job("d.bmp")});
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return loader.holds(job("b.bmp")) && loader.holds(job("c.bmp")); }, kWaitMs));
    EXPECT_FALSE(loader.holds(job("d.bmp"))) << "two neighbours at most";
    EXPECT_TRUE(loader.holds(job("a.bmp"))) << "the picture on show";

    // The file changed after it was read ahead: the new one is shown.
    write("b.bmp", makers::EncodeBmp(picture(24, 12)));
    EXPECT_EQ(answer(loader, job("b.bmp")).picture.naturalSize, QSize(24, 12));

    loader.prefetch({job("d.bmp")});
    EXPECT_FALSE(loader.holds(job("c.bmp")));
    EXPECT_FALSE(loader.holds(job("a.bmp")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return loader.holds(job("d.bmp")); }, kWaitMs));
}

TEST_F(PreviewLoaderTest, AReadingTooLargeToKeepIsNeitherKeptNorReadAgain) {
    write("a.bmp", makers::EncodeBmp(picture(40, 30)));
    write("enorme.jpg", makers::EncodeJpeg(picture(4200, 4100), 50));
    ASSERT_GT(qint64(4200) * 4100 * 4, PreviewLoader::kMaxCachedBytes);
    PreviewLoader loader;
    answer(loader, job("a.bmp"));
    loader.prefetch({job("enorme.jpg", {})});
    EXPECT_TRUE(QTest::qWaitFor([&] { return loader.idle(); }, kWaitMs));
    EXPECT_FALSE(loader.holds(job("enorme.jpg", {})));
    EXPECT_EQ(answer(loader, job("enorme.jpg", {})).picture.image.size(), QSize(4200, 4100));
}

TEST(ElideRight, KeepsTheWidestStartThatFitsWithItsDots) {
    // One unit per UTF-16 code unit: easy to count.
    const auto units = [](const QString& s) { return int(s.size()); };
    const QString pair = QString::fromUtf8("\xF0\x9F\x93\xB7"); // a camera, two code units
    const QString accent = QString::fromUtf8("e\xCC\x81");      // e and a combining acute
    struct Case {
        QString text;
        int width;
        QString shown;
    } const cases[] = {
        {"casa.bmp", 8, "casa.bmp"},        // fits exactly
        {"casa.bmp", 7, "casa..."},         // one short: four letters and the dots
        {"casa.bmp", 0, "..."},             // not even that: the dots still say it is cut
        {"ab" + pair + "cdef", 6, "ab..."}, // the pair would need 7
        {"ab" + pair + "cdef", 7, "ab" + pair + "..."},
        {"ab" + accent + "cdef", 6, "ab..."}, // the accent stays with its letter
        {"ab" + accent + "cdef", 7, "ab" + accent + "..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ElideRight(c.text, c.width, units), c.shown)
            << c.text.toStdString() << " in " << c.width;
}
