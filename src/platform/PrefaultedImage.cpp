#include "platform/PrefaultedImage.h"

#include <sys/mman.h>

#include <cstdint>
#include <limits>

namespace kelpo {

namespace {

struct Mapping {
    void* start;
    std::size_t length;
};

void Unmap(void* info)
{
    auto* mapping = static_cast<Mapping*>(info);
    ::munmap(mapping->start, mapping->length);
    delete mapping;
}

} // namespace

QImage NewPrefaultedImage(int width, int height, QImage::Format format)
{
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    if (width < 1 || height < 1 || depth < 8)
        return {};
    // Rows padded to four bytes, as Qt lays its own images out.
    const std::int64_t rowBytes = (std::int64_t(width) * depth / 8 + 3) / 4 * 4;
    const std::int64_t bytes = rowBytes * height;
    if (rowBytes > std::numeric_limits<int>::max() || bytes > std::numeric_limits<qsizetype>::max() / 2)
        return {};
    void* start = ::mmap(nullptr, static_cast<std::size_t>(bytes), PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (start == MAP_FAILED)
        return QImage(width, height, format);
    auto* mapping = new Mapping{start, static_cast<std::size_t>(bytes)};
    return QImage(static_cast<uchar*>(start), width, height, static_cast<qsizetype>(rowBytes), format, Unmap,
                  mapping);
}

} // namespace kelpo
