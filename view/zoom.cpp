// The preview's zoom: the Zoom menu, its shortcuts and the mouse on the picture.

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "controls/image_control.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "shell/main_window.h"
#include "view/view_state.h"

namespace fotello {

void FrmFotello::buildZoomMenu() {
    mnuzoom = new QMenu("Zoom", this);
    mnuzoom->setObjectName("mnuzoom");
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       const QKeySequence& keys, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        if (!keys.isEmpty()) {
            a->setShortcut(keys);
            addAction(a); // the shortcut works with the menu closed
        }
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    item(mnuzoom, "mnuzoomais", "Zoom +", QKeySequence(Qt::Key_F2), &FrmFotello::mnuzoomais_Click);
    item(mnuzoom, "mnuzoomenos", "Zoom - ", QKeySequence(Qt::Key_F3),
         &FrmFotello::mnuzoomenos_Click);
    QMenu* up = mnuzoom->addMenu("Aumentar...");
    up->setObjectName("mnuaumenta");
    up->menuAction()->setObjectName("mnuaumenta");
    QMenu* down = mnuzoom->addMenu("Reduzir...");
    down->setObjectName("mnureduz");
    down->menuAction()->setObjectName("mnureduz");
    for (int n = 2; n <= 7; ++n) {
        item(up, qPrintable(QString("mnu%1p1").arg(n)), QString("%1 : 1").arg(n), {},
             [this, n] { mnuRatio_Click(n); });
        item(down, qPrintable(QString("mnu1p%1").arg(n)), QString("1 : %1").arg(n), {},
             [this, n] { mnuRatio_Click(-n); });
    }
    item(mnuzoom, "mnujanela", "Tamanho da Janela", QKeySequence(Qt::CTRL | Qt::Key_J),
         &FrmFotello::mnujanela_Click);
    item(mnuzoom, "muatual", "Tamanho Atual", QKeySequence(Qt::CTRL | Qt::Key_A),
         &FrmFotello::muatual_Click);
    connect(action(Command::Zoom), &QAction::triggered, this, &FrmFotello::ctbpesquisa_Click);
}

void FrmFotello::ctbpesquisa_Click() {
    lblstatus->setText(QString());
    mnuzoom->popup(QCursor::pos());
}

void FrmFotello::mnuzoomais_Click() {
    zoomStep(kZoomFactor);
}

void FrmFotello::mnuzoomenos_Click() {
    zoomStep(1 / kZoomFactor);
}

void FrmFotello::Image1_MouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        zoomStep(kZoomFactor);
    else if (button == Qt::RightButton)
        zoomStep(1 / kZoomFactor);
}

void FrmFotello::zoomStep(double f) {
    if (Image1->picture().isNull())
        return;
    ViewState& v = *view_;
    // The float size goes on from where the last step left it, unless the
    // picture was replaced or fitted since.
    const Size now{Image1->width(), Image1->height()};
    if (now != v.zoomShown)
        v.zoom = {static_cast<float>(now.width), static_cast<float>(now.height)};
    const SizeF next = ZoomStep(v.zoom, f);
    zoomTo(next.width, next.height);
}

void FrmFotello::zoomTo(float width, float height) {
    ViewState& v = *view_;
    v.zoom = {width, height};
    v.zoomShown = Rounded(v.zoom);
    Image1->setStretch(true);
    Image1->resize(v.zoomShown.width, v.zoomShown.height);
    const ZoomPlace place = PlaceZoomed(v.zoomShown, {PictImagem->width(), PictImagem->height()});
    Image1->move(place.position.x, place.position.y);
    ssScroll1->setScrollMode(place.scrollMode);
}

void FrmFotello::mnuRatio_Click(int n) {
    if (Image1->picture().isNull())
        return;
    const QSize natural = Image1->naturalSize();
    const SizeF s = RatioSize({natural.width(), natural.height()}, n);
    zoomTo(s.width, s.height);
}

void FrmFotello::muatual_Click() {
    mnuRatio_Click(1);
}

void FrmFotello::mnujanela_Click() {
    if (Image1->picture().isNull())
        return;
    FitPicture();
    ssScroll1->setScrollMode(0);
}

} // namespace fotello
