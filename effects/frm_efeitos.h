#pragma once
// frmEfeitos: applies effects to the main window's current picture, undoes
// them (one level), hands the result to the preview and saves it over the file.
// Engine filters run on a worker; the window stays responsive meanwhile and a
// filter chosen while one runs is ignored.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include <QFutureWatcher>
#include <QImage>
#include <QMainWindow>

#include "effects/filter_engine.h"
#include "shell/main_window_host.h"

class QAction;
class QLabel;
class QLineEdit;
class QTimer;

namespace fotello {

class FileListBox;
class FrmFlip;
class ImageControl;
class ScrollBox;
class ToolbarButton;
class ToolbarStrip;
struct FilterMenuEntry;

class FrmEfeitos : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmEfeitos(MainWindowHost& host, QWidget* parent = nullptr);
    ~FrmEfeitos() override;

    // Takes the host's current picture (read again whole on a worker when the
    // preview holds a reduced copy) with its folder, as the opener split it.
    void OpenPicture(const QString& folder, const CurrentPicture& picture);

    void ResetPicture();
    void MosaicEffect();
    void DottedEffect();
    void ArrangeEffectsWindow();

    // Whether a filter, a reading or a save is under way: other commands wait.
    bool busy() const { return running_ || loading_ || saving_; }
    // Closed while a filter ran: hidden, deleted when the worker is done.
    bool closing() const { return closing_; }
    QString imagePath;

    // For the rotation dialog: it reads the untouched copy and hands back the
    // working picture, then switches the menus on.
    const QImage& untouchedPicture() const;
    const QImage& workingPicture() const { return working_; }
    void setWorkingPicture(const QImage& picture);
    void afterDialog();
    QLabel* statusLabel() const { return lblStatus; }

    // Called on the worker after each progress figure (tests hold a filter at
    // a given row with it).
    void setProgressObserver(std::function<void(int)> observer) { observer_ = std::move(observer); }

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    struct FilterRun;
    class ProportionalResize;
    void buildMenus();
    void buildToolbar();
    // The bar's room between its two buttons, where the labels go.
    QRect barRoom() const;
    void menuItem_Click(const QString& name);
    void runFilter(int number, std::int32_t parameter);
    void filterDone();
    void mnuGamma_Click();
    void mnuFlip_Click(bool vertical);
    void mnuDesbotado_Click();
    void mnuAplic_Click();
    void mnuSave_Click();
    void saveDone(bool ok);
    void mnuDef_Click();
    void mnuShake_Click();
    void Timer1_Timer();
    void showWorking();
    void fullPictureRead(const QImage& image, bool ok);

    MainWindowHost& host_;
    ScrollBox* ScrollBox1 = nullptr;
    ImageControl* Picture1 = nullptr;
    ImageControl* Picture3 = nullptr;
    QTimer* Timer1 = nullptr;
    ToolbarStrip* ctbBar2 = nullptr;
    ToolbarButton* cmdFechar = nullptr;
    ToolbarButton* ClarkTBButton2 = nullptr;
    QLabel* lblNome = nullptr;
    QLabel* lblStatus = nullptr;
    QLineEdit* txtPath = nullptr;
    FileListBox* FileListHidden = nullptr;
    ProportionalResize* Resize1 = nullptr;
    QAction* mnuSave = nullptr;
    QAction* mnuAplic = nullptr;
    QAction* mnuDesfaz = nullptr;

    QImage working_;   // Picture1's picture, the one effects change
    QByteArray local_; // the file as the file system spells it
    QString shownPath_;
    std::uint64_t generation_ = 0; // of the picture; older readings are dropped
    bool whole_ = false;           // working_ is the full picture, not a reduced copy
    bool running_ = false;
    bool loading_ = false;
    bool saving_ = false;
    bool closing_ = false;
    std::shared_ptr<FilterRun> run_;
    FrmFlip* flip_ = nullptr;
    std::function<void(int)> observer_;
    QFutureWatcher<FilterStatus> filterWatch_;
};

} // namespace fotello
