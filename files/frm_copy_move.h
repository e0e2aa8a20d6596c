#pragma once
// frmCopyMove: the one file dialog of the program. Its pages share one place;
// a command fills the fields it needs, brings its pages to the front and sets
// the caption, and the caption is the dialog's mode: cmdCopy copies, moves,
// renames or converts by it. Not modal and owned by no window, so the main
// window stays usable and may re-target it while it is open.

#include <functional>
#include <memory>

#include <QByteArray>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "shell/main_window_host.h"

class QCheckBox;
class QColorDialog;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QTreeView;

namespace fotello {

class SettingsDb;
struct SettingsApply;

class FrmCopyMove : public QWidget {
    Q_OBJECT
public:
    // The open dialog, or a new one (closing it discards all of its state).
    static FrmCopyMove* Instance(MainWindowHost& host);
    // The open dialog; null when none is loaded.
    static FrmCopyMove* Loaded();
    ~FrmCopyMove() override;

    // The openers of the main window's commands.
    void OpenCopy(const CurrentPicture& picture);
    void OpenMove(const CurrentPicture& picture);
    void OpenRename(const CurrentPicture& picture);
    void OpenConvertJpg(const CurrentPicture& picture);
    void OpenProperties(const CurrentPicture& picture);
    // The settings page; apply is how its values reach the main window.
    void OpenSettings(const QString& programFolder,
                      std::function<void(const SettingsApply&)> apply);

    void cmdCopy_Click();
    void cmdProcurar_Click();
    void cmdOk_Click();
    void cmdVoltar_Click();
    void Drive1_Change();
    void HScroll1_Change(int value);

    // Settings page (settings_page.cpp).
    void LoadSettingsPage(); // on every activation of the page
    void Combo1_Click();
    void Check1_Click();
    void Command1_Click(int index);
    void cmdAplicar_Click();
    void cmdSave_Click();

    // The folder the folder page shows.
    QString dirPath() const;
    void setDirPath(const QString& folder);

protected:
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    explicit FrmCopyMove(MainWindowHost& host);
    void buildSettingsPage();
    void setSwatch(int index, std::int32_t bgr);
    void buildFrame();
    void buildCopyPage();
    void buildFolderPage();
    void buildRenamePage();
    void buildPropertiesPage();
    void clearStatusLine();
    // Brings a page to the front of the pages sharing its place.
    static void ToFront(QWidget* page);
    // The controls keep their proportions: each one's place at the design size.
    void noteDesign(QWidget* container);
    void place(QWidget* w, const QRect& design);
    void fit(QWidget* w, const QRect& design) const;
    void beginOpening(const QString& caption, const CurrentPicture& picture);
    void showDialog();
    // The path to act on: the file system's own spelling when the text still
    // names the current picture.
    QByteArray localPath(const QString& text) const;
    void copyOrMove(bool move);
    void renameFile();
    void convertToJpeg();
    void message(const QString& text);

    MainWindowHost& host_;
    QString picturePath_;
    QByteArray pictureLocal_;
    QString jpegTargetText_; // the JPEG target as first shown, and its spelling
    QByteArray jpegTargetLocal_;

    QWidget* PictCopy = nullptr;
    QPushButton* cmdCopy = nullptr;
    QPushButton* cmdsair0 = nullptr;
    QLabel* LblArquivo = nullptr;

    QWidget* Picture1 = nullptr;
    QLineEdit* txtSource = nullptr;
    QLineEdit* txtTarget = nullptr;
    QPushButton* cmdProcurar = nullptr;

    QWidget* Picture2 = nullptr;
    QComboBox* Drive1 = nullptr;
    QTreeView* Dir1 = nullptr;
    QFileSystemModel* dirModel_ = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdVoltar = nullptr;

    QWidget* Picture3 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLabel* Label4 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QLineEdit* Text3 = nullptr;

    QWidget* Picture4 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblcaminho = nullptr;
    QLabel* lblInfo[6] = {};

    QWidget* Picture5 = nullptr;
    QLineEdit* Text2 = nullptr;
    QComboBox* Combo1 = nullptr;
    QCheckBox* Check1 = nullptr;
    QLabel* Picture6[2] = {};
    QPushButton* Command1[2] = {};
    QPushButton* cmdAplicar = nullptr;
    QPushButton* cmdSave = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLineEdit* Text8 = nullptr;
    QColorDialog* CDialog1 = nullptr;
    int colourFor_ = 0; // the swatch the colour dialog picks for
    std::int32_t swatch_[2] = {0, 0};
    QString programFolder_;
    std::unique_ptr<SettingsDb> db_; // held while the page is loaded
    std::function<void(const SettingsApply&)> apply_;
    QHash<QWidget*, QRect> design_;
};

} // namespace fotello
