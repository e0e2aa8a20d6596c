#pragma once
// Picture folders for the thumbnail benchmark, made once and kept in a cache
// folder ($FOTELLO_BENCH_CACHE, else ~/.cache/fotello-bench).

#include <QString>
#include <QStringList>

namespace fotello::bench {

QString CacheFolder();

// 200 photo-like JPEGs of 4000 x 3000, about 3 MB each.
QString PhotoFolder();
// 1,000 entries: hard links to the photos, five names each.
QString ThousandPhotosFolder();
// 2,000 entries: hard links to the photos, ten names each.
QString ManyPhotosFolder();
// 10,000 small pictures (hard links to 100 JPEGs of about 320 x 240).
QString SmallPicturesFolder();

// One photo-like JPEG of 6000 x 4000.
QString BigPhotoFile();

QStringList JpegFiles(const QString& folder);

// Benchmarks run offscreen unless told otherwise; call before QApplication.
void DefaultToOffscreen();
// The metafile helper of this build (its bin folder), once QApplication exists.
void UseBuildHelpers();

} // namespace fotello::bench
