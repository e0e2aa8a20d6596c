// The effects window opened from the main window.
#include <QAction>
#include <QLineEdit>

#include "browse_fixture.h"
#include "controls/image_control.h"
#include "effects/frm_efeitos.h"

using namespace fotello;
using namespace fotello::test;

class EffectsOpenTest : public BrowseFixture {
protected:
    FrmEfeitos* effects() const { return w->findChild<FrmEfeitos*>("frmEfeitos"); }
};

TEST_F(EffectsOpenTest, TheEffectsButtonOpensTheWholePictureAndApplyReachesThePreview) {
    write("fotos/foto.jpg", makers::EncodeJpeg(picture(1600, 1200, QColor(250, 250, 250))));
    write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30)));
    startIn("fotos");
    ASSERT_NO_FATAL_FAILURE(pick("foto.jpg"));
    ASSERT_TRUE(ctl<ImageControl>("Image1")->isReduced());
    ctl<QLabel>("lblstatus")->setText("Filtros/Efeitos");

    w->action("ctbEfeito")->trigger();
    FrmEfeitos* f = effects();
    ASSERT_NE(f, nullptr);
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isModal());
    EXPECT_TRUE(Control<QAction>(*f, "mnuSave")->isEnabled()) << "every item is on at opening";
    EXPECT_EQ(ctl<QLabel>("lblstatus")->text(), "");
    EXPECT_EQ(Control<QLineEdit>(*f, "txtPath")->text(), dir + "/fotos");
    EXPECT_EQ(Control<QLabel>(*f, "lblNome")->text(), "foto.jpg");
    auto* working = Control<ImageControl>(*f, "Picture1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->busy(); }, kWaitMs));
    EXPECT_EQ(working->picture().size(), QSize(1600, 1200));
    EXPECT_EQ(Control<ImageControl>(*f, "Picture3")->picture().size(), QSize(1600, 1200));

    Control<QAction>(*f, "mnuNegative")->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f->busy(); }, kWaitMs));
    const QImage preview = ctl<ImageControl>("Image1")->picture();
    Control<QAction>(*f, "mnuAplic")->trigger();
    const QImage applied = ctl<ImageControl>("Image1")->picture();
    EXPECT_NE(applied.cacheKey(), preview.cacheKey());
    EXPECT_LT(QColor(applied.pixel(5, 5)).red(), 20);

    // Opened again on another picture: the same window takes it.
    ASSERT_NO_FATAL_FAILURE(pick("casa.bmp"));
    w->action("ctbEfeito")->trigger();
    EXPECT_EQ(effects(), f);
    EXPECT_EQ(Control<QLabel>(*f, "lblNome")->text(), "casa.bmp");
    EXPECT_EQ(f->imagePath, dir + "/fotos/casa.bmp");
    EXPECT_EQ(working->picture().size(), QSize(40, 30));
}
