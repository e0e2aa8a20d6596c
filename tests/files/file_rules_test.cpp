#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

#include "../shell/settings_db_maker.h"
#include "files/file_rules.h"

namespace fotello {
namespace {

TEST(SizeText, BoundariesAndTruncation) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, " 0 Bytes"},
        {1024, " 1024 Bytes"},
        {1025, " 1.00 Kb"}, // 1.0009765625 cut after two decimals
        {1500, " 1.46 Kb"}, // 1.46484375: cut, not rounded
        {1536, " 1.5 Kb"},  // one decimal stays one
        {2047, " 1.99 Kb"}, // never rounded up to 2
        {2048, " 2 Kb"},
        {1024 * 1024, " 1024 Kb"},
        {1024 * 1024 + 1, " 1.00 Mb"},
        {3 * 1024 * 1024 + 512 * 1024, " 3.5 Mb"},
        {5LL * 1024 * 1024 * 1024, " 5120 Mb"}, // past 32 bits
        {-5, "-5 Bytes"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(SizeText(bytes), text) << bytes;
}

TEST(ConversionTarget, ReplacesTheLastThreeCharacters) {
    EXPECT_EQ(ConversionTarget("/f/a.gif", "bmp"), "/f/a.bmp");
    EXPECT_EQ(ConversionTarget("/f/foto.jpeg", "bmp"), "/f/foto.jbmp");
    EXPECT_EQ(ConversionTarget("/f/a.ico", "jpg"), "/f/a.jpg");
    // Characters, not bytes: "ção" is three characters in five bytes.
    EXPECT_EQ(ConversionTarget("/f/a.ção", "ico"), "/f/a.ico");
    EXPECT_EQ(ConversionTarget("ab", "bmp"), "bmp");
}

TEST(JpegRate, HigherRateLowerQualityWithinRange) {
    EXPECT_EQ(JpegQualityForRate(75), 52); // 52.5, half to even
    EXPECT_EQ(JpegQualityForRate(5), 95);  // outside the scroll bar's range
    EXPECT_EQ(JpegQualityForRate(5000), 10);
    for (int r = kMinRate; r < kMaxRate; ++r)
        EXPECT_GE(JpegQualityForRate(r), JpegQualityForRate(r + 1)) << r;
    EXPECT_EQ(SnappedRate(5), 20);
    EXPECT_EQ(SnappedRate(19), 20);
    EXPECT_EQ(SnappedRate(20), 20);
    EXPECT_EQ(SnappedRate(21), 21);
}

TEST(FileExists, MissingIsFalseWithoutErrorOtherFailuresAreReported) {
    const std::string dir = test::MakeTempDir();
    const std::string file = dir + "/a.bmp";
    std::ofstream(file) << "x";
    EXPECT_TRUE(FileExists(file).exists);
    EXPECT_FALSE(FileExists(file).error);
    for (const std::string& missing : {dir + "/none.bmp", dir + "/none/a.bmp", file + "/a.bmp"}) {
        const ExistsResult r = FileExists(missing);
        EXPECT_FALSE(r.exists) << missing;
        EXPECT_FALSE(r.error) << missing;
    }
    // A name too long to ask about is neither "there" nor "missing".
    const ExistsResult r = FileExists(dir + "/" + std::string(300, 'a'));
    EXPECT_FALSE(r.exists);
    ASSERT_TRUE(r.error);
    EXPECT_EQ(r.error->rfind("Error Number: ", 0), 0u);
    test::RemoveTree(dir);
}

} // namespace
} // namespace fotello
