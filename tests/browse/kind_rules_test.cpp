#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "shell/kind_rules.h"

using namespace fotello;
using ::testing::ElementsAre;

namespace {
constexpr std::optional<bool> on = true, off = false, kept = std::nullopt;
} // namespace

TEST(KindRules, TheWholeTable) {
    struct Row {
        const char* path;
        std::optional<bool> toBmp, toJpg, toIco, convert, effects;
    } const rows[] = {
        {"/fotos/casa.bmp", off, on, on, on, on},
        {"/fotos/anima.gif", on, off, off, on, off},
        {"/fotos/praia.jpg", on, off, off, on, on},
        {"/fotos/desenho.wmf", kept, kept, kept, off, off},
        {"/fotos/leiame.txt", kept, kept, kept, kept, kept},
        // The first kind in the table's order decides, wherever it stands in the path.
        {"/fotos/casa.bmp.jpg", off, on, on, on, on},
        {"/home/ana/fotos.gif/praia.jpg", on, off, off, on, off},
        {"/fotos.ico/seta.cur", on, off, off, on, on},
        {"/fotos.cur/icone.ico", on, off, off, on, on},
        {"/fotos.jpg/icone.ico", on, off, off, on, on},
    };
    for (const Row& r : rows) {
        const KindCommands k = KindCommandsFor(r.path);
        const std::optional<bool> got[] = {k.toBmp, k.toJpg, k.toIco, k.convert, k.effects};
        EXPECT_THAT(got, ElementsAre(r.toBmp, r.toJpg, r.toIco, r.convert, r.effects)) << r.path;
    }
}

TEST(KindRules, GifsAreShownAnimatedByTheirPath) {
    EXPECT_TRUE(ShownAsGif("/home/ana/fotos.gif/praia.jpg"));
    EXPECT_TRUE(ShownAsGif("/a/anima.gif"));
    EXPECT_FALSE(ShownAsGif("/home/ana/praia.jpg"));
}
