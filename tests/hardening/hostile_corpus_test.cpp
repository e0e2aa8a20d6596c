// Reads a folder of hostile files as the browser does (thumbnail and whole
// picture): each is refused or accepted whole as expected, bombs before any
// decoding, and the process never grows past the decoders' budget.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFile>
#include <QScopeGuard>
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
    SetHelperFolder(qEnvironmentVariable("FOTELLO_BIN_DIR"));
    const QByteArray folder = QFile::encodeName(dir.path());
    const auto emptied = qScopeGuard([&folder] { RemoveCorpus(folder); });
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
                EXPECT_EQ(r.naturalSize, file.size.isValid() ? file.size : r.naturalSize);
            } else {
                ASSERT_FALSE(r.ok());
                EXPECT_TRUE(file.errors.contains(r.error)) << int(r.error);
                EXPECT_EQ(r.detail, file.detail.isEmpty() ? r.detail : file.detail);
            }
        }
        // Never held whole beyond what its structure justifies (the sparse files are 1 GiB).
        EXPECT_LT(PeakBytes() - before, qint64(256) << 20);
    }
    // Which file is slowest or grows the most: bench_hostile_corpus.
    EXPECT_LT(PeakBytes(), qint64(1) << 30);
}

} // namespace
} // namespace fotello::testing
