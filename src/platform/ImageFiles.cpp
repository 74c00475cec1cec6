#include "platform/ImageFiles.h"

#include "platform/PlainBitmap.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <fcntl.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
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
    // No picture the client draws comes near this; past it the size sum
    // below would overflow, and the decoder could not hold the pixels anyway.
    constexpr qint64 MaxSide = 1 << 16;
    if (std::abs(width) > MaxSide || std::abs(height) > MaxSide || bits < 1 || bits > 32)
        return false;
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
    if (format == "bmp") {
        if (std::optional<QImage> plain = ReadPlainBitmap(path))
            return *plain;
        if (!BitmapComplete(path))
            return {};
    }
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

namespace {

// Every cache's descriptor raises SIGIO in the thread that made the cache
// whenever the kernel queues a report on it; the handler only counts. The
// signal is raised while the change is made, before the changing call
// returns, and taken before the owning thread runs on: a count that has not
// moved since a cache last read means there is nothing to read, and the read
// (one system call, a fifth of a hand card's redraw) is skipped.
std::atomic<std::uint64_t> g_reportSignals{0};
static_assert(std::atomic<std::uint64_t>::is_always_lock_free, "counted in a signal handler");

void CountReport(int)
{
    g_reportSignals.fetch_add(1, std::memory_order_relaxed);
}

// Takes SIGIO when nobody else handles or ignores it. Without it every
// drawing procedure reads the descriptor.
bool TakeReportSignal()
{
    static const bool taken = [] {
        struct sigaction current {};
        if (::sigaction(SIGIO, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) ||
            current.sa_handler != SIG_DFL)
            return false;
        struct sigaction count {};
        count.sa_handler = CountReport;
        ::sigemptyset(&count.sa_mask);
        count.sa_flags = SA_RESTART;
        return ::sigaction(SIGIO, &count, nullptr) == 0;
    }();
    return taken;
}

bool ReportSignalBlocked()
{
    sigset_t blocked;
    return ::pthread_sigmask(SIG_BLOCK, nullptr, &blocked) != 0 || ::sigismember(&blocked, SIGIO) == 1;
}

} // namespace

ImageFileCache::ImageFileCache()
{
    notifyFd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notifyFd_ < 0 || !TakeReportSignal() || ReportSignalBlocked())
        return;
    readAtSignal_ = g_reportSignals.load(std::memory_order_relaxed);
    const f_owner_ex owner{F_OWNER_TID, ::gettid()};
    const int flags = ::fcntl(notifyFd_, F_GETFL);
    if (flags < 0 || ::fcntl(notifyFd_, F_SETOWN_EX, &owner) != 0 ||
        ::fcntl(notifyFd_, F_SETFL, flags | O_ASYNC) != 0)
        return;
    signalled_ = true;
    owner_ = std::this_thread::get_id();
}

ImageFileCache::~ImageFileCache()
{
    if (notifyFd_ >= 0)
        ::close(notifyFd_);
}

bool ImageFileCache::StampOf(const QString& path, Stamp& out)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    out.size = static_cast<std::int64_t>(st.st_size);
    out.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    out.inode = static_cast<std::uint64_t>(st.st_ino);
    out.device = static_cast<std::uint64_t>(st.st_dev);
    return true;
}

bool ImageFileCache::watch(const QString& path)
{
    if (notifyFd_ < 0)
        return false;
    // Folders above only matter when names come and go; the file's own
    // folder also when contents change. Masks only ever grow, as one folder
    // can hold a cached file and lie on the path to another.
    constexpr std::uint32_t structure =
        IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_MASK_ADD;
    constexpr std::uint32_t contents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE;
    bool leaf = true;
    // The file's folder and every folder above it: renaming or removing
    // any of them makes the file disappear too.
    QString child = QFileInfo(path).absoluteFilePath();
    while (true) {
        const qsizetype cut = child.lastIndexOf(u'/');
        if (cut < 0)
            return true;
        const QString dir = cut == 0 ? QStringLiteral("/") : child.left(cut);
        const QString name = child.mid(cut + 1);
        const std::uint32_t mask = leaf ? structure | contents : structure;
        leaf = false;
        WatchedFolder& folder = watchedFolders_[dir];
        if ((folder.mask & mask) != mask) {
            const int wd = ::inotify_add_watch(notifyFd_, QFile::encodeName(dir).constData(), mask);
            if (wd < 0) {
                watchedFolders_.remove(dir);
                return false;
            }
            folder.mask = (folder.wd == wd ? folder.mask : 0) | mask;
            folder.wd = wd;
        }
        watchedNames_[folder.wd].insert(name);
        if (cut == 0)
            return true;
        child = dir;
    }
}

void ImageFileCache::drainChanges()
{
    if (notifyFd_ < 0)
        return;
    // Taken before reading: a report queued during the read counts anew.
    const std::uint64_t reports = g_reportSignals.load(std::memory_order_relaxed);
    if (signalled_ && reports == readAtSignal_ && std::this_thread::get_id() == owner_)
        return;
    readAtSignal_ = reports;
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    while (true) {
        const ssize_t n = ::read(notifyFd_, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->mask & (IN_Q_OVERFLOW | IN_IGNORED | IN_DELETE_SELF | IN_MOVE_SELF)) {
                changed = true;
                watchedFolders_.clear();
                if (e->mask & IN_IGNORED)
                    watchedNames_.remove(e->wd);
                continue;
            }
            const auto names = watchedNames_.constFind(e->wd);
            if (e->len > 0 && names != watchedNames_.constEnd() && names->contains(QFile::decodeName(e->name)))
                changed = true;
        }
    }
    if (changed) {
        ++generation_;
        for (Entry& entry : entries_)
            entry.trusted = false;
    }
}

void ImageFileCache::drainOncePerBatch()
{
    if (batchDepth_ == 0 || !drainedInBatch_) {
        drainChanges();
        drainedInBatch_ = batchDepth_ > 0;
    }
}

std::uint64_t ImageFileCache::generation()
{
    drainOncePerBatch();
    if (notifyFd_ < 0 || unwatched_)
        ++generation_;
    return generation_;
}

QImage ImageFileCache::load(const QString& path)
{
    if (path.isEmpty())
        return {};
    drainOncePerBatch();
    auto it = entries_.find(path);
    if (it != entries_.end() && it->trusted)
        return it->image;
    // Watch before testing, so a change right after the test is reported.
    const bool watched = watch(path);
    unwatched_ = unwatched_ || !watched;
    Stamp stamp;
    if (!StampOf(path, stamp)) {
        if (entries_.remove(path))
            ++generation_;
        return {};
    }
    if (it != entries_.end() && it->stamp == stamp) {
        it->trusted = watched;
        return it->image;
    }
    ++generation_;
    // A file that failed to decode is remembered too, so it is not decoded
    // again on every paint until it changes.
    Entry e{stamp, ReadImageFile(path), watched};
    entries_.insert(path, e);
    return e.image;
}

} // namespace kelpo
