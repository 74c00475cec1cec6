#pragma once
// A persistent picture: a 32-bit image with a background colour and the
// font and pen state that text printing uses. The table and its saved
// background are two of these.
//
// Every drawing call reports the rectangle it changed to the picture's
// change listener, so whoever shows the picture repaints exactly that part
// and nothing has to watch the picture for changes.

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QRegion>
#include <QStaticText>
#include <QString>

#include <functional>

namespace kelpo {

enum class RasterOp;

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

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    // Drawing straight into the image must be followed by markChanged().
    QImage& image() { return image_; }
    const QImage& image() const { return image_; }

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
        ChangeBatch(const ChangeBatch&) = delete;
        ChangeBatch& operator=(const ChangeBatch&) = delete;

    private:
        Picture& picture_;
    };

    // Block transfers into the picture (see platform/Raster.h).
    void transfer(int dx, int dy, int w, int h, const QImage& src, int sx, int sy, RasterOp op);
    void maskedTransfer(int dx, int dy, int w, int h, const QImage& image, int ix, int iy, const QImage& mask,
                        int mx, int my);

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

private:
    // Laid-out texts by font and content: the table prints the same few
    // labels on every repaint, and shaping them is most of printing's cost.
    struct LaidOutText {
        QFont font;
        QStaticText text;
        int ascent = 0;
    };
    const LaidOutText& layOut(const QString& text);

    QImage image_;
    ChangeListener listener_;
    int batchDepth_ = 0;
    QRegion pending_;
    QRgb backColor_ = qRgb(0, 0, 0);
    QHash<QString, LaidOutText> texts_;
};

} // namespace kelpo
