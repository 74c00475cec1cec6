#pragma once
// A persistent picture: a 32-bit image with a background colour and the
// font and pen state that text printing uses. The table and its saved
// background are two of these.
//
// Every drawing call reports the rectangle it changed to the picture's
// change listener, so whoever shows the picture repaints exactly that part
// and nothing has to watch the picture for changes.

#include "platform/Backdrop.h"
#include "platform/Raster.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QStaticText>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace kelpo {


// What the drawing procedures save before they print and put back after.
struct FontState {
    QString fontName = QStringLiteral("宋体");
    int fontSize = 9; // points, at 96 pixels per inch
    bool fontBold = false;
    QRgb foreColor = qRgb(0, 0, 0);
    friend bool operator==(const FontState&, const FontState&) = default;
};

class Picture {
public:
    Picture() = default;
    Picture(int width, int height, QRgb backColor = qRgb(0, 0, 0));

    // Sizes and every coordinate below are logical: the table is laid out
    // once, whatever the screen's pixel density.
    int width() const { return image_.width() / scale_; }
    int height() const { return image_.height() / scale_; }
    // Device pixels per logical pixel (1 or 2). At 2 the image holds twice
    // the pixels each way and carries that ratio, so a painter draws it at
    // its logical size. Changing the scale clears the picture.
    int scale() const { return scale_; }
    void setScale(int scale);
    // Drawing straight into the image must be followed by markChanged();
    // its coordinates are device pixels. Taking the image to write makes
    // the next restoreFrom a plain copy; readers use the const image().
    QImage& image()
    {
        differs_.clear();
        ++epoch_;
        return image_;
    }
    const QImage& image() const { return image_; }
    // Device pixels to write in place, row by row (pitch in pixels), for a
    // painter that composes rows itself. What it writes must be reported
    // with markChanged; until then the next restoreFrom is a plain copy.
    struct DevicePixels {
        std::uint32_t* base = nullptr;
        qsizetype pitch = 0;
    };
    DevicePixels pixelsToWrite()
    {
        if (image_.isNull())
            return {};
        ++epoch_;
        return {reinterpret_cast<std::uint32_t*>(image_.bits()), image_.bytesPerLine() / 4};
    }

    // Called with each changed rectangle, clipped to the picture.
    using ChangeListener = std::function<void(const QRect&)>;
    void setChangeListener(ChangeListener listener) { listener_ = std::move(listener); }
    void markChanged(const QRect& rect);

    // While one of these lives, the changes are gathered and reported when
    // the outermost ends, overlaps merged: a procedure that redraws an area
    // piece by piece reports each pixel once.
    class ChangeBatch {
    public:
        explicit ChangeBatch(Picture& picture) : picture_(picture) { ++picture_.batchDepth_; }
        ~ChangeBatch();
        // The whole picture is reported once when the outermost batch ends,
        // and nothing else: a full repaint changes too much for its pieces
        // to be worth merging.
        void reportWhole() { picture_.reportWhole_ = true; }
        ChangeBatch(const ChangeBatch&) = delete;
        ChangeBatch& operator=(const ChangeBatch&) = delete;

    private:
        Picture& picture_;
    };

    // Block transfers into the picture (see platform/Raster.h). A source
    // whose devicePixelRatio equals the picture's scale is read in device
    // pixels (a large card, another picture); any other is enlarged pixel
    // by pixel, so the raster rules stay exact.
    void transfer(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op);
    void maskedTransfer(int dx, int dy, int w, int h, const QImage& image, int ix, int iy, const QImage& mask,
                        int mx, int my);

    // Copies the block (x, y, w, h) of reference, a picture of the same
    // size and scale, leaving out the parts that hold its pixels already:
    // every drawing call marks the tiles it touches as possibly different,
    // and this copy marks the tiles it covers whole as equal again. Only
    // what was copied is reported. When the tiles cannot be trusted (the
    // reference changed, or this image was written without markChanged)
    // every tile counts as different, so the result is always the plain
    // copy's.
    void restoreFrom(const Picture& reference, int x, int y, int w, int h);
    // The same from a backdrop of the same size and scale.
    void restoreFrom(const Backdrop& reference, int x, int y, int w, int h);

    // Whether an image is opaque in every pixel, checked once per image:
    // then a masked transfer copies what the mask keeps black as it is.
    bool opaque(const QImage& image);

    // Every reported change counts one write, and the last few hundred are
    // kept: a caller that remembers writeMark() after drawing can later tell
    // what has drawn over its area since. Writing through image() or
    // pixelsToWrite() forgets everything.
    struct WriteMark {
        quint64 epoch = 0;
        quint64 count = 0;
    };
    WriteMark writeMark() const { return {epoch_, writes_}; }
    // The bounding rectangle of what was drawn since mark; null when that
    // is no longer known.
    QRect writtenSince(WriteMark mark) const;
    // Whether nothing was drawn over r since mark (false when that is no
    // longer known).
    bool untouchedSince(const QRect& r, WriteMark mark) const;
    // Whether, since mark, r was touched only by restores from a backdrop;
    // restoredPart receives the bounding rectangle of what they covered in r.
    bool onlyRestoredSince(const QRect& r, WriteMark mark, QRect& restoredPart) const;

    // A new size clears the picture to its background colour. Sizes below 1
    // give an empty picture that ignores all drawing.
    void resize(int width, int height);
    QRgb backColor() const { return backColor_; }
    void setBackColor(QRgb colour) { backColor_ = colour | 0xFF000000u; }
    void clear();

    FontState font;

    // Prints text with its cell's top-left corner at (x, y) in the current
    // font and fore colour, on a transparent background.
    void print(int x, int y, const QString& text);
    // Width and height of text in the current font, for callers that place
    // text next to text.
    int textWidth(const QString& text) const;

    // Lines include both end points, as a pen of width 1 draws them.
    void line(int x1, int y1, int x2, int y2, QRgb colour);
    // Outline of the rectangle with corners (x1, y1) and (x2, y2), inclusive.
    void rectangle(int x1, int y1, int x2, int y2, QRgb colour);
    void fillRect(int x, int y, int w, int h, QRgb colour);
    // Draws an image with its alpha (icons); opaque images are copied.
    void drawImage(int x, int y, const QImage& image);

    // Moves the block (x, y, w, h) by (dx, dy) inside the picture, as a copy
    // from the picture as it was before: source and destination may
    // overlap. What would come from or go outside the picture is left out.
    // The destination is reported as drawn on.
    void moveBlock(int x, int y, int w, int h, int dx, int dy);

private:
    // Laid-out texts by font and content: the table prints the same few
    // labels on every repaint, and shaping them is most of printing's cost.
    struct LaidOutText {
        QFont font;
        QStaticText text;
        int ascent = 0;
    };
    // The current font as a key prefix, with room for reserve more.
    QString fontKey(qsizetype reserve = 0) const;
    const LaidOutText& layOut(const QString& key, const QString& text);
    // A text or icon as drawn at one place: the device pixels under it
    // before and after.
    struct Printed {
        QRect device;
        QImage before;
        QImage after;
    };
    struct PrintedAt {
        std::array<Printed, 2> variants;
        int next = 0;
    };
    bool blockEquals(const QRect& device, const QImage& block) const;
    // Puts back what a drawing kept under key gave, when the device pixels
    // under it are what they were then; reports changed.
    bool replay(const QString& key, const QRect& device, const QRect& changed);
    // Keeps the drawing just made over before under key.
    void remember(const QString& key, const QRect& device, const QImage& before);
    // The black runs of a mask read in device pixels, by its cache key.
    const std::vector<BlackRun>& blackRuns(const QImage& mask);
    QHash<qint64, std::vector<BlackRun>> blackRuns_;
    QHash<qint64, bool> opaque_;

    // The source block (sx, sy, w, h) in this picture's device pixels.
    QImage deviceBlock(const QImage& src, int& sx, int& sy, int w, int h) const;
    // Clips a transfer to the picture and to src in logical pixels;
    // (ox, oy) is moved along with (sx, sy).
    bool clipLogical(int& dx, int& dy, int& w, int& h, const QImage& src, int& sx, int& sy, int& ox,
                     int& oy) const;

    // Tiles of TileSize logical pixels that may differ from the reference,
    // row by row, each with the bounding rectangle of what was drawn in it
    // (a restore copies no more); the keys tell whether anything wrote to
    // either image behind the tiles' back.
    static constexpr int TileSize = 16;
    void noteTiles(const QRect& r);
    // The rectangle of each of the last writes, by write count.
    static constexpr quint64 WriteLogSize = 512;
    std::array<QRect, WriteLogSize> writeLog_{};
    std::array<bool, WriteLogSize> restoreLog_{}; // the write was a restore
    bool restoring_ = false;
    quint64 writes_ = 0;
    quint64 epoch_ = 0;
    // Whether the log still holds every write since mark, and no more than
    // writes of them.
    bool logReaches(WriteMark mark, quint64 writes) const;
    bool tilesTrusted(const void* reference, qint64 referenceKey) const;
    // The last copies made, with the write count after each: made again,
    // a copy redraws only what was drawn over it since.
    struct Copied {
        qint64 source = 0;
        std::array<int, 6> args{};
        QRect changed;
        WriteMark mark;
    };
    std::array<Copied, 32> copies_{};
    QRect transferNow(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op);
    // Copies the differing tiles of r with copyRun(device rectangle).
    template <class CopyRun>
    void restoreTiles(const void* reference, qint64 referenceKey, const QRect& r, CopyRun copyRun);
    // The part of a tile drawn on, in pixels from its corner, inclusive;
    // none when x0 > x1.
    struct TileDirt {
        std::uint8_t x0, y0, x1, y1;
    };
    static constexpr TileDirt CleanTile{TileSize, TileSize, 0, 0};
    static constexpr TileDirt WholeTile{0, 0, TileSize - 1, TileSize - 1};
    std::vector<TileDirt> differs_;
    std::vector<QRect> runs_; // restoreTiles' scratch, kept for its capacity
    int tilesX_ = 0;
    const void* reference_ = nullptr;
    qint64 referenceKey_ = 0;
    qint64 imageKey_ = 0;

    QImage image_;
    int scale_ = 1;
    ChangeListener listener_;
    int batchDepth_ = 0;
    bool reportWhole_ = false;
    std::vector<QRect> pending_;
    QRgb backColor_ = qRgb(0, 0, 0);
    QHash<QString, LaidOutText> texts_;
    QHash<QString, PrintedAt> printed_;
};

} // namespace kelpo
