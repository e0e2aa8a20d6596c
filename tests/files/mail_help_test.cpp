// Mail, help, the web page, the edit button and the thumbnails view.

#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QUrl>

#include "../browse/browse_fixture.h"
#include "shell/thumbnail_strip.h"

using namespace fotello;
using namespace fotello::test;

namespace {

// Stands in for the desktop: records what it was asked to open.
class Opened : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

} // namespace

class DesktopTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("fotos/casa.bmp", makers::EncodeBmp(picture(40, 30)));
        write("fotos/rua.bmp", makers::EncodeBmp(picture(20, 30)));
        for (const char* scheme : {"file", "https"})
            QDesktopServices::setUrlHandler(scheme, &opened, "open");
        startIn("fotos");
        pick("casa.bmp");
    }
    void TearDown() override {
        for (const char* scheme : {"file", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
        BrowseFixture::TearDown();
    }
    void run(const char* command) {
        QAction* a = w->action(QString(command));
        ASSERT_TRUE(a && a->isEnabled()) << command;
        a->trigger();
    }
    Opened opened;
};

TEST_F(DesktopTest, HelpWebPageAndEditOpenThroughTheDesktop) {
    ctl<QLabel>("lblstatus")->setText("x");
    run("ctbajuda");
    QTest::keyClick(w.get(), Qt::Key_F1);
    run("ClarkTBButton2");
    run("button1_1");
    const QList<QUrl> expected = {QUrl::fromLocalFile(program + "/Orlano.html"),
                                  QUrl::fromLocalFile(program + "/Orlano.html"),
                                  QUrl("https://fotello.example/"),
                                  QUrl::fromLocalFile(dir + "/fotos/casa.bmp")};
    EXPECT_EQ(opened.urls, expected);
    EXPECT_EQ(ctl<QLabel>("lblstatus")->text(), "");
}

TEST_F(DesktopTest, MailAttachesThePictureAndIsSilentWithoutAMailClient) {
    const QByteArray path = qgetenv("PATH");
    const QString bin = dir + "/bin", record = dir + "/asked";
    write("bin/xdg-email", ("#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record + "'\n").toUtf8());
    QFile::setPermissions(bin + "/xdg-email", QFile::ReadOwner | QFile::ExeOwner);
    qputenv("PATH", bin.toLocal8Bit() + ":" + path);
    run("ctbmail");
    qputenv("PATH", path);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(record).size() > 0; }, kWaitMs));
    QFile asked(record);
    ASSERT_TRUE(asked.open(QIODevice::ReadOnly));
    EXPECT_EQ(asked.readAll(), "--attach\n" + (dir + "/fotos/casa.bmp\n").toUtf8());

    qputenv("PATH", (dir + "/nada").toLocal8Bit());
    run("ctbmail");
    qputenv("PATH", path);
    EXPECT_EQ(takeMessage(), "");
}

TEST_F(DesktopTest, ThumbnailsViewSelectsNothingAndSwitchesTheFileCommandsOff) {
    auto* strip = ctl<ThumbnailStrip>("picFrame");
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip->cellCount() >= 2; }, kWaitMs));
    strip->setCellSelected(1, true);
    run("ctbClips");
    for (int i = 0; i < strip->cellCount(); ++i)
        EXPECT_FALSE(strip->cellSelected(i)) << i;
    EXPECT_EQ(ctl<QLabel>("lblNome")->text(), "");
    EXPECT_EQ(ctl<QLabel>("lbltamanho")->text(), "");
    // Which ones is the command rules' business; one of each shows the wiring.
    EXPECT_FALSE(w->action(QString("ctbCopyTo"))->isEnabled());
    EXPECT_TRUE(w->action(QString("ctbRefresh"))->isEnabled());
}

#include "mail_help_test.moc"
