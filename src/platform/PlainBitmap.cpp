#include "platform/PlainBitmap.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

namespace kelpo {

namespace {

constexpr qint64 MaxDecodedBytes = qint64(16) << 20;
constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
// Rows are read this many bytes at a time (at least one row).
constexpr qint64 ChunkBytes = 64 * 1024;

std::uint32_t Le32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Le16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// Reads exactly size bytes at offset; false on an error or a file that
// ended first.
bool ReadAt(int fd, unsigned char* into, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, into, static_cast<size_t>(size), static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        into += got;
        size -= got;
        offset += got;
    }
    return true;
}

// One row of blue, green, red bytes into opaque pixels. Read as a little
// endian word, a pixel's three bytes and the next one's first are already
// 0x??RRGGBB: one load per pixel instead of three. The last pixel is read
// byte by byte, as its fourth byte may lie past the row.
void ExpandRow(const unsigned char* from, QRgb* to, int width)
{
    static_assert(std::endian::native == std::endian::little);
    for (int x = 0; x < width - 1; ++x) {
        std::uint32_t word;
        std::memcpy(&word, from + 3 * x, sizeof word);
        to[x] = 0xFF000000u | word;
    }
    const unsigned char* last = from + 3 * (width - 1);
    to[width - 1] = 0xFF000000u | QRgb(last[2]) << 16 | QRgb(last[1]) << 8 | last[0];
}

struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::optional<QImage> ReadPlainBitmap(const QString& path)
{
    const Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    unsigned char head[FileHeaderSize + InfoHeaderSize];
    if (!ReadAt(file.fd, head, sizeof head, 0) || head[0] != 'B' || head[1] != 'M')
        return std::nullopt;
    const unsigned char* info = head + FileHeaderSize;
    const std::uint32_t dataAt = Le32(head + 10);
    const auto width = static_cast<std::int32_t>(Le32(info + 4));
    const auto height = static_cast<std::int32_t>(Le32(info + 8));
    // Colours used (a palette the general decoder would skip) and every
    // other variant are left to the general decoder.
    if (Le32(info) != InfoHeaderSize || Le16(info + 12) != 1 || Le16(info + 14) != 24 || Le32(info + 16) != 0
        || Le32(info + 32) != 0 || width <= 0 || height <= 0 || dataAt < sizeof head
        || width > MaxDecodedBytes / 4 / height)
        return std::nullopt;

    const qint64 stride = (qint64(width) * 24 + 31) / 32 * 4;
    if (st.st_size < qint64(dataAt) + stride * height)
        return QImage();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    image.setDotsPerMeterX(static_cast<std::int32_t>(Le32(info + 24)));
    image.setDotsPerMeterY(static_cast<std::int32_t>(Le32(info + 28)));

    const int rowsPerChunk = static_cast<int>(std::max<qint64>(1, ChunkBytes / stride));
    const std::unique_ptr<unsigned char[]> chunk(new unsigned char[static_cast<size_t>(stride * rowsPerChunk)]);
    // The file holds the bottom row first.
    for (int fileRow = 0; fileRow < height; fileRow += rowsPerChunk) {
        const int rows = std::min(rowsPerChunk, height - fileRow);
        if (!ReadAt(file.fd, chunk.get(), stride * rows, qint64(dataAt) + stride * fileRow))
            return QImage(); // cut short since it was measured
        for (int r = 0; r < rows; ++r)
            ExpandRow(chunk.get() + stride * r, reinterpret_cast<QRgb*>(image.scanLine(height - 1 - (fileRow + r))),
                      width);
    }
    return image;
}

} // namespace kelpo
