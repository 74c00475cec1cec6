#pragma once
// The resource pack being built: every file with its place, kept in memory
// until written so the contact sheet can be drawn from the same pictures.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

namespace kelpo::resgen {

// Files live below the program's directory or below the one above it.
enum class Root { App, Parent };

struct PackFile {
    Root root = Root::App;
    QString path;       // relative, '/'-separated, case as the client asks for it
    QByteArray bytes;   // exactly what goes to disk
    QImage image;       // the picture, for the contact sheet; null for sounds and text
};

class Pack {
public:
    // Opaque bitmaps are stored as 24-bit BMP so every reader sees plain RGB.
    void addBitmap(Root root, const QString& path, const QImage& image);
    void addJpeg(Root root, const QString& path, const QImage& image, int quality);
    void addIcon(Root root, const QString& path, const QImage& image);
    void addBytes(Root root, const QString& path, const QByteArray& bytes);

    const std::vector<PackFile>& files() const { return files_; }
    const PackFile* find(Root root, const QString& path) const;
    QImage image(Root root, const QString& path) const;

    // Writes every file below appDir / parentDir; false with a reason on the
    // first file that cannot be written.
    bool write(const QString& appDir, const QString& parentDir, QString* error) const;

private:
    std::vector<PackFile> files_;
};

} // namespace kelpo::resgen
