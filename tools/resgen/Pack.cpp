#include "Pack.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kelpo::resgen {

namespace {

QByteArray encode(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

} // namespace

void Pack::addBitmap(Root root, const QString& path, const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    files_.push_back({root, path, encode(rgb, "BMP"), rgb});
}

void Pack::addJpeg(Root root, const QString& path, const QImage& image, int quality)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    files_.push_back({root, path, encode(rgb, "JPEG", quality), rgb});
}

void Pack::addIcon(Root root, const QString& path, const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    files_.push_back({root, path, encode(argb, "ICO"), argb});
}

void Pack::addBytes(Root root, const QString& path, const QByteArray& bytes)
{
    files_.push_back({root, path, bytes, QImage()});
}

const PackFile* Pack::find(Root root, const QString& path) const
{
    for (const PackFile& f : files_)
        if (f.root == root && f.path == path)
            return &f;
    return nullptr;
}

QImage Pack::image(Root root, const QString& path) const
{
    const PackFile* f = find(root, path);
    return f ? f->image : QImage();
}

bool Pack::write(const QString& appDir, const QString& parentDir, QString* error) const
{
    for (const PackFile& f : files_) {
        const QString full = (f.root == Root::App ? appDir : parentDir) + '/' + f.path;
        if (!QDir().mkpath(QFileInfo(full).absolutePath())) {
            *error = QStringLiteral("cannot create the folder of %1").arg(full);
            return false;
        }
        QFile out(full);
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || out.write(f.bytes) != f.bytes.size()) {
            *error = QStringLiteral("cannot write %1").arg(full);
            return false;
        }
    }
    return true;
}

} // namespace kelpo::resgen
