#include "controls/icons.h"

#include <algorithm>
#include <functional>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>
#include <QStandardPaths>

namespace fotello {

namespace {

// Another icon's pixmaps passed through a filter, at whatever size is asked.
class FilteredEngine : public QIconEngine {
public:
    FilteredEngine(QIcon base, std::function<QImage(QImage)> filter)
        : base_(std::move(base)), filter_(std::move(filter)) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const QPixmap pm = base_.pixmap(size, mode, state);
        if (pm.isNull() || mode == QIcon::Disabled)
            return pm;
        QPixmap out = QPixmap::fromImage(filter_(pm.toImage()));
        out.setDevicePixelRatio(pm.devicePixelRatio());
        return out;
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        const QPixmap pm = base_.pixmap(size, scale, mode, state);
        if (pm.isNull() || mode == QIcon::Disabled)
            return pm;
        QPixmap out = QPixmap::fromImage(filter_(pm.toImage()));
        out.setDevicePixelRatio(pm.devicePixelRatio());
        return out;
    }
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        p->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return base_.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return base_.availableSizes(mode, state);
    }
    QString iconName() override { return base_.name(); }
    QIconEngine* clone() const override { return new FilteredEngine(base_, filter_); }

private:
    QIcon base_;
    std::function<QImage(QImage)> filter_;
};

QImage brighter(QImage img) {
    img = img.convertToFormat(QImage::Format_ARGB32);
    auto up = [](int v) { return std::min(255, v + (255 - v) / 4); };
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            row[x] = qRgba(up(qRed(row[x])), up(qGreen(row[x])), up(qBlue(row[x])), qAlpha(row[x]));
    }
    return img;
}

// The theme's ink (its dark, greyish strokes) in another colour; coloured
// pixels stay.
QImage inked(QImage img, QColor colour) {
    img = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = row[x];
            const int hi = std::max({qRed(c), qGreen(c), qBlue(c)});
            const int lo = std::min({qRed(c), qGreen(c), qBlue(c)});
            if (hi < 110 && hi - lo < 40)
                row[x] = qRgba(colour.red(), colour.green(), colour.blue(), qAlpha(c));
        }
    }
    return img;
}

bool themeFolderExists(const QString& theme) {
    for (const QString& path : QIcon::themeSearchPaths())
        if (QFileInfo::exists(path + '/' + theme + "/index.theme"))
            return true;
    return false;
}

// A folder drawn as a tab and a body; open, its front flap leans back and
// shows the inside.
QIcon drawnFolder(bool open) {
    const QColor amber(196, 160, 0);
    QIcon icon;
    for (int s : {16, 22, 32}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(s / 16.0, s / 16.0);
        p.setPen(QPen(amber.darker(170), 0.8));
        p.setBrush(amber.darker(115));
        QPainterPath back;
        back.moveTo(1.5, 3);
        back.lineTo(6, 3);
        back.lineTo(7.5, 4.5);
        back.lineTo(14.5, 4.5);
        back.lineTo(14.5, 13.5);
        back.lineTo(1.5, 13.5);
        back.closeSubpath();
        p.drawPath(back);
        if (open) {
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3, 6, 10, 4));
            p.setBrush(QColor(252, 222, 100));
            const QPointF flap[] = {{4, 8}, {15.5, 8}, {13.5, 13.5}, {1.5, 13.5}};
            p.drawPolygon(flap, 4);
        } else {
            p.setBrush(amber.lighter(110));
            p.drawRect(QRectF(1.5, 6, 13, 7.5));
        }
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

} // namespace

void ChooseIconTheme() {
    QStringList paths = QIcon::themeSearchPaths();
    QStringList found = QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, "icons",
                                                  QStandardPaths::LocateDirectory);
    found << "/usr/share/icons";
    for (QString dir : found) {
        while (dir.size() > 1 && dir.endsWith('/'))
            dir.chop(1);
        if (!paths.contains(dir) && QDir(dir).exists())
            paths << dir;
    }
    QIcon::setThemeSearchPaths(paths);

    const QString theme = QIcon::themeName();
    const bool bare = theme.isEmpty() || theme == "hicolor";
    for (const char* candidate : {"breeze", "Adwaita"}) {
        if (!themeFolderExists(candidate))
            continue;
        if (bare)
            QIcon::setThemeName(candidate);
        else
            QIcon::setFallbackThemeName(candidate);
        return;
    }
}

QString FirstThemeIcon(const QStringList& names) {
    for (const QString& n : names)
        if (QIcon::hasThemeIcon(n))
            return n;
    return {};
}

QIcon DrawnIcon(const QString& glyph, QColor colour, int size) {
    QIcon icon;
    for (int s : {size, size * 2}) {
        QPixmap pm(s, s);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal m = s * 0.06;
        QLinearGradient g(0, 0, 0, s);
        g.setColorAt(0, colour.lighter(130));
        g.setColorAt(1, colour.darker(115));
        p.setBrush(g);
        p.setPen(QPen(colour.darker(150), s / 32.0));
        p.drawRoundedRect(QRectF(m, m, s - 2 * m, s - 2 * m), s * 0.18, s * 0.18);
        QFont f = p.font();
        f.setBold(true);
        f.setPixelSize(static_cast<int>(s * (glyph.size() > 1 ? 0.42 : 0.58)));
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 0, s, s), Qt::AlignCenter, glyph);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

QIcon HoverPicture(const QIcon& icon) {
    return QIcon(new FilteredEngine(icon, brighter));
}

ToolbarPicture MakeToolbarPicture(const QStringList& themeNames, const QString& glyph,
                                  QColor colour) {
    const QString name = FirstThemeIcon(themeNames);
    QIcon normal = name.isEmpty() ? QIcon() : QIcon::fromTheme(name);
    if (normal.isNull() || normal.pixmap(24).isNull())
        normal = DrawnIcon(glyph, colour);
    return {normal, HoverPicture(normal)};
}

ToolbarPicture MakeToolbarPicture(const QString& themeName, const QString& glyph, QColor colour) {
    return MakeToolbarPicture(QStringList{themeName}, glyph, colour);
}

QIcon FolderPicture(bool open) {
    const QString name = open ? "folder-open" : "folder";
    if (!QIcon::hasThemeIcon(name))
        return drawnFolder(open);
    const QIcon icon = QIcon::fromTheme(name);
    if (!open)
        return icon;
    // At tree sizes a theme's two folders differ by a few pixels: the open
    // one is also drawn in the selection colour.
    const QColor accent = QGuiApplication::palette().color(QPalette::Active, QPalette::Highlight);
    return QIcon(new FilteredEngine(icon, [accent](QImage img) { return inked(img, accent); }));
}

} // namespace fotello
