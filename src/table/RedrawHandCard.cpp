// Redrawing the column of one hand card after its flag changed, row by row
// straight into the table picture's pixels.

#include "platform/Raster.h"
#include "table/TablePainter.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>
#include <utility>
#include <vector>

namespace kelpo {

namespace {

// A card reaching into the redrawn column, its picture read in device pixels.
struct Layer {
    int x = 0;
    int y = 0;
    const std::uint32_t* image = nullptr;
    qsizetype pitch = 0;
    bool focus = false;
};

// Fills the part of the logical span [from, to) that lies in [a, b) on one
// device row.
void FillSpan(std::uint32_t* row, int s, int from, int to, int a, int b, std::uint32_t colour)
{
    const int lo = std::max(from, a);
    const int hi = std::min(to, b);
    if (lo < hi)
        std::fill(row + lo * s, row + hi * s, colour);
}

// Copies n pixels. Most strips of a redrawn column are one card step wide:
// a copy of that constant size is a few register moves in place, where a
// call to the library's copy costs more than the copy itself.
inline void CopyPixels(std::uint32_t* dst, const std::uint32_t* src, int n)
{
    if (n == CardStep)
        std::memcpy(dst, src, CardStep * sizeof(std::uint32_t));
    else if (n == 2 * CardStep)
        std::memcpy(dst, src, 2 * CardStep * sizeof(std::uint32_t));
    else
        std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(std::uint32_t));
}

} // namespace

QImage TablePainter::DeviceImage(const QImage& image) const
{
    const int s = Scale();
    QImage out = ToRgb32(image);
    if (out.devicePixelRatio() != s) {
        out = out.scaled(out.width() * s, out.height() * s, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        out = ToRgb32(out);
        out.setDevicePixelRatio(s);
    }
    return out;
}

QImage TablePainter::OpaqueDeviceImage(const QImage& image)
{
    // A picture that is not gets this drawing's own opaque copy.
    return DeviceImage(picGameBack.opaque(image) ? image : MadeOpaque(image));
}

void TablePainter::RedrawHandCard(int index)
{
    ImageFileCache::Batch batch(images_);
    Picture::ChangeBatch changes(picGameBack);
    const CardState& c = state.cards;
    const int n = c.HandCards.count();
    if (index < 1 || index > n)
        return;
    // Anything but a changed flag since the last full drawing: draw it all.
    bool same = hand_.valid && c.SelectedFlags.count() == n && hand_.cards == c.HandCards.codes() &&
                hand_.faces == (state.table.CanSeeHand != 0) &&
                hand_.anchor == state.view.Layout.HandAnchor[2] && hand_.scale == Scale() &&
                hand_.appPath == state.globals.AppPath && static_cast<int>(hand_.places.size()) == n &&
                picSaveGameBack.deviceSize() == std::as_const(picGameBack).image().size();
    // With the same cards and sight, only the last card's marking can have
    // changed its picture.
    same = same && hand_.places[static_cast<std::size_t>(n - 1)].image == HandImageIndexAt(n);
    if (!same || !HandFilesCurrent()) {
        DrawHand();
        return;
    }
    const HandCardPlace& moved = hand_.places[static_cast<std::size_t>(index - 1)];
    if (!moved.drawn)
        return;
    const HandMask& mask = HandMaskFor(hand_.mask);
    const int s = Scale();
    const int top = hand_.anchor.y();
    const int focus = state.handFocus();

    // The cards that reach into the column, left to right.
    std::array<Layer, 2 * (CardWidth / CardStep) + 1> layers;
    std::size_t count = 0;
    for (int j = 1; j <= n; ++j) {
        HandCardPlace& p = hand_.places[static_cast<std::size_t>(j - 1)];
        if (!p.drawn)
            continue;
        if (p.x + CardWidth <= moved.x || p.x >= moved.x + CardWidth || count == layers.size())
            continue;
        if (p.device.isNull())
            p.device = OpaqueDeviceImage(p.file);
        const int y = top - (c.SelectedFlags.at(j) != 0 ? RaiseOffset : 0);
        layers[count++] = {p.x, y, reinterpret_cast<const std::uint32_t*>(p.device.constBits()),
                           p.device.bytesPerLine() / 4, j == focus};
    }
    const auto opaqueAt = [&](const Layer& l, int y) {
        const int row = y - l.y;
        return row >= 0 && row < CardHeight && mask.opaque[static_cast<std::size_t>(row)];
    };

    const int t = state.table.DeckCount * 54 / 6;
    const int full = RowWidth(t);
    const QRect background(hand_.anchor.x() - full / 2, top - RaiseOffset, full + 1, CardHeight + 25);
    const Picture::DevicePixels out = picGameBack.pixelsToWrite();
    const Backdrop::Rows saved = picSaveGameBack.rowsFor(QRect(background.topLeft() * s, background.size() * s));
    const std::uint32_t* savedBase = saved.base;
    const qsizetype savedPitch = saved.pitch;
    const auto* maskBase = reinterpret_cast<const std::uint32_t*>(mask.device.constBits());
    const qsizetype maskPitch = mask.device.bytesPerLine() / 4;
    const int W = picGameBack.width();
    const int H = picGameBack.height();

    // The card's flag changes at most its own column. In each row of that
    // column, the part right of the first later card that is opaque across
    // the whole row cannot change, so only the part left of it is redrawn.
    // What a row shows changes only where a card begins or ends or its
    // mask's opaque rows do: between two such rows every row is painted
    // alike, and the rows' extent is reported once.
    const int yTop = std::max(top - RaiseOffset, 0);
    const int yEnd = std::min(top + CardHeight, H);
    // A mask has at most one edge per row and its two ends; kept on the
    // stack, as a redraw is a few microseconds.
    std::array<int, layers.size() * (CardHeight + 1) + 2> cutRows;
    std::size_t cutCount = 0;
    cutRows[cutCount++] = yTop;
    cutRows[cutCount++] = yEnd;
    // Cards stand at two heights at most (lowered or raised): the edges of
    // each height are added once.
    std::array<int, layers.size()> heights;
    std::size_t heightCount = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const int height = layers[k].y;
        if (std::find(heights.begin(), heights.begin() + heightCount, height) != heights.begin() + heightCount)
            continue;
        heights[heightCount++] = height;
        for (const int edge : mask.edges) {
            const int y = height + edge;
            if (y > yTop && y < yEnd && cutCount < cutRows.size())
                cutRows[cutCount++] = y;
        }
    }
    std::sort(cutRows.begin(), cutRows.begin() + cutCount);
    const std::span<const int> cuts(cutRows.data(),
                                    std::unique(cutRows.begin(), cutRows.begin() + cutCount) - cutRows.begin());

    // A card's part of a band, in device pixels: the picture and mask rows
    // start at its first pixel, and the row's black run is counted from there.
    struct Span {
        const Layer* layer;
        int begin;
        int end;
        const std::uint32_t* image;
        const std::uint32_t* mask;
        qsizetype pitch;
        int top;
        int cx;
        int width;
    };
    std::array<Span, layers.size()> spans;
    QRect strip;
    const int x0 = std::max(moved.x, 0);
    for (std::size_t band = 0; band + 1 < cuts.size(); ++band) {
        const int y0 = cuts[band];
        const int y1 = cuts[band + 1];
        int x1 = moved.x + CardWidth;
        for (std::size_t k = 0; k < count; ++k) {
            if (layers[k].x > moved.x && layers[k].x < x1 && opaqueAt(layers[k], y0)) {
                x1 = layers[k].x;
                break;
            }
        }
        x1 = std::min(x1, W);
        if (x0 >= x1)
            continue;
        if (!strip.isEmpty() && strip.right() + 1 == x1 && strip.bottom() + 1 == y0) {
            strip.setBottom(y1 - 1);
        } else {
            picGameBack.markChanged(strip);
            strip = QRect(x0, y0, x1 - x0, y1 - y0);
        }

        // A card opaque across the whole row hides the background and every
        // card before it there; painting starts with the last such card.
        std::size_t first = count;
        while (first > 0) {
            const Layer& l = layers[first - 1];
            if (l.x <= x0 && l.x + CardWidth >= x1 && opaqueAt(l, y0))
                break;
            --first;
        }
        int backBegin = 0;
        int backEnd = 0;
        if (first == 0) {
            if (y0 >= background.top() && y0 <= background.bottom()) {
                backBegin = std::max(x0, background.left());
                backEnd = std::min(x1, background.right() + 1);
            }
        } else {
            --first;
        }
        // Each card from there on, where no later card covers its row.
        std::size_t spanCount = 0;
        for (std::size_t k = first; k < count && layers[k].x < x1; ++k) {
            const Layer& l = layers[k];
            const int row = y0 - l.y;
            if (row < 0 || row >= CardHeight)
                continue;
            const int b = std::max(l.x, x0);
            int e = std::min(l.x + CardWidth, x1);
            for (std::size_t j = k + 1; j < count && layers[j].x < e; ++j) {
                if (opaqueAt(layers[j], y0)) {
                    e = layers[j].x;
                    break;
                }
            }
            if (b < e) {
                const int cx = (b - l.x) * s;
                spans[spanCount++] = {&l, b, e, l.image + cx, maskBase + cx, l.pitch, l.y * s, cx, (e - b) * s};
            }
        }

        const int backWidth = (backEnd - backBegin) * s;
        for (int dy = y0 * s; dy < y1 * s; ++dy) {
            std::uint32_t* dst = out.base + static_cast<qsizetype>(dy) * out.pitch;
            if (backWidth > 0)
                CopyPixels(dst + backBegin * s, savedBase + dy * savedPitch + backBegin * s, backWidth);
            for (std::size_t i = 0; i < spanCount; ++i) {
                const Span& span = spans[i];
                const int cardRow = dy - span.top;
                const BlackRun run = mask.runs[static_cast<std::size_t>(cardRow)];
                const std::uint32_t* image = span.image + cardRow * span.pitch;
                // Black under the whole part: the card's pixels as they are.
                if (run.begin <= span.cx && run.end >= span.cx + span.width)
                    CopyPixels(dst + span.begin * s, image, span.width);
                else
                    MaskedRow(dst + span.begin * s, image, span.mask + cardRow * maskPitch, span.width,
                              {run.begin - span.cx, run.end - span.cx}, true);
                const Layer& l = *span.layer;
                if (!l.focus)
                    continue;
                const int row = cardRow / s;
                if (row < FocusFrameInset || row >= CardHeight - FocusFrameInset)
                    continue;
                // The focus frame, drawn as part of the card.
                const int left = l.x + FocusFrameInset;
                const int right = l.x + CardWidth - FocusFrameInset;
                if (row < FocusFrameInset + FocusFrameThickness ||
                    row >= CardHeight - FocusFrameInset - FocusFrameThickness) {
                    FillSpan(dst, s, span.begin, span.end, left, right, FocusFrameColour);
                } else {
                    FillSpan(dst, s, span.begin, span.end, left, left + FocusFrameThickness, FocusFrameColour);
                    FillSpan(dst, s, span.begin, span.end, right - FocusFrameThickness, right, FocusFrameColour);
                }
            }
        }
    }
    picGameBack.markChanged(strip);
}

} // namespace kelpo
