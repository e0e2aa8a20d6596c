#include <gtest/gtest.h>

#include "shell/kind_rules.h"

using namespace fotello;

TEST(KindRules, FirstKindFoundAnywhereDecides) {
    const auto bmp = KindCommandsFor("/fotos/casa.bmp");
    EXPECT_EQ(bmp.toBmp, false);
    EXPECT_EQ(bmp.toJpg, true);
    EXPECT_EQ(bmp.toIco, true);
    EXPECT_EQ(bmp.convert, true);
    EXPECT_EQ(bmp.effects, true);

    // casa.bmp.jpg counts as BMP: ".bmp" is tested first.
    EXPECT_EQ(KindCommandsFor("/fotos/casa.bmp.jpg").toBmp, false);
    // A folder named fotos.gif makes everything in it a GIF.
    const auto inGifFolder = KindCommandsFor("/home/ana/fotos.gif/praia.jpg");
    EXPECT_EQ(inGifFolder.effects, false);
    EXPECT_EQ(inGifFolder.toJpg, false);
    EXPECT_TRUE(ShownAsGif("/home/ana/fotos.gif/praia.jpg"));
    EXPECT_FALSE(ShownAsGif("/home/ana/praia.jpg"));

    const auto jpg = KindCommandsFor("/a/praia.jpg");
    EXPECT_EQ(jpg.toBmp, true);
    EXPECT_EQ(jpg.toJpg, false);
    EXPECT_EQ(jpg.effects, true);
    const auto ico = KindCommandsFor("/a/x.ico");
    EXPECT_EQ(ico.toIco, false);
    EXPECT_EQ(ico.effects, true);

    for (const char* p : {"/a/desenho.wmf", "/a/seta.cur"}) {
        const auto k = KindCommandsFor(p);
        EXPECT_FALSE(k.toBmp.has_value()) << p << ": conversions are left as they were";
        EXPECT_FALSE(k.toJpg.has_value());
        EXPECT_FALSE(k.toIco.has_value());
        EXPECT_EQ(k.convert, false);
        EXPECT_EQ(k.effects, false);
    }
    const auto none = KindCommandsFor("/a/leiame.txt");
    EXPECT_FALSE(none.convert.has_value());
    EXPECT_FALSE(none.effects.has_value());
}
