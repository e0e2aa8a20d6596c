// The print dialog over a CUPS scheduler of the test's own (see cups_sandbox.h).
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

#include "browse_fixture.h"
#include "controls.h"
#include "controls/picture_box.h"
#include "cups_sandbox.h"
#include "print/aa_print_picture.h"
#include "print/frm_temp.h"

namespace fotello {
namespace {

using test::Control;
using test::CupsSandbox;

// Before any test asks CUPS for a printer.
class CupsEnvironment : public ::testing::Environment {
public:
    void SetUp() override { CupsSandbox::instance(); }
    void TearDown() override { CupsSandbox::instance().stop(); }
};
const auto* const kCups = ::testing::AddGlobalTestEnvironment(new CupsEnvironment);

constexpr int kWaitMs = 20000;
constexpr double kPointsPerMm = 72 / 25.4;

class PrintDialog : public ::testing::Test {
public:
    void SetUp() override { dir = QString::fromStdString(test::MakeTempDir()); }
    void TearDown() override {
        delete dialog.data();
        test::RemoveTree(dir.toStdString());
    }
    // The dialog over a picture file, its reading done.
    void open(const QString& name, const QByteArray& bytes, bool wait = true) {
        const QString path = dir + "/" + name;
        ASSERT_TRUE(makers::WriteFile(path, bytes));
        if (!dialog)
            dialog = new FrmTemp;
        dialog->OpenPicture(path, QFile::encodeName(path), name);
        dialog->show();
        if (wait) {
            ASSERT_TRUE(QTest::qWaitFor([this] { return !dialog->loading(); }, kWaitMs));
        }
    }
    void open(const QImage& picture, bool wait = true) {
        open("foto.png", makers::EncodePng(picture), wait);
    }
    template <class T> T* ctl(const QString& name) const { return Control<T>(*dialog, name); }
    AAPrintPicture* layout() const { return ctl<AAPrintPicture>("AAPrintPicture1"); }
    void type(const QString& box, const QString& text) {
        auto* edit = ctl<QLineEdit>(box);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }
    static QImage quarters() {
        QImage img(200, 300, QImage::Format_RGB32);
        img.fill(QColor(220, 30, 30));
        QPainter p(&img);
        p.fillRect(100, 0, 100, 150, QColor(30, 160, 40));
        p.fillRect(0, 150, 100, 150, QColor(40, 60, 200));
        p.fillRect(100, 150, 100, 150, QColor(240, 220, 40));
        return img;
    }
    // The box's own background: no sheet drawn on it.
    bool previewIsBlank() const {
        const QImage drawn = ctl<PictureBox>("picPreview")->drawing();
        QImage blank = drawn;
        blank.fill(ctl<PictureBox>("picPreview")->backColor());
        return drawn == blank;
    }

    QString dir;
    QPointer<FrmTemp> dialog;
};

// With the PDF printer, or skipped with the reason the test cannot print for real.
class Printing : public PrintDialog {
public:
    void SetUp() override {
        PrintDialog::SetUp();
        if (!CupsSandbox::instance().running())
            GTEST_SKIP() << CupsSandbox::instance().failure().toStdString();
        ASSERT_TRUE(CupsSandbox::instance().addPdfQueue("PDF"))
            << CupsSandbox::instance().failure().toStdString();
    }
};

TEST_F(PrintDialog, NoPrinterInstalledDisablesPrinting) {
    CupsSandbox::instance().removeQueue("PDF");
    open(quarters());
    EXPECT_EQ(dialog->windowTitle(), "Imprimir Imagem");
    EXPECT_EQ(ctl<QComboBox>("cmbPrinter")->count(), 0);
    EXPECT_FALSE(ctl<QPushButton>("cmdPrint")->isEnabled());
}

TEST_F(PrintDialog, CopiesBox) {
    open(quarters());
    auto* box = ctl<QLineEdit>("txtCopies");
    const auto expect = [&](const char* text, int copies, const char* what) {
        EXPECT_EQ(box->text(), text) << what;
        EXPECT_EQ(layout()->Copies(), copies) << what;
    };
    expect("1", 1, "starts at one");
    type("txtCopies", "7");
    expect("7", 7, "a count");
    type("txtCopies", "0");
    expect("0", 7, "zero leaves Copies alone");
    type("txtCopies", "x2-");
    expect("2", 2, "letters are dropped");
    box->setText("40000");
    expect("40000", 2, "a pasted count past 16 bits, not taken");
    type("txtCopies", "");
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(box, &out);
    expect("1", 1, "empty, then left: one");
    auto* bar = ctl<QScrollBar>("VScroll1");
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, 2));
    expect("2", 2, "the spin bar's up arrow adds one");
}

TEST_F(PrintDialog, PaperSizes) {
    open(quarters());
    // A5 fixes the sides; custom paper (0) lets them be typed.
    for (const auto& [paper, width, height] : {std::tuple{1, "148", "210"}, {0, "210", "297"}}) {
        ctl<QComboBox>("cmbPaperSize")->setCurrentIndex(paper);
        EXPECT_EQ(layout()->PaperSize(), paper);
        for (const auto& [box, text] : {std::pair{"txtWidth", width}, {"txtHeight", height}}) {
            EXPECT_EQ(ctl<QLineEdit>(box)->text(), text) << paper;
            EXPECT_EQ(ctl<QLineEdit>(box)->isEnabled(), paper == 0) << paper;
        }
    }
    // A custom side is taken on Enter; one the printer cannot have is not.
    type("txtWidth", "100");
    EXPECT_EQ(layout()->PaperWidth(), 210);
    QTest::keyClick(ctl<QLineEdit>("txtWidth"), Qt::Key_Return);
    EXPECT_EQ(layout()->PaperWidth(), 100);
    EXPECT_EQ(layout()->GetPreview().width(), 378); // 100 mm at 96 to the inch
    type("txtHeight", "0");
    QTest::keyClick(ctl<QLineEdit>("txtHeight"), Qt::Key_Return);
    EXPECT_EQ(layout()->PaperHeight(), 297);
    EXPECT_EQ(ctl<QLineEdit>("txtHeight")->text(), "297");
}

TEST_F(PrintDialog, FillingThePageGreysTheAlignmentAndMarginsGoToTheirOwnBoxes) {
    open(quarters());
    ctl<QCheckBox>("chkStretch")->click();
    EXPECT_TRUE(layout()->Stretch());
    EXPECT_FALSE(ctl<QComboBox>("cmbAlign")->isEnabled());
    emit layout()->MarginReaded(11, 22, 33, 44);
    QStringList margins;
    for (const char* box : {"txtLeft", "txtTop", "txtRight", "txtBottom"})
        margins << ctl<QLineEdit>(box)->text();
    EXPECT_EQ(margins, (QStringList{"11", "22", "33", "44"}));
}

TEST_F(PrintDialog, APictureThatCannotBeReadLeavesNoPreview) {
    open("broken.jpg", QByteArray("\xFF\xD8\xFF\xE0 not a picture"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_TRUE(layout()->Picture().isNull());
    EXPECT_TRUE(previewIsBlank());
    const FrmTemp* first = dialog;
    open(quarters());
    EXPECT_EQ(dialog, first) << "the same dialog shows the next picture";
    EXPECT_FALSE(previewIsBlank());
}

TEST_F(Printing, AnEmptyPrinterBoxAsksForAPrinter) {
    open(quarters());
    const int jobs = CupsSandbox::instance().completedJobs();
    ctl<QComboBox>("cmbPrinter")->setEditText("");
    QTest::mouseClick(ctl<QPushButton>("cmdPrint"), Qt::LeftButton);
    auto* box = dialog->findChild<QMessageBox*>("mensagem");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), "Por favor, selecione uma Impressora !");
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    EXPECT_EQ(CupsSandbox::instance().completedJobs(), jobs);
    EXPECT_EQ(CupsSandbox::run("lpstat", {"-o"}).trimmed(), "");
}

// Page pixels that are not what the sheet shows there: each must lie within
// the range of the sheet's pixels around it (CUPS may fit the page to the
// printer's paper, which moves the sheet by a fraction of a pixel).
int OffThePreview(const QImage& sheet, const QImage& page) {
    const auto at = [&](int x, int y) {
        return sheet.pixel(std::clamp(x, 0, sheet.width() - 1),
                           std::clamp(y, 0, sheet.height() - 1));
    };
    int off = 0;
    for (int y = 0; y < sheet.height(); ++y)
        for (int x = 0; x < sheet.width(); ++x)
            for (int shift : {16, 8, 0}) {
                int lo = 255, hi = 0;
                for (int d = 0; d < 9; ++d) {
                    const int v = (at(x + d % 3 - 1, y + d / 3 - 1) >> shift) & 0xFF;
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
                const int got = (page.pixel(x, y) >> shift) & 0xFF;
                if (got < lo - 3 || got > hi + 3) {
                    ++off;
                    break;
                }
            }
    return off;
}

// The first page at the screen's 96 pixels to the inch.
QImage FirstPage(const QString& pdf, const QString& dir) {
    int code = -1;
    CupsSandbox::run("pdftoppm",
                     {"-r", QString::number(kScreenDpi), "-f", "1", "-l", "1", "-singlefile",
                      "-png", pdf, dir + "/page"},
                     &code);
    return code == 0 ? QImage(dir + "/page.png") : QImage();
}

// Page size in points from pdfinfo.
QSizeF PageSize(const QString& pdf) {
    const QString info = CupsSandbox::run("pdfinfo", {pdf});
    const auto m = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// Asked for while the picture is still being read, the copies wait for it;
// each is a job of the chosen printer on the sheet's paper, and the page is
// what the preview shows.
TEST_F(Printing, EachCopyIsAJobOfTheChosenPrinterShowingThePreview) {
    ASSERT_TRUE(CupsSandbox::instance().addPdfQueue("PDF2"));
    open(quarters(), false);
    auto* printers = ctl<QComboBox>("cmbPrinter");
    ASSERT_EQ(printers->count(), 2);
    EXPECT_EQ(printers->itemText(0), "PDF");
    EXPECT_EQ(printers->itemText(1), "PDF2");
    printers->setCurrentIndex(1);
    emit printers->activated(1);
    ctl<QComboBox>("cmbPaperSize")->setCurrentIndex(1); // A5
    ctl<QComboBox>("cmbAlign")->setCurrentIndex(1);     // top, centred
    type("txtCopies", "3");
    auto& cups = CupsSandbox::instance();
    const int onFirst = cups.completedJobs("PDF");
    const int before = int(cups.waitForPdfs(0).size());
    ASSERT_TRUE(dialog->loading());
    ctl<QPushButton>("cmdPrint")->click();
    const QStringList pdfs = cups.waitForPdfs(before + 3);
    ASSERT_EQ(pdfs.size(), before + 3);
    EXPECT_EQ(cups.completedJobs("PDF2"), 3);
    EXPECT_EQ(cups.completedJobs("PDF"), onFirst);
    cups.removeQueue("PDF2");
    for (const QString& pdf : pdfs.mid(before)) {
        const QSizeF page = PageSize(pdf);
        EXPECT_NEAR(page.width(), 148 * kPointsPerMm, 2) << pdf.toStdString();
        EXPECT_NEAR(page.height(), 210 * kPointsPerMm, 2) << pdf.toStdString();
    }
    const QImage page = FirstPage(pdfs.last(), dir);
    ASSERT_FALSE(page.isNull());
    // The yellow quarter: right of the centre, in the lower half of the picture.
    const QColor c = page.pixelColor(559 / 2 + 50, 225);
    EXPECT_NEAR(c.red(), 240, 6);
    EXPECT_NEAR(c.green(), 220, 6);
    EXPECT_NEAR(c.blue(), 40, 6);
    // The page is the paper (a little wider than the sheet's whole pixels).
    const QImage sheet = layout()->GetPreview();
    ASSERT_GE(page.width(), sheet.width());
    ASSERT_GE(page.height(), sheet.height());
    EXPECT_EQ(OffThePreview(sheet, page), 0);
}

// The main window's print button opens the one dialog on the current picture.
class PrintCommand : public test::BrowseFixture {};

TEST_F(PrintCommand, OpensTheDialogOnTheCurrentPicture) {
    write("a.bmp", makers::EncodeBmp(picture(40, 30)));
    write("b.bmp", makers::EncodeBmp(picture(30, 40, Qt::blue)));
    startIn("");
    w->action("ctbimprime")->trigger();
    EXPECT_EQ(w->findChild<FrmTemp*>("frmTemp"), nullptr); // nothing is current yet
    for (const char* name : {"a.bmp", "b.bmp"}) {
        pick(name);
        ASSERT_TRUE(w->action("ctbimprime")->isEnabled());
        w->action("ctbimprime")->trigger();
        const auto dialogs = w->findChildren<FrmTemp*>("frmTemp");
        ASSERT_EQ(dialogs.size(), 1);
        EXPECT_EQ(Control<QLineEdit>(*dialogs[0], "txtFileName")->text(), dir + "/" + name);
        EXPECT_EQ(Control<QLabel>(*dialogs[0], "Label1")->text(), name);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs[0]->loading(); }, kWaitMs));
        EXPECT_EQ(Control<AAPrintPicture>(*dialogs[0], "AAPrintPicture1")->Picture().width(),
                  QString(name) == "a.bmp" ? 40 : 30);
    }
}

} // namespace
} // namespace fotello
