// Reads a folder of hostile files as the browser does (thumbnail and whole
// picture): each is refused or accepted whole as expected, bombs before any
// decoding, and the process never grows past the decoders' budget.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/hardening/hostile_corpus.h"

namespace fotello::testing {
namespace {

qint64 PeakBytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

TEST(HostileCorpus, EveryFileIsRefusedOrAcceptedWholeWithinTheBudget) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray bin = qgetenv("FOTELLO_BIN_DIR");
    if (!bin.isEmpty())
        SetHelperFolder(QString::fromLocal8Bit(bin));
    const QByteArray folder = QFile::encodeName(dir.path());
    struct Emptied {
        QByteArray folder;
        ~Emptied() { RemoveCorpus(folder); }
    } emptied{folder};
    const std::vector<CorpusFile> corpus = MakeHostileCorpus(folder);
    ASSERT_GT(corpus.size(), 300u);

    for (const CorpusFile& file : corpus) {
        SCOPED_TRACE(file.name.toStdString());
        const QByteArray path = folder + '/' + file.name;
        const qint64 before = PeakBytes();
        PictureReadOptions thumbnail;
        thumbnail.coverBox = QSize(160, 120);
        for (const PictureReadOptions& options : {thumbnail, PictureReadOptions{}}) {
            const PictureResult r = ReadPictureLocal(path, options);
            if (file.accepted) {
                if (r.error == PictureError::NoFonts)
                    continue; // a metafile on a machine without libwmf's fonts
                ASSERT_TRUE(r.ok()) << r.detail.toStdString();
                EXPECT_FALSE(r.image.isNull());
                if (file.size.isValid()) {
                    EXPECT_EQ(r.naturalSize, file.size);
                }
            } else {
                ASSERT_FALSE(r.ok());
                EXPECT_TRUE(file.errors.contains(r.error)) << int(r.error);
                if (!file.detail.isEmpty()) {
                    EXPECT_EQ(r.detail, file.detail);
                }
            }
        }
        // A file is never held whole beyond what its structure justifies: the
        // sparse gigabyte files would each take 1 GiB.
        EXPECT_LT(PeakBytes() - before, qint64(256) << 20);
    }
    // Which file is slowest or grows the most: bench_hostile_corpus.
    EXPECT_LT(PeakBytes(), qint64(1) << 30);
}

} // namespace
} // namespace fotello::testing
