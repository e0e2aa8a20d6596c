// Converting the current picture to BMP, ICO and JPEG, on real files.

#include <cmath>
#include <unistd.h>

#include <QAction>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>

#include "../browse/browse_fixture.h"
#include "files/conversion.h"
#include "files/frm_copy_move.h"

using namespace fotello;
using namespace fotello::test;

namespace {

QImage Photo(int w, int h) {
    // Smooth shading with fine grain, as in a photograph.
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int g = static_cast<int>(noise.bounded(12));
            img.setPixel(x, y,
                         qRgb(40 + x * 160 / w + g, 60 + y * 150 / h + g, 120 + (x + y) % 50 + g));
        }
    return img;
}

double Psnr(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                sum += d * d;
        }
    const double mse = sum / (3.0 * a.width() * a.height());
    return 10 * std::log10(255.0 * 255.0 / std::max(mse, 1e-9));
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
        write("fotos/foto.bmp", makers::EncodeBmp(Photo(160, 120)));
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
    QString jpeg(int rate, const QString& target) {
        w->action(QString("mnuCJpg"))->trigger();
        FrmCopyMove* d = FrmCopyMove::Loaded();
        Control<QScrollBar>(*d, "HScroll1")->setValue(rate);
        Control<QLineEdit>(*d, "Text1")->setText(target);
        QTest::mouseClick(Control<QPushButton>(*d, "cmdCopy"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(target); }, kWaitMs));
        EXPECT_TRUE(QTest::qWaitFor([] { return FrmCopyMove::Loaded() == nullptr; }));
        return target;
    }
};

TEST(Conversion, NamesThatAreNotUtf8KeepTheirBytes) {
    const QByteArray folder = QByteArray::fromStdString(MakeTempDir());
    const QByteArray source = folder + "/caf\xe9.gif", target = folder + "/caf\xe9.bmp";
    {
        ASSERT_TRUE(::access(source.constData(), F_OK) != 0);
        FILE* out = std::fopen(source.constData(), "wb");
        ASSERT_TRUE(out);
        const QByteArray gif = makers::EncodeGif({QImage(8, 8, QImage::Format_RGB32)}, {10});
        std::fwrite(gif.constData(), 1, gif.size(), out);
        std::fclose(out);
    }
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

TEST_F(ConversionTest, JpegPageSnapsTheRateAndWritesSmallerAtHigherRates) {
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

    const QImage original = read(at("foto.bmp"));
    const QString fine = jpeg(20, at("fina.jpg"));
    const QString coarse = jpeg(130, at("grossa.jpg"));
    QByteArray format;
    const QImage fineImage = read(fine, &format);
    EXPECT_EQ(format, "jpeg");
    EXPECT_GT(Psnr(original, fineImage.convertToFormat(QImage::Format_RGB32)), 35.0)
        << "the lowest rate keeps a photo intact";
    EXPECT_LT(QFileInfo(coarse).size(), QFileInfo(fine).size() / 2);
}

TEST_F(ConversionTest, AJpegThatCannotBeWrittenIsReported) {
    pick("foto.bmp");
    w->action(QString("mnuCJpg"))->trigger();
    FrmCopyMove* d = FrmCopyMove::Loaded();
    const QString target = dir + "/nenhuma/foto.jpg";
    Control<QLineEdit>(*d, "Text1")->setText(target);
    QTest::mouseClick(Control<QPushButton>(*d, "cmdCopy"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor(
        [this] { return !w->findChildren<QMessageBox*>("mensagem").isEmpty(); }, kWaitMs));
    EXPECT_EQ(takeMessage(),
              QString::fromUtf8("Impossível converter para: ") + target + "\r\nPath not found");
    EXPECT_FALSE(QFileInfo::exists(dir + "/nenhuma"));
}
