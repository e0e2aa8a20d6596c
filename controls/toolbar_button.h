#pragma once
// Toolbar button and command button: a picture, a second picture while the
// pointer is over it, an optional caption.
//
// Guarantees the windows rely on: a disabled button raises no Click;
// MouseEnter once when the pointer comes over it and MouseExit once when it
// leaves (also when the button is hidden under the pointer); Click on a
// release over the button that was pressed on it, or on Space or Enter while
// it has the focus.

#include <QAbstractButton>
#include <QIcon>
#include <QPointer>

class QAction;

namespace fotello {

class ToolbarButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToolbarButton(const QString& name, QWidget* parent = nullptr);

    // The command the button shows. Its enabled state, tool tip, picture,
    // accessible name (the action's text) and description (its status tip)
    // follow the action; a click triggers it.
    void setAction(QAction* action);
    QAction* action() const { return action_; }

    void setPicture(const QIcon& picture);
    void setHoverPicture(const QIcon& picture);
    QIcon picture() const { return picture_; }
    QIcon hoverPicture() const { return hoverPicture_; }

    void setCaption(const QString& caption);
    QString caption() const { return text(); }

    void setIconSize(int px);
    bool isHovered() const { return hover_; }

    QSize sizeHint() const override;

signals:
    void Click();
    void MouseEnter();
    void MouseExit();

protected:
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void setHover(bool on);
    void followAction();

    QPointer<QAction> action_;
    QIcon picture_;
    QIcon hoverPicture_;
    int iconSize_ = 24;
    bool hover_ = false;
};

// The dialogs' push button ("Ok", "Cancelar", ...): same behaviour, caption first.
class CommandButton : public ToolbarButton {
    Q_OBJECT
public:
    CommandButton(const QString& name, const QString& caption, QWidget* parent = nullptr);
};

} // namespace fotello
