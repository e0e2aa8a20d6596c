// The main window as other windows and plug-ins see it: the host interface.


#include "browse_fixture.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "shell/settings_rules.h"
#include "shell/thumbnail_builder.h"

using namespace fotello;
using namespace fotello::test;

class HostTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30, Qt::red)));
        // A JPEG under a BMP's name: the kind is the contents'.
        write("fotos/disfarce.bmp", makers::EncodeJpeg(picture(64, 48, Qt::blue)));
        write("fotos/verde.bmp", makers::EncodeBmp(picture(40, 30, Qt::green)));
        start();
        host = w.get();
        showFolder("fotos");
    }
    ThumbnailStrip* strip() { return ctl<ThumbnailStrip>("picFrame"); }
    // Waits for a one-file rebuild to land.
    bool singleDone() {
        auto* single = w->findChild<ThumbnailBuilder*>("thumbnailOfOneFile");
        return single && QTest::qWaitFor([single] { return !single->running(); }, kWaitMs);
    }
    MainWindowHost* host = nullptr;
};

TEST_F(HostTest, CurrentPictureIsTheOneOnShowUntilTheFolderChanges) {
    EXPECT_EQ(host->currentFolder(), dir + "/fotos/");
    EXPECT_FALSE(host->currentPicture().isValid()) << "nothing picked yet";

    pick("disfarce.bmp");
    const CurrentPicture c = host->currentPicture();
    ASSERT_TRUE(c.isValid());
    EXPECT_EQ(c.path, dir + "/fotos/disfarce.bmp");
    EXPECT_EQ(c.name, "disfarce.bmp");
    EXPECT_EQ(c.kind, PictureKind::Jpeg);
    EXPECT_EQ(c.naturalSize, QSize(64, 48));
    EXPECT_EQ(QColor(c.image.pixel(10, 10)).blue() > 200, true);

    pick("casa.bmp");
    EXPECT_EQ(host->currentPicture().kind, PictureKind::Bmp);
    write("outra/x.bmp", makers::EncodeBmp(picture(4, 4)));
    ASSERT_TRUE(ctl<FileListBox>("File1")->setPath(dir + "/outra"));
    EXPECT_FALSE(host->currentPicture().isValid()) << "another folder listed";
    EXPECT_EQ(host->currentFolder(), dir + "/outra/");
}

TEST_F(HostTest, ControlsByNameStatusAndMessages) {
    EXPECT_EQ(host->control("Image1"), ctl<ImageControl>("Image1"));
    EXPECT_EQ(host->control("frmFotello"), w.get());
    EXPECT_EQ(host->control("naoExiste"), nullptr);
    EXPECT_EQ(host->hostWidget(), w.get());

    host->setStatus("Filtro: 37%");
    EXPECT_EQ(ctl<QLabel>("lblstatus")->text(), "Filtro: 37%");
    EXPECT_EQ(ctl<QLabel>("lblStat")->text(), "") << "the thumbnail builder's text is apart";
    host->showMessage("Arquivo copiado");
    EXPECT_EQ(takeMessage(), "Arquivo copiado");
}

TEST_F(HostTest, AnEditedPictureHandedBackIsShownFittedAndARedrawReadsTheFile) {
    pick("casa.bmp");
    QImage edited(2000, 1000, QImage::Format_RGB32);
    edited.fill(Qt::yellow);
    host->showInPreview(edited);
    auto* image = ctl<ImageControl>("Image1");
    EXPECT_EQ(image->picture().pixel(0, 0), QColor(Qt::yellow).rgb());
    EXPECT_TRUE(image->stretch()) << "larger than the pane: fitted";
    EXPECT_LE(image->width(), ctl<ScrollBox>("ssScroll1")->width());
    host->showInPreview(QImage());
    EXPECT_EQ(image->picture().pixel(0, 0), QColor(Qt::yellow).rgb()) << "nothing to show";

    write("fotos/casa.bmp", makers::EncodeBmp(picture(50, 20, Qt::green)));
    host->redrawPreview();
    ASSERT_TRUE(Settled());
    EXPECT_EQ(image->picture().size(), QSize(50, 20));
    EXPECT_EQ(QColor(image->picture().pixel(5, 5)).green(), 255);
}

TEST_F(HostTest, OneFilesCellIsRebuiltAloneOrTheStripWhenTheListChanges) {
    const int cell = cellOf("casa.bmp");
    ASSERT_GE(cell, 0);
    const int cells = strip()->cellCount();
    const QImage before = strip()->cellPicture(cell);

    // Written over: only its cell changes.
    write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30, Qt::blue)));
    host->rebuildThumbnail(dir + "/fotos/casa.bmp");
    ASSERT_TRUE(singleDone());
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip()->cellPicture(cell) != before; }, kWaitMs));
    EXPECT_EQ(strip()->cellCount(), cells);
    EXPECT_EQ(strip()->cellTag(cell), "casa.bmp");

    // A new file beside it: the list and the strip take it.
    write("fotos/nova.bmp", makers::EncodeBmp(picture(10, 10)));
    host->rebuildThumbnail(dir + "/fotos/nova.bmp");
    ASSERT_TRUE(Settled());
    EXPECT_GE(cellOf("nova.bmp"), 0);

    // A file that no longer reads loses its cell.
    write("fotos/verde.bmp", "estragado");
    host->rebuildThumbnail(dir + "/fotos/verde.bmp");
    ASSERT_TRUE(singleDone());
    ASSERT_TRUE(Settled());
    EXPECT_EQ(cellOf("verde.bmp"), -1);

    // A file of another folder changes nothing here.
    const int now = strip()->cellCount();
    host->rebuildThumbnail(dir + "/outra/casa.bmp");
    EXPECT_EQ(strip()->cellCount(), now);
}

TEST_F(HostTest, SettingsAppliedOnceAndThePreviewColour) {
    ctl<QLineEdit>("Text2")->setText("90");
    host->applySettings(0x00336699);
    EXPECT_EQ(host->settings().thumbs.cellWidth, 90);
    EXPECT_EQ(ctl<ScrollBox>("ssScroll1")->backColor(), 0x00336699u);
    host->applySettings(std::nullopt);
    EXPECT_EQ(ctl<ScrollBox>("ssScroll1")->backColor(), 0x00336699u) << "kept when none is given";
    EXPECT_EQ(host->settingsRecord(), nullptr) << "no database in this folder";
    EXPECT_EQ(host->settingsDatabase(), nullptr);
}
