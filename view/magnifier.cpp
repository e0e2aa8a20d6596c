// The screen magnifier: an enlarged copy of the screen around the pointer on
// Picture4 while the pointer is over the preview picture or a thumbnail.

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

#include "controls/animated_picture.h"
#include "controls/image_control.h"
#include "controls/picture_box.h"
#include "controls/scroll_box.h"
#include "shell/main_window.h"
#include "shell/thumbnail_strip.h"
#include "view/event_hook.h"
#include "view/view_state.h"

namespace fotello {

void FrmFotello::wireMagnifier() {
    // A move is decided by the deepest of these widgets it reaches; the
    // copies of it that go on to their parents change nothing.
    auto track = [this](QWidget* w, std::function<bool(QMouseEvent*)> over) {
        w->setMouseTracking(true);
        new EventHook(w, QEvent::MouseMove, [this, over](QEvent* e) {
            auto* m = static_cast<QMouseEvent*>(e);
            ViewState& v = *view_;
            if (m->timestamp() == v.hoverStamp && m->globalPosition() == v.hoverAt)
                return;
            v.hoverStamp = m->timestamp();
            v.hoverAt = m->globalPosition();
            hoverTracking = over(m);
        });
    };
    auto yes = [](QMouseEvent*) { return true; };
    auto no = [](QMouseEvent*) { return false; };
    track(Image1, yes);
    track(mcGif, yes);
    track(picFrame,
          [this](QMouseEvent* m) { return picFrame->cellAt(m->position().toPoint()) >= 0; });
    for (QWidget* w : std::initializer_list<QWidget*>{ssScroll1->canvas(), ssScroll1->viewport(),
                                                      PictImagem, Pictclips, Picture4})
        track(w, no);
    new EventHook(Picture4, QEvent::MouseButtonDblClick, [this](QEvent*) { Picture4_DblClick(); });
}

void FrmFotello::Picture4_DblClick() {
    // A stopped magnifier keeps its last picture.
    if (Timer2->isActive())
        Timer2->stop();
    else
        Timer2->start();
}

namespace {

// The screen's pixels where the platform lets a program read them (X11);
// elsewhere the window's own, which is what lies under the pointer whenever
// the magnifier follows it. Parts off the window stay black.
QImage Capture(QScreen* screen, QWidget* window, QRect global) {
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        const QRect local = global.translated(-screen->geometry().topLeft());
        return screen->grabWindow(0, local.x(), local.y(), local.width(), local.height()).toImage();
    }
    QImage shot(global.size(), QImage::Format_RGB32);
    shot.fill(Qt::black);
    const QRect inWindow =
        QRect(window->mapFromGlobal(global.topLeft()), global.size()) & window->rect();
    if (!inWindow.isEmpty()) {
        QPainter p(&shot);
        p.drawPixmap(window->mapToGlobal(inWindow.topLeft()) - global.topLeft(),
                     window->grab(inWindow));
    }
    return shot;
}

} // namespace

void FrmFotello::Timer2_Timer() {
    ViewState& v = *view_;
    const QSize pane(Picture4->scaleWidth(), Picture4->scaleHeight());
    const int value = vScroll1->value();
    // An empty source (value 0) shows the idle picture too.
    if (!hoverTracking || value <= 0 || pane.isEmpty()) {
        // The cross is the same on every tick: drawn again only when it went.
        if (v.magnifierIdle != pane) {
            drawMagnifierIdleCross();
            v.magnifierIdle = pane;
        }
        return;
    }
    const QPoint cursor = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen)
        screen = this->screen();
    if (!screen)
        return;
    const QRect sg = screen->geometry();
    const MagnifierCapture c =
        MagnifierSource({cursor.x() - sg.x(), cursor.y() - sg.y()}, {sg.width(), sg.height()},
                        {pane.width(), pane.height()}, value, v.magnifierCentre);
    v.magnifierCentre = c.centre;
    const QRect source(sg.x() + c.source.x, sg.y() + c.source.y, c.source.width, c.source.height);
    if (source.isEmpty())
        return;
    const QImage shot = Capture(screen, window(), source);
    if (shot.isNull())
        return;
    Picture4->drawImage({0, 0}, shot.size() == pane ? shot
                                                    : shot.scaled(pane, Qt::IgnoreAspectRatio,
                                                                  Qt::FastTransformation));
    v.magnifierIdle = QSize();
}

} // namespace fotello
