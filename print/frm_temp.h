#pragma once
// frmTemp, "Imprimir Imagem": prints the current picture. The controls map to
// the properties of the print-layout control AAPrintPicture1, and the preview
// is refreshed after each change. The picture is read on a worker.

#include <cstdint>

#include <QByteArray>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace fotello {

class AAPrintPicture;
class AASelectColor;
class PictureBox;
struct PictureResult;

class FrmTemp : public QWidget {
    Q_OBJECT
public:
    explicit FrmTemp(QWidget* parent = nullptr);
    ~FrmTemp() override;

    // The opener's part: the picture's full path (read from `local`, the path
    // as the file system spells it) and its name.
    void OpenPicture(const QString& path, const QByteArray& local, const QString& name);

    void RefreshPreview();
    // A picture is being read.
    bool loading() const { return loading_; }

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildControls();
    void Form_Load();
    void txtFileName_Change();
    void pictureRead(const PictureResult& read);
    void cmbPrinter_Click(int index);
    void cmbPaperSize_Click(int index);
    void paperSideEntered(QLineEdit* box, bool width);
    void cmbAlign_Click(int index);
    void chkStretch_Click();
    void chkShowBorder_Click();
    void chkPreview_Click();
    void AAPrintPicture1_MarginReaded(std::int32_t left, std::int32_t top, std::int32_t right,
                                      std::int32_t bottom);
    void txtCopies_Change();
    void VScroll1_Change(int value);
    void cmdPrint_Click();
    void printNow();

    QLineEdit* txtFileName = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cmbPrinter = nullptr;
    QComboBox* cmbPaperSize = nullptr;
    QLineEdit* txtWidth = nullptr;
    QLineEdit* txtHeight = nullptr;
    QComboBox* cmbAlign = nullptr;
    QCheckBox* chkStretch = nullptr;
    QCheckBox* chkShowBorder = nullptr;
    AASelectColor* AASelectColor1 = nullptr;
    AASelectColor* AASelectColor2 = nullptr;
    QLineEdit* txtTop = nullptr;
    QLineEdit* txtBottom = nullptr;
    QLineEdit* txtRight = nullptr;
    QLineEdit* txtLeft = nullptr;
    QLineEdit* txtCopies = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QCheckBox* chkPreview = nullptr;
    PictureBox* picPreview = nullptr;
    QPushButton* cmdPrint = nullptr;
    QPushButton* cmdExit = nullptr;
    AAPrintPicture* AAPrintPicture1 = nullptr;

    QString openedPath_;
    QByteArray openedLocal_;
    std::uint64_t generation_ = 0; // of the picture asked for; older readings are dropped
    bool loading_ = false;
    bool havePicture_ = false;
    bool printWhenRead_ = false;
};

} // namespace fotello
