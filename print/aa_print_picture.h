#pragma once
// AAPrintPicture: lays one picture out on a sheet of paper, renders the sheet
// for a preview and prints it. The arithmetic is print/print_layout.h; this
// control holds the properties and talks to the printer (Qt over CUPS).
// Colours are 0x00BBGGRR.

#include <cstdint>
#include <memory>

#include <QImage>
#include <QWidget>

#include "print/print_layout.h"
#include "print/property_bag.h"

class QPrinter;

namespace fotello {

class AAPrintPicture : public QWidget {
    Q_OBJECT
public:
    explicit AAPrintPicture(const QString& name, QWidget* parent = nullptr);
    ~AAPrintPicture() override;

    // --- Properties: setters store the value and mark it for saving; none
    // redraws by itself.
    std::int32_t Align() const { return align_; }
    void setAlign(std::int32_t v);
    const QImage& Picture() const { return picture_; }
    void setPicture(const QImage& v);
    std::int32_t BackColor() const { return backColor_; }
    void setBackColor(std::int32_t v);
    std::int32_t BorderColor() const { return borderColor_; }
    void setBorderColor(std::int32_t v);
    bool ShowBorder() const { return showBorder_; }
    void setShowBorder(bool v);
    std::int32_t PaperSize() const { return paperSize_; }
    void setPaperSize(std::int32_t v);
    std::int16_t PaperWidth() const { return paperWidth_; }
    void setPaperWidth(std::int16_t v);
    std::int16_t PaperHeight() const { return paperHeight_; }
    void setPaperHeight(std::int16_t v);
    bool Stretch() const { return stretch_; }
    void setStretch(bool v);
    std::int16_t Copies() const { return copies_; }
    void setCopies(std::int16_t v);
    // The printer to use, by name (not saved).
    QString DefultPrinter() const { return defultPrinter_; }
    void setDefultPrinter(const QString& name) { defultPrinter_ = name; }

    void Initialize();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // The paper in millimetres; both left alone for an unknown PaperSize.
    void GetPaperWH(std::int16_t& intWidth, std::int16_t& intHeight) const;
    // Selects the printer, sets its paper, reads its margins; raises MarginReaded.
    void GetPrinterMargin();
    // Renders the sheet afresh (reading the printer again) and returns it.
    QImage GetPreview();
    // Renders the sheet and prints it Copies times, each copy its own job.
    // False when a job could not be made; the copies before it were sent.
    bool PrintPicture();

    // The printer in use: DefultPrinter once found, else the system's default.
    QString currentPrinterName() const;
    PrinterMargins margins() const { return margins_; }

signals:
    void MarginReaded(std::int32_t lngLeft, std::int32_t lngTop, std::int32_t lngRight,
                      std::int32_t lngBottom);
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    QPrinter& printer() const;
    SheetLayout renderSheet();

    QWidget* picPrinter = nullptr; // the control's face
    QWidget* picPrint = nullptr;   // the rendered sheet
    QWidget* picPicture = nullptr; // hidden: the picture at its own size

    std::int32_t align_ = 4;
    QImage picture_;
    std::int32_t backColor_ = 0xFFFFFF;
    std::int32_t borderColor_ = 0;
    bool showBorder_ = true;
    std::int32_t paperSize_ = kPaperA4;
    std::int16_t paperWidth_ = 210;
    std::int16_t paperHeight_ = 297;
    bool stretch_ = false;
    std::int16_t copies_ = 1;
    QString defultPrinter_;

    PrinterMargins margins_;
    QImage sheet_;
    mutable std::unique_ptr<QPrinter> printer_;
};

} // namespace fotello
