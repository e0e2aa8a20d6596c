#include <gtest/gtest.h>

#include "effects/effects_rules.h"

namespace fotello {
namespace {

TEST(EffectsRules, SaveKindIsTheTextAfterTheFirstDotOfTheName) {
    const struct {
        const char* path;
        EffectsSaveKind kind;
    } cases[] = {{"/home/ana/fotos/praia.bmp", EffectsSaveKind::Bmp},
                 {"/home/ana/fotos/PRAIA.JPG", EffectsSaveKind::Jpg},
                 {"/home/ana/fotos/icone.Ico", EffectsSaveKind::Ico},
                 {"/home/ana/fotos/praia.jpeg", EffectsSaveKind::None},
                 // A dot in a folder above says nothing of the picture.
                 {"/home/ana/fotos.2020/praia.jpg", EffectsSaveKind::Jpg},
                 {"/home/ana/foto.bmp.jpg", EffectsSaveKind::None},
                 // After an undo imagePath holds the folder.
                 {"/home/ana/fotos", EffectsSaveKind::None},
                 {"/home/ana/fotos.bmp", EffectsSaveKind::Bmp},
                 {"/home/ana/fotos.bmp/", EffectsSaveKind::Bmp},
                 {"", EffectsSaveKind::None}};
    for (const auto& c : cases)
        EXPECT_EQ(SaveKindFor(c.path), c.kind) << c.path;
    // What a file's name says it holds: its last suffix.
    EXPECT_EQ(NamedKindOf("/a.bmp/f.jpg"), EffectsSaveKind::Jpg);
    EXPECT_EQ(NamedKindOf("/a/foto.2024.JPEG"), EffectsSaveKind::Jpg);
    EXPECT_EQ(NamedKindOf("/a/f.gif"), EffectsSaveKind::None);
    EXPECT_EQ(NamedKindOf("/a.bmp/f"), EffectsSaveKind::None);
    EXPECT_EQ(FileExtension("/a.b/c.jpg", true), ".b/c.jpg");
    EXPECT_EQ(FileExtension("/ab/c", true), "");
}

TEST(EffectsRules, TheFolderEndsWhereTheNameBegins) {
    const struct {
        const char* path;
        const char* name;
        const char* folder;
    } cases[] = {{"/home/ana/praia.jpg", "praia.jpg", "/home/ana"},
                 {"/praia.jpg", "praia.jpg", ""},
                 // The name also names a folder higher up: cut at the end only.
                 {"/x/praia.jpg/y/praia.jpg", "praia.jpg", "/x/praia.jpg/y"},
                 {"/home/ana/minha praia.jpg", "praia.jpg", ""},
                 {"/home/ana/praia.jpg", "", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(PictureFolder(c.path, c.name), c.folder) << c.path;
}

TEST(EffectsRules, GammaAnswers) {
    const struct {
        const char* answer;
        std::optional<int> value;
    } cases[] = {{"1", 1},
                 {" 80 ", 80},
                 {"-20", -20},
                 {"2.5", 2},
                 {"3.5", 4},
                 {"", std::nullopt},
                 {"abc", std::nullopt},
                 {"12a", std::nullopt},
                 {"1,5", std::nullopt},
                 {"99999999999", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseGammaAnswer(c.answer), c.value) << '"' << c.answer << '"';
}

} // namespace
} // namespace fotello
