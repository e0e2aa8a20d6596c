#pragma once
// Shared by the picture tests: a scratch folder, pictures drawn in code, and
// the helper folder pointed at the build's bin folder.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/picture_reader.h"
#include "tools/picture_makers.h"

namespace fotello::testing {

// Left half one colour, right half another: shows orientation and frames.
inline QImage Halves(int w, int h, QColor left, QColor right,
                     QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    image.fill(right);
    QPainter(&image).fillRect(0, 0, w / 2, h, left);
    return image;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}
inline QByteArray Le16(int v) {
    return Bytes({v & 0xFF, (v >> 8) & 0xFF});
}
inline QByteArray Le32(qint64 v) {
    return Le16(int(v & 0xFFFF)) + Le16(int((v >> 16) & 0xFFFF));
}

inline bool Near(QRgb a, QRgb b, int tolerance = 12) {
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

class PictureFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        const QByteArray bin = qgetenv("FOTELLO_BIN_DIR");
        if (!bin.isEmpty())
            SetHelperFolder(QString::fromLocal8Bit(bin));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString p = path(name);
        EXPECT_TRUE(makers::WriteFile(p, bytes)) << p.toStdString();
        return p;
    }
    QTemporaryDir dir_;
};

} // namespace fotello::testing
