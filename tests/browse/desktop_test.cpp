// Drags out to other programs and drops on the window.

#include <QDropEvent>
#include <QMimeData>

#include "browse_fixture.h"
#include "shell/file_drag.h"

using namespace fotello;
using namespace fotello::test;

namespace {

class DesktopTest : public BrowseFixture {
protected:
    FileListBox* list() const { return ctl<FileListBox>("File1"); }
    // Offers a drop of one path to the window as the desktop would; whether it took it.
    bool drop(const QByteArray& path) {
        QMimeData data;
        data.setUrls({LocalFileUrl(path)});
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(w.get(), &dropped);
        return dropped.isAccepted();
    }
};

TEST_F(DesktopTest, DraggedPicturesCarryTheirFileUrisByteForByte) {
    const QByteArray folder = QFile::encodeName(dir);
    const QByteArray bmp = makers::EncodeBmp(picture(40, 30));
    const struct {
        QByteArray name, encoded; // as text/uri-list spells it
    } files[] = {{"casa.bmp", "/casa.bmp"},
                 {"com espa\xC3\xA7o.bmp", "/com%20espa%C3%A7o.bmp"},
                 {"ver\xE3o.bmp", "/ver%E3o.bmp"}}; // Latin-1: not UTF-8
    for (const auto& f : files)
        writeRaw(folder + "/" + f.name, bmp);
    start();
    ASSERT_TRUE(list()->setLocalPath(folder));
    ASSERT_TRUE(Settled());

    auto* strip = ctl<ThumbnailStrip>("picFrame");
    ASSERT_EQ(strip->cellCount(), 3);
    QSet<QByteArray> dragged, uriList;
    for (int cell = 0; cell < 3; ++cell) {
        std::unique_ptr<QMimeData> data(ThumbnailDragData(*w, cell));
        ASSERT_TRUE(data);
        ASSERT_EQ(data->urls().size(), 1);
        dragged << LocalPathOf(data->urls().first());
        uriList << data->data("text/uri-list").trimmed();
    }
    for (const auto& f : files) {
        EXPECT_TRUE(dragged.contains(folder + "/" + f.name)) << f.name.constData();
        EXPECT_TRUE(uriList.contains("file://" + folder.toPercentEncoding("/") + f.encoded))
            << f.encoded.constData();
    }
    EXPECT_EQ(ThumbnailDragData(*w, 3), nullptr);
    EXPECT_EQ(PreviewDragData(*w), nullptr) << "nothing shown yet";

    pick("casa.bmp");
    std::unique_ptr<QMimeData> shown(PreviewDragData(*w));
    ASSERT_TRUE(shown);
    EXPECT_EQ(LocalPathOf(shown->urls().value(0)), folder + "/casa.bmp");
}

TEST_F(DesktopTest, ADroppedFolderOrPictureIsOpened) {
    QDir(dir).mkpath("a");
    write("b/dois.jpg", makers::EncodeJpeg(picture(64, 48)));
    write("b/tres.bmp", makers::EncodeBmp(picture(50, 20)));
    write("b/nota.txt", "texto");
    startIn("a");
    const struct {
        QString path;
        bool taken;
        QString folder, shown; // afterwards
    } cases[] = {
        {"b/nota.txt", false, "a", ""},
        {"nada", false, "a", ""},
        {"b", true, "b", ""},
        {"b/tres.bmp", true, "b", "tres.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(drop(QFile::encodeName(dir + "/" + c.path)), c.taken);
        ASSERT_TRUE(Settled());
        EXPECT_EQ(list()->path(), dir + "/" + c.folder);
        EXPECT_EQ(list()->selectedName(), c.shown);
        if (!c.shown.isEmpty())
            EXPECT_EQ(ctl<QLabel>("lblNome")->text(), c.shown);
    }
}

} // namespace
