#include "platform/Backdrop.h"

#include "platform/Picture.h"
#include "platform/Raster.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace kelpo {

namespace {

// As Picture's: a size from a layout gone wrong must not allocate gigabytes.
constexpr int MaxSide = 16384;

qint64 NextKey()
{
    static std::atomic<qint64> last{0};
    return ++last;
}

} // namespace

void Backdrop::setScale(int scale)
{
    scale = std::clamp(scale, 1, 2);
    if (scale == scale_)
        return;
    scale_ = scale;
    resize(width(), height());
}

void Backdrop::resize(int width, int height)
{
    const bool fits = width >= 1 && height >= 1 && width <= MaxSide / scale_ && height <= MaxSide / scale_;
    size_ = fits ? QSize(width, height) : QSize();
    pieces_.clear();
    rebuild();
}

void Backdrop::setBackColor(QRgb colour)
{
    colour |= 0xFF000000u;
    if (colour == backColor_)
        return;
    backColor_ = colour;
    rebuild();
}

void Backdrop::place(std::vector<Placed> pieces)
{
    pieces_ = std::move(pieces);
    rebuild();
}

void Backdrop::rebuild()
{
    key_ = NextKey();
    patches_.clear();
    whole_ = QImage();
    plainRow_.clear();
    const QRect all(QPoint(0, 0), size_);
    if (all.isEmpty())
        return;

    // Group the places whose areas overlap, directly or through others.
    struct Group {
        QRect box;
        std::vector<std::size_t> members; // in drawing order
    };
    std::vector<Group> groups;
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        const Placed& p = pieces_[i];
        if (p.image.isNull())
            continue;
        const QRect area = QRect(QPoint(p.x, p.y), p.image.deviceIndependentSize().toSize()).intersected(all);
        if (area.isEmpty())
            continue;
        Group joined{area, {i}};
        for (bool merged = true; merged;) {
            merged = false;
            for (auto it = groups.begin(); it != groups.end(); ++it) {
                if (!it->box.intersects(joined.box))
                    continue;
                joined.box |= it->box;
                joined.members.insert(joined.members.end(), it->members.begin(), it->members.end());
                groups.erase(it);
                merged = true;
                break;
            }
        }
        std::sort(joined.members.begin(), joined.members.end());
        groups.push_back(std::move(joined));
    }

    for (const Group& g : groups) {
        const QRect device(g.box.topLeft() * scale_, g.box.size() * scale_);
        const Placed& first = pieces_[g.members.front()];
        // One opaque image in device pixels, wholly inside: its own pixels
        // are the patch, shared rather than copied.
        if (g.members.size() == 1 && !first.image.hasAlphaChannel() &&
            first.image.format() == QImage::Format_RGB32 && first.image.devicePixelRatio() == scale_ &&
            QRect(QPoint(first.x, first.y), first.image.deviceIndependentSize().toSize()) == g.box) {
            patches_.push_back({device, first.image});
            continue;
        }
        Picture patch;
        patch.setBackColor(backColor_);
        patch.setScale(scale_);
        patch.resize(g.box.width(), g.box.height());
        for (const std::size_t i : g.members)
            patch.drawImage(pieces_[i].x - g.box.x(), pieces_[i].y - g.box.y(), pieces_[i].image);
        patches_.push_back({device, std::as_const(patch).image()});
    }
}

bool Backdrop::plainOver(const QRect& device) const
{
    return std::none_of(patches_.begin(), patches_.end(),
                        [&](const Patch& p) { return p.device.intersects(device); });
}

const QImage& Backdrop::image() const
{
    if (whole_.isNull() && !size_.isEmpty()) {
        QImage whole(deviceSize(), QImage::Format_RGB32);
        writeBlock(whole, QRect(QPoint(0, 0), deviceSize()));
        whole.setDevicePixelRatio(scale_);
        whole_ = whole;
    }
    return whole_;
}

void Backdrop::writeBlock(QImage& dst, const QRect& block) const
{
    const QRect r = block.intersected(QRect(QPoint(0, 0), deviceSize())).intersected(dst.rect());
    if (r.isEmpty() || dst.format() != QImage::Format_RGB32)
        return;
    if (!whole_.isNull()) {
        BlockTransfer(dst, r.x(), r.y(), r.width(), r.height(), whole_, r.x(), r.y(), RasterOp::Copy);
        return;
    }
    // The pieces are opaque: under the last one that holds the whole block
    // neither the colour nor the pieces before it show.
    std::size_t first = patches_.size();
    while (first > 0 && !patches_[first - 1].device.contains(r))
        --first;
    if (first == 0) {
        auto* base = reinterpret_cast<std::uint32_t*>(dst.bits());
        const qsizetype pitch = dst.bytesPerLine() / 4;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            std::uint32_t* row = base + y * pitch + r.x();
            FillPixels(row, r.width(), backColor_);
        }
    } else {
        --first;
    }
    for (std::size_t i = first; i < patches_.size(); ++i) {
        const Patch& p = patches_[i];
        const QRect part = p.device.intersected(r);
        if (!part.isEmpty())
            BlockTransfer(dst, part.x(), part.y(), part.width(), part.height(), p.image,
                          part.x() - p.device.x(), part.y() - p.device.y(), RasterOp::Copy);
    }
}

Backdrop::Rows Backdrop::rowsFor(const QRect& r) const
{
    if (whole_.isNull() && !size_.isEmpty() && plainOver(r)) {
        if (plainRow_.empty())
            plainRow_.assign(static_cast<std::size_t>(deviceSize().width()), backColor_);
        return {plainRow_.data(), 0};
    }
    const QImage& whole = image();
    if (whole.isNull())
        return {};
    return {reinterpret_cast<const std::uint32_t*>(whole.constBits()), whole.bytesPerLine() / 4};
}

} // namespace kelpo
