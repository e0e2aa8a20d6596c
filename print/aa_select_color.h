#pragma once
// AASelectColor: a colour swatch; a double click opens a colour chooser on its
// colour and Changed() follows the user's pick. Colours are 0x00BBGGRR.

#include <cstdint>

#include <QPointer>
#include <QWidget>

#include "print/property_bag.h"

class QColorDialog;

namespace fotello {

class AASelectColor : public QWidget {
    Q_OBJECT
public:
    explicit AASelectColor(const QString& name, QWidget* parent = nullptr);

    std::int32_t Color() const { return color_; }
    // From code: the swatch changes, Changed() is not raised.
    void setColor(std::int32_t bgr);

    void Initialize();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    static constexpr std::int32_t kDefaultColor = 0xFFFFFF;

signals:
    void Changed();
    // A property was set and should be saved with the control.
    void PropertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void picColor_DblClick();
    void chooserClosed(int result);
    void paintSwatch();

    QWidget* picColor = nullptr;
    QPointer<QColorDialog> CDlgColor;
    std::int32_t color_ = kDefaultColor;
    std::int32_t openedWith_ = kDefaultColor;
};

} // namespace fotello
