#include "controls/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace fotello {

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

static QIcon brighter(const QIcon& icon) {
    QIcon out;
    for (int s : {24, 32, 48}) {
        QImage img = icon.pixmap(s, s).toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                const QRgb c = row[x];
                auto up = [](int v) { return std::min(255, v + (255 - v) / 4); };
                row[x] = qRgba(up(qRed(c)), up(qGreen(c)), up(qBlue(c)), qAlpha(c));
            }
        }
        out.addPixmap(QPixmap::fromImage(img));
    }
    return out;
}

ToolbarPicture MakeToolbarPicture(const QString& themeName, const QString& glyph, QColor colour) {
    QIcon normal = QIcon::hasThemeIcon(themeName) ? QIcon::fromTheme(themeName) : QIcon();
    if (normal.isNull() || normal.pixmap(24).isNull())
        normal = DrawnIcon(glyph, colour);
    return {normal, brighter(normal)};
}

} // namespace fotello
