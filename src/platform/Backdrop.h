#pragma once
// A background that is one colour with a few images placed on it, kept as
// those images rather than as a picture of its whole size: the table's
// saved background is mostly its plain colour, and a second table-sized
// picture for it cost as much memory as the table itself.
//
// Restoring a block (Picture::restoreFrom) fills it with the colour and
// copies the images' parts. Whoever needs every pixel as one image takes
// image(), which is made at the first such call after a change.

#include <QImage>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

namespace kelpo {

class Backdrop {
public:
    struct Placed {
        QImage image;
        int x = 0;
        int y = 0;
    };

    // Sizes and places are logical, as in Picture.
    int width() const { return size_.width(); }
    int height() const { return size_.height(); }
    QSize deviceSize() const { return size_ * scale_; }
    int scale() const { return scale_; }
    // Changing the scale leaves the plain colour.
    void setScale(int scale);
    // A new size (or the same) leaves the plain colour; below 1 an empty
    // backdrop.
    void resize(int width, int height);
    QRgb backColor() const { return backColor_; }
    void setBackColor(QRgb colour);

    // Places the images in order, each over the ones before, with the same
    // pixels as Picture::drawImage gives on a picture of the plain colour.
    void place(std::vector<Placed> pieces);

    // Changes whenever any pixel may have changed; no two backdrops share one.
    qint64 key() const { return key_; }

    // Every pixel, in device pixels, made once after each change.
    const QImage& image() const;

    // Writes the device block r (inside deviceSize()) into the same place of
    // dst, a Format_RGB32 image of deviceSize().
    void writeBlock(QImage& dst, const QRect& r) const;

    // Where the device pixels of block r can be read row by row: a row y
    // starts at base + y * pitch. Over the plain colour alone that is one
    // row of it (pitch 0), so nothing table-sized is made.
    struct Rows {
        const std::uint32_t* base = nullptr;
        qsizetype pitch = 0;
    };
    Rows rowsFor(const QRect& r) const;

private:
    // Places that overlap are drawn into one patch; the rest of the
    // backdrop is the colour.
    struct Patch {
        QRect device;
        QImage image;
    };
    void rebuild();
    bool plainOver(const QRect& device) const;

    QSize size_;
    int scale_ = 1;
    QRgb backColor_ = 0xFF000000u;
    std::vector<Placed> pieces_;
    std::vector<Patch> patches_;
    qint64 key_ = 0;
    mutable QImage whole_;
    mutable std::vector<std::uint32_t> plainRow_;
};

} // namespace kelpo
