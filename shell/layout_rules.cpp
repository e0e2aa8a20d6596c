#include "shell/layout_rules.h"

#include <cmath>

#include "shell/numbers.h"

namespace fotello {

int TwipsToPixels(int twips) {
    return static_cast<int>(RoundHalfEven(twips / 15.0));
}

int ScaledHeight(int height, double divisor) {
    return static_cast<int>(RoundHalfEven(height / divisor));
}

StatusPlaces StatusBarPlaces(int barWidth, int barHeight, int closeWidth, int progressWidth,
                             int sizeWidth) {
    StatusPlaces s;
    s.gap = static_cast<int>(RoundHalfEven(barHeight / 7.0));
    s.closeLeft = barWidth - closeWidth - s.gap;
    s.progressWidth = progressWidth;
    s.progressLeft = s.closeLeft - progressWidth - s.gap;
    s.sizeLeft = s.closeLeft - sizeWidth - s.gap;
    return s;
}

FolderPane FolderPaneAfterSplit(int paneHeight) {
    // The list fills the pane under the tree, as it does after a window resize:
    // a list of a fixed share of the pane left an empty band below it.
    const int tree = ScaledHeight(paneHeight, 1.62);
    return {tree, FileListHeight(paneHeight, tree)};
}

int FileListHeight(int paneHeight, int treeHeight) {
    return paneHeight - treeHeight + TwipsToPixels(30);
}

int CentredStart(int pane, int size) {
    return static_cast<int>(RoundHalfEven((pane - size) / 2.0));
}

Point CentredOrOrigin(Size picture, Size pane) {
    if (picture.height <= pane.height && picture.width <= pane.width)
        return {CentredStart(pane.width, picture.width), CentredStart(pane.height, picture.height)};
    return {0, 0};
}

static void shrinkUntil(double& h, double& w, double limit, bool byHeight) {
    while ((byHeight ? h : w) > limit) {
        const double nh = RoundHalfEven(h / 1.2);
        const double nw = RoundHalfEven(w / 1.2);
        if (nh == h && nw == w)
            break;
        h = nh;
        w = nw;
    }
}

Fit FitPicture(Size picture, Size host, Size pane) {
    double h = picture.height;
    double w = picture.width;
    Fit f;
    shrinkUntil(h, w, host.height, true);
    shrinkUntil(h, w, host.width, false);
    f.size = {static_cast<int>(w), static_cast<int>(h)};
    f.position = {CentredStart(pane.width, f.size.width), CentredStart(pane.height, f.size.height)};
    return f;
}

} // namespace fotello
