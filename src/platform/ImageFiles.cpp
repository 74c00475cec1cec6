#include "platform/ImageFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <sys/stat.h>

#include <cstdlib>

namespace kelpo {

namespace {

// Large enough for a full-screen background, small enough that a hostile
// header cannot make the decoder reserve gigabytes.
constexpr int AllocationLimitMb = 64;

QByteArray FormatFor(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return "bmp";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "jpeg";
    if (suffix == QLatin1String("ico"))
        return "ico";
    if (suffix == QLatin1String("png"))
        return "png";
    if (suffix == QLatin1String("gif"))
        return "gif";
    return {};
}

quint32 LittleEndian(const QByteArray& b, int at, int size)
{
    quint32 v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = (v << 8) | static_cast<quint8>(b.at(at + i));
    return v;
}

// The decoder fills the rows missing from a cut-off bitmap with black and
// reports success; an uncompressed bitmap shorter than its header says is
// refused here instead.
bool BitmapComplete(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(54);
    if (head.size() < 30 || !head.startsWith("BM"))
        return false;
    const quint32 offset = LittleEndian(head, 10, 4);
    const quint32 infoSize = LittleEndian(head, 14, 4);
    if (infoSize < 40 || head.size() < 34)
        return true; // old-style headers: left to the decoder
    const qint64 width = static_cast<qint32>(LittleEndian(head, 18, 4));
    const qint64 height = static_cast<qint32>(LittleEndian(head, 22, 4));
    const qint64 bits = LittleEndian(head, 28, 2);
    const quint32 compression = LittleEndian(head, 30, 4);
    if (compression != 0 && compression != 3)
        return true; // run-length data has no fixed size
    const qint64 stride = ((std::abs(width) * bits + 31) / 32) * 4;
    return file.size() >= static_cast<qint64>(offset) + stride * std::abs(height);
}

} // namespace

QImage ReadImageFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    const QByteArray format = FormatFor(path);
    if (format.isEmpty())
        return {};
    if (format == "bmp" && !BitmapComplete(path))
        return {};
    QImageReader reader(path, format);
    reader.setAllocationLimit(AllocationLimitMb);
    reader.setAutoDetectImageFormat(false);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    if (image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image.convertToFormat(QImage::Format_RGB32);
}

bool ImageFileCache::StampOf(const QString& path, Stamp& out)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out.size = static_cast<std::int64_t>(st.st_size);
    out.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    out.inode = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

QImage ImageFileCache::load(const QString& path)
{
    Stamp stamp;
    if (path.isEmpty() || !StampOf(path, stamp)) {
        entries_.remove(path);
        return {};
    }
    auto it = entries_.find(path);
    if (it != entries_.end() && it->stamp == stamp)
        return it->image;
    Entry e{stamp, ReadImageFile(path)};
    // A file that failed to decode is remembered too, so it is not decoded
    // again on every paint until it changes.
    entries_.insert(path, e);
    return e.image;
}

} // namespace kelpo
