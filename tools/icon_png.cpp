// fotello-icon-png SVG OUTDIR SIZE...: draws the icon at each size into
// OUTDIR/<size>x<size>/apps/<name>.png, the hicolor theme's layout.

#include <cstdio>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fputs("usage: fotello-icon-png SVG OUTDIR SIZE...\n", stderr);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString svg = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    const QString name = QFileInfo(svg).completeBaseName() + ".png";
    for (int i = 3; i < argc; ++i) {
        const int size = QByteArray(argv[i]).toInt();
        QImageReader reader(svg, "svg");
        reader.setScaledSize(QSize(size, size));
        const QImage icon = reader.read();
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (icon.isNull() || !QDir().mkpath(dir) || !icon.save(dir + "/" + name, "PNG")) {
            std::fprintf(stderr, "fotello-icon-png: %s at %d: %s\n", argv[1], size,
                         qPrintable(reader.errorString()));
            return 1;
        }
    }
    return 0;
}
