#pragma once
// A toolbar strip: a shaded bar that holds buttons placed by the window.

#include <QFrame>

namespace fotello {

class ToolbarStrip : public QFrame {
    Q_OBJECT
public:
    explicit ToolbarStrip(const QString& name, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace fotello
