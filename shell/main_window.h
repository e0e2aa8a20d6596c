#pragma once
// frmFotello, the main window: it owns the state of browsing (current folder,
// current picture, thumbnail cells, settings fields). Its handlers are split
// by concern across files:
//   main_window.cpp          controls and their wiring
//   main_window_startup.cpp  Form_Load, LoadSettings, ParseThumbSize, Form_Unload
//   main_window_tree.cpp     folder tree and drives
//   main_window_preview.cpp  file list, selection and preview, kind commands
//   main_window_layout.cpp   ArrangeControls, Form_Resize, splitters
//   main_window_thumbs.cpp   thumbnail builder, strip layout and scrolling
//   plugins/plugin_menu.cpp  plug-in discovery, menu and runs
//   view/                    zoom, slide show, full screen, magnifier

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include "shell/command_state.h"
#include "shell/main_window_host.h"
#include "shell/settings_rules.h"

class QAction;
class QComboBox;
class QListWidget;
class QMenu;
class QScrollBar;
class QSplitter;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace fotello {

class AnimatedPicture;
class FileListBox;
class ImageControl;
class PictureBox;
class ScrollBox;
class SettingsDb;
class ThumbnailStrip;
class ToolbarButton;
class ToolbarSeparator;
class ToolbarStrip;
struct ConfigRecord;
struct SubfolderScan;
struct PreviewJob;
struct PreviewPicture;
struct RenderedThumb;
struct SettingsApply;

// Thumbnail builder state, defined with the builder.
struct ThumbState;
struct ThumbStateDeleter {
    void operator()(ThumbState* s) const;
};
// Folder tree state (expansions under way), defined with the tree.
struct TreeState;
struct TreeStateDeleter {
    void operator()(TreeState* s) const;
};
// Preview state, defined with the preview.
struct PreviewState;
struct PreviewStateDeleter {
    void operator()(PreviewState* s) const;
};
// Viewing state (zoom, slide show, magnifier), defined in view/.
struct ViewState;
struct ViewStateDeleter {
    void operator()(ViewState* s) const;
};

class FrmFotello : public QWidget, public MainWindowHost {
    Q_OBJECT
public:
    // programFolder: where the database, help page and companion program live.
    explicit FrmFotello(const QString& programFolder, QWidget* parent = nullptr);
    ~FrmFotello() override;

    // Start-up, in order; a step that fails is skipped.
    void Form_Load();

    QString programFolder() const { return programFolder_; }

    // --- Start-up state -------------------------------------------------
    QString helpFile;     // the help page
    QString databasePath; // the settings database
    std::unique_ptr<SettingsDb> settingsDb;
    std::unique_ptr<ConfigRecord> configRs; // the first record, when it could be read
    std::int32_t windowBackColor = 0;       // 0x00BBGGRR
    bool hoverTracking = false;
    QString currentFileName;

    // --- What other windows and plug-ins may ask (MainWindowHost) ---------
    QString currentFolder() const override;
    CurrentPicture currentPicture() const override;
    void setStatus(const QString& text) override;
    void showMessage(const QString& text) override;
    void showInPreview(const QImage& picture) override;
    void redrawPreview() override;
    void rebuildThumbnail(const QString& path) override;
    void rebuildThumbnails() override;
    const ConfigRecord* settingsRecord() const override { return configRs.get(); }
    const SettingsValues& settings() const override { return settings_; }
    void applySettings(std::optional<std::int32_t> previewBackColor) override {
        ApplySettings(previewBackColor);
    }
    QObject* control(const QString& name) const override;
    QWidget* hostWidget() override { return this; }
    SettingsDb* settingsDatabase() const override { return settingsDb.get(); }

    // --- Commands -----------------------------------------------------------
    // Every toolbar command is a QAction of this window, named "act" followed
    // by the name of the control that shows it ("actctbRefresh",
    // "actbutton1_0"); the conversion items are the menu's own actions
    // (mnuCBmp, mnuCJpg, mnuCIco). Which are enabled follows the browsing
    // state alone (EnabledCommands); a button follows its action, so switch
    // commands through the state, never a button.
    QAction* action(Command c) const { return actions_[static_cast<std::size_t>(c)]; }
    // By the control's name ("ctbRefresh", "button1_4", "mnuCBmp"); null when
    // no command has that name.
    QAction* action(const QString& controlName) const;

    // Takes the hidden fields as they are now: the thumbnail geometry from
    // Text1 to Text3, the screen background from txtFundo and the magnifier
    // switch from txtZoom; the picture host's background becomes windowBack
    // when one is given. Then lays the strip out again.
    void ApplySettings(std::optional<std::int32_t> windowBack = std::nullopt);

    // --- Routines -----------------------------------------------------------
    void LoadSettings();
    void ParseThumbSize();
    void FillDrives();
    void ArrangeControls();
    void ResetThumbnails();
    void BuildThumbnails();
    void Redimens();
    void InitProgress();
    void UpdateProgress(int percent, const QString& name);
    void Status(const QString& texto);
    void DisableFileCommands();
    void UpdateKindCommands();
    void DiscoverPlugins();
    // The full picture of the still on show, read on a worker, in place of
    // the reduced one the fitted view holds (a zoom wants it).
    void requestFullPicture();

    // Bring a pane to the front of its container (z-order 0).
    static void BringToFront(QWidget* w);

    // --- File commands (defined in files/) ------------------------------------
    void ctbCopyTo_Click();
    void ctbMoveTo_Click();
    void ctbRename_Click();
    void ctbProps_Click();
    void ctbRefresh_Click();
    void CtbClips_Click();
    void Button1_Click(int index); // the edit buttons 1 to 4
    void mnuCBmp_Click();
    void mnuCIco_Click();
    void mnuCJpg_Click();
    void ctbTools_Click();
    void ctbmail_Click();
    void ctbajuda_Click();
    void ClarkTBButton2_Click();
    // The settings page's Apply: interval, magnifier, geometry and both
    // backgrounds reach the running windows (txtJanela and txtFundo stay).
    void ApplySettingsPage(const SettingsApply& values);
    // Opens a file with the desktop's associated program; nothing is reported.
    static void OpenWithShell(const QString& path);
    // --- End of file commands -------------------------------------------------

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    // The controls, each with its objectName; reached from outside only by
    // name (control()) or through the interface above.
    // --- Toolbars ---------------------------------------------------------
    ToolbarStrip* CtbBar3 = nullptr; // command toolbar
    ToolbarStrip* ctbBar = nullptr;  // thumbnails-panel toolbar
    ToolbarStrip* ctbBar2 = nullptr; // status toolbar

    ToolbarButton* ctbRefresh = nullptr;
    ToolbarButton* ctbSlide = nullptr;
    ToolbarButton* ctbSlideF = nullptr;
    ToolbarButton* ctbProps = nullptr;
    ToolbarButton* ctbRename = nullptr;
    ToolbarButton* ctbCopyTo = nullptr;
    ToolbarButton* ctbMoveTo = nullptr;
    ToolbarButton* ctbClips = nullptr;
    ToolbarButton* ctbTela = nullptr;
    ToolbarButton* ctbTools = nullptr;
    ToolbarButton* ctbEfeito = nullptr;
    ToolbarButton* ClarkTBButton2 = nullptr;
    ToolbarSeparator* ClarkTBSeparator1 = nullptr;
    ToolbarButton* ctbmail = nullptr;
    ToolbarSeparator* ClarkTBSeparator2 = nullptr;
    ToolbarButton* ctbpesquisa = nullptr;
    ToolbarButton* ctbimprime = nullptr;
    ToolbarButton* ctbajuda = nullptr;
    ToolbarButton* cmdFechar = nullptr;
    std::array<ToolbarButton*, 5> button1{}; // "Álbum", "Editar", "Copiar", "Excluir", "Converter"
    QLabel* Image2 = nullptr;                // small picture on the thumbnails-panel toolbar
    QLabel* Image3 = nullptr;                // hidden: the web button's picture

    // Conversion menu items, switched by the picture's kind.
    QMenu* mnuConverter = nullptr;
    QAction* mnuCBmp = nullptr;
    QAction* mnuCJpg = nullptr;
    QAction* mnuCIco = nullptr;

    // --- Labels -------------------------------------------------------------
    QLabel* lblPath = nullptr; // hidden: current picture's full path, or the folder
    QLabel* lblNome = nullptr;
    QLabel* lbltamanho = nullptr;
    QLabel* lblstatus = nullptr; // hints
    QLabel* lblStat = nullptr;   // status texts (written through Status)
    QLabel* lblCount = nullptr;

    // --- Hidden settings fields ---------------------------------------------
    QLineEdit* txtSlide = nullptr;
    QLineEdit* txtJanela = nullptr;
    QLineEdit* txtFundo = nullptr;
    QLineEdit* txtThumbs = nullptr;
    QLineEdit* txtZoom = nullptr;
    QLineEdit* Text1 = nullptr; // cell height
    QLineEdit* Text2 = nullptr; // cell width
    QLineEdit* Text3 = nullptr; // square picture side

    // --- Work area ----------------------------------------------------------
    QSplitter* mcsplitbar1 = nullptr; // left column | picture area
    QSplitter* mcsplitbar2 = nullptr; // folder pane above magnifier pane
    QWidget* PictHd = nullptr;        // folder pane
    QTreeWidget* tView = nullptr;
    QComboBox* Drive1 = nullptr; // hidden: the machine's volumes
    QString Dir1Path;            // the folder list's folder
    FileListBox* File1 = nullptr;
    FileListBox* FileListHidden = nullptr; // plug-in search
    PictureBox* Picture4 = nullptr;        // magnifier pane
    QScrollBar* vScroll1 = nullptr;        // magnifier zoom
    QTimer* Timer2 = nullptr;              // magnifier timer
    QTimer* Timer1 = nullptr;              // slide-show timer
    QWidget* Picture1 = nullptr;           // picture area
    QWidget* Pictclips = nullptr;          // thumbnails panel
    ThumbnailStrip* picFrame = nullptr;    // strip viewport with vsbSlide and the cells
    QWidget* PictImagem = nullptr;         // preview pane
    ScrollBox* ssScroll1 = nullptr;
    ImageControl* Image1 = nullptr;
    AnimatedPicture* mcGif = nullptr;
    PictureBox* picProgress = nullptr;
    PictureBox* picProgressSlide = nullptr;

    // --- Handlers -------------------------------------------------------------
    void File1_PathChange();
    void File1_Click();
    void optThumb_Click(int index);
    void tView_Expand(QTreeWidgetItem* node);
    void tView_NodeClick(QTreeWidgetItem* node);
    void tView_Click();
    void Drive1_Change();
    void Form_Resize();
    void mcsplitbar1_Resize();
    void mcsplitbar2_Resize();
    void vsbSlide_Change();
    void Timer2_Timer();

    void buildToolbars();
    void buildActions();
    void applyCommandStates();
    // A picture is about to be read from this folder.
    void notePick(const QString& folder);
    void noteDriveChange();
    // Where the hint label goes: ending at `right`, as wide as its longest hint.
    QRect hintPlace(int right, int height) const;
    void buildWorkArea();
    void buildHiddenFields();
    void buildThumbnailArea(); // main_window_thumbs.cpp
    void buildTree();          // main_window_tree.cpp
    void wirePreview();        // main_window_preview.cpp
    void selectPicture(bool fromList, const QString& name);
    PreviewJob previewJob(const QString& full, const QByteArray& local, bool gif) const;
    void previewRead(const PreviewPicture& read);
    void showListSelection(const QString& name, const QString& folder, const QString& full,
                           bool gif, const PreviewPicture& read);
    void showStripSelection(const QString& name, const QString& folder, const QString& full,
                            bool gif, const PreviewPicture& read);
    void readAhead(const QString& name, const QString& folder, bool fromList);
    void noteShown(const QString& full, const PreviewPicture& read);
    bool showAsGif(const QString& full, const PreviewPicture& read);
    bool showAsStill(const QString& full, const PreviewPicture& read);
    void centreAnimatedPicture();
    void recentreAnimatedPicture();
    void FitPicture();
    void enableFileCommands(bool withRefresh);
    void wireHints();
    void wireFileCommands(); // files/file_commands.cpp
    void drawMagnifierIdleCross();
    void placePictureArea();
    void placeMagnifierPane();
    void placeFolderPane();
    void splitFolderPane();
    void centreStillPicture();
    void applyMagnifierSwitch();
    void readSettingsFields();
    void fillExpandedNode(const SubfolderScan& scan); // main_window_tree.cpp
    // While the user picks pictures the strip's build starts no new file, so
    // the picture waited for gets the cores; it goes on kStripResumeMs after
    // the last picture arrived, or at once when another folder is listed.
    static constexpr int kStripResumeMs = 300;
    void pauseStripForPreview();
    void resumeStripSoon();
    void resumeStripNow();
    void placeThumb(const QString& name, int percent, const RenderedThumb& thumb);
    void placeSingleThumb(const QString& name, const RenderedThumb& thumb);
    void finishThumbBuild();
    void endThumbBuild();

    // --- Viewing: zoom, slide show, full screen, magnifier (view/) ---------
public:
    void ctbpesquisa_Click();
    void mnuzoomais_Click();  // one step in
    void mnuzoomenos_Click(); // one step out
    void mnujanela_Click();   // fit to the pane
    void muatual_Click();     // natural size
    // n : 1 for n > 1, 1 : -n for n < -1.
    void mnuRatio_Click(int n);
    void Image1_MouseUp(Qt::MouseButton button);
    void ctbSlide_Click();
    void ctbSlideF_Click();
    void Timer1_Timer();
    void ctbTela_Click();
    void Picture4_DblClick();

private:
    void wireViewing(); // view/viewing.cpp
    void buildZoomMenu();
    void zoomStep(double f);
    void zoomTo(float width, float height);
    void wireSlideShow();
    void showSlide(int index);
    void slideRead(const PreviewPicture& read);
    void slideWake();
    void wireMagnifier();
    // The slide show's pictures are not the current picture: a full reading
    // asked for while one is on show must be of that file.
    void noteSlideStill(const QByteArray& local); // main_window_preview.cpp
    // A selection still being read never shows (a slide show starts).
    void dropPendingSelection(); // main_window_preview.cpp
    QMenu* mnuzoom = nullptr;
    std::unique_ptr<ViewState, ViewStateDeleter> view_;
    // --- end of viewing ------------------------------------------------------

    // --- Effects window (effects/) ------------------------------------------
public:
    void ctbEfeito_Click();

private:
    void wireEffects(); // effects/effects_command.cpp
    // --- end of effects --------------------------------------------------------

    // --- Opening from the desktop (shell/main_window_start.cpp) -------------
public:
    // The folder or file the program was started on (absolute, as the file
    // system spells it): Form_Load opens it in place of the working folder.
    void setStartLocation(const QByteArray& localPath) { startLocation_ = localPath; }
    // Goes to a folder, or to a file's folder with the file selected and
    // shown; the tree opens down to the folder and selects it. A path that is
    // neither is reported and changes nothing.
    void openStartLocation(const QByteArray& localPath);
    // A later start handed this path over: to the front, and there.
    void openHandedLocation(const QByteArray& localPath);

private:
    void pointListAtStart();
    void showFolderInTitle();
    // Opens the tree's nodes down to this folder (a key, ending in "/") one
    // expansion at a time, then selects it; main_window_tree.cpp.
    void revealInTree(const QByteArray& folderKey);
    void continueReveal();
    QByteArray startLocation_;
    QByteArray revealKey_; // the folder the tree is being opened down to
    // --- end of opening from the desktop ---------------------------------------
    // --- Printing (print/) ----------------------------------------------------
public:
    void ctbimprime_Click();

private:
    void wirePrinting(); // print/print_command.cpp
    // --- end of printing -------------------------------------------------------
    // --- Desktop integration: drops on the window, drags out (shell/file_drag.cpp) ---
private:
    void wireDesktopDrags();
    // --- end of desktop integration ---------------------------------------------

    QString programFolder_;
    bool unloading_ = false;
    bool startedUp_ = false; // layout waits for Form_Load
    SettingsValues settings_;
    std::unique_ptr<ThumbState, ThumbStateDeleter> thumbState_;
    std::unique_ptr<TreeState, TreeStateDeleter> treeState_;
    BrowsingState browsing_;
    std::array<QAction*, kCommandCount> actions_{};
    std::unique_ptr<PreviewState, PreviewStateDeleter> preview_;

    // --- Plug-ins (plugins/plugin_menu.cpp) ---------------------------------
public:
    // Adds element n (the next free index) to mnuPlugin: the caption, and the
    // progId the item runs.
    void AddPluginMenuItem(const QString& caption, const QString& progId);
    // A fresh instance of progId run with the host; its text shown when not
    // empty, any failure reported with the progId.
    void RunPlugin(const QString& progId, MainWindowHost& host);
    void mnuPlugin_Click(int index);

private:
    void buildPluginMenu();
    void button1_0_Click(); // "Álbum": the plug-in menu
    QMenu* mnuAllPlugins = nullptr;
    QList<QAction*> mnuPlugin; // element 0 from the start, empty and idle
};

} // namespace fotello
