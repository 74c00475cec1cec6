#include "platform/ImageFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <sys/stat.h>

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

} // namespace

QImage ReadImageFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {};
    const QByteArray format = FormatFor(path);
    if (format.isEmpty())
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
