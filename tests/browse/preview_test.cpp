#include <QAction>
#include <QFileInfo>

#include "browse_fixture.h"
#include "controls/animated_picture.h"
#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "shell/layout_rules.h"

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
        start();
        ASSERT_TRUE(w->File1->setPath(dir + "/fotos"));
    }
    // Selects a file in the list as a click does.
    void pick(const QString& name) {
        const auto items = w->File1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        w->File1->setCurrentItem(items.first());
        w->File1_Click();
    }
    QByteArray jpg;
};

TEST_F(PreviewTest, StillPictureFillsTheLabelsAndEnablesCommands) {
    pick("casa.bmp");
    const QString full = dir + "/fotos/casa.bmp";
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(w->lblPath->text(), full);
    EXPECT_EQ(w->lblNome->text(), "casa.bmp");
    EXPECT_EQ(w->currentFileName, "casa.bmp");
    EXPECT_EQ(w->lbltamanho->text(), QString::number(QFileInfo(full).size()) + " bytes");
    EXPECT_TRUE(w->Image1->isVisible());
    EXPECT_FALSE(w->mcGif->isVisible());
    EXPECT_EQ(w->Image1->size(), QSize(40, 30)) << "a small picture keeps its size";
    EXPECT_EQ(w->Image1->pos(),
              QPoint((w->PictImagem->width() - 40) / 2, (w->PictImagem->height() - 30) / 2));
    EXPECT_EQ(w->ssScroll1->scrollMode(), 0);
    for (ToolbarButton* b :
         {w->ctbClips, w->ctbTela, w->ctbSlide, w->ctbMoveTo, w->ctbCopyTo, w->ctbRename,
          w->ctbProps, w->ctbimprime, w->ctbRefresh, w->ctbmail, w->button1[0], w->button1[4]})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(w->mnuCBmp->isEnabled());
    EXPECT_TRUE(w->mnuCJpg->isEnabled());
    EXPECT_TRUE(w->ctbEfeito->isEnabled());
}

TEST_F(PreviewTest, LargePicturesShrinkToTheHost) {
    pick("grande.jpg");
    EXPECT_TRUE(w->Image1->stretch());
    EXPECT_LE(w->Image1->width(), w->ssScroll1->width());
    EXPECT_LE(w->Image1->height(), w->ssScroll1->height());
    EXPECT_NEAR(double(w->Image1->width()) / w->Image1->height(), 4.0 / 3.0, 0.02);
    EXPECT_TRUE(w->mnuCBmp->isEnabled());
    EXPECT_FALSE(w->mnuCJpg->isEnabled());
}

TEST_F(PreviewTest, GifsPlayCentredOrAtTheCorner) {
    pick("anima.gif");
    EXPECT_TRUE(w->mcGif->isVisible());
    EXPECT_FALSE(w->Image1->isVisible());
    EXPECT_EQ(w->mcGif->size(), QSize(60, 40));
    EXPECT_EQ(w->mcGif->pos(),
              QPoint((w->PictImagem->width() - 60) / 2, (w->PictImagem->height() - 40) / 2));
    EXPECT_EQ(w->ssScroll1->scrollMode(), 0);
    EXPECT_TRUE(w->mcGif->isPlaying());
    EXPECT_EQ(w->mcGif->frameCount(), 2);
    EXPECT_FALSE(w->ctbEfeito->isEnabled());

    pick("enorme.gif");
    EXPECT_EQ(w->mcGif->pos(), QPoint(0, 0));
    EXPECT_EQ(w->ssScroll1->scrollMode(), 4);
    EXPECT_EQ(w->mcGif->fileName(), dir + "/fotos/enorme.gif");
}

TEST_F(PreviewTest, FailuresShowTheirMessageAndEnableNothing) {
    pick("cortada.jpg");
    EXPECT_EQ(takeMessage(), "Arquivo Truncado: " + dir + "/fotos/cortada.jpg");
    EXPECT_EQ(w->lblNome->text(), "");
    EXPECT_FALSE(w->ctbRename->isEnabled());

    pick("texto.jpg");
    EXPECT_EQ(takeMessage(), QString::fromUtf8("Arquivo Inválido !"));
    EXPECT_NE(w->currentFileName, "texto.jpg");
    EXPECT_FALSE(w->ctbProps->isEnabled());
}

TEST_F(PreviewTest, MetafileAfterBitmapKeepsTheConversionItems) {
    pick("casa.bmp");
    pick("desenho.wmf");
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(w->Image1->picture().size(), QSize(120, 80));
    EXPECT_FALSE(w->mnuCBmp->isEnabled()) << "left as the BMP set it";
    EXPECT_TRUE(w->mnuCJpg->isEnabled());
    EXPECT_FALSE(w->button1[4]->isEnabled());
    EXPECT_FALSE(w->ctbEfeito->isEnabled());
}

TEST_F(PreviewTest, FolderChangeDisablesFileCommandsButNotTheAlbum) {
    pick("casa.bmp");
    QDir(dir).mkpath("vazia");
    ASSERT_TRUE(w->File1->setPath(dir + "/vazia"));
    EXPECT_EQ(w->lblPath->text(), dir + "/vazia");
    EXPECT_TRUE(w->button1[0]->isEnabled());
    for (ToolbarButton* b : {w->button1[1], w->button1[4], w->ctbClips, w->ctbTela, w->ctbMoveTo,
                             w->ctbCopyTo, w->ctbRename, w->ctbProps, w->ctbimprime})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(w->ctbmail->isEnabled()) << "nothing here disables the mail button";
}

TEST_F(PreviewTest, NamesThatAreNotUtf8StillShow) {
    const QByteArray bmp = makers::EncodeBmp(picture(12, 9));
    const QByteArray local = QFile::encodeName(dir + "/fotos/") + QByteArray("foto\xff\xfe.bmp");
    {
        FILE* raw = std::fopen(local.constData(), "wb");
        ASSERT_TRUE(raw);
        std::fwrite(bmp.constData(), 1, static_cast<size_t>(bmp.size()), raw);
        std::fclose(raw);
    }
    w->File1->refresh();
    int row = -1;
    for (int i = 0; i < w->File1->listCount(); ++i)
        if (w->File1->entry(i).startsWith("foto") && w->File1->entry(i).endsWith(".bmp"))
            row = i;
    ASSERT_GE(row, 0);
    w->File1->setCurrentRow(row);
    w->File1_Click();
    EXPECT_EQ(takeMessage(), "");
    EXPECT_EQ(w->Image1->picture().size(), QSize(12, 9));
    EXPECT_EQ(w->lbltamanho->text(), QString::number(bmp.size()) + " bytes");
}

TEST_F(PreviewTest, KeysMovingTheSelectionShowThePicture) {
    w->File1->setFocus();
    w->File1->setCurrentRow(0);
    QTest::keyClick(w->File1, Qt::Key_Down);
    EXPECT_EQ(w->lblNome->text(), w->File1->entry(1));
    EXPECT_EQ(takeMessage(), "");
}
