#include "view/full_screen.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

#include "controls/animated_picture.h"
#include "controls/image_control.h"
#include "platform/colour.h"
#include "shell/forms.h"
#include "shell/kind_rules.h"
#include "shell/main_window_host.h"
#include "shell/numbers.h"
#include "shell/preview_loader.h"
#include "shell/wait_pointer.h"
#include "view/event_hook.h"

namespace fotello {

namespace {

QPointer<FrmTelaCheia> theViewer;

QRect ScreenOf(MainWindowHost& host) {
    QScreen* s = host.hostWidget() ? host.hostWidget()->screen() : nullptr;
    if (!s)
        s = QGuiApplication::primaryScreen();
    return s ? s->geometry() : QRect(0, 0, 640, 480);
}

} // namespace

FrmTelaCheia::FrmTelaCheia(MainWindowHost& host)
    // A window of its own, deleted with the main window at the latest.
    : QWidget(host.hostWidget(), Qt::Window | Qt::FramelessWindowHint), host_(host) {
    setObjectName("frmTelaCheia");
    setWindowTitle("Fotello");
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    setBackColor(0);
    screen_ = ScreenOf(host);
    setGeometry(screen_);

    Image1 = new ImageControl("Image1", this);
    mcGif = new AnimatedPicture("mcGif", this);
    QPalette gifBack = mcGif->palette();
    gifBack.setColor(QPalette::Window, Qt::black);
    mcGif->setPalette(gifBack);
    mcGif->setAutoFillBackground(true);
    mcGif->hide();
    new EventHook(Image1, QEvent::MouseButtonRelease,
                  [this](QEvent* e) { Image1_MouseUp(static_cast<QMouseEvent*>(e)->button()); });

    loader_ = new PreviewLoader(this);
    connect(loader_, &PreviewLoader::ready, this, &FrmTelaCheia::pictureRead);
    theViewer = this;
    Forms::instance().add(this);
}

FrmTelaCheia::~FrmTelaCheia() {
    delete loader_; // waits for a reading under way; its answer is dropped
    loader_ = nullptr;
    Forms::instance().remove(this);
}

FrmTelaCheia* FrmTelaCheia::existing() {
    return theViewer.data();
}

FrmTelaCheia* FrmTelaCheia::Open(MainWindowHost& host) {
    FrmTelaCheia* v = existing();
    if (!v)
        v = new FrmTelaCheia(host);
    v->Form_Load();
    v->showFullScreen();
    v->raise();
    v->activateWindow();
    return v;
}

void FrmTelaCheia::ApplyBackColor(MainWindowHost& host, std::uint32_t bgr) {
    FrmTelaCheia* v = existing();
    if (!v)
        v = new FrmTelaCheia(host); // hidden until opened
    v->setBackColor(bgr);
}

void FrmTelaCheia::setBackColor(std::uint32_t bgr) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ColorFromBgr(bgr));
    setPalette(pal);
}

void FrmTelaCheia::Form_Load() {
    // The screen the main window is on now.
    screen_ = ScreenOf(host_);
    setGeometry(screen_);
    const CurrentPicture c = host_.currentPicture();
    if (!c.isValid()) {
        Image1->clearPicture();
        mcGif->Stop();
        mcGif->hide();
        return; // opens black
    }
    if (!wait_)
        wait_.emplace();
    const bool gif = ShownAsGif(c.path.toLower().toStdString());
    generation_ = loader_->request({c.path, c.local, gif, {}, {}});
}

void FrmTelaCheia::pictureRead(const PreviewPicture& read) {
    if (read.generation != generation_)
        return;
    wait_.reset();
    // A file that cannot be read leaves the viewer black.
    if (!read.picture.ok())
        return;
    if (!read.gifBytes.isEmpty()) {
        Image1->hide();
        Image1->setPicture(read.picture.image);
        placeOnScreen(); // the hidden still control takes the keys and steps
        mcGif->show();
        mcGif->resize(read.picture.image.size());
        mcGif->setFileName(read.full, read.local, read.gifBytes);
        mcGif->Prepare();
        mcGif->Play();
        return;
    }
    mcGif->Stop();
    mcGif->hide();
    Image1->setStretch(false);
    Image1->setPicture(read.picture.image, read.picture.naturalSize);
    Image1->show();
    Image1->raise();
    placeOnScreen();
}

void FrmTelaCheia::placeOnScreen() {
    zoom_ = {float(Image1->width()), float(Image1->height())};
    const Point at =
        CentredOnScreen({Image1->width(), Image1->height()}, {screen_.width(), screen_.height()});
    Image1->move(at.x, at.y);
}

void FrmTelaCheia::keyPressEvent(QKeyEvent* e) {
    Form_KeyDown(e->key());
    e->accept();
}

void FrmTelaCheia::Form_KeyDown(int key) {
    const int step = static_cast<int>(RoundHalfEven(screen_.height() / 30.0));
    switch (key) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Up:
        Image1->move(Image1->x(), Image1->y() - step);
        break;
    case Qt::Key_Down:
        Image1->move(Image1->x(), Image1->y() + step);
        break;
    case Qt::Key_Left:
        Image1->move(Image1->x() - step, Image1->y());
        break;
    case Qt::Key_Right:
        Image1->move(Image1->x() + step, Image1->y());
        break;
    default:
        break;
    }
}

void FrmTelaCheia::Image1_MouseUp(Qt::MouseButton button) {
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    if (Image1->picture().isNull())
        return;
    // Steps go on from the float size while the control keeps its rounded value.
    if (Rounded(zoom_) != Size{Image1->width(), Image1->height()})
        zoom_ = {float(Image1->width()), float(Image1->height())};
    zoom_ = ZoomStep(zoom_, button == Qt::LeftButton ? kZoomFactor : 1 / kZoomFactor);
    const Size s = Rounded(zoom_);
    Image1->setStretch(true);
    Image1->resize(s.width, s.height);
    const Point at = CentredOnScreen(s, {screen_.width(), screen_.height()});
    Image1->move(at.x, at.y);
}

} // namespace fotello
