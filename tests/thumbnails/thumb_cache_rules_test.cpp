#include <gtest/gtest.h>

#include "shell/thumb_area_average.h"
#include "shell/thumb_cache_rules.h"

namespace fotello {
namespace {

TEST(ThumbCacheRules, FileUriEscapesAsGlibDoes) {
    const struct {
        std::string path, uri;
    } cases[] = {
        {"/home/ana/fotos/praia.jpg", "file:///home/ana/fotos/praia.jpg"},
        {"/tmp/com espaço.jpg", "file:///tmp/com%20espa%C3%A7o.jpg"},
        {"/tmp/caf\xE9.jpg", "file:///tmp/caf%E9.jpg"}, // Latin-1 bytes stay bytes
        {"/a/!$&'()*+,-.:=@_~", "file:///a/!$&'()*+,-.:=@_~"},
        {"/a/;#%?[]\"<>\\^`{|}", "file:///a/%3B%23%25%3F%5B%5D%22%3C%3E%5C%5E%60%7B%7C%7D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileUri(c.path), c.uri) << c.path;
}

TEST(ThumbCacheRules, PathsRootsFlavoursAndSizes) {
    EXPECT_EQ(CleanAbsolutePath("//a/./b/../c/"), "/a/c");
    EXPECT_EQ(CleanAbsolutePath("/.."), "/");
    EXPECT_EQ(CleanAbsolutePath("a/b"), "");

    EXPECT_EQ(ThumbCacheRoot("/x/cache/", "/home/u"), "/x/cache/thumbnails");
    EXPECT_EQ(ThumbCacheRoot("relative", "/home/u"), "/home/u/.cache/thumbnails");
    EXPECT_EQ(ThumbCacheRoot(nullptr, nullptr), "");

    const std::pair<int, ThumbFlavour> flavours[] = {{78, ThumbFlavour::Normal},
                                                     {128, ThumbFlavour::Normal},
                                                     {129, ThumbFlavour::Large},
                                                     {256, ThumbFlavour::Large},
                                                     {257, ThumbFlavour::None}};
    for (const auto& [box, flavour] : flavours)
        EXPECT_EQ(FlavourFor(box), flavour) << box;

    const struct {
        int w, h, side;
        ThumbPixels out;
    } sizes[] = {{4000, 3000, 128, {128, 96}}, {3000, 4000, 256, {192, 256}},
                 {40, 30, 128, {40, 30}},      {10000, 10, 128, {128, 1}},
                 {200, 101, 128, {128, 65}},   {0, 5, 128, {0, 0}}};
    for (const auto& s : sizes)
        EXPECT_EQ(CachedThumbSize(s.w, s.h, s.side), s.out) << s.w << "x" << s.h;
}

TEST(ThumbCacheRules, AnEntryIsFreshOnlyForItsFileAsItIs) {
    const std::string uri = "file:///f/a.jpg";
    const struct {
        ThumbKeys keys;
        bool fresh;
    } cases[] = {
        {{uri, "1700000000", "5120"}, true},
        {{uri, "1700000000", ""}, true}, // the size is optional
        {{uri, "1700000001", "5120"}, false},
        {{uri, "1700000000", "5121"}, false},
        {{"file:///f/b.jpg", "1700000000", "5120"}, false},
        {{uri, "", "5120"}, false},
        {{uri, "1700000000.5", "5120"}, false},
        {{uri, "17e8", ""}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EntryIsFresh(c.keys, uri, 1700000000, 5120), c.fresh)
            << c.keys.uri << " " << c.keys.mtime << " " << c.keys.size;
}

TEST(ThumbCacheRules, AveragingWithAlphaKeepsCoverage) {
    const std::uint32_t src[] = {0xFF0000FFu, 0x00000000u}; // opaque blue, clear
    std::uint32_t dst = 0;
    AreaAverageWithAlpha({src, 2, 1, 2}, {&dst, 1, 1, 1});
    EXPECT_EQ(dst, 0x80000080u); // half covered, premultiplied
}

} // namespace
} // namespace fotello
