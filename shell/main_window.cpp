#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QKeySequence>
#include <QMenu>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

#include "controls/animated_picture.h"
#include "controls/file_list_box.h"
#include "controls/icons.h"
#include "controls/image_control.h"
#include "controls/picture_box.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "controls/toolbar_separator.h"
#include "controls/toolbar_strip.h"
#include "shell/forms.h"
#include "shell/settings_store.h"
#include "shell/thumbnail_strip.h"
#include "shell/unload_order.h"

namespace fotello {

namespace {

// Design sizes of the panes, in pixels (15 twips to a pixel).
constexpr int kLeftColumnWidth = 153;   // 2295 twips
constexpr int kFolderPaneHeight = 223;  // 3345 twips
constexpr int kMagnifierHeight = 98;    // 1470 twips
constexpr int kPictureAreaWidth = 422;  // 6330 twips
constexpr int kPictureAreaHeight = 333; // 4995 twips

// The maker's web page, opened by the web button and shown as its hint.
constexpr const char* kMakerAddress = "https://fotello.example/";

struct CommandSpec {
    Command command;
    const char* text;  // tool tip and accessible name
    const char* hint;  // the status line while the pointer is over the button
    const char* icons; // theme names, best fit first
    const char* glyph; // drawn instead when the theme has none of them
    QRgb colour;
};

constexpr QRgb kBlue = 0x3465a4, kGreen = 0x4e9a06, kOrange = 0xce5c00, kGrey = 0x555753,
               kPurple = 0x75507b, kRed = 0xa40000;

const CommandSpec kCommands[] = {
    {Command::Refresh, "Recarregar a pasta", "Recarregar", "view-refresh", "⟳", kGreen},
    {Command::Slide, "Iniciar slides", "Slide", "media-playback-start", "▶", kGreen},
    {Command::SlideStop, "Interromper slides", "Interromper Slides", "media-playback-stop", "■",
     kRed},
    {Command::Properties, "Propriedades do arquivo", "Propriedades", "document-properties", "i",
     kBlue},
    {Command::Rename, "Renomear o arquivo", "Renomear", "edit-rename", "ab", kBlue},
    {Command::CopyTo, "Copiar para outra pasta", "Copiar para...", "edit-copy", "❐", kBlue},
    {Command::MoveTo, "Mover para outra pasta", "Mover para...", "edit-move go-jump", "➜", kBlue},
    {Command::Thumbnails, "Mostrar as thumbnails", "Thumbnails", "view-list-icons view-grid", "▦",
     kOrange},
    {Command::FullScreen, "Tela cheia", "Tela Cheia", "view-fullscreen", "⇲", kOrange},
    {Command::Settings, "Configurações", "Configurações", "configure preferences-system", "⚙",
     kGrey},
    {Command::Effects, "Filtros e efeitos", "Filtros/Efeitos",
     "color-management tool_imageeffects applications-graphics", "✦", kPurple},
    {Command::WebPage, "Página do fabricante", kMakerAddress,
     "globe internet-web-browser applications-internet", "W", kBlue},
    {Command::Mail, "Enviar por e-mail", "Enviar...", "mail-send mail-message-new", "✉", kBlue},
    {Command::Zoom, "Zoom", "Zoom", "zoom-in", "+", kGrey},
    {Command::Print, "Imprimir", "Imprime", "document-print", "P", kGrey},
    {Command::Help, "Ajuda", "Ajuda", "help-contents help-browser", "?", kGreen},
    {Command::Close, "Fechar", "Fechar", "application-exit window-close", "✕", kRed},
    // The edit buttons show their captions and have no hints.
    {Command::Album, "Álbum", "", "folder-pictures folder-image", "▦", kBlue},
    {Command::Edit, "Editar", "", "edit-image document-edit", "✎", kBlue},
    {Command::Copy, "Copiar", "", "edit-copy", "❐", kBlue},
    {Command::Delete, "Excluir", "", "edit-delete", "✕", kBlue},
    {Command::Convert, "Converter", "", "document-export document-save-as", "⇄", kBlue},
};

QStringList iconNames(const char* icons) {
    return QString::fromLatin1(icons).split(' ', Qt::SkipEmptyParts);
}

} // namespace

FrmFotello::FrmFotello(const QString& programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(programFolder) {
    setObjectName("frmFotello");
    setWindowTitle("Fotello");
    setAttribute(Qt::WA_DeleteOnClose, false);
    ChooseIconTheme();
    buildHiddenFields();
    buildActions();
    buildToolbars();
    buildWorkArea();
    buildThumbnailArea();
    buildTree();
    wirePreview();
    wireHints();
    buildPluginMenu();
    wireFileCommands();
    wireViewing();
    wireEffects();
    wirePrinting();
    wireDesktopDrags(); // desktop integration
    // Nothing is selected when the window opens.
    DisableFileCommands();
    resize(960, 640);
    Forms::instance().add(this);
}

FrmFotello::~FrmFotello() {
    // QWidget's own destructor hides and deletes the children after this part
    // of the window is gone: nothing they signal may reach it any more.
    for (QObject* child : findChildren<QObject*>())
        child->disconnect(this);
    for (QWidget* watched : std::initializer_list<QWidget*>{Picture1, PictHd, Picture4,
                                                            tView->viewport(), File1->viewport()})
        watched->removeEventFilter(this);
    Forms::instance().remove(this);
}

void FrmFotello::BringToFront(QWidget* w) {
    if (!w)
        return;
    w->raise();
    w->show();
}

void FrmFotello::buildHiddenFields() {
    auto field = [this](const char* name) {
        auto* e = new QLineEdit(this);
        e->setObjectName(name);
        e->hide();
        return e;
    };
    txtSlide = field("txtSlide");
    txtJanela = field("txtJanela");
    txtFundo = field("txtFundo");
    txtThumbs = field("txtThumbs");
    txtZoom = field("txtZoom");
    Text1 = field("Text1");
    Text2 = field("Text2");
    Text3 = field("Text3");

    lblPath = new QLabel(this);
    lblPath->setObjectName("lblPath");
    lblPath->hide();

    Image3 = new QLabel(this);
    Image3->setObjectName("Image3");
    Image3->setPixmap(
        MakeToolbarPicture(QStringList{"globe"}, "W", QColor(kBlue)).normal.pixmap(24));
    Image3->hide();
}

void FrmFotello::buildActions() {
    for (const CommandSpec& c : kCommands) {
        auto* a = new QAction(QString::fromUtf8(c.text), this);
        a->setObjectName(QString("act") + ControlName(c.command));
        a->setStatusTip(QString::fromUtf8(c.hint));
        a->setIcon(
            MakeToolbarPicture(iconNames(c.icons), QString::fromUtf8(c.glyph), QColor(c.colour))
                .normal);
        addAction(a); // its shortcut works anywhere in the window
        actions_[static_cast<std::size_t>(c.command)] = a;
    }
    action(Command::Help)->setShortcut(QKeySequence(Qt::Key_F1));

    mnuConverter = new QMenu(this);
    mnuConverter->setObjectName("mnuConvert");
    mnuConverter->setTitle("Converter");
    mnuCBmp = mnuConverter->addAction("Converter para .BMP");
    mnuCBmp->setObjectName("mnuCBmp");
    mnuConverter->addSeparator()->setObjectName("mnusep1");
    mnuCJpg = mnuConverter->addAction("Converter para .JPG");
    mnuCJpg->setObjectName("mnuCJpg");
    mnuConverter->addSeparator()->setObjectName("mnusep2");
    mnuCIco = mnuConverter->addAction("Converter para .ICO");
    mnuCIco->setObjectName("mnuCIco");
    actions_[static_cast<std::size_t>(Command::ToBmp)] = mnuCBmp;
    actions_[static_cast<std::size_t>(Command::ToJpg)] = mnuCJpg;
    actions_[static_cast<std::size_t>(Command::ToIco)] = mnuCIco;

    // Closed in order rather than ended at once: each open window closes through
    // its own handler, and a copy, move or conversion under way is finished, not cut off.
    connect(action(Command::Close), &QAction::triggered, this, &QWidget::close);
}

QAction* FrmFotello::action(const QString& controlName) const {
    for (std::size_t i = 0; i < kCommandCount; ++i)
        if (controlName == QLatin1String(ControlName(static_cast<Command>(i))))
            return actions_[i];
    return nullptr;
}

void FrmFotello::applyCommandStates() {
    const CommandStates on = EnabledCommands(browsing_);
    for (std::size_t i = 0; i < kCommandCount; ++i)
        actions_[i]->setEnabled(on[static_cast<Command>(i)]);
}

void FrmFotello::notePick(const QString& folder) {
    browsing_.picking(folder.endsWith('/'));
    applyCommandStates();
}

void FrmFotello::noteDriveChange() {
    browsing_.driveChanged();
    applyCommandStates();
}

void FrmFotello::buildToolbars() {
    CtbBar3 = new ToolbarStrip("CtbBar3", this);
    ctbBar = new ToolbarStrip("ctbBar", this);
    ctbBar2 = new ToolbarStrip("ctbBar2", this);

    const std::pair<ToolbarButton * FrmFotello::*, Command> toolbar[] = {
        {&FrmFotello::ctbRefresh, Command::Refresh},
        {&FrmFotello::ctbSlide, Command::Slide},
        {&FrmFotello::ctbSlideF, Command::SlideStop},
        {&FrmFotello::ctbProps, Command::Properties},
        {&FrmFotello::ctbRename, Command::Rename},
        {&FrmFotello::ctbCopyTo, Command::CopyTo},
        {&FrmFotello::ctbMoveTo, Command::MoveTo},
        {&FrmFotello::ctbClips, Command::Thumbnails},
        {&FrmFotello::ctbTela, Command::FullScreen},
        {&FrmFotello::ctbTools, Command::Settings},
        {&FrmFotello::ctbEfeito, Command::Effects},
        {&FrmFotello::ClarkTBButton2, Command::WebPage},
        {&FrmFotello::ctbmail, Command::Mail},
        {&FrmFotello::ctbpesquisa, Command::Zoom},
        {&FrmFotello::ctbimprime, Command::Print},
        {&FrmFotello::ctbajuda, Command::Help},
        {&FrmFotello::cmdFechar, Command::Close},
    };
    auto makeButton = [this](Command c, QWidget* parent, int iconSize) {
        auto* b = new ToolbarButton(ControlName(c), parent);
        QAction* a = action(c);
        b->setAction(a);
        b->setHoverPicture(HoverPicture(a->icon()));
        b->setIconSize(iconSize);
        return b;
    };
    for (const auto& [member, command] : toolbar) {
        const bool status = command == Command::Close;
        this->*member = makeButton(command, status ? ctbBar2 : CtbBar3, status ? 16 : 22);
    }
    ClarkTBSeparator1 = new ToolbarSeparator("ClarkTBSeparator1", CtbBar3);
    ClarkTBSeparator2 = new ToolbarSeparator("ClarkTBSeparator2", CtbBar3);

    lblNome = new QLabel(CtbBar3);
    lblNome->setObjectName("lblNome");
    lblNome->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = lblNome->font();
    bold.setBold(true);
    lblNome->setFont(bold);

    const Command panel[] = {Command::Album, Command::Edit, Command::Copy, Command::Delete,
                             Command::Convert};
    for (std::size_t i = 0; i < button1.size(); ++i) {
        ToolbarButton* b = makeButton(panel[i], ctbBar, 16);
        b->setProperty("index", static_cast<int>(i));
        b->setCaption(action(panel[i])->text());
        button1[i] = b;
    }
    Image2 = new QLabel(ctbBar);
    Image2->setObjectName("Image2");
    Image2->setPixmap(
        MakeToolbarPicture(QStringList{"image-x-generic"}, "F", QColor(kOrange)).normal.pixmap(20));

    auto label = [this](const char* name, QWidget* parent) {
        auto* l = new QLabel(parent);
        l->setObjectName(name);
        return l;
    };
    lbltamanho = label("lbltamanho", ctbBar2);
    lbltamanho->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblStat = label("lblStat", ctbBar2);
    lblCount = label("lblCount", ctbBar2);

    picProgress = new PictureBox("picProgress", ctbBar2);
    picProgressSlide = new PictureBox("picProgressSlide", picProgress);
    picProgress->hide();

    // The hint shares its place with the size label and the progress bar and
    // lies over both: shown, it covers them; cleared, they show.
    lblstatus = new StripLabel("lblstatus", ctbBar2);
    lblstatus->setMargin(4);
    lblstatus->raise();

    // The slide-show buttons share one place; the stop button starts behind.
    ctbSlideF->setGeometry(ctbSlide->geometry());
    ctbSlide->raise();
}

QRect FrmFotello::hintPlace(int right, int height) const {
    const QFontMetrics fm(lblstatus->font());
    int widest = 0;
    for (const QAction* a : actions_)
        widest = std::max(widest, fm.horizontalAdvance(a->statusTip()));
    const int width = std::clamp(widest + 2 * lblstatus->margin() + 4, 0, std::max(0, right));
    return {right - width, 0, width, height};
}

void FrmFotello::buildWorkArea() {
    mcsplitbar1 = new QSplitter(Qt::Horizontal, this);
    mcsplitbar1->setObjectName("mcsplitbar1");
    mcsplitbar1->setChildrenCollapsible(false);
    // The panes are handed to the splitters at start-up.

    mcsplitbar2 = new QSplitter(Qt::Vertical, this);
    mcsplitbar2->setObjectName("mcsplitbar2");
    mcsplitbar2->setChildrenCollapsible(false);

    PictHd = new QWidget(this);
    PictHd->setObjectName("PictHd");
    tView = new QTreeWidget(PictHd);
    tView->setObjectName("tView");
    tView->setHeaderHidden(true);
    File1 = new FileListBox("File1", PictHd);
    File1->setPattern("*.bmp;*.jpg;*.wmf;*.gif;*.ico;*.cur");
    // The list starts in the working folder, without a folder-change event.
    File1->setPathQuietly(QDir::currentPath());
    FileListHidden = new FileListBox("FileListHidden", this);
    FileListHidden->hide();

    Picture4 = new PictureBox("Picture4", this);
    vScroll1 = new QScrollBar(Qt::Horizontal, Picture4);
    vScroll1->setObjectName("vScroll1");
    // The value falls from 100 to 0 as the thumb moves away from the near end.
    vScroll1->setRange(0, 100);
    vScroll1->setLayoutDirection(Qt::RightToLeft); // inverted, clicks would go the wrong way
    vScroll1->setValue(50);

    Picture1 = new QWidget(this);
    Picture1->setObjectName("Picture1");
    Pictclips = new QWidget(Picture1);
    Pictclips->setObjectName("Pictclips");
    Pictclips->setAutoFillBackground(true);
    PictImagem = new QWidget(Picture1);
    PictImagem->setObjectName("PictImagem");
    PictImagem->setAutoFillBackground(true);
    ssScroll1 = new ScrollBox("ssScroll1", PictImagem);
    Image1 = new ImageControl("Image1", ssScroll1->canvas());
    mcGif = new AnimatedPicture("mcGif", ssScroll1->canvas());
    mcGif->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(3000);
    Timer2 = new QTimer(this);
    Timer2->setObjectName("Timer2");
    Timer2->setInterval(50);
    connect(Timer2, &QTimer::timeout, this, &FrmFotello::Timer2_Timer);

    // The splitters' resize events: a pane was resized.
    Picture1->installEventFilter(this);
    PictHd->installEventFilter(this);
    Picture4->installEventFilter(this);

    PictHd->resize(kLeftColumnWidth, kFolderPaneHeight);
    Picture4->resize(kLeftColumnWidth, kMagnifierHeight);
    Picture1->resize(kPictureAreaWidth, kPictureAreaHeight);
}

void FrmFotello::closeEvent(QCloseEvent* e) {
    // Form_Unload: every window goes, most recently opened first.
    if (!unloading_) {
        unloading_ = true;
        UnloadAllForms();
        unloading_ = false;
    }
    e->accept();
}

void FrmFotello::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Form_Resize();
}

void FrmFotello::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::WindowStateChange && !isMinimized())
        Form_Resize();
}

bool FrmFotello::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::MouseMove &&
        (watched == tView->viewport() || watched == File1->viewport()))
        hoverTracking = false;
    if (e->type() == QEvent::MouseButtonRelease && watched == tView->viewport())
        tView_Click();
    if (e->type() == QEvent::Resize) {
        if (watched == Picture1)
            mcsplitbar1_Resize();
        else if (watched == PictHd || watched == Picture4)
            mcsplitbar2_Resize();
    }
    return QWidget::eventFilter(watched, e);
}

void FrmFotello::wireHints() {
    for (ToolbarButton* button : findChildren<ToolbarButton*>()) {
        const QAction* a = button->action();
        if (!a || a->statusTip().isEmpty())
            continue;
        const QString hint = a->statusTip();
        connect(button, &ToolbarButton::MouseEnter, this,
                [this, hint] { lblstatus->setText(hint); });
        connect(button, &ToolbarButton::MouseExit, this, [this] { lblstatus->setText(QString()); });
    }
    // The web button points like a link.
    connect(ClarkTBButton2, &ToolbarButton::MouseEnter, this,
            [this] { setCursor(Qt::PointingHandCursor); });
    connect(ClarkTBButton2, &ToolbarButton::MouseExit, this, [this] { unsetCursor(); });
}

} // namespace fotello
