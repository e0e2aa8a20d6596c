#include <QAction>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include "browse_fixture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "shell/preview_loader.h"

using namespace fotello;
using namespace fotello::test;

class SlideShowTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        // Told apart by their widths.
        write("fotos/a.bmp", makers::EncodeBmp(picture(40, 30, Qt::red)));
        write("fotos/b.bmp", makers::EncodeBmp(picture(50, 30, Qt::green)));
        write("fotos/c.jpg", "não é uma imagem");
        write("fotos/d.bmp", makers::EncodeBmp(picture(70, 30, Qt::blue)));
        startIn("fotos");
    }
    FileListBox* list() const { return ctl<FileListBox>("File1"); }
    ImageControl* image() const { return ctl<ImageControl>("Image1"); }
    QString text(const char* label) const { return ctl<QLabel>(label)->text(); }
    bool on(const char* command) const { return w->action(QString(command))->isEnabled(); }
    // The later of two siblings in the stacking order is in front.
    static bool inFront(QWidget* a, QWidget* b) {
        const QObjectList& order = a->parentWidget()->children();
        return order.indexOf(a) > order.indexOf(b);
    }
    void interval(const char* text) { ctl<QLineEdit>("txtSlide")->setText(text); }
    bool shows(const char* counter, int width) {
        return QTest::qWaitFor(
            [&] { return text("lblStat") == counter && image()->naturalSize().width() == width; },
            kWaitMs);
    }
};

TEST_F(SlideShowTest, APictureStillBeingReadWhenTheShowStartsNeverLands) {
    click("a.bmp"); // its reading answers later, on the UI thread
    ctl<QAction>("actctbSlide")->trigger();
    ASSERT_TRUE(Settled());
    EXPECT_EQ(text("lblNome"), "");
    EXPECT_FALSE(on("ctbTela"));
    EXPECT_FALSE(on("ctbProps"));
}

TEST_F(SlideShowTest, APassShowsEveryPictureReadingTheNextAhead) {
    interval("30");
    ctl<QAction>("actctbSlide")->trigger();
    w->Timer1_Timer();
    ASSERT_TRUE(shows("1 de 4", 40));
    EXPECT_EQ(text("lblCount"), "Imagem:");
    EXPECT_TRUE(image()->isVisible());
    // The second picture is read while the first is on show.
    auto* loader = w->findChild<PreviewLoader*>("slideLoader");
    ASSERT_TRUE(loader);
    const QString b = dir + "/fotos/b.bmp";
    const PreviewJob next{b, list()->localPath("b.bmp"), false, ctl<QWidget>("ssScroll1")->size(),
                          ctl<QWidget>("PictImagem")->size()};
    EXPECT_TRUE(QTest::qWaitFor([&] { return loader->holds(next); }, kWaitMs));
    EXPECT_TRUE(ctl<QTimer>("slideWait")->isActive());
}

TEST_F(SlideShowTest, IntervalZeroRunsThroughAndAFailureKeepsThePictureBefore) {
    interval("0");
    ctl<QAction>("actctbSlide")->trigger();
    w->Timer1_Timer();
    // The unreadable third file: the second picture stays for its turn.
    ASSERT_TRUE(QTest::qWaitFor([&] { return text("lblStat") == "4 de 4"; }, kWaitMs));
    EXPECT_EQ(image()->naturalSize().width(), 70);
    EXPECT_EQ(takeMessage(), "") << "failures are not reported";
    EXPECT_TRUE(ctl<QTimer>("Timer1")->isActive()) << "the next pass comes with the next tick";
    // Once the last wait is over, the next tick starts from the first picture.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ctl<QTimer>("slideWait")->isActive(); }, kWaitMs));
    w->Timer1_Timer();
    EXPECT_TRUE(shows("1 de 4", 40));
}

TEST_F(SlideShowTest, StartDisablesTheBrowsingAndStopDuringAWaitRestoresIt) {
    pick("a.bmp");
    ASSERT_TRUE(on("ctbTela"));
    interval("1000");
    ctl<QAction>("actctbSlide")->trigger();
    // Which commands a show turns off is the command rules' business; one shows the wiring.
    EXPECT_FALSE(on("ctbTela"));
    EXPECT_FALSE(ctl<QTreeWidget>("tView")->isEnabled());
    EXPECT_FALSE(list()->isEnabled());
    EXPECT_TRUE(inFront(ctl<QWidget>("ctbSlideF"), ctl<QWidget>("ctbSlide")));
    EXPECT_TRUE(inFront(ctl<QWidget>("PictImagem"), ctl<QWidget>("Pictclips")));
    EXPECT_EQ(text("lbltamanho"), "");
    EXPECT_EQ(text("lblNome"), "");
    EXPECT_TRUE(ctl<QTimer>("Timer1")->isActive());
    EXPECT_EQ(ctl<QTimer>("Timer1")->interval(), 3000);
    EXPECT_EQ(text("lblStat"), "") << "nothing before the first tick";
    w->Timer1_Timer();
    ASSERT_TRUE(shows("1 de 4", 40));
    ctl<QAction>("actctbSlideF")->trigger();
    EXPECT_FALSE(ctl<QTimer>("Timer1")->isActive());
    EXPECT_FALSE(ctl<QTimer>("slideWait")->isActive());
    EXPECT_TRUE(QTest::qWaitFor([&] { return image()->naturalSize().width() == 70; }, kWaitMs))
        << "the last file of the list is loaded";
    EXPECT_TRUE(inFront(ctl<QWidget>("Pictclips"), ctl<QWidget>("PictImagem")));
    EXPECT_TRUE(inFront(ctl<QWidget>("ctbSlide"), ctl<QWidget>("ctbSlideF")));
    EXPECT_EQ(text("lblCount"), "");
    EXPECT_EQ(text("lblStat"), "");
    EXPECT_TRUE(on("ctbSlide"));
    EXPECT_FALSE(on("ctbProps"));
    EXPECT_TRUE(ctl<QTreeWidget>("tView")->isEnabled());
    EXPECT_TRUE(list()->isEnabled());
    EXPECT_FALSE(w->currentPicture().isValid()) << "a slide is no current picture";
    // The show is over: a late tick shows nothing.
    w->Timer1_Timer();
    EXPECT_EQ(text("lblStat"), "");
}
