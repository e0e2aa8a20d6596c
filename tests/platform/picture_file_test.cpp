// Files named like pictures that are not regular files, files that cannot be
// read, and odd names.

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFile>

#include "tests/platform/picture_test_support.h"

namespace fotello {
namespace {

using namespace std::chrono_literals;
using namespace makers;
using testing::Halves;

class PictureFileTest : public testing::PictureFolder {
protected:
    // Reads on another thread so that a read that blocks fails the test instead of hanging it.
    PictureError ReadWithin(const QString& p) {
        auto reading = std::async(std::launch::async, [p] { return ReadPicture(p).error; });
        EXPECT_EQ(reading.wait_for(5s), std::future_status::ready) << "reading blocked";
        return reading.get();
    }
};

TEST_F(PictureFileTest, SpecialFilesNamedLikePicturesAreNeverRead) {
    // FIFOs and devices are in the hostile corpus; a socket is not.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(path("tomada.gif"));
    ASSERT_LT(std::size_t(socketPath.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(ReadWithin(path("tomada.gif")), PictureError::NotAFile);
    ::close(sock);
}

TEST_F(PictureFileTest, MissingOrForbiddenFilesAreUnreadable) {
    EXPECT_EQ(ReadPicture(path("sumiu.jpg")).error, PictureError::Unreadable);
    EXPECT_EQ(ReadPicture(QString()).error, PictureError::Unreadable);
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads files whatever their permissions";
    const QString p = write("fechado.bmp", EncodeBmp(Halves(8, 8, Qt::red, Qt::blue)));
    ASSERT_EQ(::chmod(QFile::encodeName(p).constData(), 0), 0);
    EXPECT_EQ(ReadPicture(p).error, PictureError::Unreadable);
}

TEST_F(PictureFileTest, OddNamesWork) {
    // The metafile goes to a helper program by name: a leading dash must stay a name.
    WmfWriter wmf(50, 40);
    wmf.rectangle(QRect(5, 5, 20, 20));
    const PictureResult r = ReadPicture(write("-x $(y) ação.wmf", wmf.finish()));
    EXPECT_TRUE(r.ok()) << r.detail.toStdString();
    // A symbolic link to a picture is followed.
    write("com espaço.jpg", EncodeJpeg(Halves(30, 20, Qt::red, Qt::blue)));
    ASSERT_TRUE(QFile::link(path("com espaço.jpg"), path("atalho.jpg")));
    EXPECT_TRUE(ReadPicture(path("atalho.jpg")).ok());
}

} // namespace
} // namespace fotello
