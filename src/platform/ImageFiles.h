#pragma once
// Reading bitmap, icon and picture files for drawing. Every read first tests
// that the file exists; the cache hands back the decoded image only while
// the file on disk is the one it decoded.

#include <QHash>
#include <QImage>
#include <QString>

#include <cstdint>

namespace kelpo {

// Decodes one file with the format its suffix names and a cap on the memory
// the decoder may allocate. Opaque images come back as Format_RGB32, images
// with transparency (icons) as premultiplied ARGB. A missing, truncated or
// oversized file gives a null image.
QImage ReadImageFile(const QString& path);

class ImageFileCache {
public:
    // The image of the file at path, decoded anew when the file changed; a
    // null image when the file does not exist (any cached copy is dropped).
    QImage load(const QString& path);
    void clear() { entries_.clear(); }
    int size() const { return static_cast<int>(entries_.size()); }

private:
    struct Stamp {
        std::int64_t size = -1;
        std::int64_t mtimeNs = 0;
        std::uint64_t inode = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Entry {
        Stamp stamp;
        QImage image;
    };
    static bool StampOf(const QString& path, Stamp& out);
    QHash<QString, Entry> entries_;
};

} // namespace kelpo
