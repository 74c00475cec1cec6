#include "platform/PrefaultedImage.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kelpo {

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;

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

QByteArray ReadSmallFile(const char* path)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

// Whether a region asked to be backed by 2 MB pages gets them from the free
// lists at once. When the kernel has to compact memory first to find them,
// the first write stalls for milliseconds: then small pages are cheaper.
bool HugePagesAtHand()
{
    static const bool atHand = [] {
        const QByteArray mode = ReadSmallFile("/sys/kernel/mm/transparent_hugepage/enabled");
        if (!mode.contains("[always]") && !mode.contains("[madvise]"))
            return false;
        // Free blocks by order, one zone a line: "Node 0, zone Normal 13441 9088 ...".
        qint64 free2MB = 0;
        for (const QByteArray& line : ReadSmallFile("/proc/buddyinfo").split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            for (qsizetype order = 9; fields.size() > 4 + order && order <= 10; ++order)
                free2MB += fields[4 + order].toLongLong() << (order - 9);
        }
        return free2MB >= 64;
    }();
    return atHand;
}

// Memory for bytes, aligned to 2 MB, its first huge bytes asked to be
// backed by 2 MB pages and the rest by small ones, every page in place;
// null when the mapping fails.
void* MapInHugePages(std::size_t bytes, std::size_t huge, std::size_t& length)
{
    constexpr std::size_t SmallPage = 4096;
    length = std::max(huge, (bytes + SmallPage - 1) / SmallPage * SmallPage);
    void* raw = ::mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto at = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (at + HugePage - 1) / HugePage * HugePage;
    if (aligned > at)
        ::munmap(raw, aligned - at);
    if (const std::size_t tail = at + length + HugePage - (aligned + length))
        ::munmap(reinterpret_cast<void*>(aligned + length), tail);
    auto* start = reinterpret_cast<unsigned char*>(aligned);
    ::madvise(start, huge, MADV_HUGEPAGE);
    // One write per page brings it in: a 2 MB page whole.
    for (std::size_t offset = 0; offset < length; offset += offset < huge ? HugePage : SmallPage)
        start[offset] = 0;
    return start;
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
    std::size_t length = static_cast<std::size_t>(bytes);
    void* start = nullptr;
    // Whole 2 MB pages, and one more for a last part of at least three
    // quarters of one: at most half a megabyte of memory more.
    std::size_t huge = length / HugePage * HugePage;
    if (length - huge >= HugePage / 4 * 3)
        huge += HugePage;
    if (huge > 0 && HugePagesAtHand())
        start = MapInHugePages(length, huge, length);
    if (!start) {
        length = static_cast<std::size_t>(bytes);
        start = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (start == MAP_FAILED)
            return QImage(width, height, format);
    }
    auto* mapping = new Mapping{start, length};
    return QImage(static_cast<uchar*>(start), width, height, static_cast<qsizetype>(rowBytes), format, Unmap,
                  mapping);
}

} // namespace kelpo
