#include "print/aa_select_color.h"

#include <QColorDialog>
#include <QEvent>

#include "platform/colour.h"

namespace fotello {

namespace {

std::int32_t BgrOf(const QColor& c) {
    return static_cast<std::int32_t>((c.blue() << 16) | (c.green() << 8) | c.red());
}

// The swatch's size on the print dialog.
constexpr int kSwatchWidth = 41, kSwatchHeight = 21;

} // namespace

AASelectColor::AASelectColor(const QString& name, QWidget* parent) : QWidget(parent) {
    setObjectName(name);
    picColor = new QWidget(this);
    picColor->setObjectName("picColor");
    picColor->setAutoFillBackground(true);
    picColor->installEventFilter(this);
    setFixedSize(kSwatchWidth, kSwatchHeight);
    paintSwatch();
}

void AASelectColor::setColor(std::int32_t bgr) {
    color_ = bgr & 0xFFFFFF;
    paintSwatch();
    emit PropertyChanged("Color");
}

void AASelectColor::Initialize() {
    setColor(kDefaultColor);
}

void AASelectColor::ReadProperties(const PropertyBag& bag) {
    color_ = bag.ReadProperty("Color", kDefaultColor).toInt() & 0xFFFFFF;
    paintSwatch();
}

void AASelectColor::WriteProperties(PropertyBag& bag) const {
    bag.WriteProperty("Color", color_, kDefaultColor);
}

void AASelectColor::paintSwatch() {
    QPalette p = picColor->palette();
    p.setColor(QPalette::Window, ColorFromBgr(static_cast<std::uint32_t>(color_)));
    picColor->setPalette(p);
}

void AASelectColor::resizeEvent(QResizeEvent*) {
    picColor->setGeometry(rect());
}

bool AASelectColor::eventFilter(QObject* watched, QEvent* e) {
    if (watched == picColor && e->type() == QEvent::MouseButtonDblClick) {
        picColor_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void AASelectColor::picColor_DblClick() {
    if (CDlgColor && CDlgColor->isVisible()) {
        CDlgColor->raise();
        return;
    }
    if (!CDlgColor) {
        CDlgColor = new QColorDialog(this);
        CDlgColor->setObjectName("CDlgColor");
        connect(CDlgColor, &QDialog::finished, this, &AASelectColor::chooserClosed);
    }
    openedWith_ = color_;
    CDlgColor->setWindowTitle("Select Color");
    CDlgColor->setCurrentColor(ColorFromBgr(static_cast<std::uint32_t>(color_)));
    CDlgColor->open(); // returns at once; the answer comes with finished()
}

void AASelectColor::chooserClosed(int result) {
    // A cancelled chooser keeps the colour it was opened with; Changed() is
    // raised either way.
    setColor(result == QDialog::Accepted ? BgrOf(CDlgColor->selectedColor()) : openedWith_);
    emit Changed();
}

} // namespace fotello
