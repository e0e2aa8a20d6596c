#pragma once
// frmFlip: turns the effects window's picture by a whole angle, or repaints it
// as circles ("Shake"). Its caption, set by the opener, chooses which. The
// work runs on a worker; the dialog closes when the result is handed back.

#include <atomic>
#include <memory>

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace fotello {

class CommandButton;
class FrmEfeitos;

class FrmFlip : public QDialog {
    Q_OBJECT
public:
    FrmFlip(FrmEfeitos& caller, QWidget* parent);
    ~FrmFlip() override;

    // "Rotate" with its panel in front, or "Shake" with its own.
    void showFor(const QString& caption);
    bool running() const { return running_ != nullptr; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void choose(const char* angle, bool custom);
    void ctbOk_Click();
    void Rotate(int degrees);
    void Shake();
    void finish(const QImage& result);

    FrmEfeitos& caller_;
    QWidget* PictRotate = nullptr;
    QWidget* PictControl = nullptr;
    QGroupBox* Frame1 = nullptr;
    QRadioButton* Opt90 = nullptr;
    QRadioButton* Opt180 = nullptr;
    QRadioButton* Opt270 = nullptr;
    QRadioButton* OptCustom = nullptr;
    QLineEdit* txtCusa = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QGroupBox* framedirection = nullptr;
    QRadioButton* optdir[2] = {};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    CommandButton* ctbOk = nullptr;
    CommandButton* ctbCancelar = nullptr;
    QTimer* shakeStatus_ = nullptr;
    // The running flag the rotation tests after every row; shared with the
    // worker, which may outlive the dialog.
    std::shared_ptr<std::atomic<bool>> running_;
    std::shared_ptr<std::atomic<long long>> shakeRow_;
    long long shakeLast_ = 0;
};

} // namespace fotello
