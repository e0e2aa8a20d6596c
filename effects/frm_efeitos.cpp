#include "effects/frm_efeitos.h"

#include <algorithm>
#include <vector>

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent>

#include "controls/file_list_box.h"
#include "controls/icons.h"
#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "controls/toolbar_strip.h"
#include "effects/effects_rules.h"
#include "effects/effects_save.h"
#include "effects/filter_table.h"
#include "effects/picture_effects.h"
#include "platform/picture_reader.h"
#include "shell/forms.h"
#include "shell/messages.h"
#include "view/frm_flip.h"

namespace fotello {

namespace {

// A menu item: its caption, or none when the filter table gives it.
struct MenuItem {
    const char* name;
    const char* caption = nullptr;
};
struct SubMenu {
    const char* name;
    const char* caption;
    std::initializer_list<MenuItem> items;
};

const SubMenu kFilterMenus[] = {
    {"mnuRotate",
     "&Rotação",
     {{"mnuFlipH", "Flip &Horizontal"}, {"mnuFlipV", "Flip &Vertical"}, {"mnuDef", "&Definir..."}}},
    {"mnuContorno",
     "&Contornos",
     {{"mnuEmboss"},
      {"mnuEmbossM"},
      {"mnuEngrave"},
      {"mnuEngraveM"},
      {"mnuRelief"},
      {"mnuEnhance"},
      {"mnuContour"},
      {"mnuInverse"},
      {"mnuDilate"},
      {"mnuErode"}}},
    {"mnuDefin",
     "&Definição",
     {{"mnuNoise"},
      {"mnuAqua"},
      {"mnuSmooth"},
      {"mnuBlur"},
      {"mnuSharp"},
      {"mnuSharpM"},
      {"mnuDiffuse"},
      {"mnuDiffuseM"},
      {"mnuBrighter"},
      {"mnuDark"},
      {"mnuContrastM"},
      {"mnuContrastMin"},
      {"mnuContrastS"},
      {"mnuSatM"},
      {"mnuSatMin"},
      {"mnuPixel"},
      {"mnuSeurat", "Dotted"},
      {"mnuShake", "Shake"},
      {"mnuDesbotado", "tbColourless"},
      {"mnuMosaic", "Mosaic"}}},
    {"mnuCor",
     "Cores",
     {{"mnuGamma"},
      {"mnuNegative"},
      {"mnuGrayscale"},
      {"mnuRGB1"},
      {"mnuRGB2"},
      {"mnuRGB3"},
      {"mnuRGB4"},
      {"mnuRGB5"},
      {"mnuBW1"},
      {"mnuBW2"},
      {"mnuBW3"},
      {"mnuBW4"},
      {"mnuBW5"},
      {"mnuBW6"}}},
};

constexpr int kTimerMs = 100;

// Filters started and not yet answered, across windows (UI thread only): the
// engine's copy is released only when none is.
int filtersInFlight = 0;

void ReleaseEngineWhenIdle() {
    if (filtersInFlight == 0)
        SharedFilterEngine().ReleaseBuffers();
}
constexpr int kBarHeight = 34;

QImage Opaque(const QImage& image) {
    if (image.format() == QImage::Format_RGB32)
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    return flat;
}

PixelView ViewOf(QImage& image) {
    return PixelView{image.bits(), image.width(), image.height()};
}

// The untouched copy is only read: no detach.
PixelView ReadView(const QImage& image) {
    return PixelView{const_cast<std::uint8_t*>(image.constBits()), image.width(), image.height()};
}

} // namespace

// Resize1: while on, the bar's labels keep the shares of the room between the
// two buttons that they had when it was switched on (the buttons themselves
// are placed by ArrangeEffectsWindow, which runs fit()).
class FrmEfeitos::ProportionalResize : public QObject {
public:
    ProportionalResize(std::function<QRect()> room, QObject* parent)
        : QObject(parent), room_(std::move(room)) {
        setObjectName("Resize1");
    }
    void switchOn(std::initializer_list<QWidget*> controls) {
        const QRect room = room_();
        shares_.clear();
        for (QWidget* w : controls) {
            const double width = std::max(1, room.width());
            shares_.push_back(
                {w, (w->x() - room.left()) / width, (w->x() + w->width() - room.left()) / width});
        }
        setProperty("on", true);
    }
    void switchOff() {
        shares_.clear();
        setProperty("on", false);
    }
    bool isOn() const { return property("on").toBool(); }
    void fit() const {
        const QRect room = room_();
        for (const Share& s : shares_) {
            const int left = room.left() + qRound(s.left * room.width());
            const int right = room.left() + qRound(s.right * room.width());
            s.control->setGeometry(left, s.control->y(), std::max(0, right - left),
                                   s.control->height());
        }
    }

private:
    struct Share {
        QWidget* control;
        double left, right;
    };
    std::function<QRect()> room_;
    std::vector<Share> shares_;
};

// What a filter's worker shares with the window; it outlives the window when
// the main window goes while a filter runs.
struct FrmEfeitos::FilterRun {
    std::atomic<int> percent{0};
    QImage keep; // the working picture's bytes stay alive until the filter returns
};

FrmEfeitos::FrmEfeitos(MainWindowHost& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window), host_(host) {
    setObjectName("frmEfeitos");
    setWindowTitle("Efeitos");
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* client = new QWidget(this);
    setCentralWidget(client);
    buildToolbar();
    ScrollBox1 = new ScrollBox("ScrollBox1", client);
    ScrollBox1->setScrollMode(4);
    Picture1 = new ImageControl("Picture1", ScrollBox1->canvas());
    Picture3 = new ImageControl("Picture3", ScrollBox1->canvas());
    Picture3->hide();
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimerMs);
    connect(Timer1, &QTimer::timeout, this, &FrmEfeitos::Timer1_Timer);
    connect(&filterWatch_, &QFutureWatcher<FilterStatus>::finished, this, &FrmEfeitos::filterDone);
    buildMenus();
    FileListHidden = new FileListBox("FileListHidden", client);
    FileListHidden->hide();
    Resize1 = new ProportionalResize([this] { return barRoom(); }, this);
    resize(640, 480);
    ArrangeEffectsWindow();
    Forms::instance().add(this);
}

QRect FrmEfeitos::barRoom() const {
    const int left = ClarkTBButton2->geometry().right() + 12;
    const int right = cmdFechar->x() - 8;
    return QRect(left, 0, std::max(0, right - left), kBarHeight);
}

FrmEfeitos::~FrmEfeitos() {
    Forms::instance().remove(this);
}

void FrmEfeitos::buildToolbar() {
    ctbBar2 = new ToolbarStrip("ctbBar2", centralWidget());
    cmdFechar = new ToolbarButton("cmdFechar", ctbBar2);
    const ToolbarPicture close =
        MakeToolbarPicture(QStringList{"window-close", "application-exit"}, "✕", QColor(0xa40000));
    cmdFechar->setPicture(close.normal);
    cmdFechar->setHoverPicture(close.hover);
    cmdFechar->setToolTip("Fechar");
    ClarkTBButton2 = new ToolbarButton("ClarkTBButton2", ctbBar2);
    ClarkTBButton2->setCaption("Lumivar");
    lblNome = new QLabel(ctbBar2);
    lblNome->setObjectName("lblNome");
    lblStatus = new QLabel(ctbBar2);
    lblStatus->setObjectName("lblStatus");
    txtPath = new QLineEdit(ctbBar2);
    txtPath->setObjectName("txtPath");
    txtPath->hide();
    connect(cmdFechar, &ToolbarButton::Click, this, &QWidget::close);
    connect(cmdFechar, &ToolbarButton::MouseEnter, this, [this] { lblStatus->setText("Fechar"); });
    connect(cmdFechar, &ToolbarButton::MouseExit, this, [this] { lblStatus->clear(); });
    // The maker's address is the main window's web command's hint.
    const auto makerAddress = [this] {
        auto* web = qobject_cast<QAction*>(host_.control("actClarkTBButton2"));
        return web ? web->statusTip() : QString();
    };
    connect(ClarkTBButton2, &ToolbarButton::MouseEnter, this, [this, makerAddress] {
        lblStatus->setText(makerAddress());
        setCursor(Qt::PointingHandCursor);
    });
    connect(ClarkTBButton2, &ToolbarButton::MouseExit, this, [this] {
        lblStatus->clear();
        unsetCursor();
    });
    connect(ClarkTBButton2, &ToolbarButton::Click, this, [this, makerAddress] {
        lblStatus->clear();
        unsetCursor();
        QDesktopServices::openUrl(QUrl(makerAddress()));
    });
}

void FrmEfeitos::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto add = [this](QWidget* menu, const QString& name, const QString& caption) {
        auto* a = new QAction(caption, menu);
        a->setObjectName(name);
        menu->addAction(a);
        connect(a, &QAction::triggered, this, [this, name] { menuItem_Click(name); });
        return a;
    };
    mnuAplic = add(bar, "mnuAplic", "&Aplicar");
    mnuSave = add(bar, "mnuSave", "&Salvar");
    mnuDesfaz = add(bar, "mnuDesfaz", "&Desfazer");
    auto* mnuFil = bar->addMenu("&Filtros");
    mnuFil->setObjectName("mnuFil");
    int separator = 0;
    for (const SubMenu& sub : kFilterMenus) {
        if (separator > 0) {
            QAction* sep = mnuFil->addSeparator();
            sep->setObjectName(QString("mnuSep%1").arg(separator));
        }
        ++separator;
        QMenu* menu = mnuFil->addMenu(QString::fromUtf8(sub.caption));
        menu->setObjectName(sub.name);
        for (const MenuItem& item : sub.items) {
            QString caption;
            if (item.caption) {
                caption = QString::fromUtf8(item.caption);
            } else {
                const FilterMenuEntry* e = FindFilterEntry(item.name);
                Q_ASSERT(e);
                caption = QString::fromUtf8(e->caption.data(), qsizetype(e->caption.size()));
            }
            add(menu, item.name, caption);
        }
    }
}

void FrmEfeitos::ArrangeEffectsWindow() {
    QWidget* client = centralWidget();
    ctbBar2->setGeometry(0, 0, client->width(), kBarHeight);
    cmdFechar->resize(cmdFechar->sizeHint());
    cmdFechar->move(ctbBar2->width() - cmdFechar->width() - ctbBar2->height() / 7,
                    (kBarHeight - cmdFechar->height()) / 2);
    ClarkTBButton2->resize(ClarkTBButton2->sizeHint());
    ClarkTBButton2->move(4, (kBarHeight - ClarkTBButton2->height()) / 2);
    if (Resize1 && Resize1->isOn())
        Resize1->fit();
    ScrollBox1->setGeometry(0, kBarHeight, client->width(),
                            std::max(0, client->height() - kBarHeight));
}

void FrmEfeitos::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (Resize1->isOn())
        return;
    // Loaded: the window has its size now. The labels split the room between
    // the buttons in half, and keep that share from here on.
    ArrangeEffectsWindow();
    const QRect room = barRoom();
    const int half = room.width() / 2;
    lblNome->setGeometry(room.left(), 0, half, kBarHeight);
    lblStatus->setGeometry(room.left() + half, 0, room.width() - half, kBarHeight);
    Resize1->switchOn({lblNome, lblStatus});
}

void FrmEfeitos::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    if (!isMinimized())
        ArrangeEffectsWindow();
}

void FrmEfeitos::OpenPicture(const QString& folder, const CurrentPicture& picture) {
    if (busy())
        return; // the picture being worked on stays
    ++generation_;
    txtPath->setText(folder);
    lblNome->setText(picture.name);
    // Taken at every opening: a window left open must not save one file's
    // picture in another's kind.
    imagePath = picture.path;
    shownPath_ = picture.path;
    local_ = picture.local;
    const bool reduced = picture.image.isNull() || (picture.naturalSize.isValid() &&
                                                    picture.image.size() != picture.naturalSize);
    working_ = Opaque(picture.image);
    whole_ = !reduced;
    Picture3->setPicture(working_);
    showWorking();
    for (QAction* a : findChildren<QAction*>())
        a->setEnabled(true);
    if (!reduced)
        return;
    // Effects and the save work on the whole picture, never the preview's copy.
    loading_ = true;
    setCursor(Qt::BusyCursor);
    const std::uint64_t gen = generation_;
    const QByteArray local = local_;
    auto* watch = new QFutureWatcher<PictureResult>(this);
    connect(watch, &QFutureWatcher<PictureResult>::finished, this, [this, watch, gen] {
        watch->deleteLater();
        if (gen != generation_)
            return;
        const PictureResult r = watch->result();
        fullPictureRead(r.image, r.ok());
    });
    watch->setFuture(QtConcurrent::run([local] { return ReadPictureLocal(local); }));
}

void FrmEfeitos::fullPictureRead(const QImage& image, bool ok) {
    loading_ = false;
    unsetCursor();
    if (!ok || image.isNull())
        return; // the reduced copy shows; a save refuses it
    working_ = Opaque(image);
    whole_ = true;
    Picture3->setPicture(working_);
    showWorking();
}

void FrmEfeitos::showWorking() {
    Picture1->setPicture(working_);
    ScrollBox1->refit();
}

const QImage& FrmEfeitos::untouchedPicture() const {
    return Picture3->picture();
}

void FrmEfeitos::setWorkingPicture(const QImage& picture) {
    working_ = Opaque(picture);
    showWorking();
}

void FrmEfeitos::afterDialog() {
    mnuAplic->setEnabled(true);
    mnuSave->setEnabled(true);
    mnuDesfaz->setEnabled(true);
}

void FrmEfeitos::menuItem_Click(const QString& name) {
    if (busy())
        return;
    if (name == "mnuAplic")
        mnuAplic_Click();
    else if (name == "mnuSave")
        mnuSave_Click();
    else if (name == "mnuDesfaz")
        ResetPicture();
    else if (name == "mnuFlipH" || name == "mnuFlipV")
        mnuFlip_Click(name == "mnuFlipV");
    else if (name == "mnuMosaic")
        MosaicEffect();
    else if (name == "mnuSeurat")
        DottedEffect();
    else if (name == "mnuDesbotado")
        mnuDesbotado_Click();
    else if (name == "mnuDef")
        mnuDef_Click();
    else if (name == "mnuShake")
        mnuShake_Click();
    else if (const FilterMenuEntry* e = FindFilterEntry(name.toStdString())) {
        if (e->parameterFromUser)
            mnuGamma_Click();
        else
            runFilter(e->number, e->parameter);
    }
}

void FrmEfeitos::runFilter(int number, std::int32_t parameter) {
    if (busy() || working_.isNull())
        return;
    // The working picture alone may hold these bytes while the worker writes
    // them: the preview's copy (after Apply) and the untouched copy keep theirs.
    Picture1->clearPicture();
    const PixelView view = ViewOf(working_);
    Picture1->setPicture(working_);
    run_ = std::make_shared<FilterRun>();
    run_->keep = working_;
    running_ = true;
    ++filtersInFlight;
    setCursor(Qt::BusyCursor);
    Timer1->start();
    auto run = run_;
    auto observer = observer_;
    filterWatch_.setFuture(QtConcurrent::run([run, observer, view, number, parameter] {
        FilterProgress progress;
        progress.percent = &run->percent;
        progress.onReport = observer;
        const FilterStatus status = ApplyFilter(number, view, parameter, progress);
        run->keep = QImage();
        return status;
    }));
}

void FrmEfeitos::filterDone() {
    running_ = false;
    --filtersInFlight;
    unsetCursor();
    if (closing_) {
        // Closed meanwhile: the result is dropped.
        ReleaseEngineWhenIdle();
        deleteLater();
        return;
    }
    const FilterStatus status = filterWatch_.result();
    if (status != FilterStatus::Done) {
        Timer1->stop();
        lblStatus->clear();
        return;
    }
    showWorking();
    Timer1_Timer();
}

void FrmEfeitos::Timer1_Timer() {
    const int percent = run_ ? run_->percent.load() : 0;
    lblStatus->setText(QString::fromStdString(FilterProgressText(percent)));
    // The picture is whole only when the worker has returned.
    if (percent == 100 && !running_) {
        mnuSave->setEnabled(true);
        Timer1->stop();
        lblStatus->clear();
    }
}

void FrmEfeitos::mnuGamma_Click() {
    auto* box = new QInputDialog(this);
    box->setObjectName("gammaBox");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle("Fotello");
    box->setLabelText("Gamma Factor * 100");
    box->setTextValue("1");
    connect(box, &QInputDialog::textValueSelected, this, [this](const QString& answer) {
        const std::optional<int> value = ParseGammaAnswer(answer.toStdString());
        const FilterMenuEntry* e = FindFilterEntry("mnuGamma");
        if (value && e)
            runFilter(e->number, *value);
    });
    box->open();
}

void FrmEfeitos::mnuFlip_Click(bool vertical) {
    const QImage& source = Picture3->picture();
    if (source.isNull())
        return;
    // The mirror starts from the picture as opened, at its size.
    QImage flipped(source.size(), QImage::Format_RGB32);
    if (!FlipPicture(ReadView(source), ViewOf(flipped), vertical))
        return;
    working_ = flipped;
    showWorking();
    mnuSave->setEnabled(true);
}

void FrmEfeitos::MosaicEffect() {
    if (working_.isNull())
        return;
    Picture1->clearPicture();
    fotello::MosaicEffect(ViewOf(working_));
    showWorking();
    mnuSave->setEnabled(true);
}

void FrmEfeitos::DottedEffect() {
    if (working_.isNull())
        return;
    Picture1->clearPicture();
    fotello::DottedEffect(ViewOf(working_), SharedFilterEngine().random());
    showWorking();
    mnuSave->setEnabled(true);
}

void FrmEfeitos::mnuDesbotado_Click() {
    if (working_.isNull())
        return;
    Picture1->clearPicture();
    FadeEffect(ReadView(Picture3->picture()), ViewOf(working_), 1, true);
    showWorking();
    mnuSave->setEnabled(true);
}

void FrmEfeitos::mnuAplic_Click() {
    host_.showInPreview(working_);
}

void FrmEfeitos::ResetPicture() {
    if (busy())
        return;
    imagePath = txtPath->text();
    working_ = Picture3->picture();
    showWorking();
    mnuSave->setEnabled(false);
}

void FrmEfeitos::mnuSave_Click() {
    const EffectsSaveKind kind = SaveKindFor(imagePath.toStdString());
    if (kind == EffectsSaveKind::None)
        return;
    // After an undo imagePath holds the folder: a folder named "x.bmp" must
    // not put a bitmap into the JPEG being edited.
    if (kind != NamedKindOf(shownPath_.toStdString())) {
        saveDone(false);
        return;
    }
    if (!whole_) {
        saveDone(false); // a reduced copy never replaces the file
        return;
    }
    saving_ = true;
    setCursor(Qt::BusyCursor);
    auto* watch = new QFutureWatcher<bool>(this);
    connect(watch, &QFutureWatcher<bool>::finished, this, [this, watch] {
        watch->deleteLater();
        saving_ = false;
        unsetCursor();
        saveDone(watch->result());
    });
    const QImage picture = working_;
    const QByteArray target = local_;
    watch->setFuture(QtConcurrent::run(
        [picture, target, kind] { return SaveEffectsPicture(picture, target, kind); }));
}

void FrmEfeitos::saveDone(bool ok) {
    if (!ok) {
        ShowMessage(this, QString::fromUtf8("Impossível alterar este Arquivo!\r\n"
                                            "Verifique se há algum atributo (Read-Only)"));
        return;
    }
    host_.rebuildThumbnail(shownPath_);
    ShowMessage(this, QString::fromUtf8("As Alterações Foram Salvas."));
}

void FrmEfeitos::mnuDef_Click() {
    if (!flip_)
        flip_ = new FrmFlip(*this, this);
    flip_->showFor("Rotate");
}

void FrmEfeitos::mnuShake_Click() {
    if (!flip_)
        flip_ = new FrmFlip(*this, this);
    flip_->showFor("Shake");
}

void FrmEfeitos::closeEvent(QCloseEvent* e) {
    e->accept();
    closing_ = true;
    Resize1->switchOff();
    Timer1->stop();
    if (running_)
        return; // hidden; deleted when the worker is done
    ReleaseEngineWhenIdle();
    deleteLater();
}

} // namespace fotello
