// Main window layout: the toolbars, the work area and the splitters follow
// the window's size.

#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

#include "controls/file_list_box.h"
#include "controls/image_control.h"
#include "controls/picture_box.h"
#include "controls/scroll_box.h"
#include "controls/toolbar_button.h"
#include "controls/toolbar_separator.h"
#include "controls/toolbar_strip.h"
#include "shell/layout_rules.h"
#include "shell/main_window.h"
#include "shell/thumbnail_strip.h"

namespace fotello {

namespace {

constexpr int kCommandBarHeight = 40;
constexpr int kPanelBarHeight = 30;
constexpr int kStatusBarHeight = 28;
constexpr int kToolbarLeft = 4;

void placeInBar(QWidget* w, int left, int height, int barHeight) {
    w->setGeometry(left, (barHeight - height) / 2, w->sizeHint().width(), height);
}

} // namespace

void FrmFotello::ArrangeControls() {
    const int W = width();
    CtbBar3->setGeometry(0, 0, W, kCommandBarHeight);
    ctbBar->setGeometry(0, kCommandBarHeight, W, kPanelBarHeight);
    ctbBar2->setGeometry(0, height() - kStatusBarHeight, W, kStatusBarHeight);

    // Thumbnails-panel toolbar: buttons chained with no gap.
    const int panelButtonHeight = ScaledHeight(ctbBar->height(), 1.104);
    int left = kToolbarLeft;
    for (ToolbarButton* b : button1) {
        placeInBar(b, left, panelButtonHeight, ctbBar->height());
        left = b->x() + b->width();
    }
    Image2->setGeometry(left + 8, (ctbBar->height() - 20) / 2, 20, 20);

    // Command toolbar: the first group at its design places, then the chain
    // from the web button on; the file name right-aligned.
    const int bh = CtbBar3->height() - 4;
    left = kToolbarLeft;
    QWidget* const group[] = {ctbRefresh, nullptr,  ctbProps, ctbRename, ctbCopyTo,
                              ctbMoveTo,  ctbClips, ctbTela,  ctbTools,  ctbEfeito};
    for (QWidget* w : group) {
        if (!w) { // the two slide-show buttons share one place
            placeInBar(ctbSlide, left, bh, CtbBar3->height());
            ctbSlideF->setGeometry(ctbSlide->geometry());
            left += ctbSlide->width();
            continue;
        }
        placeInBar(w, left, bh, CtbBar3->height());
        left += w->width();
    }
    left += 12;
    QWidget* const chain[] = {ClarkTBButton2, ClarkTBSeparator1, ctbmail, ClarkTBSeparator2,
                              ctbpesquisa,    ctbimprime,        ctbajuda};
    for (QWidget* w : chain) {
        placeInBar(w, left, w == ClarkTBSeparator1 || w == ClarkTBSeparator2 ? bh - 8 : bh,
                   CtbBar3->height());
        left = w->x() + w->width();
    }
    const int nameWidth = std::max(0, std::min(320, W - left - 8));
    lblNome->setGeometry(CtbBar3->width() - nameWidth - TwipsToPixels(60), 0, nameWidth,
                         CtbBar3->height());

    // Status toolbar, right to left with a gap of a seventh of its height.
    const auto s =
        StatusBarPlaces(ctbBar2->width(), ctbBar2->height(), cmdFechar->sizeHint().width(),
                        picProgress->width() > 1 ? picProgress->width() : 220, 160);
    const int sh = ctbBar2->height();
    cmdFechar->setGeometry(s.closeLeft, 2, cmdFechar->sizeHint().width(), sh - 4);
    picProgress->setGeometry(s.progressLeft, 4, s.progressWidth, sh - 8);
    lblstatus->setGeometry(hintPlace(s.progressLeft + s.progressWidth, sh));
    lbltamanho->setGeometry(s.sizeLeft, 0, 160, sh);
    lblCount->setGeometry(kToolbarLeft, 0, 110, sh);
    lblStat->setGeometry(kToolbarLeft + 114, 0, std::max(0, s.progressLeft - 118), sh);

    // Work area between the toolbars.
    const int top = CtbBar3->height() + ctbBar->height();
    mcsplitbar1->setGeometry(0, top, W,
                             height() - ctbBar->height() - ctbBar2->height() - CtbBar3->height());
    placePictureArea();
    placeMagnifierPane();
    placeFolderPane();
}

void FrmFotello::placePictureArea() {
    const QRect r(0, 0, Picture1->width(), Picture1->height());
    Pictclips->setGeometry(r);
    PictImagem->setGeometry(r);
    picFrame->setGeometry(0, 0, Pictclips->width(), Pictclips->height());
    ssScroll1->setGeometry(0, 0, PictImagem->width(), PictImagem->height());
}

void FrmFotello::placeMagnifierPane() {
    const int sh = vScroll1->sizeHint().height();
    vScroll1->setGeometry(0, Picture4->scaleHeight() - sh, Picture4->scaleWidth(), sh);
    // An idle magnifier keeps its cross from corner to corner.
    if (startedUp_ && !Timer2->isActive())
        drawMagnifierIdleCross();
}

void FrmFotello::placeFolderPane() {
    // The tree keeps its height; the file list fills the pane under it.
    tView->setGeometry(0, tView->y(), Picture4->width(), tView->height());
    File1->setGeometry(0, tView->y() + tView->height(), Picture4->width(),
                       FileListHeight(PictHd->height(), tView->height()));
}

void FrmFotello::splitFolderPane() {
    const auto f = FolderPaneAfterSplit(PictHd->height());
    tView->setGeometry(0, tView->y(), PictHd->width(), f.treeHeight);
    File1->setGeometry(0, tView->y() + tView->height(), PictHd->width(), f.listHeight);
}

void FrmFotello::Form_Resize() {
    if (!startedUp_)
        return;
    if (!isMinimized()) {
        ArrangeControls();
        centreStillPicture();
        recentreAnimatedPicture();
    }
    Redimens();
}

void FrmFotello::centreStillPicture() {
    const Point at = CentredOrOrigin({Image1->width(), Image1->height()},
                                     {PictImagem->width(), PictImagem->height()});
    Image1->move(at.x, at.y);
    ssScroll1->refit();
}

void FrmFotello::mcsplitbar1_Resize() {
    if (isMinimized() || !startedUp_)
        return;
    // Widths only: the heights in the folder pane belong to its own splitter.
    tView->resize(Picture4->width(), tView->height());
    File1->resize(Picture4->width(), File1->height());
    placeMagnifierPane();
    placePictureArea();
    Redimens();
}

void FrmFotello::mcsplitbar2_Resize() {
    if (isMinimized() || !startedUp_)
        return;
    splitFolderPane();
    placeMagnifierPane();
    placePictureArea();
}

} // namespace fotello
