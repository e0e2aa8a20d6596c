#include "shell/thumb_render.h"

#include <cmath>
#include <new>

#include <QPainter>

#include "shell/thumb_area_average.h"
#include "shell/thumb_cache.h"

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

PixelSpan SpanOf(const QImage& i) {
    return {reinterpret_cast<const std::uint32_t*>(i.constBits()), i.width(), i.height(),
            i.bytesPerLine() / 4};
}

MutablePixelSpan SpanOf(QImage& i) {
    return {reinterpret_cast<std::uint32_t*>(i.bits()), i.width(), i.height(),
            i.bytesPerLine() / 4};
}

// The cached thumbnail of a picture: area-averaged to its size, transparency
// kept (averaged premultiplied, stored straight as PNG holds it).
QImage CacheThumb(const QImage& image, ThumbPixels size) {
    if (image.size() == QSize(size.w, size.h))
        return image;
    if (!image.hasAlphaChannel()) {
        QImage out(size.w, size.h, QImage::Format_RGB32);
        AreaAverage(SpanOf(image), SpanOf(out));
        return out;
    }
    const QImage source = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(size.w, size.h, QImage::Format_ARGB32_Premultiplied);
    AreaAverageWithAlpha(SpanOf(source), SpanOf(out));
    return out.convertToFormat(QImage::Format_ARGB32);
}

// The cell's picture: `source` (the file's picture or its cached thumbnail)
// area-averaged to its place, in device pixels.
void Reduce(RenderedThumb& out, const QImage& source, QSize natural, const ThumbRequest& r) {
    out.placement = PlaceThumb(r.side, natural.width(), natural.height());
    if (out.placement.w <= 0 || out.placement.h <= 0)
        return; // a picture thinner than a pixel at this size: only its frame
    const qreal ratio = r.pixelRatio > 0 ? r.pixelRatio : 1;
    const QImage opaque = Opaque(source, r.back);
    QImage picture(std::max(1, int(std::lround(out.placement.w * ratio))),
                   std::max(1, int(std::lround(out.placement.h * ratio))), QImage::Format_RGB32);
    if (opaque.isNull() || picture.isNull()) {
        out.error = PictureError::TooLarge;
        return;
    }
    AreaAverage(SpanOf(opaque), SpanOf(picture));
    picture.setDevicePixelRatio(ratio);
    out.picture = std::move(picture);
}

// Failures that belong to the file's contents, recorded so that it is not
// tried again until it changes (a metafile's helper may merely have been slow).
bool LastingFailure(const PictureResult& read) {
    return read.kind != PictureKind::Wmf &&
           (read.error == PictureError::Invalid || read.error == PictureError::Truncated ||
            read.error == PictureError::TooLarge);
}

} // namespace

RenderedThumb RenderThumb(const QByteArray& localPath, const ThumbRequest& request,
                          const ThumbCache* cache) {
    RenderedThumb out;
    try {
        const qreal ratio = request.pixelRatio > 0 ? request.pixelRatio : 1;
        const int box = std::max(1, int(std::ceil((request.side - 2) * ratio)));
        const ThumbFlavour flavour = cache ? FlavourFor(box) : ThumbFlavour::None;
        ThumbCache::Source source;
        if (flavour != ThumbFlavour::None)
            source = cache->describe(localPath);
        if (source.ok && !request.refresh) {
            if (auto hit = cache->find(source, flavour)) {
                out.fromCache = true;
                Reduce(out, hit->thumb, hit->natural, request);
                return out;
            }
            if (cache->failedBefore(source)) {
                out.error = PictureError::Invalid;
                return out;
            }
        }

        PictureReadOptions options;
        options.quickEighth = true;
        const int side = FlavourSide(flavour);
        if (source.ok)
            options.coverFor = [side](QSize natural) {
                const ThumbPixels t = CachedThumbSize(natural.width(), natural.height(), side);
                return QSize(t.w, t.h);
            };
        else
            options.coverBox = QSize(box, box);
        PictureResult read = ReadPictureLocal(localPath, options);
        if (!read.ok()) {
            if (source.ok && LastingFailure(read))
                cache->storeFailure(source);
            out.error = read.error;
            return out;
        }
        const QSize natural = read.naturalSize.isValid() ? read.naturalSize : read.image.size();
        if (!source.ok) {
            Reduce(out, read.image, natural, request);
            return out;
        }
        const QImage thumb =
            CacheThumb(read.image, CachedThumbSize(natural.width(), natural.height(), side));
        cache->store(source, flavour, thumb, natural);
        Reduce(out, thumb, natural, request);
    } catch (const std::bad_alloc&) {
        out = {};
        out.error = PictureError::TooLarge;
    }
    return out;
}

QImage ComposeThumb(int side, QRgb back, const QImage& picture, const ThumbPlacement& pl) {
    if (side <= 0)
        return {};
    const qreal ratio = picture.isNull() ? 1 : picture.devicePixelRatio();
    const int pixels = int(std::lround(side * ratio));
    QImage box(pixels, pixels, QImage::Format_RGB32);
    box.setDevicePixelRatio(ratio);
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
