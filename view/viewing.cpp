#include <QAction>
#include <QMouseEvent>

#include "controls/image_control.h"
#include "shell/main_window.h"
#include "shell/preview_loader.h"
#include "view/event_hook.h"
#include "view/view_state.h"

namespace fotello {

void ViewStateDeleter::operator()(ViewState* s) const {
    if (!s)
        return;
    delete s->slideLoader; // waits for the pictures being read
    delete s;
}

void FrmFotello::wireViewing() {
    view_.reset(new ViewState);
    buildZoomMenu();
    new EventHook(Image1, QEvent::MouseButtonRelease,
                  [this](QEvent* e) { Image1_MouseUp(static_cast<QMouseEvent*>(e)->button()); });
    wireSlideShow();
    wireMagnifier();
    connect(action(Command::FullScreen), &QAction::triggered, this, &FrmFotello::ctbTela_Click);
}

} // namespace fotello
