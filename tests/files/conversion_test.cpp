// Converting the current picture to BMP, ICO and JPEG, on real files.

#include <fstream>
#include <unistd.h>

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

#include "../browse/browse_fixture.h"
#include "files/conversion.h"
#include "files/frm_copy_move.h"

using namespace fotello;
using namespace fotello::test;

namespace {

// What Qt's JPEG writer makes of the picture at this quality.
QByteArray JpegAt(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

} // namespace

class ConversionTest : public BrowseFixture {
protected:
    void SetUp() override {
        BrowseFixture::SetUp();
        write("fotos/a.gif", makers::EncodeGif({picture(24, 16, Qt::red)}, {10}));
        write("fotos/c.bmp", makers::EncodeBmp(picture(24, 16, Qt::red)));
        write("fotos/d.bmp", makers::EncodeBmp(picture(32, 32, Qt::blue)));
        write("fotos/grande.bmp", makers::EncodeBmp(picture(257, 20, Qt::green)));
        write("fotos/limite.bmp", makers::EncodeBmp(picture(256, 256, Qt::green)));
        write("fotos/foto.bmp", makers::EncodeBmp(picture(160, 120)));
        startIn("fotos");
    }
    void TearDown() override {
        delete FrmCopyMove::Loaded();
        BrowseFixture::TearDown();
    }
    // Converts the picked file with a menu item and returns the message.
    QString convert(const char* item, QMessageBox::Icon* icon = nullptr) {
        QAction* a = w->action(QString(item));
        EXPECT_TRUE(a->isEnabled()) << item;
        a->trigger();
        return convertedMessage(icon);
    }
    QString convertedMessage(QMessageBox::Icon* icon = nullptr) {
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return !w->findChildren<QMessageBox*>("mensagem").isEmpty(); }, kWaitMs));
        return takeMessage(nullptr, icon);
    }
    QString at(const QString& name) const { return dir + "/fotos/" + name; }
    static QImage read(const QString& path, QByteArray* format = nullptr) {
        QImageReader r(path);
        if (format)
            *format = r.format();
        return r.read();
    }
    // Writes the picked picture as JPEG through the dialog at this rate.
    void jpeg(int rate, const QString& target) {
        w->action(QString("mnuCJpg"))->trigger();
        FrmCopyMove* d = FrmCopyMove::Loaded();
        Control<QScrollBar>(*d, "HScroll1")->setValue(rate);
        Control<QLineEdit>(*d, "Text1")->setText(target);
        QTest::mouseClick(Control<QPushButton>(*d, "cmdCopy"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([] { return FrmCopyMove::Loaded() == nullptr; }, kWaitMs));
    }
};

TEST(Conversion, NamesThatAreNotUtf8KeepTheirBytes) {
    const QByteArray folder = QByteArray::fromStdString(MakeTempDir());
    const QByteArray source = folder + "/caf\xe9.gif", target = folder + "/caf\xe9.bmp";
    const QByteArray gif = makers::EncodeGif({QImage(8, 8, QImage::Format_RGB32)}, {10});
    std::ofstream(source.constData(), std::ios::binary).write(gif.constData(), gif.size());
    EXPECT_TRUE(ConvertPicture(source, target, ConversionKind::Bmp).ok());
    EXPECT_EQ(::access(target.constData(), F_OK), 0);
    RemoveTree(folder.toStdString());
}

TEST_F(ConversionTest, TheConvertButtonPopsUpTheMenu) {
    pick("c.bmp");
    auto* menu = ctl<QMenu>("mnuConvert");
    w->action(QString("button1_4"))->trigger();
    EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    menu->hide();
}

TEST_F(ConversionTest, BmpAndIconBesideTheSourceReplacingOldTargets) {
    write("fotos/a.bmp", "an old file in the way");
    pick("a.gif");
    QMessageBox::Icon icon{};
    EXPECT_EQ(convert("mnuCBmp", &icon), "Arquivo convertido para: " + at("a.bmp"));
    EXPECT_EQ(icon, QMessageBox::Information);
    QByteArray format;
    QImage bmp = read(at("a.bmp"), &format);
    EXPECT_EQ(format, "bmp");
    EXPECT_EQ(bmp.size(), QSize(24, 16));
    EXPECT_EQ(QColor(bmp.pixel(3, 3)), QColor(Qt::red));

    pick("c.bmp");
    EXPECT_EQ(convert("mnuCIco"), "Arquivo convertido para: " + at("c.ico"));
    const QImage ico = read(at("c.ico"), &format);
    EXPECT_EQ(format, "ico");
    EXPECT_EQ(QColor(ico.pixel(3, 3)).rgb(), QColor(Qt::red).rgb());

    // A second icon conversion writes its own picture.
    pick("d.bmp");
    EXPECT_EQ(convert("mnuCIco"), "Arquivo convertido para: " + at("d.ico"));
    EXPECT_EQ(read(at("d.ico")).size(), QSize(32, 32));
    EXPECT_EQ(QColor(read(at("d.ico")).pixel(3, 3)).rgb(), QColor(Qt::blue).rgb());
    EXPECT_EQ(read(at("c.ico")).size(), QSize(24, 16));
}

TEST_F(ConversionTest, ErrorsNameTheirNumberAndKeepTheOldFile) {
    pick("grande.bmp");
    write("fotos/grande.ico", "old icon");
    QMessageBox::Icon icon{};
    EXPECT_EQ(convert("mnuCIco", &icon),
              "ERRO: 380\r\nThe bitmap may be too big to convert to an icon format");
    EXPECT_EQ(icon, QMessageBox::Warning);
    QFile old(at("grande.ico"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old icon");
    pick("limite.bmp"); // 256 on a side still makes an icon
    EXPECT_EQ(convert("mnuCIco"), "Arquivo convertido para: " + at("limite.ico"));

    // A folder where the bitmap would go.
    pick("a.gif");
    QDir().mkpath(at("a.bmp"));
    EXPECT_EQ(convert("mnuCBmp", &icon), "ERROR 75\r\nPath/File access error");
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_TRUE(QFileInfo(at("a.bmp")).isDir());
}

TEST_F(ConversionTest, JpegPageSnapsTheRateWhichSetsTheQuality) {
    pick("foto.bmp");
    w->action(QString("mnuCJpg"))->trigger();
    FrmCopyMove* d = FrmCopyMove::Loaded();
    ASSERT_TRUE(d);
    EXPECT_EQ(d->windowTitle(), "Converter para .JPG");
    EXPECT_TRUE(Control<QScrollBar>(*d, "HScroll1")->isVisible());
    auto* text1 = Control<QLineEdit>(*d, "Text1");
    EXPECT_EQ(text1->text(), at("foto.jpg"));
    EXPECT_EQ(text1->selectedText(), text1->text());
    auto* rate = Control<QScrollBar>(*d, "HScroll1");
    auto* rateText = Control<QLineEdit>(*d, "Text3");
    EXPECT_EQ(rateText->text(), "20");
    rate->setValue(5);
    EXPECT_EQ(rate->value(), 20);
    EXPECT_EQ(rateText->text(), "20");
    rate->setValue(77);
    EXPECT_EQ(rateText->text(), "77");
    delete d;

    // The rate reaches the writer as its quality: 95 at the lowest, 10 at the highest.
    const QImage original = read(at("foto.bmp"));
    for (const auto& [value, quality] : {std::pair{20, 95}, {130, 10}}) {
        const QString target = at(QString::number(value) + ".jpg");
        jpeg(value, target); // written whole under its name, so there means done
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, kWaitMs));
        QFile written(target);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(written.readAll(), JpegAt(original, quality)) << value;
    }
}

TEST_F(ConversionTest, AJpegThatCannotBeWrittenIsReported) {
    pick("foto.bmp");
    jpeg(20, dir + "/nenhuma/foto.jpg");
    EXPECT_EQ(convertedMessage(), QString::fromUtf8("Impossível converter para: ") + dir +
                                      "/nenhuma/foto.jpg\r\nPath not found");
    EXPECT_FALSE(QFileInfo::exists(dir + "/nenhuma"));
}
