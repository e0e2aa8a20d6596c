#pragma once
// Toolbar separator (a vertical groove between button groups) and etched
// line (a horizontal groove).

#include <QWidget>

namespace fotello {

class ToolbarSeparator : public QWidget {
    Q_OBJECT
public:
    explicit ToolbarSeparator(const QString& name, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {8, 24}; }

protected:
    void paintEvent(QPaintEvent* e) override;
};

class EtchedLine : public QWidget {
    Q_OBJECT
public:
    explicit EtchedLine(const QString& name, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {100, 2}; }

protected:
    void paintEvent(QPaintEvent* e) override;
};

} // namespace fotello
