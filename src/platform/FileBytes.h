#pragma once
// Reading a whole file, or as much of it as a cap allows, without reserving
// the cap: a device's read(n) reserves all n bytes before it reads, so a
// 300-byte file read with a 1 MB cap cost a megabyte of heap, and the freed
// block raised the allocator's threshold for handing large blocks back.

#include <QByteArray>
#include <QIODevice>

namespace kelpo {

// At most maxBytes from device's current position, reserving about what is
// there.
QByteArray ReadAtMost(QIODevice& device, qint64 maxBytes);

} // namespace kelpo
