#pragma once
// A folder of hostile files made on the spot: every kind cut at many offsets,
// bombs of every kind, special files and odd names, each with what reading
// it must give. Used by the test and by the corpus benchmark.

#include <vector>

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include "platform/picture_reader.h"

namespace fotello::testing {

struct CorpusFile {
    QByteArray name; // as the file system spells it
    bool accepted = false;
    QSize size;                 // accepted: the natural size
    QList<PictureError> errors; // refused: the errors that may say so
    // Refused before any decoding: the refusal's detail (bombs).
    QString detail;
};

// Writes the corpus into `folder` (which must exist and be empty).
std::vector<CorpusFile> MakeHostileCorpus(const QByteArray& folder);

// Empties the folder by the names' bytes (Qt cannot spell some of them).
void RemoveCorpus(const QByteArray& folder);

// One gibibyte, sparse, made with ftruncate: never written, never read whole.
inline constexpr qint64 kSparseBytes = qint64(1) << 30;

} // namespace fotello::testing
