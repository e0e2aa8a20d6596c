#include "print/frm_temp.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QtConcurrent>

#include "controls/picture_box.h"
#include "platform/picture_reader.h"
#include "print/aa_print_picture.h"
#include "print/aa_select_color.h"
#include "print/print_layout.h"
#include "shell/forms.h"
#include "shell/messages.h"
#include "shell/numbers.h"

namespace fotello {

namespace {

const char* const kAlignments[] = {
    "Superior Esquerdo",     "Superior Centralizado", "Superior Direito",
    "Centralizado Esquerda", "Centralizado",          "Centralizado Direita",
    "Inferior Esquerdo",     "Inferior Centralizado", "Inferior Direito",
};
const char* const kPapers[] = {"Manual ->", "A5", "A4", "A3"};

// The preview box keeps the proportions of an A4 sheet.
constexpr int kPreviewWidth = 260, kPreviewHeight = 368;
constexpr int kCopiesMin = 1, kCopiesMax = 100;
constexpr int kSpinWidth = 17, kSpinHeight = 34; // two arrows, as a spin button

QLineEdit* Box(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

QLabel* Caption(const char* name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QString Number(double v) {
    return QString::fromStdString(NumberToText(v));
}

} // namespace

FrmTemp::FrmTemp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmTemp");
    setWindowTitle("Imprimir Imagem");
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    Form_Load();
    Forms::instance().add(this);
}

FrmTemp::~FrmTemp() {
    Forms::instance().remove(this);
}

void FrmTemp::buildControls() {
    AAPrintPicture1 = new AAPrintPicture("AAPrintPicture1", this);
    AAPrintPicture1->hide(); // it works for the preview box, out of sight

    txtFileName = Box("txtFileName", this);
    Label1 = Caption("Label1", QString(), this);
    cmbPrinter = new QComboBox(this);
    cmbPrinter->setObjectName("cmbPrinter");
    cmbPrinter->setEditable(true);
    cmbPrinter->setInsertPolicy(QComboBox::NoInsert);
    cmbPaperSize = new QComboBox(this);
    cmbPaperSize->setObjectName("cmbPaperSize");
    txtWidth = Box("txtWidth", this);
    txtHeight = Box("txtHeight", this);
    cmbAlign = new QComboBox(this);
    cmbAlign->setObjectName("cmbAlign");
    chkStretch = new QCheckBox("Preencher Página", this);
    chkStretch->setObjectName("chkStretch");
    chkShowBorder = new QCheckBox("Inserir Borda", this);
    chkShowBorder->setObjectName("chkShowBorder");
    chkShowBorder->setChecked(true);

    auto* fraColors = new QGroupBox(" Colors ", this);
    fraColors->setObjectName("fraColors");
    AASelectColor1 = new AASelectColor("AASelectColor1", fraColors);
    AASelectColor2 = new AASelectColor("AASelectColor2", fraColors);
    AASelectColor2->setColor(0); // the border starts black, as the layout control's
    auto* colors = new QGridLayout(fraColors);
    colors->addWidget(Caption("lblBackColor", "BackGround:", fraColors), 0, 0);
    colors->addWidget(AASelectColor1, 0, 1);
    colors->addWidget(Caption("lblBorderColor", "Cor da Borda:", fraColors), 0, 2);
    colors->addWidget(AASelectColor2, 0, 3);

    auto* fraMargins = new QGroupBox(" Printer Margins (Pixel) ", this);
    fraMargins->setObjectName("fraMargins");
    txtTop = Box("txtTop", fraMargins);
    txtBottom = Box("txtBottom", fraMargins);
    txtRight = Box("txtRight", fraMargins);
    txtLeft = Box("txtLeft", fraMargins);
    auto* margins = new QGridLayout(fraMargins);
    margins->addWidget(Caption("lblTop", "Top:", fraMargins), 0, 0);
    margins->addWidget(txtTop, 0, 1);
    margins->addWidget(Caption("lblBottom", "Bottom:", fraMargins), 0, 2);
    margins->addWidget(txtBottom, 0, 3);
    margins->addWidget(Caption("lblRight", "Right:", fraMargins), 1, 0);
    margins->addWidget(txtRight, 1, 1);
    margins->addWidget(Caption("lblLeft", "Left:", fraMargins), 1, 2);
    margins->addWidget(txtLeft, 1, 3);
    for (QLineEdit* box : {txtTop, txtBottom, txtRight, txtLeft})
        box->setReadOnly(true);

    txtCopies = Box("txtCopies", this);
    txtCopies->setText("1");
    txtCopies->installEventFilter(this);
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName("VScroll1");
    // 100 at the top, 1 at the bottom, so that the up arrow adds a copy: a
    // scroll bar's top is its minimum, so it runs over the counts negated.
    VScroll1->setRange(-kCopiesMax, -kCopiesMin);
    VScroll1->setValue(-kCopiesMin);
    VScroll1->setFixedSize(kSpinWidth, kSpinHeight);
    chkPreview = new QCheckBox("Visualização", this);
    chkPreview->setObjectName("chkPreview");
    chkPreview->setChecked(true);
    picPreview = new PictureBox("picPreview", this);
    picPreview->setFixedSize(kPreviewWidth, kPreviewHeight);
    picPreview->setBackColor(palette().color(QPalette::Mid));
    cmdPrint = new QPushButton("Imprimir", this);
    cmdPrint->setObjectName("cmdPrint");
    cmdExit = new QPushButton("Sair", this);
    cmdExit->setObjectName("cmdExit");

    auto* form = new QGridLayout;
    int row = 0;
    form->addWidget(Caption("lblPrinter", "Impressora:", this), row, 0);
    form->addWidget(cmbPrinter, row++, 1, 1, 3);
    form->addWidget(Caption("lblPaperSize", "Tamanho do Papel", this), row, 0);
    form->addWidget(cmbPaperSize, row++, 1, 1, 3);
    form->addWidget(Caption("lblWidth", "Largura:", this), row, 0);
    form->addWidget(txtWidth, row, 1);
    form->addWidget(Caption("lblHeight", "Altura:", this), row, 2);
    form->addWidget(txtHeight, row++, 3);
    form->addWidget(Caption("lblAlign", "Alinhamento:", this), row, 0);
    form->addWidget(cmbAlign, row++, 1, 1, 3);
    form->addWidget(chkStretch, row, 0, 1, 2);
    form->addWidget(chkShowBorder, row++, 2, 1, 2);
    form->addWidget(fraColors, row++, 0, 1, 4);
    form->addWidget(fraMargins, row++, 0, 1, 4);
    auto* copies = new QHBoxLayout;
    copies->setSpacing(0);
    copies->addWidget(txtCopies);
    copies->addWidget(VScroll1);
    form->addWidget(Caption("lblCopies", "nº de Cópias:", this), row, 0);
    form->addLayout(copies, row, 1);
    form->addWidget(chkPreview, row++, 2, 1, 2);
    form->setRowStretch(row++, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdExit);
    form->addLayout(buttons, row, 0, 1, 4);

    auto* preview = new QVBoxLayout;
    preview->addWidget(Label1);
    preview->addWidget(picPreview);
    preview->addStretch();

    auto* top = new QGridLayout(this);
    top->addWidget(txtFileName, 0, 0, 1, 2);
    top->addLayout(form, 1, 0);
    top->addLayout(preview, 1, 1);

    connect(txtFileName, &QLineEdit::textChanged, this, &FrmTemp::txtFileName_Change);
    connect(cmbPrinter, &QComboBox::activated, this, &FrmTemp::cmbPrinter_Click);
    connect(cmbPaperSize, &QComboBox::currentIndexChanged, this, &FrmTemp::cmbPaperSize_Click);
    connect(txtWidth, &QLineEdit::returnPressed, this,
            [this] { paperSideEntered(txtWidth, true); });
    connect(txtHeight, &QLineEdit::returnPressed, this,
            [this] { paperSideEntered(txtHeight, false); });
    connect(cmbAlign, &QComboBox::currentIndexChanged, this, &FrmTemp::cmbAlign_Click);
    connect(chkStretch, &QCheckBox::toggled, this, &FrmTemp::chkStretch_Click);
    connect(chkShowBorder, &QCheckBox::toggled, this, &FrmTemp::chkShowBorder_Click);
    connect(AASelectColor1, &AASelectColor::Changed, this, [this] {
        AAPrintPicture1->setBackColor(AASelectColor1->Color());
        RefreshPreview();
    });
    connect(AASelectColor2, &AASelectColor::Changed, this, [this] {
        AAPrintPicture1->setBorderColor(AASelectColor2->Color());
        RefreshPreview();
    });
    connect(chkPreview, &QCheckBox::toggled, this, &FrmTemp::chkPreview_Click);
    connect(AAPrintPicture1, &AAPrintPicture::MarginReaded, this,
            &FrmTemp::AAPrintPicture1_MarginReaded);
    connect(txtCopies, &QLineEdit::textChanged, this, &FrmTemp::txtCopies_Change);
    connect(VScroll1, &QScrollBar::valueChanged, this, &FrmTemp::VScroll1_Change);
    connect(cmdPrint, &QPushButton::clicked, this, &FrmTemp::cmdPrint_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
}

void FrmTemp::Form_Load() {
    for (const char* a : kAlignments)
        cmbAlign->addItem(a);
    cmbAlign->setCurrentIndex(4);
    for (const char* p : kPapers)
        cmbPaperSize->addItem(p);
    cmbPaperSize->setCurrentIndex(kPaperA4);
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    for (const QString& name : printers) {
        cmbPrinter->addItem(name);
        if (name == AAPrintPicture1->DefultPrinter())
            cmbPrinter->setCurrentIndex(cmbPrinter->count() - 1);
    }
    if (cmbPrinter->count() == 0)
        cmdPrint->setEnabled(false);
    RefreshPreview();
    cmbPrinter->setCurrentText(printers.isEmpty() ? QString()
                                                  : AAPrintPicture1->currentPrinterName());
}

void FrmTemp::OpenPicture(const QString& path, const QByteArray& local, const QString& name) {
    openedPath_ = path;
    openedLocal_ = local;
    if (txtFileName->text() == path)
        txtFileName_Change(); // the same file again: read it afresh
    else
        txtFileName->setText(path);
    Label1->setText(name);
}

void FrmTemp::txtFileName_Change() {
    txtFileName->setCursorPosition(txtFileName->text().size());
    const QString path = txtFileName->text();
    const QByteArray local = path == openedPath_ ? openedLocal_ : QFile::encodeName(path);
    const std::uint64_t gen = ++generation_;
    loading_ = true;
    auto* watch = new QFutureWatcher<PictureResult>(this);
    connect(watch, &QFutureWatcher<PictureResult>::finished, this, [this, watch, gen] {
        watch->deleteLater();
        if (gen == generation_)
            pictureRead(watch->result());
    });
    watch->setFuture(QtConcurrent::run([local] { return ReadPictureLocal(local); }));
}

void FrmTemp::pictureRead(const PictureResult& read) {
    loading_ = false;
    // A file that is no picture leaves the dialog without one (and without a preview).
    havePicture_ = read.ok() && !read.image.isNull();
    AAPrintPicture1->setPicture(havePicture_ ? read.image : QImage());
    RefreshPreview();
    if (printWhenRead_) {
        printWhenRead_ = false;
        printNow();
    }
}

void FrmTemp::RefreshPreview() {
    if (!chkPreview->isChecked())
        return;
    picPreview->cls();
    if (!havePicture_) {
        AAPrintPicture1->GetPrinterMargin();
        return;
    }
    const QImage sheet = AAPrintPicture1->GetPreview();
    picPreview->drawImage({0, 0}, sheet.scaled(picPreview->scaleWidth(), picPreview->scaleHeight(),
                                               Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void FrmTemp::cmbPrinter_Click(int index) {
    if (index < 0)
        return;
    AAPrintPicture1->setDefultPrinter(cmbPrinter->itemText(index));
    RefreshPreview();
}

void FrmTemp::cmbPaperSize_Click(int index) {
    if (index < 0)
        return;
    AAPrintPicture1->setPaperSize(index);
    const bool custom = index == kPaperCustom;
    std::int16_t width = AAPrintPicture1->PaperWidth(), height = AAPrintPicture1->PaperHeight();
    if (!custom)
        AAPrintPicture1->GetPaperWH(width, height);
    txtWidth->setText(Number(width));
    txtHeight->setText(Number(height));
    txtWidth->setEnabled(custom);
    txtHeight->setEnabled(custom);
    RefreshPreview();
}

void FrmTemp::paperSideEntered(QLineEdit* box, bool width) {
    const double value = NumericValue(box->text().toStdString());
    // A side the printer could not take (none, negative, a wall) is not taken.
    if (!PaperSideAccepted(value)) {
        QApplication::beep();
        box->setText(
            Number(width ? AAPrintPicture1->PaperWidth() : AAPrintPicture1->PaperHeight()));
        return;
    }
    const std::int16_t mm = *RoundToInt16(value);
    if (width)
        AAPrintPicture1->setPaperWidth(mm);
    else
        AAPrintPicture1->setPaperHeight(mm);
    RefreshPreview();
}

void FrmTemp::cmbAlign_Click(int index) {
    if (index < 0)
        return;
    AAPrintPicture1->setAlign(index);
    RefreshPreview();
}

void FrmTemp::chkStretch_Click() {
    const bool on = chkStretch->isChecked();
    AAPrintPicture1->setStretch(on);
    cmbAlign->setEnabled(!on);
    RefreshPreview();
}

void FrmTemp::chkShowBorder_Click() {
    AAPrintPicture1->setShowBorder(chkShowBorder->isChecked());
    RefreshPreview();
}

void FrmTemp::chkPreview_Click() {
    if (chkPreview->isChecked())
        RefreshPreview();
    else
        picPreview->cls();
}

void FrmTemp::AAPrintPicture1_MarginReaded(std::int32_t left, std::int32_t top, std::int32_t right,
                                           std::int32_t bottom) {
    txtLeft->setText(QString::number(left));
    txtTop->setText(QString::number(top));
    txtRight->setText(QString::number(right));
    txtBottom->setText(QString::number(bottom));
}

void FrmTemp::txtCopies_Change() {
    // Nothing below one copy ("0" leaves the count), nor past the 16-bit range.
    const double value = NumericValue(txtCopies->text().toStdString());
    if (const auto copies = RoundToInt16(value); copies && *copies >= 1)
        AAPrintPicture1->setCopies(*copies);
}

void FrmTemp::VScroll1_Change(int value) {
    txtCopies->setText(QString::number(-value));
}

bool FrmTemp::eventFilter(QObject* watched, QEvent* e) {
    if (watched == txtCopies) {
        if (e->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(e);
            const QString text = key->text();
            const bool typed = !text.isEmpty() && text.at(0).isPrint();
            const bool digit = text.size() == 1 && text.at(0) >= '0' && text.at(0) <= '9';
            if (typed && !digit) {
                QApplication::beep();
                return true;
            }
        } else if (e->type() == QEvent::FocusOut && txtCopies->text().isEmpty()) {
            txtCopies->setText("1");
        }
    }
    return QWidget::eventFilter(watched, e);
}

void FrmTemp::cmdPrint_Click() {
    if (cmbPrinter->currentText().isEmpty()) {
        ShowMessage(this, "Por favor, selecione uma Impressora !", QMessageBox::Critical);
        return;
    }
    if (loading_) {
        printWhenRead_ = true; // the picture on its way is the one to print
        return;
    }
    printNow();
}

void FrmTemp::printNow() {
    if (!havePicture_) {
        QApplication::beep();
        return;
    }
    if (!AAPrintPicture1->PrintPicture())
        ShowMessage(this, "Não foi possível imprimir em " + AAPrintPicture1->currentPrinterName(),
                    QMessageBox::Critical);
}

void FrmTemp::closeEvent(QCloseEvent* e) {
    ++generation_; // a reading under way is dropped
    e->accept();
}

} // namespace fotello
