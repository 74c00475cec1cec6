#pragma once
// The common bitmap file (24 bits a pixel, uncompressed, bottom row first,
// the 40-byte header), read in one pass without the general decoder: every
// picture of the resource pack is one, and the general decoder's first use
// lists the image plugins and reads each file through two buffers.

#include <QImage>
#include <QString>

#include <optional>

namespace kelpo {

// Nothing when the file is not such a bitmap (another header, depth,
// compression or row order, or more than 16 MB decoded: the general decoder
// reads those). For one that is, a null image when the file is shorter than
// its header says, else the picture as Format_RGB32, pixel for pixel what
// the general decoder makes of it.
std::optional<QImage> ReadPlainBitmap(const QString& path);

} // namespace kelpo
