#include "shell/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
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

struct ButtonSpec {
    ToolbarButton* FrmFotello::*member;
    const char* name;
    const char* theme;
    const char* glyph;
    QColor colour;
};

} // namespace

FrmFotello::FrmFotello(const QString& programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(programFolder) {
    setObjectName("frmFotello");
    setWindowTitle("Fotello");
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildHiddenFields();
    buildToolbars();
    buildWorkArea();
    buildThumbnailArea();
    buildTree();
    wirePreview();
    wireHints();
    // Nothing is selected when the window opens.
    DisableFileCommands();
    ctbmail->setEnabled(false);
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
    Image3->setPixmap(DrawnIcon("W", QColor(40, 110, 200), 24).pixmap(24));
    Image3->hide();
}

void FrmFotello::buildToolbars() {
    CtbBar3 = new ToolbarStrip("CtbBar3", this);
    ctbBar = new ToolbarStrip("ctbBar", this);
    ctbBar2 = new ToolbarStrip("ctbBar2", this);

    const QColor blue(52, 101, 164), green(78, 154, 6), orange(206, 92, 0), grey(85, 87, 83),
        purple(117, 80, 123), red(164, 0, 0);
    const ButtonSpec specs[] = {
        {&FrmFotello::ctbRefresh, "ctbRefresh", "view-refresh", "⟳", green},
        {&FrmFotello::ctbSlide, "ctbSlide", "media-playback-start", "▶", green},
        {&FrmFotello::ctbSlideF, "ctbSlideF", "media-playback-stop", "■", red},
        {&FrmFotello::ctbProps, "ctbProps", "document-properties", "i", blue},
        {&FrmFotello::ctbRename, "ctbRename", "edit-rename", "ab", blue},
        {&FrmFotello::ctbCopyTo, "ctbCopyTo", "edit-copy", "❐", blue},
        {&FrmFotello::ctbMoveTo, "ctbMoveTo", "go-jump", "➜", blue},
        {&FrmFotello::ctbClips, "ctbClips", "view-grid", "▦", orange},
        {&FrmFotello::ctbTela, "ctbTela", "view-fullscreen", "⇲", orange},
        {&FrmFotello::ctbTools, "ctbTools", "preferences-system", "⚙", grey},
        {&FrmFotello::ctbEfeito, "ctbEfeito", "applications-graphics", "✦", purple},
        {&FrmFotello::ClarkTBButton2, "ClarkTBButton2", "applications-internet", "W", blue},
        {&FrmFotello::ctbmail, "ctbmail", "mail-send", "✉", blue},
        {&FrmFotello::ctbpesquisa, "ctbpesquisa", "zoom-in", "+", grey},
        {&FrmFotello::ctbimprime, "ctbimprime", "document-print", "P", grey},
        {&FrmFotello::ctbajuda, "ctbajuda", "help-contents", "?", green},
        {&FrmFotello::cmdFechar, "cmdFechar", "window-close", "✕", red},
    };
    for (const auto& s : specs) {
        QWidget* parent = (s.member == &FrmFotello::cmdFechar) ? ctbBar2 : CtbBar3;
        auto* b = new ToolbarButton(s.name, parent);
        const auto pic = MakeToolbarPicture(s.theme, QString::fromUtf8(s.glyph), s.colour);
        b->setPicture(pic.normal);
        b->setHoverPicture(pic.hover);
        b->setIconSize(parent == ctbBar2 ? 18 : 26);
        this->*(s.member) = b;
    }
    ClarkTBSeparator1 = new ToolbarSeparator("ClarkTBSeparator1", CtbBar3);
    ClarkTBSeparator2 = new ToolbarSeparator("ClarkTBSeparator2", CtbBar3);

    lblNome = new QLabel(CtbBar3);
    lblNome->setObjectName("lblNome");
    lblNome->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = lblNome->font();
    bold.setBold(true);
    lblNome->setFont(bold);

    static const char* const captions[] = {"Álbum", "Editar", "Copiar", "Excluir", "Converter"};
    static const char* const themes[] = {"view-grid", "image-x-generic", "edit-copy", "edit-delete",
                                         "document-save-as"};
    static const char* const glyphs[] = {"▦", "✎", "❐", "✕", "⇄"};
    for (int i = 0; i < 5; ++i) {
        auto* b = new ToolbarButton(QString("button1_%1").arg(i), ctbBar);
        b->setProperty("index", i);
        b->setCaption(QString::fromUtf8(captions[i]));
        const auto pic = MakeToolbarPicture(themes[i], QString::fromUtf8(glyphs[i]), blue);
        b->setPicture(pic.normal);
        b->setHoverPicture(pic.hover);
        b->setIconSize(16);
        button1[static_cast<std::size_t>(i)] = b;
    }
    Image2 = new QLabel(ctbBar);
    Image2->setObjectName("Image2");
    Image2->setPixmap(DrawnIcon("F", orange, 20).pixmap(20));

    mnuConverter = new QMenu(this);
    mnuConverter->setObjectName("mnuConverter");
    mnuCBmp = mnuConverter->addAction("Converter para .BMP");
    mnuCBmp->setObjectName("mnuCBmp");
    mnuCJpg = mnuConverter->addAction("Converter para .JPG");
    mnuCJpg->setObjectName("mnuCJpg");
    mnuCIco = mnuConverter->addAction("Converter para .ICO");
    mnuCIco->setObjectName("mnuCIco");

    auto label = [this](const char* name, QWidget* parent) {
        auto* l = new QLabel(parent);
        l->setObjectName(name);
        return l;
    };
    lblstatus = label("lblstatus", ctbBar2);
    lbltamanho = label("lbltamanho", ctbBar2);
    lbltamanho->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblStat = label("lblStat", ctbBar2);
    lblCount = label("lblCount", ctbBar2);

    picProgress = new PictureBox("picProgress", ctbBar2);
    picProgressSlide = new PictureBox("picProgressSlide", picProgress);
    picProgress->hide();

    // The slide-show buttons share one place; the stop button starts behind.
    ctbSlideF->setGeometry(ctbSlide->geometry());
    ctbSlide->raise();
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
    vScroll1->setInvertedAppearance(true);
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
    const std::pair<ToolbarButton*, const char*> hints[] = {
        {ctbRefresh, "Recarregar"},
        {ctbSlide, "Slide"},
        {ctbSlideF, "Interromper Slides"},
        {ctbProps, "Propriedades"},
        {ctbRename, "Renomear"},
        {ctbCopyTo, "Copiar para..."},
        {ctbMoveTo, "Mover para..."},
        {ctbClips, "Thumbnails"},
        {ctbTela, "Tela Cheia"},
        {ctbTools, "Configurações"},
        {ctbEfeito, "Filtros/Efeitos"},
        {cmdFechar, "Fechar"},
        {ctbimprime, "Imprime"},
        {ctbajuda, "Ajuda"},
        {ctbpesquisa, "Zoom"},
        {ctbmail, "Enviar..."},
        {ClarkTBButton2, "https://fotello.example/"},
    };
    for (const auto& [button, hint] : hints) {
        const QString text = QString::fromUtf8(hint);
        connect(button, &ToolbarButton::MouseEnter, this,
                [this, text] { lblstatus->setText(text); });
        connect(button, &ToolbarButton::MouseExit, this, [this] { lblstatus->setText(QString()); });
    }
    connect(ClarkTBButton2, &ToolbarButton::MouseEnter, this,
            [this] { setCursor(QCursor(Image3->pixmap(), 0, 0)); });
    connect(ClarkTBButton2, &ToolbarButton::MouseExit, this, [this] { unsetCursor(); });
    connect(cmdFechar, &ToolbarButton::Click, this, &QWidget::close);
}

} // namespace fotello
