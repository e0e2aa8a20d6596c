// Why a file was refused reaches the fotello.picture log once, at warning
// level, and only when a rule switches the category on.

#include <gtest/gtest.h>

#include <QDir>

#include "platform/log.h"
#include "tests/platform/log_capture.h"
#include "tests/platform/picture_test_support.h"

namespace fotello {
namespace {

using namespace makers;
using testing::LogCapture;

class PictureLog : public testing::PictureFolder {
protected:
    void SetUp() override {
        PictureFolder::SetUp();
        if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
            GTEST_SKIP() << "QT_LOGGING_RULES overrides the rules these tests set";
    }
    QByteArray bmp() const { return EncodeBmp(testing::Halves(20, 10, Qt::red, Qt::blue)); }
};

TEST_F(PictureLog, EveryRefusalIsOneWarningWithItsReason) {
    const QString cut = write("cortada.bmp", TruncatedCopy(bmp(), 70));
    const QString text = write("texto.jpg", "not a picture at all");
    const QString folder = path("pasta.jpg");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString drawing = write("desenho.wmf", WmfWriter(100, 100).finish());

    const std::tuple<const char*, QString, const char*> cases[] = {
        {"cut off", cut, "(truncated): data ends early"},
        {"not a picture", text, "(invalid): not a picture we read"},
        {"a folder", folder, "(not a file)"},
        {"no helper to draw it", drawing, "(invalid): cannot run "},
    };
    SetHelperFolder(path("sem-ajudante"));
    for (const auto& [what, file, reason] : cases) {
        SCOPED_TRACE(what);
        LogCapture log("fotello.*=true");
        const PictureResult r = ReadPicture(file);
        ASSERT_FALSE(r.ok());
        const auto lines = log.lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].type, QtWarningMsg);
        EXPECT_EQ(lines[0].category, "fotello.picture");
        EXPECT_TRUE(lines[0].text.startsWith("refused " + file)) << lines[0].text.toStdString();
        EXPECT_TRUE(lines[0].text.contains(reason)) << lines[0].text.toStdString();
        EXPECT_TRUE(lines[0].text.endsWith(r.detail)) << lines[0].text.toStdString();
    }
    // The bytes QMovie is handed are checked, and refused, the same way.
    LogCapture log("fotello.picture.warning=true");
    EXPECT_FALSE(ReadCheckedPictureBytes(cut).bytes.size());
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].text.endsWith("(truncated): data ends early"));
}

TEST_F(PictureLog, SilentByDefaultAndForPicturesThatOpenButTheHelpersRun) {
    const QString cut = write("cortada.bmp", TruncatedCopy(bmp(), 70));
    const QString good = write("boa.bmp", bmp());
    {
        LogCapture log("");
        EXPECT_FALSE(ReadPicture(cut).ok());
        EXPECT_FALSE(ReadCheckedPictureBytes(cut).bytes.size());
        EXPECT_TRUE(log.lines().empty());
        EXPECT_FALSE(lcPicture().isWarningEnabled());
        EXPECT_TRUE(lcPicture().isCriticalEnabled());
    }
    // Switched on: nothing for a picture that opens; the metafile helper's run is a debug line.
    const QString drawing = write("desenho.wmf", WmfWriter(100, 100).finish());
    LogCapture log("fotello.*=true");
    ASSERT_TRUE(ReadPicture(good).ok());
    ASSERT_TRUE(ReadPicture(drawing).ok());
    const auto lines = log.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].type, QtDebugMsg);
    EXPECT_EQ(lines[0].category, "fotello.wmf");
    EXPECT_TRUE(lines[0].text.contains("ended")) << lines[0].text.toStdString();
}

} // namespace
} // namespace fotello
