#pragma once
// The thumbnail strip's viewport (picFrame) with its scroll bar (vsbSlide)
// and the strip picSlide, which holds the cells optThumb 0..n-1 in a grid.
// picSlide and the cells are not widgets: the viewport paints the cells that
// are in view, so long folders stay smooth; each cell's tag, caption,
// picture, selected value and place stay addressable by index.

#include <vector>

#include <QPixmap>
#include <QWidget>

#include "shell/thumb_geometry.h"

class QScrollBar;

namespace fotello {

class ThumbnailStrip : public QWidget {
    Q_OBJECT
public:
    explicit ThumbnailStrip(const QString& name, QWidget* parent = nullptr);
    QScrollBar* vsbSlide() const { return vsbSlide_; }

    // --- The cells (cell 0 always exists) -----------------------------------
    int cellCount() const { return static_cast<int>(cells_.size()); }
    QString cellTag(int index) const;     // file name, no path
    QString cellCaption(int index) const; // the shortened name
    QImage cellPicture(int index) const;  // the square drawing; null before one is set
    bool cellSelected(int index) const;
    // Option-button group: selecting one cell clears the others.
    void setCellSelected(int index, bool selected);
    bool cellVisible(int index) const;
    void setCellVisible(int index, bool visible);
    QRect cellRect(int index) const; // in the strip's coordinates

    // Cell `index` takes the given contents and becomes visible; index may be
    // cellCount(), which adds a cell.
    void setCell(int index, const QString& tag, const QString& caption, const QPixmap& picture,
                 const ThumbPlacement& placement, int side);
    // Removes every cell but cell 0.
    void unloadCells();

    // All cells share one size.
    QSize cellSize() const { return cellSize_; }
    void setCellSize(QSize size);
    // Columns of the last layout; 0 before any (then every cell sits at (0, 0)).
    int columns() const { return cols_; }
    void setColumns(int cols);
    // Background of the square picture boxes.
    void setPictureBackColor(QRgb colour) { pictureBack_ = colour; }

    // --- The strip picSlide -------------------------------------------------------
    QPoint stripPos() const { return slidePos_; }
    QSize stripSize() const { return slideSize_; }
    bool stripVisible() const { return slideVisible_; }
    void setStripGeometry(QPoint pos, QSize size);
    void setStripTop(int top);
    void setStripVisible(bool visible);
    void setStripBackColor(const QColor& colour);
    // The font captions are measured and drawn in.
    QFont stripFont() const { return font(); }

    // The visible cell under a point of the viewport, or -1.
    int cellAt(QPoint viewportPos) const;
    // A press that became a drag: the cell comes back up (no release follows).
    void releasePress();

signals:
    void cellClicked(int index);
    void cellHovered(int index);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    struct Cell {
        QString tag;
        QString caption;
        QPixmap picture; // only the picture's part of the box
        ThumbPlacement placement;
        int side = 0; // of the square box; 0 while the cell has no picture
        bool visible = true;
    };

    bool valid(int index) const { return index >= 0 && index < cellCount(); }
    void paintCell(QPainter& p, int index, const QRect& at);
    void updateCell(int index);

    QScrollBar* vsbSlide_;
    std::vector<Cell> cells_;
    int selected_ = -1;
    int pressed_ = -1;
    QSize cellSize_{100, 100};
    int cols_ = 0;
    QRgb pictureBack_;
    QPoint slidePos_;
    QSize slideSize_{100, 100};
    bool slideVisible_ = false;
    QColor slideBack_;
};

} // namespace fotello
