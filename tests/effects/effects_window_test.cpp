// The effects window and its rotation dialog over a stand-in main window.
#include <atomic>
#include <gtest/gtest.h>
#include <latch>
#include <memory>
#include <sys/stat.h>

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include "controls.h"
#include "controls/image_control.h"
#include "controls/toolbar_button.h"
#include "effects/frm_efeitos.h"
#include "shell/settings_rules.h"
#include "tools/picture_makers.h"

namespace fotello {
namespace {

using test::Control;

class FakeHost : public MainWindowHost {
public:
    QString currentFolder() const override { return folder; }
    CurrentPicture currentPicture() const override { return picture; }
    void setStatus(const QString& text) override { status = text; }
    void showMessage(const QString&) override {}
    void showInPreview(const QImage& p) override { shown = p; }
    void redrawPreview() override {}
    void rebuildThumbnail(const QString& path) override { rebuilt << path; }
    void rebuildThumbnails() override {}
    const ConfigRecord* settingsRecord() const override { return nullptr; }
    const SettingsValues& settings() const override { return values; }
    void applySettings(std::optional<std::int32_t>) override {}
    QObject* control(const QString&) const override { return nullptr; }
    QWidget* hostWidget() override { return &widget; }
    SettingsDb* settingsDatabase() const override { return nullptr; }

    QString folder, status;
    CurrentPicture picture;
    QImage shown;
    QStringList rebuilt;
    SettingsValues values;
    QWidget widget;
};

// Holds a filter's worker at one progress figure until released.
class Gate {
public:
    std::function<void(int)> at(int figure) {
        return [this, figure](int percent) {
            if (percent == figure) {
                reached = true;
                latch_.wait();
            }
        };
    }
    void open() {
        if (!opened_.exchange(true))
            latch_.count_down();
    }
    ~Gate() { open(); }
    std::atomic<bool> reached{false};

private:
    std::latch latch_{1};
    std::atomic<bool> opened_{false};
};

QImage Gradient(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, qRgb((x * 7) & 255, (y * 5) & 255, (x + y) & 255));
    return img;
}

QImage Negative(const QImage& in) {
    QImage out = in.copy();
    out.invertPixels();
    return out.convertToFormat(QImage::Format_RGB32);
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString kCannotChange = QString::fromUtf8("Impossível alterar este Arquivo!\r\n"
                                                "Verifique se há algum atributo (Read-Only)");

class EffectsWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(tmp.isValid()); }
    void TearDown() override {
        delete w.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // A picture file in the folder, current in the host.
    QString place(const QString& name, const QByteArray& bytes, const QImage& shown) {
        const QString path = tmp.path() + "/" + name;
        EXPECT_TRUE(makers::WriteFile(path, bytes));
        host.picture.path = path;
        host.picture.local = QFile::encodeName(path);
        host.picture.name = name;
        host.picture.image = shown;
        host.picture.naturalSize = shown.size();
        return path;
    }
    void open(const QImage& picture, const QString& name = "praia.bmp") {
        place(name, makers::EncodeBmp(picture), picture);
        openCurrent();
    }
    void openCurrent() {
        w = new FrmEfeitos(host);
        w->OpenPicture(tmp.path(), host.picture);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    }
    template <class T> T* ctl(const QString& name) { return Control<T>(*w, name); }
    void trigger(const QString& item) { ctl<QAction>(item)->trigger(); }
    QImage shown() { return ctl<ImageControl>("Picture1")->picture(); }
    QString status() { return ctl<QLabel>("lblStatus")->text(); }
    bool saveOn() { return ctl<QAction>("mnuSave")->isEnabled(); }
    // A filter run to its end: "Salvar" comes on and the status clears.
    bool filtered(const QString& item) {
        trigger(item);
        return QTest::qWaitFor([&] { return !w->busy() && saveOn() && status().isEmpty(); });
    }
    QString takeMessage() {
        QString text;
        QTest::qWaitFor([&] { return !w->findChildren<QMessageBox*>("mensagem").isEmpty(); });
        for (QMessageBox* box : w->findChildren<QMessageBox*>("mensagem")) {
            text = box->text();
            delete box;
        }
        return text;
    }

    QTemporaryDir tmp;
    FakeHost host;
    QPointer<FrmEfeitos> w;
};

TEST_F(EffectsWindow, ProgressShowsTheRowASecondFilterIsIgnoredAndClosingDropsTheResult) {
    const QImage picture = Gradient(40, 100);
    open(picture);
    trigger("mnuDesfaz");
    EXPECT_FALSE(saveOn());
    auto gate = std::make_unique<Gate>();
    w->setProgressObserver(gate->at(37));
    trigger("mnuNegative");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->reached.load(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == "Filtro: 37%"; }));
    EXPECT_TRUE(w->busy());
    trigger("mnuGrayscale"); // ignored: one runs
    trigger("mnuMosaic");
    trigger("mnuDesfaz");
    EXPECT_FALSE(saveOn());
    gate->open();
    ASSERT_TRUE(QTest::qWaitFor([&] { return saveOn() && status().isEmpty(); }));
    EXPECT_EQ(shown(), Negative(picture));
    EXPECT_EQ(ctl<ImageControl>("Picture3")->picture(), picture);

    gate = std::make_unique<Gate>();
    w->setProgressObserver(gate->at(37));
    trigger("mnuNegative");
    ASSERT_TRUE(QTest::qWaitFor([&] { return gate->reached.load(); }));
    ctl<ToolbarButton>("cmdFechar")->click();
    EXPECT_FALSE(w->isVisible());
    gate->open();
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.isNull(); }));
    EXPECT_TRUE(host.shown.isNull());
    EXPECT_EQ(SharedFilterEngine().heldBytes(), 0u);
}

TEST_F(EffectsWindow, UndoAndFlipsStartFromThePictureAsOpenedApplyLeavesTheFile) {
    const QImage picture = Gradient(24, 16);
    open(picture);
    const QByteArray before = Bytes(host.picture.path);
    trigger("mnuDesfaz");
    ASSERT_TRUE(filtered("mnuNegative"));
    trigger("mnuMosaic");
    trigger("mnuFlipH");
    EXPECT_EQ(shown(), picture.mirrored(true, false));
    EXPECT_TRUE(saveOn());
    trigger("mnuFlipV");
    EXPECT_EQ(shown(), picture.mirrored(false, true));
    trigger("mnuDesfaz");
    EXPECT_EQ(shown(), picture);
    EXPECT_FALSE(saveOn());
    EXPECT_EQ(w->imagePath, tmp.path());
    ASSERT_TRUE(filtered("mnuNegative"));
    trigger("mnuAplic");
    EXPECT_EQ(host.shown, Negative(picture));
    EXPECT_EQ(Bytes(host.picture.path), before);
    // A later effect does not reach the picture handed over.
    ASSERT_TRUE(filtered("mnuGrayscale"));
    EXPECT_EQ(host.shown, Negative(picture));
}

TEST_F(EffectsWindow, GammaAsksAndIgnoresWhatIsNotANumber) {
    const QImage picture = Gradient(16, 16);
    open(picture);
    trigger("mnuDesfaz");
    for (const bool number : {false, true}) {
        trigger("mnuGamma");
        QPointer<QInputDialog> box = ctl<QInputDialog>("gammaBox");
        EXPECT_EQ(box->labelText(), "Gamma Factor * 100");
        box->setTextValue(number ? "50" : "abc");
        box->accept();
        delete box.data();
        QCoreApplication::sendPostedEvents();
        if (number) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return saveOn() && !w->busy(); }));
        }
        EXPECT_FALSE(w->busy());
        EXPECT_EQ(shown() == picture, !number);
    }
}

TEST_F(EffectsWindow, SavesOverBmpIcoAndJpegKeepingPermissions) {
    const QImage picture = Gradient(40, 32);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"a.bmp", makers::EncodeBmp(picture)},
        {"b.ico", makers::EncodeIco({picture})},
        // Stored on its side with the tag that turns it upright: the saved
        // pixels are upright, so no tag may turn them again.
        {"c.jpg", makers::EncodeJpeg(picture.transformed(QTransform().rotate(-90)), 95, 6)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = place(c.name, c.bytes, picture);
        ::chmod(QFile::encodeName(path).constData(), 0640);
        openCurrent();
        ASSERT_TRUE(filtered("mnuNegative"));
        trigger("mnuSave");
        EXPECT_EQ(takeMessage(), QString::fromUtf8("As Alterações Foram Salvas."));
        EXPECT_EQ(host.rebuilt.value(host.rebuilt.size() - 1), path);
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage back = reader.read().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(back.size(), picture.size());
        if (QString(c.name).endsWith("jpg")) {
            const QColor a = back.pixelColor(10, 10), b = Negative(picture).pixelColor(10, 10);
            EXPECT_NEAR(a.red(), b.red(), 40);
            EXPECT_NEAR(a.green(), b.green(), 40);
        } else {
            EXPECT_EQ(back, Negative(picture));
        }
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        EXPECT_EQ(st.st_mode & 0777, 0640u);
        delete w.data();
    }
}

// Nothing replaces the file: a reduced copy whose file no longer reads whole,
// a picture too big for an icon.
TEST_F(EffectsWindow, AFailedSaveKeepsTheOldFileAndSaysSo) {
    const struct {
        const char* name;
        QImage whole, shown;
    } cases[] = {{"praia.bmp", Gradient(64, 48), Gradient(64, 48).scaled(16, 12)},
                 {"e.ico", Gradient(300, 20), Gradient(300, 20)}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = place(c.name, "the old file", c.shown);
        host.picture.naturalSize = c.whole.size();
        openCurrent();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w->busy(); }));
        trigger("mnuSave");
        EXPECT_EQ(takeMessage(), kCannotChange);
        EXPECT_EQ(Bytes(path), "the old file");
        delete w.data();
    }
    EXPECT_TRUE(host.rebuilt.isEmpty());
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), (QStringList{"e.ico", "praia.bmp"}));
}

// After an undo the kind comes from the folder: "bmp" from its name must
// never put a bitmap inside the JPEG file.
TEST_F(EffectsWindow, AfterUndoTheKindComesFromTheFolder) {
    const QImage picture = Gradient(8, 8);
    const QString folder = tmp.path() + "/fotos.bmp", path = folder + "/f.jpg";
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_TRUE(makers::WriteFile(path, makers::EncodeJpeg(picture)));
    const QByteArray before = Bytes(path);
    host.picture = {path,    QFile::encodeName(path), "f.jpg", PictureKind::Unknown,
                    picture, picture.size()};
    w = new FrmEfeitos(host);
    w->OpenPicture(folder, host.picture);
    trigger("mnuDesfaz");
    EXPECT_EQ(w->imagePath, folder);
    trigger("mnuFlipH");
    trigger("mnuSave");
    EXPECT_EQ(takeMessage(), kCannotChange);
    EXPECT_EQ(Bytes(path), before);
}

TEST_F(EffectsWindow, TheBarKeepsItsProportionsCaptionsAndHints) {
    open(Gradient(8, 8));
    EXPECT_FALSE(ctl<QWidget>("FileListHidden")->isVisible());
    for (int width : {900, 420}) {
        w->resize(width, 300);
        const QRect bar = ctl<QWidget>("ctbBar2")->geometry();
        const QRect fechar = ctl<QWidget>("cmdFechar")->geometry();
        const QRect nome = ctl<QWidget>("lblNome")->geometry();
        const QRect status = ctl<QWidget>("lblStatus")->geometry();
        SCOPED_TRACE(width);
        EXPECT_EQ(fechar.x(), bar.width() - fechar.width() - bar.height() / 7);
        EXPECT_EQ(ctl<QWidget>("ScrollBox1")->geometry(),
                  QRect(0, bar.height(), w->centralWidget()->width(),
                        w->centralWidget()->height() - bar.height()));
        // The labels share the room between the buttons, half each.
        EXPECT_EQ(status.left(), nome.right() + 1);
        EXPECT_LT(status.right(), fechar.left());
        EXPECT_LE(std::abs(nome.width() - status.width()), 1);
        EXPECT_GT(status.right(), fechar.left() - 16);
    }
    EXPECT_EQ(w->windowTitle(), "Efeitos");
    EXPECT_EQ(ctl<QAction>("mnuBW1")->text(), "B&&W (High Contrast)"); // "&&": no mnemonic
    auto* fechar = ctl<ToolbarButton>("cmdFechar");
    emit fechar->MouseEnter();
    EXPECT_EQ(status(), "Fechar");
    emit fechar->MouseExit();
    EXPECT_EQ(status(), "");
}

// The rotation dialog over the window, on a red picture with a blue left band.
class FlipDialog : public EffectsWindow {
protected:
    void SetUp() override {
        EffectsWindow::SetUp();
        picture = QImage(300, 200, QImage::Format_RGB32);
        picture.fill(QColor(200, 30, 30));
        QPainter(&picture).fillRect(0, 0, 10, 200, QColor(0, 0, 255));
        open(picture);
    }
    QDialog* dialog(const char* item) {
        trigger(item);
        return ctl<QDialog>("frmFlip");
    }
    void ok() { ctl<ToolbarButton>("ctbOk")->click(); }
    bool menusOn() {
        return ctl<QAction>("mnuAplic")->isEnabled() && saveOn() &&
               ctl<QAction>("mnuDesfaz")->isEnabled();
    }
    QImage picture;
};

TEST_F(FlipDialog, TheCaptionChoosesThePanelOptionsScrollBarAndTypedAngle) {
    QDialog* d = dialog("mnuShake");
    EXPECT_EQ(d->windowTitle(), "Shake");
    EXPECT_TRUE(ctl<QWidget>("PictControl")->isVisible());
    EXPECT_FALSE(ctl<QWidget>("PictRotate")->isVisible());
    dialog("mnuDef");
    EXPECT_EQ(d->windowTitle(), "Rotate");
    EXPECT_TRUE(ctl<QWidget>("PictRotate")->isVisible());
    EXPECT_FALSE(ctl<QWidget>("PictControl")->isVisible());
    EXPECT_FALSE(d->isModal());
    auto* text = ctl<QLineEdit>("txtCusa");
    auto* scroll = ctl<QScrollBar>("VScroll1");
    ctl<QRadioButton>("Opt270")->click();
    EXPECT_EQ(text->text(), "270");
    EXPECT_FALSE(text->isEnabled());
    EXPECT_FALSE(scroll->isEnabled());
    ctl<QRadioButton>("OptCustom")->click();
    EXPECT_TRUE(text->isEnabled());
    EXPECT_TRUE(scroll->isEnabled());
    // The near end is 360, the far end 1: the top arrow raises the angle.
    scroll->resize(18, 122);
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(9, 4));
    EXPECT_EQ(text->text(), "91");
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(9, 118));
    QTest::mouseClick(scroll, Qt::LeftButton, {}, QPoint(9, 118));
    EXPECT_EQ(text->text(), "89");
    text->setFocus();
    text->setText("12");
    text->setCursorPosition(2);
    QTest::keyClicks(text, "a-57");
    EXPECT_EQ(text->text(), "125"); // digits only, three at most
}

TEST_F(FlipDialog, AnAngleOutsideTheRangeIsRefusedAndCancelLeavesEverything) {
    trigger("mnuDesfaz");
    QPointer<QDialog> d = dialog("mnuDef");
    ctl<QRadioButton>("OptCustom")->click();
    ctl<QLineEdit>("txtCusa")->setText("361");
    ok();
    auto boxes = d->findChildren<QMessageBox*>("mensagem");
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), QString::fromUtf8("O ângulo de rotação deve estar entre 0°-360°"));
    EXPECT_EQ(boxes[0]->windowTitle(), QString::fromUtf8("Angulo de Rotação"));
    delete boxes[0];
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(ctl<QLineEdit>("txtCusa")->selectedText(), "361");
    EXPECT_EQ(shown(), picture);

    ctl<QRadioButton>("Opt90")->click();
    ctl<ToolbarButton>("ctbCancelar")->click();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(shown(), picture);
    EXPECT_FALSE(saveOn());
}

TEST_F(FlipDialog, NinetyClockwiseGivesASquareAndShakeDrawsCircles) {
    // The turn itself is the engine's (its tests); here the options reach it.
    trigger("mnuDesfaz");
    QPointer<QDialog> d = dialog("mnuDef");
    ctl<QRadioButton>("Opt90")->click();
    ctl<QRadioButton>("optdir_0")->click();
    ok();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }));
    EXPECT_EQ(shown().size(), QSize(300, 300));
    EXPECT_TRUE(menusOn());
    // Clockwise ("Horário") the blue left edge goes up.
    EXPECT_EQ(shown().pixel(150, 5), qRgb(0, 0, 255));
    EXPECT_NE(shown().pixel(150, 294), qRgb(0, 0, 255));

    trigger("mnuDesfaz");
    d = dialog("mnuShake");
    ctl<QLineEdit>("Text1")->setText("0");
    ok();
    EXPECT_TRUE(d->isVisible()) << "a zero step is refused";
    EXPECT_EQ(shown(), picture);
    ctl<QLineEdit>("Text1")->setText("4");
    ok();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !d->isVisible(); }));
    EXPECT_TRUE(menusOn());
    EXPECT_NE(shown(), picture); // the blue edge's circles spread to the right
}

} // namespace
} // namespace fotello
