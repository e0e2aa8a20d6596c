#pragma once
// Arithmetic of the main window's layout and of fitting a picture to the
// preview, in pixels (15 twips to a pixel where a length was given in twips).

namespace fotello {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

int TwipsToPixels(int twips);

// height / divisor, rounded halves to even.
int ScaledHeight(int height, double divisor);

// The status toolbar, right to left: close button, progress bar (and the
// hint label in the same place), size label; the gap is a seventh of the
// toolbar's height.
struct StatusPlaces {
    int gap = 0;
    int closeLeft = 0;
    int progressLeft = 0;
    int progressWidth = 0;
    int sizeLeft = 0;
};
StatusPlaces StatusBarPlaces(int barWidth, int barHeight, int closeWidth, int progressWidth,
                             int sizeWidth);

// The folder pane after its splitter moved: a tree of the pane / 1.62 over a
// file list that fills the rest (FileListHeight).
struct FolderPane {
    int treeHeight = 0;
    int listHeight = 0;
};
FolderPane FolderPaneAfterSplit(int paneHeight);
// The file list's height when the window is laid out: it fills the pane under
// the tree and reaches 2 px past its bottom edge.
int FileListHeight(int paneHeight, int treeHeight);

// Where something of the given size starts when centred: half the room
// left, rounded halves to even.
int CentredStart(int pane, int size);

// Where a picture of the given size goes in a pane: centred when it fits in
// both directions, otherwise the top-left corner.
Point CentredOrOrigin(Size picture, Size pane);

// A picture shrunk by steps of 1/1.2 (each step rounded halves to even) until
// it fits the host in both directions, keeping its natural size when it fits.
// Sizes are not limited to 16 bits, and the shrinking stops once a step no
// longer changes the size (a host of 0 pixels would otherwise never be met).
struct Fit {
    Size size;
    Point position; // centred in the pane
};
Fit FitPicture(Size picture, Size host, Size pane);

} // namespace fotello
