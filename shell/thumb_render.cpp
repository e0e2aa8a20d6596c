#include "shell/thumb_render.h"

#include <new>

#include <QPainter>

#include "shell/thumb_area_average.h"

namespace fotello {

namespace {

QImage Opaque(QImage image, QRgb back) {
    if (!image.hasAlphaChannel())
        return image.format() == QImage::Format_RGB32 ? image
                                                      : image.convertToFormat(QImage::Format_RGB32);
    QImage base(image.size(), QImage::Format_RGB32);
    base.fill(back);
    QPainter p(&base);
    p.drawImage(0, 0, image);
    p.end();
    return base;
}

} // namespace

RenderedThumb RenderThumb(const QByteArray& localPath, int side, QRgb back) {
    RenderedThumb out;
    try {
        PictureReadOptions options;
        options.coverBox = QSize(std::max(1, side - 2), std::max(1, side - 2));
        PictureResult read = ReadPictureLocal(localPath, options);
        if (!read.ok()) {
            out.error = read.error;
            return out;
        }
        const QSize natural = read.naturalSize.isValid() ? read.naturalSize : read.image.size();
        out.placement = PlaceThumb(side, natural.width(), natural.height());
        if (out.placement.w <= 0 || out.placement.h <= 0)
            return out; // a picture thinner than a pixel at this size: only its frame
        const QImage source = Opaque(std::move(read.image), back);
        QImage picture(out.placement.w, out.placement.h, QImage::Format_RGB32);
        if (source.isNull() || picture.isNull()) {
            out.error = PictureError::TooLarge;
            return out;
        }
        const auto* sp = reinterpret_cast<const std::uint32_t*>(source.constBits());
        auto* dp = reinterpret_cast<std::uint32_t*>(picture.bits());
        AreaAverage({sp, source.width(), source.height(), source.bytesPerLine() / 4},
                    {dp, picture.width(), picture.height(), picture.bytesPerLine() / 4});
        out.picture = std::move(picture);
    } catch (const std::bad_alloc&) {
        out = {};
        out.error = PictureError::TooLarge;
    }
    return out;
}

QImage ComposeThumb(int side, QRgb back, const QImage& picture, const ThumbPlacement& pl) {
    if (side <= 0)
        return {};
    QImage box(side, side, QImage::Format_RGB32);
    box.fill(back);
    QPainter p(&box);
    if (!picture.isNull())
        p.drawImage(pl.x, pl.y, picture);
    // Frame from (x - 1, y - 1) to (x + w, y + h), both corners included.
    const QColor black(Qt::black);
    p.fillRect(pl.x - 1, pl.y - 1, pl.w + 2, 1, black);
    p.fillRect(pl.x - 1, pl.y + pl.h, pl.w + 2, 1, black);
    p.fillRect(pl.x - 1, pl.y - 1, 1, pl.h + 2, black);
    p.fillRect(pl.x + pl.w, pl.y - 1, 1, pl.h + 2, black);
    return box;
}

} // namespace fotello
