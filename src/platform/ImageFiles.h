#pragma once
// Reading bitmap, icon and picture files for drawing. Every read first tests
// that the file exists; the cache hands back the decoded image only while
// the file on disk is the one it decoded.

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

#include <cstdint>
#include <thread>

namespace kelpo {

// Decodes one file with the format its suffix names and a cap on the memory
// the decoder may allocate. Opaque images come back as Format_RGB32, images
// with transparency (icons) as premultiplied ARGB. A missing, truncated or
// oversized file gives a null image.
QImage ReadImageFile(const QString& path);

class ImageFileCache {
public:
    ImageFileCache();
    ~ImageFileCache();
    ImageFileCache(const ImageFileCache&) = delete;
    ImageFileCache& operator=(const ImageFileCache&) = delete;

    // The image of the file at path, decoded anew when the file changed; a
    // null image when the file does not exist (any cached copy is dropped).
    QImage load(const QString& path);
    void clear()
    {
        entries_.clear();
        ++generation_;
    }
    // Changes whenever an image this cache handed out may no longer be the
    // file's: a holder of loaded images keeps them while it stays the same.
    // Reads the file system's reports as load() does; without them every
    // call gives a new value.
    std::uint64_t generation();
    int size() const { return static_cast<int>(entries_.size()); }
    // Within a batch the file system's reports are read once, at its first
    // load: one drawing procedure sees the files as they were when it began.
    class Batch {
    public:
        explicit Batch(ImageFileCache& cache) : cache_(cache)
        {
            if (cache_.batchDepth_++ == 0)
                cache_.drainedInBatch_ = false;
        }
        ~Batch() { --cache_.batchDepth_; }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ImageFileCache& cache_;
    };

    // True while the file system reports changes to the cache, so that an
    // unchanged file costs no system call at all.
    bool watching() const { return notifyFd_ >= 0; }

private:
    struct Stamp {
        std::int64_t size = -1;
        std::int64_t mtimeNs = 0;
        std::uint64_t inode = 0;
        std::uint64_t device = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Entry {
        Stamp stamp;
        QImage image;
        bool trusted = false; // no change reported since the last test
    };
    static bool StampOf(const QString& path, Stamp& out);
    // Asks to hear of any change to the file or to a folder on its path.
    bool watch(const QString& path);
    // Reads what changed; anything that may touch a cached file makes every
    // entry be tested again.
    void drainChanges();
    void drainOncePerBatch();

    QHash<QString, Entry> entries_;
    int notifyFd_ = -1;
    // The kernel signals the thread that made the cache when it queues a
    // report; until then that thread has nothing to read.
    bool signalled_ = false;
    std::thread::id owner_;
    std::uint64_t readAtSignal_ = 0;
    int batchDepth_ = 0;
    bool drainedInBatch_ = false;
    std::uint64_t generation_ = 0;
    bool unwatched_ = false; // a file was cached without change reports
    // Watched folder -> names in it that lie on the path to a cached file.
    QHash<int, QSet<QString>> watchedNames_;
    // Folders watched so far, by path, with what was asked of each: every
    // file of one folder shares the folders above it, and asking the kernel
    // again for each costs a system call per folder. Forgotten when a watch
    // ends or a folder moves, as a path may then name another folder.
    struct WatchedFolder {
        int wd = -1;
        std::uint32_t mask = 0;
    };
    QHash<QString, WatchedFolder> watchedFolders_;
};

} // namespace kelpo
