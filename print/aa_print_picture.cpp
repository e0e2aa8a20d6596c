#include "print/aa_print_picture.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/colour.h"

namespace fotello {

namespace {

QColor Colour(std::int32_t bgr) {
    return ColorFromBgr(static_cast<std::uint32_t>(bgr));
}

QRect ToQt(const SheetRect& r) {
    return {r.x, r.y, r.width, r.height};
}

// picPrint: shows the sheet last rendered.
class SheetView : public QWidget {
public:
    SheetView(const QImage& sheet, QWidget* parent) : QWidget(parent), sheet_(sheet) {}

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, sheet_); }

private:
    const QImage& sheet_;
};

} // namespace

AAPrintPicture::AAPrintPicture(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    picPrinter = new QWidget(this);
    picPrinter->setObjectName("picPrinter");
    picPrint = new SheetView(sheet_, picPrinter);
    picPrint->setObjectName("picPrint");
    picPicture = new QWidget(this);
    picPicture->setObjectName("picPicture");
    picPicture->hide();
}

AAPrintPicture::~AAPrintPicture() = default;

void AAPrintPicture::resizeEvent(QResizeEvent*) {
    picPrinter->setGeometry(rect());
}

// --- Properties ---------------------------------------------------------------

namespace {
template <typename T> void Assign(AAPrintPicture* control, T& field, T value, const char* name) {
    field = value;
    emit control->PropertyChanged(name);
}
} // namespace

void AAPrintPicture::setAlign(std::int32_t v) {
    Assign(this, align_, v, "Align");
}
void AAPrintPicture::setPicture(const QImage& v) {
    picture_ = v;
    picPicture->resize(v.size());
    emit PropertyChanged("Picture");
}
void AAPrintPicture::setBackColor(std::int32_t v) {
    Assign(this, backColor_, v, "BackColor");
}
void AAPrintPicture::setBorderColor(std::int32_t v) {
    Assign(this, borderColor_, v, "BorderColor");
}
void AAPrintPicture::setShowBorder(bool v) {
    Assign(this, showBorder_, v, "ShowBorder");
}
void AAPrintPicture::setPaperSize(std::int32_t v) {
    Assign(this, paperSize_, v, "PaperSize");
}
void AAPrintPicture::setPaperWidth(std::int16_t v) {
    Assign(this, paperWidth_, v, "PaperWidth");
}
void AAPrintPicture::setPaperHeight(std::int16_t v) {
    Assign(this, paperHeight_, v, "PaperHeight");
}
void AAPrintPicture::setStretch(bool v) {
    Assign(this, stretch_, v, "Stretch");
}
void AAPrintPicture::setCopies(std::int16_t v) {
    Assign(this, copies_, v, "Copies");
}

void AAPrintPicture::Initialize() {
    align_ = 4;
    picture_ = QImage();
    backColor_ = 0xFFFFFF;
    borderColor_ = 0;
    showBorder_ = true;
    paperSize_ = kPaperA4;
    paperWidth_ = 210;
    paperHeight_ = 297;
    stretch_ = false;
    copies_ = 1;
}

void AAPrintPicture::ReadProperties(const PropertyBag& bag) {
    align_ = bag.ReadProperty("Align", 4).toInt();
    picture_ = bag.ReadProperty("Picture", QImage()).value<QImage>();
    backColor_ = bag.ReadProperty("BackColor", 0xFFFFFF).toInt();
    borderColor_ = bag.ReadProperty("BorderColor", 0).toInt();
    showBorder_ = bag.ReadProperty("ShowBorder", true).toBool();
    paperSize_ = bag.ReadProperty("PaperSize", int(kPaperA4)).toInt();
    paperWidth_ = static_cast<std::int16_t>(bag.ReadProperty("PaperWidth", 210).toInt());
    paperHeight_ = static_cast<std::int16_t>(bag.ReadProperty("PaperHeight", 297).toInt());
    stretch_ = bag.ReadProperty("Stretch", false).toBool();
    copies_ = static_cast<std::int16_t>(bag.ReadProperty("Copies", 1).toInt());
}

void AAPrintPicture::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty("Align", align_, 4);
    bag.WriteProperty("Picture", picture_, QImage());
    bag.WriteProperty("BackColor", backColor_, 0xFFFFFF);
    bag.WriteProperty("BorderColor", borderColor_, 0);
    bag.WriteProperty("ShowBorder", showBorder_, true);
    bag.WriteProperty("PaperSize", paperSize_, int(kPaperA4));
    bag.WriteProperty("PaperWidth", paperWidth_, 210);
    bag.WriteProperty("PaperHeight", paperHeight_, 297);
    bag.WriteProperty("Stretch", stretch_, false);
    bag.WriteProperty("Copies", copies_, 1);
}

// --- The printer ----------------------------------------------------------------

QPrinter& AAPrintPicture::printer() const {
    // Made on first use: it asks CUPS for the default printer.
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

QString AAPrintPicture::currentPrinterName() const {
    return printer().printerName();
}

void AAPrintPicture::GetPaperWH(std::int16_t& intWidth, std::int16_t& intHeight) const {
    if (const auto paper = PaperSizeMm(paperSize_, paperWidth_, paperHeight_)) {
        intWidth = paper->width;
        intHeight = paper->height;
    }
}

void AAPrintPicture::GetPrinterMargin() {
    QPrinter& p = printer();
    if (!defultPrinter_.isEmpty() && p.printerName() != defultPrinter_ &&
        QPrinterInfo::availablePrinterNames().contains(defultPrinter_))
        p.setPrinterName(defultPrinter_);
    // The sheet's arithmetic takes a printer pixel for a quarter of a screen pixel.
    p.setResolution(kPrinterDpi);
    switch (paperSize_) {
    case kPaperA5:
        p.setPageSize(QPageSize(QPageSize::A5));
        break;
    case kPaperA4:
        p.setPageSize(QPageSize(QPageSize::A4));
        break;
    case kPaperA3:
        p.setPageSize(QPageSize(QPageSize::A3));
        break;
    case kPaperCustom:
        if (PaperSideAccepted(paperWidth_) && PaperSideAccepted(paperHeight_))
            p.setPageSize(QPageSize(QSizeF(paperWidth_, paperHeight_), QPageSize::Millimeter,
                                    QString(), QPageSize::ExactMatch));
        break;
    default:
        break;
    }
    p.setPageOrientation(QPageLayout::Portrait);
    // The printable area is the page less what the device cannot print on.
    p.setFullPage(false);
    p.setPageMargins(p.pageLayout().minimumMargins(), p.pageLayout().units());
    const QRectF paper = p.paperRect(QPrinter::DevicePixel);
    const QRectF page = p.pageRect(QPrinter::DevicePixel);
    margins_ = MarginsFromDevice(paper.width(), paper.height(), page.x(), page.y(), page.width(),
                                 page.height());
    emit MarginReaded(margins_.left, margins_.top, margins_.right, margins_.bottom);
}

SheetLayout AAPrintPicture::renderSheet() {
    GetPrinterMargin();
    std::int16_t width = 0, height = 0;
    GetPaperWH(width, height);
    const SheetLayout layout = LayoutSheet(
        {{width, height}, margins_, picture_.width(), picture_.height(), align_, stretch_});
    sheet_ = QImage(std::max(layout.width, 1), std::max(layout.height, 1), QImage::Format_RGB32);
    sheet_.fill(Colour(backColor_));
    {
        QPainter painter(&sheet_);
        if (!picture_.isNull()) {
            if (stretch_)
                painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(ToQt(layout.picture), picture_);
        }
        if (showBorder_) {
            painter.setPen(QPen(Colour(borderColor_), 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(ToQt(layout.border));
        }
    }
    picPrint->setGeometry(0, 0, sheet_.width(), sheet_.height());
    picPrint->update();
    return layout;
}

QImage AAPrintPicture::GetPreview() {
    renderSheet();
    return sheet_;
}

bool AAPrintPicture::PrintPicture() {
    const SheetLayout layout = renderSheet();
    QPrinter& p = printer();
    // Sheet coordinates start at the paper's corner; the sheet goes inside the margins.
    p.setFullPage(true);
    p.setCopyCount(1);
    p.setDocName("Fotello");
    for (int copy = 1; copy <= copies_; ++copy) {
        QPainter painter;
        if (!painter.begin(&p))
            return false;
        // The page carries the sheet as the preview shows it, not a JPEG of it.
        painter.setRenderHint(QPainter::LosslessImageRendering);
        painter.drawImage(ToQt(layout.printed), sheet_);
        if (!painter.end())
            return false;
    }
    return true;
}

} // namespace fotello
