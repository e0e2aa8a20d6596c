// The command line's folder or file, as the running instance receives it.

#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/start_path.h"

using fotello::AbsoluteStartPath;
using fotello::StartArgument;

TEST(StartPath, ArgumentIsTheLastThatIsNoOption) {
    const struct {
        std::vector<const char*> args;
        std::string want;
    } cases[] = {
        {{"fotello"}, ""},
        {{"fotello", "Fotos"}, "Fotos"},
        {{"fotello", "-style", "fusion"}, ""},
        {{"fotello", "--platform", "offscreen", "a.jpg"}, "a.jpg"},
        {{"fotello", "-reverse", "a.jpg"}, "a.jpg"},
        {{"fotello", "--", "-x.jpg"}, "-x.jpg"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StartArgument(int(c.args.size()), c.args.data()), c.want) << c.args.back();
    }
}

TEST(StartPath, AbsoluteFromTheCallersFolderOrAFileUri) {
    const std::string cwd = "/home/ana/Fotos";
    const struct {
        std::string arg, want;
    } cases[] = {
        {"", ""},
        {"praia.jpg", "/home/ana/Fotos/praia.jpg"},
        {"./2003/../2004//", "/home/ana/Fotos/2004"},
        {"../../..", "/"},
        {"/tmp/../../x", "/x"},
        {".", "/home/ana/Fotos"},
        // Names that are not UTF-8 keep their bytes.
        {"f\xe9rias", "/home/ana/Fotos/f\xe9rias"},
        {"file:///media/f%E9rias/a%20b.jpg", "/media/f\xe9rias/a b.jpg"},
        {"FILE://localhost/tmp/100%25", "/tmp/100%"},
        {"file:///tmp/%zz", "/tmp/%zz"},
        {"file://servidor/tmp/a.jpg", ""},
        {"https://example.org/a.jpg", ""},
        {"pasta/a://b", "/home/ana/Fotos/pasta/a:/b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AbsoluteStartPath(c.arg, cwd), c.want) << c.arg;
}
