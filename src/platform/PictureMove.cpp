// Moving a block of the picture's own pixels.

#include "platform/Picture.h"

#include <cstring>

namespace kelpo {

void Picture::moveBlock(int x, int y, int w, int h, int dx, int dy)
{
    const QRect bounds(0, 0, width(), height());
    const QRect from = QRect(x, y, w, h).intersected(bounds).intersected(bounds.translated(-dx, -dy));
    if (from.isEmpty())
        return;
    const int s = scale_;
    const qsizetype pitch = image_.bytesPerLine();
    uchar* bits = image_.bits();
    const auto bytes = static_cast<std::size_t>(from.width()) * s * 4;
    const qsizetype shift = static_cast<qsizetype>(dy) * s * pitch + static_cast<qsizetype>(dx) * s * 4;
    // Rows moving down are copied from the bottom up, so that no source row
    // is overwritten before it is read; within a row memmove takes care.
    const int first = from.top() * s;
    const int last = (from.bottom() + 1) * s - 1;
    const int step = dy > 0 ? -1 : 1;
    for (int row = dy > 0 ? last : first; row >= first && row <= last; row += step) {
        uchar* src = bits + row * pitch + static_cast<qsizetype>(from.left()) * s * 4;
        std::memmove(src + shift, src, bytes);
    }
    markChanged(from.translated(dx, dy));
}

} // namespace kelpo
