#include "shell/thumb_cache.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>

#include "platform/log.h"

#ifndef FOTELLO_VERSION
#define FOTELLO_VERSION "0"
#endif

namespace fotello {

namespace {

// An entry is a small PNG; anything much bigger is not one.
constexpr qint64 kMaxEntryBytes = qint64(4) << 20;

std::string Std(const QByteArray& b) {
    return b.toStdString();
}

QByteArray ReadSmallFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
        st.st_size <= kMaxEntryBytes) {
        bytes.resize(qsizetype(st.st_size));
        qsizetype got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, std::size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            got += n;
        }
        bytes.truncate(got);
    }
    ::close(fd);
    return bytes;
}

quint32 Crc32(const QByteArray& data) {
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xFFFFFFFFu;
    for (const char ch : data)
        c = table[(c ^ quint8(ch)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void AppendBigEndian(QByteArray& out, quint32 v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xFF));
}

QByteArray TextChunk(const QByteArray& key, const QByteArray& value) {
    const QByteArray body = "tEXt" + key + '\0' + value;
    QByteArray chunk;
    AppendBigEndian(chunk, quint32(body.size() - 4));
    chunk += body;
    AppendBigEndian(chunk, Crc32(body));
    return chunk;
}

// The keys go in plain tEXt chunks right after the header, where every
// reader finds them before the pixels (Qt would compress the long ones).
QByteArray EncodeEntry(const QImage& image, const QList<std::pair<QByteArray, QByteArray>>& keys) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setQuality(80); // zlib level 1: quick to write, small enough
    if (!writer.write(image))
        return {};
    constexpr qsizetype kAfterHeader = 8 + 4 + 4 + 13 + 4; // signature and IHDR
    if (png.size() < kAfterHeader || png.mid(12, 4) != "IHDR")
        return {};
    QByteArray text;
    for (const auto& [key, value] : keys)
        text += TextChunk(key, value);
    png.insert(kAfterHeader, text);
    return png;
}

quint32 BigEndian(const char* p) {
    return quint32(quint8(p[0])) << 24 | quint32(quint8(p[1])) << 16 | quint32(quint8(p[2])) << 8 |
           quint32(quint8(p[3]));
}

// The tEXt chunks before the pixels, read straight from the bytes (Qt's
// reader cannot name keys that hold "::" before it decodes).
QHash<QByteArray, QByteArray> TextChunks(const QByteArray& png) {
    QHash<QByteArray, QByteArray> keys;
    qsizetype at = 8;
    while (at + 12 <= png.size()) {
        const quint32 length = BigEndian(png.constData() + at);
        const QByteArray type = png.mid(at + 4, 4);
        if (type == "IDAT" || length > quint32(png.size() - at - 12))
            break;
        if (type == "tEXt") {
            const QByteArray body = png.mid(at + 8, qsizetype(length));
            const qsizetype nul = body.indexOf('\0');
            if (nul > 0)
                keys.insert(body.left(nul), body.mid(nul + 1));
        }
        at += 12 + qsizetype(length);
    }
    return keys;
}

struct ReadEntry {
    QByteArray bytes;
    QHash<QByteArray, QByteArray> text;
    ThumbKeys keys() const {
        return {text.value("Thumb::URI").toStdString(), text.value("Thumb::MTime").toStdString(),
                text.value("Thumb::Size").toStdString()};
    }
};

// Reads an entry and the keys it holds before its pixels.
bool OpenEntry(const QByteArray& path, ReadEntry& e) {
    e.bytes = ReadSmallFile(path);
    if (!e.bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return false;
    e.text = TextChunks(e.bytes);
    return true;
}

bool MakeFolders(const QByteArray& folder) {
    for (qsizetype at = 1; at <= folder.size(); ++at) {
        if (at < folder.size() && folder[at] != '/')
            continue;
        const QByteArray part = folder.left(at);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

} // namespace

ThumbCache::ThumbCache(QByteArray root) : root_(std::move(root)) {}

std::shared_ptr<const ThumbCache> ThumbCache::ForUser() {
    return std::make_shared<const ThumbCache>(
        QByteArray::fromStdString(ThumbCacheRoot(::getenv("XDG_CACHE_HOME"), ::getenv("HOME"))));
}

QByteArray ThumbCache::FailFolder() {
    return QByteArrayLiteral("fail/fotello-" FOTELLO_VERSION);
}

ThumbCache::Source ThumbCache::describe(const QByteArray& localPath) const {
    Source s;
    if (root_.isEmpty() || localPath.isEmpty())
        return s;
    QByteArray absolute = localPath;
    if (!absolute.startsWith('/'))
        absolute = QFile::encodeName(QDir::currentPath()) + '/' + absolute;
    const std::string path = CleanAbsolutePath(Std(absolute));
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return s;
    // Thumbnails of thumbnails are never made.
    if (QByteArray::fromStdString(path).startsWith(root_ + '/'))
        return s;
    s.uri = QByteArray::fromStdString(FileUri(path));
    s.entryName = QCryptographicHash::hash(s.uri, QCryptographicHash::Md5).toHex() + ".png";
    s.mtime = static_cast<long long>(st.st_mtim.tv_sec);
    s.size = static_cast<long long>(st.st_size);
    s.ok = true;
    return s;
}

std::optional<ThumbCache::Entry> ThumbCache::find(const Source& source,
                                                  ThumbFlavour flavour) const {
    if (!source.ok || flavour == ThumbFlavour::None)
        return std::nullopt;
    const QByteArray path = root_ + '/' + FlavourFolder(flavour) + '/' + source.entryName;
    ReadEntry e;
    if (!OpenEntry(path, e))
        return std::nullopt;
    QBuffer device(&e.bytes);
    device.open(QIODevice::ReadOnly);
    QImageReader reader(&device, "png");
    const int side = FlavourSide(flavour);
    const QSize stored = reader.size();
    if (!stored.isValid() || stored.width() > side || stored.height() > side) {
        qCDebug(lcThumbs) << "cache entry of a wrong size:" << path;
        return std::nullopt;
    }
    // Keys written compressed (by Qt's writer, as some programs use) are
    // known only once the picture is decoded.
    const bool keysFirst = e.text.contains("Thumb::URI");
    if (keysFirst && !EntryIsFresh(e.keys(), Std(source.uri), source.mtime, source.size)) {
        qCDebug(lcThumbs) << "cache entry stale or of another file:" << path;
        return std::nullopt;
    }
    Entry out;
    out.thumb = reader.read();
    if (out.thumb.isNull() || out.thumb.size() != stored) {
        qCWarning(lcThumbs) << "cache entry unreadable:" << path << reader.errorString();
        return std::nullopt;
    }
    if (!keysFirst) {
        for (const QString& key : out.thumb.textKeys())
            e.text.insert(key.toLatin1(), out.thumb.text(key).toLatin1());
        if (!EntryIsFresh(e.keys(), Std(source.uri), source.mtime, source.size))
            return std::nullopt;
    }
    const auto format = out.thumb.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (out.thumb.format() != format)
        out.thumb.convertTo(format);
    bool wOk = false, hOk = false;
    out.natural = QSize(e.text.value("Thumb::Image::Width").toInt(&wOk),
                        e.text.value("Thumb::Image::Height").toInt(&hOk));
    if (!wOk || !hOk || out.natural.isEmpty())
        out.natural = stored; // written by a program that does not say
    return out;
}

bool ThumbCache::failedBefore(const Source& source) const {
    if (!source.ok)
        return false;
    ReadEntry e;
    return OpenEntry(root_ + '/' + FailFolder() + '/' + source.entryName, e) &&
           EntryIsFresh(e.keys(), Std(source.uri), source.mtime, source.size);
}

bool ThumbCache::store(const Source& source, ThumbFlavour flavour, const QImage& thumb,
                       QSize natural) const {
    if (!source.ok || flavour == ThumbFlavour::None || thumb.isNull())
        return false;
    const QByteArray png =
        EncodeEntry(thumb, {{"Thumb::URI", source.uri},
                            {"Thumb::MTime", QByteArray::number(source.mtime)},
                            {"Thumb::Size", QByteArray::number(source.size)},
                            {"Thumb::Image::Width", QByteArray::number(natural.width())},
                            {"Thumb::Image::Height", QByteArray::number(natural.height())},
                            {"Software", "Fotello " FOTELLO_VERSION}});
    return write(root_ + '/' + FlavourFolder(flavour), source.entryName, png);
}

bool ThumbCache::storeFailure(const Source& source) const {
    if (!source.ok)
        return false;
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    const QByteArray png = EncodeEntry(empty, {{"Thumb::URI", source.uri},
                                               {"Thumb::MTime", QByteArray::number(source.mtime)},
                                               {"Software", "Fotello " FOTELLO_VERSION}});
    return write(root_ + '/' + FailFolder(), source.entryName, png);
}

bool ThumbCache::write(const QByteArray& folder, const QByteArray& name,
                       const QByteArray& png) const {
    auto refuse = [&](const char* what) {
        qCWarning(lcThumbs).nospace() << "cache entry not written, " << what << ": " << folder
                                      << '/' << name << ": " << std::strerror(errno);
        return false;
    };
    if (png.isEmpty()) {
        errno = EINVAL;
        return refuse("not encoded");
    }
    if (!MakeFolders(folder))
        return refuse("no folder");
    QByteArray temp = folder + '/' + name + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return refuse("no temporary file");
    bool ok = ::fchmod(fd, 0600) == 0;
    qsizetype done = 0;
    while (ok && done < png.size()) {
        const ssize_t n = ::write(fd, png.constData() + done, std::size_t(png.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            ok = false;
            break;
        }
        done += n;
    }
    const int savedErrno = errno;
    if (::close(fd) != 0 && ok)
        ok = false;
    else
        errno = savedErrno;
    const QByteArray final = folder + '/' + name;
    if (ok && ::rename(temp.constData(), final.constData()) == 0)
        return true;
    const int failure = errno;
    ::unlink(temp.constData());
    errno = failure;
    return refuse("write failed");
}

} // namespace fotello
